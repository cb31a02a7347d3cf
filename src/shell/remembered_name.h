#pragma once
#include <string>

// The name the prompt offers: the last one confirmed, kept in "Data\name.txt"
// (code page 1252, one line); on a first start the account's full name, or
// its login name, cut to the 20 characters the game allows.
constexpr const char* kRememberedNamePath = "Data\\name.txt";

std::string offeredPlayerName(const std::string& path = kRememberedNamePath);
// Keeps a confirmed name for the next start. False, with a line on standard
// error, when it cannot be written.
bool rememberPlayerName(const std::string& name1252, const std::string& path = kRememberedNamePath);

// The account's full name (the first field of its GECOS entry) or, without
// one, its login name, in 1252: characters 1252 cannot hold are left out.
std::string accountName1252();

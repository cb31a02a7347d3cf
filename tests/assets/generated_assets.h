// Runs the asset generator into temporary folders for the tests.
#pragma once

#include <filesystem>
#include <string>

// A new folder filled by one run of the generator; removed when the test
// program ends. Fails the calling test if the generator fails.
std::filesystem::path generateAssets(const std::string& tag);

// One shared run, made on first use.
const std::filesystem::path& freshAssets();

// The build folder the game runs from, with the assets the build made.
std::filesystem::path buildAssets();

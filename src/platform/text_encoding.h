#pragma once
#include <string>

// The game keeps every text in code page 1252 (names, the high-score file,
// the screens' labels); SDL and the font library speak UTF-8.

// Converts 1252 bytes to UTF-8. The five bytes 1252 leaves unassigned (0x81,
// 0x8D, 0x8F, 0x90, 0x9D) become U+0081 and so on, as Windows maps them, so
// no byte is ever lost.
std::string Utf8FromCp1252(const std::string& text1252);

// Converts UTF-8 to 1252. Returns false, leaving out unchanged, when the text
// holds a character 1252 cannot hold or is not valid UTF-8.
bool Cp1252FromUtf8(const std::string& utf8, std::string& out);

// Length in bytes of the UTF-8 sequence that starts with lead (1 for a stray
// continuation or invalid byte, so a scan always moves on).
size_t Utf8SequenceLength(unsigned char lead);

#pragma once
#include <cstdint>
#include <string>

#include "game/settings.h"
#include "shell/shell_state.h"

// The five options live in section "Optionen" of the settings file. It is read
// once at start-up; each change made on the options screen is written at once.
constexpr const char* kSettingsPath = "Data\\ini.ini";
constexpr const char* kSettingsSection = "Optionen";

// Reads Musik, Vorbelegung, Zielhilfe, Vorschauzwei and modus, in that order;
// a missing file, section or key keeps the setting's current value.
void readSettings(Settings& settings, const std::string& path = kSettingsPath);

// Writes one setting as a decimal number. A failed write goes unnoticed.
void writeSetting(const char* key, int32_t value, const std::string& path = kSettingsPath);

// The five value boxes of the options screen, top to bottom.
constexpr int32_t kOptionCount = 5;
// Changes the setting of value box `box` (0 to 4) as a click on it does, and
// writes its new value.
void changeOption(Settings& settings, int32_t box, const std::string& path = kSettingsPath);

// A left click at (x, y) on the options screen's value column: changes the
// setting whose box was hit and writes its new value. Acts only while no game
// runs (playing 0) and the options screen, not the high-score screen, shows.
void optionsClick(Settings& settings, const ShellState& shell, bool playing, int32_t x, int32_t y,
                  const std::string& path = kSettingsPath);

#pragma once
#include <functional>
#include <string>

// Where the files the game names ("Data\ini.ini", "log.txt", "3.dat") really
// live. Plain POSIX, no SDL.
//
// Portable: everything under one folder, as the game has always kept it. An
// empty folder means the working directory, which is also where the game looks
// until the program chooses otherwise.
// Installed: the game's own files come from a read-only data folder; the
// player's settings, scores and log go to the XDG base folders.
struct GameLocations {
    bool installed = false;
    std::string portableFolder;    // portable only; "" is the working directory
    std::string dataFolder;        // installed: the shipped game files
    std::string configFolder;      // installed: $XDG_CONFIG_HOME/klotzar
    std::string playerDataFolder;  // installed: $XDG_DATA_HOME/klotzar
    std::string stateFolder;       // installed: $XDG_STATE_HOME/klotzar
};

// What the choice depends on, gathered by the caller so the rule can be tried
// on any folders.
struct LocationFacts {
    std::string programFolder;          // the folder holding the running binary
    std::string dataFolderFromProgram;  // the installed data folder relative to programFolder
    std::string configuredDataFolder;   // the data folder the build was configured for
    std::function<const char*(const char*)> getEnv;
};

// A Data folder beside the binary means portable; otherwise the data folder
// found relative to the binary, else the configured one, and the XDG folders
// (~/.config, ~/.local/share, ~/.local/state when a variable is unset, empty
// or not absolute).
GameLocations ChooseGameLocations(const LocationFacts& facts);

// The facts of this process: the binary from /proc/self/exe and the real
// environment.
LocationFacts ThisProgramFacts(const std::string& dataFolderFromProgram, const std::string& configuredDataFolder);

// The locations every later file name is resolved against.
void UseGameLocations(const GameLocations& locations);
const GameLocations& CurrentGameLocations();

// The real path of a game file name. In installed mode a per-user folder is
// created (mode 0700) when a name in it is resolved; a missing settings file
// starts as a copy of the shipped one. A folder for the player's files (also a
// portable one) that cannot be made or written is reported once on standard
// error; the path is returned all the same.
std::string LocateGameFile(const std::string& gamePath);

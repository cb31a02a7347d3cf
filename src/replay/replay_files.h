#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

class HighscoreList;

// Where recorded games are kept, in the game's own path style; HostPath maps
// them to the folder beside the high-score file.
constexpr const char* kReplayFolder = "Replays";
constexpr const char* kLastReplay = "Replays\\last.txt";
// Longest replay file read: about 40 hours of play.
constexpr size_t kReplayFileLimit = 64u << 20;

// Reads a replay file: only a regular file of at most kReplayFileLimit bytes.
// False with a message saying what is wrong with it.
bool readReplayFile(const std::string& hostPath, std::string& text, std::string& error);

// The game-style name of the replay kept for one high-score row: the score,
// the name's bytes in hex (any name is a safe file name then) and which of
// the rows with that score and name it is (0 for the first from the top).
std::string rowReplayName(int32_t score, const std::string& name, int32_t sameRowsAbove);
// The same for rank `rank` of the list.
std::string rowReplayName(const HighscoreList& list, int rank);

// Removes the row replays whose rows have left the list. Returns how many
// files went; files it cannot remove stay.
int pruneRowReplays(const HighscoreList& list);

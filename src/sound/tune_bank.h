#pragma once
#include <string>
#include <string_view>

// The General MIDI bank at bankPath cut down to what the tune plays, in an
// anonymous in-memory file (closed on exec); FluidSynth opens it as
// "/proc/self/fd/<descriptor>" for as long as the descriptor stays open.
// -1 with refusal set, in the log's words, when the tune or the bank cannot
// be cut: the whole bank is to be used then.
int CutBankForTune(const char* bankPath, std::string_view tune, std::string& refusal);

// The name FluidSynth opens the cut bank by.
std::string CutBankName(int descriptor);

#pragma once
#include <optional>
#include <string_view>
#include <vector>

#include "sound/preset.h"

// The presets a Standard MIDI File can make FluidSynth play, sorted, each
// once; nothing when the bytes are not a MIDI file this reader understands.
// The answer errs on the side of too many: a preset left out of a cut bank
// would be a silent instrument, one too many only costs memory.
std::optional<std::vector<Preset>> TunePresets(std::string_view file);

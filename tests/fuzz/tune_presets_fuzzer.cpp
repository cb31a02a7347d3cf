// Arbitrary bytes as a tune. The reader must stay inside them, and what it
// finds must be presets FluidSynth can select, sorted, each once, the same
// on a second reading.
#include <algorithm>
#include <string_view>

#include "fuzz_folder.h"
#include "sound/tune_presets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view tune(reinterpret_cast<const char*>(data), size);
    const auto presets = TunePresets(tune);
    if (!presets) {
        check(size < 4 || tune.substr(0, 4) != "MThd" || !TunePresets(tune).has_value(), "a second reading differs");
        return 0;
    }
    check(size >= 14 && tune.substr(0, 4) == "MThd", "something that is no MIDI file was read as one");
    check(std::adjacent_find(presets->begin(), presets->end(),
                             [](const Preset& a, const Preset& b) { return !(a < b); }) == presets->end(),
          "presets not sorted, or one twice");
    for (const Preset& p : *presets) {
        check(p.program >= 0 && p.program < 128, "a program outside 0..127");
        check((p.bank >= 0 && p.bank < 128) || p.bank == kDrumBank, "a bank outside 0..127 and 128");
    }
    check(TunePresets(tune) == presets, "a second reading differs");
    return 0;
}

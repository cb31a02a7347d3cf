// Arbitrary bytes as a SoundFont bank, cut to a few General MIDI presets.
// A cut that is done must be a bank the cutter reads again, of the size its
// header says, and cutting it again must give the very same bytes: every
// index renumbered consistently, every sample moved with its loop.
#include <unistd.h>

#include <string>
#include <vector>

#include "fuzz_folder.h"
#include "memory_file.h"
#include "sound/bank_cut.h"
#include "sound/soundfont_tables.h"

namespace {

int FileWith(const void* bytes, size_t size)
{
    const int fd = MemoryFileWith(bytes, size);
    check(fd >= 0, "no in-memory file for the input");
    return fd;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const std::vector<Preset> wanted = {{0, 0}, {0, 38}, {0, 46}, {8, 46}, {128, 0}, {128, 25}, {3, 73}};
    const int from = FileWith(data, size);
    const int to = FileWith(nullptr, 0);
    const BankCut cut = CutBank(from, to, wanted);
    close(from);
    const std::string once = MemoryFileContents(to);
    close(to);
    if (!cut.done) {
        check(!cut.refusal.empty(), "a refusal without a reason");
        return 0;
    }
    check(once.size() >= 8 && Le32(once.data() + 4) == once.size() - 8, "the RIFF size is wrong");
    check(cut.presets > 0, "a bank cut to no preset at all");

    const int again = FileWith(once.data(), once.size());
    SoundFontTables tables;
    std::string refusal;
    check(ReadSoundFontTables(again, tables, refusal), "the cut bank cannot be read");
    check(tables.sampleBytes == cut.sampleBytes, "the sample data is not as long as said");
    const int twice = FileWith(nullptr, 0);
    const BankCut second = CutBank(again, twice, wanted);
    close(again);
    check(second.done, "the cut bank cannot be cut again");
    check(MemoryFileContents(twice) == once, "cutting the cut bank changed it");
    close(twice);
    return 0;
}

#include "sound/bank_cut.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "memory_file.h"
#include "midi_bytes.h"
#include "preset_print.h"
#include "scratch_folder.h"
#include "sound/soundfont_tables.h"
#include "sound/tune_bank.h"
#include "sound/tune_presets.h"

namespace {

const char* const kSystemBank = "/usr/share/sounds/sf2/TimGM6mb.sf2";

// The bank fuzzer's seeds: a small General MIDI-like bank (a piano, a stereo
// harp whose instrument names only its left sample, a second harp in bank 8,
// a drum kit, a bass; zones with modulators, global zones, loops), and the
// same as SoundFont 3 and with compressed samples. tests/fuzz/make_seeds.py
// writes them.
std::string Seed(const std::string& name)
{
    std::ifstream file(std::string(KLOTZAR_BANK_SEEDS) + "/seed-" + name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

std::string SmallBank()
{
    const std::string bank = Seed("small");
    EXPECT_GT(bank.size(), 1000u) << "the seed bank is missing";
    return bank;
}

// An in-memory file holding bytes, its offset at the end.
int FileWith(const std::string& bytes)
{
    const int fd = MemoryFileWith(bytes.data(), bytes.size());
    EXPECT_GE(fd, 0) << "no in-memory file";
    return fd;
}

std::string CutOf(int from, const std::vector<Preset>& wanted, BankCut& cut)
{
    const int to = FileWith("");
    cut = CutBank(from, to, wanted);
    std::string bytes = MemoryFileContents(to);
    close(to);
    return bytes;
}

std::string CutOf(const std::string& bank, const std::vector<Preset>& wanted, BankCut& cut)
{
    const int from = FileWith(bank);
    std::string bytes = CutOf(from, wanted, cut);
    close(from);
    return bytes;
}

SoundFontTables TablesOf(const std::string& bank)
{
    SoundFontTables tables;
    std::string refusal;
    const int fd = FileWith(bank);
    EXPECT_TRUE(ReadSoundFontTables(fd, tables, refusal)) << refusal;
    close(fd);
    return tables;
}

const char* Record(const SoundFontTables& tables, Table table, size_t index)
{
    return tables.table[table].data() + index * kRecordSize[table];
}

size_t Records(const SoundFontTables& tables, Table table)
{
    return tables.table[table].size() / kRecordSize[table];
}

std::string NameOf(const SoundFontTables& tables, Table table, size_t index)
{
    return std::string(Record(tables, table, index), strnlen(Record(tables, table, index), 20));
}

std::vector<std::string> Names(const SoundFontTables& tables, Table table)
{
    std::vector<std::string> names;
    for (size_t i = 0; i < Records(tables, table); ++i) names.push_back(NameOf(tables, table, i));
    return names;
}

// Every generator as "operator=amount", zone after zone.
std::vector<std::string> Generators(const SoundFontTables& tables, Table table)
{
    std::vector<std::string> out;
    for (size_t i = 0; i < Records(tables, table); ++i) {
        const char* g = Record(tables, table, i);
        out.push_back(std::to_string(Le16(g)) + "=" + std::to_string(Le16(g + 2)));
    }
    return out;
}

std::string SamplePoints(const std::string& bank, const SoundFontTables& tables, uint32_t start, uint32_t end)
{
    return bank.substr(tables.samplesOffset + start * 2, (end - start) * 2);
}

using Names_ = std::vector<std::string>;

TEST(BankCut, KeepsTheWantedPresetsTheirInstrumentsAndSamplesRenumbered)
{
    const std::string bank = SmallBank();
    BankCut cut;
    const std::string out = CutOf(bank, {{0, 46}}, cut);
    ASSERT_TRUE(cut.done) << cut.refusal;
    EXPECT_EQ(cut.presets, 1);
    EXPECT_EQ(cut.instruments, 2);
    EXPECT_EQ(cut.samples, 3);
    ASSERT_GT(out.size(), 8u);
    EXPECT_EQ(Le32(out.data() + 4), out.size() - 8) << "the RIFF size";

    const SoundFontTables before = TablesOf(bank);
    const SoundFontTables after = TablesOf(out);
    // INFO exactly as it was.
    EXPECT_EQ(out.substr(after.infoOffset, after.infoBytes), bank.substr(before.infoOffset, before.infoBytes));

    // The harp, whose zones name the harp and the bass instrument, now 0 and 1.
    EXPECT_EQ(Names(after, kPhdr), (Names_{"Harp", "EOP"}));
    EXPECT_EQ(Le16(Record(after, kPhdr, 0) + 20), 46u);
    EXPECT_EQ(Le16(Record(after, kPhdr, 1) + 24), 3u) << "the terminal preset's bag index";
    EXPECT_EQ(Generators(after, kPgen), (Names_{"17=500", "43=15360", "41=0", "41=1", "0=0"}));
    EXPECT_EQ(Records(after, kPbag), 4u);
    EXPECT_EQ(Le16(Record(after, kPbag, 3)), 4u);
    EXPECT_EQ(Le16(Record(after, kPbag, 3) + 2), 3u);
    // The zones' modulators, copied in order: the piano's was the first.
    ASSERT_EQ(Records(after, kPmod), 4u);
    EXPECT_EQ(Le16(Record(after, kPmod, 0)), 0x0503u);
    EXPECT_EQ(Le16(Record(after, kPmod, 2)), 0x0505u);
    EXPECT_EQ(Le16(Record(after, kPbag, 1) + 2), 2u);

    // The harp names its left sample, which brings the right one; the bass
    // its own: samples 1, 2 and 3 become 0, 1 and 2.
    EXPECT_EQ(Names(after, kInst), (Names_{"Harp", "Bass", "EOI"}));
    EXPECT_EQ(Generators(after, kIgen), (Names_{"17=0", "53=1", "53=0", "0=0"}));
    EXPECT_EQ(Names(after, kShdr), (Names_{"Bass", "Harp L", "Harp R", "EOS"}));
    for (size_t s = 0; s < 3; ++s) {
        const char* old = Record(before, kShdr, s + 1);
        const char* now = Record(after, kShdr, s);
        SCOPED_TRACE(NameOf(after, kShdr, s));
        // Same points, loops in the same places, 46 zero points after each.
        EXPECT_EQ(SamplePoints(out, after, Le32(now + 20), Le32(now + 24)),
                  SamplePoints(bank, before, Le32(old + 20), Le32(old + 24)));
        EXPECT_EQ(SamplePoints(out, after, Le32(now + 24), Le32(now + 24) + 46), std::string(92, '\0'));
        for (int field : {24, 28, 32}) EXPECT_EQ(Le32(now + field) - Le32(now + 20), Le32(old + field) - Le32(old + 20));
        EXPECT_EQ(std::memcmp(now + 36, old + 36, 6), 0) << "rate, pitch and correction";
        EXPECT_EQ(Le16(now + 44), Le16(old + 44)) << "the sample type";
    }
    EXPECT_EQ(Le32(Record(after, kShdr, 0) + 20), 0u);
    EXPECT_EQ(Le32(Record(after, kShdr, 1) + 20), 15u + 46u);
    EXPECT_EQ(Le16(Record(after, kShdr, 1) + 42), 2u) << "the left sample's link";
    EXPECT_EQ(Le16(Record(after, kShdr, 2) + 42), 1u) << "the right sample's link";
    EXPECT_EQ(after.sampleBytes, (15u + 20u + 20u + 3 * 46u) * 2);
    EXPECT_EQ(cut.sampleBytes, after.sampleBytes);
}

TEST(BankCut, MissingPresetsBringWhatFluidSynthPlaysInstead)
{
    const std::string bank = SmallBank();
    BankCut cut;
    // Bank 8 has no bass: bank 0's; no drum kit 5: the standard kit, and
    // for a melodic channel on bank 128 program 5, the piano.
    EXPECT_EQ(Names(TablesOf(CutOf(bank, {{8, 38}, {128, 5}}, cut)), kPhdr), (Names_{"Piano", "Kit", "Bass", "EOP"}));
    EXPECT_EQ(cut.presets, 3);
    // A bank that has it gives its own, and only that.
    EXPECT_EQ(Names(TablesOf(CutOf(bank, {{8, 46}}, cut)), kPhdr), (Names_{"Harp GS", "EOP"}));
    EXPECT_EQ(Names(TablesOf(CutOf(bank, {{128, 0}}, cut)), kInst), (Names_{"Kit", "EOI"}));
    EXPECT_EQ(Names(TablesOf(CutOf(bank, {{128, 0}}, cut)), kShdr), (Names_{"Kick", "Snare", "EOS"}));

    CutOf(bank, {}, cut);
    EXPECT_FALSE(cut.done) << "a bank with no preset at all";
}

TEST(BankCut, CuttingACutAgainChangesNothing)
{
    const std::vector<std::vector<Preset>> wanted = {
        {{0, 46}}, {{0, 0}, {128, 0}}, {{0, 38}, {8, 46}, {128, 0}}, {{0, 0}, {0, 38}, {0, 46}, {8, 46}, {128, 0}}};
    for (const auto& presets : wanted) {
        BankCut first, second;
        const std::string once = CutOf(SmallBank(), presets, first);
        const std::string twice = CutOf(once, presets, second);
        ASSERT_TRUE(first.done && second.done) << first.refusal << second.refusal;
        EXPECT_EQ(once, twice) << presets.size() << " presets";
    }
    // The system bank, cut to what the game's tune plays.
    const int from = open(kSystemBank, O_RDONLY | O_CLOEXEC);
    if (from < 0) GTEST_SKIP() << kSystemBank << " is not installed (timgm6mb-soundfont)";
    const std::vector<Preset> tune = {{0, 0}, {0, 38}, {0, 46}, {0, 48}, {0, 73}, {0, 80}, {0, 89}, {128, 0}};
    BankCut first, second;
    const std::string once = CutOf(from, tune, first);
    const off_t whole = lseek(from, 0, SEEK_END);
    close(from);
    ASSERT_TRUE(first.done) << first.refusal;
    EXPECT_EQ(CutOf(once, tune, second), once);
    EXPECT_EQ(first.presets, 8);
    EXPECT_LT(static_cast<off_t>(once.size()), whole / 3);
    EXPECT_LT(first.samples, 520 / 3);
}

void Put16(std::string& bytes, size_t at, uint32_t value)
{
    bytes[at] = static_cast<char>(value & 0xFF);
    bytes[at + 1] = static_cast<char>(value >> 8);
}

// Where a table's records begin in the small bank.
size_t TableAt(const std::string& bank, const char* id)
{
    return bank.find(id) + 8;
}

TEST(BankCut, RefusesBanksItDoesNotUnderstand)
{
    const std::string bank = SmallBank();
    const std::vector<Preset> all = {{0, 0}, {0, 38}, {0, 46}, {8, 46}, {128, 0}};
    BankCut cut;
    CutOf(bank, all, cut);
    ASSERT_TRUE(cut.done) << cut.refusal;

    auto refused = [&](const std::string& damaged, const char* what) {
        CutOf(damaged, all, cut);
        EXPECT_FALSE(cut.done) << what;
        EXPECT_FALSE(cut.refusal.empty()) << what;
    };
    for (size_t length = 0; length < bank.size(); ++length) {
        SCOPED_TRACE(length);
        refused(bank.substr(0, length), "cut short");
    }
    refused(Seed("version-3"), "SoundFont 3");
    refused(Seed("compressed"), "compressed samples");

    std::string b = bank;
    Put16(b, TableAt(b, "shdr") + 46 * 2 + 44, 0x8004);  // the left harp in ROM
    refused(b, "ROM samples");
    b = bank;
    b.replace(b.find("smpl"), 4, "sm24");
    refused(b, "24-bit samples");
    b = bank;
    b[3] = 'X';
    refused(b, "not RIFF");
    b = bank;
    b[11] = 'x';
    refused(b, "not a bank");
    b = bank;
    Put16(b, TableAt(b, "pgen") + 4 * 4 + 2, 9);  // the harp's first instrument
    refused(b, "an instrument past the table");
    b = bank;
    Put16(b, TableAt(b, "igen") + 4 * 2 + 2, 6);  // the harp's sample: the terminal one
    refused(b, "a sample past the table");
    b = bank;
    Put16(b, TableAt(b, "phdr") + 38 * 2 + 24, 0);  // Harp GS's zones start before the harp's
    refused(b, "preset zones out of order");
    b = bank;
    Put16(b, TableAt(b, "ibag") + 4 * 2, 40);  // a zone's generators past the table
    refused(b, "instrument zone past its generators");
    b = bank;
    Put16(b, TableAt(b, "shdr") + 46 * 2 + 42, 40);  // the left harp's link
    refused(b, "a stereo link past the table");
    b = bank;
    Put16(b, TableAt(b, "shdr") + 46 * 2 + 24, 0xFFFF);  // the left harp's end
    refused(b, "a sample past the sample data");
    b = bank;
    // The left harp made to span the whole sample data, over the others.
    const size_t leftHarp = TableAt(b, "shdr") + 46 * 2;
    Put16(b, leftHarp + 20, 0);
    Put16(b, leftHarp + 24, static_cast<uint32_t>(TablesOf(bank).sampleBytes / 2));
    Put16(b, leftHarp + 28, 0);
    refused(b, "samples over each other");
    b = bank;
    Put16(b, TableAt(b, "pmod") - 4, 9);  // a table of part records
    refused(b, "a modulator table of 9 bytes");

    // Something that is not a file at all.
    const int folder = open("/", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ASSERT_GE(folder, 0);
    CutOf(folder, all, cut);
    close(folder);
    EXPECT_FALSE(cut.done);
}

TEST(TuneBank, CutsTheBankToTheTuneOrSaysWhyNot)
{
    const ScratchFolder folder("klotzar-bank");
    const std::string bankPath = folder / "bank.sf2";
    {
        const int fd = open(bankPath.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
        const std::string bank = SmallBank();
        ASSERT_EQ(write(fd, bank.data(), bank.size()), static_cast<ssize_t>(bank.size()));
        close(fd);
    }
    const std::string tune =
        Midi(0, 1, Track(Event(0, {0xC0, 38}) + Event(0, {0x90, 40, 90}) + Event(9, {0x80, 40, 0}) + kEndOfTrack));
    std::string refusal;
    const int cut = CutBankForTune(bankPath.c_str(), tune, refusal);
    ASSERT_GE(cut, 0) << refusal;
    // Through its name, as FluidSynth opens it: the bass, and what every
    // channel starts on.
    const int opened = open((CutBankName(cut)).c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(opened, 0);
    const std::string bytes = MemoryFileContents(opened);
    close(opened);
    close(cut);
    EXPECT_EQ(Names(TablesOf(bytes), kPhdr), (Names_{"Piano", "Kit", "Bass", "EOP"}));

    EXPECT_LT(CutBankForTune(bankPath.c_str(), "RIFF", refusal), 0);
    EXPECT_EQ(refusal, "Musikdatei ist kein lesbares MIDI");
    refusal.clear();
    EXPECT_LT(CutBankForTune((folder / "missing.sf2").c_str(), tune, refusal), 0);
    EXPECT_EQ(refusal, "Klangbank nicht lesbar");
    ASSERT_EQ(mkfifo((folder / "fifo").c_str(), 0600), 0);
    refusal.clear();
    EXPECT_LT(CutBankForTune((folder / "fifo").c_str(), tune, refusal), 0) << "a FIFO in the bank's place";
    EXPECT_FALSE(refusal.empty());
}

}  // namespace

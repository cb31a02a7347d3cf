// The tune through FluidSynth itself, once with the whole General MIDI bank
// and once with the bank cut down to it: not one sample may differ.
#include <fluidsynth.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "sound/tune_bank.h"
#include "sound/tune_presets.h"
#include "preset_print.h"

namespace {

const char* const kBank = "/usr/share/sounds/sf2/TimGM6mb.sf2";
constexpr int kRate = 44100;
constexpr int kSeconds = 30;
constexpr int kBlock = 1024;  // frames, as the game's mixer asks for them
constexpr size_t kRenderedSamples = size_t{kRate} * kSeconds / kBlock * kBlock * 2;

std::string ReadFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

bool Readable(const char* path)
{
    return access(path, R_OK) == 0;
}

// kSeconds of the tune from its start, as interleaved 16-bit stereo, the way
// the game's mixer has FluidSynth play it (its own player, from memory).
std::vector<int16_t> Render(const std::string& bankPath, const std::string& tune)
{
    fluid_settings_t* settings = new_fluid_settings();
    fluid_settings_setnum(settings, "synth.sample-rate", kRate);
    fluid_synth_t* synth = new_fluid_synth(settings);
    std::vector<int16_t> out;
    if (fluid_synth_sfload(synth, bankPath.c_str(), 1) != FLUID_FAILED) {
        fluid_player_t* player = new_fluid_player(synth);
        fluid_player_add_mem(player, tune.data(), tune.size());
        fluid_player_play(player);
        out.resize(kRenderedSamples);
        for (size_t at = 0; at < out.size(); at += 2 * kBlock)
            fluid_synth_write_s16(synth, kBlock, out.data() + at, 0, 2, out.data() + at, 1, 2);
        fluid_player_stop(player);
        delete_fluid_player(player);
    }
    delete_fluid_synth(synth);
    delete_fluid_settings(settings);
    return out;
}

TEST(BankRender, CutBankPlaysTheTuneExactlyAsTheWholeBank)
{
    if (!Readable(kBank)) GTEST_SKIP() << kBank << " is not installed (timgm6mb-soundfont): nothing to cut";
    const std::string tune = ReadFile(KLOTZAR_TUNE);
    ASSERT_FALSE(tune.empty()) << KLOTZAR_TUNE;

    // What the tune plays: the cut is checked against the whole bank with
    // every instrument the game's tune has.
    const std::vector<Preset> expected = {{0, 38}, {0, 46}, {0, 48}, {0, 73}, {0, 80}, {0, 89}, {128, 0}};
    EXPECT_EQ(TunePresets(tune), expected);

    std::string refusal;
    const int cut = CutBankForTune(kBank, tune, refusal);
    ASSERT_GE(cut, 0) << refusal;
    const std::vector<int16_t> whole = Render(kBank, tune);
    const std::vector<int16_t> cutDown = Render(CutBankName(cut), tune);
    close(cut);
    ASSERT_EQ(whole.size(), kRenderedSamples) << "the whole bank did not load";
    ASSERT_EQ(cutDown.size(), whole.size()) << "the cut bank did not load";

    size_t loud = 0;
    for (int16_t s : whole) loud += s > 1000 || s < -1000;
    EXPECT_GT(loud, whole.size() / 20) << "the tune hardly sounds: the comparison would prove nothing";
    size_t differ = 0, first = whole.size();
    for (size_t i = 0; i < whole.size(); ++i) {
        if (whole[i] == cutDown[i]) continue;
        if (differ++ == 0) first = i;
    }
    EXPECT_EQ(differ, 0u) << "first difference at " << first / 2 << " (" << first / 2 / kRate << " s)";
}

}  // namespace

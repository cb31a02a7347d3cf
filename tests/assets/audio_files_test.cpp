// The sound effects and the tune.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "asset_reading.h"
#include "generated_assets.h"

namespace {

struct Effect {
    const char* file;
    double minMs, maxMs;
};

double peakOf(const std::vector<int16_t>& s, size_t from, size_t to)
{
    int peak = 0;
    for (size_t i = from; i < to && i < s.size(); ++i) peak = std::max(peak, std::abs(static_cast<int>(s[i])));
    return peak / 32768.0;
}

TEST(Sounds, EffectsAreShortCleanMonoPcm)
{
    const Effect effects[] = {
        {"Data/drehen.wav", 60, 110}, {"Data/down.wav", 120, 200}, {"Data/klatsch.wav", 300, 500}};
    for (const Effect& e : effects) {
        SCOPED_TRACE(e.file);
        const Wave w = readWave(freshAssets() / e.file);
        ASSERT_TRUE(w.valid) << w.problem;
        EXPECT_EQ(w.format, 1);
        EXPECT_EQ(w.channels, 1);
        EXPECT_EQ(w.bitsPerSample, 16);
        ASSERT_GE(w.sampleRate, 22050);
        const double ms = 1000.0 * static_cast<double>(w.samples.size()) / w.sampleRate;
        EXPECT_GE(ms, e.minMs);
        EXPECT_LE(ms, e.maxMs);
        // Loud enough to hear, never at full scale, and faded at both ends so
        // starting or stopping it does not click.
        const double peak = peakOf(w.samples, 0, w.samples.size());
        EXPECT_GT(peak, 0.5);
        EXPECT_LT(peak, 0.95);
        const size_t edge = static_cast<size_t>(w.sampleRate) / 1000;  // one millisecond
        EXPECT_LT(peakOf(w.samples, 0, edge / 4), 0.05);
        EXPECT_LT(peakOf(w.samples, w.samples.size() - edge, w.samples.size()), 0.05);
    }
}

TEST(Sounds, TheLandingIsLowAndTheTurnIsBright)
{
    // Zero crossings per second track the pitch of these short sounds.
    auto crossingsPerSecond = [](const Wave& w) {
        int n = 0;
        for (size_t i = 1; i < w.samples.size(); ++i) n += (w.samples[i - 1] < 0) != (w.samples[i] < 0);
        return n * static_cast<double>(w.sampleRate) / static_cast<double>(w.samples.size());
    };
    const Wave thud = readWave(freshAssets() / "Data/down.wav");
    const Wave turn = readWave(freshAssets() / "Data/drehen.wav");
    ASSERT_TRUE(thud.valid && turn.valid);
    EXPECT_LT(crossingsPerSecond(thud), 600);
    EXPECT_GT(crossingsPerSecond(turn), 2000);
}

TEST(Tune, IsAFormatOneGeneralMidiFileOfAboutTwoMinutes)
{
    const Midi m = readMidi(freshAssets() / "Data/Fennwold_Neo_Remix.mid");
    ASSERT_TRUE(m.valid) << m.problem;
    EXPECT_EQ(m.format, 1);
    EXPECT_EQ(m.tracksFound, m.declaredTracks);
    EXPECT_GE(m.tracksFound, 4);
    EXPECT_GE(m.seconds, 100.0);
    EXPECT_LE(m.seconds, 150.0);
    // Drums on channel 10, and at least a melody and a bass besides.
    EXPECT_GT(m.noteOnsByChannel[9], 100);
    int pitched = 0;
    for (int ch = 0; ch < 16; ++ch)
        if (ch != 9 && m.noteOnsByChannel[static_cast<size_t>(ch)] > 0) {
            ++pitched;
            EXPECT_FALSE(m.programsByChannel[static_cast<size_t>(ch)].empty())
                << "channel " << ch + 1 << " plays without an instrument";
        }
    EXPECT_GE(pitched, 3);
}

}  // namespace

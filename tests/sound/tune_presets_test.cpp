#include "sound/tune_presets.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "midi_bytes.h"
#include "preset_print.h"

namespace {

using Presets = std::vector<Preset>;

Presets Read(const std::string& file)
{
    const auto presets = TunePresets(file);
    EXPECT_TRUE(presets.has_value()) << "not read as MIDI";
    return presets.value_or(Presets{});
}

TEST(TunePresets, ProgramChangesBankSelectsAndDrums)
{
    // One track: running status through notes, meta and system exclusive
    // events skipped, a bank select that counts from the next program on.
    const std::string lead = Event(0, {0xFF, 0x03, 0x04, 'L', 'e', 'a', 'd'}) + Event(0, {0xC0, 38}) +
                             Event(0, {0x90, 60, 100}) + Event(120, {62, 100}) + Event(120, {60, 0}) +
                             Event(0, {0xB1, 0, 8}) + Event(0, {0xC1, 46}) + Event(10, {0x91, 50, 90}) +
                             // Program numbers in a running status after a meta event.
                             Event(0, {0xC2, 48}) + Event(0, {0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20}) + Event(5, {73}) +
                             Event(0, {0x92, 40, 90}) + kEndOfTrack;
    // Drums on channel 10 with a kit chosen by program 25: bank 128.
    const std::string drums = Event(0, {0xC9, 25}) + Event(0, {0x99, 36, 100}) + Event(0, {0x89, 36, 0}) + kEndOfTrack;
    const Presets expected = {{0, 38}, {0, 46}, {0, 48}, {0, 73}, {8, 46}, {128, 25}};
    EXPECT_EQ(Read(Midi(1, 2, Track(lead) + Track(drums))), expected);
}

TEST(TunePresets, NotesBeforeAnyProgramPlayTheDefaults)
{
    // Channel 1 plays before its program change, channel 10 with none: the
    // piano and the standard kit sound. Channel 3's program comes first, and
    // channel 4 has no notes at all.
    const std::string early = Event(0, {0x90, 60, 100}) + Event(100, {0x80, 60, 0}) + Event(0, {0xC0, 80}) +
                              Event(0, {0x99, 38, 90}) + Event(0, {0xC2, 89}) + Event(0, {0x92, 50, 90}) +
                              Event(0, {0xC3, 5}) + kEndOfTrack;
    const Presets expected = {{0, 0}, {0, 5}, {0, 80}, {0, 89}, {128, 0}};
    EXPECT_EQ(Read(Midi(0, 1, Track(early))), expected);

    // A note that is really a note off (velocity 0) plays nothing.
    const std::string silent = Event(0, {0x90, 60, 0}) + Event(0, {0xC0, 7}) + Event(0, {0x90, 60, 9}) + kEndOfTrack;
    EXPECT_EQ(Read(Midi(0, 1, Track(silent))), (Presets{{0, 7}}));
    // Tracks interleave: a note at the same tick as another track's program
    // change may come first.
    const std::string program = Event(40, {0xC5, 30}) + kEndOfTrack;
    const std::string note = Event(40, {0x95, 60, 70}) + kEndOfTrack;
    EXPECT_EQ(Read(Midi(1, 2, Track(program) + Track(note))), (Presets{{0, 0}, {0, 30}}));
    // Even when the program's own track plays its note after it.
    const std::string both = Event(40, {0xC5, 30}) + Event(0, {0x95, 60, 70}) + kEndOfTrack;
    EXPECT_EQ(Read(Midi(1, 2, Track(both))), (Presets{{0, 30}}));
    EXPECT_EQ(Read(Midi(1, 2, Track(both) + Track(note))), (Presets{{0, 0}, {0, 30}}));
}

TEST(TunePresets, SystemExclusiveMayTurnAnyChannelToDrums)
{
    // A GS message could make channel 1 a drum part (and channel 10 melodic).
    const std::string events = Event(0, {0xF0, 0x05, 0x41, 0x10, 0x42, 0x12, 0xF7}) + Event(0, {0xC0, 16}) +
                               Event(0, {0x90, 60, 90}) + kEndOfTrack;
    EXPECT_EQ(Read(Midi(0, 1, Track(events))), (Presets{{0, 16}, {128, 16}}));
}

TEST(TunePresets, DamagedFilesAreReadAsFarAsTheyGoOrRefused)
{
    const std::string events = Event(0, {0xC0, 12}) + Event(0, {0x90, 60, 90}) + Event(0, {0xC1, 20}) +
                               Event(0, {0x91, 60, 90}) + kEndOfTrack;
    const std::string whole = Midi(0, 1, Track(events));
    // A track cut off anywhere keeps what was read before the cut.
    for (size_t length = 22; length < whole.size(); ++length) {
        const auto presets = TunePresets(whole.substr(0, length));
        ASSERT_TRUE(presets.has_value()) << length;
        for (const Preset& p : *presets) {
            EXPECT_TRUE((p == Preset{0, 12} || p == Preset{0, 20})) << length;
        }
        if (length >= 22 + 3) {
            EXPECT_FALSE(presets->empty()) << length;
        }
    }
    // A track claiming far more than the file holds is read as far as it goes.
    std::string claims = whole;
    claims[14 + 4] = '\x7F';
    EXPECT_EQ(Read(claims), (Presets{{0, 12}, {0, 20}}));
    // A delta time of more than four bytes ends the track.
    EXPECT_EQ(Read(Midi(0, 1, Track(events + "\xFF\xFF\xFF\xFF\x7F" + Event(0, {0xC0, 99})))),
              (Presets{{0, 12}, {0, 20}}));

    EXPECT_FALSE(TunePresets("").has_value());
    EXPECT_FALSE(TunePresets("RIFF\x10\0\0\0RMIDdata").has_value());
    EXPECT_EQ(Read(Midi(0, 1, "")), Presets{});
    // A data byte before any status, or a real-time message: not MIDI as written.
    EXPECT_FALSE(TunePresets(Midi(0, 1, Track(Event(0, {0x40, 0x40}) + events))).has_value());
    EXPECT_FALSE(TunePresets(Midi(0, 1, Track(events.substr(0, 7) + Event(0, {0xF8}) + events))).has_value());
    // A header too short to be one.
    std::string shortHeader = whole;
    shortHeader[7] = 5;
    EXPECT_FALSE(TunePresets(shortHeader).has_value());
}

}  // namespace

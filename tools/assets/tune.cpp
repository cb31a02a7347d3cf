#include "tune.h"

#include <cstdlib>
#include <sstream>
#include <string>

#include "midi_file.h"

namespace {

constexpr int kPpq = 480;
constexpr uint32_t kBeat = kPpq;
constexpr uint32_t kBar = 4 * kBeat;
constexpr uint32_t kStep = kBeat / 4;  // a sixteenth

// Channels; the drums must be channel 10 (index 9) for General MIDI.
enum Channel { kMelody = 0, kHarp = 1, kPad = 2, kBass = 3, kStrings = 4, kLead = 5, kDrums = 9 };

// General MIDI programs (zero-based).
constexpr int kFlute = 73, kOrchestralHarp = 46, kWarmPad = 89, kSynthBass = 38, kStringEnsemble = 48, kSquareLead = 80;

// General MIDI drum keys.
constexpr int kKick = 36, kSnare = 38, kClap = 39, kClosedHat = 42, kOpenHat = 46, kCrash = 49, kLowTom = 45,
              kMidTom = 47, kHighTom = 50, kTambourine = 54, kShaker = 70;

struct Chord {
    int root;  // pitch class, C = 0
    bool minor;
};

Chord chordNamed(const std::string& name)
{
    static const char* letters = "C D EF G A B";
    int pc = 0;
    for (int i = 0; i < 12; ++i)
        if (letters[i] == name[0]) pc = i;
    return {pc, name.size() > 1 && name[1] == 'm'};
}

std::vector<Chord> chordsOf(const std::string& bars)
{
    std::istringstream in(bars);
    std::vector<Chord> out;
    for (std::string c; in >> c;) out.push_back(chordNamed(c));
    return out;
}

// The pitch of pitch class pc in the octave that starts at low.
int inRange(int pc, int low)
{
    return low + ((pc - low) % 12 + 12) % 12;
}

// "E5" is 76: middle C (C4) is 60.
int keyOf(const std::string& name)
{
    const int pc = chordNamed(name.substr(0, 1)).root;
    size_t i = 1;
    int shift = 0;
    if (i < name.size() && name[i] == '#') shift = 1, ++i;
    if (i < name.size() && name[i] == 'b') shift = -1, ++i;
    return 12 * (std::atoi(name.c_str() + i) + 1) + pc + shift;
}

// Notes written as "E5/4 A4/8 F5/4. r/2": pitch (or r for rest), slash,
// note value, a dot for half as long again.
uint32_t writeLine(MidiTrack& track, int channel, uint32_t start, const std::string& line, int velocity, int transpose)
{
    std::istringstream in(line);
    uint32_t t = start;
    for (std::string token; in >> token;) {
        const size_t slash = token.find('/');
        const std::string pitch = token.substr(0, slash);
        uint32_t length = 4 * kBeat / static_cast<uint32_t>(std::atoi(token.c_str() + slash + 1));
        if (token.back() == '.') length += length / 2;
        if (pitch != "r") {
            const bool onBeat = (t - start) % kBeat == 0;
            track.note(t, length * 15 / 16, channel, keyOf(pitch) + transpose, velocity + (onBeat ? 8 : 0));
        }
        t += length;
    }
    return t;
}

const char* kThemeA = "E5/4 A4/8 B4/8 C5/4 E5/4  F5/4. E5/8 D5/4 C5/4  E5/4 G4/8 C5/8 E5/4 G5/4  D5/2 B4/4 G4/4 "
                      "A4/8 C5/8 E5/4 A5/4 G5/4  F5/4 E5/8 F5/8 A5/4 F5/4  G5/4 F5/8 E5/8 D5/4 B4/4  A4/2. r/4";
const char* kThemeAHigh = "E5/4 A4/8 B4/8 C5/4 E5/4  F5/4. E5/8 D5/4 C5/4  E5/4 G4/8 C5/8 E5/4 G5/4  D5/2 B4/4 G4/4 "
                          "C6/4 B5/8 A5/8 E5/4 A5/4  C6/4. A5/8 F5/4 A5/4  B5/4 A5/8 G5/8 D5/4 G5/4  A5/2. r/4";
const char* kThemeB = "A5/4. G5/8 F5/4 C5/4  D5/4 B4/8 D5/8 G5/2  E5/4. G5/8 B5/4 G5/4  A5/2 E5/4 C5/4 "
                      "F5/4 A5/4 C6/4 A5/4  B5/4. A5/8 G5/4 D5/4  G#5/4 B5/4 E5/4 G#5/4  A5/1";

enum class Drums { None, Hats, Groove, Drive, Sparse };
enum class Bass { None, Long, Pump };

struct Section {
    const char* chords;  // one per bar
    const char* melody;  // nullptr: no tune in this section
    bool lead;           // the square lead doubles the melody an octave down
    bool strings;        // a sustained counter line
    Drums drums;
    Bass bass;
    bool fill;   // a drum fill in the last bar
    bool crash;  // a crash on the first beat
};

const Section kArrangement[] = {
    {"Am F C G", nullptr, false, false, Drums::Hats, Bass::Long, true, false},                // intro
    {"Am F C G Am F G Am", kThemeA, false, false, Drums::Groove, Bass::Pump, true, true},     // A
    {"Am F C G Am F G Am", kThemeAHigh, false, true, Drums::Groove, Bass::Pump, true, true},  // A again
    {"F G Em Am F G E Am", kThemeB, false, true, Drums::Drive, Bass::Pump, true, true},       // B
    {"Am F C G", nullptr, false, true, Drums::Sparse, Bass::Long, true, true},                // break
    {"Am F C G Am F G Am", kThemeA, true, false, Drums::Drive, Bass::Pump, true, true},       // A, fuller
    {"F G Em Am F G E Am", kThemeB, true, true, Drums::Drive, Bass::Pump, true, true},        // B, fuller
    {"Am F C G Am F G Am", kThemeAHigh, false, true, Drums::Groove, Bass::Pump, true, true},  // last A
};
const char* kOutro = "Am F G Am";

void hit(MidiTrack& t, uint32_t at, int key, int velocity)
{
    t.note(at, kStep, kDrums, key, velocity);
}

void drumBar(MidiTrack& t, uint32_t bar, Drums style, bool fill, int barIndex)
{
    for (uint32_t s = 0; s < 16; ++s) {
        const uint32_t at = bar + s * kStep;
        const bool inFill = fill && s >= 8;
        switch (style) {
        case Drums::None: break;
        case Drums::Hats:
            if (s % 2 == 0) hit(t, at, kClosedHat, s % 4 == 0 ? 58 : 42);
            hit(t, at, kShaker, s % 2 == 0 ? 36 : 26);
            break;
        case Drums::Sparse:
            if (s == 0) hit(t, at, kKick, 96);
            hit(t, at, kShaker, s % 4 == 0 ? 44 : 28);
            break;
        case Drums::Groove:
        case Drums::Drive: {
            const bool drive = style == Drums::Drive;
            const bool kick = s == 0 || s == 8 || (s == 10 && barIndex % 2 == 1) || (drive && (s == 3 || s == 11));
            if (kick && !inFill) hit(t, at, kKick, s % 8 == 0 ? 104 : 84);
            if ((s == 4 || s == 12) && !inFill) {
                hit(t, at, kSnare, 96);
                if (drive) hit(t, at, kClap, 70);
            }
            if (s == 14 && barIndex % 2 == 1) {
                hit(t, at, kOpenHat, 64);
            } else if (drive || s % 2 == 0) {
                hit(t, at, kClosedHat, s % 4 == 0 ? 72 : (s % 2 == 0 ? 54 : 36));
            }
            if (drive && (s == 4 || s == 12)) hit(t, at, kTambourine, 50);
            break;
        }
        }
        if (inFill && style != Drums::Hats) {
            const int v = 56 + static_cast<int>(s - 8) * 8;
            if (s < 12)
                hit(t, at, kSnare, v);
            else
                hit(t, at, s < 14 ? kHighTom : (s == 14 ? kMidTom : kLowTom), v);
        } else if (inFill && s % 2 == 0) {
            hit(t, at, kSnare, 40 + static_cast<int>(s - 8) * 6);
        }
    }
}

void padBar(MidiTrack& t, uint32_t bar, Chord c, int velocity)
{
    const int third = c.minor ? 3 : 4;
    for (int interval : {0, third, 7}) t.note(bar, kBar - 20, kPad, inRange(c.root + interval, 55), velocity);
}

void harpBar(MidiTrack& t, uint32_t bar, Chord c, int velocity)
{
    const int root = inRange(c.root, 57);
    const int third = c.minor ? 3 : 4;
    const int pattern[] = {0, third, 7, 12, third + 12, 7, 12, third};
    for (int i = 0; i < 8; ++i)
        t.note(bar + static_cast<uint32_t>(i) * kBeat / 2, kBeat / 2, kHarp, root + pattern[i],
               velocity + (i % 2 == 0 ? 8 : 0));
}

void bassBar(MidiTrack& t, uint32_t bar, Chord c, Bass style, bool lastOfPhrase)
{
    const int root = inRange(c.root, 40);
    if (style == Bass::Long) {
        t.note(bar, kBar - 40, kBass, root, 92);
        return;
    }
    if (style != Bass::Pump) return;
    // Octave leaps, and a climb towards the next chord at the end of a phrase.
    const int third = c.minor ? 3 : 4;
    const int pump[] = {0, 0, 12, 0, 0, 0, 12, 7};
    const int climb[] = {0, 0, 12, 0, 0, third, 5, 7};
    for (int i = 0; i < 8; ++i) {
        const int step = lastOfPhrase ? climb[i] : pump[i];
        t.note(bar + static_cast<uint32_t>(i) * kBeat / 2, kBeat / 2 - 50, kBass, root + step, i % 2 == 0 ? 104 : 84);
    }
}

void stringsBar(MidiTrack& t, uint32_t bar, Chord c)
{
    const int third = c.minor ? 3 : 4;
    t.note(bar, kBar / 2 - 10, kStrings, inRange(c.root + third, 64), 64);
    t.note(bar + kBar / 2, kBar / 2 - 10, kStrings, inRange(c.root + 7, 64), 60);
}

void setUp(MidiTrack& t, int channel, int program, int volume, int pan, int reverb)
{
    t.program(0, channel, program);
    t.control(0, channel, 7, volume);
    t.control(0, channel, 10, pan);
    t.control(0, channel, 91, reverb);
}

}  // namespace

std::vector<uint8_t> makeTune()
{
    MidiTrack conductor, melody, lead, harp, pad, bass, strings, drums;
    conductor.name = "Fennwold Neo Remix";
    melody.name = "Melodie";
    lead.name = "Lead";
    harp.name = "Harfe";
    pad.name = "Fl\xE4"
               "che";
    bass.name = "Bass";
    strings.name = "Streicher";
    drums.name = "Schlagzeug";

    conductor.timeSignature(0, 4, 2);
    conductor.tempo(0, 500000);  // 120 beats per minute
    // Channel volumes leave headroom: the effects are mixed on top of the tune.
    setUp(melody, kMelody, kFlute, 90, 60, 50);
    setUp(lead, kLead, kSquareLead, 50, 76, 40);
    setUp(harp, kHarp, kOrchestralHarp, 70, 40, 60);
    setUp(pad, kPad, kWarmPad, 62, 64, 70);
    setUp(bass, kBass, kSynthBass, 80, 64, 20);
    setUp(strings, kStrings, kStringEnsemble, 64, 84, 70);
    drums.control(0, kDrums, 7, 84);
    drums.control(0, kDrums, 91, 36);

    uint32_t at = 0;
    int barIndex = 0;
    for (const Section& s : kArrangement) {
        const std::vector<Chord> chords = chordsOf(s.chords);
        if (s.melody) {
            writeLine(melody, kMelody, at, s.melody, 84, 0);
            if (s.lead) writeLine(lead, kLead, at, s.melody, 70, -12);
        }
        if (s.crash) hit(drums, at, kCrash, 96);
        for (size_t b = 0; b < chords.size(); ++b, ++barIndex) {
            const uint32_t bar = at + static_cast<uint32_t>(b) * kBar;
            const bool last = b + 1 == chords.size();
            padBar(pad, bar, chords[b], s.melody ? 52 : 64);
            harpBar(harp, bar, chords[b], s.melody ? 54 : 66);
            bassBar(bass, bar, chords[b], s.bass, b % 4 == 3);
            if (s.strings) stringsBar(strings, bar, chords[b]);
            drumBar(drums, bar, s.drums, s.fill && last, barIndex);
        }
        at += static_cast<uint32_t>(chords.size()) * kBar;
    }

    // The ending: the harp alone slows down and the last chord rings out.
    const std::vector<Chord> outro = chordsOf(kOutro);
    hit(drums, at, kCrash, 100);
    hit(drums, at, kKick, 100);
    for (size_t b = 0; b + 1 < outro.size(); ++b) {
        const uint32_t bar = at + static_cast<uint32_t>(b) * kBar;
        padBar(pad, bar, outro[b], 56 - 6 * static_cast<int>(b));
        harpBar(harp, bar, outro[b], 62 - 6 * static_cast<int>(b));
        bassBar(bass, bar, outro[b], Bass::Long, false);
        drumBar(drums, bar, Drums::Hats, false, 0);
    }
    conductor.tempo(at + 2 * kBar, 560000);
    conductor.tempo(at + 3 * kBar, 640000);
    const uint32_t final = at + 3 * kBar;
    const Chord home = outro.back();
    padBar(pad, final, home, 60);
    bass.note(final, kBar, kBass, inRange(home.root, 40), 96);
    for (int interval : {0, 7, 12, 15})
        harp.note(final + static_cast<uint32_t>(interval) * 10, kBar, kHarp, inRange(home.root, 57) + interval, 70);
    melody.note(final, kBar, kMelody, keyOf("A4"), 80);
    hit(drums, final, kCrash, 90);
    hit(drums, final, kKick, 90);
    // A little silence after the last note lets it ring before the file ends.
    conductor.text(final + kBar + kBeat, 0x06, "Ende");

    return encodeMidi({conductor, melody, lead, harp, pad, bass, strings, drums}, kPpq);
}

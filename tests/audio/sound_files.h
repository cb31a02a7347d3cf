#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Small sound files the audio tests make for themselves.

// A mono 16-bit 44.1 kHz wave of random +amplitude/-amplitude samples. Noise
// rather than a pure tone: two copies started a few milliseconds apart add up
// louder instead of cancelling each other out at some phase offset.
void WriteNoiseWav(const std::string& path, int32_t milliseconds, int16_t amplitude);

// A one-track MIDI file at one tick per millisecond: a single held note from
// the start to noteOffMs, and the end of the tune at endMs.
void WriteSingleNoteMidi(const std::string& path, int32_t noteOffMs, int32_t endMs);

// The raw output of SDL's "disk" audio driver (interleaved S16LE frames),
// read back while the driver is still writing it in real time.
class DiskOutput {
public:
    DiskOutput(std::string path, int32_t rate, int32_t channels);

    // The number of frames written so far: the stream's "now".
    int64_t Mark() const;
    // Waits until the stream has passed mark + fromMs + lengthMs and returns
    // the samples between mark + fromMs and that point. A stream that stands
    // still for kRestMs belongs to a resting device: the samples it lacks are
    // silence. Empty when the stream is unreadable, or still running after 5 s.
    std::vector<int16_t> Window(int64_t mark, int32_t fromMs, int32_t lengthMs) const;
    // Far longer than a buffer (23 ms), or than a busy machine keeps a
    // running audio thread waiting.
    static constexpr int32_t kRestMs = 1000;

private:
    int64_t FramesFor(int32_t milliseconds) const;

    std::string path_;
    int32_t rate_;
    int32_t channels_;
};

double Rms(const std::vector<int16_t>& samples);
int32_t MaxAbs(const std::vector<int16_t>& samples);
// The loudest stretch: the largest RMS over consecutive windows of windowMs.
double PeakWindowRms(const std::vector<int16_t>& samples, int32_t rate, int32_t channels, int32_t windowMs);

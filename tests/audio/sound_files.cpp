#include "sound_files.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <system_error>
#include <thread>
#include <utility>

namespace {

void PutLe(std::string& out, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

void PutBe(std::string& out, uint32_t value, int bytes)
{
    for (int i = bytes - 1; i >= 0; --i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

// A MIDI variable-length quantity: seven bits per byte, high bit = more follows.
void PutVarLength(std::string& out, uint32_t value)
{
    std::string reversed(1, static_cast<char>(value & 0x7F));
    while (value >>= 7) reversed.push_back(static_cast<char>((value & 0x7F) | 0x80));
    out.append(reversed.rbegin(), reversed.rend());
}

void WriteFile(const std::string& path, const std::string& bytes)
{
    std::ofstream file(path, std::ios::binary);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!file) throw std::runtime_error("cannot write " + path);
}

}  // namespace

void WriteNoiseWav(const std::string& path, int32_t milliseconds, int16_t amplitude)
{
    const uint32_t rate = 44100;
    const uint32_t frames = rate * static_cast<uint32_t>(milliseconds) / 1000;
    std::string data;
    uint32_t seed = 12345;
    for (uint32_t i = 0; i < frames; ++i) {
        seed = seed * 1103515245u + 12345u;
        const int16_t sample = (seed & 0x10000) ? amplitude : static_cast<int16_t>(-amplitude);
        PutLe(data, static_cast<uint16_t>(sample), 2);
    }
    std::string wav = "RIFF";
    PutLe(wav, 36 + static_cast<uint32_t>(data.size()), 4);
    wav += "WAVEfmt ";
    PutLe(wav, 16, 4);  // format chunk size
    PutLe(wav, 1, 2);   // PCM
    PutLe(wav, 1, 2);   // mono
    PutLe(wav, rate, 4);
    PutLe(wav, rate * 2, 4);  // bytes per second
    PutLe(wav, 2, 2);         // bytes per frame
    PutLe(wav, 16, 2);        // bits per sample
    wav += "data";
    PutLe(wav, static_cast<uint32_t>(data.size()), 4);
    WriteFile(path, wav + data);
}

void WriteSingleNoteMidi(const std::string& path, int32_t noteOffMs, int32_t endMs)
{
    std::string track;
    PutVarLength(track, 0);
    track += "\xC0\x50";  // channel 1: square lead, a steady tone
    PutVarLength(track, 0);
    track += "\x90\x45\x64";  // note on A4, velocity 100
    PutVarLength(track, static_cast<uint32_t>(noteOffMs));
    track += std::string("\x80\x45\x00", 3);
    PutVarLength(track, static_cast<uint32_t>(endMs - noteOffMs));
    track += std::string("\xFF\x2F\x00", 3);  // end of track

    std::string midi = "MThd";
    PutBe(midi, 6, 4);
    PutBe(midi, 0, 2);    // format 0
    PutBe(midi, 1, 2);    // one track
    PutBe(midi, 500, 2);  // ticks per quarter; at the default 120 bpm a tick is 1 ms
    midi += "MTrk";
    PutBe(midi, static_cast<uint32_t>(track.size()), 4);
    WriteFile(path, midi + track);
}

DiskOutput::DiskOutput(std::string path, int32_t rate, int32_t channels)
    : path_(std::move(path)), rate_(rate), channels_(channels)
{}

int64_t DiskOutput::FramesFor(int32_t milliseconds) const
{
    return static_cast<int64_t>(milliseconds) * rate_ / 1000;
}

int64_t DiskOutput::Mark() const
{
    std::error_code error;
    const auto bytes = std::filesystem::file_size(path_, error);
    if (error) return 0;
    return static_cast<int64_t>(bytes) / (2 * channels_);
}

std::vector<int16_t> DiskOutput::Window(int64_t mark, int32_t fromMs, int32_t lengthMs) const
{
    const int64_t first = mark + FramesFor(fromMs);
    const int64_t end = first + FramesFor(lengthMs);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    // A resting device is handed nothing, which a speaker plays as silence:
    // once the stream has stood still this long, what it lacks is silence.
    const auto restAfter = std::chrono::milliseconds(kRestMs);
    int64_t written = Mark();
    auto grew = std::chrono::steady_clock::now();
    while (written < end) {
        const auto now = std::chrono::steady_clock::now();
        if (now > deadline) return {};
        if (now - grew > restAfter) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        const int64_t before = written;
        written = Mark();
        if (written != before) grew = std::chrono::steady_clock::now();
    }
    std::vector<int16_t> samples(static_cast<size_t>((end - first) * channels_), 0);
    const int64_t available = std::min(written, end) - first;
    if (available <= 0) return samples;
    std::ifstream file(path_, std::ios::binary);
    file.seekg(first * 2 * channels_);
    file.read(reinterpret_cast<char*>(samples.data()), static_cast<std::streamsize>(available * channels_ * 2));
    if (!file) return {};
    return samples;  // the machines are little-endian, like the stream
}

double Rms(const std::vector<int16_t>& samples)
{
    if (samples.empty()) return 0.0;
    double sum = 0.0;
    for (int16_t s : samples) sum += static_cast<double>(s) * s;
    return std::sqrt(sum / static_cast<double>(samples.size()));
}

int32_t MaxAbs(const std::vector<int16_t>& samples)
{
    int32_t peak = 0;
    for (int16_t s : samples) peak = std::max(peak, std::abs(static_cast<int32_t>(s)));
    return peak;
}

double PeakWindowRms(const std::vector<int16_t>& samples, int32_t rate, int32_t channels, int32_t windowMs)
{
    const size_t window = static_cast<size_t>(rate) * windowMs / 1000 * channels;
    double peak = 0.0;
    for (size_t start = 0; start + window <= samples.size(); start += window) {
        const std::vector<int16_t> part(samples.begin() + static_cast<std::ptrdiff_t>(start),
                                        samples.begin() + static_cast<std::ptrdiff_t>(start + window));
        peak = std::max(peak, Rms(part));
    }
    return peak;
}

#include "sounds.h"

#include <algorithm>
#include <cmath>

#include "rng.h"

namespace {

constexpr float kPi = 3.14159265358979f;

int samplesFor(float seconds)
{
    return static_cast<int>(seconds * kSampleRate);
}

float timeOf(int i)
{
    return static_cast<float>(i) / kSampleRate;
}

// Chamberlin state-variable filter; stable for the frequencies used here.
struct Filter {
    float low = 0, band = 0;

    void step(float in, float cutoff, float q)
    {
        const float f = 2 * std::sin(kPi * cutoff / kSampleRate);
        low += f * band;
        const float high = in - low - q * band;
        band += f * high;
    }
    float bandPass(float in, float cutoff, float q)
    {
        step(in, cutoff, q);
        return band;
    }
    float lowPass(float in, float cutoff, float q)
    {
        step(in, cutoff, q);
        return low;
    }
};

// One hand clap: a few quick bursts of band-passed noise, the last one ringing longer.
void addClap(std::vector<float>& out, float start, float gain, float centre, Rng& rng)
{
    const float bursts[] = {0.f, 0.0095f, 0.0205f, 0.0315f};
    Filter body, air;
    const int first = samplesFor(start);
    for (int i = first; i < static_cast<int>(out.size()); ++i) {
        const float t = timeOf(i) - start;
        float env = 0;
        for (int k = 0; k < 4; ++k) {
            const float dt = t - bursts[k];
            if (dt < 0) continue;
            env += k < 3 ? std::exp(-dt / 0.0042f) : 1.4f * std::exp(-dt / 0.05f);
        }
        const float tail = 0.22f * std::exp(-t / 0.12f);
        const float noise = rng.bipolar();
        out[static_cast<size_t>(i)] += gain * (env * body.bandPass(noise, centre, 0.9f) +
                                               tail * air.bandPass(noise, centre * 1.6f, 1.2f));
    }
}

}  // namespace

std::vector<float> synthTurn()
{
    std::vector<float> s(static_cast<size_t>(samplesFor(0.08f)));
    Rng rng(0x7E11);
    Filter swish;
    float clickPhase = 0, tickPhase = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        const float t = timeOf(static_cast<int>(i));
        // Air rushing past: noise through a band that sweeps upwards.
        const float cutoff = 1200.f * std::pow(4.2f, t / 0.08f);
        const float env = t < 0.012f ? t / 0.012f : std::exp(-(t - 0.012f) / 0.022f);
        const float air = swish.bandPass(rng.bipolar(), cutoff, 0.55f) * env;
        // The crisp edge: a fast rising click and a small tick under it.
        clickPhase += 2 * kPi * (2300.f + 9000.f * t) / kSampleRate;
        tickPhase += 2 * kPi * 880.f / kSampleRate;
        const float click = 0.55f * std::sin(clickPhase) * std::exp(-t / 0.0055f);
        const float tick = 0.3f * std::sin(tickPhase) * std::exp(-t / 0.014f);
        s[i] = 1.6f * air + click + tick;
    }
    return s;
}

std::vector<float> synthLanding()
{
    std::vector<float> s(static_cast<size_t>(samplesFor(0.15f)));
    Rng rng(0xD0E4);
    Filter dust;
    float phase = 0, knockPhase = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        const float t = timeOf(static_cast<int>(i));
        // A low body whose pitch falls as the block settles.
        phase += 2 * kPi * (52.f + 120.f * std::exp(-t / 0.028f)) / kSampleRate;
        const float body = std::sin(phase) * (1 - std::exp(-t / 0.0018f)) * std::exp(-t / 0.048f);
        // The contact itself: a dull burst of low noise and a short wooden knock.
        const float hit = 0.55f * dust.lowPass(rng.bipolar(), 900.f, 0.8f) * std::exp(-t / 0.008f);
        knockPhase += 2 * kPi * 430.f / kSampleRate;
        const float knock = 0.22f * std::sin(knockPhase) * std::exp(-t / 0.018f);
        s[i] = body + hit + knock;
    }
    return s;
}

std::vector<float> synthClap()
{
    std::vector<float> s(static_cast<size_t>(samplesFor(0.4f)), 0.f);
    Rng rng(0xC1A9);
    // Three hands a few milliseconds apart make one full clap; then a second one.
    const float hands[][2] = {{0.f, 1000.f}, {0.006f, 1350.f}, {0.014f, 820.f}};
    for (const auto& h : hands) addClap(s, h[0], 1.f, h[1], rng);
    for (const auto& h : hands) addClap(s, 0.19f + h[0], 0.8f, h[1] * 1.08f, rng);
    return s;
}

std::vector<uint8_t> encodeWav(std::vector<float> samples)
{
    float peak = 0;
    for (float v : samples) peak = std::max(peak, std::abs(v));
    const float gain = peak > 0 ? 0.85f / peak : 0.f;
    const size_t fadeIn = static_cast<size_t>(samplesFor(0.002f));
    const size_t fadeOut = static_cast<size_t>(samplesFor(0.012f));
    for (size_t i = 0; i < samples.size(); ++i) {
        float g = gain;
        if (i < fadeIn) g *= static_cast<float>(i) / static_cast<float>(fadeIn);
        const size_t fromEnd = samples.size() - 1 - i;
        if (fromEnd < fadeOut)
            g *= 0.5f - 0.5f * std::cos(kPi * static_cast<float>(fromEnd) / static_cast<float>(fadeOut));
        samples[i] *= g;
    }

    const uint32_t dataBytes = static_cast<uint32_t>(samples.size() * 2);
    std::vector<uint8_t> out;
    auto put = [&](uint32_t v, int bytes) {
        for (int k = 0; k < bytes; ++k) out.push_back(static_cast<uint8_t>(v >> (8 * k)));
    };
    auto tag = [&](const char* t) { out.insert(out.end(), t, t + 4); };
    tag("RIFF");
    put(36 + dataBytes, 4);
    tag("WAVE");
    tag("fmt ");
    put(16, 4);
    put(1, 2);  // PCM
    put(1, 2);  // mono
    put(kSampleRate, 4);
    put(kSampleRate * 2, 4);  // bytes per second
    put(2, 2);                // block align
    put(16, 2);               // bits per sample
    tag("data");
    put(dataBytes, 4);
    for (float v : samples) {
        const long q = std::lround(std::clamp(v, -1.f, 1.f) * 32767.f);
        put(static_cast<uint32_t>(static_cast<int32_t>(q)) & 0xFFFF, 2);
    }
    return out;
}

std::vector<SoundFile> makeSounds()
{
    return {{"drehen.wav", encodeWav(synthTurn())},
            {"down.wav", encodeWav(synthLanding())},
            {"klatsch.wav", encodeWav(synthClap())}};
}

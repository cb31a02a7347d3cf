#include "asset_reading.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <map>

std::vector<uint8_t> readBytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

namespace {

uint32_t le(const std::vector<uint8_t>& b, size_t at, int bytes)
{
    uint32_t v = 0;
    for (int k = bytes - 1; k >= 0; --k) v = (v << 8) | b[at + static_cast<size_t>(k)];
    return v;
}

uint32_t be(const std::vector<uint8_t>& b, size_t at, int bytes)
{
    uint32_t v = 0;
    for (int k = 0; k < bytes; ++k) v = (v << 8) | b[at + static_cast<size_t>(k)];
    return v;
}

}  // namespace

bool Bitmap::isKey(int x, int y) const
{
    return pixel(x, y) == 0x000014;
}

uint32_t Bitmap::pixel(int x, int y) const
{
    const size_t i = (static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)) * 3;
    return (uint32_t{rgb[i]} << 16) | (uint32_t{rgb[i + 1]} << 8) | rgb[i + 2];
}

Bitmap readBitmap(const std::filesystem::path& path)
{
    Bitmap bmp;
    const std::vector<uint8_t> b = readBytes(path);
    if (b.size() < 54 || b[0] != 'B' || b[1] != 'M') {
        bmp.problem = "no BM header";
        return bmp;
    }
    const uint32_t offset = le(b, 10, 4);
    const int32_t height = static_cast<int32_t>(le(b, 22, 4));
    bmp.width = static_cast<int>(le(b, 18, 4));
    bmp.height = height < 0 ? -height : height;
    bmp.bitsPerPixel = static_cast<int>(le(b, 28, 2));
    if (le(b, 2, 4) != b.size())
        bmp.problem = "file size field differs from the file";
    else if (le(b, 14, 4) != 40)
        bmp.problem = "not a 40-byte info header";
    else if (le(b, 26, 2) != 1)
        bmp.problem = "planes not 1";
    else if (bmp.bitsPerPixel != 24)
        bmp.problem = "not 24 bits per pixel";
    else if (le(b, 30, 4) != 0)
        bmp.problem = "compressed";
    if (!bmp.problem.empty()) return bmp;

    const size_t stride = (static_cast<size_t>(bmp.width) * 3 + 3) & ~size_t{3};
    if (offset + stride * static_cast<size_t>(bmp.height) > b.size()) {
        bmp.problem = "pixel data shorter than the header says";
        return bmp;
    }
    bmp.rgb.resize(static_cast<size_t>(bmp.width) * static_cast<size_t>(bmp.height) * 3);
    for (int y = 0; y < bmp.height; ++y) {
        const int fileRow = height > 0 ? bmp.height - 1 - y : y;
        const size_t src = offset + static_cast<size_t>(fileRow) * stride;
        for (int x = 0; x < bmp.width; ++x) {
            const size_t dst = (static_cast<size_t>(y) * static_cast<size_t>(bmp.width) + static_cast<size_t>(x)) * 3;
            bmp.rgb[dst] = b[src + static_cast<size_t>(x) * 3 + 2];
            bmp.rgb[dst + 1] = b[src + static_cast<size_t>(x) * 3 + 1];
            bmp.rgb[dst + 2] = b[src + static_cast<size_t>(x) * 3];
        }
    }
    bmp.valid = true;
    return bmp;
}

Wave readWave(const std::filesystem::path& path)
{
    Wave w;
    const std::vector<uint8_t> b = readBytes(path);
    if (b.size() < 12 || std::string(b.begin(), b.begin() + 4) != "RIFF" ||
        std::string(b.begin() + 8, b.begin() + 12) != "WAVE") {
        w.problem = "no RIFF/WAVE header";
        return w;
    }
    if (le(b, 4, 4) + 8 != b.size()) {
        w.problem = "RIFF size differs from the file";
        return w;
    }
    bool haveFormat = false;
    for (size_t at = 12; at + 8 <= b.size();) {
        const std::string id(b.begin() + static_cast<long>(at), b.begin() + static_cast<long>(at) + 4);
        const size_t size = le(b, at + 4, 4);
        const size_t body = at + 8;
        if (body + size > b.size()) {
            w.problem = "chunk " + id + " runs past the end";
            return w;
        }
        if (id == "fmt " && size >= 16) {
            w.format = static_cast<int>(le(b, body, 2));
            w.channels = static_cast<int>(le(b, body + 2, 2));
            w.sampleRate = static_cast<int>(le(b, body + 4, 4));
            w.bitsPerSample = static_cast<int>(le(b, body + 14, 2));
            haveFormat = true;
        } else if (id == "data") {
            for (size_t i = 0; i + 1 < size; i += 2) w.samples.push_back(static_cast<int16_t>(le(b, body + i, 2)));
        }
        at = body + size + (size & 1);
    }
    if (!haveFormat)
        w.problem = "no fmt chunk";
    else if (w.samples.empty())
        w.problem = "no samples";
    w.valid = w.problem.empty();
    return w;
}

Midi readMidi(const std::filesystem::path& path)
{
    Midi m;
    const std::vector<uint8_t> b = readBytes(path);
    if (b.size() < 14 || std::string(b.begin(), b.begin() + 4) != "MThd" || be(b, 4, 4) != 6) {
        m.problem = "no MThd header";
        return m;
    }
    m.format = static_cast<int>(be(b, 8, 2));
    m.declaredTracks = static_cast<int>(be(b, 10, 2));
    m.ticksPerQuarter = static_cast<int>(be(b, 12, 2));
    if (m.ticksPerQuarter <= 0 || m.ticksPerQuarter >= 0x8000) {
        m.problem = "no ticks-per-quarter division";
        return m;
    }

    std::map<uint32_t, uint32_t> tempo = {{0, 500000}};
    uint32_t endTick = 0;
    size_t at = 14;
    while (at + 8 <= b.size()) {
        if (std::string(b.begin() + static_cast<long>(at), b.begin() + static_cast<long>(at) + 4) != "MTrk") {
            m.problem = "a chunk that is not MTrk";
            return m;
        }
        const size_t end = at + 8 + be(b, at + 4, 4);
        if (end > b.size()) {
            m.problem = "a track runs past the end of the file";
            return m;
        }
        size_t p = at + 8;
        uint32_t tick = 0;
        uint8_t status = 0;
        bool ended = false;
        auto varLen = [&]() {
            uint32_t v = 0;
            while (p < end) {
                const uint8_t c = b[p++];
                v = (v << 7) | (c & 0x7F);
                if (!(c & 0x80)) break;
            }
            return v;
        };
        while (p < end && !ended) {
            tick += varLen();
            if (p >= end) break;
            if (b[p] == 0xFF) {
                const uint8_t type = b[p + 1];
                p += 2;
                const uint32_t len = varLen();
                if (type == 0x51 && len == 3) tempo[tick] = be(b, p, 3);
                if (type == 0x2F) {
                    ended = true;
                    endTick = std::max(endTick, tick);
                }
                p += len;
            } else if (b[p] == 0xF0 || b[p] == 0xF7) {
                ++p;
                p += varLen();
            } else {
                if (b[p] & 0x80) status = b[p++];
                const int kind = status & 0xF0, channel = status & 0x0F;
                if (kind == 0xC0 || kind == 0xD0) {
                    if (kind == 0xC0) m.programsByChannel[static_cast<size_t>(channel)].push_back(b[p]);
                    p += 1;
                } else {
                    if (kind == 0x90 && b[p + 1] > 0) ++m.noteOnsByChannel[static_cast<size_t>(channel)];
                    p += 2;
                }
            }
        }
        if (!ended || p != end) {
            m.problem = "a track does not end with its end-of-track event";
            return m;
        }
        ++m.tracksFound;
        at = end;
    }
    if (at != b.size()) {
        m.problem = "bytes after the last track";
        return m;
    }

    uint32_t lastTick = 0, usPerQuarter = 500000;
    for (const auto& [t, us] : tempo) {
        if (t > endTick) break;
        m.seconds += static_cast<double>(t - lastTick) / m.ticksPerQuarter * usPerQuarter / 1e6;
        lastTick = t;
        usPerQuarter = us;
    }
    m.seconds += static_cast<double>(endTick - lastTick) / m.ticksPerQuarter * usPerQuarter / 1e6;
    m.valid = true;
    return m;
}

Level readLevel(const std::filesystem::path& path)
{
    Level level;
    const std::vector<uint8_t> b = readBytes(path);
    std::string line;
    auto finishLine = [&]() {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::vector<int> row;
        bool ok = line.size() == 20;
        for (size_t i = 0; ok && i < line.size(); i += 2) {
            ok = line[i] >= '0' && line[i] <= '9' && line[i + 1] == ',';
            if (ok) row.push_back(line[i] - '0');
        }
        if (!ok && level.problem.empty())
            level.problem = "line " + std::to_string(level.rows.size() + 1) +
                            " is not ten values each with a comma: \"" + line + "\"";
        level.rows.push_back(row);
        line.clear();
    };
    for (uint8_t c : b) {
        if (c == '\n')
            finishLine();
        else
            line.push_back(static_cast<char>(c));
    }
    if (!line.empty()) finishLine();
    level.wellFormed = level.problem.empty();
    return level;
}

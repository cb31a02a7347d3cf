#include "replay_check.h"

#include <map>
#include <sstream>

#include "driver.h"
#include "shell/replay_run.h"

namespace {

uint64_t checksum(const Surface& frame)
{
    uint64_t h = 1469598103934665603ull;  // FNV-1a over the pixels
    for (uint32_t p : frame.pixels) {
        for (int i = 0; i < 4; ++i) {
            h ^= (p >> (8 * i)) & 0xFF;
            h *= 1099511628211ull;
        }
    }
    return h;
}

// About thirty moments spread over the inputs, twenty over the whole game,
// and the last picture.
std::vector<bool> chosenMoments(const Recording& recording)
{
    size_t inputs = 0;
    for (const ReplayItem& item : recording.items) inputs += item.type == ReplayItem::Type::Input;
    const size_t every = inputs / 30 + 1;
    std::vector<bool> chosen(recording.items.size(), false);
    size_t seen = 0;
    for (size_t i = 0; i < recording.items.size(); ++i) {
        if (recording.items[i].type == ReplayItem::Type::Input && seen++ % every == 0) chosen[i] = true;
    }
    const size_t stride = recording.items.size() / 20 + 1;
    for (size_t i = 0; i < chosen.size(); i += stride) chosen[i] = true;
    if (!chosen.empty()) chosen.back() = true;
    return chosen;
}

std::vector<std::pair<std::string, std::string>> namedFields(const ReplayOutcome& o, const std::string& name)
{
    std::vector<std::pair<std::string, std::string>> f;
    f.push_back({"end", o.how});
    for (int32_t r = 0; r < kRows; ++r) {
        std::string cells;
        for (int32_t c = 0; c < kColumns; ++c) cells += (c ? " " : "") + std::to_string(o.board[r][c]);
        f.push_back({"board " + std::to_string(r), cells});
    }
    f.push_back({"points", std::to_string(o.points)});
    f.push_back({"lines", std::to_string(o.lines)});
    f.push_back({"bonus", std::to_string(o.bonus)});
    f.push_back({"total", std::to_string(o.total)});
    if (o.race) {
        f.push_back({"level", std::to_string(o.level)});
        f.push_back({"lives", std::to_string(o.lives)});
        f.push_back({"rows driven", std::to_string(o.rowsDriven)});
    }
    // The row the list would take in a fresh list of nine defaults.
    if (o.handed)
        f.push_back({"entered", std::to_string(o.enteredRank) + " " + std::to_string(o.enteredScore) + " " + name});
    return f;
}

}  // namespace

ReplayedGame replayHeadless(const std::string& text)
{
    ReplayedGame result;
    Recording recording;
    if (!readRecording(text, recording, result.readError)) return result;
    const std::vector<bool> chosen = chosenMoments(recording);
    const std::string name = recording.name;

    Driver d;
    ReplayRun run(d.app(), recording);
    run.start();
    for (;;) {
        const size_t item = run.position();
        const bool went = run.step();
        if (item < chosen.size() && chosen[item]) result.frames.push_back({item + 5, checksum(d.frame())});
        if (!went) break;
    }
    result.verdict = run.verdict();
    result.fields = namedFields(d.app().gameOutcome(), name);
    return result;
}

std::string expectedText(const ReplayedGame& game)
{
    std::ostringstream out;
    for (const auto& field : game.fields) out << field.first << ": " << field.second << '\n';
    for (const auto& frame : game.frames)
        out << "frame after line " << frame.first << ": " << std::hex << frame.second << std::dec << '\n';
    return out.str();
}

std::string differencesFromExpected(const ReplayedGame& game, const std::string& expected)
{
    std::map<std::string, std::string> want;
    std::vector<std::string> order;
    std::istringstream in(expected);
    std::string line;
    while (std::getline(in, line)) {
        const size_t colon = line.find(": ");
        if (colon == std::string::npos) continue;
        want[line.substr(0, colon)] = line.substr(colon + 2);
        order.push_back(line.substr(0, colon));
    }
    std::map<std::string, std::string> got;
    std::istringstream gotIn(expectedText(game));
    while (std::getline(gotIn, line)) {
        const size_t colon = line.find(": ");
        got[line.substr(0, colon)] = line.substr(colon + 2);
    }
    std::ostringstream out;
    for (const std::string& key : order) {
        const auto g = got.find(key);
        if (g == got.end())
            out << key << ": missing, expected " << want[key] << '\n';
        else if (g->second != want[key])
            out << key << ": " << g->second << " instead of " << want[key] << '\n';
    }
    for (const auto& g : got) {
        if (want.count(g.first) == 0) out << g.first << ": " << g.second << " is not expected\n";
    }
    return out.str();
}

#include "levels.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

#include "rng.h"

namespace {

constexpr int kCarWidth = 3;
constexpr int kLastCarColumn = kTrackColumns - kCarWidth;
constexpr int kStartRow = kTrackRows - 4;  // the car's box over the last four rows
constexpr int kOpenFrom = 272;             // rows from here down are the open start area
constexpr int kOpenUpTo = 10;              // rows up to here are the open finish

enum Cell { kEmpty = 0, kHedge = 1, kOil = 2, kRacer = 3, kCone = 4, kKerbRed = 5, kKerbYellow = 6 };

struct Difficulty {
    int roadWidth;          // columns between the walls
    int roadGap;            // rows between two moves of the road, at least
    int laneGap;            // rows between two moves of the safe lane, at least
    double turnChance;      // chance per row that road or lane heads somewhere new
    int obstacleGap;        // rows between obstacles, at least
    double obstacleChance;  // chance per row once the gap has passed
    int obstacleKinds;      // how many of the shapes below may appear
};

const Difficulty kLevels[5] = {
    {8, 10, 4, 0.04, 10, 0.25, 2}, {8, 8, 3, 0.05, 7, 0.35, 3}, {7, 7, 3, 0.06, 5, 0.40, 4},
    {7, 6, 2, 0.08, 4, 0.50, 4},   {6, 5, 2, 0.10, 2, 0.70, 4},
};

struct Span {
    int lo = kTrackColumns, hi = -1;  // inclusive columns
};

// Moves value one step towards target, if the last move is long enough ago.
void drift(int& value, int& target, int& wait, int gap)
{
    if (wait > 0) --wait;
    if (value != target && wait == 0) {
        value += target > value ? 1 : -1;
        wait = gap;
    }
}

// The road's left edge for each track row; it swings slowly from side to side.
std::vector<int> roadEdges(const Difficulty& d, Rng& rng)
{
    std::vector<int> left(kTrackRows);
    const int widest = kTrackColumns - d.roadWidth;
    int edge = widest / 2, target = edge, wait = 0;
    for (int t = kTrackRows - 1; t >= 0; --t) {
        if (edge == target && rng.chance(d.turnChance)) target = rng.below(widest + 1);
        drift(edge, target, wait, d.roadGap);
        left[static_cast<size_t>(t)] = edge;
    }
    return left;
}

// The safe lane: the car's left column for each track row, kept on the road
// and changing lanes no faster than the level allows. The rows around t
// count too, since the car's box is four rows high.
std::vector<int> safeLane(const std::vector<int>& road, const Difficulty& d, Rng& rng)
{
    std::vector<int> lane(kTrackRows);
    int column = road.back() + 1, target = column, wait = 0;
    for (int t = kTrackRows - 1; t >= 0; --t) {
        int lo = 0, hi = kLastCarColumn;
        for (int r = std::max(0, t - 6); r <= std::min(kTrackRows - 1, t + 3); ++r) {
            lo = std::max(lo, road[static_cast<size_t>(r)]);
            hi = std::min(hi, road[static_cast<size_t>(r)] + d.roadWidth - kCarWidth);
        }
        if (lo > hi) lo = hi = (lo + hi) / 2;  // walls give way below if the road swings too fast
        if (target < lo || target > hi || (column == target && rng.chance(d.turnChance * 3)))
            target = lo + rng.below(hi - lo + 1);
        drift(column, target, wait, d.laneGap);
        lane[static_cast<size_t>(t)] = column;
    }
    return lane;
}

// The columns a car following the lane may touch in row r: every car top
// that covers the row, and the moves between them, with a row to spare.
std::vector<Span> protectedZone(const std::vector<int>& lane)
{
    std::vector<Span> zone(kTrackRows);
    for (int r = 0; r < kTrackRows; ++r)
        for (int t = std::max(0, r - 5); t <= std::min(kTrackRows - 1, r + 1); ++t) {
            Span& z = zone[static_cast<size_t>(r)];
            z.lo = std::min(z.lo, lane[static_cast<size_t>(t)]);
            z.hi = std::max(z.hi, lane[static_cast<size_t>(t)] + kCarWidth - 1);
        }
    return zone;
}

// How thick the walls may be in row r: none in the open start and finish,
// growing by one column every three rows in between.
int wallLimit(int r)
{
    return std::max(0, std::min(kOpenFrom - r, r - kOpenUpTo) / 3);
}

void buildWalls(Track& track, const std::vector<int>& road, const std::vector<Span>& zone, const Difficulty& d)
{
    for (int r = 0; r < kTrackRows; ++r) {
        const Span& z = zone[static_cast<size_t>(r)];
        const int roadLeft = road[static_cast<size_t>(r)];
        const int left = std::min({wallLimit(r), roadLeft, z.lo});
        const int right = std::min({wallLimit(r), kTrackColumns - roadLeft - d.roadWidth, kTrackColumns - 1 - z.hi});
        auto& row = track[static_cast<size_t>(r)];
        // Kerbs in red and yellow stripes line the road; hedges stand behind them.
        const int kerb = (r / 2) % 2 == 0 ? kKerbRed : kKerbYellow;
        for (int c = 0; c < left; ++c) row[static_cast<size_t>(c)] = c == left - 1 ? kerb : kHedge;
        for (int c = 0; c < right; ++c)
            row[static_cast<size_t>(kTrackColumns - 1 - c)] = c == right - 1 ? kerb : kHedge;
    }
}

struct Shape {
    int cells[6][2];
    int count;
    int colour;
};

const Shape kShapes[] = {
    {{{0, 0}}, 1, kCone},
    {{{0, 0}, {0, 1}}, 2, kCone},
    {{{0, 0}, {0, 1}, {1, 0}, {1, 1}}, 4, kOil},
    {{{0, 1}, {1, 0}, {1, 2}, {2, 1}, {3, 0}, {3, 2}}, 6, kRacer},  // another car
};

bool isObstacle(int v)
{
    return v == kCone || v == kOil || v == kRacer;
}

bool fits(const Track& track, const std::vector<Span>& zone, const Shape& s, int top, int left)
{
    for (int k = 0; k < s.count; ++k) {
        const int r = top + s.cells[k][0], c = left + s.cells[k][1];
        if (r < 0 || r >= kTrackRows || c < 0 || c >= kTrackColumns) return false;
        if (wallLimit(r) == 0) return false;
        const Span& z = zone[static_cast<size_t>(r)];
        if (c >= z.lo && c <= z.hi) return false;
        if (track[static_cast<size_t>(r)][static_cast<size_t>(c)] != kEmpty) return false;
        // Keep a free cell around every obstacle, so shapes never merge.
        for (int dr = -1; dr <= 1; ++dr)
            for (int dc = -1; dc <= 1; ++dc) {
                const int rr = r + dr, cc = c + dc;
                if (rr >= 0 && rr < kTrackRows && cc >= 0 && cc < kTrackColumns &&
                    isObstacle(track[static_cast<size_t>(rr)][static_cast<size_t>(cc)]))
                    return false;
            }
    }
    return true;
}

void placeObstacles(Track& track, const std::vector<Span>& zone, const Difficulty& d, Rng& rng)
{
    int sinceLast = 0;
    for (int r = kTrackRows - 1; r >= 0; --r) {
        if (++sinceLast < d.obstacleGap || !rng.chance(d.obstacleChance)) continue;
        const Shape& s = kShapes[rng.below(d.obstacleKinds)];
        const int top = r - 3;
        const int start = rng.below(kTrackColumns);
        for (int i = 0; i < kTrackColumns; ++i) {
            const int left = (start + i) % kTrackColumns;
            if (!fits(track, zone, s, top, left)) continue;
            for (int k = 0; k < s.count; ++k)
                track[static_cast<size_t>(top + s.cells[k][0])][static_cast<size_t>(left + s.cells[k][1])] = s.colour;
            sinceLast = 0;
            break;
        }
    }
}

bool carFits(const Track& track, int top, int left)
{
    if (top < 0 || top + 3 >= kTrackRows || left < 0 || left > kLastCarColumn) return false;
    for (const auto& cell : kCarCells)
        if (track[static_cast<size_t>(top + cell[0])][static_cast<size_t>(left + cell[1])] != 0) return false;
    return true;
}

}  // namespace

Track makeLevel(int level)
{
    const Difficulty& d = kLevels[std::clamp(level, 1, 5) - 1];
    Rng rng(0x4B4C4F545A41ull + static_cast<uint64_t>(level) * 7919);
    Track track{};
    const std::vector<int> road = roadEdges(d, rng);
    const std::vector<Span> zone = protectedZone(safeLane(road, d, rng));
    buildWalls(track, road, zone, d);
    placeObstacles(track, zone, d, rng);
    return track;
}

std::string levelText(const Track& track)
{
    std::string text;
    for (const auto& row : track) {
        for (int v : row) {
            text += static_cast<char>('0' + v);
            text += ',';
        }
        text += "\r\n";
    }
    return text;
}

bool passableFrom(const Track& track, int startColumn, int rowsPerShift)
{
    // reach[k][w]: the car's box can stand at column k with w rows still to
    // wait before its next move.
    const int gap = std::max(1, rowsPerShift);
    using Reach = std::vector<std::vector<bool>>;
    Reach reach(kLastCarColumn + 1, std::vector<bool>(static_cast<size_t>(gap), false));
    if (!carFits(track, kStartRow, startColumn)) return false;
    reach[static_cast<size_t>(startColumn)][0] = true;
    for (int t = kStartRow; t > 1; --t) {
        Reach next(kLastCarColumn + 1, std::vector<bool>(static_cast<size_t>(gap), false));
        bool any = false;
        for (int k = 0; k <= kLastCarColumn; ++k)
            for (int w = 0; w < gap; ++w) {
                if (!reach[static_cast<size_t>(k)][static_cast<size_t>(w)]) continue;
                if (carFits(track, t - 1, k)) {
                    next[static_cast<size_t>(k)][static_cast<size_t>(std::max(0, w - 1))] = true;
                    any = true;
                }
                if (w != 0) continue;
                for (int side : {-1, 1}) {
                    const int k2 = k + side;
                    // The move happens either before or after the row passes.
                    if (carFits(track, t - 1, k2) && (carFits(track, t, k2) || carFits(track, t - 1, k))) {
                        next[static_cast<size_t>(k2)][static_cast<size_t>(gap - 1)] = true;
                        any = true;
                    }
                }
            }
        if (!any) return false;
        reach = std::move(next);
    }
    return true;
}

bool passable(const Track& track, int rowsPerShift)
{
    // The car keeps its column from the level before, so every start must lead through.
    for (int start = 0; start <= kLastCarColumn; ++start)
        if (!passableFrom(track, start, rowsPerShift)) return false;
    return true;
}

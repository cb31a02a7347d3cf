#include "route_planner.h"

#include <array>

namespace {

constexpr int32_t kCarRows = kCarTopRowLimit + 1;  // top rows 0..16
constexpr int32_t kCarColumns = kColumns - 3 + 1;  // left columns 0..7
constexpr int32_t kPositions = kCarRows * kCarColumns;

using Board = std::array<std::array<int32_t, kColumns>, kRows>;

int32_t indexOf(int32_t row, int32_t column)
{
    return row * kCarColumns + column;
}
CarPosition positionOf(int32_t index)
{
    return {index / kCarColumns, index % kCarColumns};
}

bool carFits(const Board& board, int32_t row, int32_t column)
{
    const PieceShape& car = pieceShapes[kCarKind][1];
    for (int32_t i = 0; i < car.height; ++i)
        for (int32_t j = 0; j < car.width; ++j)
            if (car.cells[i][j] && board[row + i][column + j] != 0) return false;
    return true;
}

Board boardOf(const Game& game)
{
    Board b{};
    for (int32_t r = 0; r < kRows; ++r)
        for (int32_t c = 0; c < kColumns; ++c) b[r][c] = game.board[r][c];
    return b;
}

// One picture of the window: where the car may enter it, and how each
// position reached inside it was reached.
struct Layer {
    Board board{};
    int32_t level = 0;
    int32_t scroll = 0;
    bool carReset = false;                      // the advance into it started a level
    std::array<int32_t, kPositions> from;       // previous position in this layer, -1 for an entry
    std::array<int32_t, kPositions> entryFrom;  // for entries: the position in the layer before
    std::array<bool, kPositions> reached{};
};

// Spreads the reached positions by at most `moves` single moves, each of
// which must keep the car clear of the blocks.
void flood(Layer& layer, int32_t moves)
{
    std::vector<int32_t> queue;
    std::array<int32_t, kPositions> depth{};
    for (int32_t p = 0; p < kPositions; ++p)
        if (layer.reached[p]) queue.push_back(p);
    for (size_t q = 0; q < queue.size(); ++q) {
        if (depth[queue[q]] >= moves) continue;
        const CarPosition at = positionOf(queue[q]);
        const CarPosition next[4] = {
            {at.row - 1, at.column}, {at.row + 1, at.column}, {at.row, at.column - 1}, {at.row, at.column + 1}};
        for (const CarPosition& n : next) {
            if (n.row < 0 || n.row >= kCarRows || n.column < 0 || n.column >= kCarColumns) continue;
            const int32_t p = indexOf(n.row, n.column);
            if (layer.reached[p] || !carFits(layer.board, n.row, n.column)) continue;
            layer.reached[p] = true;
            layer.from[p] = queue[q];
            depth[p] = depth[queue[q]] + 1;
            queue.push_back(p);
        }
    }
}

}  // namespace

std::string Route::describeFailure() const
{
    return "no way through level " + std::to_string(failedLevel) + " at trackScroll " + std::to_string(failedScroll);
}

Route planRoute(const Game& game, const RaceState& race, int32_t movesPerRow)
{
    Route route;
    Game sim = game;
    RaceState simRace = race;
    std::vector<Layer> layers(1);
    layers[0].board = boardOf(sim);
    layers[0].level = simRace.level;
    layers[0].scroll = simRace.trackScroll;
    layers[0].from.fill(-1);
    const int32_t start = indexOf(sim.pieceRow, sim.pieceColumn);
    layers[0].reached[start] = carFits(layers[0].board, sim.pieceRow, sim.pieceColumn);
    flood(layers[0], movesPerRow);

    while (!raceWon(simRace)) {
        const int32_t levelBefore = simRace.level;
        advanceTrack(sim, simRace);
        Layer next{};
        next.board = boardOf(sim);
        next.level = simRace.level;
        next.scroll = simRace.trackScroll;
        next.carReset = simRace.level != levelBefore;
        next.from.fill(-1);
        const Layer& prev = layers.back();
        bool any = false;
        for (int32_t p = 0; p < kPositions; ++p) {
            if (!prev.reached[p]) continue;
            CarPosition at = positionOf(p);
            if (next.carReset) at.row = kCarTopRowLimit;
            const int32_t q = indexOf(at.row, at.column);
            if (next.reached[q] || !carFits(next.board, at.row, at.column)) continue;
            next.reached[q] = true;
            next.entryFrom[q] = p;
            any = true;
        }
        if (!any) {
            route.failedLevel = next.level;
            route.failedScroll = next.scroll;
            return route;
        }
        flood(next, movesPerRow);
        layers.push_back(next);
    }

    // Walk back from any position of the finish picture.
    int32_t at = -1;
    for (int32_t p = 0; p < kPositions && at < 0; ++p)
        if (layers.back().reached[p]) at = p;
    route.legs.resize(layers.size());
    for (size_t k = layers.size(); k-- > 0;) {
        std::vector<CarPosition> leg;
        while (layers[k].from[at] >= 0) {
            leg.push_back(positionOf(at));
            at = layers[k].from[at];
        }
        leg.push_back(positionOf(at));
        route.legs[k].assign(leg.rbegin(), leg.rend());
        if (k > 0) at = layers[k].entryFrom[at];
    }
    route.found = true;
    return route;
}

void stepCar(Game& game, const RaceState& state, const CarPosition& to)
{
    if (to.row < game.pieceRow)
        moveCarUp(game, state);
    else if (to.row > game.pieceRow)
        moveCarDown(game, state);
    else if (to.column < game.pieceColumn)
        game.moveSideways(-1);
    else if (to.column > game.pieceColumn)
        game.moveSideways(+1);
}

DriveResult driveRoute(Game& game, RaceState& state, uint32_t& now, const Route& route)
{
    DriveResult result;
    const int32_t lives = state.lives;
    auto note = [&](const std::string& what) {
        if (result.trouble.empty())
            result.trouble = what + " in level " + std::to_string(state.level) + " at trackScroll " +
                             std::to_string(state.trackScroll);
    };
    for (size_t k = 0; k < route.legs.size(); ++k) {
        const std::vector<CarPosition>& leg = route.legs[k];
        if (!(CarPosition{game.pieceRow, game.pieceColumn} == leg.front())) note("the car is off the route");
        // Every move gets a pass of its own, as every key press does.
        for (size_t m = 1; m < leg.size(); ++m) {
            stepCar(game, state, leg[m]);
            raceStep(game, state);
            if (!(CarPosition{game.pieceRow, game.pieceColumn} == leg[m])) note("a move was refused");
        }
        if (state.lives != lives) note("a crash");
        if (k + 1 == route.legs.size()) break;
        now += msUntilNextAdvance(game, state);
        const int32_t before = state.racePoints;
        raceStep(game, state);
        ++result.advances;
        if (state.racePoints != before + 1) note("not one advance");
        if (state.lives != lives) note("a crash");
    }
    result.crashes = lives - state.lives;
    result.won = raceWon(state);
    return result;
}

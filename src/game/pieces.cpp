#include "game/pieces.h"

namespace {

// Builds a shape from rows written top to bottom, '#' for a block.
constexpr PieceShape shape(int32_t colourId, int32_t height, int32_t width, const char* rows)
{
    PieceShape s{colourId, height, width, {}};
    int r = 0;
    int c = 0;
    for (const char* p = rows; *p != '\0'; ++p) {
        if (*p == '/') {
            ++r;
            c = 0;
            continue;
        }
        s.cells[r][c] = (*p == '#') ? 1 : 0;
        ++c;
    }
    return s;
}

}  // namespace

// Rotation k -> k + 1 turns a shape a quarter counterclockwise on screen.
const PieceShape pieceShapes[kPieceKinds][kRotations] = {
    {shape(1, 2, 3, "###/.#."), shape(1, 3, 2, "#./##/#."), shape(1, 2, 3, ".#./###"), shape(1, 3, 2, ".#/##/.#")},
    {shape(2, 2, 3, "##./.##"), shape(2, 3, 2, ".#/##/#."), shape(2, 2, 3, "##./.##"), shape(2, 3, 2, ".#/##/#.")},
    {shape(3, 2, 3, ".##/##."), shape(3, 3, 2, "#./##/.#"), shape(3, 2, 3, ".##/##."), shape(3, 3, 2, "#./##/.#")},
    {shape(4, 2, 3, "###/..#"), shape(4, 3, 2, "##/#./#."), shape(4, 2, 3, "#../###"), shape(4, 3, 2, ".#/.#/##")},
    {shape(5, 2, 3, "..#/###"), shape(5, 3, 2, "##/.#/.#"), shape(5, 2, 3, "###/#.."), shape(5, 3, 2, "#./#./##")},
    {shape(6, 2, 2, "##/##"), shape(6, 2, 2, "##/##"), shape(6, 2, 2, "##/##"), shape(6, 2, 2, "##/##")},
    {shape(7, 1, 4, "####"), shape(7, 4, 1, "#/#/#/#"), shape(7, 1, 4, "####"), shape(7, 4, 1, "#/#/#/#")},
    {shape(8, 1, 1, "#"), shape(8, 1, 1, "#"), shape(8, 1, 1, "#"), shape(8, 1, 1, "#")},
    {shape(9, 4, 3, ".#./#.#/.#./#.#"), shape(9, 4, 3, ".#./#.#/.#./#.#"), shape(9, 4, 3, ".#./#.#/.#./#.#"),
     shape(9, 4, 3, ".#./#.#/.#./#.#")},
};

const uint8_t pieceEnabled[kPieceKinds] = {1, 1, 1, 1, 1, 1, 1, 1, 1};

// Eight, not nine: the race car (the ninth kind) never comes up by lot.
const int32_t enabledPieceCount = 8;

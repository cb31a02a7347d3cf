#pragma once
#include <cstdint>

struct PieceShape {
    int32_t colourId;     // written into the board at a lock; kind index + 1
    int32_t height;       // rows of the shape box, 1..4
    int32_t width;        // columns of the shape box, 1..4
    int32_t cells[4][4];  // 1 = block; only the top-left height x width is read
};

constexpr int kPieceKinds = 9;
constexpr int kRotations = 4;
constexpr int kCarKind = 8;  // the race car; never drawn by lot

extern const PieceShape pieceShapes[kPieceKinds][kRotations];
extern const uint8_t pieceEnabled[kPieceKinds];
extern const int32_t enabledPieceCount;

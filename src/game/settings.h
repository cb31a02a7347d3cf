#pragma once
#include <cstdint>

// The five options, named like their keys in "Data\ini.ini". Only the options
// screen changes them; the game reads them.
struct Settings {
    int32_t Vorbelegung = 0;   // bottom rows pre-filled at a new game
    int32_t Zielhilfe = 1;     // landing guide; drawn only when exactly 1
    int32_t Vorschauzwei = 0;  // exactly 1 shows a second preview
    int32_t Musik = 0;         // exactly 1 plays the tune during games
    int32_t modus = 0;         // 2 shifts the board after each lock, 3 races
};

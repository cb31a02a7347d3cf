#pragma once
#include <cstdint>

// Which menu screen is current. The input routing and the end of a game change
// these; the main loop and the painters read them.
struct ShellState {
    int32_t menuSelection = 0;     // 0 start, 1 high scores, 2 options, 3 quit
    bool highscoreScreen = false;  // while the high-score screen shows
    bool optionsScreen = false;    // while the options screen shows
    int32_t optionsFocus = 0;      // the options value box that Return changes, 0 to 4
};

// The whole program played with a game controller alone: SDL's virtual pad
// goes in through SDL's queue and the window's own translation, so these runs
// see exactly what a pad plugged into the desktop would give.
#include <gtest/gtest.h>

#include <SDL.h>

#include <memory>
#include <vector>

#include "driver.h"
#include "platform/gamepad.h"
#include "virtual_pad.h"

namespace {

constexpr uint32_t kFocusPixel = 0xFFC800;  // the frame round the focused options value

void tap(Driver& d, VirtualPad& pad, SDL_GameControllerButton button)
{
    pad.button(button, true);
    d.pump();
    pad.button(button, false);
    d.pump();
    d.idle();
}

// Pixels of the focus frame round value box `box` of the options screen.
int32_t focusFramePixels(const Driver& d, int32_t box)
{
    constexpr int32_t kTops[] = {214, 285, 355, 426, 496};
    return d.countPixels({495, kTops[box] - 5, 565, kTops[box] + 65}, kFocusPixel);
}

TEST(Pad, AWholeSessionByPadAlone)
{
    Driver d;
    App& app = d.app();
    d.idle();
    LetPadsPlayWithoutFocus();
    auto pad = std::make_unique<VirtualPad>();
    ASSERT_TRUE(pad->attached()) << pad->problem();
    d.pump();  // the pad arrives as a device and is opened

    // Title: the D-pad moves the selection, A acts on it: the options.
    tap(d, *pad, SDL_CONTROLLER_BUTTON_DPAD_DOWN);
    EXPECT_EQ(app.shell.menuSelection, 1) << "D-pad down on the title";
    tap(d, *pad, SDL_CONTROLLER_BUTTON_DPAD_DOWN);
    tap(d, *pad, SDL_CONTROLLER_BUTTON_A);
    ASSERT_TRUE(app.shell.optionsScreen) << "A on the options entry";

    // Options: the focus starts on the first value; down twice and A switches
    // the second preview on, as a click on its box would, and writes it.
    EXPECT_GT(focusFramePixels(d, 0), 300) << "the focus frame on the first value";
    tap(d, *pad, SDL_CONTROLLER_BUTTON_DPAD_DOWN);
    tap(d, *pad, SDL_CONTROLLER_BUTTON_DPAD_DOWN);
    EXPECT_EQ(focusFramePixels(d, 0), 0) << "the frame left the first value";
    EXPECT_GT(focusFramePixels(d, 2), 300) << "the focus frame on the third value";
    tap(d, *pad, SDL_CONTROLLER_BUTTON_A);
    EXPECT_EQ(app.settings.Vorschauzwei, 1);
    EXPECT_NE(d.readFile("Data/ini.ini").find("Vorschauzwei=1"), std::string::npos) << d.readFile("Data/ini.ini");
    d.idle();
    EXPECT_EQ(d.pictureMismatches(app.pictures.onImage.get(), 500, 355), 0) << "the on picture after A";

    // Back leaves the options; Start on the title starts a game.
    tap(d, *pad, SDL_CONTROLLER_BUTTON_BACK);
    EXPECT_FALSE(app.shell.optionsScreen);
    EXPECT_EQ(app.shell.menuSelection, 2);
    tap(d, *pad, SDL_CONTROLLER_BUTTON_DPAD_UP);
    tap(d, *pad, SDL_CONTROLLER_BUTTON_DPAD_UP);
    tap(d, *pad, SDL_CONTROLLER_BUTTON_START);
    ASSERT_TRUE(app.game.playing) << "Start on the title's first entry";
    d.advance(600);

    // In the game: A turns one way, B and Y the other, the D-pad shifts.
    const int32_t rotation = app.game.pieceRotation;
    tap(d, *pad, SDL_CONTROLLER_BUTTON_A);
    EXPECT_EQ(app.game.pieceRotation, (rotation + 3) % 4) << "A turns like Space";
    tap(d, *pad, SDL_CONTROLLER_BUTTON_B);
    EXPECT_EQ(app.game.pieceRotation, rotation) << "B turns like Up";
    tap(d, *pad, SDL_CONTROLLER_BUTTON_Y);
    EXPECT_EQ(app.game.pieceRotation, (rotation + 1) % 4) << "Y turns like Up";
    const int32_t column = app.game.pieceColumn;
    tap(d, *pad, SDL_CONTROLLER_BUTTON_DPAD_LEFT);
    EXPECT_EQ(app.game.pieceColumn, column - 1) << "D-pad left shifts";

    // A pad pulled out and another plugged in: the new one plays on.
    pad->unplug();
    d.pump();
    pad = std::make_unique<VirtualPad>();
    ASSERT_TRUE(pad->attached()) << pad->problem();
    d.pump();
    tap(d, *pad, SDL_CONTROLLER_BUTTON_LEFTSHOULDER);
    EXPECT_EQ(app.game.points, 1) << "a shoulder button drops like Ctrl";

    // Back pauses rather than abandoning; Start resumes; Back twice would end.
    tap(d, *pad, SDL_CONTROLLER_BUTTON_BACK);
    EXPECT_TRUE(app.game.playing) << "one press of Back must not abandon the game";
    EXPECT_TRUE(app.game.paused) << "Back pauses";
    tap(d, *pad, SDL_CONTROLLER_BUTTON_START);
    EXPECT_FALSE(app.game.paused) << "Start resumes";

    // Played to its end with the right shoulder button alone.
    for (int drops = 0; drops < 200 && app.game.playing; ++drops) {
        tap(d, *pad, SDL_CONTROLLER_BUTTON_RIGHTSHOULDER);
        d.advance(30);
    }
    ASSERT_FALSE(app.game.playing) << "no game over";
    d.idle();
    EXPECT_TRUE(d.highscoreScreenShown());
    EXPECT_EQ(app.lastGame.kind, FinishedGame::Kind::Classic);
    EXPECT_EQ(app.lastGame.total, app.game.total);

    // Back to the title, down to "quit" and A.
    tap(d, *pad, SDL_CONTROLLER_BUTTON_BACK);
    EXPECT_FALSE(app.shell.highscoreScreen);
    tap(d, *pad, SDL_CONTROLLER_BUTTON_DPAD_DOWN);
    tap(d, *pad, SDL_CONTROLLER_BUTTON_DPAD_DOWN);
    EXPECT_EQ(app.shell.menuSelection, 3);
    tap(d, *pad, SDL_CONTROLLER_BUTTON_A);
    EXPECT_TRUE(app.quitPosted()) << "A on the quit entry";
}

// Takes the program's events for up to limitMs of real time, handing each to
// it, and returns the times (ms after the start) at which `key` was pressed.
std::vector<uint32_t> pressesWithin(Driver& d, Key key, uint32_t limitMs, size_t enough)
{
    std::vector<uint32_t> times;
    const uint32_t start = SDL_GetTicks();
    while (SDL_GetTicks() - start < limitMs && times.size() < enough) {
        InputEvent event;
        if (!d.app().waitInput(event, 20)) continue;
        if (event.type == InputEvent::Type::KeyDown && event.key == key) times.push_back(SDL_GetTicks() - start);
        d.send(event);
    }
    return times;
}

TEST(Pad, StickHasADeadZoneAndHeldDirectionsRepeatLikeHeldKeys)
{
    Driver d;
    App& app = d.app();
    d.idle();
    LetPadsPlayWithoutFocus();
    VirtualPad pad;
    ASSERT_TRUE(pad.attached()) << pad.problem();
    d.pump();

    // A stick resting a little off centre does nothing.
    pad.axis(SDL_CONTROLLER_AXIS_LEFTY, 8000);
    d.pump();
    EXPECT_EQ(app.shell.menuSelection, 0) << "inside the dead zone";

    // Pushed down: one press at once, then, after the delay, repeats until let go.
    pad.axis(SDL_CONTROLLER_AXIS_LEFTY, 30000);
    const std::vector<uint32_t> held = pressesWithin(d, Key::Down, 5000, 5);
    ASSERT_GE(held.size(), 5u) << "the held stick stopped repeating";
    EXPECT_LT(held[0], 400u) << "the first press comes at once";
    EXPECT_GE(held[1] - held[0], HeldDirection::kDelayMs - 20) << "the first repeat waits for the delay";
    pad.axis(SDL_CONTROLLER_AXIS_LEFTY, 0);
    d.pump();
    EXPECT_TRUE(pressesWithin(d, Key::Down, 700, 1).empty()) << "let go, it must stop";

    // The D-pad held the same way, upwards; the wait the main loop does on
    // the title (for ever) wakes for the repeats too.
    pad.button(SDL_CONTROLLER_BUTTON_DPAD_UP, true);
    d.pump();
    InputEvent event;
    ASSERT_TRUE(d.app().waitInput(event, -1));
    EXPECT_EQ(event.key, Key::Up) << "a repeat ends a wait without a time limit";
    pad.button(SDL_CONTROLLER_BUTTON_DPAD_UP, false);
    d.pump();
    EXPECT_TRUE(pressesWithin(d, Key::Up, 700, 1).empty());
}

}  // namespace

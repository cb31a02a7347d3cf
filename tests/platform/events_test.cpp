#include <gtest/gtest.h>

#include <SDL.h>

#include <vector>

#include "platform/display.h"
#include "platform/events.h"
#include "platform_test_support.h"

namespace {

class EventsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        UseDummyVideo();
        ASSERT_TRUE(display_.CreateMainWindow("Klotzar", nullptr));
        display_.Init(log_);
        window_ = FindGameWindow();
        ASSERT_NE(nullptr, window_);
        InputEvent ignored;
        while (PollInputEvent(ignored)) {
        }
    }
    void TearDown() override { display_.Release(); }

    void PushKey(SDL_Keycode key, Uint8 repeat = 0, Uint16 mod = KMOD_NONE)
    {
        SDL_Event e{};
        e.type = SDL_KEYDOWN;
        e.key.windowID = SDL_GetWindowID(window_);
        e.key.state = SDL_PRESSED;
        e.key.repeat = repeat;
        e.key.keysym.sym = key;
        e.key.keysym.mod = mod;
        SDL_PushEvent(&e);
    }
    void PushButton(Uint8 button, Uint8 clicks, int x, int y)
    {
        SDL_Event e{};
        e.type = SDL_MOUSEBUTTONDOWN;
        e.button.windowID = SDL_GetWindowID(window_);
        e.button.button = button;
        e.button.state = SDL_PRESSED;
        e.button.clicks = clicks;
        e.button.x = x;
        e.button.y = y;
        SDL_PushEvent(&e);
    }
    void PushMotion(int x, int y)
    {
        SDL_Event e{};
        e.type = SDL_MOUSEMOTION;
        e.motion.windowID = SDL_GetWindowID(window_);
        e.motion.x = x;
        e.motion.y = y;
        SDL_PushEvent(&e);
    }
    std::vector<InputEvent> Drain()
    {
        std::vector<InputEvent> events;
        InputEvent e;
        while (PollInputEvent(e)) events.push_back(e);
        return events;
    }

    ScratchWorkingFolder folder_;
    Log log_;  // never opened: the display's lines go nowhere
    Display display_;
    SDL_Window* window_ = nullptr;
};

}  // namespace

TEST_F(EventsTest, KeysMapToTheGamesKeysAndRepeatsArriveAsPresses)
{
    const std::vector<std::pair<SDL_Keycode, Key>> keys = {
        {SDLK_RETURN, Key::Enter}, {SDLK_KP_ENTER, Key::Enter}, {SDLK_LCTRL, Key::Ctrl},  {SDLK_RCTRL, Key::Ctrl},
        {SDLK_PAUSE, Key::Pause},  {SDLK_ESCAPE, Key::Escape},  {SDLK_SPACE, Key::Space}, {SDLK_LEFT, Key::Left},
        {SDLK_UP, Key::Up},        {SDLK_RIGHT, Key::Right},    {SDLK_DOWN, Key::Down},   {SDLK_a, Key::Other},
        {SDLK_F1, Key::Other},
    };
    for (const auto& [sdl, key] : keys) PushKey(sdl);
    PushKey(SDLK_ESCAPE, 1);
    PushKey(SDLK_ESCAPE, 1);
    PushKey(SDLK_KP_4, 0, KMOD_NONE);  // keypad arrows count while Num Lock is off
    PushKey(SDLK_KP_2, 0, KMOD_NONE);
    PushKey(SDLK_KP_4, 0, KMOD_NUM);

    const std::vector<InputEvent> events = Drain();
    ASSERT_EQ(keys.size() + 5, events.size());
    for (size_t i = 0; i < keys.size(); ++i) {
        EXPECT_EQ(InputEvent::Type::KeyDown, events[i].type) << i;
        EXPECT_EQ(keys[i].second, events[i].key) << i;
    }
    EXPECT_EQ(Key::Escape, events[keys.size()].key);
    EXPECT_EQ(Key::Escape, events[keys.size() + 1].key);
    EXPECT_EQ(Key::Left, events[keys.size() + 2].key);
    EXPECT_EQ(Key::Down, events[keys.size() + 3].key);
    EXPECT_EQ(Key::Other, events[keys.size() + 4].key);
}

TEST_F(EventsTest, QuitArrivesAndOtherEventsAreDropped)
{
    SDL_Event up{};
    up.type = SDL_KEYUP;
    up.key.keysym.sym = SDLK_SPACE;
    SDL_PushEvent(&up);
    SDL_Event release{};
    release.type = SDL_MOUSEBUTTONUP;
    release.button.button = SDL_BUTTON_LEFT;
    SDL_PushEvent(&release);
    PushButton(SDL_BUTTON_MIDDLE, 1, 5, 5);
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    SDL_PushEvent(&quit);

    InputEvent e;
    e.type = InputEvent::Type::MouseMove;
    ASSERT_TRUE(PollInputEvent(e));
    EXPECT_EQ(InputEvent::Type::Quit, e.type);
    EXPECT_FALSE(PollInputEvent(e));
    EXPECT_EQ(InputEvent::Type::Quit, e.type);  // left as it was
}

TEST_F(EventsTest, F11AndAnUncoveredWindowBecomeTheirOwnEventsAndTouchNothing)
{
    ASSERT_TRUE(display_.IsFullscreen());
    PushKey(SDLK_F11);
    PushKey(SDLK_F11, 1);  // a held F11 counts once
    PushKey(SDLK_SPACE);
    for (SDL_WindowEventID what : {SDL_WINDOWEVENT_EXPOSED, SDL_WINDOWEVENT_MOVED, SDL_WINDOWEVENT_SIZE_CHANGED}) {
        SDL_Event e{};
        e.type = SDL_WINDOWEVENT;
        e.window.event = what;
        e.window.windowID = SDL_GetWindowID(window_);
        SDL_PushEvent(&e);
    }
    const std::vector<InputEvent> events = Drain();
    ASSERT_EQ(4u, events.size());
    EXPECT_EQ(InputEvent::Type::ToggleFullScreen, events[0].type);
    EXPECT_EQ(InputEvent::Type::KeyDown, events[1].type);
    EXPECT_EQ(Key::Space, events[1].key);
    EXPECT_EQ(InputEvent::Type::Redraw, events[2].type) << "uncovered";
    EXPECT_EQ(InputEvent::Type::Redraw, events[3].type) << "resized; a move asks for nothing";
    // Whoever takes the events acts on them; the translation itself does not.
    EXPECT_TRUE(display_.IsFullscreen());
}

TEST_F(EventsTest, MousePositionsAreInThePicturesPixels)
{
    // The dummy screen is 1024 x 768: the picture fills it at 1.28 times.
    int w = 0;
    int h = 0;
    SDL_GetWindowSize(window_, &w, &h);
    ASSERT_EQ(1024, w);
    ASSERT_EQ(768, h);
    PushMotion(512, 384);
    PushMotion(1023, 767);
    PushButton(SDL_BUTTON_LEFT, 1, 256, 192);
    PushButton(SDL_BUTTON_RIGHT, 1, 0, 767);
    std::vector<InputEvent> events = Drain();
    ASSERT_EQ(4u, events.size());
    EXPECT_EQ(InputEvent::Type::MouseMove, events[0].type);
    EXPECT_EQ(400, events[0].x);
    EXPECT_EQ(300, events[0].y);
    EXPECT_EQ(799, events[1].x);
    EXPECT_EQ(599, events[1].y);
    EXPECT_EQ(InputEvent::Type::LeftButtonDown, events[2].type);
    EXPECT_EQ(200, events[2].x);
    EXPECT_EQ(150, events[2].y);
    EXPECT_EQ(InputEvent::Type::RightButtonDown, events[3].type);
    EXPECT_EQ(0, events[3].x);
    EXPECT_EQ(599, events[3].y);

    // In a window wider than the picture, bars at the sides lie outside it.
    display_.ToggleFullscreen();
    SDL_SetWindowSize(window_, 1000, 600);
    Drain();
    PushMotion(100, 10);
    PushMotion(899, 10);
    PushMotion(50, 10);
    events = Drain();
    ASSERT_EQ(3u, events.size());
    EXPECT_EQ(0, events[0].x);
    EXPECT_EQ(799, events[1].x);
    EXPECT_EQ(-50, events[2].x);
    EXPECT_EQ(10, events[2].y);
}

TEST_F(EventsTest, ClicksPairUpAndReleasedButtonsReadAsReleased)
{
    for (Uint8 clicks = 1; clicks <= 5; ++clicks) PushButton(SDL_BUTTON_LEFT, clicks, 0, 0);
    const std::vector<InputEvent> events = Drain();
    ASSERT_EQ(5u, events.size());
    const std::vector<int32_t> expected = {1, 2, 1, 2, 1};
    for (size_t i = 0; i < events.size(); ++i) {
        EXPECT_EQ(expected[i], events[i].clicks) << i;
        // No button is really down, whatever the event says.
        EXPECT_FALSE(events[i].stillHeld) << i;
    }
}

TEST_F(EventsTest, WaitReturnsAnEventAtOnceOrGivesUpAfterItsTimeout)
{
    PushKey(SDLK_RETURN);
    InputEvent e;
    uint32_t start = TimeGetTime();
    ASSERT_TRUE(WaitInputEvent(e, 5000));
    EXPECT_EQ(Key::Enter, e.key);
    EXPECT_LT(TimeGetTime() - start, 1000u);

    // Dropped events do not end the wait early.
    SDL_Event up{};
    up.type = SDL_KEYUP;
    SDL_PushEvent(&up);
    start = TimeGetTime();
    EXPECT_FALSE(WaitInputEvent(e, 60));
    EXPECT_GE(TimeGetTime() - start, 60u);
    EXPECT_FALSE(WaitInputEvent(e, 0));
}

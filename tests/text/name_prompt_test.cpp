#include <gtest/gtest.h>

#include <SDL.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/name_prompt.h"

namespace {

TEST(NamePromptState, StoresTypedTextIn1252AndRefusesTheRest)
{
    NamePromptState state;
    EXPECT_EQ(state.InsertUtf8("\xC3\xA4"), 0u);  // ä
    EXPECT_EQ(state.text, "\xE4");
    EXPECT_EQ(state.InsertUtf8("J\xC3\xBCrgen \xE2\x82\xAC"), 0u);
    EXPECT_EQ(state.text, "\xE4J\xFCrgen \x80");

    state.text.clear();
    // A CJK character, an emoji, a tab and a broken sequence are refused; the
    // characters around them go in.
    EXPECT_EQ(state.InsertUtf8("a\xE4\xB8\xAD"
                               "b\xF0\x9F\x98\x80"
                               "c\td\xC3"),
              4u);
    EXPECT_EQ(state.text, "abcd");
    EXPECT_FALSE(state.confirmed);
}

TEST(NamePromptState, BackspaceRemovesOneCharacter)
{
    NamePromptState state;
    state.InsertUtf8("M\xC3\xBC");
    state.PressKey(NamePromptState::Key::Backspace);
    EXPECT_EQ(state.text, "M");
    state.PressKey(NamePromptState::Key::Backspace);
    state.PressKey(NamePromptState::Key::Backspace);  // nothing left to remove
    EXPECT_EQ(state.text, "");
}

TEST(NamePromptState, FieldHoldsAtMost255Bytes)
{
    NamePromptState state;
    EXPECT_EQ(state.InsertUtf8(std::string(254, 'x')), 0u);
    EXPECT_EQ(state.InsertUtf8("\xC3\xA4\xC3\xB6"), 1u);  // ä fits as one byte, ö no more
    EXPECT_EQ(state.text.size(), 255u);
    EXPECT_EQ(state.text.back(), '\xE4');
    EXPECT_EQ(state.InsertUtf8(std::string(50, 'y')), 50u);
    state.Backspace();
    EXPECT_EQ(state.InsertUtf8("zz"), 1u);
    EXPECT_EQ(state.text, std::string(254, 'x') + "z");
}

TEST(NamePromptState, OnlyReturnConfirms)
{
    NamePromptState state;
    state.InsertUtf8("Anna");
    state.PressKey(NamePromptState::Key::Escape);
    state.PressKey(NamePromptState::Key::Other);
    EXPECT_FALSE(state.confirmed);
    EXPECT_EQ(state.text, "Anna");
    state.PressKey(NamePromptState::Key::Return);
    EXPECT_TRUE(state.confirmed);
    EXPECT_EQ(state.text, "Anna");
}

TEST(NamePromptState, AnOfferedNameIsSelectedSoTypingReplacesIt)
{
    NamePromptState state;
    state.Offer("Anna");
    EXPECT_TRUE(state.selected);
    state.InsertUtf8("B\xC3\xB6");
    EXPECT_EQ(state.text, "B\xF6") << "typing replaces the whole selection";
    EXPECT_FALSE(state.selected);
    state.InsertUtf8("b");
    EXPECT_EQ(state.text, "B\xF6"
                          "b")
        << "and then goes on as usual";

    state.Offer("Anna");
    state.PressKey(NamePromptState::Key::Backspace);
    EXPECT_EQ(state.text, "") << "Backspace removes the whole selection";

    state.Offer("Anna");
    state.PressKey(NamePromptState::Key::Caret);
    state.InsertUtf8("x");
    EXPECT_EQ(state.text, "Annax") << "a caret key ends the selection";

    state.Offer("Anna");
    state.PressKey(NamePromptState::Key::Return);
    EXPECT_TRUE(state.confirmed);
    EXPECT_EQ(state.text, "Anna");

    NamePromptState empty;
    empty.Offer("");
    EXPECT_FALSE(empty.selected);
}

int CountSelection(const Surface& picture, const PromptBox& box)
{
    int count = 0;
    for (int32_t y = box.y; y < box.y + box.height; ++y) {
        for (int32_t x = box.x; x < box.x + box.width; ++x) count += picture.row(y)[x] == 0x0078D7u;
    }
    return count;
}

TEST(NamePromptPicture, AnOfferedNameShowsSelected)
{
    Font font = MakeDeviceContextFont();
    NamePromptState state;
    state.Offer("Anna");
    const Surface selected = DrawNamePrompt(font, state, true, false);
    EXPECT_GT(CountSelection(selected, NamePromptLayout::kField), 100);
    state.PressKey(NamePromptState::Key::Caret);
    EXPECT_EQ(CountSelection(DrawNamePrompt(font, state, true, false), NamePromptLayout::kField), 0);
}

int CountDark(const Surface& picture, const PromptBox& box)
{
    int dark = 0;
    for (int32_t y = box.y; y < box.y + box.height; ++y) {
        for (int32_t x = box.x; x < box.x + box.width; ++x) dark += (picture.row(y)[x] & 0xFF) < 0x40;
    }
    return dark;
}

TEST(NamePromptPicture, ShowsLabelFieldTextCaretAndButton)
{
    Font font = MakeDeviceContextFont();
    NamePromptState state;
    const Surface empty = DrawNamePrompt(font, state, false, false);
    ASSERT_EQ(empty.width, NamePromptLayout::kWidth);
    ASSERT_EQ(empty.height, NamePromptLayout::kHeight);
    EXPECT_EQ(empty.row(2)[2], 0xF0F0F0u);  // light grey dialog face
    const PromptBox& field = NamePromptLayout::kField;
    const PromptBox inside{field.x + 2, field.y + 2, field.width - 4, field.height - 4};
    EXPECT_EQ(CountDark(empty, inside), 0);
    EXPECT_EQ(empty.row(inside.y + 3)[inside.x + 3], 0xFFFFFFu);
    EXPECT_GT(CountDark(empty, NamePromptLayout::kLabel), 50);
    EXPECT_GT(CountDark(empty, NamePromptLayout::kButton), 10);

    const Surface withCaret = DrawNamePrompt(font, state, true, false);
    EXPECT_GT(CountDark(withCaret, inside), 5);

    state.InsertUtf8("J\xC3\xBCrgen");
    const Surface typed = DrawNamePrompt(font, state, false, false);
    EXPECT_GT(CountDark(typed, inside), 30);

    // A text wider than the field scrolls: its end and the caret stay inside.
    state.InsertUtf8(std::string(80, 'W'));
    const Surface longText = DrawNamePrompt(font, state, true, false);
    const PromptBox rightEdge{inside.x + inside.width - 8, inside.y, 8, inside.height};
    EXPECT_GT(CountDark(longText, rightEdge), 5);
    EXPECT_NE(longText.pixels, DrawNamePrompt(font, state, true, true).pixels);  // the held button looks sunken
}

// The prompt window under SDL's dummy video driver, fed with queued events.
class NamePromptWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
    }
    void TearDown() override { SDL_Quit(); }

    static void PushText(const char* utf8)
    {
        SDL_Event event{};
        event.type = SDL_TEXTINPUT;
        std::strncpy(event.text.text, utf8, sizeof event.text.text - 1);
        SDL_PushEvent(&event);
    }
    static void PushKey(SDL_Keycode key)
    {
        SDL_Event event{};
        event.type = SDL_KEYDOWN;
        event.key.state = SDL_PRESSED;
        event.key.keysym.sym = key;
        SDL_PushEvent(&event);
    }
    static void PushButton(Uint32 type, int32_t x, int32_t y)
    {
        SDL_Event event{};
        event.type = type;
        event.button.button = SDL_BUTTON_LEFT;
        event.button.x = x;
        event.button.y = y;
        SDL_PushEvent(&event);
    }
    static void PushPadButton(SDL_GameControllerButton button)
    {
        SDL_Event event{};
        event.type = SDL_CONTROLLERBUTTONDOWN;
        event.cbutton.button = static_cast<Uint8>(button);
        event.cbutton.state = SDL_PRESSED;
        SDL_PushEvent(&event);
    }
    static void PushWindowClose()
    {
        SDL_Event event{};
        event.type = SDL_WINDOWEVENT;
        event.window.event = SDL_WINDOWEVENT_CLOSE;
        SDL_PushEvent(&event);
    }
};

TEST_F(NamePromptWindow, TypedTextComesBackIn1252OnReturn)
{
    PushText("J\xC3\xBC");
    PushKey(SDLK_ESCAPE);
    PushWindowClose();
    PushText("\xE4\xB8\xAD");
    PushText("rgenX");
    PushKey(SDLK_BACKSPACE);
    PushKey(SDLK_RETURN);
    PushText("after");  // typed after confirming: not part of the name

    const auto name = RunNamePrompt("");
    ASSERT_TRUE(name.has_value());
    EXPECT_EQ(*name, "J\xFCrgen");
    EXPECT_TRUE(SDL_WasInit(SDL_INIT_VIDEO) != 0);  // still running for the main window
}

TEST_F(NamePromptWindow, TheOfferedNameIsConfirmedByReturnOrThePadsAOrTypedOver)
{
    PushKey(SDLK_RETURN);
    EXPECT_EQ(RunNamePrompt("Zo\xEB").value_or("<none>"), "Zo\xEB");

    PushPadButton(SDL_CONTROLLER_BUTTON_B);  // not a confirmation
    PushPadButton(SDL_CONTROLLER_BUTTON_A);
    EXPECT_EQ(RunNamePrompt("Zo\xEB").value_or("<none>"), "Zo\xEB");

    PushText("Max");
    PushKey(SDLK_RETURN);
    EXPECT_EQ(RunNamePrompt("Zo\xEB").value_or("<none>"), "Max");
}

TEST_F(NamePromptWindow, ClickingOkConfirmsOnlyWhenReleasedOnIt)
{
    const PromptBox& button = NamePromptLayout::kButton;
    const int32_t cx = button.x + button.width / 2;
    const int32_t cy = button.y + button.height / 2;
    PushText("Max");
    PushButton(SDL_MOUSEBUTTONDOWN, cx, cy);
    PushButton(SDL_MOUSEBUTTONUP, button.x - 20, cy);  // dragged off: no click
    PushText("i");
    PushButton(SDL_MOUSEBUTTONDOWN, 5, 5);  // pressed beside it
    PushButton(SDL_MOUSEBUTTONUP, cx, cy);
    PushText("m");
    PushButton(SDL_MOUSEBUTTONDOWN, cx, cy);
    PushButton(SDL_MOUSEBUTTONUP, cx, cy);

    const auto name = RunNamePrompt("");
    ASSERT_TRUE(name.has_value());
    EXPECT_EQ(*name, "Maxim");
}

TEST_F(NamePromptWindow, ShowsTheCaptionAndEndsOnAQuitRequest)
{
    std::string caption;
    const SDL_EventFilter watch = [](void* data, SDL_Event* event) {
        if (event->type == SDL_WINDOWEVENT && event->window.event == SDL_WINDOWEVENT_SHOWN) {
            if (SDL_Window* window = SDL_GetWindowFromID(event->window.windowID)) {
                *static_cast<std::string*>(data) = SDL_GetWindowTitle(window);
            }
        }
        return 1;
    };
    SDL_AddEventWatch(watch, &caption);
    PushText("Eve");
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    SDL_PushEvent(&quit);

    EXPECT_FALSE(RunNamePrompt("").has_value());
    SDL_DelEventWatch(watch, &caption);
    EXPECT_EQ(caption, "F\xC3\xBCr die Highscoreliste");
}

TEST(NamePromptVideo, StartsAndStopsVideoWhenNobodyElseHas)
{
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    ASSERT_EQ(SDL_Init(SDL_INIT_EVENTS), 0);
    SDL_Event event{};
    event.type = SDL_TEXTINPUT;
    std::strcpy(event.text.text, "Bo");
    SDL_PushEvent(&event);
    event = SDL_Event{};
    event.type = SDL_KEYDOWN;
    event.key.keysym.sym = SDLK_KP_ENTER;
    SDL_PushEvent(&event);

    const auto name = RunNamePrompt("");
    EXPECT_EQ(name.value_or("<none>"), "Bo");
    EXPECT_EQ(SDL_WasInit(SDL_INIT_VIDEO), 0u);
    SDL_Quit();
}

TEST(NameTooLongMessage, ReturnsAtOnceWithoutADisplay)
{
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(ShowNameTooLongMessage("Die Namenl\xE4"
                                        "nge darf max.20 Zeichen lang sein.\nie es ab.\n"));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

}  // namespace

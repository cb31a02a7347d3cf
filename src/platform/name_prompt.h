#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "platform/font.h"
#include "platform/surface.h"

// The player-name prompt shown before the main window: a small modal window
// "Für die Highscoreliste" with a label, an edit field that has the keyboard
// focus from the start, and an "OK" button. Return or a click on OK confirms;
// Escape and the window's close button do nothing, so it cannot be cancelled.
// It opens with a name offered and all of it selected: Return (or a pad's A)
// confirms it, typing replaces it.

// The editing rules of the prompt's field, free of any window. The text is
// kept in code page 1252; the caret always stands at its end.
struct NamePromptState {
    // The dialog reads the field into a 256-byte buffer.
    static constexpr size_t kMaxLength = 255;

    std::string text;       // 1252
    bool selected = false;  // the whole text is selected: typing replaces it
    bool confirmed = false;

    enum class Key { Return, Escape, Backspace, Caret, Other };  // Caret: a key that moves the caret

    // Appends typed UTF-8 text character by character. Characters 1252 cannot
    // hold, control characters and whatever would pass kMaxLength are refused.
    // Returns the number of characters refused.
    size_t InsertUtf8(const std::string& utf8);
    // Removes the last character (one byte in 1252).
    void Backspace();
    // Starts with text1252 in the field, all of it selected.
    void Offer(const std::string& text1252);
    // Return confirms, Backspace deletes (all of a selection); a caret key
    // ends the selection; Escape and all other keys do nothing.
    void PressKey(Key key);
    void Confirm() { confirmed = true; }
};

// Where the prompt's parts lie in its window, in pixels.
struct PromptBox {
    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0;
    bool Contains(int32_t px, int32_t py) const { return px >= x && px < x + width && py >= y && py < y + height; }
};
struct NamePromptLayout {
    static constexpr int32_t kWidth = 300;
    static constexpr int32_t kHeight = 136;
    static constexpr PromptBox kLabel{20, 22, 260, 16};
    static constexpr PromptBox kField{50, 50, 200, 22};
    static constexpr PromptBox kButton{100, 90, 100, 28};
};

// The prompt's picture, as its window shows it.
Surface DrawNamePrompt(Font& font, const NamePromptState& state, bool caretVisible, bool buttonHeld);

// Shows the prompt with offered1252 in its field and waits until it is confirmed; returns the field's text
// in 1252 (up to 255 bytes: the caller enforces its own limit). Starts SDL's
// video for itself only when nobody has yet, and stops it again then. Returns
// nothing when the window cannot be made or the program is asked to end
// (a quit request such as Ctrl+C in the terminal) while it is open.
std::optional<std::string> RunNamePrompt(const std::string& offered1252);

// An information box with the caption "Klotzar", owned by no window, showing
// text (1252). Blocks until the player closes it. False when no box could be
// shown (no display).
bool ShowNameTooLongMessage(const std::string& text1252);

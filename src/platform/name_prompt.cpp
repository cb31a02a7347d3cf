#include "platform/name_prompt.h"
#include "platform/screen_check.h"

#include <SDL.h>

#include <algorithm>
#include <memory>

#include "platform/font.h"
#include "platform/gamepad.h"
#include "platform/sdl_handles.h"
#include "platform/surface.h"
#include "platform/text_encoding.h"

size_t NamePromptState::InsertUtf8(const std::string& utf8)
{
    if (selected && !utf8.empty()) text.clear();
    selected = false;
    size_t refused = 0;
    for (size_t pos = 0; pos < utf8.size();) {
        const size_t length = std::min(Utf8SequenceLength(static_cast<unsigned char>(utf8[pos])), utf8.size() - pos);
        const std::string character = utf8.substr(pos, length);
        pos += length;
        std::string converted;
        const bool isControl = static_cast<unsigned char>(character[0]) < 0x20 || character[0] == 0x7F;
        if (isControl || !Cp1252FromUtf8(character, converted) || converted.size() != 1 || text.size() >= kMaxLength) {
            ++refused;
            continue;
        }
        text += converted;
    }
    return refused;
}

void NamePromptState::Backspace()
{
    if (selected) text.clear();
    selected = false;
    if (!text.empty()) text.pop_back();
}

void NamePromptState::Offer(const std::string& text1252)
{
    text = text1252.substr(0, kMaxLength);
    selected = !text.empty();
}

void NamePromptState::PressKey(Key key)
{
    switch (key) {
    case Key::Return: Confirm(); break;
    case Key::Backspace: Backspace(); break;
    case Key::Caret: selected = false; break;
    case Key::Escape:  // the prompt cannot be cancelled
    case Key::Other: break;
    }
}

namespace {

// Starts the video subsystem for the prompt unless it already runs, and stops
// it again only if it was started here.
class VideoSession {
public:
    VideoSession()
    {
        if (SDL_WasInit(SDL_INIT_VIDEO) != 0) return;
        started_ = SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
        ready_ = started_;
    }
    ~VideoSession()
    {
        if (started_) SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }
    VideoSession(const VideoSession&) = delete;
    VideoSession& operator=(const VideoSession&) = delete;
    bool Ready() const { return ready_; }

private:
    bool started_ = false;
    bool ready_ = true;
};

// Sets a hint for the prompt's lifetime and puts the old value back.
class ScopedHint {
public:
    ScopedHint(const char* name, const char* value) : name_(name)
    {
        if (const char* old = SDL_GetHint(name)) {
            hadOld_ = true;
            old_ = old;
        }
        SDL_SetHint(name, value);
    }
    ~ScopedHint()
    {
        if (hadOld_)
            SDL_SetHint(name_, old_.c_str());
        else
            SDL_ResetHint(name_);
    }
    ScopedHint(const ScopedHint&) = delete;
    ScopedHint& operator=(const ScopedHint&) = delete;

private:
    const char* name_;
    bool hadOld_ = false;
    std::string old_;
};

constexpr uint32_t kFace = 0xF0F0F0;  // dialog background
constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kLightShadow = 0xE3E3E3;
constexpr uint32_t kShadow = 0xA0A0A0;
constexpr uint32_t kDarkShadow = 0x696969;
constexpr uint32_t kFrame = 0x000000;
constexpr uint32_t kButtonFace = 0xE1E1E1;
constexpr uint32_t kTextGdi = 0x000000;    // black, as a GDI colour
constexpr uint32_t kSelection = 0x0078D7;  // the selected text's background
constexpr uint32_t kSelectedTextGdi = 0xFFFFFF;
constexpr uint32_t kCaretBlinkMs = 530;

const char kCaption1252[] = "F\xFC"
                            "r die Highscoreliste";
const char kLabel1252[] = "Bitte geben Sie Ihren Namen ein.";
const char kButton1252[] = "OK";

Surface MakeCanvas(int32_t width, int32_t height, uint32_t pixel)
{
    Surface canvas;
    canvas.width = width;
    canvas.height = height;
    canvas.pixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height), pixel);
    return canvas;
}

void Fill(Surface& canvas, const PromptBox& box, uint32_t pixel)
{
    const int32_t left = std::max(0, box.x);
    const int32_t top = std::max(0, box.y);
    const int32_t right = std::min(canvas.width, box.x + box.width);
    const int32_t bottom = std::min(canvas.height, box.y + box.height);
    for (int32_t y = top; y < bottom; ++y)
        std::fill(canvas.row(y) + left, canvas.row(y) + std::max(left, right), pixel);
}

// A one-pixel frame: top and left in one colour, bottom and right in another.
void Bevel(Surface& canvas, const PromptBox& box, uint32_t topLeft, uint32_t bottomRight)
{
    Fill(canvas, {box.x, box.y, box.width, 1}, topLeft);
    Fill(canvas, {box.x, box.y, 1, box.height}, topLeft);
    Fill(canvas, {box.x, box.y + box.height - 1, box.width, 1}, bottomRight);
    Fill(canvas, {box.x + box.width - 1, box.y, 1, box.height}, bottomRight);
}

PromptBox Inset(const PromptBox& box, int32_t by)
{
    return {box.x + by, box.y + by, box.width - 2 * by, box.height - 2 * by};
}

void CopyInto(Surface& canvas, int32_t x, int32_t y, const Surface& part)
{
    for (int32_t row = 0; row < part.height; ++row) {
        if (y + row < 0 || y + row >= canvas.height) continue;
        for (int32_t column = 0; column < part.width; ++column) {
            if (x + column >= 0 && x + column < canvas.width) canvas.row(y + row)[x + column] = part.row(row)[column];
        }
    }
}

void DrawCentred(Surface& canvas, Font& font, const PromptBox& box, const std::string& text1252, int32_t shift)
{
    const int32_t x = box.x + (box.width - font.MeasureString(text1252)) / 2 + shift;
    const int32_t y = box.y + (box.height - font.CellHeight()) / 2 + shift;
    font.DrawString(&canvas, x, y, text1252, kTextGdi);
}

// The sunken white field; the text scrolls left once it is wider than the
// field, so the caret at its end stays in view.
void DrawField(Surface& canvas, Font& font, const std::string& text1252, bool selected, bool caretVisible)
{
    const PromptBox& field = NamePromptLayout::kField;
    Bevel(canvas, field, kShadow, kWhite);
    Bevel(canvas, Inset(field, 1), kDarkShadow, kLightShadow);
    const PromptBox inner = Inset(field, 2);
    Surface area = MakeCanvas(inner.width, inner.height, kWhite);
    const int32_t textWidth = font.MeasureString(text1252);
    const int32_t textX = std::min(2, inner.width - 3 - textWidth);
    const int32_t textY = (inner.height - font.CellHeight()) / 2;
    if (selected) Fill(area, {textX, 1, textWidth, inner.height - 2}, kSelection);
    font.DrawString(&area, textX, textY, text1252, selected ? kSelectedTextGdi : kTextGdi);
    if (caretVisible && !selected) Fill(area, {textX + textWidth, 1, 1, inner.height - 2}, kFrame);
    CopyInto(canvas, inner.x, inner.y, area);
}

// The default button: a black frame around a raised face, sunken while held.
void DrawButton(Surface& canvas, Font& font, bool held)
{
    const PromptBox& button = NamePromptLayout::kButton;
    Bevel(canvas, button, kFrame, kFrame);
    const PromptBox face = Inset(button, 1);
    Fill(canvas, face, kButtonFace);
    if (held) {
        Bevel(canvas, face, kShadow, kShadow);
    } else {
        Bevel(canvas, face, kWhite, kDarkShadow);
        Bevel(canvas, Inset(face, 1), kButtonFace, kShadow);
    }
    DrawCentred(canvas, font, button, kButton1252, held ? 1 : 0);
}

void Present(SDL_Window* window, Surface& canvas)
{
    SDL_Surface* windowSurface = SDL_GetWindowSurface(window);
    if (windowSurface == nullptr) return;
    SdlSurfacePtr source(SDL_CreateRGBSurfaceWithFormatFrom(canvas.pixels.data(), canvas.width, canvas.height, 32,
                                                            canvas.width * 4, SDL_PIXELFORMAT_RGB888));
    if (!source) return;
    SDL_BlitSurface(source.get(), nullptr, windowSurface, nullptr);
    SDL_UpdateWindowSurface(window);
}

NamePromptState::Key KeyFrom(SDL_Keycode code)
{
    switch (code) {
    case SDLK_RETURN:
    case SDLK_KP_ENTER: return NamePromptState::Key::Return;
    case SDLK_ESCAPE: return NamePromptState::Key::Escape;
    case SDLK_BACKSPACE: return NamePromptState::Key::Backspace;
    case SDLK_LEFT:
    case SDLK_RIGHT:
    case SDLK_HOME:
    case SDLK_END: return NamePromptState::Key::Caret;
    default: return NamePromptState::Key::Other;
    }
}

void Paste(NamePromptState& state)
{
    SdlTextPtr clipboard(SDL_GetClipboardText());
    if (clipboard) state.InsertUtf8(clipboard.get());
}

// The prompt's window and the state of the mouse on its button.
struct PromptWindow {
    NamePromptState state;
    bool buttonHeld = false;  // left button went down on OK and is still down
    bool pointerOnButton = false;
    bool quitRequested = false;

    void Handle(const SDL_Event& event)
    {
        switch (event.type) {
        case SDL_QUIT: quitRequested = true; break;
        case SDL_TEXTINPUT: state.InsertUtf8(event.text.text); break;
        case SDL_KEYDOWN:
            if (event.key.keysym.sym == SDLK_v && (event.key.keysym.mod & KMOD_CTRL) != 0)
                Paste(state);
            else
                state.PressKey(KeyFrom(event.key.keysym.sym));
            break;
        case SDL_MOUSEBUTTONDOWN:
            if (event.button.button == SDL_BUTTON_LEFT &&
                NamePromptLayout::kButton.Contains(event.button.x, event.button.y)) {
                buttonHeld = pointerOnButton = true;
            }
            break;
        case SDL_MOUSEMOTION:
            pointerOnButton = NamePromptLayout::kButton.Contains(event.motion.x, event.motion.y);
            break;
        case SDL_MOUSEBUTTONUP:
            // Like any push button: it fires when released over itself.
            if (event.button.button == SDL_BUTTON_LEFT && buttonHeld) {
                buttonHeld = false;
                if (NamePromptLayout::kButton.Contains(event.button.x, event.button.y)) state.Confirm();
            }
            break;
        default: {
            // A pad's A confirms like Return; the close button does nothing.
            InputEvent pad;
            if (TranslatePadEvent(event, pad, SDL_GetTicks()) && pad.key == Key::PadAccept) state.Confirm();
            break;
        }
        }
    }
};

// Polls instead of SDL_WaitEventTimeout: in SDL 2.26 that wait can leave X a
// wake-up message addressed to this window, which arrives after the window is
// gone and makes Xlib end the whole program (BadWindow). Polling every 10 ms
// costs a dialog nothing noticeable.
bool WaitForEvent(SDL_Event& event, int timeoutMs)
{
    const uint32_t deadline = SDL_GetTicks() + static_cast<uint32_t>(timeoutMs);
    for (;;) {
        UpdateGamepads();  // SDL leaves reading the pads to us
        if (SDL_PollEvent(&event) != 0) return true;
        if (static_cast<int32_t>(deadline - SDL_GetTicks()) <= 0) return false;
        SDL_Delay(10);
    }
}

}  // namespace

Surface DrawNamePrompt(Font& font, const NamePromptState& state, bool caretVisible, bool buttonHeld)
{
    Surface canvas = MakeCanvas(NamePromptLayout::kWidth, NamePromptLayout::kHeight, kFace);
    DrawCentred(canvas, font, NamePromptLayout::kLabel, kLabel1252, 0);
    DrawField(canvas, font, state.text, state.selected, caretVisible);
    DrawButton(canvas, font, buttonHeld);
    return canvas;
}

std::optional<std::string> RunNamePrompt(const std::string& offered1252)
{
    // Without this, the close button would end the whole program.
    if (!DisplayNamed()) return std::nullopt;
    ScopedHint keepRunning(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    // A small dialog needs no OpenGL; software keeps Mesa's libraries unloaded.
    ScopedHint softwareSurface(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    VideoSession video;
    if (!video.Ready() || !VideoOnRealScreen()) return std::nullopt;
    const std::string caption = Utf8FromCp1252(kCaption1252);
    SdlWindowPtr window(SDL_CreateWindow(caption.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                         NamePromptLayout::kWidth, NamePromptLayout::kHeight, SDL_WINDOW_SHOWN));
    if (!window) return std::nullopt;
    SDL_RaiseWindow(window.get());

    Font font = MakeDeviceContextFont();
    StartGamepads();
    PromptWindow prompt;
    prompt.state.Offer(offered1252);
    SDL_Rect fieldRect{NamePromptLayout::kField.x, NamePromptLayout::kField.y, NamePromptLayout::kField.width,
                       NamePromptLayout::kField.height};
    SDL_SetTextInputRect(&fieldRect);
    // CHANGE: [prompt-has-focus] the field has the keyboard at once
    SDL_StartTextInput();

    bool caretVisible = true;
    uint32_t nextBlink = SDL_GetTicks() + kCaretBlinkMs;
    while (!prompt.state.confirmed && !prompt.quitRequested) {
        Surface canvas = DrawNamePrompt(font, prompt.state, caretVisible, prompt.buttonHeld && prompt.pointerOnButton);
        Present(window.get(), canvas);

        const uint32_t now = SDL_GetTicks();
        const int wait = static_cast<int32_t>(nextBlink - now) > 0 ? static_cast<int>(nextBlink - now) : 0;
        SDL_Event event;
        if (!WaitForEvent(event, wait)) {
            caretVisible = !caretVisible;
            nextBlink = SDL_GetTicks() + kCaretBlinkMs;
            continue;
        }
        prompt.Handle(event);
        if (event.type == SDL_TEXTINPUT || event.type == SDL_KEYDOWN) {
            // Typing shows the caret at once, as an edit field does.
            caretVisible = true;
            nextBlink = SDL_GetTicks() + kCaretBlinkMs;
        }
    }
    SDL_StopTextInput();
    window.reset();
    // What the prompt's window still had queued is not meant for the next one.
    SDL_FlushEvents(SDL_WINDOWEVENT, SDL_MOUSEWHEEL);
    if (prompt.quitRequested) return std::nullopt;
    return prompt.state.text;
}

bool ShowNameTooLongMessage(const std::string& text1252)
{
    const std::string text = Utf8FromCp1252(text1252);
    return SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_INFORMATION, "Klotzar", text.c_str(), nullptr) == 0;
}

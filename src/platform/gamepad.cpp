#include "platform/gamepad.h"

#include <SDL.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "files/game_files.h"
#include "platform/pad_watch.h"

namespace {

constexpr const char* kMappingFile = "gamecontrollerdb.txt";
constexpr size_t kMappingFileLimit = 4 * 1024 * 1024;  // the community file is about 0.5 MB
// The stick counts as pushed beyond half way and as let go again below a
// third: the gap keeps a stick resting near the edge from chattering.
constexpr Sint16 kStickPushed = 16384;
constexpr Sint16 kStickReleased = 10923;

struct Pads {
    bool started = false;
    std::map<SDL_JoystickID, SDL_GameController*> open;
    HeldDirection held;
    int stickX = 0;  // -1, 0 or +1
    int stickY = 0;
    uint32_t wakeType = 0;  // the pad watcher's event; 0: none
};

Pads& pads()
{
    static Pads state;
    return state;
}

// Extra mappings beside the game's files, read through the guarded reader:
// a special or huge file is refused before SDL sees it, so a FIFO cannot
// stall the start.
void AddMappingFile()
{
    const std::string path = HostPath(kMappingFile);
    std::string bytes;
    switch (ReadGameFile(path, kMappingFileLimit, bytes)) {
    case FileRead::Missing: return;
    case FileRead::Refused:
        std::fprintf(stderr, "klotzar: %s is not a mapping file; pads use SDL's own mappings\n", path.c_str());
        return;
    case FileRead::Ok: break;
    }
    SDL_RWops* in = SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size()));
    if (!in || SDL_GameControllerAddMappingsFromRW(in, 1) < 0) {
        std::fprintf(stderr, "klotzar: %s: %s\n", path.c_str(), SDL_GetError());
    }
}

// Tells the watcher which device files belong to the open pads.
void WatchOpenPads()
{
    std::vector<std::string> paths;
    for (const auto& entry : pads().open) {
        const char* path = SDL_JoystickPath(SDL_GameControllerGetJoystick(entry.second));
        paths.emplace_back(path ? path : "");
    }
    WatchPadFiles(paths);
}

void OpenPad(int deviceIndex)
{
    SDL_GameController* pad = SDL_GameControllerOpen(deviceIndex);
    if (!pad) return;
    const SDL_JoystickID id = SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(pad));
    auto found = pads().open.find(id);
    if (found != pads().open.end()) {
        SDL_GameControllerClose(pad);  // already open: SDL counts opens
        return;
    }
    pads().open[id] = pad;
    WatchOpenPads();
}

void ClosePad(SDL_JoystickID id)
{
    auto found = pads().open.find(id);
    if (found == pads().open.end()) return;
    SDL_GameControllerClose(found->second);
    pads().open.erase(found);
    WatchOpenPads();
    // A pad pulled out while a direction was held must not go on repeating.
    pads().held = HeldDirection{};
    pads().stickX = pads().stickY = 0;
}

// CHANGE: [gamepad] any game controller plays every screen
Key KeyForButton(Uint8 button)
{
    switch (button) {
    case SDL_CONTROLLER_BUTTON_DPAD_LEFT: return Key::Left;
    case SDL_CONTROLLER_BUTTON_DPAD_RIGHT: return Key::Right;
    case SDL_CONTROLLER_BUTTON_DPAD_UP: return Key::Up;
    case SDL_CONTROLLER_BUTTON_DPAD_DOWN: return Key::Down;
    case SDL_CONTROLLER_BUTTON_A: return Key::PadAccept;
    case SDL_CONTROLLER_BUTTON_B:
    case SDL_CONTROLLER_BUTTON_Y: return Key::PadTurnBack;
    case SDL_CONTROLLER_BUTTON_LEFTSHOULDER:
    case SDL_CONTROLLER_BUTTON_RIGHTSHOULDER: return Key::Ctrl;
    case SDL_CONTROLLER_BUTTON_START: return Key::PadStart;
    case SDL_CONTROLLER_BUTTON_BACK: return Key::PadBack;
    default: return Key::Other;
    }
}

bool IsDirection(Key key)
{
    return key == Key::Left || key == Key::Right || key == Key::Up || key == Key::Down;
}

bool KeyPress(Key key, InputEvent& out)
{
    if (key == Key::Other) return false;
    out.type = InputEvent::Type::KeyDown;
    out.key = key;
    return true;
}

// One stick axis: -1, 0 or +1, with the dead zone and its gap.
int StickDirection(Sint16 value, int before)
{
    const int magnitude = value < 0 ? -static_cast<int>(value) : value;
    const int sign = value < 0 ? -1 : 1;
    if (magnitude >= kStickPushed) return sign;
    if (before == sign && magnitude >= kStickReleased) return before;
    return 0;
}

bool TranslateStick(const SDL_ControllerAxisEvent& axis, InputEvent& out, uint32_t nowMs)
{
    const bool horizontal = axis.axis == SDL_CONTROLLER_AXIS_LEFTX;
    if (!horizontal && axis.axis != SDL_CONTROLLER_AXIS_LEFTY) return false;
    int& state = horizontal ? pads().stickX : pads().stickY;
    const int now = StickDirection(axis.value, state);
    if (now == state) return false;
    const Key negative = horizontal ? Key::Left : Key::Up;  // the stick's y grows downwards
    const Key positive = horizontal ? Key::Right : Key::Down;
    if (state != 0) pads().held.Release(state < 0 ? negative : positive);
    state = now;
    if (now == 0) return false;
    const Key key = now < 0 ? negative : positive;
    pads().held.Press(key, nowMs);
    return KeyPress(key, out);
}

}  // namespace

void HeldDirection::Press(Key pressed, uint32_t nowMs)
{
    key = pressed;
    nextAt = nowMs + kDelayMs;
}

void HeldDirection::Release(Key released)
{
    if (key == released) key = Key::Other;
}

bool HeldDirection::TakeRepeat(uint32_t nowMs)
{
    if (key == Key::Other || static_cast<int32_t>(nowMs - nextAt) < 0) return false;
    nextAt = nowMs + kIntervalMs;
    return true;
}

int32_t HeldDirection::MsUntilRepeat(uint32_t nowMs) const
{
    if (key == Key::Other) return -1;
    const int32_t left = static_cast<int32_t>(nextAt - nowMs);
    return left > 0 ? left : 0;
}

void StartGamepads()
{
    if (pads().started) return;
    // Left to itself, SDL reads the pads inside every event wait: the wait
    // then wakes every 3 s to look for new pads, and polls every millisecond
    // while one is open. The pad watcher wakes the wait instead, and the pads
    // are read when it does.
    SDL_SetHint(SDL_HINT_AUTO_UPDATE_JOYSTICKS, "0");
    if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) {
        std::fprintf(stderr, "klotzar: no game controllers: %s\n", SDL_GetError());
        return;
    }
    pads().started = true;
    AddMappingFile();
    const Uint32 wakeType = SDL_RegisterEvents(1);
    if (wakeType != static_cast<Uint32>(-1)) {
        pads().wakeType = wakeType;
        StartPadWatch(wakeType);
    } else {
        // No event to wake the wait with: SDL reads the pads in its waits.
        SDL_SetHint(SDL_HINT_AUTO_UPDATE_JOYSTICKS, "1");
    }
    // Pads already connected announce themselves with a device-added event,
    // which opens them like a pad plugged in later.
}

void StopGamepads()
{
    if (!pads().started) return;
    StopPadWatch();
    for (auto& entry : pads().open) SDL_GameControllerClose(entry.second);
    pads() = Pads{};
    SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
}

void UpdateGamepads()
{
    if (pads().started) SDL_GameControllerUpdate();
}

bool TranslatePadEvent(const SDL_Event& e, InputEvent& out, uint32_t nowMs)
{
    if (pads().wakeType != 0 && e.type == pads().wakeType) {
        PadWakeTaken();
        UpdateGamepads();  // what the pads said lands in the queue
        return false;
    }
    switch (e.type) {
    case SDL_CONTROLLERDEVICEADDED: OpenPad(e.cdevice.which); return false;
    case SDL_CONTROLLERDEVICEREMOVED: ClosePad(e.cdevice.which); return false;
    case SDL_CONTROLLERBUTTONDOWN: {
        const Key key = KeyForButton(e.cbutton.button);
        if (IsDirection(key)) pads().held.Press(key, nowMs);
        return KeyPress(key, out);
    }
    case SDL_CONTROLLERBUTTONUP: pads().held.Release(KeyForButton(e.cbutton.button)); return false;
    case SDL_CONTROLLERAXISMOTION: return TranslateStick(e.caxis, out, nowMs);
    default: return false;
    }
}

bool TakePadRepeat(uint32_t nowMs, InputEvent& out)
{
    if (!pads().held.TakeRepeat(nowMs)) return false;
    return KeyPress(pads().held.key, out);
}

int32_t MsUntilPadRepeat(uint32_t nowMs)
{
    return pads().held.MsUntilRepeat(nowMs);
}

#include "platform/audio.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <system_error>
#include <vector>

#include "files/game_files.h"

namespace {

const char* const kSearchFolder = "Data/";
const int kChannels = 16;
const int kMaxChannels = 256;

// The General MIDI bank of timgm6mb-soundfont, wherever Debian put it.
const char* const kSoundFonts[] = {
    "/usr/share/sounds/sf3/default-GM.sf3",
    "/usr/share/sounds/sf2/TimGM6mb.sf2",
};

// Bounds far above the game's own files (a few hundred kilobytes of sound, a
// few kilobytes of tune); anything larger counts as unreadable.
constexpr size_t kMostSoundBytes = 16 << 20;
constexpr size_t kMostTuneBytes = 4 << 20;

// The file's bytes through the guarded reader: empty when missing, not a
// regular file, over the bound or unreadable, which every loader reports as
// a failed load.
std::string ReadWholeFile(const std::string& path, size_t mostBytes)
{
    std::string bytes;
    if (ReadGameFile(HostPath(path), mostBytes, bytes) != FileRead::Ok) bytes.clear();
    return bytes;
}

// CHANGE: [mix-headroom] the tune and the effects are mixed at half their level, so their sum
// never overflows 16 bits, and brought back to full level after mixing with a
// soft knee: peaks that would clip bend below full scale instead, everything
// under the knee sounds exactly as loud as before.
constexpr int kMixVolume = MIX_MAX_VOLUME / 2;
constexpr int32_t kKnee = 24576;     // three quarters of full scale
constexpr int32_t kCeiling = 32766;  // never reached, let alone full scale

int16_t RestoredSample(int32_t halved)
{
    const int32_t level = 2 * halved;
    const int32_t magnitude = level < 0 ? -level : level;
    if (magnitude <= kKnee) return static_cast<int16_t>(level);
    const double room = kCeiling - kKnee;
    const double bent = kKnee + room * std::tanh((magnitude - kKnee) / room);
    const int32_t limited = static_cast<int32_t>(bent);
    return static_cast<int16_t>(level < 0 ? -limited : limited);
}

void RestoreLevel(Uint8* stream, int length)
{
    int16_t* samples = reinterpret_cast<int16_t*>(stream);
    const size_t count = static_cast<size_t>(length) / sizeof(int16_t);
    for (size_t i = 0; i < count; ++i) samples[i] = RestoredSample(samples[i]);
}

// The post-mix: runs on the audio thread after every mix, inside the device's
// lock. Once the last effect and the tune have been mixed to their ends, the
// device is paused; SDL then feeds it silence without calling the mixer. Play
// calls resume it under the same lock after starting their sound, so no
// sound can be started on a device this is about to pause.
void RestoreLevelAndRest(void* device, Uint8* stream, int length)
{
    RestoreLevel(stream, length);
    const SDL_AudioDeviceID id = static_cast<SDL_AudioDeviceID>(reinterpret_cast<uintptr_t>(device));
    if (id != 0 && Mix_Playing(-1) == 0 && Mix_PlayingMusic() == 0) SDL_PauseAudioDevice(id, 1);
}

// SDL numbers its open devices from 1 in a small table and answers "stopped"
// for any number that is not open, so a scan well past its size finds them all.
constexpr SDL_AudioDeviceID kLastDeviceId = 64;

std::vector<SDL_AudioDeviceID> RunningDevices()
{
    std::vector<SDL_AudioDeviceID> running;
    for (SDL_AudioDeviceID id = 1; id <= kLastDeviceId; ++id) {
        if (SDL_GetAudioDeviceStatus(id) != SDL_AUDIO_STOPPED) running.push_back(id);
    }
    return running;
}

// SDL_mixer does not tell which device it opened, but it opens one and
// unpauses it before Mix_OpenAudio returns: the device that runs now and did
// not before is it. Anything else (none, or more than one new) yields 0, and
// the device is then never paused, as a mixer without this would run.
SDL_AudioDeviceID FindMixerDevice(const std::vector<SDL_AudioDeviceID>& before)
{
    SDL_AudioDeviceID found = 0;
    for (SDL_AudioDeviceID id : RunningDevices()) {
        if (std::find(before.begin(), before.end(), id) != before.end()) continue;
        if (found != 0) return 0;
        found = id;
    }
    return found;
}

// Holds the device's mixing lock (the one the mixer itself takes) for a
// scope: between starting a sound and resuming the device no mix can run.
struct DeviceLock {
    explicit DeviceLock(SDL_AudioDeviceID id) : id(id)
    {
        if (id != 0) SDL_LockAudioDevice(id);
    }
    ~DeviceLock()
    {
        if (id != 0) SDL_UnlockAudioDevice(id);
    }
    DeviceLock(const DeviceLock&) = delete;
    DeviceLock& operator=(const DeviceLock&) = delete;
    SDL_AudioDeviceID id;
};

void StartEffect(Mix_Chunk* chunk)
{
    if (Mix_PlayChannel(-1, chunk, 0) >= 0) return;
    // Every channel busy: add more, so that no effect is ever dropped.
    const int channels = Mix_AllocateChannels(-1);
    if (channels < kMaxChannels && Mix_Playing(-1) >= channels) {
        Mix_AllocateChannels(channels * 2);
        Mix_Volume(-1, kMixVolume);  // the new channels start at full level
        Mix_PlayChannel(-1, chunk, 0);
    }
}

const char* FindSoundFont()
{
    for (const char* path : kSoundFonts) {
        std::error_code error;
        if (std::filesystem::is_regular_file(path, error)) return path;
    }
    return nullptr;
}

}  // namespace

void Audio::Init(Log& log)
{
    if (subsystemStarted_) return;
    log_ = &log;

    // Only the audio subsystem: the sound works with or without a window.
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) == 0) {
        subsystemStarted_ = true;
        // Without a bank the tune fails to load and is reported then; the
        // effects play all the same.
        if (const char* bank = FindSoundFont()) Mix_SetSoundFonts(bank);
        Mix_Init(MIX_INIT_MID);
        const std::vector<SDL_AudioDeviceID> before = RunningDevices();
        if (Mix_OpenAudio(44100, AUDIO_S16SYS, 2, 1024) == 0) {
            deviceOpen_ = true;
            Mix_AllocateChannels(kChannels);
            Mix_Volume(-1, kMixVolume);
            Mix_VolumeMusic(kMixVolume);
            // Silent, the device is paused rather than closed: a paused device
            // resumes at once, so the first effect of a game sounds on time.
            // SDL's audio thread still wakes once per buffer (about 43 times a
            // second) to hand the device silence, but no longer mixes 16
            // channels and the post-mix each time (a fifth of the work).
            // Closing it would spare the wake-ups too, but the sounds and the
            // tune are converted for the device as opened, and a device
            // reopened at a game's start may come back in another format, or
            // late.
            deviceId_ = FindMixerDevice(before);
            Mix_SetPostMix(RestoreLevelAndRest, reinterpret_cast<void*>(static_cast<uintptr_t>(deviceId_)));
        }
    }
    Report("Audio: Initialisierung OK");
}

void Audio::LoadSound(const std::string& name)
{
    if (!deviceOpen_) return;
    MixChunkPtr& entry = sounds_[name];
    const std::string bytes = ReadWholeFile(kSearchFolder + name, kMostSoundBytes);
    // The chunk keeps its own decoded copy; the bytes may go afterwards.
    entry.reset(bytes.empty() ? nullptr
                              : Mix_LoadWAV_RW(SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size())), 1));
    if (!entry) {
        Report("Audio: Fehler beim Laden der Sounddatei : ", name);
        return;
    }
    Report("Audio: Sound geladen OK :", name);
}

void Audio::LoadMusic(const std::string& name)
{
    musicTried_ = true;
    if (!deviceOpen_) return;
    music_.reset();
    musicFile_ = ReadWholeFile(kSearchFolder + name, kMostTuneBytes);
    music_ = OpenMusic();
    musicStarted_ = false;
    if (!music_) {
        musicFile_.clear();
        Report("Audio: Fehler beim Laden der Musikdatei : ", name);
        return;
    }
    Report("Audio: Musik geladen OK :", name);
}

void Audio::LoadMusicOnce(const std::string& name)
{
    if (musicTried_) return;
    LoadMusic(name);
}

MixMusicPtr Audio::OpenMusic() const
{
    if (musicFile_.empty()) return nullptr;
    SDL_RWops* source = SDL_RWFromConstMem(musicFile_.data(), static_cast<int>(musicFile_.size()));
    return MixMusicPtr(Mix_LoadMUS_RW(source, 1));
}

int Audio::PlayMusic()
{
    if (!deviceOpen_ || !music_) return -1;
    // FluidSynth picks a halted or finished tune up where it stopped, so every
    // run after the first gets a fresh player (about 35 ms, no file access).
    if (musicStarted_) {
        music_.reset();
        music_ = OpenMusic();
        if (!music_) return -1;
    }
    musicStarted_ = true;
    // CHANGE: [tune-restarts] a call while the tune still plays restarts it instead of starting
    // a second copy out of step with the first.
    // CHANGE: [tune-repeats] the tune repeats until it is stopped, instead of falling silent
    // after one run through.
    const DeviceLock lock(deviceId_);
    const int result = Mix_PlayMusic(music_.get(), -1);
    Resume();
    return result;
}

void Audio::Resume()
{
    if (deviceId_ != 0) SDL_PauseAudioDevice(deviceId_, 0);
}

bool Audio::Mixing() const
{
    if (deviceId_ == 0) return deviceOpen_;
    return SDL_GetAudioDeviceStatus(deviceId_) == SDL_AUDIO_PLAYING;
}

void Audio::PlaySound(const std::string& name)
{
    if (!deviceOpen_) return;
    auto found = sounds_.find(name);
    if (found == sounds_.end() || !found->second) return;
    const DeviceLock lock(deviceId_);
    StartEffect(found->second.get());
    Resume();
}

void Audio::StopMusic()
{
    if (deviceOpen_) Mix_HaltMusic();
}

int Audio::StopAll()
{
    if (!deviceOpen_) return -1;
    Mix_HaltMusic();
    Mix_HaltChannel(-1);
    return 0;
}

void Audio::Release()
{
    StopAll();
    sounds_.clear();
    music_.reset();
    musicFile_.clear();
    musicTried_ = false;
    if (deviceOpen_) {
        Mix_SetPostMix(nullptr, nullptr);
        Mix_CloseAudio();
        deviceOpen_ = false;
        deviceId_ = 0;
    }
    if (subsystemStarted_) {
        Mix_Quit();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        subsystemStarted_ = false;
    }
    // A second call has no log to report to, so the line is written once.
    Report("Audio: Freigabe OK");
    log_ = nullptr;
}

void Audio::Report(const std::string& text, const std::string& name)
{
    if (log_) log_->WriteLine(text, name);
}

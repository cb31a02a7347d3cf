#include "platform/audio.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <atomic>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <system_error>

#include <unistd.h>

#include "files/game_files.h"
#include "sound/tune_bank.h"

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

// What the game's calls and the audio thread share to let the thread rest.
// SDL's thread wakes once per buffer (about 43 times a second) even for a
// paused device, only to hand it silence; so, once nothing plays, the
// post-mix keeps it waiting on `wake` inside the mixer's lock, and the
// device is handed nothing at all until the game calls again. One for the
// process, as the mixer and its device are: a second Audio opened while the
// first is open shares the device, and must wake its thread too.
struct AudioRest {
    SDL_sem* wake = nullptr;
    std::atomic<int> callsUnderWay{0};  // game calls that need the mixer now
    std::atomic<bool> resting{false};
    std::atomic<bool> closing{false};
    int silentMixes = 0;  // in a row; the audio thread's own

    void Wake()
    {
        // Only the game posts: a count above 1 would add nothing.
        if (wake != nullptr && SDL_SemValue(wake) == 0) SDL_SemPost(wake);
    }
};

// Never destroyed: an audio thread left running at exit may still wait on it.
AudioRest& sharedRest()
{
    static AudioRest* rest = new AudioRest;
    return *rest;
}

// Keeps the audio thread out of its rest for one call of the game, so that
// the mixer's lock, which the resting thread holds, is free for the call.
// The thread checks callsUnderWay after every wake, and a wake it had not
// waited for yet ends its next wait at once, so no call can find it asleep.
struct Awake {
    Awake()
    {
        ++sharedRest().callsUnderWay;
        sharedRest().Wake();
    }
    ~Awake() { --sharedRest().callsUnderWay; }
    Awake(const Awake&) = delete;
    Awake& operator=(const Awake&) = delete;
};

bool AllSilent(const Uint8* stream, int length)
{
    for (int i = 0; i < length; ++i) {
        if (stream[i] != 0) return false;
    }
    return true;
}

// A quarter of a second of silence after the last sound: whatever buffers
// lie between the mixer and the speaker (SDL's conversion to the device's
// buffer size, the driver's own) have let its last samples out by then.
constexpr int kSilentMixesBeforeRest = 12;

// The post-mix: runs on the audio thread after every mix, inside the mixer's
// lock. Once the last effect and the tune have ended and their last samples
// have gone out, it rests there until the game calls again, holding back a
// buffer of silence.
void RestoreLevelAndRest(void* restState, Uint8* stream, int length)
{
    RestoreLevel(stream, length);
    auto* rest = static_cast<AudioRest*>(restState);
    if (!AllSilent(stream, length)) {
        rest->silentMixes = 0;
        return;
    }
    // Without its semaphore the thread could not be woken, so it never rests.
    if (++rest->silentMixes < kSilentMixesBeforeRest || rest->wake == nullptr) return;
    while (!rest->closing && rest->callsUnderWay == 0 && Mix_Playing(-1) == 0 && Mix_PlayingMusic() == 0) {
        rest->resting = true;
        SDL_SemWait(rest->wake);
        rest->resting = false;
    }
}

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

Audio::Audio() = default;

Audio::~Audio()
{
    Release();
}

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
        AudioRest& rest = sharedRest();
        if (rest.wake == nullptr) rest.wake = SDL_CreateSemaphore(0);
        const Awake awake;  // a device opened before may be resting
        if (Mix_OpenAudio(44100, AUDIO_S16SYS, 2, 1024) == 0) {
            deviceOpen_ = true;
            Mix_AllocateChannels(kChannels);
            Mix_Volume(-1, kMixVolume);
            Mix_VolumeMusic(kMixVolume);
            // The device stays open while it rests, rather than being closed
            // and opened again: the sounds and the tune are converted for it
            // as opened, and a device opened anew at a game's start may come
            // back in another format, or late.
            rest.closing = false;
            Mix_SetPostMix(RestoreLevelAndRest, &rest);
        }
    }
    Report("Audio: Initialisierung OK");
}

void Audio::LoadSound(const std::string& name)
{
    if (!deviceOpen_) return;
    const Awake awake;
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
    const Awake awake;
    music_.reset();
    musicFile_ = ReadWholeFile(kSearchFolder + name, kMostTuneBytes);
    ChooseBank();
    music_ = OpenMusic();
    musicStarted_ = false;
    if (!music_) {
        musicFile_.clear();
        CloseBank();
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

// CHANGE: [tune-bank-cut] FluidSynth plays from the bank cut down to the tune
// FluidSynth keeps the whole bank in memory while a tune is open, so it gets
// a copy holding only the instruments the tune plays (a quarter of the General
// MIDI bank's samples), kept open as long as the tune may be opened again.
void Audio::ChooseBank()
{
    const char* bank = FindSoundFont();
    if (bank == nullptr || musicFile_.empty()) return;
    std::string refusal;
    const int cut = CutBankForTune(bank, musicFile_, refusal);
    if (cut >= 0) {
        Mix_SetSoundFonts(CutBankName(cut).c_str());
    } else {
        Mix_SetSoundFonts(bank);
        Report("Audio: Klangbank ungek\xFCrzt geladen : ", refusal);
    }
    // Only now: a new copy never takes the number of the one before, whose
    // samples FluidSynth may still hold under that name.
    CloseBank();
    cutBank_ = cut;
}

void Audio::CloseBank()
{
    if (cutBank_ >= 0) close(cutBank_);
    cutBank_ = -1;
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
    const Awake awake;
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
    return Mix_PlayMusic(music_.get(), -1);
}

bool Audio::Mixing() const
{
    return deviceOpen_ && !sharedRest().resting;
}

void Audio::PlaySound(const std::string& name)
{
    if (!deviceOpen_) return;
    auto found = sounds_.find(name);
    if (found == sounds_.end() || !found->second) return;
    const Awake awake;
    StartEffect(found->second.get());
}

void Audio::StopMusic()
{
    if (!deviceOpen_) return;
    const Awake awake;
    Mix_HaltMusic();
}

int Audio::StopAll()
{
    if (!deviceOpen_) return -1;
    const Awake awake;
    Mix_HaltMusic();
    Mix_HaltChannel(-1);
    return 0;
}

void Audio::Release()
{
    StopAll();
    {
        const Awake awake;
        sounds_.clear();
        music_.reset();
    }
    CloseBank();
    musicFile_.clear();
    musicTried_ = false;
    if (deviceOpen_) {
        // Closing waits for the audio thread, which must not rest again.
        sharedRest().closing = true;
        sharedRest().Wake();
        Mix_SetPostMix(nullptr, nullptr);
        Mix_CloseAudio();
        deviceOpen_ = false;
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

#pragma once
#include <map>
#include <memory>
#include <string>

#include "platform/log.h"
#include "platform/sdl_handles.h"

// The background tune (a MIDI file, played through FluidSynth) and the sound
// effects (wave files), all read from "Data/". Every load is reported in
// "log.txt". Without an audio device every call after Init does nothing.
class Audio {
public:
    Audio();
    ~Audio();
    Audio(const Audio&) = delete;
    Audio& operator=(const Audio&) = delete;

    // Opens the audio device and reports into log until Release. Writes
    // "Audio: Initialisierung OK" whether or not a device could be opened.
    void Init(Log& log);
    // Loads "Data/" + name into the sound table under name; a failed load
    // leaves the name in the table without a sound.
    void LoadSound(const std::string& name);
    void LoadMusic(const std::string& name);
    // LoadMusic, unless the tune was loaded or tried before: the General MIDI
    // bank comes with it (a few megabytes, even cut down to the tune's
    // instruments), so it is loaded only once music is wanted, and a failed
    // load is reported once.
    void LoadMusicOnce(const std::string& name);
    // Plays the tune from its start, over and over until StopAll. 0 when it
    // plays, -1 otherwise.
    int PlayMusic();
    // Starts the named effect on a free channel, over anything still sounding.
    // Unknown names and failed loads play nothing.
    void PlaySound(const std::string& name);
    // Silences the tune; effects still sounding play on.
    void StopMusic();
    // Silences the tune and every effect. 0 when done, -1 without a device.
    int StopAll();
    // True while the device mixes: something plays, or played until the last
    // mix, or a call has just woken it. Silent, the device's thread rests and
    // costs nothing; the device is handed nothing, which it plays as silence.
    bool Mixing() const;
    // Stops everything, frees all sounds, closes the device and writes
    // "Audio: Freigabe OK". Later calls find nothing left to do.
    void Release();

private:
    MixMusicPtr OpenMusic() const;
    void ChooseBank();
    void CloseBank();
    void Report(const std::string& text, const std::string& name = std::string());

    bool subsystemStarted_ = false;  // SDL's audio subsystem is ours to quit
    bool deviceOpen_ = false;        // false: every operation does nothing
    MixMusicPtr music_;
    std::string musicFile_;      // the tune's bytes, to start it afresh
    bool musicStarted_ = false;  // music_ has been played since it was made
    bool musicTried_ = false;    // LoadMusic has run since Init
    int cutBank_ = -1;           // the bank cut down to the tune, while it may be opened
    std::map<std::string, MixChunkPtr> sounds_;
    Log* log_ = nullptr;  // the game's log, from Init to Release
};

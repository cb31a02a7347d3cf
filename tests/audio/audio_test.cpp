#include "platform/audio.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include <unistd.h>

#include "scratch_folder.h"
#include "sound_files.h"

namespace fs = std::filesystem;

namespace {

const char* const kTune = "Fennwold_Neo_Remix.mid";
const int16_t kAmplitude = 6000;

bool SoundFontInstalled()
{
    std::error_code error;
    return fs::exists("/usr/share/sounds/sf3/default-GM.sf3", error) ||
           fs::exists("/usr/share/sounds/sf2/TimGM6mb.sf2", error);
}

std::string ReadFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// Each test runs in its own folder with its own Data/ and log.txt, and with
// SDL's disk driver writing the mixed output to out.raw.
class AudioTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        working_ = std::make_unique<ScratchWorkingFolder>("klotzar-audio");
        folder_ = working_->path();
        fs::create_directory("Data");
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", (folder_ / "out.raw").c_str(), 1);
        log_.Open("log.txt", Log::Mode::Append);  // as the program opens it before the audio
    }

    void TearDown() override
    {
        unsetenv("SDL_FORCE_SOUNDFONTS");
        unsetenv("SDL_SOUNDFONTS");
        log_.Close();
        working_.reset();
    }

    // The device's output, as Mix_OpenAudio really opened it.
    DiskOutput Output()
    {
        int rate = 0;
        Uint16 format = 0;
        int channels = 0;
        EXPECT_EQ(Mix_QuerySpec(&rate, &format, &channels), 1);
        EXPECT_EQ(format, AUDIO_S16LSB);
        rate_ = rate;
        channels_ = channels;
        return DiskOutput((folder_ / "out.raw").string(), rate, channels);
    }

    double PeakRms(const std::vector<int16_t>& samples) const { return PeakWindowRms(samples, rate_, channels_, 20); }

    std::unique_ptr<ScratchWorkingFolder> working_;
    fs::path folder_;
    Log log_;
    int32_t rate_ = 44100;
    int32_t channels_ = 2;
};

TEST_F(AudioTest, LogsEachLoadAndFailedOrUnknownSoundsStaySilent)
{
    WriteNoiseWav("Data/drehen.wav", 150, kAmplitude);
    {
        std::ofstream("log.txt", std::ios::binary) << "Main : vorher\r\n";
    }
    {
        Audio audio;
        audio.Init(log_);
        audio.LoadSound("drehen.wav");
        audio.LoadSound("down.wav");
        audio.LoadMusic("fehlt.mid");
        const DiskOutput output = Output();

        int64_t mark = output.Mark();
        audio.PlaySound("down.wav");
        audio.PlaySound("never-loaded.wav");
        EXPECT_EQ(MaxAbs(output.Window(mark, 0, 200)), 0) << "a failed or unknown sound made a noise";

        mark = output.Mark();
        audio.PlaySound("drehen.wav");
        EXPECT_GT(Rms(output.Window(mark, 0, 200)), kAmplitude / 4) << "the loaded sound stayed silent";

        audio.Release();
        audio.Release();
    }  // the destructor releases too; it must not log a second time

    EXPECT_EQ(ReadFile("log.txt"), "Main : vorher\r\n"
                                   "Audio: Initialisierung OK\r\n"
                                   "Audio: Sound geladen OK :drehen.wav\r\n"
                                   "Audio: Fehler beim Laden der Sounddatei : down.wav\r\n"
                                   "Audio: Fehler beim Laden der Musikdatei : fehlt.mid\r\n"
                                   "Audio: Freigabe OK\r\n");
}

// The bank is cut to what a MIDI tune plays; a tune the cut cannot read
// gets the whole bank, says so once, and plays all the same.
TEST_F(AudioTest, ATuneTheBankCannotBeCutForPlaysWithTheWholeBank)
{
    if (!SoundFontInstalled()) GTEST_SKIP() << "no General MIDI bank installed (timgm6mb-soundfont): nothing to cut";
    WriteNoiseWav("Data/lied.mid", 2000, kAmplitude);  // a wave under a tune's name
    {
        std::ofstream("log.txt", std::ios::binary);
    }
    Audio audio;
    audio.Init(log_);
    audio.LoadMusic("lied.mid");
    EXPECT_EQ(ReadFile("log.txt"), "Audio: Initialisierung OK\r\n"
                                   "Audio: Klangbank ungek\xFCrzt geladen : Musikdatei ist kein lesbares MIDI\r\n"
                                   "Audio: Musik geladen OK :lied.mid\r\n");
    const DiskOutput output = Output();
    EXPECT_EQ(audio.PlayMusic(), 0);
    EXPECT_GT(Rms(output.Window(output.Mark(), 50, 300)), kAmplitude / 4) << "the tune is silent";
}

TEST_F(AudioTest, AnEffectPlayedTwiceSoundsTwiceAtOnce)
{
    WriteNoiseWav("Data/drehen.wav", 250, kAmplitude);
    Audio audio;
    audio.Init(log_);
    audio.LoadSound("drehen.wav");
    const DiskOutput output = Output();

    int64_t mark = output.Mark();
    audio.PlaySound("drehen.wav");
    const double once = PeakRms(output.Window(mark, 0, 350));

    mark = output.Mark();
    audio.PlaySound("drehen.wav");
    audio.PlaySound("drehen.wav");
    const double twice = PeakRms(output.Window(mark, 0, 350));

    EXPECT_GT(once, kAmplitude * 0.9);
    EXPECT_GT(twice / once, 1.2) << "once " << once << ", twice " << twice;
}

TEST_F(AudioTest, MoreEffectsThanChannelsAllPlay)
{
    WriteNoiseWav("Data/klatsch.wav", 300, 500);
    Audio audio;
    audio.Init(log_);
    audio.LoadSound("klatsch.wav");
    for (int i = 0; i < 40; ++i) audio.PlaySound("klatsch.wav");
    EXPECT_EQ(Mix_Playing(-1), 40);
    EXPECT_EQ(audio.StopAll(), 0);
    EXPECT_EQ(Mix_Playing(-1), 0);
}

TEST_F(AudioTest, StopAllSilencesTheTuneAndEveryEffect)
{
    if (!SoundFontInstalled())
        GTEST_SKIP() << "no General MIDI bank installed (timgm6mb-soundfont): the tune cannot sound";
    WriteNoiseWav("Data/down.wav", 1500, kAmplitude);
    WriteSingleNoteMidi(std::string("Data/") + kTune, 1500, 1600);
    Audio audio;
    audio.Init(log_);
    audio.LoadSound("down.wav");
    audio.LoadMusic(kTune);
    const DiskOutput output = Output();

    EXPECT_EQ(audio.PlayMusic(), 0);
    int64_t mark = output.Mark();
    const double tuneAlone = Rms(output.Window(mark, 50, 150));
    audio.PlaySound("down.wav");
    mark = output.Mark();
    const double both = Rms(output.Window(mark, 50, 150));
    EXPECT_GT(tuneAlone, 100.0) << "the tune is silent";
    EXPECT_GT(both, tuneAlone + kAmplitude / 2) << "the effect is silent";

    EXPECT_EQ(audio.StopAll(), 0);
    mark = output.Mark();
    EXPECT_EQ(MaxAbs(output.Window(mark, 60, 250)), 0) << "something still sounds after StopAll";
}

TEST_F(AudioTest, TheTuneRepeatsAndStartsOverAtEveryPlayMusic)
{
    if (!SoundFontInstalled())
        GTEST_SKIP() << "no General MIDI bank installed (timgm6mb-soundfont): the tune cannot sound";
    {
        std::ofstream("log.txt", std::ios::binary);
    }
    // A short note, then the tune runs on silently until its end at 800 ms.
    WriteSingleNoteMidi(std::string("Data/") + kTune, 200, 800);
    Audio audio;
    audio.Init(log_);
    audio.LoadMusic(kTune);
    EXPECT_EQ(ReadFile("log.txt"),
              std::string("Audio: Initialisierung OK\r\nAudio: Musik geladen OK :") + kTune + "\r\n");
    const DiskOutput output = Output();

    EXPECT_EQ(audio.PlayMusic(), 0);
    int64_t mark = output.Mark();
    const double note = Rms(output.Window(mark, 30, 150));
    const double fading = Rms(output.Window(mark, 400, 100));
    EXPECT_GT(note, 500.0) << "the tune is silent";
    EXPECT_LT(fading, note / 10);

    // Half-way through, a second call starts it over: the note sounds at once.
    EXPECT_EQ(audio.PlayMusic(), 0);
    mark = output.Mark();
    EXPECT_GT(Rms(output.Window(mark, 30, 150)), note / 2) << "PlayMusic did not restart the running tune";
    // At its end it starts again: the note sounds a second and third time.
    EXPECT_GT(Rms(output.Window(mark, 830, 150)), note / 2) << "the tune did not repeat";
    EXPECT_LT(Rms(output.Window(mark, 1250, 250)), note / 10) << "the pause after the note";
    EXPECT_GT(Rms(output.Window(mark, 1630, 150)), note / 2) << "the tune did not repeat twice";

    EXPECT_EQ(audio.PlayMusic(), 0);
    mark = output.Mark();
    EXPECT_GT(Rms(output.Window(mark, 30, 150)), note / 2) << "PlayMusic after the end stayed silent";

    // Stopped part-way, the next run still begins at the start.
    output.Window(mark, 300, 100);
    audio.StopAll();
    EXPECT_EQ(audio.PlayMusic(), 0);
    mark = output.Mark();
    EXPECT_GT(Rms(output.Window(mark, 30, 150)), note / 2)
        << "PlayMusic after StopAll resumed instead of starting over";
}

// Polls until the device has paused itself; false after limitMs.
bool RestsWithin(const Audio& audio, uint32_t limitMs)
{
    const Uint64 start = SDL_GetTicks64();
    while (audio.Mixing()) {
        if (SDL_GetTicks64() - start > limitMs) return false;
        SDL_Delay(5);
    }
    return true;
}

// Where the sound begins and ends in samples: the first and one past the last
// sample that is not silence; both 0 when all is silent.
std::pair<size_t, size_t> SoundingSpan(const std::vector<int16_t>& samples)
{
    size_t first = 0;
    while (first < samples.size() && samples[first] == 0) ++first;
    if (first == samples.size()) return {0, 0};
    size_t end = samples.size();
    while (samples[end - 1] == 0) --end;
    return {first, end};
}

TEST_F(AudioTest, TheSilentDeviceRestsAndWakesInTimeForEveryEffectAndTune)
{
    const int32_t effectMs = 200;
    WriteNoiseWav("Data/down.wav", effectMs, kAmplitude);
    Audio audio;
    audio.Init(log_);
    audio.LoadSound("down.wav");
    const DiskOutput output = Output();
    const size_t effectSamples = static_cast<size_t>(rate_ * effectMs / 1000 * channels_);

    for (int round = 1; round <= 3; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        ASSERT_TRUE(RestsWithin(audio, 10000)) << "the device mixes silence";
        // Resting, the device is handed nothing at all, not even silence.
        int64_t mark = output.Mark();
        SDL_Delay(200);
        EXPECT_EQ(output.Mark(), mark) << "the resting device was handed silence";
        EXPECT_FALSE(audio.Mixing());

        mark = output.Mark();
        audio.PlaySound("down.wav");
        EXPECT_TRUE(audio.Mixing()) << "the effect was started on a resting device";
        const std::vector<int16_t> heard = output.Window(mark, 0, effectMs + 400);
        const auto [first, end] = SoundingSpan(heard);
        ASSERT_GT(end, first) << "the effect was not heard";
        // The noise is +-amplitude throughout, mixed at half level and
        // restored: every sample of it comes out exactly, none cut off.
        EXPECT_EQ(end - first, effectSamples);
        const size_t exact = static_cast<size_t>(std::count_if(
            heard.begin(), heard.end(), [](int16_t sample) { return sample == kAmplitude || sample == -kAmplitude; }));
        EXPECT_EQ(exact, effectSamples);
        // A buffer or two of latency at most, as on a device that never rests;
        // the bound leaves room for a busy machine.
        const double lateMs = 1000.0 * static_cast<double>(first / static_cast<size_t>(channels_)) / rate_;
        EXPECT_LT(lateMs, 150.0) << "the effect began late";
    }

    if (!SoundFontInstalled()) return;  // the tune cannot sound without the bank
    // A tune keeps the device awake through its silent stretches too.
    WriteSingleNoteMidi(std::string("Data/") + kTune, 100, 600);
    audio.LoadMusicOnce(kTune);
    ASSERT_TRUE(RestsWithin(audio, 10000));
    int64_t mark = output.Mark();
    EXPECT_EQ(audio.PlayMusic(), 0);
    EXPECT_GT(PeakRms(output.Window(mark, 0, 150)), 300.0) << "the tune stayed silent on a resting device";
    output.Window(mark, 300, 200);  // the tune's silence after its note
    EXPECT_TRUE(audio.Mixing()) << "the device rested while the tune played";
    mark = output.Mark();
    EXPECT_GT(PeakRms(output.Window(mark, 0, 800)), 300.0) << "the tune did not repeat after a silent stretch";
    audio.StopAll();
    EXPECT_TRUE(RestsWithin(audio, 10000)) << "the device went on mixing after StopAll";
}

TEST_F(AudioTest, TheTuneIsLoadedOnceHoweverOftenItIsWanted)
{
    WriteSingleNoteMidi(std::string("Data/") + kTune, 100, 200);
    {
        std::ofstream("log.txt", std::ios::binary);
    }
    Audio audio;
    audio.Init(log_);
    audio.LoadMusicOnce(kTune);
    audio.LoadMusicOnce(kTune);
    audio.LoadMusicOnce("fehlt.mid");
    const std::string tuneLine = SoundFontInstalled()
                                     ? std::string("Audio: Musik geladen OK :") + kTune
                                     : std::string("Audio: Fehler beim Laden der Musikdatei : ") + kTune;
    EXPECT_EQ(ReadFile("log.txt"), "Audio: Initialisierung OK\r\n" + tuneLine + "\r\n");
    // Released and opened again, the device has no tune until one is wanted.
    audio.Release();
    audio.Init(log_);
    EXPECT_EQ(audio.PlayMusic(), -1);
    audio.LoadMusicOnce(kTune);
    const std::string log = ReadFile("log.txt");
    EXPECT_NE(log.find(tuneLine), log.rfind(tuneLine)) << log;
}

TEST_F(AudioTest, WithoutAMidiBankOnlyTheTuneIsMissing)
{
    // SDL_mixer lets these two override the bank Init chooses.
    setenv("SDL_FORCE_SOUNDFONTS", "1", 1);
    setenv("SDL_SOUNDFONTS", "/nonexistent/bank.sf2", 1);
    WriteNoiseWav("Data/drehen.wav", 150, kAmplitude);
    WriteSingleNoteMidi(std::string("Data/") + kTune, 100, 200);
    Audio audio;
    audio.Init(log_);
    audio.LoadSound("drehen.wav");
    audio.LoadMusic(kTune);
    EXPECT_EQ(audio.PlayMusic(), -1);
    const DiskOutput output = Output();
    const int64_t mark = output.Mark();
    audio.PlaySound("drehen.wav");
    EXPECT_GT(Rms(output.Window(mark, 0, 150)), kAmplitude / 4);
    EXPECT_EQ(ReadFile("log.txt"), std::string("Audio: Initialisierung OK\r\n"
                                               "Audio: Sound geladen OK :drehen.wav\r\n"
                                               "Audio: Fehler beim Laden der Musikdatei : ") +
                                       kTune + "\r\n");
}

TEST_F(AudioTest, WithoutADeviceEveryCallIsHarmless)
{
    WriteNoiseWav("Data/drehen.wav", 100, kAmplitude);
    WriteSingleNoteMidi(std::string("Data/") + kTune, 100, 200);
    setenv("SDL_AUDIODRIVER", "klotzar-no-such-driver", 1);
    {
        Audio audio;
        audio.Init(log_);
        audio.LoadSound("drehen.wav");
        audio.LoadMusic(kTune);
        audio.PlaySound("drehen.wav");
        EXPECT_EQ(audio.PlayMusic(), -1);
        EXPECT_EQ(audio.StopAll(), -1);
        audio.Release();
    }
    EXPECT_EQ(ReadFile("log.txt"), "Audio: Initialisierung OK\r\nAudio: Freigabe OK\r\n");

    // A device that turns up later opens normally.
    setenv("SDL_AUDIODRIVER", "disk", 1);
    Audio audio;
    audio.Init(log_);
    audio.LoadSound("drehen.wav");
    const DiskOutput output = Output();
    const int64_t mark = output.Mark();
    audio.PlaySound("drehen.wav");
    EXPECT_GT(Rms(output.Window(mark, 0, 150)), kAmplitude / 4);
}

}  // namespace

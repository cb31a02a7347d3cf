// What players of today expect beside the game itself: a pause when the
// window is left, the options by keyboard, a remembered name, the result of
// every game, a tune that goes on and effects that never clip.
#include <gtest/gtest.h>

#include <SDL.h>
#include <SDL_mixer.h>
#include <malloc.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "driver.h"
#include "sound_files.h"
#include "shell/remembered_name.h"

namespace {

constexpr uint32_t kPausePixel = 0xDC8500;   // RGB(220, 133, 0)
constexpr uint32_t kFocusPixel = 0xFFC800;   // the options focus frame
constexpr uint32_t kNewRowPixel = 0xC81E1E;  // the new high-score row and the result line
constexpr uint32_t kListPixel = 0x5048F8;    // RGB(80, 72, 248)
const Rect kPauseArea{110, 285, 260, 330};
const Rect kResultLine{400, 568, 740, 592};
constexpr int32_t kValueTops[] = {214, 285, 355, 426, 496};

int32_t piecePixels(const Game& game)
{
    return game.pieceRow * 25 + game.fallOffset;
}

void pushWindowEvent(SDL_WindowEventID what)
{
    SDL_Event e{};
    e.type = SDL_WINDOWEVENT;
    e.window.event = what;
    SDL_PushEvent(&e);
}

void pushKey(SDL_Keycode key, Uint8 repeat = 0)
{
    SDL_Event e{};
    e.type = SDL_KEYDOWN;
    e.key.state = SDL_PRESSED;
    e.key.repeat = repeat;
    e.key.keysym.sym = key;
    SDL_PushEvent(&e);
}

SDL_Window* gameWindow()
{
    for (Uint32 id = 1; id < 1000; ++id) {
        SDL_Window* window = SDL_GetWindowFromID(id);
        if (window && std::string(SDL_GetWindowTitle(window)) == "Klotzar") return window;
    }
    return nullptr;
}

// One pixel of what the window shows, at a place of the 800 x 600 picture.
uint32_t shownPixel(SDL_Window* window, int32_t x, int32_t y)
{
    SDL_Renderer* renderer = SDL_GetRenderer(window);
    int windowX = 0;
    int windowY = 0;
    SDL_RenderLogicalToWindow(renderer, static_cast<float>(x) + 0.5f, static_cast<float>(y) + 0.5f, &windowX, &windowY);
    const SDL_Rect one{windowX, windowY, 1, 1};
    uint32_t pixel = 0;
    if (SDL_RenderReadPixels(renderer, &one, SDL_PIXELFORMAT_RGB888, &pixel, 4) != 0) return 0xFFFFFFFFu;
    return pixel & 0x00FFFFFFu;
}

int playToGameOver(Driver& d)
{
    int drops = 0;
    while (d.app().game.playing && drops < 200) {
        d.press(Key::Ctrl);
        ++drops;
        if (d.app().game.playing) d.advance(30);
    }
    return drops;
}

int32_t focusFramePixels(const Driver& d, int32_t box)
{
    return d.countPixels({495, kValueTops[box] - 5, 565, kValueTops[box] + 65}, kFocusPixel);
}

TEST(Comforts, LeavingTheWindowOrMinimisingPausesUntilThePlayerResumes)
{
    for (SDL_WindowEventID how : {SDL_WINDOWEVENT_FOCUS_LOST, SDL_WINDOWEVENT_MINIMIZED}) {
        SCOPED_TRACE(how == SDL_WINDOWEVENT_FOCUS_LOST ? "focus lost" : "minimised");
        Driver d;
        App& app = d.app();
        d.idle();
        d.press(Key::Enter);
        d.advance(300);
        pushWindowEvent(how);
        d.pump();
        EXPECT_TRUE(app.game.paused) << "leaving the window pauses";
        EXPECT_GT(d.countPixels(kPauseArea, kPausePixel), 30) << "the pause picture";
        const int32_t where = piecePixels(app.game);
        d.advance(5000);
        EXPECT_EQ(piecePixels(app.game), where) << "the piece fell while paused";
        EXPECT_TRUE(d.blockedForever());

        // Coming back does not resume: the player does, here with P.
        pushWindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED);
        d.pump();
        EXPECT_TRUE(app.game.paused) << "regaining the focus must not resume";
        pushKey(SDLK_p);
        d.pump();
        EXPECT_FALSE(app.game.paused) << "P resumes like Pause";
        d.advance(200);
        EXPECT_EQ(piecePixels(app.game) - where, 10) << "falls on after resuming";
        pushKey(SDLK_p);
        d.pump();
        EXPECT_TRUE(app.game.paused) << "P pauses like Pause";
    }

    // Off the game, leaving the window changes nothing.
    Driver d;
    d.idle();
    pushWindowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
    d.pump();
    EXPECT_FALSE(d.app().game.paused);
    EXPECT_FALSE(d.app().game.playing);
}

TEST(Comforts, F11AndAnUncoveredWindowAreTheWindowsBusinessNotTheGames)
{
    Driver d;
    App& app = d.app();
    d.idle();
    d.press(Key::Enter);
    d.advance(300);
    ASSERT_TRUE(app.game.playing);
    SDL_Window* window = gameWindow();
    ASSERT_NE(window, nullptr);
    const bool fullScreen = app.display.IsFullscreen();
    const int32_t where = piecePixels(app.game);
    const int32_t column = app.game.pieceColumn;

    pushKey(SDLK_F11);
    pushKey(SDLK_F11, 1);  // held: once
    d.pump();
    EXPECT_NE(app.display.IsFullscreen(), fullScreen) << "F11 switches";
    pushKey(SDLK_F11);
    d.pump();
    EXPECT_EQ(app.display.IsFullscreen(), fullScreen) << "F11 again switches back";

    // Something paints over the window; uncovered, it shows its frame again.
    const uint32_t wanted = app.display.FrameOnShow()->row(300)[150];
    SDL_Renderer* renderer = SDL_GetRenderer(window);
    ASSERT_NE(renderer, nullptr);
    SDL_SetRenderDrawColor(renderer, 255, 0, 255, 255);
    SDL_RenderClear(renderer);
    SDL_RenderPresent(renderer);
    ASSERT_EQ(shownPixel(window, 150, 300), 0xFF00FFu);
    pushWindowEvent(SDL_WINDOWEVENT_EXPOSED);
    d.pump();
    EXPECT_EQ(shownPixel(window, 150, 300), wanted) << "the uncovered window shows its frame again";

    // The game saw none of it: no press, no pause, no re-stamped clock.
    EXPECT_FALSE(app.game.paused);
    EXPECT_EQ(app.game.pieceColumn, column);
    EXPECT_EQ(piecePixels(app.game), where);
    d.advance(100);
    EXPECT_EQ(piecePixels(app.game) - where, 5) << "the piece falls on as if nothing happened";
}

TEST(Comforts, OptionsByKeyboardChangeWhatAClickChangesAndTheMouseStillWorks)
{
    Driver d;
    App& app = d.app();
    d.idle();
    d.click(400, 440);  // the options entry
    d.idle();
    ASSERT_TRUE(app.shell.optionsScreen);
    EXPECT_GT(focusFramePixels(d, 0), 300);

    // Up from the first box wraps to the last (music); Return switches it.
    d.key(Key::Up);
    EXPECT_EQ(focusFramePixels(d, 0), 0);
    EXPECT_GT(focusFramePixels(d, 4), 300) << "Up wraps to the last value";
    d.key(Key::Enter);
    EXPECT_EQ(app.settings.Musik, 1);
    EXPECT_EQ(d.pictureMismatches(app.pictures.onImage.get(), 500, 496), 0);
    // Down wraps to the first; Space counts the rows up as a click does.
    d.key(Key::Down);
    EXPECT_GT(focusFramePixels(d, 0), 300) << "Down wraps to the first value";
    for (int i = 0; i < 3; ++i) d.key(Key::Space);
    EXPECT_EQ(app.settings.Vorbelegung, 3);
    EXPECT_EQ(d.pictureMismatches(app.pictures.digits[3].get(), 500, 214), 0);
    // The mouse changes the same values, wherever the focus stands.
    d.click(520, 230);
    d.idle();
    EXPECT_EQ(app.settings.Vorbelegung, 4);
    EXPECT_EQ(crlfLines(d.readFile("Data/ini.ini")),
              (std::vector<std::string>{"[Optionen]", "Musik=1", "Vorbelegung=4"}));

    // The focus is drawn on the frame only: the options picture stays clean.
    const Surface* sheet = app.pictures.optionsSurface.get();
    ASSERT_NE(sheet, nullptr);
    int32_t inSheet = 0;
    for (int32_t y = 200; y < 570; ++y)
        for (int32_t x = 490; x < 570; ++x) inSheet += sheet->row(y)[x] == kFocusPixel ? 1 : 0;
    EXPECT_EQ(inSheet, 0);

    // Esc still leaves, and the title's Up and Down act on the menu again.
    d.key(Key::Escape);
    EXPECT_FALSE(app.shell.optionsScreen);
    EXPECT_EQ(app.shell.menuSelection, 2);
    d.key(Key::Down);
    EXPECT_EQ(app.shell.menuSelection, 3);
}

TEST(Comforts, TheNamePromptOffersTheLastNameConfirmed)
{
    std::string kept;
    {
        // A name typed over what was offered is kept for the next start.
        Driver d;
        EXPECT_LE(d.offeredName().size(), 20u);
        EXPECT_STREQ(d.app().playerName.text, "Tester");
        kept = d.readFile("Data/name.txt");
        EXPECT_EQ(kept, "Tester\r\n");
    }
    {
        DriverSetup setup;
        setup.acceptOffered = true;
        setup.files = {{"Data/name.txt", "Zo\xEB M\xFCller\r\n"}};
        Driver d(setup);
        EXPECT_EQ(d.offeredName(), "Zo\xEB M\xFCller") << "the remembered name, in 1252";
        EXPECT_STREQ(d.app().playerName.text, "Zo\xEB M\xFCller");
        d.idle();
        EXPECT_GT(d.countPixels({0, 50, 300, 84}, 0xFF0000), 10) << "the name on the title";
    }
    {
        // A damaged file: too long, no line end; only 20 characters are offered.
        DriverSetup setup;
        setup.acceptOffered = true;
        setup.files = {{"Data/name.txt", std::string(300, 'x')}};
        Driver d(setup);
        EXPECT_EQ(d.offeredName(), std::string(20, 'x'));
    }
}

TEST(Comforts, ANameFileThatIsNoPlainFileFallsBackToTheAccountName)
{
    DriverSetup setup;
    setup.acceptOffered = true;
    setup.start = false;
    Driver d(setup);
    ASSERT_EQ(mkfifo((d.folder() / "Data" / "name.txt").c_str(), 0600), 0);
    ASSERT_TRUE(d.startUp()) << "a FIFO in place of the name must not block the start";
    const std::string account = accountName1252();
    EXPECT_EQ(d.offeredName(), account.substr(0, 20));
    EXPECT_LE(d.offeredName().size(), 20u);
}

TEST(Comforts, TheHighScoresReportAGameThatMissedTheList)
{
    std::string full;
    for (int i = 0; i < 9; ++i) full += "100000,Profi\r\n";
    DriverSetup setup;
    setup.files = {{"Data/Highscore.zip", full}};
    Driver d(setup);
    App& app = d.app();
    d.idle();
    d.press(Key::Enter);
    playToGameOver(d);
    ASSERT_FALSE(app.game.playing);
    d.idle();
    ASSERT_TRUE(d.highscoreScreenShown());
    EXPECT_EQ(app.lastGame.rank, -1);
    EXPECT_EQ(finishedGameLine(app.lastGame),
              "Letztes Spiel: " + std::to_string(app.game.total) + " Punkte (nicht in der Liste)");
    EXPECT_GT(d.countPixels(kResultLine, kNewRowPixel), 20) << "the total shows although it missed the list";
    for (int rank = 0; rank < 9; ++rank) {
        const int32_t y = 214 + 40 * rank;
        EXPECT_EQ(d.countPixels({120, y, 780, y + 34}, kNewRowPixel), 0) << "no row is new, rank " << rank;
        EXPECT_GT(d.countPixels({120, y, 780, y + 34}, kListPixel), 5) << "rank " << rank;
    }

    // The next game, abandoned, shows nothing of the last one.
    d.key(Key::Escape);
    d.key(Key::Up);
    d.key(Key::Enter);
    ASSERT_TRUE(app.game.playing);
    d.advance(100);
    d.key(Key::Escape);
    ASSERT_TRUE(d.highscoreScreenShown());
    EXPECT_EQ(d.countPixels(kResultLine, kNewRowPixel), 0) << "an abandoned game reports nothing";
}

// A tune of one short note (100 ms) that ends after half a second.
std::string oneNoteMidi()
{
    const std::string track = std::string("\x00\x90\x3C\x64", 4) + std::string("\x13\x80\x3C\x00", 4) +
                              std::string("\x4D\xFF\x2F\x00", 4);
    std::string midi = std::string("MThd\x00\x00\x00\x06\x00\x00\x00\x01\x00\x60", 14);
    midi += "MTrk";
    midi += std::string("\x00\x00\x00", 3) + static_cast<char>(track.size());
    return midi + track;
}

// What SDL's disk driver writes: 16-bit stereo at 44.1 kHz, in real time.
DiskOutput recordingAt(const std::string& path)
{
    return DiskOutput(path, 44100, 2);
}

void recordWithDiskDriver(const std::string& path)
{
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", path.c_str(), 1);
}

TEST(Comforts, TheTuneGoesOnUntilEscOrTheGamesEndStopsIt)
{
    DriverSetup setup;
    setup.start = false;
    setup.files = {{"Data/ini.ini", "[Optionen]\r\nMusik=1\r\n"}, {"Data/Fennwold_Neo_Remix.mid", oneNoteMidi()}};
    Driver d(setup);
    const DiskOutput recording = recordingAt((d.folder() / "out.raw").string());
    recordWithDiskDriver((d.folder() / "out.raw").string());
    ASSERT_TRUE(d.startUp());
    App& app = d.app();
    d.idle();
    const int64_t mark = recording.Mark();
    d.press(Key::Enter);
    ASSERT_TRUE(app.game.playing);
    if (Mix_PlayingMusic() == 0) GTEST_SKIP() << "no tune: no General MIDI bank";

    const double note = Rms(recording.Window(mark, 0, 300));
    EXPECT_GT(note, 300.0) << "the tune is silent";
    // Played once, the note would be long gone by now; repeated, it sounds
    // every half second.
    EXPECT_GT(Rms(recording.Window(mark, 2000, 1000)), note / 10) << "the tune fell silent";
    d.key(Key::Escape);
    const int64_t stopped = recording.Mark();
    EXPECT_LT(Rms(recording.Window(stopped, 200, 1000)), 5.0) << "Esc did not stop the tune";

    // The next game, played to its end: the tune stops with it.
    d.key(Key::Escape);
    d.key(Key::Up);
    d.key(Key::Enter);
    ASSERT_TRUE(app.game.playing);
    EXPECT_GT(Rms(recording.Window(recording.Mark(), 0, 300)), 300.0) << "the tune did not start again";
    playToGameOver(d);
    ASSERT_FALSE(app.game.playing);
    EXPECT_LT(Rms(recording.Window(recording.Mark(), 800, 1000)), 5.0) << "the tune went on after game over";
}

}  // namespace

namespace {

// Four full rows but for column 0, and a long bar standing over that gap.
void setUpFourRowClear(Game& game)
{
    for (int32_t r = 16; r < 20; ++r) {
        for (int32_t c = 1; c < 10; ++c) game.board[r][c] = 1;
        game.rowFill[r] = 9;
    }
    game.pieceKind = 6;
    game.pieceRotation = 1;
    game.pieceColumn = 0;
    game.pieceRow = 0;
    game.fallOffset = 0;
}

// Waits on the real clock, which the mixer plays by, until every effect ended.
bool effectsEnded(uint32_t limitMs)
{
    const Uint64 start = SDL_GetTicks64();
    while (Mix_Playing(-1) > 0) {
        if (SDL_GetTicks64() - start > limitMs) return false;
        SDL_Delay(10);
    }
    return true;
}

TEST(Comforts, EffectsOverTheTuneNeverReachFullScale)
{
    DriverSetup setup;
    setup.start = false;
    setup.files = {{"Data/ini.ini", "[Optionen]\r\nMusik=1\r\n"}};
    Driver d(setup);
    const std::string recording = (d.folder() / "out.raw").string();
    recordWithDiskDriver(recording);
    ASSERT_TRUE(d.startUp());
    App& app = d.app();
    d.idle();
    d.press(Key::Enter);
    ASSERT_TRUE(app.game.playing);
    if (Mix_PlayingMusic() == 0) GTEST_SKIP() << "no tune: no General MIDI bank";

    // Turns, then a bar dropped into a four-row gap: the drop's and the
    // clear's effects start together, over and over across the tune.
    int32_t clears = 0;
    for (int round = 0; round < 12; ++round) {
        d.advance(50);
        d.press(Key::Space);
        d.press(Key::Space);
        setUpFourRowClear(app.game);
        const int32_t lines = app.game.lines;
        d.press(Key::Ctrl);
        clears += app.game.lines - lines == 4 ? 1 : 0;
        ASSERT_TRUE(effectsEnded(5000)) << "effects still sound after 5 s";
    }
    EXPECT_EQ(clears, 12) << "not every round cleared four rows";
    d.finish();
    unsetenv("SDL_DISKAUDIOFILE");
    setenv("SDL_AUDIODRIVER", "dummy", 1);

    std::ifstream in(recording, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_GT(bytes.size(), 44100u * 4) << "less than a second recorded";
    int32_t fullScale = 0;
    int32_t loudest = 0;
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const int16_t sample = static_cast<int16_t>(static_cast<uint8_t>(bytes[i]) |
                                                    (static_cast<uint8_t>(bytes[i + 1]) << 8));
        if (sample >= 32767 || sample <= -32767) ++fullScale;
        loudest = std::max(loudest, sample < 0 ? -static_cast<int32_t>(sample) : static_cast<int32_t>(sample));
    }
    EXPECT_EQ(fullScale, 0) << "samples at full scale";
    EXPECT_GT(loudest, 24576) << "the peaks were turned down instead of bent";
}

}  // namespace

namespace {

const char* const kTuneLoaded = "Audio: Musik geladen OK :Fennwold_Neo_Remix.mid";

bool logHas(const Driver& d, const std::string& line)
{
    return d.readFile("log.txt").find(line + "\r\n") != std::string::npos;
}

// Bytes the heap hands out right now: the General MIDI bank alone is several
// megabytes of them.
size_t heapInUse()
{
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;  // large blocks are mapped apart
}

TEST(Comforts, MusicSwitchedOnInTheOptionsLoadsTheTuneThenAndPlaysIt)
{
    DriverSetup setup;
    setup.start = false;  // no settings file: music is off
    setup.files = {{"Data/Fennwold_Neo_Remix.mid", oneNoteMidi()}};
    Driver d(setup);
    const DiskOutput recording = recordingAt((d.folder() / "out.raw").string());
    recordWithDiskDriver((d.folder() / "out.raw").string());
    ASSERT_TRUE(d.startUp());
    App& app = d.app();
    ASSERT_EQ(app.settings.Musik, 0);
    if (!logHas(d, "Audio: Sound geladen OK :drehen.wav")) GTEST_SKIP() << "no audio device";
    EXPECT_FALSE(logHas(d, kTuneLoaded)) << "the tune was loaded with music off";

    d.idle();
    d.click(400, 440);  // the options
    d.idle();
    ASSERT_TRUE(app.shell.optionsScreen);
    const size_t heapBefore = heapInUse();
    d.key(Key::Up);  // the focus moves from the first box round to Musik
    d.key(Key::Space);
    ASSERT_EQ(app.settings.Musik, 1);
    const size_t heapAfter = heapInUse();
    const bool loaded = logHas(d, kTuneLoaded);
    ASSERT_TRUE(loaded || logHas(d, "Audio: Fehler beim Laden der Musikdatei : Fennwold_Neo_Remix.mid"))
        << "switched on, no load of the tune was tried";
    if (!loaded) GTEST_SKIP() << "no General MIDI bank: the tune cannot load";
    EXPECT_GT(heapAfter, heapBefore + (4u << 20)) << "the bank was in memory before music was switched on";

    // Off and on again: the tune stays loaded and is reported once.
    d.key(Key::Space);
    d.key(Key::Space);
    d.key(Key::Escape);
    const std::string log = d.readFile("log.txt");
    EXPECT_EQ(log.find(kTuneLoaded), log.rfind(kTuneLoaded)) << log;

    d.key(Key::Up);
    d.key(Key::Up);
    const int64_t mark = recording.Mark();
    d.key(Key::Enter);
    ASSERT_TRUE(app.game.playing);
    EXPECT_GT(Rms(recording.Window(mark, 0, 300)), 300.0) << "the tune is silent";
}

// The bank is the heaviest thing audio loads; with music off it must not be
// in memory, and with music on it is there from the start.
TEST(Comforts, TheMidiBankIsInMemoryOnlyWithMusicOn)
{
    size_t heap[2] = {0, 0};
    bool tuneLoaded[2] = {false, false};
    for (int musik = 0; musik < 2; ++musik) {
        DriverSetup setup;
        setup.start = false;
        setup.files = {{"Data/ini.ini", "[Optionen]\r\nMusik=" + std::to_string(musik) + "\r\n"}};
        Driver d(setup);
        const size_t before = heapInUse();
        ASSERT_TRUE(d.startUp());
        d.idle();
        heap[musik] = heapInUse() - std::min(before, heapInUse());
        tuneLoaded[musik] = logHas(d, kTuneLoaded);
    }
    EXPECT_FALSE(tuneLoaded[0]) << "music off, the tune was loaded";
    if (!tuneLoaded[1]) GTEST_SKIP() << "no audio device or no General MIDI bank: the tune cannot load";
    std::printf("heap grown by start-up: %zu bytes with music off, %zu with music on\n", heap[0], heap[1]);
    EXPECT_GT(heap[1], heap[0] + (4u << 20)) << "the bank was in memory with music off too";
}

}  // namespace

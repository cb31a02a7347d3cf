#include <gtest/gtest.h>

#include <SDL.h>

#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>

#include "platform/display.h"
#include "platform_test_support.h"

namespace {

class DisplayTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        UseDummyVideo();
        log_.Open("log.txt", Log::Mode::Append);  // as the program opens it before the display
    }

    ScratchWorkingFolder folder_;
    Log log_;
};

// Puts an environment variable back as it was when the test ends.
class EnvironmentChange {
public:
    explicit EnvironmentChange(const char* name) : name_(name)
    {
        if (const char* old = std::getenv(name)) old_ = old;
    }
    ~EnvironmentChange()
    {
        if (old_)
            setenv(name_, old_->c_str(), 1);
        else
            unsetenv(name_);
    }
    EnvironmentChange(const EnvironmentChange&) = delete;
    EnvironmentChange& operator=(const EnvironmentChange&) = delete;

private:
    const char* name_;
    std::optional<std::string> old_;
};

}  // namespace

TEST_F(DisplayTest, InitAppendsItsLineAndReleaseWritesOnceWithTheTrailingBlank)
{
    std::ofstream("log.txt", std::ios::binary) << "Main : earlier line\r\n";
    {
        Display display;
        ASSERT_TRUE(display.CreateMainWindow("Klotzar", nullptr));
        display.Init(log_);
        EXPECT_TRUE(display.HasScreen());
        EXPECT_EQ("Main : earlier line\r\nDDraw: Initialisierung OK\r\n", readBytes("log.txt"));

        display.Release();
        display.Release();
        EXPECT_EQ(nullptr, display.GetBackBuffer());
        EXPECT_FALSE(display.HasScreen());
    }  // the destructor's release finds nothing either
    EXPECT_EQ("Main : earlier line\r\nDDraw: Initialisierung OK\r\nDDraw: Freigegeben OK \r\n", readBytes("log.txt"));
}

TEST_F(DisplayTest, WithoutAWindowInitLogsTheMissingDeviceAndDrawingStaysHarmless)
{
    Display display;
    display.Init(log_);
    EXPECT_FALSE(display.HasScreen());
    EXPECT_EQ("DDraw: Fehler beim Anlegen des DirectDraw-Objekts\r\nDDraw: Initialisierung OK\r\n",
              readBytes("log.txt"));

    ASSERT_NE(nullptr, display.GetBackBuffer());
    EXPECT_EQ(0, display.ClearBackBuffer(0x123456));
    EXPECT_EQ(-1, display.Flip());  // nothing reached a screen
    EXPECT_EQ(0x123456u, display.FrameOnShow()->pixels[0]);
    display.ToggleFullscreen();
    display.Release();
}

TEST_F(DisplayTest, WithNoDisplayAtAllThereIsNoWindowAndNoScreen)
{
    EnvironmentChange driver("SDL_VIDEODRIVER");
    EnvironmentChange x11("DISPLAY");
    EnvironmentChange wayland("WAYLAND_DISPLAY");
    unsetenv("SDL_VIDEODRIVER");
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");

    Display display;
    const bool windowMade = display.CreateMainWindow("Klotzar", nullptr);
    if (windowMade) {
        display.Init(log_);
        if (display.HasScreen())
            GTEST_SKIP() << "this machine has a screen without X11 or Wayland (" << SDL_GetCurrentVideoDriver() << ")";
    }
    EXPECT_FALSE(windowMade);
    display.Init(log_);
    EXPECT_FALSE(display.HasScreen());
    EXPECT_EQ(nullptr, FindGameWindow());
    EXPECT_EQ("DDraw: Fehler beim Anlegen des DirectDraw-Objekts\r\nDDraw: Initialisierung OK\r\n",
              readBytes("log.txt"));
}

TEST_F(DisplayTest, FlipShowsTheWholeFrameAndShowChangesOnlyWhatItIsTold)
{
    Display display;
    ASSERT_TRUE(display.CreateMainWindow("Klotzar", nullptr));
    display.Init(log_);
    Surface* back = display.GetBackBuffer();
    ASSERT_NE(nullptr, back);
    EXPECT_EQ(kScreenWidth, back->width);
    EXPECT_EQ(kScreenHeight, back->height);
    EXPECT_EQ(back, display.FrameOnShow());
    EXPECT_EQ(0u, back->pixels[0]);  // black until the first frame

    display.ClearBackBuffer(0x0000AA);
    EXPECT_EQ(0, display.Flip());
    const uint64_t shown = display.Flips();
    EXPECT_EQ(back, display.GetBackBuffer());  // the same surface for the whole run

    // Two changed areas: the window shows both, and the back buffer stays
    // the frame on show. (The dummy screen scales the picture, so look
    // inside the blocks.)
    ChangedAreas changed;
    changed.add(Rect{100, 200, 140, 260});
    changed.add(Rect{700, 20, 760, 30});
    FillRectBlack(back, Rect{100, 200, 140, 260});
    back->row(25)[710] = 0x00CC00;
    EXPECT_EQ(0, display.ShowChanges(changed));
    EXPECT_EQ(shown + 1, display.Flips());
    EXPECT_EQ(0u, PresentedPixel(120, 230));
    EXPECT_EQ(0x00CC00u, PresentedPixel(710, 25));
    EXPECT_EQ(0x0000AAu, PresentedPixel(400, 300));

    // The next change shows on top of that frame; a pixel drawn outside the
    // areas named does not, as the caller vouched for them.
    ChangedAreas block;
    block.add(Rect{300, 300, 310, 310});
    FillRectBlack(back, block.rects[0]);
    back->row(500)[600] = 0xCC0000;
    EXPECT_EQ(0, display.ShowChanges(block));
    EXPECT_EQ(0u, PresentedPixel(305, 305));
    EXPECT_EQ(0u, PresentedPixel(120, 230));
    EXPECT_EQ(0x00CC00u, PresentedPixel(710, 25));
    EXPECT_EQ(0x0000AAu, PresentedPixel(600, 500));

    // A new frame flipped shows whole, corner to corner.
    display.ClearBackBuffer(0x0000AA);
    back->row(500)[50] = 0xCC0000;
    EXPECT_EQ(0, display.Flip());
    EXPECT_EQ(0xCC0000u, display.FrameOnShow()->row(500)[50]);
    EXPECT_EQ(0xCC0000u, PresentedPixel(50, 500));
    const int32_t elsewhere[][2] = {{120, 230}, {710, 25}, {305, 305}, {0, 0}, {799, 599}};
    for (const auto& at : elsewhere) EXPECT_EQ(0x0000AAu, PresentedPixel(at[0], at[1])) << at[0] << "," << at[1];
    display.Release();
}

TEST_F(DisplayTest, ThePictureKeepsItsColoursAndPlacesOnScreenInBothModes)
{
    Display display;
    ASSERT_TRUE(display.CreateMainWindow("Klotzar", nullptr));
    display.Init(log_);
    EXPECT_TRUE(display.IsFullscreen());
    Surface* back = display.GetBackBuffer();
    for (int32_t y = 0; y < kScreenHeight; ++y) {
        for (int32_t x = 0; x < kScreenWidth; ++x)
            back->row(y)[x] = (x < 400 ? 0xFF0000u : 0x0000FFu) | (y < 300 ? 0u : 0x00FF00u);
    }
    display.Flip();
    const auto expectQuadrants = [] {
        EXPECT_EQ(0xFF0000u, PresentedPixel(0, 0));
        EXPECT_EQ(0x0000FFu, PresentedPixel(799, 0));
        EXPECT_EQ(0xFFFF00u, PresentedPixel(0, 599));
        EXPECT_EQ(0x00FFFFu, PresentedPixel(799, 599));
        EXPECT_EQ(0xFF0000u, PresentedPixel(399, 299));
        EXPECT_EQ(0x00FFFFu, PresentedPixel(400, 300));
    };
    expectQuadrants();

    display.ToggleFullscreen();
    EXPECT_FALSE(display.IsFullscreen());
    expectQuadrants();
    display.ToggleFullscreen();
    EXPECT_TRUE(display.IsFullscreen());
    expectQuadrants();
    display.Release();
}

TEST_F(DisplayTest, ClearBackBufferWritesTheRawValue)
{
    Display display;
    EXPECT_EQ(-1, display.ClearBackBuffer(0));  // nothing to clear before Init
    ASSERT_TRUE(display.CreateMainWindow("Klotzar", nullptr));
    display.Init(log_);
    EXPECT_EQ(0, display.ClearBackBuffer(0x00FEDCBA));
    for (uint32_t p : display.GetBackBuffer()->pixels) ASSERT_EQ(0x00FEDCBAu, p);
    display.Release();
}

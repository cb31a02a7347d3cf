// The pad the window tests put into the real program, worked through its
// lines of text here in the program's own process: each command must reach
// the program, and "taken in" must not be claimed before it has.
#include <gtest/gtest.h>

#include <SDL.h>

#include <string>

#include "driver.h"
#include "pad_commands.h"
#include "virtual_pad.h"

namespace {

// Starts a command and hands the program what it queued.
void run(Driver& d, PadCommands& pad, const std::string& line)
{
    std::string why;
    ASSERT_TRUE(pad.start(line, why)) << line << ": " << why;
    d.pump();
    EXPECT_TRUE(pad.takenIn()) << line;
    d.idle();
}

TEST(PadCommands, EveryCommandReachesTheProgramAndIsTakenInOnlyOnceItHas)
{
    Driver d;
    App& app = d.app();
    d.idle();
    LetPadsPlayWithoutFocus();
    PadCommands pad;
    std::string why;

    EXPECT_FALSE(pad.start("press a", why)) << "no pad yet";
    EXPECT_EQ(why, "no pad plugged");

    // Plugged: taken in once the program has opened it, not before.
    ASSERT_TRUE(pad.start("plug", why)) << why;
    EXPECT_FALSE(pad.takenIn()) << "the program has not seen the pad yet";
    d.pump();
    EXPECT_TRUE(pad.takenIn()) << "the program opened the pad";
    EXPECT_FALSE(pad.start("plug", why)) << "one pad at a time";

    // A press is taken in with the pump that queues its event.
    ASSERT_TRUE(pad.start("press dpdown", why)) << why;
    EXPECT_FALSE(pad.takenIn());
    d.pump();
    EXPECT_TRUE(pad.takenIn());
    EXPECT_EQ(app.shell.menuSelection, 1) << "D-pad down";
    run(d, pad, "release dpdown");

    // The stick, pushed down beyond its dead zone and let go.
    run(d, pad, "stick y 30000");
    EXPECT_EQ(app.shell.menuSelection, 2) << "stick down";
    run(d, pad, "stick y 0");
    run(d, pad, "stick x -32768");
    run(d, pad, "stick x 0");
    EXPECT_EQ(app.shell.menuSelection, 2) << "sideways on the title does nothing";

    // A on the options entry.
    run(d, pad, "press a");
    run(d, pad, "release a");
    EXPECT_TRUE(app.shell.optionsScreen);

    // Pulled out: taken in once the program has closed it; then nothing
    // more to press until the next plug.
    ASSERT_TRUE(pad.start("unplug", why)) << why;
    EXPECT_FALSE(pad.takenIn()) << "the program still holds the pad";
    d.pump();
    EXPECT_TRUE(pad.takenIn()) << "the program closed the pad";
    EXPECT_FALSE(pad.start("press back", why));
    run(d, pad, "plug");
    run(d, pad, "press back");
    run(d, pad, "release back");
    EXPECT_FALSE(app.shell.optionsScreen) << "Back on the new pad leaves the options";
}

TEST(PadCommands, LinesThatAreNoCommandsAreRefusedWithTheReason)
{
    Driver d;
    d.idle();
    PadCommands pad;
    std::string why;
    ASSERT_TRUE(pad.start("plug", why)) << why;
    d.pump();

    const struct {
        const char* line;
        const char* why;
    } refused[] = {
        {"", "not a command"},
        {"jump", "not a command"},
        {"plug in", "not a command"},
        {"press", "no button ''"},
        {"press nothing", "no button 'nothing'"},
        {"release a b", "not a command"},
        {"press a b c", "too many words"},
        {"stick z 100", "the stick moves along x or y"},
        {"stick x", "a stick position is a number from -32768 to 32767"},
        {"stick x 32768", "a stick position is a number from -32768 to 32767"},
        {"stick y -32769", "a stick position is a number from -32768 to 32767"},
        {"stick y 12abc", "a stick position is a number from -32768 to 32767"},
    };
    for (const auto& line : refused) {
        why.clear();
        EXPECT_FALSE(pad.start(line.line, why)) << line.line;
        EXPECT_EQ(why, line.why) << line.line;
    }
}

TEST(PadCommands, APressTheProgramDoesNotGetIsNotTakenIn)
{
    // SDL drops pad presses while no window of the program has the keyboard
    // focus, as here: the state the program sees stays up.
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "0");
    Driver d;
    App& app = d.app();
    d.idle();
    PadCommands pad;
    std::string why;
    ASSERT_TRUE(pad.start("plug", why)) << why;
    d.pump();
    ASSERT_TRUE(pad.takenIn());
    ASSERT_TRUE(pad.start("press dpdown", why)) << why;
    d.pump();
    d.pump();
    EXPECT_FALSE(pad.takenIn()) << "a press the program never got";
    EXPECT_EQ(app.shell.menuSelection, 0);
}

}  // namespace

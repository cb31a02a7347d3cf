// The command line as the program reads it.
#include <gtest/gtest.h>

#include <vector>

#include "shell/command_line.h"

namespace {

CommandLine parse(std::vector<const char*> args)
{
    args.insert(args.begin(), "klotzar");
    return ParseCommandLine(static_cast<int>(args.size()), args.data());
}

TEST(CommandLine, OptionsCombineAndTheFirstUnknownArgumentIsKept)
{
    const CommandLine none = parse({});
    EXPECT_FALSE(none.help || none.version || none.windowed || none.race);
    EXPECT_EQ(none.unknown, "");

    const CommandLine both = parse({"--race", "--window"});
    EXPECT_TRUE(both.race && both.windowed);
    EXPECT_FALSE(both.help || both.version);
    EXPECT_TRUE(parse({"-h"}).help);
    EXPECT_TRUE(parse({"--version"}).version);

    EXPECT_EQ(parse({"--window", "--fullscreen", "--bad"}).unknown, "--fullscreen");
    EXPECT_EQ(parse({"level.dat"}).unknown, "level.dat") << "no file arguments";
    EXPECT_EQ(parse({"--Window"}).unknown, "--Window");

    const CommandLine watch = parse({"--window", "--replay", "--race"});
    EXPECT_EQ(watch.replay, "--race") << "the word after --replay is its file, whatever it looks like";
    EXPECT_FALSE(watch.race);
    EXPECT_EQ(parse({"--replay"}).unknown, "--replay") << "no file given";
}

TEST(CommandLine, TheUsageNamesEveryOption)
{
    const std::string usage = UsageText();
    for (const char* option : {"--window", "--race", "--replay", "--help", "--version"})
        EXPECT_NE(usage.find(option), std::string::npos) << option;
}

}  // namespace

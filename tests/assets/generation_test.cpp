// The generator: same bytes on every run, exactly the expected files, and
// the build's own folder matches a fresh run.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "asset_reading.h"
#include "generated_assets.h"

namespace {

std::set<std::string> filesIn(const std::filesystem::path& dir)
{
    std::set<std::string> names;
    for (const auto& e : std::filesystem::recursive_directory_iterator(dir))
        if (e.is_regular_file()) names.insert(std::filesystem::relative(e.path(), dir).generic_string());
    return names;
}

std::set<std::string> expectedFiles()
{
    std::set<std::string> names = {"icon.bmp",
                                   "1.dat",
                                   "2.dat",
                                   "3.dat",
                                   "4.dat",
                                   "5.dat",
                                   "Data/drehen.wav",
                                   "Data/down.wav",
                                   "Data/klatsch.wav",
                                   "Data/Fennwold_Neo_Remix.mid"};
    for (const char* p : {"lade", "mark1",  "mark2",  "klotzar", "blauklein", "steinramen", "op",
                          "off",  "on",     "anim",   "hiscore", "optionen",  "ausr",       "gelb",
                          "rosa", "steinG", "steinB", "steinR",  "steinC",    "silber",     "steino"})
        names.insert(std::string("Data/") + p + ".bmp");
    for (int d = 0; d <= 9; ++d) names.insert("Data/" + std::to_string(d) + ".bmp");
    // Only an installed game has these.
    names.insert("installed/Data/ini.ini");
    for (const char* size : {"16x16", "32x32", "48x48", "64x64", "128x128", "256x256"})
        names.insert(std::string("installed/icons/") + size + "/klotzar.png");
    return names;
}

TEST(Generation, WritesExactlyTheGamesFiles)
{
    EXPECT_EQ(filesIn(freshAssets()), expectedFiles());
}

TEST(Generation, TwoRunsGiveTheSameBytes)
{
    const std::filesystem::path again = generateAssets("again");
    for (const std::string& f : expectedFiles()) {
        SCOPED_TRACE(f);
        const auto a = readBytes(freshAssets() / f);
        ASSERT_FALSE(a.empty());
        EXPECT_TRUE(a == readBytes(again / f));
    }
}

TEST(Generation, TheBuildFolderHoldsTheCurrentAssets)
{
    for (const std::string& f : expectedFiles()) {
        SCOPED_TRACE(f);
        EXPECT_TRUE(readBytes(freshAssets() / f) == readBytes(buildAssets() / f))
            << "stale or missing in the build folder";
    }
}

}  // namespace

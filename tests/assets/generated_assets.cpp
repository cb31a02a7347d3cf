#include "generated_assets.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

namespace {

struct TempFolders {
    std::vector<std::filesystem::path> made;
    ~TempFolders()
    {
        std::error_code ec;
        for (const auto& p : made) std::filesystem::remove_all(p, ec);
    }
};

TempFolders& temps()
{
    static TempFolders t;
    return t;
}

}  // namespace

std::filesystem::path generateAssets(const std::string& tag)
{
    const std::filesystem::path dir = std::filesystem::temp_directory_path() /
                                      ("klotzar-assets-" + std::to_string(getpid()) + "-" + tag);
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    temps().made.push_back(dir);
    const std::string command = std::string("\"") + KLOTZAR_MAKE_ASSETS + "\" \"" + dir.string() + "\" \"" + KLOTZAR_FONT_DIR + "\"";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    return dir;
}

const std::filesystem::path& freshAssets()
{
    static const std::filesystem::path dir = generateAssets("shared");
    return dir;
}

std::filesystem::path buildAssets()
{
    return KLOTZAR_BUILD_DIR;
}

#include "generated_assets.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <memory>
#include <vector>

#include "scratch_folder.h"

namespace {

// Kept until the test program ends.
std::vector<std::unique_ptr<ScratchFolder>>& made()
{
    static std::vector<std::unique_ptr<ScratchFolder>> folders;
    return folders;
}

}  // namespace

std::filesystem::path generateAssets(const std::string& tag)
{
    made().push_back(std::make_unique<ScratchFolder>("klotzar-assets-" + tag));
    const std::filesystem::path dir = made().back()->path();
    const std::string command = std::string("\"") + KLOTZAR_MAKE_ASSETS + "\" \"" + dir.string() + "\" \"" +
                                KLOTZAR_FONT_DIR + "\"";
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

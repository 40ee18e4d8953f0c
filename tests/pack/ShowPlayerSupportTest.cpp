#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/Error.h"
#include "core/StringList.h"
#include "pack/ShowPlayerMode.h"
#include "pack/TemporaryFolder.h"

namespace {

TEST(ShowPlayerModeTest, ScreenSaverSwitchesInEitherCaseWithAWindowAfterAColon) {
    using pack::ShowPlayerMode;
    const std::vector<std::pair<std::vector<std::string>, ShowPlayerMode>> rows = {
        {{}, ShowPlayerMode::Application},         {{"/s"}, ShowPlayerMode::ScreenSaver},
        {{"/S"}, ShowPlayerMode::ScreenSaver},     {{"-s"}, ShowPlayerMode::ScreenSaver},
        {{"/c"}, ShowPlayerMode::Configure},       {{"/c:1234"}, ShowPlayerMode::Configure},
        {{"/p", "1234"}, ShowPlayerMode::Preview}, {{"/P"}, ShowPlayerMode::Preview},
        {{"/show"}, ShowPlayerMode::Application},  {{"/x"}, ShowPlayerMode::Application},
        {{"s"}, ShowPlayerMode::Application},      {{""}, ShowPlayerMode::Application},
    };
    for (const auto& [args, mode] : rows)
        EXPECT_EQ(pack::ParseShowPlayerMode(args), mode) << (args.empty() ? "" : args[0]);
}

TEST(TemporaryFolderTest, IsPrivateHoldsTheFilesAndIsRemovedWithThem) {
    std::string folder, file;
    {
        pack::TemporaryFolder temporary;
        folder = temporary.Path();
        struct stat st {};
        ASSERT_EQ(::stat(folder.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0700u);
        file = temporary.WriteFile("music-1.mp3", std::string("ID3\0tune", 8));
        EXPECT_EQ(core::ReadFileBytes(file, 100), std::string("ID3\0tune", 8));
        EXPECT_THROW(temporary.WriteFile("music-1.mp3", "again"), core::FileError);
    }
    EXPECT_FALSE(std::filesystem::exists(file));
    EXPECT_FALSE(std::filesystem::exists(folder));
}

}  // namespace

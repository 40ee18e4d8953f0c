#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "core/Error.h"
#include "project/ProjectFile.h"

namespace {

namespace fs = std::filesystem;

class ProjectFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir = fs::temp_directory_path() /
                ("pictavo-project-" +
                 std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
        m_opt.WriteStartDefaults();
    }
    void TearDown() override { fs::remove_all(m_dir); }

    std::string PathOf(const char* name) const { return (m_dir / name).string(); }
    std::string ReadRaw(const std::string& path) const {
        return core::ReadFileBytes(path, 1 << 20);
    }
    void WriteRaw(const std::string& path, const std::string& bytes) const {
        std::ofstream(path, std::ios::binary) << bytes;
    }

    fs::path m_dir;
    settings::ShowSettings m_opt;
    core::StringList m_pictures = {"/home/ann/Pictures/a.jpg",
                                   "/home/ann/My Pictures/b\xE9\xE9 2.bmp", "/home/ann/c.gif"};
    core::StringList m_effects = {"1", "2", "4"};
    core::StringList m_music = {"/home/ann/Music/one.mp3", "/home/ann/Music/two.wav"};
};

TEST_F(ProjectFileTest, WithoutMusicTheFileEndsAtTheMusicMarker) {
    auto block = project::BuildSettingsBlock(m_opt, m_pictures, m_effects, m_music);
    ASSERT_EQ(block.size(), 18u);
    EXPECT_EQ(block[13], "[TRANS]");
    EXPECT_EQ(block[17], "[MUSIC]");
    std::string path = PathOf("show.orv");
    project::WriteProjectFile(path, block);
    std::string raw = ReadRaw(path);
    EXPECT_EQ(raw.substr(0, 7), "2\r\n80\r\n");
    EXPECT_EQ(raw.substr(raw.size() - 9), "[MUSIC]\r\n");
}

TEST_F(ProjectFileTest, MusicPathsFollowTheMarkerWhenMusicIsOn) {
    m_opt.SetSlot(settings::kMusicModeSlot, "RepeatMusic");
    auto block = project::BuildSettingsBlock(m_opt, m_pictures, m_effects, m_music);
    ASSERT_EQ(block.size(), 20u);
    EXPECT_EQ(block[18], m_music[0]);
    EXPECT_EQ(block[19], m_music[1]);
}

TEST_F(ProjectFileTest, ReadsBackWhatItWrote) {
    for (const char* mode : {"NoRepeat", "No music"}) {
        m_opt.SetSlot(settings::kMusicModeSlot, mode);
        m_opt.SetSlot(settings::kBackDataSlot, "/home/ann/back ground.gif");
        std::string path = PathOf("round.orv");
        project::WriteProjectFile(
            path, project::BuildSettingsBlock(m_opt, m_pictures, m_effects, m_music));

        settings::ShowSettings opt;
        opt.WriteSetDefaults();
        core::StringList pictures = {"old"}, effects = {"0", "3", "5", "7", "8"},
                         music = {"kept.mid"};
        project::ReadProjectFile(path, opt, pictures, effects, music);
        EXPECT_EQ(opt.Slots(), m_opt.Slots());
        EXPECT_EQ(pictures, m_pictures);
        EXPECT_EQ(effects, m_effects);  // two or three entries replace five
        // With "No music" the list in memory is kept as it was.
        EXPECT_EQ(music, std::string(mode) == "No music" ? core::StringList{"kept.mid"} : m_music)
            << mode;
    }
}

TEST_F(ProjectFileTest, AnyLineBreakReadsAndTheLastMarkerCounts) {
    std::string path = PathOf("hand.orv");
    // LF and lone CR breaks, an empty picture line, a picture literally named "[MUSIC]"
    // before the real markers, and no break after the last line.
    WriteRaw(path,
             "Manual\n80\rRandom\r\nNoRepeat\n$0\nLoop\nColor\nTile\nNo\nShadow\n"
             "/p/1.jpg\n\n[MUSIC]\n[TRANS]\n20\n[MUSIC]\n/m/a.mp3");
    settings::ShowSettings opt;
    core::StringList pictures, effects, music;
    project::ReadProjectFile(path, opt, pictures, effects, music);
    EXPECT_EQ(opt.Slot(0), "Manual");
    EXPECT_EQ(opt.Slot(2), "Random");
    EXPECT_EQ(pictures, (core::StringList{"/p/1.jpg", "", "[MUSIC]"}));
    EXPECT_EQ(effects, core::StringList{"20"});
    EXPECT_EQ(music, core::StringList{"/m/a.mp3"});
}

TEST_F(ProjectFileTest, DamagedFilesChangeNothing) {
    const char* damaged[] = {
        "",
        "2\r\n80\r\nRandom\r\n",  // fewer than ten lines
        "2\r\n80\r\nRandom\r\nNo "
        "music\r\nx\r\nLoop\r\nColor\r\nTile\r\nNo\r\nShadow\r\n/a.jpg\r\n",  // no markers
        "2\r\n80\r\nRandom\r\nNo "
        "music\r\nx\r\nLoop\r\nColor\r\nTile\r\nNo\r\nShadow\r\n[TRANS]\r\n1\r\n",
        "2\r\n80\r\nRandom\r\nNo "
        "music\r\nx\r\nLoop\r\nColor\r\nTile\r\nNo\r\nShadow\r\n[MUSIC]\r\n[TRANS]\r\n",
        // markers among the slots
        "[TRANS]\r\n[MUSIC]\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8\r\n9\r\n10\r\n11\r\n12\r\n",
        "\x89PNG\r\n\x1a\n\0\0\0\rIHDR",
    };
    std::string path = PathOf("bad.orv");
    for (const char* bytes : damaged) {
        WriteRaw(path, bytes);
        settings::ShowSettings opt;
        opt.WriteStartDefaults();
        core::StringList pictures = m_pictures, effects = m_effects, music = m_music;
        EXPECT_THROW(project::ReadProjectFile(path, opt, pictures, effects, music), core::Error)
            << bytes;
        EXPECT_EQ(opt.Slots(), settings::StartDefaults());
        EXPECT_EQ(pictures, m_pictures);
        EXPECT_EQ(effects, m_effects);
        EXPECT_EQ(music, m_music);
    }
    core::StringList pictures = m_pictures, effects, music;
    EXPECT_THROW(project::ReadProjectFile(PathOf("missing.orv"), m_opt, pictures, effects, music),
                 core::FileError);
    EXPECT_EQ(pictures, m_pictures);
}

TEST_F(ProjectFileTest, AFailedWriteKeepsThePreviousProject) {
    std::string path = PathOf("keep.orv");
    project::WriteProjectFile(path,
                              project::BuildSettingsBlock(m_opt, m_pictures, m_effects, m_music));
    std::string before = ReadRaw(path);
    // Make the folder read-only so the temporary file cannot be created (root ignores
    // permissions, so the test only asserts when the write really failed).
    fs::permissions(m_dir, fs::perms::owner_read | fs::perms::owner_exec);
    bool failed = false;
    try {
        project::WriteProjectFile(path, {"x"});
    } catch (const core::FileError&) {
        failed = true;
    }
    fs::permissions(m_dir, fs::perms::owner_all);
    if (failed) {
        EXPECT_EQ(ReadRaw(path), before);
    }
    // A target that is a folder cannot be replaced; nothing beside it is left behind.
    fs::create_directories(m_dir / "dir.orv" / "inner");
    EXPECT_THROW(project::WriteProjectFile(PathOf("dir.orv"), {"x"}), core::FileError);
    EXPECT_EQ(std::distance(fs::directory_iterator(m_dir), {}), 2);
}

}  // namespace

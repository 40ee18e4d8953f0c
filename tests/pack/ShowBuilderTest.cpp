#include <sys/stat.h>

#include <string>
#include <utility>
#include <vector>

#include "PackFixture.h"
#include "codecs/GifPicture.h"
#include "core/Error.h"
#include "pack/ShowBuilder.h"

namespace {

namespace fs = std::filesystem;

class ShowBuilderTest : public PackFixture {
protected:
    pack::BuildResult Build(const core::StringList& block, const std::string& target) {
        pack::ShowBuilder builder(m_stub, block);
        return builder.Build(target);
    }
    core::StringList WithMusic(const core::StringList& pictures, const core::StringList& music) {
        settings::ShowSettings saved = m_opt;
        m_opt.SetSlot(settings::kMusicModeSlot, "RepeatMusic");
        core::StringList block = Block(pictures, music);
        m_opt = saved;
        return block;
    }
    // Only the target may remain in the folder besides the inputs: no partial files.
    std::vector<std::string> FilesStartingWithDot() const {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(m_dir))
            if (e.path().filename().string().starts_with(".")) names.push_back(e.path());
        return names;
    }
};

TEST_F(ShowBuilderTest, TwoJpegsAndAColourBackgroundAreStoredAsRead) {
    std::string a = WriteJpeg("a.jpg", 0xFF0000);
    std::string b = WriteJpeg("b.JPG", 0x00FF00, 24);
    core::StringList block = Block({a, b});
    std::string target = PathOf("show.exe");
    pack::BuildResult result = Build(block, target);

    std::string settings = core::JoinLines(block);
    std::string table = std::to_string(settings.size()) + "\r\n" + std::to_string(Read(a).size()) +
                        "\r\n" + std::to_string(Read(b).size()) + "\r\n";
    std::string expected =
        Read(m_stub) + settings + Read(a) + Read(b) + table + Trailer(uint32_t(table.size() + 4));
    EXPECT_EQ(Read(target), expected);
    EXPECT_EQ(result.SizeTable.size(), 3u);
    EXPECT_EQ(result.FileBytes, expected.size());
    EXPECT_EQ(fs::file_size(target), expected.size());
}

TEST_F(ShowBuilderTest, PictureBlocksFollowTheExactExtension) {
    std::string jpeg = Read(WriteJpeg("source.jpg", 0x123456));
    // Two large metadata segments push the scan header past the first 128 KB.
    std::string bigHeader = jpeg;
    for (int i = 0; i < 2; ++i)
        bigHeader.insert(2, std::string("\xFF\xEF\xFD\xEA", 4) + std::string(65000, char('a' + i)));
    std::string bmp = Read(PICTAVO_TEST_DATA "/bmp/pal4.bmp");
    std::string gif = Read(PICTAVO_TEST_DATA "/gif/local_table.gif");
    struct Row {
        const char* name;
        std::string bytes;
        std::string block;  // what the show must hold
    };
    const std::vector<Row> rows = {
        {"x.png", jpeg, ""},
        {"photo.Jpg", jpeg, ""},
        {"photo.jpeg", jpeg, jpeg},
        {"photo.JPEG", jpeg, jpeg},
        {"big-header.jpg", bigHeader, bigHeader},
        {"noextension", jpeg, ""},
        {"pal4.bmp", bmp, codecs::ReadBmp(bmp)->Save()},
        {"PAL4.BMP", bmp, codecs::ReadBmp(bmp)->Save()},
        {"table.gif", gif, codecs::ReadGif(gif)->Save()},
        {"TABLE.GIF", gif, codecs::ReadGif(gif)->Save()},
    };
    core::StringList pictures;
    for (const Row& r : rows) pictures.push_back(Write(r.name, r.bytes));
    std::string target = PathOf("show.exe");
    pack::BuildResult result = Build(Block(pictures), target);

    std::string file = Read(target);
    Tail tail = ReadTail(file);
    ASSERT_EQ(tail.Lines.size(), 1 + rows.size());
    EXPECT_EQ(tail.Lines, result.SizeTable);
    size_t offset = Read(m_stub).size() + std::stoul(tail.Lines[0]);
    for (size_t i = 0; i < rows.size(); ++i) {
        SCOPED_TRACE(rows[i].name);
        EXPECT_EQ(tail.Lines[i + 1], std::to_string(rows[i].block.size()));
        EXPECT_EQ(file.substr(offset, rows[i].block.size()), rows[i].block);
        offset += rows[i].block.size();
    }
    EXPECT_EQ(offset + tail.Trailer, file.size());
}

TEST_F(ShowBuilderTest, AJpegBackgroundIsStoredAsABitmapOnLineOne) {
    m_opt.SetSlot(settings::kBackKindSlot, "BackFile");
    m_opt.SetSlot(settings::kBackDataSlot, WriteJpeg("back.jpg", 0x0000FF, 40));
    std::string picture = WriteJpeg("p.jpg", 0xFFFFFF);
    core::StringList block = Block({picture});
    std::string target = PathOf("show.scr");
    Build(block, target);

    std::string file = Read(target);
    Tail tail = ReadTail(file);
    ASSERT_EQ(tail.Lines.size(), 3u);
    size_t start = Read(m_stub).size() + core::JoinLines(block).size();
    std::string background = file.substr(start, std::stoul(tail.Lines[1]));
    ASSERT_EQ(background.substr(0, 2), "BM");
    auto decoded = codecs::ReadBmp(background);
    EXPECT_EQ(decoded->Width(), 40);
    EXPECT_EQ(decoded->Height(), 8);
    EXPECT_EQ(tail.Lines[2], std::to_string(Read(picture).size()));
}

TEST_F(ShowBuilderTest, MusicFilesAreCopiedByteForByteAfterTheBackground) {
    core::StringList music = {Write("one.mp3", std::string(3 << 20, 'a') + "end"),
                              Write("two.wav", "RIFF two"), Write("three.mid", "MThd")};
    m_opt.SetSlot(settings::kMusicModeSlot, "RepeatMusic");
    for (bool background : {false, true}) {
        SCOPED_TRACE(background ? "with background" : "without background");
        m_opt.SetSlot(settings::kBackKindSlot, background ? "BackFile" : "Color");
        m_opt.SetSlot(settings::kBackDataSlot, background ? PathOf("unknown.tif") : "clBlack");
        core::StringList block = Block({WriteJpeg("p.jpg", 0)}, music);
        std::vector<std::pair<size_t, size_t>> progress;
        pack::ShowBuilder builder(m_stub, block);
        builder.SetProgress([&](size_t done, size_t total) { progress.emplace_back(done, total); });
        std::string target = PathOf("show.exe");
        builder.Build(target);

        std::string file = Read(target);
        Tail tail = ReadTail(file);
        const size_t first = background ? 2 : 1;
        ASSERT_EQ(tail.Lines.size(), first + 4);
        if (background) {
            EXPECT_EQ(tail.Lines[1], "0");  // an unknown extension stores nothing
        }
        size_t offset = Read(m_stub).size() + core::JoinLines(block).size();
        for (size_t i = 0; i < music.size(); ++i) {
            std::string bytes = Read(music[i]);
            EXPECT_EQ(tail.Lines[first + i], std::to_string(bytes.size()));
            EXPECT_TRUE(file.compare(offset, bytes.size(), bytes) == 0) << music[i];
            offset += bytes.size();
        }
        EXPECT_EQ(progress,
                  (std::vector<std::pair<size_t, size_t>>{{1, 4}, {2, 4}, {3, 4}, {4, 4}}));
    }
}

TEST_F(ShowBuilderTest, ATableOfFourteenBytesGivesTheTrailerEighteen) {
    // A settings block of 310 bytes and two music files of 52 and 180 bytes.
    m_opt.SetSlot(settings::kMusicModeSlot, "NoRepeat");
    core::StringList music = {Write("a.wav", std::string(52, 'a')),
                              Write("b.wav", std::string(180, 'b'))};
    core::StringList block = Block({}, music);
    size_t length = core::JoinLines(block).size();
    ASSERT_LT(length, 310u);
    block[settings::kBackDataSlot] += std::string(310 - length, 'x');
    std::string target = PathOf("show.exe");
    Build(block, target);

    std::string file = Read(target);
    EXPECT_EQ(file.substr(file.size() - 18), "310\r\n52\r\n180\r\n" + Trailer(18));
}

TEST_F(ShowBuilderTest, SizeMessageRoundsToTwoDecimalsHalvesToEven) {
    const std::pair<uint64_t, const char*> rows[] = {
        {978880, "0.93"},  // 600,000 bytes of blocks and the old player's size
        {0, "0"},          // no trailing zeros
        {1048576, "1"},    //
        {131072, "0.12"},  // 12.5 hundredths: to the even neighbour, down
        {393216, "0.38"},  // 37.5 hundredths: to the even neighbour, up
        {5767168, "5.5"},  //
        {uint64_t(1) << 40, "1048576"},
    };
    for (const auto& [bytes, number] : rows)
        EXPECT_EQ(pack::SizeMessage(bytes),
                  std::string("New pictavo is ready. File size - ") + number + " Mb.")
            << bytes;
}

TEST_F(ShowBuilderTest, AFailedBuildLeavesNoFileAndKeepsAnOldTarget) {
    std::string good = WriteJpeg("good.jpg", 0x808080);
    std::string target = Write("show.exe", "the previous show");
    const std::vector<std::pair<const char*, core::StringList>> rows = {
        {"a missing picture", Block({good, PathOf("missing.jpg")})},
        {"a damaged picture", Block({good, Write("bad.bmp", "BM not a bitmap")})},
        {"a JPEG that is not one", Block({Write("text.jpg", "hello")})},
        {"a missing music file", WithMusic({good}, {PathOf("gone.mp3")})},
        {"a settings block that is not a project", core::StringList{"2", "80"}},
        {"a device as a music file", WithMusic({good}, {"/dev/zero"})},
    };
    for (const auto& [what, block] : rows) {
        SCOPED_TRACE(what);
        EXPECT_THROW(Build(block, target), core::Error);
        EXPECT_EQ(Read(target), "the previous show");
        EXPECT_TRUE(FilesStartingWithDot().empty());
    }
    std::string fresh = PathOf("fresh.exe");
    EXPECT_THROW(Build(Block({PathOf("missing.jpg")}), fresh), core::FileError);
    EXPECT_FALSE(fs::exists(fresh));
}

TEST_F(ShowBuilderTest, AMissingPlayerIsNamedAndNothingIsWritten) {
    pack::ShowBuilder builder(PathOf("nowhere/pictavo-show"), Block({WriteJpeg("p.jpg", 0)}));
    std::string target = PathOf("show.exe");
    try {
        builder.Build(target);
        FAIL() << "built without a player";
    } catch (const core::FileError& e) {
        EXPECT_NE(std::string(e.what()).find("The show player \"pictavo-show\" is missing"),
                  std::string::npos)
            << e.what();
    }
    EXPECT_FALSE(fs::exists(target));
    EXPECT_TRUE(FilesStartingWithDot().empty());
}

TEST_F(ShowBuilderTest, CancellingStopsTheBuildAndLeavesNoFile) {
    core::StringList pictures;
    for (int i = 0; i < 5; ++i) pictures.push_back(WriteJpeg("p" + std::to_string(i) + ".jpg", 0));
    pack::ShowBuilder builder(m_stub, Block(pictures));
    size_t calls = 0;
    builder.SetProgress([&](size_t done, size_t) {
        ++calls;
        if (done == 2) builder.Cancel();
    });
    std::string target = PathOf("show.exe");
    EXPECT_THROW(builder.Build(target), pack::BuildCancelled);
    EXPECT_EQ(calls, 2u);
    EXPECT_FALSE(fs::exists(target));
    EXPECT_TRUE(FilesStartingWithDot().empty());
}

TEST_F(ShowBuilderTest, AnExistingTargetIsReplacedAndMadeExecutable) {
    core::StringList block = Block({WriteJpeg("p.jpg", 0x445566)});
    std::string target = PathOf("show.exe");
    Build(block, target);
    std::string first = Read(target);
    Write("show.exe", std::string(100000, 'z'));
    ::chmod(target.c_str(), 0600);
    Build(block, target);
    EXPECT_EQ(Read(target), first);

    mode_t mask = ::umask(0);
    ::umask(mask);
    struct stat st {};
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0755 & ~mask);
}

}  // namespace

#include <string>
#include <vector>

#include "PackFixture.h"
#include "core/Error.h"
#include "pack/PackedShow.h"
#include "pack/ShowBuilder.h"

namespace {

class PackedShowTest : public PackFixture {
protected:
    // A show with every kind of block: background, two music files, and pictures of
    // each format plus one whose extension stores nothing.
    std::string BuildFullShow() {
        m_opt.SetSlot(settings::kBackKindSlot, "BackFile");
        m_opt.SetSlot(settings::kBackDataSlot, Write("back.gif", Read(Data("gif/one_pixel.gif"))));
        m_opt.SetSlot(settings::kMusicModeSlot, "NoRepeat");
        m_music = {Write("one.mp3", "ID3 first tune"), Write("two.ogg", "OggS second")};
        m_pictures = {WriteJpeg("a.jpg", 0xFF8000, 32), Write("b.bmp", Read(Data("bmp/bgr24.bmp"))),
                      Write("c.gif", Read(Data("gif/local_table.gif"))), Write("d.png", "PNG")};
        m_block = Block(m_pictures, m_music);
        std::string target = PathOf("show.exe");
        pack::ShowBuilder(m_stub, m_block).Build(target);
        return target;
    }
    static std::string Data(const std::string& name) {
        return std::string(PICTAVO_TEST_DATA) + "/" + name;
    }

    core::StringList m_music, m_pictures, m_block;
};

TEST_F(PackedShowTest, ReadsBackEveryBlockTheBuilderWrote) {
    pack::PackedShow show = pack::PackedShow::Open(BuildFullShow());
    EXPECT_EQ(show.PlayerBytes(), Read(m_stub).size());
    EXPECT_EQ(show.SettingsBlock(), core::JoinLines(m_block));
    EXPECT_EQ(show.Parts().Pictures, m_pictures);
    ASSERT_TRUE(show.HasBackground());
    auto background = show.DecodeBackground();
    ASSERT_NE(background, nullptr);
    EXPECT_EQ(background->Width(), 1);
    ASSERT_EQ(show.MusicCount(), 2u);
    for (size_t i = 0; i < 2; ++i) EXPECT_EQ(show.MusicBlock(i), Read(m_music[i]));

    ASSERT_EQ(show.PictureCount(), 4u);
    EXPECT_EQ(show.PictureBlock(0), Read(m_pictures[0]));
    std::vector<std::string> before;
    for (size_t i = 0; i < 3; ++i) before.emplace_back(show.PictureBlock(i));
    const int widths[] = {32, 13, 0};
    for (size_t i = 0; i < 3; ++i) {
        auto picture = show.DecodePicture(i);
        auto direct = codecs::LoadPicture(m_pictures[i]);
        EXPECT_EQ(picture->Width(), direct->Width()) << i;
        EXPECT_EQ(picture->Height(), direct->Height()) << i;
        if (widths[i]) {
            EXPECT_EQ(picture->Width(), widths[i]);
        }
    }
    // Decoding lets the pages go; the blocks still read the same.
    for (size_t i = 0; i < 3; ++i) EXPECT_EQ(show.PictureBlock(i), before[i]) << i;
    EXPECT_TRUE(show.PictureBlock(3).empty());
    EXPECT_THROW(show.DecodePicture(3), core::Error);
}

TEST_F(PackedShowTest, AForgottenPartOfTheMapReadsTheSameAgain) {
    std::string bytes;
    for (int i = 0; i < 5 * 4096 + 123; ++i) bytes.push_back(char(i * 7 + i / 4096));
    pack::MappedFile file(Write("big.bin", bytes));
    ASSERT_EQ(file.Bytes(), bytes);
    file.Forget(file.Bytes().substr(100, 3 * 4096));
    file.Forget(file.Bytes());
    file.Forget("not in the map");
    EXPECT_EQ(file.Bytes(), bytes);
}

// Rebuilds a show's tail with a changed table or trailer.
std::string WithTail(const std::string& body, const std::string& table, uint32_t trailer) {
    std::string out = body + table;
    for (int i = 0; i < 4; ++i) out.push_back(char((trailer >> (8 * i)) & 0xFF));
    return out;
}

TEST_F(PackedShowTest, DamagedTailsAreRefusedWithAClearMessage) {
    std::string good = Read(BuildFullShow());
    Tail tail = ReadTail(good);
    const std::string body = good.substr(0, good.size() - tail.Trailer);
    const std::string table = core::JoinLines(tail.Lines);
    auto swapLine = [&](size_t index, const std::string& text) {
        core::StringList lines = tail.Lines;
        lines[index] = text;
        std::string t = core::JoinLines(lines);
        return WithTail(body, t, uint32_t(t.size() + 4));
    };
    std::string notASettingsBlock = body;
    notASettingsBlock.replace(notASettingsBlock.find("[TRANS]"), 7, "[trans]");
    // The settings block without its background, so it calls for one block fewer.
    std::string fewer = good;
    fewer.replace(good.find("BackFile"), 8, "BackFilm");

    struct Row {
        const char* what;
        std::string bytes;
        const char* says;
    };
    const std::vector<Row> rows = {
        {"an empty file", "", "too short"},
        {"three bytes", "abc", "too short"},
        {"a trailer of 0", WithTail(body, table, 0), "size table of -4 bytes"},
        {"a trailer of 3", WithTail(body, table, 3), "size table of -1 bytes"},
        {"a trailer of 4 (no table)", WithTail(body, "", 4), "empty"},
        {"a table larger than the file", WithTail(body, table, uint32_t(good.size() + 1)),
         "does not fit"},
        {"a trailer of 0xFFFFFFFF", WithTail(body, table, 0xFFFFFFFFu), "does not fit"},
        {"letters in a number", swapLine(1, "12a"), "line 2 of its size table"},
        {"a signed number", swapLine(2, "+5"), "line 3 of its size table"},
        {"an empty line", swapLine(0, ""), "line 1 of its size table"},
        {"twenty digits", swapLine(1, "18446744073709551615"), "line 2"},
        {"a block past the file", swapLine(3, "999999999999999999"), "larger than the file"},
        {"blocks summing past the file", swapLine(0, std::to_string(good.size())),
         "larger than the file"},
        {"a settings block that is not a project",
         WithTail(notASettingsBlock, table, uint32_t(table.size() + 4)), "settings block"},
        {"one block more than the settings call for",
         WithTail(body, table + "0\r\n", uint32_t(table.size() + 7)), "lists 9 blocks"},
        {"one block fewer than the settings call for", fewer, "call for 7"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        try {
            pack::PackedShow::FromBytes(row.bytes);
            ADD_FAILURE() << "accepted";
        } catch (const pack::DamagedShowError& e) {
            std::string message = e.what();
            EXPECT_TRUE(message.starts_with("This show file is damaged: ")) << message;
            EXPECT_NE(message.find(row.says), std::string::npos) << message;
        }
    }
    // The same checks hold for a mapped file, the empty one included.
    for (const char* bytes : {"", "abcd"}) {
        std::string path = Write("damaged.exe", bytes);
        EXPECT_THROW(pack::PackedShow::Open(path), pack::DamagedShowError);
    }
    EXPECT_THROW(pack::PackedShow::Open(PathOf("absent.exe")), core::FileError);
}

}  // namespace

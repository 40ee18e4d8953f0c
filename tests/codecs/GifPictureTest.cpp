#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "codecs/GifLzw.h"
#include "codecs/GifPicture.h"
#include "codecs/Picture.h"
#include "core/Error.h"
#include "core/StringList.h"
#include "raster/StretchDraw.h"

namespace codecs {
namespace {

std::string GifData(const std::string& name) {
    return core::ReadFileBytes(std::string(PICTAVO_TEST_DATA) + "/gif/" + name, 1 << 20);
}

struct Ppm {
    int Width = 0;
    int Height = 0;
    std::vector<raster::Rgb> Pixels;
};

Ppm ReadPpm(const std::string& name) {
    std::istringstream in(GifData(name));
    std::string magic;
    int maxValue = 0;
    Ppm ppm;
    in >> magic >> ppm.Width >> ppm.Height >> maxValue;
    in.get();
    EXPECT_EQ(magic, "P6");
    for (int i = 0; i < ppm.Width * ppm.Height; ++i) {
        uint8_t rgb[3];
        in.read(reinterpret_cast<char*>(rgb), 3);
        ppm.Pixels.push_back(raster::MakeRgb(rgb[0], rgb[1], rgb[2]));
    }
    EXPECT_TRUE(in.good()) << name;
    return ppm;
}

std::string U16(int v) {
    return {char(v & 0xFF), char((v >> 8) & 0xFF)};
}

// A small GIF put together byte by byte: a 4-colour global table and one frame whose
// pixels are encoded by our own LZW encoder. Parts can be replaced to damage it.
struct GifBuilder {
    std::string Signature = "GIF89a";
    int ScreenWidth = 4;
    int ScreenHeight = 3;
    std::string Extensions;
    int FrameWidth = 4;
    int FrameHeight = 3;
    int MinCodeSize = 2;
    std::string ImageData;  // sub-blocks; encoded from 0, 1, 2, 3, 0, 1, ... when empty
    std::string Trailer = ";";

    std::string Bytes() const {
        std::string gif = Signature + U16(ScreenWidth) + U16(ScreenHeight) + "\x81" + '\0' + '\0';
        gif += std::string("\0\0\0\xff\0\0\0\xff\0\0\0\xff", 12);
        gif += Extensions;
        gif +=
            "," + U16(0) + U16(0) + U16(FrameWidth) + U16(FrameHeight) + '\0' + char(MinCodeSize);
        std::string data = ImageData;
        if (data.empty()) {
            std::vector<uint8_t> pixels(size_t(FrameWidth) * size_t(FrameHeight));
            for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = uint8_t(i % 4);
            data = EncodeGifLzw(2, pixels.data(), pixels.size());
        }
        return gif + data + '\0' + Trailer;
    }
};

std::string Repeated(const std::string& head, const std::string& part, size_t times) {
    std::string out = head;
    out.reserve(head.size() + part.size() * times);
    for (size_t i = 0; i < times; ++i) out += part;
    return out;
}

std::string ExtensionBytes(uint8_t label, const std::vector<std::string>& blocks) {
    std::string ext = {'!', char(label)};
    for (const std::string& b : blocks) ext += char(b.size()) + b;
    return ext + '\0';
}

// What reading a saved picture must give back: the same parts, except that comments
// make the version 89a and a single frame carries no loop extension.
GifFile ExpectedAfterSave(GifFile file) {
    if (!file.Comments.empty()) file.Version = "89a";
    if (file.Frames.size() <= 1) file.LoopCount.reset();
    return file;
}

struct FixtureRow {
    const char* file;
    size_t frame;
    const char* reference;
    const char* version;
    size_t frameCount;
};

const FixtureRow kFixtures[] = {
    {"im_gif87a.gif", 0, "im_gif87a.ppm", "87a", 1},
    {"pil_transparent.gif", 0, "pil_transparent.ppm", "89a", 1},
    {"pil_interlaced.gif", 0, "pil_interlaced.ppm", "87a", 1},
    {"im_interlaced.gif", 0, "im_interlaced.ppm", "89a", 1},
    {"bilevel.gif", 0, "bilevel.ppm", "87a", 1},
    {"one_pixel.gif", 0, "one_pixel.ppm", "87a", 1},
    {"thin_column.gif", 0, "thin_column.ppm", "87a", 1},
    {"long_row.gif", 0, "long_row.ppm", "87a", 1},
    {"noise256.gif", 0, "noise256.ppm", "87a", 1},
    {"offset_frame.gif", 0, "offset_frame.ppm", "89a", 1},
    {"local_table.gif", 0, "local_table.ppm", "87a", 1},
    {"comments.gif", 0, "comments.ppm", "89a", 1},
    {"anim_loop.gif", 0, "anim_loop.ppm", "89a", 3},
    {"anim_loop.gif", 1, "anim_loop.f1.ppm", "89a", 3},
    {"anim_loop.gif", 2, "anim_loop.f2.ppm", "89a", 3},
};

class GifFixtureTest : public testing::TestWithParam<FixtureRow> {};

// Size and every pixel of the frame composed on the background match PIL's decode.
TEST_P(GifFixtureTest, RendersLikeTheReference) {
    const FixtureRow& row = GetParam();
    auto picture = ReadGif(GifData(row.file));
    Ppm reference = ReadPpm(row.reference);
    EXPECT_EQ(picture->File().Version, row.version);
    ASSERT_EQ(picture->FrameCount(), row.frameCount);
    ASSERT_EQ(picture->Width(), reference.Width);
    ASSERT_EQ(picture->Height(), reference.Height);
    raster::Bitmap frame = picture->RenderFrame(row.frame);
    ASSERT_EQ(frame.Format(), raster::PixelFormat::Bits32);
    int mismatches = 0;
    for (int y = 0; y < reference.Height; ++y)
        for (int x = 0; x < reference.Width; ++x)
            if (frame.GetPixel(x, y) != reference.Pixels[size_t(y) * reference.Width + x] &&
                ++mismatches < 5)
                ADD_FAILURE() << "pixel " << x << "," << y;
}

// Drawing leaves the target alone exactly where the frame is transparent or absent
// (there the rendered frame shows the background), stretches by sampling, and gives the
// same colours in 24 and 32 bits.
TEST_P(GifFixtureTest, DrawsOpaquePixelsOnly) {
    const FixtureRow& row = GetParam();
    auto picture = ReadGif(GifData(row.file));
    picture->SetCurrentFrame(row.frame);
    raster::Bitmap rendered = picture->RenderFrame(row.frame);
    const int w = picture->Width(), h = picture->Height();
    const raster::Rgb markers[2] = {0x123456, 0xFEDCBA};
    raster::Bitmap drawn[2];
    for (int i = 0; i < 2; ++i) {
        drawn[i] = raster::Bitmap(
            2 * w, 2 * h, i == 0 ? raster::PixelFormat::Bits32 : raster::PixelFormat::Bits24);
        drawn[i].Fill(markers[i]);
        picture->Draw(drawn[i], core::Rect::FromSize(0, 0, 2 * w, 2 * h));
    }
    int untouched = 0;
    for (int y = 0; y < 2 * h; ++y)
        for (int x = 0; x < 2 * w; ++x) {
            raster::Rgb a = drawn[0].GetPixel(x, y), b = drawn[1].GetPixel(x, y);
            if (a == markers[0] && b == markers[1]) {
                ++untouched;
                EXPECT_EQ(rendered.GetPixel(x / 2, y / 2), picture->BackgroundColour());
            } else {
                ASSERT_EQ(a, b) << x << "," << y;
                ASSERT_EQ(a, rendered.GetPixel(x / 2, y / 2)) << x << "," << y;
            }
        }
    bool seeThrough = std::string(row.file) == "pil_transparent.gif" ||
                      std::string(row.file) == "offset_frame.gif" || row.frame == 2;
    EXPECT_EQ(untouched > 0, seeThrough);

    // Reduced and shifted, the drawn pixels are those of the rendered frame stretched the
    // way every picture is stretched.
    core::Rect reduced = core::Rect::FromSize(-1, 2, w * 2 / 3 + 1, h / 2 + 1);
    raster::Bitmap direct(w, h, raster::PixelFormat::Bits32), viaRender = direct;
    direct.Fill(markers[0]);
    viaRender.Fill(markers[0]);
    picture->Draw(direct, reduced);
    raster::StretchDraw(viaRender, reduced, rendered);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            if (seeThrough && direct.GetPixel(x, y) == markers[0]) continue;
            ASSERT_EQ(direct.GetPixel(x, y), viaRender.GetPixel(x, y)) << x << "," << y;
        }
}

// Save then read gives back the same parts, with the compressed data bytes unchanged.
TEST_P(GifFixtureTest, SaveRoundTrips) {
    const FixtureRow& row = GetParam();
    auto picture = ReadGif(GifData(row.file));
    std::string saved = picture->Save();
    auto again = ReadGif(saved);
    EXPECT_EQ(again->File(), ExpectedAfterSave(picture->File()));
    EXPECT_EQ(again->Save(), saved);
    for (size_t i = 0; i < picture->FrameCount(); ++i)
        EXPECT_NE(GifData(row.file).find(picture->File().Frames[i].ImageData), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Fixtures, GifFixtureTest, testing::ValuesIn(kFixtures),
                         [](const testing::TestParamInfo<FixtureRow>& row) {
                             std::string name = row.param.file;
                             name = name.substr(0, name.size() - 4) + "_frame" +
                                    std::to_string(row.param.frame);
                             return name;
                         });

// Each fixture file once, for the tests that damage whole files.
std::vector<std::string> FixtureFiles() {
    std::vector<std::string> files;
    for (const FixtureRow& row : kFixtures)
        if (row.frame == 0) files.push_back(row.file);
    return files;
}

// A truncated file is refused unless it stops cleanly after whole frames; what loads
// then is the frames before the cut. Never a crash.
TEST(GifPictureTest, TruncatedFilesAreRefusedOrKeepWholeFrames) {
    for (const std::string& file : FixtureFiles()) {
        SCOPED_TRACE(file);
        std::string data = GifData(file);
        GifFile full = ReadGif(data)->File();
        std::vector<size_t> frameCountsLoaded;
        for (size_t cut = 0; cut < data.size(); ++cut) {
            try {
                auto part = ReadGif(std::string_view(data).substr(0, cut));
                ASSERT_LE(part->FrameCount(), full.Frames.size());
                for (size_t i = 0; i < part->FrameCount(); ++i)
                    ASSERT_EQ(part->File().Frames[i], full.Frames[i]) << "cut " << cut;
                frameCountsLoaded.push_back(part->FrameCount());
            } catch (const core::Error&) {
            }
        }
        // Only the missing trailer is harmless in a single-frame file.
        if (full.Frames.size() == 1)
            EXPECT_EQ(frameCountsLoaded, std::vector<size_t>{1});
        else
            EXPECT_GE(frameCountsLoaded.size(), full.Frames.size());
    }
}

// Damaging each byte in turn never crashes the reader, the drawing of any frame or the
// writer. (The large noise picture is left to the fuzzer.)
// Every single flipped byte either reads (and then renders and saves) or is refused with
// an error; both paths must really run, or the loop proves nothing.
TEST(GifPictureTest, FlippedBytesNeverCrash) {
    int read = 0, refused = 0;
    for (const std::string& file : FixtureFiles()) {
        std::string data = GifData(file);
        if (data.size() > 2048) continue;
        for (size_t i = 0; i < data.size(); ++i) {
            std::string damaged = data;
            damaged[i] = char(damaged[i] ^ (i % 2 ? 0xFF : 0x10));
            try {
                auto picture = ReadGif(damaged);
                for (size_t f = 0; f < picture->FrameCount(); ++f) picture->RenderFrame(f);
                ReadGif(picture->Save());
                ++read;
            } catch (const core::Error&) {
                ++refused;
            }
        }
    }
    EXPECT_GT(read, 0);
    EXPECT_GT(refused, 0);
}

TEST(GifPictureTest, AnimatedLoopingGifKeepsFramesAndLoopWhenSaved) {
    auto picture = ReadGif(GifData("anim_loop.gif"));
    ASSERT_EQ(picture->FrameCount(), 3u);
    EXPECT_EQ(picture->File().LoopCount, std::optional<uint16_t>(0));
    EXPECT_EQ(picture->CurrentFrame(), 0u);
    const GifFrame& last = picture->File().Frames[2];
    EXPECT_EQ((std::vector<int>{last.Left, last.Top, last.Width, last.Height}),
              (std::vector<int>{3, 2, 7, 5}));
    EXPECT_TRUE(last.LocalColourTable.has_value());
    ASSERT_NE(last.GraphicControl(), nullptr);
    EXPECT_EQ(last.GraphicControl()->Delay, 10);
    // The NETSCAPE2.0 extension became the loop count, not a frame extension.
    for (const GifFrame& frame : picture->File().Frames) EXPECT_EQ(frame.Extensions.size(), 1u);

    std::string saved = picture->Save();
    const std::string loop = std::string("!\xff\x0bNETSCAPE2.0\x03\x01\0\0\0", 19);
    size_t tableEnd = 13 + 3 * 8;
    EXPECT_EQ(saved.substr(tableEnd, loop.size()), loop);
    EXPECT_EQ(saved.find("NETSCAPE"), saved.rfind("NETSCAPE"));
    auto again = ReadGif(saved);
    EXPECT_EQ(again->FrameCount(), 3u);
    EXPECT_EQ(again->File().LoopCount, std::optional<uint16_t>(0));
}

TEST(GifPictureTest, CommentsAreLinesWrittenOnceAtTheEndAsVersion89a) {
    auto picture = ReadGif(GifData("comments.gif"));
    EXPECT_EQ(picture->File().Comments,
              (std::vector<std::string>{"Made for Pictavo", "second line"}));

    // A GIF87a picture given comments is written as GIF89a, the comment after the frame.
    auto plain = ReadGif(GifData("im_gif87a.gif"));
    EXPECT_EQ(plain->Save().substr(0, 6), "GIF87a");
    plain->MutableFile().Comments = {"one", "two"};
    std::string saved = plain->Save();
    EXPECT_EQ(saved.substr(0, 6), "GIF89a");
    std::string comment = ExtensionBytes(0xFE, {"one\r\ntwo\r\n"});
    EXPECT_EQ(saved.substr(saved.size() - 1 - comment.size()), comment + ";");
    EXPECT_EQ(ReadGif(saved)->File().Comments, (std::vector<std::string>{"one", "two"}));

    // Several comment extensions, anywhere in the file, all become lines.
    GifBuilder gif;
    gif.Extensions = ExtensionBytes(0xFE, {"first"}) + ExtensionBytes(0xFE, {"sec", "ond\nthird"});
    EXPECT_EQ(ReadGif(gif.Bytes())->File().Comments,
              (std::vector<std::string>{"first", "second", "third"}));
}

TEST(GifPictureTest, OtherExtensionsStayWithTheirFrameInOrder) {
    GifBuilder gif;
    const std::string app = ExtensionBytes(0xFF, {"XMP DataXMP", "payload"});
    const std::string text = ExtensionBytes(0x01, {std::string(12, 'p'), "Hi"});
    const std::string control = ExtensionBytes(0xF9, {std::string("\x09\x10\x00\x03", 4)});
    gif.Extensions = app + control + text;
    auto picture = ReadGif(gif.Bytes());
    const auto& ext = picture->File().Frames[0].Extensions;
    ASSERT_EQ(ext.size(), 3u);
    EXPECT_EQ(std::get<GifRawExtension>(ext[0]),
              (GifRawExtension{0xFF, {"XMP DataXMP", "payload"}}));
    EXPECT_EQ(std::get<GifGraphicControl>(ext[1]), (GifGraphicControl{2, false, true, 3, 16}));
    EXPECT_EQ(std::get<GifRawExtension>(ext[2]).Label, 0x01);
    EXPECT_NE(picture->Save().find(app + control + text + ","), std::string::npos);
    // A single frame keeps no loop extension (there is nothing to loop).
    gif.Extensions = ExtensionBytes(0xFF, {"NETSCAPE2.0", std::string("\x01\x05\x00", 3)});
    auto single = ReadGif(gif.Bytes());
    EXPECT_EQ(single->File().LoopCount, std::optional<uint16_t>(5));
    EXPECT_EQ(single->Save().find("NETSCAPE"), std::string::npos);
}

TEST(GifPictureTest, TransparentIndexAndOutOfTableIndexes) {
    // Frame pixels 0, 1, 2, 3, 0, ... over black, red, green, blue; index 1 transparent.
    GifBuilder gif;
    gif.Extensions = ExtensionBytes(0xF9, {std::string("\x01\x00\x00\x01", 4)});
    auto picture = ReadGif(gif.Bytes());
    raster::Bitmap target(4, 3, raster::PixelFormat::Bits32);
    target.Fill(0x777777);
    picture->Draw(target, core::Rect::FromSize(0, 0, 4, 3));
    EXPECT_EQ(target.GetPixel(0, 0), 0x000000u);
    EXPECT_EQ(target.GetPixel(1, 0), 0x777777u);  // transparent
    EXPECT_EQ(target.GetPixel(2, 0), 0x00FF00u);
    EXPECT_EQ(target.GetPixel(3, 0), 0x0000FFu);

    // Indexes beyond the table draw black and never read past it.
    picture->MutableFile().GlobalColourTable = GifColourTable{0xFFFFFF, 0xFFFFFF};
    raster::Bitmap frame = picture->RenderFrame(0);
    EXPECT_EQ(frame.GetPixel(0, 0), 0xFFFFFFu);
    EXPECT_EQ(frame.GetPixel(2, 0), 0x000000u);
    EXPECT_EQ(frame.GetPixel(1, 0), 0xFFFFFFu);  // transparent: the background colour

    // Palette targets take the nearest colour.
    picture->MutableFile().GlobalColourTable =
        GifColourTable{0x000000, 0x00FF00, 0xFF0000, 0x0000FF};
    raster::Bitmap palette(4, 3, raster::PixelFormat::Bits8);
    palette.Palette() = raster::DefaultPalette256();
    picture->Draw(palette, core::Rect::FromSize(0, 0, 4, 3));
    EXPECT_EQ(palette.GetPixel(2, 0), 0xFF0000u);
}

TEST(GifPictureTest, DamagedFilesGiveErrors) {
    auto with = [](auto change) {
        GifBuilder gif;
        change(gif);
        return gif.Bytes();
    };
    const std::string good = GifBuilder().Bytes();
    struct Case {
        const char* name;
        std::string bytes;
        const char* message;
    };
    const Case cases[] = {
        {"empty", "", "Not a GIF file"},
        {"short signature", "GIF8", "Not a GIF file"},
        {"unknown version", with([](GifBuilder& g) { g.Signature = "GIF88a"; }), "Not a GIF file"},
        {"screen width 0", with([](GifBuilder& g) { g.ScreenWidth = 0; }), "logical screen"},
        {"screen over 2^28 pixels",
         with([](GifBuilder& g) { g.ScreenWidth = g.ScreenHeight = 65535; }), "logical screen"},
        {"ends in screen descriptor", good.substr(0, 10), "ends inside a block"},
        {"ends in colour table", good.substr(0, 20), "ends inside a block"},
        {"ends in extension", with([](GifBuilder& g) {
                                  g.Extensions =
                                      "!\xfe\x05"
                                      "ab";
                              }).substr(0, 30),
         "ends inside a block"},
        {"ends in image data", good.substr(0, good.size() - 4), "ends inside a block"},
        {"ends in image descriptor", good.substr(0, 30), "ends inside a block"},
        {"frame width 0", with([](GifBuilder& g) { g.FrameWidth = 0; }), "frame's size"},
        {"frame over 2^28 pixels", with([](GifBuilder& g) {
             g.FrameWidth = g.FrameHeight = 65535;
             g.ImageData = std::string("\x02\x4c\x01", 3);
         }),
         "frame's size"},
        {"huge frame, little data", with([](GifBuilder& g) {
             g.FrameWidth = g.FrameHeight = 16384;
             g.ImageData = std::string("\x02\x4c\x01", 3);
         }),
         "ends before the frame is complete"},
        {"LZW code size 0", with([](GifBuilder& g) { g.MinCodeSize = 0; }), "LZW code size"},
        {"LZW code size 12", with([](GifBuilder& g) { g.MinCodeSize = 12; }), "LZW code size"},
        // Clear, literal 1, then code 7 while 6 is the next free code.
        {"corrupt LZW", with([](GifBuilder& g) { g.ImageData = std::string("\x02\xcc\x01", 3); }),
         "corrupt"},
        // Clear, literal 1, end: 1 pixel of 12.
        {"LZW ends early",
         with([](GifBuilder& g) { g.ImageData = std::string("\x02\x4c\x01", 3); }),
         "ends before the frame is complete"},
        {"no image", good.substr(0, 13 + 12) + ";", "no image"},
        {"unknown block", with([](GifBuilder& g) { g.Extensions = "B"; }), "unknown block"},
        // The caps on what a file may make us hold.
        {"too many frames",
         Repeated(good.substr(0, 25), good.substr(25, good.size() - 26), kMaxGifFrames + 1),
         "too many frames"},
        {"too many extensions", with([](GifBuilder& g) {
             g.Extensions = Repeated("", std::string("!\x01\0", 3), kMaxGifExtensions + 1);
         }),
         "too many extensions"},
        {"too many extension blocks", with([](GifBuilder& g) {
             g.Extensions = Repeated("!\x01", "\x01x", kMaxGifExtensionPieces + 1) + '\0';
         }),
         "too much extension data"},
        {"too many comment lines", with([](GifBuilder& g) {
             g.Extensions = Repeated("!\xfe", "\xff" + std::string(255, '\n'),
                                     kMaxGifExtensionPieces / 255 + 1) +
                            '\0';
         }),
         "too much extension data"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        try {
            ReadGif(c.bytes);
            ADD_FAILURE() << "no error";
        } catch (const core::Error& e) {
            EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << e.what();
        }
    }
    EXPECT_NO_THROW(ReadGif(good));
    // A writer that forgot the trailer: the file still loads.
    EXPECT_NO_THROW(ReadGif(with([](GifBuilder& g) { g.Trailer = ""; })));
}

TEST(GifPictureTest, PictureWithoutFramesCannotBeWritten) {
    auto picture = ReadGif(GifData("one_pixel.gif"));
    picture->MutableFile().Frames.clear();
    try {
        picture->Save();
        FAIL() << "no error";
    } catch (const core::Error& e) {
        EXPECT_NE(std::string(e.what()).find("without frames"), std::string::npos);
    }
    raster::Bitmap target(1, 1, raster::PixelFormat::Bits32);
    picture->Draw(target, core::Rect::FromSize(0, 0, 1, 1));  // draws nothing, no crash
}

TEST(GifPictureTest, LoaderAcceptsAnyLetterCase) {
    auto dir =
        std::filesystem::temp_directory_path() / ("pictavo_gif_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    std::string path = (dir / "anim.Gif").string();
    core::WriteFileAtomically(path, GifData("anim_loop.gif"));
    auto picture = LoadPicture(path);
    std::filesystem::remove_all(dir);
    ASSERT_EQ(picture->Kind(), PictureKind::Gif);
    EXPECT_EQ(picture->Width(), 16);
    EXPECT_EQ(dynamic_cast<GifPicture&>(*picture).FrameCount(), 3u);
}

}  // namespace
}  // namespace codecs

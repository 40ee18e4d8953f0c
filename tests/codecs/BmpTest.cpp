#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "codecs/BmpPicture.h"
#include "codecs/Picture.h"
#include "core/Error.h"
#include "core/StringList.h"

namespace {

using codecs::ReadBmp;
using codecs::WriteBmp;
using raster::Bitmap;
using raster::PixelFormat;
using raster::Rgb;

std::string DataPath(const std::string& name) {
    return std::string(PICTAVO_TEST_DATA) + "/bmp/" + name;
}

std::string ReadData(const std::string& name) {
    return core::ReadFileBytes(DataPath(name), 1 << 20);
}

// A reference decode made by PIL or ImageMagick (tests/data/bmp/make_fixtures.py).
struct Reference {
    int width = 0;
    int height = 0;
    std::vector<Rgb> pixels;
};

Reference ReadPpm(const std::string& bytes) {
    std::istringstream in(bytes);
    std::string magic;
    int maxValue = 0;
    Reference ref;
    in >> magic >> ref.width >> ref.height >> maxValue;
    in.get();  // the single whitespace before the samples
    EXPECT_EQ(magic, "P6");
    EXPECT_EQ(maxValue, 255);
    size_t start = size_t(in.tellg());
    EXPECT_EQ(bytes.size() - start, size_t(ref.width) * ref.height * 3);
    for (size_t i = start; i + 2 < bytes.size(); i += 3)
        ref.pixels.push_back(
            raster::MakeRgb(uint8_t(bytes[i]), uint8_t(bytes[i + 1]), uint8_t(bytes[i + 2])));
    return ref;
}

void ExpectPixelsEqual(const Bitmap& bitmap, const Reference& ref, const std::string& what) {
    ASSERT_EQ(bitmap.Width(), ref.width) << what;
    ASSERT_EQ(bitmap.Height(), ref.height) << what;
    int mismatches = 0;
    for (int y = 0; y < ref.height; ++y)
        for (int x = 0; x < ref.width; ++x) {
            Rgb want = ref.pixels[size_t(y) * ref.width + x];
            Rgb got = bitmap.GetPixel(x, y);
            if (got != want && ++mismatches <= 5)
                ADD_FAILURE() << what << " pixel (" << x << ", " << y << "): got " << std::hex
                              << got << ", want " << want;
        }
    EXPECT_EQ(mismatches, 0) << what;
}

uint32_t Get32(const std::string& b, size_t at) {
    uint32_t v;
    std::memcpy(&v, b.data() + at, 4);
    return v;
}

void Put32(std::string& b, size_t at, uint32_t v) {
    std::memcpy(b.data() + at, &v, 4);
}
void Put16(std::string& b, size_t at, uint16_t v) {
    std::memcpy(b.data() + at, &v, 2);
}

// Field offsets in a file with an info header.
constexpr size_t kDataOffset = 10, kHeaderSize = 14, kWidth = 18, kHeight = 22, kBpp = 28,
                 kCompression = 30, kColoursUsed = 46, kAfterInfoHeader = 54;

// ---------------------------------------------------------------------------------------
// Every kind of file against its reference decode.

struct FixtureCase {
    const char* name;
    PixelFormat format;  // the file's own layout is kept where the bitmap has it
};

class BmpFixture : public testing::TestWithParam<FixtureCase> {};

TEST_P(BmpFixture, MatchesReferenceDecodeAndRoundTrips) {
    const FixtureCase& c = GetParam();
    std::string bytes = ReadData(std::string(c.name) + ".bmp");
    Reference ref = ReadPpm(ReadData(std::string(c.name) + ".ppm"));
    ASSERT_EQ(ref.width, 13);
    ASSERT_EQ(ref.height, 7);

    auto picture = ReadBmp(bytes);
    EXPECT_EQ(picture->Kind(), codecs::PictureKind::Bitmap);
    EXPECT_EQ(picture->Width(), 13);
    EXPECT_EQ(picture->Height(), 7);
    EXPECT_EQ(picture->Bitmap().Format(), c.format);
    ExpectPixelsEqual(picture->Bitmap(), ref, "decoded");

    // Drawn at full size through the picture interface, into true colour.
    Bitmap drawn;
    picture->AssignTo(drawn);
    ExpectPixelsEqual(drawn, ref, "drawn");

    // Saved and read again: the very same bitmap.
    EXPECT_EQ(ReadBmp(picture->Save())->Bitmap(), picture->Bitmap());
}

const FixtureCase kFixtures[] = {
    {"bgr24", PixelFormat::Bits24},
    {"bgr24_topdown", PixelFormat::Bits24},
    {"core_bgr24", PixelFormat::Bits24},
    {"bgrx32", PixelFormat::Bits32},
    {"bgra32_v5", PixelFormat::Bits32},
    {"xbgr32_v5", PixelFormat::Bits32},
    {"rgba32_v4", PixelFormat::Bits32},
    {"xbgr32_v3_56", PixelFormat::Bits32},
    {"xbgr32_v2_52", PixelFormat::Bits32},
    {"pal1", PixelFormat::Bits1},
    {"pal4", PixelFormat::Bits4},
    {"core_pal4", PixelFormat::Bits4},
    {"pal8_short", PixelFormat::Bits8},
    {"pal8_topdown", PixelFormat::Bits8},
    {"pal8_os2_64", PixelFormat::Bits8},
    {"rgb555", PixelFormat::Bits15},
    {"rgb565_bitfields", PixelFormat::Bits16},
    {"rgb555_v4_bitfields", PixelFormat::Bits15},
    {"bgr565_bitfields", PixelFormat::Bits32},
    {"rle8", PixelFormat::Bits8},
    {"rle4", PixelFormat::Bits4},
};

INSTANTIATE_TEST_SUITE_P(Bmp, BmpFixture, testing::ValuesIn(kFixtures),
                         [](const testing::TestParamInfo<FixtureCase>& row) {
                             return std::string(row.param.name);
                         });

// Row padding in the file never reaches the bitmap, whose padding stays zero (the blends
// and mask operations work on whole words of the block).
TEST(BmpRows, PaddingBitsInTheFileAreDropped) {
    struct Case {
        const char* file;
        size_t rowBytes, stride;
        uint8_t unusedBits;  // of the last pixel byte
    } cases[] = {{"pal1", 2, 4, 0x07}, {"pal4", 7, 8, 0x0F}, {"bgr24", 39, 40, 0}};
    for (const auto& c : cases) {
        std::string bytes = ReadData(std::string(c.file) + ".bmp");
        std::string junk = bytes;
        for (size_t row = Get32(bytes, kDataOffset); row < bytes.size(); row += c.stride) {
            junk[row + c.rowBytes - 1] = char(junk[row + c.rowBytes - 1] | c.unusedBits);
            for (size_t i = c.rowBytes; i < c.stride; ++i) junk[row + i] = char(0xFF);
        }
        ASSERT_NE(junk, bytes) << c.file;
        EXPECT_EQ(ReadBmp(junk)->Bitmap(), ReadBmp(bytes)->Bitmap()) << c.file;
    }
}

// ---------------------------------------------------------------------------------------
// Damaged and unsupported files.

void ExpectError(const std::string& bytes, const std::string& message, const std::string& what) {
    try {
        ReadBmp(bytes);
        ADD_FAILURE() << what << ": no error";
    } catch (const core::Error& e) {
        EXPECT_NE(std::string(e.what()).find(message), std::string::npos)
            << what << ": \"" << e.what() << "\" lacks \"" << message << "\"";
    }
}

TEST(BmpDamaged, EveryFixtureTruncatedAnywhereFails) {
    for (const FixtureCase& c : kFixtures) {
        std::string bytes = ReadData(std::string(c.name) + ".bmp");
        size_t headersEnd = 14 + Get32(bytes, kHeaderSize);
        size_t dataOffset = Get32(bytes, kDataOffset);
        for (size_t cut : {size_t(0), size_t(1), size_t(2), size_t(13), size_t(17), headersEnd - 1,
                           dataOffset - 1, (dataOffset + bytes.size()) / 2}) {
            std::string what = std::string(c.name) + " cut at " + std::to_string(cut);
            EXPECT_THROW(ReadBmp(bytes.substr(0, cut)), core::Error) << what;
        }
    }
}

TEST(BmpDamaged, PixelDataMustCoverEveryPixelButMayLackTheLastPadding) {
    std::string bytes = ReadData("bgr24.bmp");  // 13 pixels of 3 bytes: one padding byte
    EXPECT_NO_THROW(ReadBmp(bytes.substr(0, bytes.size() - 1)));
    ExpectError(bytes.substr(0, bytes.size() - 2), "truncated pixel data", "last pixel short");
}

TEST(BmpDamaged, LyingOrUnsupportedHeadersFail) {
    struct Case {
        const char* file;
        std::function<void(std::string&)> patch;
        const char* message;
    } cases[] = {
        {"bgr24", [](std::string& b) { b[0] = 'X'; }, "not a BMP file"},
        {"bgr24", [](std::string& b) { Put32(b, kHeaderSize, 8); }, "bad header size"},
        {"bgr24", [](std::string& b) { Put32(b, kHeaderSize, 200); }, "Unsupported BMP header"},
        {"bgr24", [](std::string& b) { Put32(b, kHeaderSize, 0x7FFFFFFF); }, "Unsupported"},
        {"bgr24", [](std::string& b) { Put32(b, kWidth, 0); }, "bad picture size"},
        {"bgr24", [](std::string& b) { Put32(b, kWidth, uint32_t(-13)); }, "bad picture size"},
        {"bgr24", [](std::string& b) { Put32(b, kHeight, 0); }, "bad picture size"},
        {"bgr24", [](std::string& b) { Put32(b, kHeight, 0x80000000u); }, "bad picture size"},
        {"core_bgr24", [](std::string& b) { Put16(b, kWidth, 0); }, "bad picture size"},
        // Sizes larger than the pixel data present.
        {"bgr24", [](std::string& b) { Put32(b, kHeight, 8); }, "truncated pixel data"},
        {"bgr24", [](std::string& b) { Put32(b, kHeight, uint32_t(-8)); }, "truncated pixel data"},
        {"bgr24", [](std::string& b) { Put32(b, kWidth, 100000); }, "truncated pixel data"},
        {"bgr24", [](std::string& b) { Put16(b, kBpp, 32); }, "truncated pixel data"},
        {"bgr24", [](std::string& b) { Put32(b, kDataOffset, 1000); }, "truncated pixel data"},
        {"bgr24", [](std::string& b) { Put32(b, kDataOffset, 20); }, "bad pixel data offset"},
        // Over 2^28 pixels: refused before anything is allocated, even when RLE data
        // that small could describe it.
        {"bgr24", [](std::string& b) { Put32(b, kWidth, 20000), Put32(b, kHeight, 20000); },
         "too large"},
        {"rle8", [](std::string& b) { Put32(b, kWidth, 16385), Put32(b, kHeight, 16384); },
         "too large"},
        // Depths and compressions.
        {"bgr24", [](std::string& b) { Put16(b, kBpp, 7); }, "colour depth (7 bits"},
        {"bgr24", [](std::string& b) { Put16(b, kBpp, 0); }, "colour depth (0 bits"},
        {"bgr24", [](std::string& b) { Put32(b, kCompression, 4); }, "JPEG or PNG"},
        {"bgr24", [](std::string& b) { Put32(b, kCompression, 5); }, "JPEG or PNG"},
        {"bgr24", [](std::string& b) { Put32(b, kCompression, 9); }, "compression (9)"},
        {"pal8_os2_64", [](std::string& b) { Put32(b, kCompression, 3); }, "OS/2"},
        {"rle8", [](std::string& b) { Put16(b, kBpp, 4); }, "does not match the colour depth"},
        {"rle4", [](std::string& b) { Put16(b, kBpp, 8); }, "does not match the colour depth"},
        {"pal8_short", [](std::string& b) { Put32(b, kCompression, 3); }, "does not match"},
        {"rle8", [](std::string& b) { Put32(b, kHeight, uint32_t(-7)); }, "top-down"},
        {"rgb565_bitfields", [](std::string& b) { Put32(b, kAfterInfoHeader, 0xF801); },
         "colour masks"},
        {"rgb565_bitfields", [](std::string& b) { b.resize(kAfterInfoHeader + 8); },
         "truncated header"},
    };
    for (auto& c : cases) {
        std::string bytes = ReadData(std::string(c.file) + ".bmp");
        c.patch(bytes);
        ExpectError(bytes, c.message, std::string(c.file) + " / " + c.message);
    }
}

// ---------------------------------------------------------------------------------------
// RLE streams made here: Windows' rules where the reference readers disagree.

std::string MakeRleFile(int width, int height, PixelFormat format,
                        const std::vector<uint8_t>& ops) {
    bool rle4 = format == PixelFormat::Bits4;
    std::string b = ReadData(rle4 ? "rle4.bmp" : "rle8.bmp");
    b.resize(Get32(b, kDataOffset));
    Put32(b, kWidth, uint32_t(width));
    Put32(b, kHeight, uint32_t(height));
    b.append(ops.begin(), ops.end());
    return b;
}

// Expected indices, top row first.
std::vector<std::vector<uint32_t>> Indices(const Bitmap& bitmap) {
    std::vector<std::vector<uint32_t>> rows(size_t(bitmap.Height()));
    for (int y = 0; y < bitmap.Height(); ++y)
        for (int x = 0; x < bitmap.Width(); ++x) rows[size_t(y)].push_back(bitmap.GetIndex(x, y));
    return rows;
}

TEST(BmpRle, EdgeCasesFollowWindows) {
    using Rows = std::vector<std::vector<uint32_t>>;
    struct Case {
        const char* what;
        PixelFormat format;
        std::vector<uint8_t> ops;
        Rows want;
    } cases[] = {
        {"run longer than the row is cut at the edge",
         PixelFormat::Bits8,
         {6, 9, 0, 0, 1, 2, 0, 1},
         {{2, 0, 0, 0}, {9, 9, 9, 9}}},
        {"run of an RLE4 pair cut at the edge",
         PixelFormat::Bits4,
         {7, 0x9A, 0, 0, 0, 3, 0x12, 0x30, 0, 1},
         {{1, 2, 3, 0}, {9, 10, 9, 10}}},
        {"absolute run longer than the row is cut",
         PixelFormat::Bits8,
         {0, 5, 1, 2, 3, 4, 5, 0, 1, 7, 0, 1},
         {{0, 0, 0, 0}, {1, 2, 3, 4}}},
        {"end of bitmap may be missing once every row is written",
         PixelFormat::Bits8,
         {4, 1, 0, 0, 4, 2},
         {{2, 2, 2, 2}, {1, 1, 1, 1}}},
        {"end of lines past the top are harmless",
         PixelFormat::Bits8,
         {4, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1},
         {{0, 0, 0, 0}, {1, 1, 1, 1}}},
        {"delta to the very end",
         PixelFormat::Bits8,
         {1, 5, 0, 2, 3, 1, 0, 1},
         {{0, 0, 0, 0}, {5, 0, 0, 0}}},
        {"end of line at the start of a row skips it",
         PixelFormat::Bits8,
         {0, 0, 4, 3, 0, 1},
         {{3, 3, 3, 3}, {0, 0, 0, 0}}},
    };
    for (const auto& c : cases) {
        auto picture = ReadBmp(MakeRleFile(4, 2, c.format, c.ops));
        EXPECT_EQ(Indices(picture->Bitmap()), c.want) << c.what;
    }
}

TEST(BmpRle, OverrunsAndShortStreamsFail) {
    struct Case {
        const char* what;
        PixelFormat format;
        std::vector<uint8_t> ops;
        const char* message;
    } cases[] = {
        {"run above the top row", PixelFormat::Bits8, {0, 0, 0, 0, 1, 1, 0, 1}, "past the bitmap"},
        {"absolute run above the top row",
         PixelFormat::Bits4,
         {0, 0, 0, 0, 0, 3, 0x12, 0x30},
         "past the bitmap"},
        {"delta above the top", PixelFormat::Bits8, {0, 2, 0, 3, 0, 1}, "past the bitmap"},
        {"delta right of the edge", PixelFormat::Bits8, {0, 2, 5, 0, 0, 1}, "past the bitmap"},
        {"delta after a full row", PixelFormat::Bits8, {4, 1, 0, 2, 1, 0, 0, 1}, "past the bitmap"},
        {"delta cut short", PixelFormat::Bits8, {0, 2, 1}, "truncated"},
        {"absolute run cut short", PixelFormat::Bits8, {0, 4, 1, 2, 3}, "truncated"},
        {"RLE4 absolute run cut short", PixelFormat::Bits4, {0, 5, 0x12, 0x34}, "truncated"},
        {"stream ends before the picture does", PixelFormat::Bits8, {4, 1, 0, 0}, "truncated"},
        {"half a code", PixelFormat::Bits8, {4, 1, 0, 0, 4, 2, 0}, "truncated"},
        {"empty stream", PixelFormat::Bits4, {}, "truncated"},
    };
    for (const auto& c : cases) ExpectError(MakeRleFile(4, 2, c.format, c.ops), c.message, c.what);
}

// ---------------------------------------------------------------------------------------
// Palettes and masks.

TEST(BmpPalette, ColourCountIsClampedAndMissingEntriesAreBlack) {
    std::string bytes = ReadData("pal8_short.bmp");  // 20 entries, indices 0 to 19
    Reference ref = ReadPpm(ReadData("pal8_short.ppm"));

    std::string huge = bytes;
    Put32(huge, kColoursUsed, 1000000);  // more than 256 and than the file holds
    ExpectPixelsEqual(ReadBmp(huge)->Bitmap(), ref, "huge colour count");

    std::string ten = bytes;
    Put32(ten, kColoursUsed, 10);
    auto picture = ReadBmp(ten);
    const Bitmap& bitmap = picture->Bitmap();
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 13; ++x) {
            uint32_t index = bitmap.GetIndex(x, y);
            EXPECT_EQ(bitmap.GetPixel(x, y), index < 10 ? ref.pixels[size_t(y) * 13 + x] : 0u)
                << x << ", " << y;
        }
}

// A one-row file of masked pixels.
std::string MakeMaskedFile(int bpp, uint32_t r, uint32_t g, uint32_t b,
                           const std::vector<uint32_t>& pixels) {
    std::string file = ReadData("rgb565_bitfields.bmp");
    file.resize(kAfterInfoHeader + 12);
    Put32(file, kDataOffset, uint32_t(file.size()));
    Put32(file, kWidth, uint32_t(pixels.size()));
    Put32(file, kHeight, 1);
    Put16(file, kBpp, uint16_t(bpp));
    Put32(file, kAfterInfoHeader, r);
    Put32(file, kAfterInfoHeader + 4, g);
    Put32(file, kAfterInfoHeader + 8, b);
    for (uint32_t p : pixels) file.append(reinterpret_cast<const char*>(&p), size_t(bpp / 8));
    file.append((4 - pixels.size() * size_t(bpp / 8) % 4) % 4, '\0');
    return file;
}

TEST(BmpMasks, AnyContiguousMasksScaleToEightBits) {
    struct Case {
        const char* what;
        int bpp;
        uint32_t r, g, b;
        std::vector<uint32_t> pixels;
        std::vector<Rgb> want;
    } cases[] = {
        // Narrow channels repeat their bits, as raster::Expand5 and Expand6 do.
        {"4-4-4",
         16,
         0xF00,
         0x0F0,
         0x00F,
         {0x000, 0xF00, 0x0F0, 0x00F, 0x123},
         {0, 0xFF0000, 0x00FF00, 0x0000FF, 0x112233}},
        {"5-5-5 with an alpha bit",
         16,
         0x7C00,
         0x03E0,
         0x001F,
         {0x8000 | (16 << 10) | (3 << 5) | 31},
         {raster::MakeRgb(raster::Expand5(16), raster::Expand5(3), 255)}},
        {"1-2-3 bits",
         16,
         0x20,
         0x18,
         0x07,
         {0x20 | (2 << 3) | 5},
         {raster::MakeRgb(255, 0xAA, 0xB6)}},
        // Wide channels keep their top eight bits.
        {"10-10-10",
         32,
         0x3FF00000,
         0x000FFC00,
         0x000003FF,
         {(1023u << 20) | (514u << 10) | 3u},
         {raster::MakeRgb(255, 128, 0)}},
        {"16-bit channel of 32",
         32,
         0xFFFF0000,
         0x0000FF00,
         0x000000FF,
         {0xABCD1234},
         {raster::MakeRgb(0xAB, 0x12, 0x34)}},
        {"a missing channel is zero", 32, 0, 0xFF00, 0xFF, {0xFFFFFFFF}, {0x00FFFF}},
        {"no masks mean the default layout", 16, 0, 0, 0, {0x7FFF}, {0xFFFFFF}},
        {"24-bit masks", 24, 0xFF, 0xFF00, 0xFF0000, {0x112233}, {0x332211}},
    };
    for (const auto& c : cases) {
        auto picture = ReadBmp(MakeMaskedFile(c.bpp, c.r, c.g, c.b, c.pixels));
        for (size_t x = 0; x < c.want.size(); ++x)
            EXPECT_EQ(picture->Bitmap().GetPixel(int(x), 0), c.want[x]) << c.what << " x " << x;
    }
}

// ---------------------------------------------------------------------------------------
// Writing.

Bitmap RandomBitmap(PixelFormat format, uint32_t seed) {
    std::mt19937 random(seed);
    Bitmap bitmap(13, 7, format);
    uint32_t valueMask = bitmap.Bpp() == 32 ? 0xFFFFFFFFu : (1u << bitmap.Bpp()) - 1;
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 13; ++x) bitmap.SetIndex(x, y, random() & valueMask);
    for (Rgb& c : bitmap.Palette()) c = random() & 0xFFFFFF;
    return bitmap;
}

TEST(BmpWrite, EveryFormatRoundTripsExactly) {
    struct Case {
        PixelFormat format;
        uint16_t bpp;
        uint32_t compression;
        uint32_t colours;
    } cases[] = {
        {PixelFormat::Bits1, 1, 0, 2},   {PixelFormat::Bits4, 4, 0, 16},
        {PixelFormat::Bits8, 8, 0, 256}, {PixelFormat::Bits15, 16, 0, 0},
        {PixelFormat::Bits16, 16, 3, 0}, {PixelFormat::Bits24, 24, 0, 0},
        {PixelFormat::Bits32, 32, 0, 0},
    };
    for (const auto& c : cases) {
        Bitmap original = RandomBitmap(c.format, uint32_t(c.format));
        std::string file = WriteBmp(original);
        std::string what = "format " + std::to_string(int(c.format));
        ASSERT_GE(file.size(), 54u) << what;
        EXPECT_EQ(file.substr(0, 2), "BM") << what;
        EXPECT_EQ(Get32(file, 2), file.size()) << what;
        EXPECT_EQ(Get32(file, kHeaderSize), 40u) << what;
        EXPECT_EQ(int32_t(Get32(file, kHeight)), 7) << what;  // bottom-up
        EXPECT_EQ(uint16_t(Get32(file, kBpp)), c.bpp) << what;
        EXPECT_EQ(Get32(file, kCompression), c.compression) << what;
        EXPECT_EQ(Get32(file, kColoursUsed), c.colours) << what;
        size_t masks = c.compression == 3 ? 12 : 0;
        EXPECT_EQ(Get32(file, kDataOffset), 54 + masks + 4 * c.colours) << what;
        EXPECT_EQ(file.size(), Get32(file, kDataOffset) + original.Stride() * 7) << what;
        if (masks) {
            EXPECT_EQ(Get32(file, kAfterInfoHeader), 0xF800u);
            EXPECT_EQ(Get32(file, kAfterInfoHeader + 4), 0x07E0u);
            EXPECT_EQ(Get32(file, kAfterInfoHeader + 8), 0x001Fu);
        }
        // The bottom row comes first.
        EXPECT_EQ(0, std::memcmp(file.data() + Get32(file, kDataOffset), original.Scanline(6),
                                 original.Stride()))
            << what;

        auto picture = ReadBmp(file);
        EXPECT_EQ(picture->Bitmap(), original) << what;
        EXPECT_EQ(picture->Save(), file) << what;
    }
}

TEST(BmpWrite, EmptyBitmapIsRefused) {
    EXPECT_THROW(WriteBmp(Bitmap(0, 5, PixelFormat::Bits24)), core::Error);
    EXPECT_THROW(WriteBmp(Bitmap()), core::Error);
}

// ---------------------------------------------------------------------------------------
// Through the loader.

TEST(BmpLoader, UpperCaseExtensionLoadsAsBitmap) {
    auto dir = std::filesystem::temp_directory_path() / "pictavo-bmp-test";
    std::filesystem::create_directories(dir);
    std::string path = (dir / "x.BMP").string();
    core::WriteFileAtomically(path, ReadData("pal4.bmp"));

    auto picture = codecs::LoadPicture(path);
    std::filesystem::remove_all(dir);
    ASSERT_EQ(picture->Kind(), codecs::PictureKind::Bitmap);
    EXPECT_EQ(picture->Width(), 13);
    EXPECT_EQ(picture->Height(), 7);
    Bitmap drawn;
    picture->AssignTo(drawn);
    ExpectPixelsEqual(drawn, ReadPpm(ReadData("pal4.ppm")), "x.BMP");
}

}  // namespace

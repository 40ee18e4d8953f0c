#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <optional>
#include <random>
#include <string>

#include "UprightReference.h"
#include "codecs/ExifReader.h"
#include "codecs/Orientation.h"
#include "core/StringList.h"

namespace codecs {
namespace {

// An Exif segment's contents ("Exif\0\0" and the TIFF structure) with an orientation entry
// after one other entry, and the ways to spoil it.
struct ExifLayout {
    bool littleEndian = true;
    uint32_t value = 6;
    uint16_t type = 3;  // SHORT
    uint32_t count = 1;
    uint16_t magic = 42;
    std::optional<uint32_t> directoryOffset;  // 8 when not given
    std::optional<uint16_t> entryCount;       // 2 when not given
    size_t keepTiffBytes = SIZE_MAX;          // cut the TIFF structure short
};

std::string ExifContents(const ExifLayout& layout) {
    std::string tiff;
    auto put16 = [&](uint32_t v) {
        if (layout.littleEndian)
            tiff += {char(v), char(v >> 8)};
        else
            tiff += {char(v >> 8), char(v)};
    };
    auto put32 = [&](uint32_t v) {
        if (layout.littleEndian) {
            put16(v & 0xFFFF);
            put16(v >> 16);
        } else {
            put16(v >> 16);
            put16(v & 0xFFFF);
        }
    };
    tiff += layout.littleEndian ? "II" : "MM";
    put16(layout.magic);
    put32(layout.directoryOffset.value_or(8));
    put16(layout.entryCount.value_or(2));
    put16(0x0110), put16(2), put32(4), tiff += std::string("cam\0", 4);  // Model, in the entry
    put16(0x0112), put16(layout.type), put32(layout.count);
    if (layout.type == 3)
        put16(layout.value), put16(0);
    else
        put32(layout.value);
    put32(0);  // no next directory
    return std::string("Exif\0\0", 6) + tiff.substr(0, layout.keepTiffBytes);
}

std::string Segment(uint8_t marker, const std::string& contents) {
    const size_t length = contents.size() + 2;
    return std::string{'\xFF', char(marker), char(length >> 8), char(length)} + contents;
}

// SOI, the given segments, then a real file's tables and scan.
std::string JpegWith(const std::string& segments) {
    const std::string file =
        core::ReadFileBytes(std::string(PICTAVO_TEST_DATA) + "/jpeg/odd37x23.jpg", 1 << 20);
    return file.substr(0, 2) + segments + file.substr(2);
}

TEST(ExifReaderTest, ReadsTheTagInBothByteOrders) {
    for (bool little : {true, false})
        for (uint32_t value = 1; value <= 8; ++value) {
            SCOPED_TRACE(std::to_string(value) + (little ? " II" : " MM"));
            ExifLayout layout;
            layout.littleEndian = little;
            layout.value = value;
            EXPECT_EQ(ReadExifOrientation(ExifContents(layout)), Orientation(value));
            EXPECT_EQ(ReadJpegOrientation(JpegWith(Segment(0xE1, ExifContents(layout)))),
                      Orientation(value));
        }
}

// Anything odd or damaged leaves the picture as stored; the reader never reads outside
// the data (the sanitizers and the fuzz target watch that).
TEST(ExifReaderTest, DamagedOrOddSegmentsMeanUpright) {
    auto with = [](auto change) {
        ExifLayout s;
        change(s);
        return ExifContents(s);
    };
    struct Row {
        const char* what;
        std::string contents;
        Orientation expected;
    };
    const Row rows[] = {
        {"value 0", with([](ExifLayout& s) { s.value = 0; }), Orientation::Upright},
        {"value 9", with([](ExifLayout& s) { s.value = 9; }), Orientation::Upright},
        {"value 65535", with([](ExifLayout& s) { s.value = 0xFFFF; }), Orientation::Upright},
        {"LONG value", with([](ExifLayout& s) { s.type = 4, s.value = 8; }),
         Orientation::Rotate270},
        {"ASCII type", with([](ExifLayout& s) { s.type = 2; }), Orientation::Upright},
        {"two values", with([](ExifLayout& s) { s.count = 2; }), Orientation::Upright},
        {"not 42", with([](ExifLayout& s) { s.magic = 43; }), Orientation::Upright},
        {"directory beyond the data", with([](ExifLayout& s) { s.directoryOffset = 0xFFFFFFF0u; }),
         Orientation::Upright},
        {"directory inside the header", with([](ExifLayout& s) { s.directoryOffset = 4; }),
         Orientation::Upright},
        {"directory at the last byte", with([](ExifLayout& s) { s.directoryOffset = 37; }),
         Orientation::Upright},
        // The entries that are there are read; the count cannot make the reader go further.
        {"entry count 65535", with([](ExifLayout& s) { s.entryCount = 0xFFFF; }),
         Orientation::Rotate90},
        {"tag not counted", with([](ExifLayout& s) { s.entryCount = 1; }), Orientation::Upright},
        {"cut inside the tag's entry", with([](ExifLayout& s) { s.keepTiffBytes = 30; }),
         Orientation::Upright},
        {"cut before the directory", with([](ExifLayout& s) { s.keepTiffBytes = 9; }),
         Orientation::Upright},
        {"cut in the header", with([](ExifLayout& s) { s.keepTiffBytes = 5; }),
         Orientation::Upright},
        {"byte order XX", "Exif\0\0XX" + ExifContents({}).substr(8), Orientation::Upright},
        {"no Exif header", ExifContents({}).substr(6), Orientation::Upright},
        {"empty", "", Orientation::Upright},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        EXPECT_EQ(ReadExifOrientation(row.contents), row.expected);
        EXPECT_EQ(ReadJpegOrientation(JpegWith(Segment(0xE1, row.contents))), row.expected);
    }
}

TEST(ExifReaderTest, FindsTheExifSegmentAmongTheOthers) {
    const std::string exif = Segment(0xE1, ExifContents({}));
    const std::string xmp = Segment(0xE1, "http://ns.adobe.com/xap/1.0/\0<x/>");
    const std::string jfif = Segment(0xE0, std::string("JFIF\0\1\1\0\0\1\0\1\0\0", 14));
    struct Row {
        const char* what;
        std::string jpeg;
        Orientation expected;
    };
    ExifLayout halfTurn;
    halfTurn.value = 3;
    const std::string file = JpegWith("");
    const size_t eoi = file.size() - 2;
    const Row rows[] = {
        {"after JFIF and XMP", JpegWith(jfif + xmp + exif), Orientation::Rotate90},
        {"after stray bytes and fill bytes", JpegWith("\x12\x34\xFF\xFF" + exif),
         Orientation::Rotate90},
        {"the first Exif segment counts", JpegWith(exif + Segment(0xE1, ExifContents(halfTurn))),
         Orientation::Rotate90},
        {"after the scan", file.substr(0, eoi) + exif + file.substr(eoi), Orientation::Upright},
        {"none", file, Orientation::Upright},
        {"segment longer than the file", file.substr(0, 2) + exif.substr(0, 20),
         Orientation::Upright},
        {"length below 2", JpegWith(std::string("\xFF\xE1\x00\x01", 4) + exif),
         Orientation::Upright},
        {"not a JPEG file", exif, Orientation::Upright},
        {"SOI only", file.substr(0, 2), Orientation::Upright},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        EXPECT_EQ(ReadJpegOrientation(row.jpeg), row.expected);
    }
}

// The fast passes against the pixel-by-pixel reference, in every format, for sizes that
// end inside a tile, span several tiles, and are a single pixel or a single row.
TEST(OrientationTest, MakeUprightMatchesThePixelByPixelReference) {
    using raster::PixelFormat;
    std::mt19937 random(3);
    for (PixelFormat format : {PixelFormat::Bits1, PixelFormat::Bits4, PixelFormat::Bits8,
                               PixelFormat::Bits16, PixelFormat::Bits24, PixelFormat::Bits32})
        for (auto [w, h] : {std::pair{1, 1}, {140, 70}, {33, 64}, {97, 1}, {1, 130}}) {
            raster::Bitmap stored(w, h, format);
            for (size_t i = 0; i < stored.SizeBytes(); ++i) stored.Bits()[i] = uint8_t(random());
            // Padding bytes at the row ends are not pixels: only the pixels are compared.
            for (int value = 1; value <= 8; ++value) {
                SCOPED_TRACE(std::to_string(stored.Bpp()) + " bits, " + std::to_string(w) + " x " +
                             std::to_string(h) + ", orientation " + std::to_string(value));
                const Orientation orientation = Orientation(value);
                const raster::Bitmap expected = UprightReference(stored, orientation);
                raster::Bitmap actual = stored;
                MakeUpright(actual, orientation);
                ASSERT_EQ(actual.Width(), expected.Width());
                ASSERT_EQ(actual.Height(), expected.Height());
                EXPECT_EQ(actual.Palette(), stored.Palette());
                for (int y = 0; y < expected.Height(); ++y)
                    for (int x = 0; x < expected.Width(); ++x)
                        ASSERT_EQ(actual.GetIndex(x, y), expected.GetIndex(x, y)) << x << "," << y;
            }
        }
}

// Rows handed over one at a time, as the decoder hands them, in several bands and a short
// last one, give the same upright bitmap.
TEST(OrientationTest, RowsPlacedAsTheyComeMatchTheReference) {
    using raster::PixelFormat;
    std::mt19937 random(5);
    for (PixelFormat format :
         {PixelFormat::Bits8, PixelFormat::Bits16, PixelFormat::Bits24, PixelFormat::Bits32})
        for (auto [w, h] : {std::pair{1, 1}, {45, 150}, {130, 64}, {3, 65}}) {
            raster::Bitmap stored(w, h, format);
            for (size_t i = 0; i < stored.SizeBytes(); ++i) stored.Bits()[i] = uint8_t(random());
            for (int value = 1; value <= 8; ++value) {
                SCOPED_TRACE(std::to_string(stored.Bpp()) + " bits, " + std::to_string(w) + " x " +
                             std::to_string(h) + ", orientation " + std::to_string(value));
                UprightRows rows(w, h, format, Orientation(value));
                for (int y = 0; y < h; ++y) {
                    std::memcpy(rows.Row(y), stored.Scanline(y), stored.Stride());
                    rows.Done(y);
                }
                const raster::Bitmap expected = UprightReference(stored, Orientation(value));
                const raster::Bitmap& actual = rows.Upright();
                ASSERT_EQ(actual.Width(), expected.Width());
                ASSERT_EQ(actual.Height(), expected.Height());
                for (int y = 0; y < expected.Height(); ++y)
                    for (int x = 0; x < expected.Width(); ++x)
                        ASSERT_EQ(actual.GetIndex(x, y), expected.GetIndex(x, y)) << x << "," << y;
            }
        }
}

}  // namespace
}  // namespace codecs

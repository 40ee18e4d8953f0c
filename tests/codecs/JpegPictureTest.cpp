#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <random>
#include <sstream>

#include "UprightReference.h"
#include "codecs/JpegPicture.h"
#include "codecs/Picture.h"
#include "core/Error.h"
#include "core/StringList.h"

namespace codecs {
namespace {

std::string DataPath(const std::string& name) {
    return std::string(PICTAVO_TEST_DATA) + "/jpeg/" + name;
}

std::string ReadData(const std::string& name) {
    return core::ReadFileBytes(DataPath(name), 1 << 20);
}

// A binary PPM (P6) or PGM (P5) file with maxval 255, as djpeg writes them.
raster::Bitmap ReadPnm(const std::string& name) {
    std::string bytes = ReadData(name);
    std::istringstream header(bytes);
    std::string magic;
    int width = 0, height = 0, maxval = 0;
    header >> magic >> width >> height >> maxval;
    EXPECT_TRUE((magic == "P6" || magic == "P5") && maxval == 255) << name;
    const size_t channels = magic == "P6" ? 3 : 1;
    const size_t start = size_t(header.tellg()) + 1;
    EXPECT_EQ(bytes.size(), start + size_t(width) * height * channels) << name;
    raster::Bitmap bitmap(width, height, raster::PixelFormat::Bits24);
    const auto* p = reinterpret_cast<const uint8_t*>(bytes.data()) + start;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x, p += channels)
            bitmap.SetPixel(x, y,
                            channels == 3 ? raster::MakeRgb(p[0], p[1], p[2])
                                          : raster::MakeRgb(p[0], p[0], p[0]));
    return bitmap;
}

int ChannelDifference(raster::Rgb a, raster::Rgb b) {
    return std::max({std::abs(int(raster::RedOf(a)) - raster::RedOf(b)),
                     std::abs(int(raster::GreenOf(a)) - raster::GreenOf(b)),
                     std::abs(int(raster::BlueOf(a)) - raster::BlueOf(b))});
}

// Every pixel within `tolerance` per channel; reports the first pixel that is not.
::testing::AssertionResult PixelsNear(const raster::Bitmap& actual, const raster::Bitmap& expected,
                                      int tolerance) {
    if (actual.Width() != expected.Width() || actual.Height() != expected.Height())
        return ::testing::AssertionFailure()
               << "size " << actual.Width() << "x" << actual.Height() << ", expected "
               << expected.Width() << "x" << expected.Height();
    for (int y = 0; y < actual.Height(); ++y)
        for (int x = 0; x < actual.Width(); ++x)
            if (ChannelDifference(actual.GetPixel(x, y), expected.GetPixel(x, y)) > tolerance)
                return ::testing::AssertionFailure()
                       << "pixel (" << x << "," << y << ") is " << std::hex << actual.GetPixel(x, y)
                       << ", expected " << expected.GetPixel(x, y);
    return ::testing::AssertionSuccess();
}

// The mean difference per channel of the averages of 4 x 4 boxes: dithering moves single
// pixels far but keeps local averages.
double BoxMeanDifference(const raster::Bitmap& a, const raster::Bitmap& b) {
    double sum = 0;
    int boxes = 0;
    for (int by = 0; by + 4 <= a.Height(); by += 4)
        for (int bx = 0; bx + 4 <= a.Width(); bx += 4, ++boxes)
            for (int shift : {0, 8, 16}) {
                int difference = 0;
                for (int y = by; y < by + 4; ++y)
                    for (int x = bx; x < bx + 4; ++x)
                        difference += int((a.GetPixel(x, y) >> shift) & 0xFF) -
                                      int((b.GetPixel(x, y) >> shift) & 0xFF);
                sum += std::abs(difference) / 16.0;
            }
    return sum / (3.0 * boxes);
}

// Damaged and hostile data built from the fixtures.
std::string Truncated(const std::string& name, long keep) {
    std::string bytes = ReadData(name);
    return bytes.substr(0, keep >= 0 ? size_t(keep) : bytes.size() + keep);
}

// The first frame header (SOF0 or SOF2) made to claim another size.
std::string WithClaimedSize(const std::string& name, int width, int height) {
    std::string bytes = ReadData(name);
    size_t sof = bytes.find("\xFF\xC0");
    if (sof == std::string::npos) sof = bytes.find("\xFF\xC2");
    EXPECT_NE(sof, std::string::npos);
    bytes[sof + 5] = char(height >> 8);
    bytes[sof + 6] = char(height);
    bytes[sof + 7] = char(width >> 8);
    bytes[sof + 8] = char(width);
    return bytes;
}

// A progressive file whose first scan (the DC scan) is repeated `copies` more times:
// libjpeg only warns about the odd progression and decodes every copy.
std::string WithRepeatedFirstScan(int copies) {
    std::string bytes = ReadData("progressive.jpg");
    const size_t sos = bytes.find("\xFF\xDA");
    size_t end = sos + 2;
    // The scan runs to the next marker that is neither a stuffed zero nor a restart.
    while (!(uint8_t(bytes[end]) == 0xFF && bytes[end + 1] != 0 &&
             (uint8_t(bytes[end + 1]) < 0xD0 || uint8_t(bytes[end + 1]) > 0xD7)))
        ++end;
    const std::string scan = bytes.substr(sos, end - sos);
    std::string repeated;
    for (int i = 0; i < copies; ++i) repeated += scan;
    return bytes.insert(end, repeated);
}

// Filler segments (APP15) after SOI, so that a file claiming a huge size is long enough to
// pass the check of its length against that size and meets the checks behind it.
std::string WithFiller(std::string bytes, size_t atLeast) {
    std::string filler;
    while (filler.size() < atLeast) {
        filler += "\xFF\xEF\xFF\xFF";
        filler.append(0xFFFF - 2, '\0');
    }
    return bytes.insert(2, filler);
}

std::string Garbage(size_t size, bool withSoi) {
    std::mt19937 random(7);
    std::string bytes(size, '\0');
    for (char& c : bytes) c = char(random());
    if (withSoi) bytes.replace(0, 2, "\xFF\xD8");
    return bytes;
}

class JpegPictureTest : public ::testing::Test {
protected:
    void SetUp() override { m_saved = JpegDefaults(); }
    void TearDown() override { JpegDefaults() = m_saved; }

    static std::unique_ptr<JpegPicture> Read(const std::string& name) {
        return ReadJpeg(ReadData(name));
    }

private:
    JpegSettings m_saved;
};

TEST_F(JpegPictureTest, DefaultsAreTheProgramsDecodingSettings) {
    const JpegSettings& d = JpegDefaults();
    EXPECT_EQ(d.CompressionQuality, 90);
    EXPECT_FALSE(d.GrayScale);
    EXPECT_EQ(d.Performance, JpegPerformance::BestQuality);
    EXPECT_EQ(d.PixelFormat, JpegPixelFormat::Bits24);
    EXPECT_FALSE(d.ProgressiveDisplay);
    EXPECT_FALSE(d.ProgressiveEncoding);
    EXPECT_EQ(d.Scale, JpegScale::Full);
    EXPECT_TRUE(d.Smoothing);

    UseJpegPaletteOutput(8);
    EXPECT_EQ(JpegDefaults().PixelFormat, JpegPixelFormat::Bits8);
    UseJpegPaletteOutput(16);
    EXPECT_EQ(JpegDefaults().PixelFormat, JpegPixelFormat::Bits24);
}

// Each file against djpeg's decode (accurate integer DCT, fancy upsampling).
TEST_F(JpegPictureTest, DecodesLikeDjpeg) {
    struct Row {
        const char* name;
        int width, height;
    };
    const Row rows[] = {
        {"baseline420", 48, 40}, {"s444", 48, 40},       {"s422", 48, 40},
        {"progressive", 48, 40}, {"grey", 48, 40},       {"cmyk", 48, 40},
        {"restart", 48, 40},     {"arithmetic", 48, 40}, {"odd37x23", 37, 23},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const std::string bytes = ReadData(std::string(row.name) + ".jpg");
        auto picture = ReadJpeg(bytes);
        EXPECT_EQ(picture->Kind(), PictureKind::Jpeg);
        EXPECT_EQ(picture->Width(), row.width);
        EXPECT_EQ(picture->Height(), row.height);
        EXPECT_FALSE(picture->IsDecoded());
        picture->DecodeNow();
        EXPECT_EQ(picture->Decoded().Format(), raster::PixelFormat::Bits24);
        EXPECT_TRUE(PixelsNear(picture->Decoded(), ReadPnm(std::string(row.name) + ".ppm"), 1));
        // Packing writes the file as read, decoded or not.
        EXPECT_EQ(picture->Save(), bytes);
    }
}

TEST_F(JpegPictureTest, ReducedScalesMatchDjpegScale) {
    struct Row {
        const char* name;
        JpegScale scale;
        const char* reference;
    };
    const Row rows[] = {
        {"baseline420", JpegScale::Half, "baseline420.s2.ppm"},
        {"baseline420", JpegScale::Quarter, "baseline420.s4.ppm"},
        {"baseline420", JpegScale::Eighth, "baseline420.s8.ppm"},
        {"odd37x23", JpegScale::Half, "odd37x23.s2.ppm"},
        {"odd37x23", JpegScale::Quarter, "odd37x23.s4.ppm"},
        {"odd37x23", JpegScale::Eighth, "odd37x23.s8.ppm"},
        {"progressive", JpegScale::Quarter, "progressive.s4.ppm"},
        {"progressive", JpegScale::Eighth, "progressive.s8.ppm"},
        {"cmyk", JpegScale::Half, "cmyk.s2.ppm"},
        {"cmyk", JpegScale::Eighth, "cmyk.s8.ppm"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.reference);
        const raster::Bitmap expected = ReadPnm(row.reference);
        auto picture = Read(std::string(row.name) + ".jpg");
        picture->SetScale(row.scale);
        // The reduced size is known before decoding.
        EXPECT_EQ(picture->Width(), expected.Width());
        EXPECT_EQ(picture->Height(), expected.Height());
        picture->DecodeNow();
        EXPECT_TRUE(PixelsNear(picture->Decoded(), expected, 1));
    }
}

TEST_F(JpegPictureTest, ChangingTheScaleDropsTheDecodedBitmap) {
    auto picture = Read("odd37x23.jpg");
    picture->DecodeNow();
    picture->SetScale(JpegScale::Quarter);
    EXPECT_FALSE(picture->IsDecoded());
    raster::Bitmap target(10, 6, raster::PixelFormat::Bits24);
    picture->Draw(target, core::Rect::FromSize(0, 0, 10, 6));
    EXPECT_TRUE(PixelsNear(picture->Decoded(), ReadPnm("odd37x23.s4.ppm"), 1));
    EXPECT_TRUE(PixelsNear(target, ReadPnm("odd37x23.s4.ppm"), 1));
    picture->SetScale(JpegScale::Full);
    EXPECT_EQ(picture->Width(), 37);
    picture->DecodeNow();
    EXPECT_EQ(picture->Decoded().Width(), 37);
}

TEST_F(JpegPictureTest, DrawDecodesOnFirstUseAndAssignToCopiesAtFullSize) {
    auto picture = Read("s422.jpg");
    raster::Bitmap target(48, 40, raster::PixelFormat::Bits32);
    picture->Draw(target, core::Rect::FromSize(0, 0, 48, 40));
    EXPECT_TRUE(picture->IsDecoded());
    EXPECT_TRUE(PixelsNear(target, ReadPnm("s422.ppm"), 1));

    raster::Bitmap copy;
    Read("s422.jpg")->AssignTo(copy);
    EXPECT_TRUE(PixelsNear(copy, ReadPnm("s422.ppm"), 1));
}

TEST_F(JpegPictureTest, SettingsAreCopiedWhenThePictureIsCreated) {
    JpegDefaults().PixelFormat = JpegPixelFormat::Bits8;
    auto picture = Read("baseline420.jpg");
    JpegDefaults().PixelFormat = JpegPixelFormat::Bits24;
    EXPECT_EQ(picture->Settings().PixelFormat, JpegPixelFormat::Bits8);
    picture->DecodeNow();
    EXPECT_EQ(picture->Decoded().Format(), raster::PixelFormat::Bits8);
    EXPECT_EQ(Read("baseline420.jpg")->Settings().PixelFormat, JpegPixelFormat::Bits24);
}

// Palette displays: two-pass quantisation to 256 colours with Floyd-Steinberg dithering,
// exactly as djpeg -colors 256 does it, and close to the true-colour decode.
TEST_F(JpegPictureTest, PaletteOutputIsQuantisedLikeDjpeg) {
    UseJpegPaletteOutput(8);
    for (const char* name : {"baseline420", "odd37x23"}) {
        SCOPED_TRACE(name);
        auto picture = Read(std::string(name) + ".jpg");
        picture->DecodeNow();
        const raster::Bitmap& bitmap = picture->Decoded();
        ASSERT_EQ(bitmap.Format(), raster::PixelFormat::Bits8);
        EXPECT_EQ(bitmap.Palette().size(), 256u);
        EXPECT_TRUE(PixelsNear(bitmap, ReadPnm(std::string(name) + ".q256.ppm"), 0));
        EXPECT_LT(BoxMeanDifference(bitmap, ReadPnm(std::string(name) + ".ppm")), 3.0);
    }

    // Grey needs no quantising; CMYK goes through the standard palette.
    auto grey = Read("grey.jpg");
    grey->DecodeNow();
    EXPECT_EQ(grey->Decoded().Format(), raster::PixelFormat::Bits8);
    EXPECT_TRUE(PixelsNear(grey->Decoded(), ReadPnm("grey.ppm"), 0));
    auto cmyk = Read("cmyk.jpg");
    cmyk->DecodeNow();
    EXPECT_EQ(cmyk->Decoded().Format(), raster::PixelFormat::Bits8);
    EXPECT_LT(BoxMeanDifference(cmyk->Decoded(), ReadPnm("cmyk.ppm")), 16.0);
}

TEST_F(JpegPictureTest, GreyScaleSettingGivesAGreyPaletteBitmap) {
    JpegDefaults().GrayScale = true;
    auto colour = Read("baseline420.jpg");
    colour->DecodeNow();
    EXPECT_EQ(colour->Decoded().Format(), raster::PixelFormat::Bits8);
    EXPECT_TRUE(PixelsNear(colour->Decoded(), ReadPnm("baseline420.grey.pgm"), 0));

    // CMYK: the luminance of the converted colours.
    auto cmyk = Read("cmyk.jpg");
    cmyk->DecodeNow();
    raster::Bitmap expected = ReadPnm("cmyk.ppm");
    for (int y = 0; y < expected.Height(); ++y)
        for (int x = 0; x < expected.Width(); ++x) {
            raster::Rgb c = expected.GetPixel(x, y);
            auto l = uint8_t((19595u * raster::RedOf(c) + 38470u * raster::GreenOf(c) +
                              7471u * raster::BlueOf(c) + 32768u) >>
                             16);
            expected.SetPixel(x, y, raster::MakeRgb(l, l, l));
        }
    EXPECT_TRUE(PixelsNear(cmyk->Decoded(), expected, 0));
}

// Without an Adobe marker the CMYK values are plain ink amounts, not inverted ones.
TEST_F(JpegPictureTest, CmykWithoutAdobeMarkerHoldsPlainInk) {
    auto picture = Read("cmyk_plain.jpg");
    picture->DecodeNow();
    // Four solid 8 x 8 blocks: no ink, full cyan, full black, inks (55,205,255,225).
    const raster::Rgb expected[] = {0xFFFFFF, 0x00FFFF, 0x000000, raster::MakeRgb(24, 6, 0)};
    for (int block = 0; block < 4; ++block)
        for (int y = 0; y < 8; ++y)
            for (int x = 8 * block; x < 8 * block + 8; ++x)
                ASSERT_LE(ChannelDifference(picture->Decoded().GetPixel(x, y), expected[block]), 2)
                    << x << "," << y;
}

TEST_F(JpegPictureTest, StrayBytesBeforeAMarkerAreIgnored) {
    std::string bytes = ReadData("baseline420.jpg");
    bytes.insert(bytes.find("\xFF\xDB"), "\x12\x34\x56");
    auto picture = ReadJpeg(bytes);
    picture->DecodeNow();
    EXPECT_TRUE(PixelsNear(picture->Decoded(), ReadPnm("baseline420.ppm"), 0));
}

TEST_F(JpegPictureTest, DamagedDataIsAnErrorNeverACrash) {
    struct Row {
        const char* what;
        std::string bytes;
        JpegScale scale;
        const char* messageStart;
    };
    const long size = long(ReadData("baseline420.jpg").size());
    const long progressiveSize = long(ReadData("progressive.jpg").size());
    const Row rows[] = {
        {"empty file", "", JpegScale::Full, "JPEG error #"},
        {"SOI only", Truncated("baseline420.jpg", 2), JpegScale::Full, "JPEG error #"},
        {"cut in the tables", Truncated("baseline420.jpg", 100), JpegScale::Full, "JPEG error #"},
        {"cut in the scan", Truncated("baseline420.jpg", size / 2), JpegScale::Full,
         "JPEG error #"},
        {"cut near the end", Truncated("baseline420.jpg", -40), JpegScale::Full, "JPEG error #"},
        {"end marker missing", Truncated("baseline420.jpg", -2), JpegScale::Full, "JPEG error #"},
        {"cut at quarter scale", Truncated("odd37x23.jpg", -30), JpegScale::Quarter,
         "JPEG error #"},
        {"progressive cut in a scan", Truncated("progressive.jpg", progressiveSize * 3 / 4),
         JpegScale::Full, "JPEG error #"},
        {"progressive cut before the end marker", Truncated("progressive.jpg", -2), JpegScale::Full,
         "JPEG error #"},
        {"garbage", Garbage(500, false), JpegScale::Full, "JPEG error #"},
        {"garbage after SOI", Garbage(500, true), JpegScale::Full, "JPEG error #"},
        // 99 million blocks need 1.5 MB of data at the very least.
        {"65000 x 65000 claimed",
         WithFiller(WithClaimedSize("baseline420.jpg", 65000, 65000), 2 << 20), JpegScale::Full,
         "The picture is too large (65000 x 65000 pixels)."},
        // At 1/8 the output fits, but the progressive coefficient buffer does not fit
        // libjpeg's memory limit.
        {"65000 x 65000 progressive at 1/8",
         WithFiller(WithClaimedSize("progressive.jpg", 65000, 65000), 2 << 20), JpegScale::Eighth,
         "JPEG error #"},
        {"291 bytes claiming 16000 x 16000", ReadData("claims16000.jpg"), JpegScale::Full,
         "The JPEG file is damaged: 291 bytes cannot hold a picture of 16000 x 16000 pixels."},
        {"65000 x 65000 at 1/8 from 1.3 KB", WithClaimedSize("progressive.jpg", 65000, 65000),
         JpegScale::Eighth, "The JPEG file is damaged: "},
        // Long enough for the size claimed, but the scan reaches the end marker (or, in a
        // progressive file, the next scan) halfway: libjpeg alone would fill in grey.
        {"data ends before the last row", WithClaimedSize("baseline420.jpg", 96, 80),
         JpegScale::Full, "The JPEG file is damaged: its picture data ends before the last row."},
        {"data ends before the last row at 1/8", WithClaimedSize("s444.jpg", 48, 400),
         JpegScale::Eighth, "The JPEG file is damaged: its picture data ends before the last row."},
        {"progressive scan ends before the last row", WithClaimedSize("progressive.jpg", 96, 80),
         JpegScale::Full, "The JPEG file is damaged: its picture data ends before the last row."},
        {"1101 scans", WithRepeatedFirstScan(1100), JpegScale::Full,
         "The JPEG picture has too many scans (more than 1000)."},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        try {
            auto picture = ReadJpeg(row.bytes);
            picture->SetScale(row.scale);
            picture->DecodeNow();
            ADD_FAILURE() << "no error";
        } catch (const core::Error& e) {
            EXPECT_EQ(std::string(e.what()).rfind(row.messageStart, 0), 0u) << e.what();
        }
    }
}

// The 291-byte file claiming 16000 x 16000 pixels is refused by the reader itself, from
// the header, before any bitmap is made; through the loader too, which every caller uses.
TEST_F(JpegPictureTest, SmallFileClaimingAHugePictureIsRefusedBeforeDecoding) {
    EXPECT_THROW(ReadJpeg(ReadData("claims16000.jpg")), core::Error);
    EXPECT_THROW(LoadPictureFromBytes("jpg", ReadData("claims16000.jpg")), core::Error);
}

// The smallest files an encoder makes for a large picture are far above the limit: a flat
// grey 1024 x 1024 picture at quality 1, optimised progressive (two bits per block), and
// arithmetic-coded (189 bytes, which no length check could tell from damage).
TEST_F(JpegPictureTest, FlatPicturesAtQualityOneStillDecode) {
    for (const char* name : {"flat1024.q1.jpg", "flat1024.arith.jpg"}) {
        SCOPED_TRACE(name);
        auto picture = Read(name);
        picture->DecodeNow();
        EXPECT_EQ(picture->Decoded().Width(), 1024);
        EXPECT_EQ(picture->Decoded().Height(), 1024);
        EXPECT_EQ(picture->Decoded().GetPixel(0, 0), raster::MakeRgb(128, 128, 128));
        EXPECT_EQ(picture->Decoded().GetPixel(1023, 1023), raster::MakeRgb(128, 128, 128));
    }
    // And from our own encoder with libjpeg's standard tables.
    raster::Bitmap flat(1200, 900, raster::PixelFormat::Bits24);
    flat.Fill(raster::MakeRgb(90, 90, 90));
    auto picture = ReadJpeg(EncodeJpeg(flat, 1));
    picture->DecodeNow();
    EXPECT_EQ(picture->Decoded().Width(), 1200);
}

// Each Exif orientation gives the upright picture: the same stored pixels turned as
// ImageMagick's -auto-orient turns them, known upright in size before decoding, through
// the loader as well. The file itself is kept as read.
TEST_F(JpegPictureTest, OrientationTagGivesTheUprightPicture) {
    for (int value = 1; value <= 8; ++value) {
        const std::string name = "orient" + std::to_string(value);
        SCOPED_TRACE(name);
        const std::string bytes = ReadData(name + ".jpg");
        const raster::Bitmap expected = ReadPnm(name + ".ppm");
        auto picture = ReadJpeg(bytes);
        EXPECT_EQ(picture->StoredOrientation(), Orientation(value));
        EXPECT_EQ(picture->Width(), expected.Width());
        EXPECT_EQ(picture->Height(), expected.Height());
        picture->DecodeNow();
        EXPECT_TRUE(PixelsNear(picture->Decoded(), expected, 0));
        EXPECT_EQ(picture->Save(), bytes);

        raster::Bitmap assigned;
        LoadPictureFromBytes("JPG", bytes)->AssignTo(assigned);
        EXPECT_TRUE(PixelsNear(assigned, expected, 0));
    }
}

// Reduced decodes turn upright as well, and their size is upright before decoding: the
// player picks the scale whose size covers the upright placement.
TEST_F(JpegPictureTest, ReducedScalesAreUprightToo) {
    for (JpegScale scale :
         {JpegScale::Full, JpegScale::Half, JpegScale::Quarter, JpegScale::Eighth}) {
        auto stored = Read("orient1.jpg");
        stored->SetScale(scale);
        stored->DecodeNow();
        for (int value = 1; value <= 8; ++value) {
            SCOPED_TRACE("scale " + std::to_string(int(scale)) + ", orientation " +
                         std::to_string(value));
            const raster::Bitmap expected = UprightReference(stored->Decoded(), Orientation(value));
            auto picture = Read("orient" + std::to_string(value) + ".jpg");
            picture->SetScale(scale);
            EXPECT_EQ(picture->Width(), expected.Width());
            EXPECT_EQ(picture->Height(), expected.Height());
            picture->DecodeNow();
            EXPECT_TRUE(PixelsNear(picture->Decoded(), expected, 0));
        }
    }
    // On palette displays too.
    UseJpegPaletteOutput(8);
    auto stored = Read("orient1.jpg");
    stored->DecodeNow();
    auto turned = Read("orient6.jpg");
    turned->DecodeNow();
    EXPECT_EQ(turned->Decoded(), UprightReference(stored->Decoded(), Orientation::Rotate90));
}

TEST_F(JpegPictureTest, OrdinaryScanCountsDecode) {
    auto picture = ReadJpeg(WithRepeatedFirstScan(50));
    picture->DecodeNow();
    EXPECT_TRUE(PixelsNear(picture->Decoded(), ReadPnm("progressive.ppm"), 1));
}

TEST_F(JpegPictureTest, LoaderIgnoresTheExtensionsLetterCase) {
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("pictavo-jpeg-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::string path = (dir / "photo.JPEG").string();
    core::WriteFileAtomically(path, ReadData("odd37x23.jpg"));
    auto picture = LoadPicture(path);
    std::filesystem::remove_all(dir);
    ASSERT_EQ(picture->Kind(), PictureKind::Jpeg);
    EXPECT_EQ(picture->Width(), 37);
    EXPECT_EQ(picture->Height(), 23);
    EXPECT_EQ(picture->Save(), ReadData("odd37x23.jpg"));
}

// Encoding from pixels uses libjpeg's defaults at the given quality, as cjpeg does.
TEST_F(JpegPictureTest, EncodesLikeCjpeg) {
    const raster::Bitmap pixels = ReadPnm("s444.ppm");
    EXPECT_EQ(EncodeJpeg(pixels, 90), ReadData("s444.q90.jpg"));
    EXPECT_EQ(EncodeJpeg(pixels.ConvertTo(raster::PixelFormat::Bits32), 90),
              ReadData("s444.q90.jpg"));
    EXPECT_THROW(EncodeJpeg(raster::Bitmap(), 90), core::Error);
}

}  // namespace
}  // namespace codecs

#pragma once

#include <array>
#include <memory>
#include <string>

#include "codecs/Orientation.h"
#include "codecs/Picture.h"

namespace codecs {

enum class JpegScale { Full, Half, Quarter, Eighth };

// Best quality: the accurate integer DCT and, on palette displays, two-pass colour
// quantisation with Floyd-Steinberg dithering. Best speed: the fast integer DCT and
// one-pass ordered dithering.
enum class JpegPerformance { BestQuality, BestSpeed };

// The decoded bitmap's format: 24 bits per pixel, or 8 bits with a palette of at most
// 256 colours chosen for the picture (for displays of 8 bits per pixel or fewer).
enum class JpegPixelFormat { Bits24, Bits8 };

// How JPEG pictures are decoded (and encoded). The program holds one set, JpegDefaults(),
// and copies it into every JPEG picture when the picture is created.
struct JpegSettings {
    int CompressionQuality = 90;  // used only when encoding from pixels
    bool GrayScale = false;       // decode to an 8-bit bitmap with a grey ramp palette
    JpegPerformance Performance = JpegPerformance::BestQuality;
    JpegPixelFormat PixelFormat = JpegPixelFormat::Bits24;
    bool ProgressiveDisplay = false;  // we draw only whole decodes, so this changes nothing
    bool ProgressiveEncoding = false;
    JpegScale Scale = JpegScale::Full;
    bool Smoothing = true;  // high-quality ("fancy") chroma upsampling
};

// The program-wide settings. The application sets PixelFormat once at start through
// UseJpegPaletteOutput.
JpegSettings& JpegDefaults();

// Chooses 8-bit palette output when the display has `displayBits` (bits per pixel times
// planes) of 8 or fewer, 24-bit output otherwise.
void UseJpegPaletteOutput(int displayBits);

// A JPEG file kept as read; it decodes on demand, at full size or at a reduced scale.
// A picture stored sideways or mirrored (its Exif orientation tag) is shown upright: its
// size and its decoded bitmap are those of the upright picture; the file is not changed.
class JpegPicture : public Picture {
public:
    PictureKind Kind() const override { return PictureKind::Jpeg; }
    // The size of the upright decoded image at the current scale.
    int Width() const override;
    int Height() const override;
    // Decodes first when the picture has not been decoded yet, then stretches.
    void Draw(raster::Bitmap& target, const core::Rect& rect) override;
    // The file's bytes exactly as read; nothing is decoded or encoded again.
    std::string Save() const override { return m_bytes; }

    // Takes effect at the next decode; a decoded bitmap of another scale is dropped.
    void SetScale(JpegScale scale);
    JpegScale Scale() const { return m_settings.Scale; }
    const JpegSettings& Settings() const { return m_settings; }
    // How the file stores the picture; decoding turns it upright.
    Orientation StoredOrientation() const { return m_orientation; }

    // Decodes now instead of at the first draw. Throws core::Error for damaged data.
    void DecodeNow();
    bool IsDecoded() const { return !m_decoded.Empty(); }
    // The decoded upright bitmap (empty before decoding): Bits24, or Bits8 with a palette.
    const raster::Bitmap& Decoded() const { return m_decoded; }

private:
    friend std::unique_ptr<JpegPicture> ReadJpeg(std::string bytes, const JpegSettings& settings);
    JpegPicture() = default;

    struct Size {
        int Width = 0;
        int Height = 0;
    };

    std::string m_bytes;
    JpegSettings m_settings;
    std::array<Size, 4> m_sizes;  // by JpegScale, as stored (before turning upright)
    Orientation m_orientation = Orientation::Upright;
    raster::Bitmap m_decoded;
};

// Reads the header at once, so data that is not a JPEG file fails here, and so does a file
// far too short for the size it claims. Throws core::Error "JPEG error #<code>" with
// libjpeg's message code, or a message saying what is damaged.
std::unique_ptr<JpegPicture> ReadJpeg(std::string bytes);
std::unique_ptr<JpegPicture> ReadJpeg(std::string bytes, const JpegSettings& settings);

// A baseline JPEG file of the bitmap (any format), at `quality` 1..100.
std::string EncodeJpeg(const raster::Bitmap& bitmap, int quality);

}  // namespace codecs

#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "codecs/Picture.h"

namespace codecs {

// A Windows bitmap file held as a bitmap in the file's own pixel format.
class BmpPicture : public Picture {
public:
    explicit BmpPicture(raster::Bitmap bitmap) : m_bitmap(std::move(bitmap)) {}

    PictureKind Kind() const override { return PictureKind::Bitmap; }
    int Width() const override { return m_bitmap.Width(); }
    int Height() const override { return m_bitmap.Height(); }
    void Draw(raster::Bitmap& target, const core::Rect& rect) override;
    std::string Save() const override;

    const raster::Bitmap& Bitmap() const { return m_bitmap; }

private:
    raster::Bitmap m_bitmap;
};

// Reads a BMP file: 1, 4, 8, 16, 24 and 32 bits per pixel, uncompressed, RLE4, RLE8 or
// with colour masks; OS/2 1.x core, info, V4 and V5 headers (and the 52, 56 and 64-byte
// variants). The bitmap keeps the file's pixel format where one exists; other colour
// masks give 32 bits. Throws core::Error for damaged or unsupported data, and for
// pictures of more than `maxPixels` pixels before allocating them.
std::unique_ptr<BmpPicture> ReadBmp(std::string_view bytes,
                                    uint64_t maxPixels = raster::Bitmap::kMaxPixels);

// A complete BMP file: "BM" file header, 40-byte info header, colour table, rows
// bottom-up. 5-6-5 bitmaps carry their masks (BI_BITFIELDS). Throws core::Error for an
// empty bitmap, which the format cannot hold.
std::string WriteBmp(const raster::Bitmap& bitmap);

// The same file written straight from the bitmap's rows, so a large picture is not held a
// second time as file bytes; atomic like core::WriteFileAtomically (a temporary file
// beside the target, renamed over it when complete). Throws core::FileError.
void WriteBmpFile(const std::string& path, const raster::Bitmap& bitmap);

}  // namespace codecs

#pragma once

#include <memory>
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

// Reads a BMP file. Throws core::Error for damaged or unsupported data.
std::unique_ptr<BmpPicture> ReadBmp(std::string_view bytes);

// A complete BMP file: "BM" file header, info header, colour table, rows bottom-up.
std::string WriteBmp(const raster::Bitmap& bitmap);

}  // namespace codecs

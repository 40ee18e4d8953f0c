#pragma once

#include <cstdint>
#include <limits>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "codecs/GifFile.h"
#include "codecs/Picture.h"

namespace codecs {

// A GIF picture: every frame of the file, drawing one of them (the current frame, the
// first after loading) over what the target already holds where it is transparent.
class GifPicture : public Picture {
public:
    explicit GifPicture(GifFile file) : m_file(std::move(file)) {}

    PictureKind Kind() const override { return PictureKind::Gif; }
    int Width() const override { return m_file.ScreenWidth; }
    int Height() const override { return m_file.ScreenHeight; }
    // Draws the current frame with the logical screen stretched into `rect`. Transparent
    // pixels and the screen outside the frame leave the target unchanged.
    void Draw(raster::Bitmap& target, const core::Rect& rect) override;
    // The GIF file written again from its parts. Throws core::Error without frames.
    std::string Save() const override;

    const GifFile& File() const { return m_file; }
    // For changing the parts; forgets the decoded frame.
    GifFile& MutableFile();

    size_t FrameCount() const { return m_file.Frames.size(); }
    size_t CurrentFrame() const { return m_current; }
    void SetCurrentFrame(size_t index);  // throws core::Error when out of range

    // A frame's colour indexes, Width x Height, rows top-down (de-interlaced). Decoded on
    // first use and kept until another frame is decoded. Throws core::Error for damaged
    // LZW data.
    const std::vector<uint8_t>& FrameIndexes(size_t index) const;

    // A 32-bit bitmap of the logical screen filled with the background colour (black
    // without a global colour table) with frame `index` drawn on it.
    raster::Bitmap RenderFrame(size_t index) const;

    // The colour of the background index in the global table, black without one.
    raster::Rgb BackgroundColour() const;

private:
    void DrawFrame(size_t index, raster::Bitmap& target, const core::Rect& rect) const;

    GifFile m_file;
    size_t m_current = 0;
    mutable size_t m_cachedFrame = std::numeric_limits<size_t>::max();
    mutable std::vector<uint8_t> m_cachedIndexes;
};

// Reads a GIF87a or GIF89a file and decodes its first frame, so a damaged first frame
// is reported here. Throws core::Error with a short message for damaged data.
std::unique_ptr<GifPicture> ReadGif(std::string_view bytes);

}  // namespace codecs

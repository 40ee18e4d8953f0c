#include "codecs/GifPicture.h"

#include <algorithm>
#include <cstring>

#include "codecs/GifLzw.h"
#include "core/Error.h"
#include "core/StringList.h"
#include "raster/Stretch.h"

namespace codecs {

namespace {

// Draws indexed pixels through a colour and opacity table; `cols`/`rows` give the frame
// column and row of each target pixel in the clip, or -1 outside the frame.
template <typename PutPixel>
void DrawIndexes(const uint8_t* indexes, int frameWidth, const std::vector<int>& cols,
                 const std::vector<int>& rows, const core::Rect& clip, const uint32_t* colours,
                 const bool* opaque, PutPixel put) {
    for (size_t j = 0; j < rows.size(); ++j) {
        if (rows[j] < 0) continue;
        const uint8_t* src = indexes + size_t(rows[j]) * size_t(frameWidth);
        int y = clip.Top + int(j);
        for (size_t i = 0; i < cols.size(); ++i) {
            if (cols[i] < 0) continue;
            uint8_t index = src[cols[i]];
            if (opaque[index]) put(clip.Left + int(i), y, colours[index]);
        }
    }
}

}  // namespace

std::string GifPicture::Save() const {
    return WriteGif(m_file);
}

GifFile& GifPicture::MutableFile() {
    m_cachedFrame = std::numeric_limits<size_t>::max();
    m_cachedIndexes.clear();
    return m_file;
}

void GifPicture::SetCurrentFrame(size_t index) {
    if (index >= m_file.Frames.size())
        throw core::Error(core::Format("The GIF picture has no frame %d.", (long long)index));
    m_current = index;
}

const std::vector<uint8_t>& GifPicture::FrameIndexes(size_t index) const {
    if (index >= m_file.Frames.size())
        throw core::Error(core::Format("The GIF picture has no frame %d.", (long long)index));
    if (m_cachedFrame == index) return m_cachedIndexes;
    const GifFrame& frame = m_file.Frames[index];
    if (frame.Width <= 0 || frame.Height <= 0 ||
        uint64_t(frame.Width) * uint64_t(frame.Height) > raster::Bitmap::kMaxPixels)
        throw core::Error("Damaged GIF file: a frame's size is not valid.");
    std::vector<uint8_t> indexes = DecodeGifLzw(frame.LzwMinCodeSize, frame.ImageData,
                                                size_t(frame.Width) * size_t(frame.Height));
    if (frame.Interlaced) indexes = DeinterlaceGifRows(indexes, frame.Width, frame.Height);
    m_cachedIndexes = std::move(indexes);
    m_cachedFrame = index;
    return m_cachedIndexes;
}

raster::Rgb GifPicture::BackgroundColour() const {
    const auto& table = m_file.GlobalColourTable;
    if (!table || m_file.BackgroundIndex >= table->size()) return 0;
    return (*table)[m_file.BackgroundIndex] & 0xFFFFFF;
}

raster::Bitmap GifPicture::RenderFrame(size_t index) const {
    raster::Bitmap screen(m_file.ScreenWidth, m_file.ScreenHeight, raster::PixelFormat::Bits32);
    screen.Fill(BackgroundColour());
    DrawFrame(index, screen, core::Rect::FromSize(0, 0, m_file.ScreenWidth, m_file.ScreenHeight));
    return screen;
}

void GifPicture::Draw(raster::Bitmap& target, const core::Rect& rect) {
    if (m_current >= m_file.Frames.size()) return;
    DrawFrame(m_current, target, rect);
}

void GifPicture::DrawFrame(size_t index, raster::Bitmap& target, const core::Rect& rect) const {
    const std::vector<uint8_t>& indexes = FrameIndexes(index);
    if (target.Empty() || rect.IsEmpty() || m_file.ScreenWidth <= 0 || m_file.ScreenHeight <= 0)
        return;
    core::Rect clip = rect.Intersected({0, 0, target.Width(), target.Height()});
    if (clip.IsEmpty()) return;
    const GifFrame& frame = m_file.Frames[index];

    // Indexes beyond the colour table draw black; the transparent index draws nothing.
    uint32_t colours[256] = {};
    bool opaque[256];
    std::fill(std::begin(opaque), std::end(opaque), true);
    const GifColourTable* table = frame.LocalColourTable     ? &*frame.LocalColourTable
                                  : m_file.GlobalColourTable ? &*m_file.GlobalColourTable
                                                             : nullptr;
    if (table)
        for (size_t i = 0; i < table->size() && i < 256; ++i) colours[i] = (*table)[i] & 0xFFFFFF;
    if (const GifGraphicControl* gc = frame.GraphicControl(); gc && gc->Transparent)
        opaque[gc->TransparentIndex] = false;

    // Screen pixels are picked as raster::StretchDraw picks them, so a GIF stretches
    // exactly like the other pictures; then mapped into the frame.
    std::vector<int> cols(size_t(clip.Width()));
    for (int x = clip.Left; x < clip.Right; ++x) {
        int fx = raster::StretchSourceColumn(x - rect.Left, rect.Width(), m_file.ScreenWidth) -
                 frame.Left;
        cols[size_t(x - clip.Left)] = fx >= 0 && fx < frame.Width ? fx : -1;
    }
    std::vector<int> rows(size_t(clip.Height()));
    for (int y = clip.Top; y < clip.Bottom; ++y) {
        int fy =
            raster::StretchSourceRow(y - rect.Top, rect.Height(), m_file.ScreenHeight) - frame.Top;
        rows[size_t(y - clip.Top)] = fy >= 0 && fy < frame.Height ? fy : -1;
    }

    const uint8_t* src = indexes.data();
    switch (target.Format()) {
        case raster::PixelFormat::Bits32:
            DrawIndexes(
                src, frame.Width, cols, rows, clip, colours, opaque,
                [&](int x, int y, uint32_t c) { std::memcpy(target.Scanline(y) + 4 * x, &c, 4); });
            break;
        case raster::PixelFormat::Bits24:
            DrawIndexes(src, frame.Width, cols, rows, clip, colours, opaque,
                        [&](int x, int y, uint32_t c) {
                            uint8_t* p = target.Scanline(y) + 3 * x;
                            p[0] = raster::BlueOf(c);
                            p[1] = raster::GreenOf(c);
                            p[2] = raster::RedOf(c);
                        });
            break;
        default:
            DrawIndexes(src, frame.Width, cols, rows, clip, colours, opaque,
                        [&](int x, int y, uint32_t c) { target.SetPixel(x, y, c); });
            break;
    }
}

}  // namespace codecs

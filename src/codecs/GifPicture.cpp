#include "codecs/GifPicture.h"

#include <algorithm>
#include <cstring>
#include <iterator>

#include "codecs/GifLzw.h"
#include "core/Error.h"
#include "core/StringList.h"
#include "raster/Stretch.h"

namespace codecs {

namespace {

constexpr uint8_t kExtensionIntroducer = 0x21;  // '!'
constexpr uint8_t kImageSeparator = 0x2C;       // ','
constexpr uint8_t kTrailer = 0x3B;              // ';'
constexpr uint8_t kGraphicControlLabel = 0xF9;
constexpr uint8_t kCommentLabel = 0xFE;
constexpr uint8_t kApplicationLabel = 0xFF;
constexpr std::string_view kNetscapeId = "NETSCAPE2.0";

// The reading position in the file's bytes; every read is checked against the end.
class GifReadContext {
public:
    explicit GifReadContext(std::string_view bytes) : m_bytes(bytes) {}

    bool AtEnd() const { return m_pos >= m_bytes.size(); }

    uint8_t U8() {
        Need(1);
        return uint8_t(m_bytes[m_pos++]);
    }

    uint16_t U16() {
        Need(2);
        uint16_t v = uint16_t(uint8_t(m_bytes[m_pos]) | (uint8_t(m_bytes[m_pos + 1]) << 8));
        m_pos += 2;
        return v;
    }

    GifColourTable ColourTable(int sizeBits) {
        size_t entries = size_t(2) << sizeBits;
        Need(entries * 3);
        GifColourTable table(entries);
        const uint8_t* p = reinterpret_cast<const uint8_t*>(m_bytes.data()) + m_pos;
        for (size_t i = 0; i < entries; ++i, p += 3) table[i] = raster::MakeRgb(p[0], p[1], p[2]);
        m_pos += entries * 3;
        return table;
    }

    // The sub-blocks up to and including the terminator, answered as their raw bytes
    // (length bytes included, terminator excluded).
    std::string_view RawSubBlocks() {
        size_t start = m_pos;
        for (;;) {
            size_t n = U8();
            if (n == 0) return m_bytes.substr(start, m_pos - 1 - start);
            Need(n);
            m_pos += n;
        }
    }

    // Raw sub-blocks as separate strings. They are counted before any is made.
    std::vector<std::string> StoreBlocks(std::string_view raw) {
        size_t count = 0;
        for (size_t pos = 0; pos < raw.size(); pos += 1 + uint8_t(raw[pos])) ++count;
        CountStoredPieces(count);
        std::vector<std::string> blocks;
        blocks.reserve(count);
        for (size_t pos = 0; pos < raw.size(); pos += 1 + uint8_t(raw[pos]))
            blocks.emplace_back(raw.substr(pos + 1, uint8_t(raw[pos])));
        return blocks;
    }

    // Extension blocks and comment lines take far more memory than their bytes in the
    // file (a 1-byte block becomes a string), so their number is capped.
    void CountStoredPieces(size_t n) {
        m_storedPieces += n;
        if (m_storedPieces > kMaxGifExtensionPieces)
            throw core::Error("Damaged GIF file: too much extension data.");
    }

private:
    void Need(size_t n) const {
        if (n > m_bytes.size() - m_pos)
            throw core::Error("Damaged GIF file: the file ends inside a block.");
    }

    std::string_view m_bytes;
    size_t m_pos = 0;
    size_t m_storedPieces = 0;
};

// The bytes of raw sub-blocks without their length bytes.
std::string JoinRawBlocks(std::string_view raw) {
    std::string joined;
    for (size_t pos = 0; pos < raw.size(); pos += 1 + uint8_t(raw[pos]))
        joined.append(raw.substr(pos + 1, uint8_t(raw[pos])));
    return joined;
}

// How many lines core::SplitLines makes of a text: CR, LF and CR LF each end one, and
// text after the last break is one more.
size_t CountLines(std::string_view text) {
    size_t lines = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            ++lines;
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        }
    }
    if (!text.empty() && text.back() != '\r' && text.back() != '\n') ++lines;
    return lines;
}

bool IsNetscapeLoop(const GifRawExtension& ext) {
    return ext.Label == kApplicationLabel && ext.Blocks.size() >= 2 &&
           ext.Blocks[0] == kNetscapeId && ext.Blocks[1].size() >= 3 && ext.Blocks[1][0] == 1;
}

class GifWriteContext {
public:
    void U8(uint8_t v) { m_out.push_back(char(v)); }
    void U16(int v) {
        U8(uint8_t(v));
        U8(uint8_t(v >> 8));
    }
    void Bytes(std::string_view b) { m_out.append(b); }

    // Data split into sub-blocks of at most 255 bytes, then the terminator.
    void DataAsSubBlocks(std::string_view data) {
        for (size_t pos = 0; pos < data.size(); pos += 255) {
            size_t n = std::min<size_t>(255, data.size() - pos);
            U8(uint8_t(n));
            Bytes(data.substr(pos, n));
        }
        U8(0);
    }

    void ColourTable(const GifColourTable& table, int sizeBits) {
        size_t entries = size_t(2) << sizeBits;
        for (size_t i = 0; i < entries; ++i) {
            raster::Rgb c = i < table.size() ? table[i] : 0;
            U8(raster::RedOf(c));
            U8(raster::GreenOf(c));
            U8(raster::BlueOf(c));
        }
    }

    std::string Take() { return std::move(m_out); }

private:
    std::string m_out;
};

// The size field of a colour table: 2 << bits entries hold the table.
int TableSizeBits(const GifColourTable& table) {
    if (table.size() > 256) throw core::Error("A GIF colour table holds at most 256 colours.");
    int bits = 0;
    while ((size_t(2) << bits) < table.size()) ++bits;
    return bits;
}

void CheckUint16(int v, const char* what) {
    if (v < 0 || v > 0xFFFF)
        throw core::Error(core::Format("The GIF %s does not fit in 16 bits.", what));
}

void WriteExtension(GifWriteContext& out, const GifExtension& ext) {
    out.U8(kExtensionIntroducer);
    if (const auto* gc = std::get_if<GifGraphicControl>(&ext)) {
        out.U8(kGraphicControlLabel);
        out.U8(4);
        out.U8(uint8_t(((gc->Disposal & 7) << 2) | (gc->UserInput ? 2 : 0) |
                       (gc->Transparent ? 1 : 0)));
        out.U16(gc->Delay);
        out.U8(gc->TransparentIndex);
        out.U8(0);
        return;
    }
    const auto& raw = std::get<GifRawExtension>(ext);
    out.U8(raw.Label);
    for (const std::string& block : raw.Blocks) {
        if (block.empty() || block.size() > 255)
            throw core::Error("A GIF extension block must hold 1 to 255 bytes.");
        out.U8(uint8_t(block.size()));
        out.Bytes(block);
    }
    out.U8(0);
}

// Image data must be whole sub-blocks, or the file written would not parse again.
void CheckSubBlocks(std::string_view data) {
    size_t pos = 0;
    while (pos < data.size()) {
        size_t n = uint8_t(data[pos]);
        if (n == 0 || n > data.size() - pos - 1)
            throw core::Error("The GIF frame's image data is not a run of sub-blocks.");
        pos += 1 + n;
    }
}

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

const GifGraphicControl* GifFrame::GraphicControl() const {
    const GifGraphicControl* found = nullptr;
    for (const GifExtension& ext : Extensions)
        if (const auto* gc = std::get_if<GifGraphicControl>(&ext)) found = gc;
    return found;
}

GifFile ParseGif(std::string_view bytes) {
    if (bytes.size() < 6 || (bytes.substr(0, 6) != "GIF87a" && bytes.substr(0, 6) != "GIF89a"))
        throw core::Error("Not a GIF file (the file does not start with GIF87a or GIF89a).");
    GifReadContext in(bytes.substr(6));
    GifFile file;
    file.Version = std::string(bytes.substr(3, 3));

    file.ScreenWidth = in.U16();
    file.ScreenHeight = in.U16();
    uint8_t flags = in.U8();
    file.BackgroundIndex = in.U8();
    file.AspectRatio = in.U8();
    if (file.ScreenWidth == 0 || file.ScreenHeight == 0 ||
        uint64_t(file.ScreenWidth) * uint64_t(file.ScreenHeight) > raster::Bitmap::kMaxPixels)
        throw core::Error("Damaged GIF file: the logical screen size is not valid.");
    file.ColourResolution = (flags >> 4) & 7;
    if (flags & 0x80) {
        file.GlobalTableSorted = (flags & 0x08) != 0;
        file.GlobalColourTable = in.ColourTable(flags & 7);
    }

    std::vector<GifExtension> pending;  // waiting for the frame they belong to
    size_t extensionCount = 0;
    // A file that stops cleanly between blocks without its trailer still loads: a
    // common writer fault. Stopping inside a block is an error (the context throws).
    while (!in.AtEnd()) {
        uint8_t introducer = in.U8();
        if (introducer == kTrailer) break;
        if (introducer == kExtensionIntroducer) {
            if (++extensionCount > kMaxGifExtensions)
                throw core::Error("Damaged GIF file: too many extensions.");
            GifRawExtension raw;
            raw.Label = in.U8();
            std::string_view blocks = in.RawSubBlocks();
            if (raw.Label == kCommentLabel) {
                std::string text = JoinRawBlocks(blocks);
                in.CountStoredPieces(CountLines(text));
                for (std::string& line : core::SplitLines(text))
                    file.Comments.push_back(std::move(line));
                continue;
            }
            raw.Blocks = in.StoreBlocks(blocks);
            if (raw.Label == kGraphicControlLabel && !raw.Blocks.empty() &&
                raw.Blocks[0].size() == 4) {
                const auto* b = reinterpret_cast<const uint8_t*>(raw.Blocks[0].data());
                GifGraphicControl gc;
                gc.Disposal = (b[0] >> 2) & 7;
                gc.UserInput = (b[0] & 2) != 0;
                gc.Transparent = (b[0] & 1) != 0;
                gc.Delay = uint16_t(b[1] | (b[2] << 8));
                gc.TransparentIndex = b[3];
                pending.emplace_back(gc);
            } else if (IsNetscapeLoop(raw)) {
                const auto* b = reinterpret_cast<const uint8_t*>(raw.Blocks[1].data());
                file.LoopCount = uint16_t(b[1] | (b[2] << 8));
            } else {
                pending.emplace_back(std::move(raw));
            }
        } else if (introducer == kImageSeparator) {
            if (file.Frames.size() >= kMaxGifFrames)
                throw core::Error("Damaged GIF file: too many frames.");
            GifFrame frame;
            frame.Left = in.U16();
            frame.Top = in.U16();
            frame.Width = in.U16();
            frame.Height = in.U16();
            uint8_t frameFlags = in.U8();
            // Frames reaching past the logical screen are clipped when drawn, as
            // browsers do; an empty frame or one too large to decode is refused.
            if (frame.Width == 0 || frame.Height == 0 ||
                uint64_t(frame.Width) * uint64_t(frame.Height) > raster::Bitmap::kMaxPixels)
                throw core::Error("Damaged GIF file: a frame's size is not valid.");
            frame.Interlaced = (frameFlags & 0x40) != 0;
            if (frameFlags & 0x80) {
                frame.LocalTableSorted = (frameFlags & 0x20) != 0;
                frame.LocalColourTable = in.ColourTable(frameFlags & 7);
            }
            frame.LzwMinCodeSize = in.U8();
            if (frame.LzwMinCodeSize < kGifMinLzwCodeSize ||
                frame.LzwMinCodeSize > kGifMaxLzwCodeSize)
                throw core::Error("Damaged GIF file: bad LZW code size.");
            frame.ImageData = std::string(in.RawSubBlocks());
            frame.Extensions = std::move(pending);
            pending.clear();
            file.Frames.push_back(std::move(frame));
        } else {
            throw core::Error("Damaged GIF file: unknown block type.");
        }
    }
    // Extensions after the last image belong to no frame and are not kept.
    if (file.Frames.empty()) throw core::Error("The GIF file holds no image.");
    return file;
}

std::unique_ptr<GifPicture> ReadGif(std::string_view bytes) {
    auto picture = std::make_unique<GifPicture>(ParseGif(bytes));
    picture->FrameIndexes(0);  // a damaged first frame is reported at load
    return picture;
}

std::string WriteGif(const GifFile& file) {
    if (file.Frames.empty()) throw core::Error("A GIF picture without frames cannot be written.");
    std::string version = file.Comments.empty() ? file.Version : "89a";
    if (version != "87a" && version != "89a")
        throw core::Error(core::Format("Unknown GIF version \"%s\".", version));
    CheckUint16(file.ScreenWidth, "screen width");
    CheckUint16(file.ScreenHeight, "screen height");

    GifWriteContext out;
    out.Bytes("GIF");
    out.Bytes(version);
    out.U16(file.ScreenWidth);
    out.U16(file.ScreenHeight);
    int globalBits = file.GlobalColourTable ? TableSizeBits(*file.GlobalColourTable) : 0;
    uint8_t flags = uint8_t((file.ColourResolution & 7) << 4);
    if (file.GlobalColourTable)
        flags |= uint8_t(0x80 | (file.GlobalTableSorted ? 0x08 : 0) | globalBits);
    out.U8(flags);
    out.U8(file.BackgroundIndex);
    out.U8(file.AspectRatio);
    if (file.GlobalColourTable) out.ColourTable(*file.GlobalColourTable, globalBits);

    if (file.Frames.size() > 1 && file.LoopCount) {
        out.U8(kExtensionIntroducer);
        out.U8(kApplicationLabel);
        out.U8(uint8_t(kNetscapeId.size()));
        out.Bytes(kNetscapeId);
        out.U8(3);
        out.U8(1);
        out.U16(*file.LoopCount);
        out.U8(0);
    }

    for (const GifFrame& frame : file.Frames) {
        for (const GifExtension& ext : frame.Extensions) WriteExtension(out, ext);
        CheckUint16(frame.Left, "frame position");
        CheckUint16(frame.Top, "frame position");
        CheckUint16(frame.Width, "frame size");
        CheckUint16(frame.Height, "frame size");
        CheckSubBlocks(frame.ImageData);
        out.U8(kImageSeparator);
        out.U16(frame.Left);
        out.U16(frame.Top);
        out.U16(frame.Width);
        out.U16(frame.Height);
        int localBits = frame.LocalColourTable ? TableSizeBits(*frame.LocalColourTable) : 0;
        uint8_t frameFlags = frame.Interlaced ? 0x40 : 0;
        if (frame.LocalColourTable)
            frameFlags |= uint8_t(0x80 | (frame.LocalTableSorted ? 0x20 : 0) | localBits);
        out.U8(frameFlags);
        if (frame.LocalColourTable) out.ColourTable(*frame.LocalColourTable, localBits);
        out.U8(frame.LzwMinCodeSize);
        out.Bytes(frame.ImageData);
        out.U8(0);
    }

    if (!file.Comments.empty()) {
        out.U8(kExtensionIntroducer);
        out.U8(kCommentLabel);
        out.DataAsSubBlocks(core::JoinLines(file.Comments));
    }
    out.U8(kTrailer);
    return out.Take();
}

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

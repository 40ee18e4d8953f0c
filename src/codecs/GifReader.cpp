#include <algorithm>
#include <cstring>
#include <iterator>

#include "codecs/GifFile.h"
#include "codecs/GifLzw.h"
#include "codecs/GifPicture.h"
#include "core/Error.h"
#include "core/StringList.h"

namespace codecs {

namespace {

using namespace gif;

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

}  // namespace

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

}  // namespace codecs

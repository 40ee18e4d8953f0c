#include <algorithm>
#include <string>

#include "codecs/GifFile.h"
#include "core/Error.h"
#include "core/StringList.h"

namespace codecs {

namespace {

using namespace gif;

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

}  // namespace

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

}  // namespace codecs

#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "raster/Bitmap.h"

namespace codecs {

// A colour table of 2, 4, ..., 256 entries (0x00RRGGBB).
using GifColourTable = std::vector<raster::Rgb>;

// The graphic control extension that precedes a frame.
struct GifGraphicControl {
    uint8_t Disposal = 0;  // 0 to 7
    bool UserInput = false;
    bool Transparent = false;
    uint8_t TransparentIndex = 0;
    uint16_t Delay = 0;  // hundredths of a second

    bool operator==(const GifGraphicControl&) const = default;
};

// Any other extension (application data, plain text, unknown labels), kept as read:
// its label and its sub-blocks (each 1 to 255 bytes).
struct GifRawExtension {
    uint8_t Label = 0;
    std::vector<std::string> Blocks;

    bool operator==(const GifRawExtension&) const = default;
};

using GifExtension = std::variant<GifGraphicControl, GifRawExtension>;

struct GifFrame {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
    std::optional<GifColourTable> LocalColourTable;
    bool LocalTableSorted = false;
    bool Interlaced = false;
    uint8_t LzwMinCodeSize = 8;
    // The compressed image data as in the file: sub-blocks, each a length byte and its
    // bytes, without the block terminator. Written back unchanged.
    std::string ImageData;
    // The extensions read before this frame's image descriptor, in file order.
    std::vector<GifExtension> Extensions;

    // The frame's graphic control (the last one when there are several), or null.
    const GifGraphicControl* GraphicControl() const;

    bool operator==(const GifFrame&) const = default;
};

// The parts of a GIF file. Comments are held as lines: every comment extension read
// adds its lines, and the writer stores them all as one comment extension.
struct GifFile {
    std::string Version = "89a";  // "87a" or "89a"
    int ScreenWidth = 0;
    int ScreenHeight = 0;
    std::optional<GifColourTable> GlobalColourTable;
    uint8_t ColourResolution = 7;  // bits per primary colour minus one, as in the file
    bool GlobalTableSorted = false;
    uint8_t BackgroundIndex = 0;
    uint8_t AspectRatio = 0;
    std::optional<uint16_t> LoopCount;  // from a NETSCAPE2.0 extension; 0 = for ever
    std::vector<std::string> Comments;
    std::vector<GifFrame> Frames;

    bool operator==(const GifFile&) const = default;
};

// Parses the file's blocks without decoding any image data.
GifFile ParseGif(std::string_view bytes);

// Writes a GIF file from its parts: header (version "89a" when there are comments),
// logical screen and global table, the NETSCAPE2.0 loop extension when there is more
// than one frame and a loop count, each frame's extensions, descriptor, local table and
// image data as read, the comments as one extension, the trailer.
std::string WriteGif(const GifFile& file);

// The most frames, extensions, and extension sub-blocks plus comment lines one file may
// hold; each costs memory beyond its bytes in the file.
constexpr size_t kMaxGifFrames = 65536;
constexpr size_t kMaxGifExtensions = 262144;
constexpr size_t kMaxGifExtensionPieces = size_t(1) << 20;

// The block introducers and labels of the format, which the reader and writer share.
namespace gif {
constexpr uint8_t kExtensionIntroducer = 0x21;  // '!'
constexpr uint8_t kImageSeparator = 0x2C;       // ','
constexpr uint8_t kTrailer = 0x3B;              // ';'
constexpr uint8_t kGraphicControlLabel = 0xF9;
constexpr uint8_t kCommentLabel = 0xFE;
constexpr uint8_t kApplicationLabel = 0xFF;
constexpr std::string_view kNetscapeId = "NETSCAPE2.0";
}  // namespace gif

}  // namespace codecs

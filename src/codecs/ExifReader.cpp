#include "codecs/ExifReader.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace codecs {

namespace {

constexpr std::string_view kExifHeader{"Exif\0\0", 6};
constexpr uint16_t kOrientationTag = 0x0112;
constexpr uint16_t kTypeShort = 3;
constexpr uint16_t kTypeLong = 4;
constexpr size_t kIfdEntrySize = 12;
// Cameras write a few dozen entries into the first directory; this many is damage, and
// the scan stops there even when the segment would hold more.
constexpr size_t kMaxIfdEntries = 512;

// Reads of the TIFF structure in its byte order. Callers check every offset first.
class TiffData {
public:
    TiffData(std::string_view bytes, bool littleEndian)
        : m_bytes(bytes), m_littleEndian(littleEndian) {}

    size_t Size() const { return m_bytes.size(); }
    uint16_t U16(size_t at) const {
        const uint16_t a = Byte(at), b = Byte(at + 1);
        return m_littleEndian ? uint16_t(a | (b << 8)) : uint16_t((a << 8) | b);
    }
    uint32_t U32(size_t at) const {
        const uint32_t a = U16(at), b = U16(at + 2);
        return m_littleEndian ? a | (b << 16) : (a << 16) | b;
    }

private:
    uint8_t Byte(size_t at) const { return static_cast<uint8_t>(m_bytes[at]); }

    std::string_view m_bytes;
    bool m_littleEndian;
};

Orientation OrientationOf(uint32_t value) {
    if (value < 1 || value > 8) return Orientation::Upright;
    return static_cast<Orientation>(value);
}

uint8_t ByteAt(std::string_view bytes, size_t at) {
    return static_cast<uint8_t>(bytes[at]);
}

}  // namespace

Orientation ReadExifOrientation(std::string_view exif) {
    if (exif.substr(0, kExifHeader.size()) != kExifHeader) return Orientation::Upright;
    const std::string_view tiff = exif.substr(kExifHeader.size());
    // Byte order, the number 42 and the offset of the first directory.
    if (tiff.size() < 8) return Orientation::Upright;
    const std::string_view order = tiff.substr(0, 2);
    if (order != "II" && order != "MM") return Orientation::Upright;
    const TiffData data(tiff, order == "II");
    if (data.U16(2) != 42) return Orientation::Upright;
    const uint32_t directory = data.U32(4);
    if (directory < 8 || directory > data.Size() - 2) return Orientation::Upright;

    // Only the first directory: the tag lives there, so no other directory is followed.
    const size_t first = size_t(directory) + 2;
    const size_t entries = std::min<size_t>(
        {data.U16(directory), (data.Size() - first) / kIfdEntrySize, kMaxIfdEntries});
    for (size_t i = 0; i < entries; ++i) {
        const size_t entry = first + i * kIfdEntrySize;
        if (data.U16(entry) != kOrientationTag) continue;
        const uint16_t type = data.U16(entry + 2);
        if (data.U32(entry + 4) != 1) return Orientation::Upright;
        // A single value sits in the entry itself. The standard type is SHORT; a few
        // writers use LONG.
        if (type == kTypeShort) return OrientationOf(data.U16(entry + 8));
        if (type == kTypeLong) return OrientationOf(data.U32(entry + 8));
        return Orientation::Upright;
    }
    return Orientation::Upright;
}

Orientation ReadJpegOrientation(std::string_view jpeg) {
    if (jpeg.size() < 2 || ByteAt(jpeg, 0) != 0xFF || ByteAt(jpeg, 1) != 0xD8)
        return Orientation::Upright;
    // Every turn of the loop moves forward by at least one byte.
    size_t at = 2;
    while (at + 2 <= jpeg.size()) {
        // Stray bytes before a marker and fill bytes are skipped, as libjpeg skips them.
        if (ByteAt(jpeg, at) != 0xFF || ByteAt(jpeg, at + 1) == 0xFF) {
            ++at;
            continue;
        }
        const uint8_t marker = ByteAt(jpeg, at + 1);
        at += 2;
        // SOI again, TEM and the restart markers stand alone.
        if (marker == 0xD8 || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) continue;
        // The tag comes before the first scan; the end of the file ends the search too.
        if (marker == 0xDA || marker == 0xD9 || marker == 0x00) return Orientation::Upright;
        if (at + 2 > jpeg.size()) return Orientation::Upright;
        const size_t length = (size_t(ByteAt(jpeg, at)) << 8) | ByteAt(jpeg, at + 1);
        if (length < 2 || length > jpeg.size() - at) return Orientation::Upright;
        const std::string_view contents = jpeg.substr(at + 2, length - 2);
        if (marker == 0xE1 && contents.substr(0, kExifHeader.size()) == kExifHeader)
            return ReadExifOrientation(contents);
        at += length;
    }
    return Orientation::Upright;
}

}  // namespace codecs

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

#include "codecs/BmpPicture.h"
#include "core/Error.h"

namespace codecs {

namespace {

constexpr uint32_t kBiRgb = 0;
constexpr uint32_t kBiBitfields = 3;
constexpr uint32_t kFileHeaderSize = 14;
constexpr uint32_t kInfoHeaderSize = 40;
constexpr int32_t kPixelsPerMetre = 2835;  // 72 dots per inch

void Put16(std::string& out, uint32_t v) {
    out.push_back(char(v & 0xFF));
    out.push_back(char((v >> 8) & 0xFF));
}

void Put32(std::string& out, uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

}  // namespace

namespace {

// Everything before the pixel rows: file header, info header, masks and colour table.
std::string BmpHeader(const raster::Bitmap& bitmap) {
    if (bitmap.Empty()) throw core::Error("An empty picture cannot be saved as a bitmap file.");
    const uint32_t bpp = uint32_t(bitmap.Bpp());
    const bool masks = bitmap.Format() == raster::PixelFormat::Bits16;
    const uint32_t colours = uint32_t(bitmap.Palette().size());
    const uint32_t stride = uint32_t(bitmap.Stride());
    const uint32_t height = uint32_t(bitmap.Height());
    // At most raster::Bitmap::kMaxPixels pixels of 4 bytes, so every size fits 32 bits.
    const uint32_t imageSize = stride * height;
    const uint32_t dataOffset = kFileHeaderSize + kInfoHeaderSize + (masks ? 12 : 0) + 4 * colours;

    std::string out;
    out += "BM";
    Put32(out, dataOffset + imageSize);
    Put32(out, 0);  // reserved
    Put32(out, dataOffset);

    Put32(out, kInfoHeaderSize);
    Put32(out, uint32_t(bitmap.Width()));
    Put32(out, height);  // positive: rows bottom-up
    Put16(out, 1);       // planes
    Put16(out, bpp);
    Put32(out, masks ? kBiBitfields : kBiRgb);
    Put32(out, imageSize);
    Put32(out, kPixelsPerMetre);
    Put32(out, kPixelsPerMetre);
    Put32(out, colours);
    Put32(out, 0);  // all colours important
    if (masks) {
        Put32(out, 0xF800);
        Put32(out, 0x07E0);
        Put32(out, 0x001F);
    }
    for (raster::Rgb c : bitmap.Palette()) Put32(out, c & 0xFFFFFF);  // B, G, R, 0
    return out;
}

// Writes all of `size` bytes; answers errno on failure, 0 on success.
int WriteAll(int fd, const void* data, size_t size) {
    const auto* p = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = ::write(fd, p, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        p += n;
        size -= size_t(n);
    }
    return 0;
}

}  // namespace

std::string WriteBmp(const raster::Bitmap& bitmap) {
    std::string out = BmpHeader(bitmap);
    out.reserve(out.size() + bitmap.Stride() * size_t(bitmap.Height()));
    for (int y = bitmap.Height() - 1; y >= 0; --y)
        out.append(reinterpret_cast<const char*>(bitmap.Scanline(y)), bitmap.Stride());
    return out;
}

void WriteBmpFile(const std::string& path, const raster::Bitmap& bitmap) {
    const std::string header = BmpHeader(bitmap);
    std::string tmp = path + ".tmp-XXXXXX";
    const int fd = ::mkstemp(tmp.data());
    if (fd < 0)
        throw core::FileError("Cannot create file \"" + path + "\". " + std::strerror(errno) + ".");
    int err = WriteAll(fd, header.data(), header.size());
    for (int y = bitmap.Height() - 1; y >= 0 && err == 0; --y)
        err = WriteAll(fd, bitmap.Scanline(y), bitmap.Stride());
    if (err == 0 && ::fsync(fd) != 0) err = errno;
    if (err == 0) {
        // mkstemp makes the file 0600; give it the permissions an ordinary new file gets.
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ::fchmod(fd, 0666 & ~mask);
    }
    if (::close(fd) != 0 && err == 0) err = errno;
    if (err == 0 && ::rename(tmp.c_str(), path.c_str()) != 0) err = errno;
    if (err != 0) {
        ::unlink(tmp.c_str());
        throw core::FileError("Cannot write file \"" + path + "\". " + std::strerror(err) + ".");
    }
}

}  // namespace codecs

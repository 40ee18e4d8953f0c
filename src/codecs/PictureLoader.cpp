#include <algorithm>

#include "codecs/BmpPicture.h"
#include "codecs/GifPicture.h"
#include "codecs/JpegPicture.h"
#include "codecs/Picture.h"
#include "core/Error.h"
#include "core/StringList.h"

namespace codecs {

void Picture::AssignTo(raster::Bitmap& target) {
    raster::PixelFormat format = target.Format();
    if (target.Empty() && format != raster::PixelFormat::Bits32)
        format = raster::PixelFormat::Bits24;
    if (format != raster::PixelFormat::Bits32 && format != raster::PixelFormat::Bits24)
        format = raster::PixelFormat::Bits24;
    target = raster::Bitmap(Width(), Height(), format);
    Draw(target, core::Rect::FromSize(0, 0, Width(), Height()));
}

namespace {

std::string LowerExtension(std::string_view path) {
    size_t dot = path.find_last_of('.');
    size_t slash = path.find_last_of('/');
    if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash))
        return {};
    std::string ext(path.substr(dot + 1));
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return char(c >= 'A' && c <= 'Z' ? c + 32 : c); });
    return ext;
}

bool IsLoaderExtension(std::string_view lowerExtension) {
    return std::find(kPictureExtensions.begin(), kPictureExtensions.end(), lowerExtension) !=
           kPictureExtensions.end();
}

}  // namespace

bool IsPictureExtension(std::string_view name) {
    const size_t dot = name.find_last_of('.');
    if (dot == std::string_view::npos) return false;
    const std::string_view extension = name.substr(dot + 1);
    const bool lower = std::none_of(extension.begin(), extension.end(),
                                    [](char c) { return c >= 'A' && c <= 'Z'; });
    const bool upper = std::none_of(extension.begin(), extension.end(),
                                    [](char c) { return c >= 'a' && c <= 'z'; });
    return (lower || upper) && IsLoaderExtension(LowerExtension(name.substr(dot)));
}

std::unique_ptr<Picture> LoadPictureFromBytes(std::string_view extension, std::string bytes) {
    // Built up in two steps: "." + std::string(...) draws a false -Wrestrict from GCC 12 at -O3.
    std::string dotted = ".";
    dotted += extension;
    std::string ext = LowerExtension(dotted);
    if (ext == "bmp") return ReadBmp(bytes);
    if (ext == "jpg" || ext == "jpeg") return ReadJpeg(std::move(bytes));
    if (ext == "gif") return ReadGif(bytes);
    throw core::Error(core::Format("Unknown picture file extension (.%s)", ext));
}

std::unique_ptr<Picture> LoadPicture(const std::string& path) {
    std::string ext = LowerExtension(path);
    // The extension is checked before the file is touched, as the loader's table decides.
    if (!IsLoaderExtension(ext))
        throw core::Error(core::Format("Unknown picture file extension (.%s)", ext));
    return LoadPictureFromBytes(ext, core::ReadFileBytes(path, kMaxPictureFileBytes));
}

}  // namespace codecs

#include "pack/BlockFormat.h"

namespace pack {

std::string_view ExtensionOf(std::string_view path) {
    size_t dot = path.find_last_of('.');
    size_t slash = path.find_last_of('/');
    if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash))
        return {};
    return path.substr(dot + 1);
}

BlockFormat BlockFormatOf(std::string_view path) {
    // Packed shows made elsewhere store only these exact spellings, so a reader decides
    // from the same table and both sides agree on which blocks hold pictures.
    std::string_view ext = ExtensionOf(path);
    if (ext.empty()) return BlockFormat::None;
    if (ext == "bmp" || ext == "BMP") return BlockFormat::Bmp;
    if (ext == "gif" || ext == "GIF") return BlockFormat::Gif;
    if (ext == "jpg" || ext == "JPG" || ext == "jpeg" || ext == "JPEG") return BlockFormat::Jpeg;
    return BlockFormat::None;
}

}  // namespace pack

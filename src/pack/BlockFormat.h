#pragma once

#include <string_view>

namespace pack {

// How a picture (or the background) is stored in a packed show, chosen by its path's
// extension compared exactly: ".bmp"/".BMP", ".gif"/".GIF", ".jpg"/".JPG"/".jpeg"/".JPEG".
// Any other extension (".Jpg", ".png", none) stores nothing: a block of 0 bytes.
enum class BlockFormat { None, Bmp, Gif, Jpeg };

BlockFormat BlockFormatOf(std::string_view path);

// The path's extension without the dot, as written ("" when it has none).
std::string_view ExtensionOf(std::string_view path);

}  // namespace pack

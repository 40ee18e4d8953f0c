#pragma once

#include <array>
#include <memory>
#include <string>
#include <string_view>

#include "core/Geometry.h"
#include "raster/Bitmap.h"

namespace codecs {

enum class PictureKind { Bitmap, Jpeg, Gif };

// A drawable picture loaded from a file: a width, a height, a draw operation that
// stretches it into a rectangle, and a writer in its own file format.
class Picture {
public:
    virtual ~Picture() = default;

    virtual PictureKind Kind() const = 0;
    virtual int Width() const = 0;
    virtual int Height() const = 0;

    // Draws the picture stretched into `rect` of `target`, in the target's format.
    // Transparent pixels (GIF) leave the target as it was. Not const: a JPEG picture
    // decodes itself on its first draw.
    virtual void Draw(raster::Bitmap& target, const core::Rect& rect) = 0;

    // The picture in its own file format (a BMP file, the JPEG bytes as read, a GIF file).
    virtual std::string Save() const = 0;

    // Makes `target` a bitmap of the picture's size holding the picture drawn at full
    // size. The target keeps its format when it has one of true colour; otherwise 24 bits.
    void AssignTo(raster::Bitmap& target);
};

// The file extensions the loader reads, in lower case without the dot. The file pane's
// default mask lists them in this order.
inline constexpr std::array<std::string_view, 4> kPictureExtensions = {"bmp", "jpg", "jpeg", "gif"};

// True when the text after the name's last "." is one of the loader's extensions written all
// in lower or all in upper case (".jpg", ".JPG"). The editor adds and previews only these
// spellings, as it always has, so a show never holds a mixed-case name such as "a.Jpg".
bool IsPictureExtension(std::string_view name);

// Loads a picture, choosing its kind by the path's extension (lower-cased, without the
// dot). Throws core::Error with "Unknown picture file extension (.%s)" for an extension
// it does not know, core::FileError when the file cannot be read, and the codec's
// core::Error when the data is damaged.
std::unique_ptr<Picture> LoadPicture(const std::string& path);

// The same from bytes already in memory; `extension` as in a file name, without the dot.
std::unique_ptr<Picture> LoadPictureFromBytes(std::string_view extension, std::string bytes);

// The largest picture file we read into memory.
constexpr size_t kMaxPictureFileBytes = size_t(1) << 30;

}  // namespace codecs

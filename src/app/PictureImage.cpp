#include "app/PictureImage.h"

#include <cstring>

#include "codecs/Picture.h"
#include "raster/Bitmap.h"

namespace app {

QImage ImageOfPicture(codecs::Picture& picture) {
    raster::Bitmap bitmap(0, 0, raster::PixelFormat::Bits32);
    picture.AssignTo(bitmap);
    // Bits32 rows are B,G,R,x bytes: Qt's RGB32 on a little-endian machine.
    QImage image(bitmap.Width(), bitmap.Height(), QImage::Format_RGB32);
    const size_t rowBytes = size_t(bitmap.Width()) * 4;
    for (int y = 0; y < bitmap.Height(); ++y)
        std::memcpy(image.scanLine(y), bitmap.Bits() + size_t(y) * bitmap.Stride(), rowBytes);
    return image;
}

}  // namespace app

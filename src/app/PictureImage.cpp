#include "app/PictureImage.h"

#include <cstdint>

#include "codecs/Picture.h"
#include "raster/Bitmap.h"

namespace app {

QImage ImageOfPicture(codecs::Picture& picture) {
    raster::Bitmap bitmap(0, 0, raster::PixelFormat::Bits32);
    picture.AssignTo(bitmap);
    // Bits32 rows are B,G,R,x bytes: Qt's RGB32 on a little-endian machine, once the
    // unused byte is 0xFF as Qt requires (smooth scaling reads it as alpha).
    QImage image(bitmap.Width(), bitmap.Height(), QImage::Format_RGB32);
    for (int y = 0; y < bitmap.Height(); ++y) {
        const auto* in =
            reinterpret_cast<const uint32_t*>(bitmap.Bits() + size_t(y) * bitmap.Stride());
        auto* out = reinterpret_cast<uint32_t*>(image.scanLine(y));
        for (int x = 0; x < bitmap.Width(); ++x) out[x] = in[x] | 0xFF000000u;
    }
    return image;
}

}  // namespace app

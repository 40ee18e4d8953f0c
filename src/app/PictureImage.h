#pragma once

#include <QImage>

namespace codecs {
class Picture;
}

namespace app {

// The picture drawn at its size into a 32-bit image (a JPEG picture decodes at its
// current scale). Throws core::Error for damaged data or a size beyond the bitmap limit.
QImage ImageOfPicture(codecs::Picture& picture);

}  // namespace app

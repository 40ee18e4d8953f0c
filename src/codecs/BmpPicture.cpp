#include "codecs/BmpPicture.h"

#include "raster/StretchDraw.h"

namespace codecs {

void BmpPicture::Draw(raster::Bitmap& target, const core::Rect& rect) {
    raster::StretchDraw(target, rect, m_bitmap);
}

std::string BmpPicture::Save() const {
    return WriteBmp(m_bitmap);
}

}  // namespace codecs

#include "codecs/BmpPicture.h"

#include "core/Error.h"
#include "raster/StretchDraw.h"

namespace codecs {

void BmpPicture::Draw(raster::Bitmap& target, const core::Rect& rect) {
    raster::StretchDraw(target, rect, m_bitmap);
}

std::string BmpPicture::Save() const { return WriteBmp(m_bitmap); }

std::unique_ptr<BmpPicture> ReadBmp(std::string_view) { throw core::Error("BMP reader not built yet."); }
std::string WriteBmp(const raster::Bitmap&) { throw core::Error("BMP writer not built yet."); }

}  // namespace codecs

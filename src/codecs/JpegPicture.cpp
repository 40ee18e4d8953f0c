#include "codecs/JpegPicture.h"

#include "core/Error.h"

namespace codecs {

std::unique_ptr<JpegPicture> ReadJpeg(std::string) { throw core::Error("JPEG reader not built yet."); }

}  // namespace codecs

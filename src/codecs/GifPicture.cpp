#include "codecs/GifPicture.h"

#include "core/Error.h"

namespace codecs {

std::unique_ptr<GifPicture> ReadGif(std::string_view) { throw core::Error("GIF reader not built yet."); }

}  // namespace codecs

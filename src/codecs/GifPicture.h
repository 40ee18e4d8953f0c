#pragma once

#include <memory>
#include <string_view>

#include "codecs/Picture.h"

namespace codecs {

// Placeholder until the GIF codec lands.
class GifPicture : public Picture {
public:
    PictureKind Kind() const override { return PictureKind::Gif; }
};

std::unique_ptr<GifPicture> ReadGif(std::string_view bytes);

}  // namespace codecs

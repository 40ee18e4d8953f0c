#pragma once

#include <memory>
#include <string>

#include "codecs/Picture.h"

namespace codecs {

// Placeholder until the JPEG codec lands.
class JpegPicture : public Picture {
public:
    PictureKind Kind() const override { return PictureKind::Jpeg; }
};

std::unique_ptr<JpegPicture> ReadJpeg(std::string bytes);

}  // namespace codecs

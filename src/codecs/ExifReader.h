#pragma once

#include <string_view>

#include "codecs/Orientation.h"

namespace codecs {

// The orientation tag of a JPEG file's Exif segment (APP1 "Exif"), read from the
// segments before the first scan. Anything missing, damaged or out of range counts as
// Upright: the tag only ever changes how a picture is shown, never whether it loads.
// Every read is checked against the data; nothing is allocated.
Orientation ReadJpegOrientation(std::string_view jpeg);

// The same from an Exif segment's contents: "Exif\0\0" and a TIFF structure.
Orientation ReadExifOrientation(std::string_view exif);

}  // namespace codecs

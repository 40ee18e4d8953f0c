#pragma once

#include "raster/Bitmap.h"

namespace player {

// Black or white, whichever contrasts more with the caption bar's colour (the contrast ratio
// of relative luminances), so the caption stays readable on navy as on yellow.
raster::Rgb CaptionTextColour(raster::Rgb bar);

}  // namespace player

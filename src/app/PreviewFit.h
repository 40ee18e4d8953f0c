#pragma once

#include "core/Geometry.h"

namespace app {

// Where the preview image goes inside the preview panel: the picture's aspect ratio kept,
// the image as large as fits with a margin of at least 5 pixels on each side, centred.
// Coordinates are the panel's. Rounding is to the nearest integer, ties to even. An empty
// rectangle when the picture or the panel has no area.
core::Rect FitPreview(int pictureWidth, int pictureHeight, int panelWidth, int panelHeight);

}  // namespace app

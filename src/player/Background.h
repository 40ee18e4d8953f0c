#pragma once

#include <string_view>

#include "core/Geometry.h"
#include "raster/Bitmap.h"

namespace player {

// The colours of a "Color" background: one plain colour when both halves of the pair are
// the same text, else a vertical gradient from Top to Bottom.
struct BackgroundColours {
    bool Plain = true;
    raster::Rgb Top = 0;
    raster::Rgb Bottom = 0;
};

// Reads the background data slot's colour pair ("$00281800_$00281800", "$00D5E7EA_clWhite").
// Throws core::Error naming the text when a half is not a colour.
BackgroundColours ParseBackgroundColours(std::string_view pair);

// Paints the whole of `target` with 256 horizontal bands from `top` to `bottom`; band i
// covers rows MulDiv(i, height, 256) up to MulDiv(i + 1, height, 256).
void PaintGradient(raster::Bitmap& target, raster::Rgb top, raster::Rgb bottom);

// How the background picture is placed. A new player tiles; "Tile" sets only the tiled
// flag, and tiling wins over the other two when drawing.
struct BackgroundPlacement {
    bool Tiled = true;
    bool Centred = false;
    bool Stretched = false;

    bool operator==(const BackgroundPlacement&) const = default;

    // The placement slot's effect; any other text leaves the flags as they are.
    void Apply(std::string_view placementSlot);
};

// Where a picture of pw x ph goes in a cw x ch control when it is not tiled: the whole
// control when stretched, else its own size centred (offsets truncated toward zero,
// negative when the picture is larger) or at the top-left corner.
core::Rect BackgroundRect(int cw, int ch, int pw, int ph, const BackgroundPlacement& placement);

// Draws `picture` into `target` (the background control's size) as placed: tiled from the
// top-left corner, stretched over the whole target, centred at its own size (offsets
// truncated toward zero, negative when the picture is larger), or at its own size at the
// top-left corner. Pixels the picture does not cover are left alone; a picture with no
// pixels draws nothing.
void DrawBackground(raster::Bitmap& target, const raster::Bitmap& picture,
                    const BackgroundPlacement& placement);

}  // namespace player

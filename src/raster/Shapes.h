#pragma once

#include <span>

#include "core/Geometry.h"
#include "raster/Bitmap.h"

namespace raster {

// Filled shapes and lines with the pixels GDI gives them, drawn in `colour` (0x00RRGGBB,
// stored as SetPixel stores it: in a black and white mask 0xFFFFFF sets bits and 0 clears
// them). Shapes are clipped to the bitmap without changing which pixels they cover.
// Lines and polygons with a coordinate beyond GDI's 28-bit range (+-2^27), and ellipses
// wider or higher than 2^19, draw nothing.

// FillRect: the pixels of `rect`, right and bottom edges excluded; an empty or inverted
// rectangle draws nothing. (Rectangle with a pen and brush of one colour covers the same
// pixels once its corners are put in order.)
void FillRect(Bitmap& dst, const core::Rect& rect, Rgb colour);

// Ellipse with a pen of width 1 and a brush of the same colour: the ellipse inscribed in
// `box` (corners in any order), which covers at most the box minus its right column and
// bottom row. Boxes 2 pixels wide or high or less are drawn as rectangles, except that a
// 1 x 1 box draws nothing.
void FillEllipse(Bitmap& dst, const core::Rect& box, Rgb colour);

// Polygon's fill modes.
enum class FillMode { Alternate, Winding };

// Polygon with a pen of width 1 and a brush of the same colour: the interior by `mode`
// and the closed outline.
void FillPolygon(Bitmap& dst, std::span<const core::Point> points, Rgb colour,
                 FillMode mode = FillMode::Alternate);

// MoveTo(from) then LineTo(to) with a pen of width 1: the end point is not drawn.
void DrawLine(Bitmap& dst, core::Point from, core::Point to, Rgb colour);

}  // namespace raster

#pragma once

// The upright picture of a bitmap stored in an Exif orientation, pixel by pixel: the
// slow, obvious version the fast passes are checked against.
#include "codecs/Orientation.h"
#include "raster/Bitmap.h"

namespace codecs {

inline raster::Bitmap UprightReference(const raster::Bitmap& stored, Orientation orientation) {
    const int w = stored.Width(), h = stored.Height();
    const bool swap = SwapsAxes(orientation);
    raster::Bitmap upright(swap ? h : w, swap ? w : h, stored.Format());
    upright.Palette() = stored.Palette();
    for (int y = 0; y < upright.Height(); ++y)
        for (int x = 0; x < upright.Width(); ++x) {
            // Where the upright pixel (x, y) is stored.
            int sx = x, sy = y;
            switch (orientation) {
                case Orientation::Upright:
                    break;
                case Orientation::MirrorHorizontal:
                    sx = w - 1 - x;
                    break;
                case Orientation::Rotate180:
                    sx = w - 1 - x, sy = h - 1 - y;
                    break;
                case Orientation::MirrorVertical:
                    sy = h - 1 - y;
                    break;
                case Orientation::Transpose:
                    sx = y, sy = x;
                    break;
                case Orientation::Rotate90:
                    sx = y, sy = h - 1 - x;
                    break;
                case Orientation::Transverse:
                    sx = w - 1 - y, sy = h - 1 - x;
                    break;
                case Orientation::Rotate270:
                    sx = w - 1 - y, sy = x;
                    break;
            }
            upright.SetIndex(x, y, stored.GetIndex(sx, sy));
        }
    return upright;
}

}  // namespace codecs

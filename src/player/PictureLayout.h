#pragma once

#include <optional>
#include <string_view>

#include "core/Geometry.h"

namespace player {

// Where the player puts a picture on the screen, and its drop shadow.
struct PictureLayout {
    core::Rect Picture;
    core::Rect Shadow;  // the picture's size, 10 pixels right and down
};

// The size slot as a percentage of the screen, or nothing for "No" (own size). Hand-edited
// settings may hold anything: a text that is not a whole number keeps the own size, and a
// number is held to 1 .. 1000 so the sizes stay far inside int range.
std::optional<int> PictureSizePercent(std::string_view sizeSlot);

// Sizes a width x height picture for a screenW x screenH screen (own size without a
// percentage, else fitted to percent of the screen plus 3 pixels, halves to even) and
// centres it. A picture with no pixels keeps its own (empty) size.
PictureLayout LayOutPicture(int width, int height, int screenW, int screenH,
                            std::optional<int> percent);

}  // namespace player

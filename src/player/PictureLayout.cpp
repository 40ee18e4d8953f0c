#include "player/PictureLayout.h"

#include <algorithm>
#include <cstdint>

#include "settings/ShowSettings.h"

namespace player {
namespace {

// num / den rounded to the nearest whole number, halves to the even neighbour, computed
// exactly (den > 0), so sizes do not depend on how a decimal percentage rounds in binary.
int64_t DivideHalfEven(int64_t num, int64_t den) {
    int64_t q = num / den;
    int64_t r = num % den;
    if (r < 0) {
        q -= 1;
        r += den;
    }
    if (2 * r > den || (2 * r == den && (q & 1) != 0)) q += 1;
    return q;
}

}  // namespace

std::optional<int> PictureSizePercent(std::string_view sizeSlot) {
    if (sizeSlot == settings::kNo) return std::nullopt;
    std::optional<int> value = settings::ParseWholeNumber(sizeSlot);
    if (!value) return std::nullopt;
    return std::clamp(*value, 1, 1000);
}

PictureLayout LayOutPicture(int width, int height, int screenW, int screenH,
                            std::optional<int> percent) {
    int64_t w = width;
    int64_t h = height;
    if (percent && width > 0 && height > 0) {
        // W / H > SW / SH, compared exactly by cross-multiplying.
        if (int64_t(width) * screenH > int64_t(screenW) * height) {
            w = DivideHalfEven(int64_t(screenW) * *percent, 100) + 3;
            h = DivideHalfEven(w * height, width);
        } else {
            h = DivideHalfEven(int64_t(screenH) * *percent, 100) + 3;
            w = DivideHalfEven(h * width, height);
        }
    }
    int left = int(DivideHalfEven(screenW - w, 2));
    int top = int(DivideHalfEven(screenH - h, 2));
    PictureLayout layout;
    layout.Picture = core::Rect::FromSize(left, top, int(w), int(h));
    layout.Shadow = core::Rect::FromSize(left + 10, top + 10, int(w), int(h));
    return layout;
}

}  // namespace player

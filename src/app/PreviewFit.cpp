#include "app/PreviewFit.h"

#include <algorithm>

#include "core/Rounding.h"

namespace app {

core::Rect FitPreview(int pictureWidth, int pictureHeight, int panelWidth, int panelHeight) {
    // A zero height would divide by zero; a panel smaller than its margins has no
    // room.
    if (pictureWidth <= 0 || pictureHeight <= 0 || panelWidth <= 0 || panelHeight <= 0) return {};
    const double a = double(pictureWidth) / double(pictureHeight);
    const double b = double(panelWidth) / double(panelHeight);
    int width = 0;
    int height = 0;
    if (a > b) {
        width = std::max(panelWidth - 10, 0);
        height = int(core::RoundHalfEven(width / a));
    } else {
        height = std::max(panelHeight - 10, 0);
        width = int(core::RoundHalfEven(height * a));
    }
    const int left = int(core::RoundHalfEven((panelWidth - width) / 2.0));
    const int top = int(core::RoundHalfEven((panelHeight - height) / 2.0));
    return core::Rect::FromSize(left, top, width, height);
}

}  // namespace app

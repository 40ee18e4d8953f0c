#pragma once

#include <algorithm>

namespace core {

struct Point {
    int X = 0;
    int Y = 0;
    bool operator==(const Point&) const = default;
};

// A rectangle with the right and bottom edges exclusive, as the platform has them.
struct Rect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;

    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
    bool operator==(const Rect&) const = default;

    static Rect FromSize(int left, int top, int width, int height) {
        return {left, top, left + width, top + height};
    }
    Rect Intersected(const Rect& o) const {
        Rect r{std::max(Left, o.Left), std::max(Top, o.Top), std::min(Right, o.Right),
               std::min(Bottom, o.Bottom)};
        return r.IsEmpty() ? Rect{} : r;
    }
};

}  // namespace core

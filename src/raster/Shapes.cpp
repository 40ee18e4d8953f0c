#include "raster/Shapes.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "raster/PixelRows.h"

namespace raster {

namespace {

// GDI's device coordinates have 28 bits; lines and polygons reaching beyond them draw
// nothing, which also keeps every product below in 64 bits.
constexpr long long kCoordinateLimit = 1LL << 27;
bool InRange(long long v) {
    return v >= -kCoordinateLimit && v < kCoordinateLimit;
}

// Ellipses are traced in 64-bit error terms of the order of width * height squared.
constexpr long long kEllipseLimit = 1LL << 19;

// Floor and ceiling of num / den for den > 0.
long long FloorDiv(long long num, long long den) {
    long long q = num / den;
    if (num % den != 0 && num < 0) --q;
    return q;
}
long long CeilDiv(long long num, long long den) {
    long long q = num / den;
    if (num % den != 0 && num > 0) ++q;
    return q;
}

// Sets pixels x0 .. x1 - 1 of row y, clipped to the bitmap.
void Span(Bitmap& dst, long long y, long long x0, long long x1, uint32_t value) {
    if (y < 0 || y >= dst.Height()) return;
    x0 = std::max<long long>(x0, 0);
    x1 = std::min<long long>(x1, dst.Width());
    if (x1 > x0) detail::FillRowSpan(dst.Scanline(int(y)), dst.Format(), int(x0), int(x1), value);
}

void FillRectValue(Bitmap& dst, long long l, long long t, long long r, long long b,
                   uint32_t value) {
    t = std::max<long long>(t, 0);
    b = std::min<long long>(b, dst.Height());
    for (long long y = t; y < b; ++y) Span(dst, y, l, r, value);
}

// A line as GDI draws it with a one-pixel pen: Bresenham along the longer axis, the end
// point left out. Where the exact line passes midway between two pixels, lines heading
// into octants 3, 5, 6 and 8 (numbered counter-clockwise from +x with y pointing down)
// take the pixel one step further along the shorter axis; this bias makes a line and its
// reverse cover the same pixels only where GDI's do. Pixel k of the line lies k steps
// along the longer axis and floor((2 * minor * k + major + bias - 1) / (2 * major)) steps
// along the shorter one, which lets clipping skip straight to the visible part.
void LineValue(Bitmap& dst, long long x0, long long y0, long long x1, long long y1,
               uint32_t value) {
    if (!InRange(x0) || !InRange(y0) || !InRange(x1) || !InRange(y1)) return;
    long long dx = x1 - x0, dy = y1 - y0;
    long long adx = std::llabs(dx), ady = std::llabs(dy);
    int octant;
    if (dy > 0)
        octant = dx > 0 ? (dx > dy ? 1 : 2) : (-dx > dy ? 4 : 3);
    else
        octant = dx < 0 ? (-dx > -dy ? 5 : 6) : (dx > -dy ? 8 : 7);
    const bool xMajor = octant == 1 || octant == 4 || octant == 5 || octant == 8;
    const long long bias = (octant == 3 || octant == 5 || octant == 6 || octant == 8) ? 1 : 0;
    const long long major = xMajor ? adx : ady, minor = xMajor ? ady : adx;
    if (major == 0) return;
    const long long majorStart = xMajor ? x0 : y0, minorStart = xMajor ? y0 : x0;
    const long long majorStep = (xMajor ? dx : dy) < 0 ? -1 : 1;
    const long long minorStep = (xMajor ? dy : dx) < 0 ? -1 : 1;
    const long long majorSize = xMajor ? dst.Width() : dst.Height();
    const long long minorSize = xMajor ? dst.Height() : dst.Width();

    // Steps k whose major coordinate lies inside the bitmap.
    long long kFirst = 0, kEnd = major;
    if (majorStep > 0) {
        kFirst = std::max(kFirst, -majorStart);
        kEnd = std::min(kEnd, majorSize - majorStart);
    } else {
        kFirst = std::max(kFirst, majorStart - majorSize + 1);
        kEnd = std::min(kEnd, majorStart + 1);
    }
    for (long long k = kFirst; k < kEnd; ++k) {
        long long m = majorStart + majorStep * k;
        long long n =
            minorStart + minorStep * FloorDiv(2 * minor * k + major + bias - 1, 2 * major);
        if (n < 0 || n >= minorSize) continue;
        int x = int(xMajor ? m : n), y = int(xMajor ? n : m);
        detail::WriteValue(dst.Scanline(y), dst.Format(), x, value);
    }
}

// One edge crossing of a scan line: the first pixel at or right of the crossing, and
// the edge's direction (+1 downwards) for the winding rule.
struct Crossing {
    long long x;
    int direction;
    bool operator<(const Crossing& o) const { return x < o.x; }
};

}  // namespace

void FillRect(Bitmap& dst, const core::Rect& rect, Rgb colour) {
    if (dst.Empty() || rect.Left == rect.Right || rect.Top == rect.Bottom) return;
    // An inverted side is measured backwards from its first edge, which stays inside: the
    // pixels from right + 1 to left rather than from left to right - 1.
    auto side = [](long long first, long long second, long long& from, long long& to) {
        from = first < second ? first : second + 1;
        to = first < second ? second : first + 1;
    };
    long long l, r, t, b;
    side(rect.Left, rect.Right, l, r);
    side(rect.Top, rect.Bottom, t, b);
    FillRectValue(dst, l, t, r, b, detail::StoredValue(dst, colour));
}

// The ellipse is traced one quadrant at a time with Alois Zingl's integer algorithm for
// an ellipse fitted to a rectangle of pixels, from the middle of the right edge down to
// the middle of the bottom edge; the other quadrants are mirror images and each row is
// filled between its two traced pixels. The trace stops once it passes the vertical
// centre line, which leaves the tips of slim upright ellipses (3 wide and 8 high, 4 wide
// and 7 high, 16 wide and 180 high, ...) untraced; as in Zingl's own drawing they are
// finished with the centre column(s).
void FillEllipse(Bitmap& dst, const core::Rect& box, Rgb colour) {
    if (dst.Empty()) return;
    long long l = std::min(box.Left, box.Right), r = std::max(box.Left, box.Right);
    long long t = std::min(box.Top, box.Bottom), b = std::max(box.Top, box.Bottom);
    long long w = r - l, h = b - t;
    if (w <= 0 || h <= 0 || (w == 1 && h == 1) || w > kEllipseLimit || h > kEllipseLimit) return;
    uint32_t value = detail::StoredValue(dst, colour);
    if (w <= 2 || h <= 2) {
        FillRectValue(dst, l, t, r, b, value);
        return;
    }
    // rightmost[y - h / 2]: the rightmost traced x (box coordinates) of row y of the
    // lower half; -1 where the trace never reaches the row.
    std::vector<long long> rightmost(size_t(h - h / 2), -1);
    const long long a = w - 1, c = h - 1;
    const long long asq = 8 * a * a, bsq = 8 * c * c;
    long long dx = 4 * c * c * (1 - a), dy = 4 * a * a * (1 + c % 2);
    long long err = dx + dy + a * a * (c % 2);
    long long x = a, y = h / 2;
    while (x >= w / 2) {
        long long e2 = 2 * err;
        long long& slot = rightmost[size_t(y - h / 2)];
        slot = std::max(slot, x);
        if (e2 >= dx) {
            --x;
            err += dx += bsq;
        }
        if (e2 <= dy) {
            ++y;
            err += dy += asq;
        }
        if (y >= h) break;
    }
    for (long long row = h / 2; row < h; ++row) {
        long long xr = rightmost[size_t(row - h / 2)];
        if (xr < 0) xr = w / 2;
        long long x0 = l + (w - 1 - xr), x1 = l + xr + 1;
        Span(dst, t + row, x0, x1, value);
        if (h - 1 - row != row) Span(dst, t + (h - 1 - row), x0, x1, value);
    }
}

// The interior takes the pixels whose centres (the integer points) lie inside, with
// the left and top edges inside and the right and bottom ones outside; the outline then
// adds the edges' own pixels.
void FillPolygon(Bitmap& dst, std::span<const core::Point> points, Rgb colour, FillMode mode) {
    if (points.empty() || dst.Empty()) return;
    for (const core::Point& p : points)
        if (!InRange(p.X) || !InRange(p.Y)) return;
    uint32_t value = detail::StoredValue(dst, colour);
    const size_t n = points.size();
    long long yMin = points[0].Y, yMax = points[0].Y;
    for (const core::Point& p : points) {
        yMin = std::min<long long>(yMin, p.Y);
        yMax = std::max<long long>(yMax, p.Y);
    }
    std::vector<Crossing> crossings;
    for (long long y = std::max<long long>(yMin, 0); y < std::min<long long>(yMax, dst.Height());
         ++y) {
        crossings.clear();
        for (size_t i = 0; i < n; ++i) {
            const core::Point& a = points[i];
            const core::Point& b = points[(i + 1) % n];
            if (a.Y == b.Y) continue;
            const core::Point& top = a.Y < b.Y ? a : b;
            const core::Point& bottom = a.Y < b.Y ? b : a;
            if (y < top.Y || y >= bottom.Y) continue;
            long long den = (long long)bottom.Y - top.Y;
            long long num = (long long)top.X * den + (y - top.Y) * ((long long)bottom.X - top.X);
            crossings.push_back({CeilDiv(num, den), a.Y < b.Y ? 1 : -1});
        }
        std::sort(crossings.begin(), crossings.end());
        if (mode == FillMode::Alternate) {
            for (size_t i = 0; i + 1 < crossings.size(); i += 2)
                Span(dst, y, crossings[i].x, crossings[i + 1].x, value);
        } else {
            int winding = 0;
            long long start = 0;
            for (const Crossing& c : crossings) {
                if (winding == 0) start = c.x;
                winding += c.direction;
                if (winding == 0) Span(dst, y, start, c.x, value);
            }
        }
    }
    for (size_t i = 0; i < n; ++i) {
        const core::Point& a = points[i];
        const core::Point& b = points[(i + 1) % n];
        LineValue(dst, a.X, a.Y, b.X, b.Y, value);
    }
}

void DrawLine(Bitmap& dst, core::Point from, core::Point to, Rgb colour) {
    if (dst.Empty()) return;
    LineValue(dst, from.X, from.Y, to.X, to.Y, detail::StoredValue(dst, colour));
}

}  // namespace raster

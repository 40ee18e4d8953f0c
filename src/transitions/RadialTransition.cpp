#include "transitions/RadialTransition.h"

#include <algorithm>

#include "raster/Shapes.h"

namespace transitions {

namespace {

constexpr raster::Rgb kWhite = 0xFFFFFF;

// The bounding box of `r` and the pixel `p`; an empty `r` is just the pixel.
core::Rect AddPixel(const core::Rect& r, core::Point p) {
    if (r.IsEmpty()) return {p.X, p.Y, p.X + 1, p.Y + 1};
    return {std::min(r.Left, p.X), std::min(r.Top, p.Y), std::max(r.Right, p.X + 1),
            std::max(r.Bottom, p.Y + 1)};
}

}  // namespace

RadialTransition::RadialTransition() {
    SetStyleCount(7);
}

uint16_t RadialTransition::SubStyleCount(uint16_t style) const {
    switch (style) {
        case 0:
            return 0;
        case 1:
        case 2:
        case 3:
        case 4:
        case 6:
            return 8;
        case 5:
        case 7:
            return 16;
        default:
            return 1;
    }
}

uint16_t RadialTransition::ReverseSubStyle(uint16_t style, uint16_t subStyle) const {
    const int count = (style >= 1 && style <= 7) ? SubStyleCount(style) : 0;
    if (subStyle < 1 || subStyle > count) return subStyle;
    return uint16_t(OtherWaySubStyle(subStyle));
}

void RadialTransition::PrepareSteps(PassData& data, int& totalSteps) {
    MaskedTransition::PrepareSteps(data, totalSteps);
    m_sweep = RadialSweep(data.Width, data.Height, ActualStyle(), ActualSubStyle());
    totalSteps = m_sweep.TotalSteps();
}

void RadialTransition::PaintMask(raster::Bitmap& mask, int step, int stepDelta, int, int,
                                 PassData& data, bool& positive) {
    positive = true;
    m_dirtyRect = {};
    m_dirtyHoleRect = {};
    const RadialRing& ring = m_sweep.Ring();
    const RadialBlades blades = m_sweep.BladesAt(step, stepDelta);
    for (int i = 0; i < blades.Count; ++i) {
        const RadialBlade& blade = blades.Items[size_t(i)];
        if (blade.Delta == 1) {
            const core::Point end = ring.PointAt(blade.Last);
            raster::DrawLine(mask, blade.Pivot, end, kWhite);
            m_dirtyRect = AddPixel(AddPixel(m_dirtyRect, blade.Pivot), end);
        } else if (blade.Delta > 1) {
            std::array<core::Point, 7> points;
            const int n = m_sweep.Wedge(blade, points);
            raster::FillPolygon(mask, std::span<const core::Point>(points.data(), size_t(n)),
                                kWhite);
            for (int k = 0; k < n; ++k) m_dirtyRect = AddPixel(m_dirtyRect, points[size_t(k)]);
        }
    }
    // A wedge wholly outside the frame changed nothing: one pixel keeps the frame copy
    // small, where an empty rectangle would mean the whole frame.
    if (m_dirtyRect.Intersected({0, 0, data.Width, data.Height}).IsEmpty())
        m_dirtyRect = {0, 0, 1, 1};
}

}  // namespace transitions

#include "transitions/DripTransition.h"

#include <algorithm>
#include <cstring>

#include "raster/Blit.h"
#include "raster/Stretch.h"

namespace transitions {

namespace {

using D = Direction;

// The platform's rectangle subtraction: `a` minus `b` is `a` itself unless `b` covers a
// whole side of it, so that what is left is again a rectangle.
core::Rect SubtractRect(const core::Rect& a, const core::Rect& b) {
    if (a.IsEmpty()) return {};
    core::Rect result = a;
    const core::Rect common = a.Intersected(b);
    if (common.IsEmpty()) return result;
    if (common == a) return {};
    if (common.Top == a.Top && common.Bottom == a.Bottom) {
        if (common.Left == a.Left)
            result.Left = common.Right;
        else if (common.Right == a.Right)
            result.Right = common.Left;
    } else if (common.Left == a.Left && common.Right == a.Right) {
        if (common.Top == a.Top)
            result.Top = common.Bottom;
        else if (common.Bottom == a.Bottom)
            result.Bottom = common.Top;
    }
    return result;
}

// The platform's union: the bounding box, an empty side contributing nothing.
core::Rect UnionRect(const core::Rect& a, const core::Rect& b) {
    if (a.IsEmpty()) return b.IsEmpty() ? core::Rect{} : b;
    if (b.IsEmpty()) return a;
    return {std::min(a.Left, b.Left), std::min(a.Top, b.Top), std::max(a.Right, b.Right),
            std::max(a.Bottom, b.Bottom)};
}

bool IsVertical(D d) {
    return d == D::Down || d == D::Up;
}

}  // namespace

DripTransition::DripTransition() {
    SetAllowedDirections(DirectionBit(D::Right) | DirectionBit(D::Left) | DirectionBit(D::Down) |
                         DirectionBit(D::Up));
    InitDirection(D::Left);
}

bool DripTransition::SetProperty(std::string_view name, const PropertyValue& value) {
    if (name == "Direction") return SetDirectionProperty(value);
    if (name == "Reversed") return SetReversedProperty(value);
    return TimedTransitionEffect::SetProperty(name, value);
}

bool DripTransition::NeedsWorkBitmap() const {
    return IsVertical(ActualDirection());
}

void DripTransition::PrepareSteps(PassData& data, int& totalSteps) {
    const int w = data.Width;
    const int h = data.Height;
    switch (ActualDirection()) {
        case D::Right:
            totalSteps = w;
            m_band = {w, 0, w, h};
            break;
        case D::Left:
            totalSteps = w;
            m_band = {0, 0, 0, h};
            break;
        case D::Down:
            totalSteps = h;
            m_band = {0, h, w, h};
            break;
        case D::Up:
            totalSteps = h;
            m_band = {0, 0, w, 0};
            break;
        default:
            totalSteps = 0;
            return;
    }
    m_rest = {0, 0, w, h};
    if (IsVertical(ActualDirection())) {
        raster::Bitmap& work = data.DrawCanvas();
        const int rows = std::min({h, work.Height(), data.DstImage->Height()});
        m_workRows.resize(size_t(rows));
        m_newRows.resize(size_t(rows));
        for (int y = 0; y < rows; ++y) {
            m_workRows[size_t(y)] = work.Scanline(y);
            m_newRows[size_t(y)] = data.DstImage->Scanline(y);
        }
    }
}

void DripTransition::RenderStep(PassData& data, int step, int stepDelta, int totalSteps,
                                int previousStep) {
    TimedTransitionEffect::RenderStep(data, step, stepDelta, totalSteps, previousStep);
    const D direction = ActualDirection();
    // Move the band away from its starting edge by the steps taken.
    switch (direction) {
        case D::Right:
            m_band.Right = m_band.Left;
            m_band.Left -= stepDelta;
            break;
        case D::Left:
            m_band.Left = m_band.Right;
            m_band.Right += stepDelta;
            break;
        case D::Down:
            m_band.Bottom = m_band.Top;
            m_band.Top -= stepDelta;
            break;
        case D::Up:
            m_band.Top = m_band.Bottom;
            m_band.Bottom += stepDelta;
            break;
        default:
            return;
    }
    // The line drawn out over the rest is always the band's first column or row in
    // coordinate order.
    const bool vertical = IsVertical(direction);
    const core::Rect line =
        vertical ? core::Rect{m_band.Left, m_band.Top, m_band.Right, m_band.Top + 1}
                 : core::Rect{m_band.Left, m_band.Top, m_band.Left + 1, m_band.Bottom};
    m_rest = SubtractRect(m_rest, m_band);

    raster::Bitmap& canvas = data.DrawCanvas();
    const raster::Bitmap& image = *data.DstImage;
    raster::CopyBlock(canvas, m_band.Left, m_band.Top, m_band.Width(), m_band.Height(), image,
                      m_band.Left, m_band.Top);
    m_dirtyRect = UnionRect(m_dirtyRect, m_band);

    if (!vertical) {
        // No work bitmap: this draws straight on the render window.
        raster::StretchBlt(canvas, m_rest.Left, m_rest.Top, m_rest.Width(), m_rest.Height(), image,
                           line.Left, line.Top, line.Width(), line.Height());
    } else if (line.Top >= 0 && line.Top < int(m_newRows.size())) {
        const size_t rowBytes = std::min(canvas.Stride(), image.Stride());
        const uint8_t* source = m_newRows[size_t(line.Top)];
        for (int y = std::max(m_rest.Top, 0); y < std::min(m_rest.Bottom, int(m_workRows.size()));
             ++y)
            std::memcpy(m_workRows[size_t(y)], source, rowBytes);
    }
    m_dirtyRect = UnionRect(m_dirtyRect, m_rest);
}

void DripTransition::FinishSteps(PassData&) {
    m_workRows.clear();
    m_newRows.clear();
}

}  // namespace transitions

#include "transitions/CircleTransition.h"

#include <cmath>
#include <cstdint>

#include "core/Rounding.h"
#include "raster/Shapes.h"

namespace transitions {

namespace {

constexpr raster::Rgb kWhite = 0xFFFFFF;

// nearest(sqrt(a^2 + b^2)), halves to even.
int Hypot(int64_t a, int64_t b) {
    return int(core::RoundHalfEven(std::sqrt(double(a * a + b * b))));
}

// nearest(sqrt(r^2 div 2)): half the side of the square inscribed in a disc of radius r.
int InscribedHalfSide(int r) {
    return int(core::RoundHalfEven(std::sqrt(double(int64_t(r) * r / 2))));
}

core::Rect DiscBox(core::Point c, int r) {
    return {c.X - r, c.Y - r, c.X + r, c.Y + r};
}

// A square inside the disc of radius r around c as FillEllipse paints it. The square of
// half side nearest(sqrt(r^2 div 2)) reaches just past the painted disc at its corners for
// about one radius in ten (r = 15, 22, 39, ...); one pixel less keeps it inside.
core::Rect InscribedSquare(core::Point c, int r) {
    const int k = r > 0 ? InscribedHalfSide(r) - 1 : 0;
    return k > 0 ? DiscBox(c, k) : core::Rect{};
}

}  // namespace

CircleFigure CircleFigureFor(uint16_t style, uint16_t subStyle, int width, int height) {
    const int w = width, h = height, w2 = width / 2, h2 = height / 2;
    CircleFigure f;
    auto motion = [&](int first, int count) {
        if (subStyle >= first && subStyle < first + count) return CircleMotion::Grows;
        if (subStyle >= first + count && subStyle < first + 2 * count) return CircleMotion::Shrinks;
        return CircleMotion::None;
    };
    switch (style) {
        case 1:
            f.Centre = {w2, h2};
            f.Reach = Hypot(h2, w2);
            f.Motion = motion(1, 1);
            break;
        case 2: {
            static constexpr bool kRight[4] = {false, true, false, true};
            static constexpr bool kBottom[4] = {false, true, true, false};
            f.Reach = Hypot(h, w);
            f.Motion = motion(1, 4);
            if (f.Motion != CircleMotion::None) {
                const int corner = (subStyle - 1) % 4;
                f.Centre = {kRight[corner] ? w : 0, kBottom[corner] ? h : 0};
            }
            break;
        }
        case 3: {
            f.Motion = motion(1, 4);
            if (f.Motion == CircleMotion::None) break;  // no reach: the run is abandoned
            switch ((subStyle - 1) % 4) {
                case 0:
                    f.Centre = {0, h2};
                    break;
                case 1:
                    f.Centre = {w, h2};
                    break;
                case 2:
                    f.Centre = {w2, 0};
                    break;
                default:
                    f.Centre = {w2, h};
                    break;
            }
            f.Reach = (subStyle - 1) % 4 < 2 ? Hypot(h2, w) : Hypot(h, w2);
            break;
        }
        default:
            break;
    }
    return f;
}

CircleTransition::CircleTransition() {
    SetStyleCount(3);
}

uint16_t CircleTransition::SubStyleCount(uint16_t style) const {
    switch (style) {
        case 0:
            return 0;
        case 1:
            return 2;
        case 2:
        case 3:
            return 8;
        default:
            return 1;
    }
}

uint16_t CircleTransition::ReverseSubStyle(uint16_t style, uint16_t subStyle) const {
    if (style == 1 && (subStyle == 1 || subStyle == 2)) return uint16_t(3 - subStyle);
    if ((style == 2 || style == 3) && subStyle >= 1 && subStyle <= 8)
        return uint16_t(subStyle <= 4 ? subStyle + 4 : subStyle - 4);
    return subStyle;
}

void CircleTransition::PrepareSteps(PassData& data, int& totalSteps) {
    MaskedTransition::PrepareSteps(data, totalSteps);
    m_figure = CircleFigureFor(ActualStyle(), ActualSubStyle(), data.Width, data.Height);
    totalSteps = m_figure.Reach;
    if (m_figure.Motion == CircleMotion::Shrinks)
        m_prevBounds = m_nextDirty = {0, 0, data.Width, data.Height};
    else
        m_prevBounds = m_nextDirty = {};
}

void CircleTransition::PaintMask(raster::Bitmap& mask, int step, int stepDelta, int totalSteps, int,
                                 PassData& data, bool& positive) {
    const core::Rect frame{0, 0, data.Width, data.Height};
    const core::Point c = m_figure.Centre;
    switch (m_figure.Motion) {
        case CircleMotion::Grows: {
            positive = true;
            const int r = m_figure.Reach + step - totalSteps;
            // The square inscribed in the previous disc is already final on screen. (Taken
            // from the previous disc's box after clipping, as a box shrunk on every side,
            // it would leave most of the frame to copy once the disc outgrows the frame.)
            m_dirtyHoleRect = InscribedSquare(c, r - stepDelta).Intersected(m_prevBounds);
            const core::Rect box = DiscBox(c, r);
            m_dirtyRect = box.Intersected(frame);
            raster::FillEllipse(mask, box, kWhite);
            m_prevBounds = m_dirtyRect;
            break;
        }
        case CircleMotion::Shrinks: {
            // The disc marks what still shows the old picture.
            positive = false;
            const int r = m_figure.Reach - step + 1;
            // The inside of this disc still shows the old picture and need not be copied.
            m_dirtyHoleRect = InscribedSquare(c, r).Intersected(m_prevBounds);
            m_dirtyRect = m_nextDirty.Intersected(frame);
            const core::Rect box = DiscBox(c, r);
            raster::FillEllipse(mask, box, kWhite);
            m_nextDirty = {box.Left - stepDelta, box.Top - stepDelta, box.Right + stepDelta,
                           box.Bottom + stepDelta};
            m_prevBounds = m_dirtyRect;
            break;
        }
        case CircleMotion::None:
            // Nothing is painted; the old picture stays until the final frame. One pixel
            // keeps the frame copy small (an empty rectangle would mean the whole frame).
            positive = true;
            m_dirtyRect = {0, 0, 1, 1};
            m_dirtyHoleRect = {};
            break;
    }
}

}  // namespace transitions

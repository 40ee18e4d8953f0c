#pragma once

#include <array>
#include <cstdint>

#include "core/Geometry.h"

namespace transitions {

// The ring of positions just outside the frame that the blades walk: the frame is widened
// to odd sides W' and H', and position q (1 <= q <= Length) runs clockwise from the
// top-left corner (-1, -1) along the top edge, down the right edge (x = W'), back along
// the bottom (y = H') and up the left (x = -1).
struct RadialRing {
    enum Corner { TopLeft, TopRight, BottomRight, BottomLeft };

    RadialRing(int width, int height);

    // The point of position q; positions outside 1 .. Length are taken round the ring.
    core::Point PointAt(int q) const;
    // q taken round the ring into 1 .. Length.
    int Wrap(long long q) const;

    int RingWidth = 1, RingHeight = 1;  // W' and H'
    core::Point Centre;
    int Length = 0;  // P = 2 (W' + H' + 2)
    // The positions where the top, right, bottom and left edges begin; each is a corner.
    std::array<int, 4> EdgeStart{};
    std::array<core::Point, 4> Corners{};
};

// One blade's share of a step: the ring positions Last - Delta + 1 .. Last swept around
// the pivot (taken round the ring). A delta of 1 is a single line to the point of Last.
struct RadialBlade {
    core::Point Pivot;
    int Last = 0;
    int Delta = 0;
};

struct RadialBlades {
    std::array<RadialBlade, 4> Items{};
    int Count = 0;
};

// Which corners a wedge polygon may pass through, by RadialRing::Corner.
using RadialCorners = std::array<bool, 4>;

// The geometry of the radial styles, fixed for a run by the frame, style and sub-style.
class RadialSweep {
public:
    RadialSweep(int width, int height, uint16_t style, uint16_t subStyle);

    const RadialRing& Ring() const { return m_ring; }
    // The step count; 0 for a style it does not know (and for sub-styles outside 1-8 of
    // style 4 and outside 1-16 of style 5).
    int TotalSteps() const { return m_total; }
    const RadialCorners& CornersUsed() const { return m_cornersUsed; }

    // The blades that draw the steps after `step - delta` up to `step`.
    RadialBlades BladesAt(int step, int delta) const;

    // The wedge of a blade of more than one position: the pivot, the point of the first
    // position, the used corners the range passes in ring order, the point of Last.
    // Answers the number of points written (at most 7).
    int Wedge(const RadialBlade& blade, std::array<core::Point, 7>& points) const;

private:
    RadialBlade Clock(int blade, int step, int delta) const;
    RadialBlade SideSweep(int subStyle, int step, int delta) const;
    RadialBlade CornerSweep(int subStyle, int step, int delta) const;
    void TwoBlades(RadialBlades& out, int step, int delta, int firstGroupSweep, bool fromSide,
                   int subInGroup) const;

    RadialRing m_ring;
    uint16_t m_style, m_subStyle;
    int m_total = 0;
    RadialCorners m_cornersUsed{true, true, true, true};
};

// The sub-style that runs the same one-blade sweep the other way (styles 4 and 6 pair
// 1-2, 3-4, 5-6, 7-8).
int OtherWaySubStyle(int subStyle);

}  // namespace transitions

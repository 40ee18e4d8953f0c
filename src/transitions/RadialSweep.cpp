#include "transitions/RadialSweep.h"

#include <algorithm>

namespace transitions {

namespace {

using C = RadialRing::Corner;

}  // namespace

int OtherWaySubStyle(int subStyle) {
    return subStyle % 2 ? subStyle + 1 : subStyle - 1;
}

RadialRing::RadialRing(int width, int height)
    : RingWidth(width % 2 ? width : width + 1), RingHeight(height % 2 ? height : height + 1) {
    const int w = RingWidth, h = RingHeight;
    Centre = {w / 2, h / 2};
    Length = 2 * (w + h + 2);
    EdgeStart = {1, w + 2, w + h + 3, 2 * w + h + 4};
    Corners = {core::Point{-1, -1}, core::Point{w, -1}, core::Point{w, h}, core::Point{-1, h}};
}

int RadialRing::Wrap(long long q) const {
    return int(((q - 1) % Length + Length) % Length + 1);
}

core::Point RadialRing::PointAt(int q) const {
    q = Wrap(q);
    const int w = RingWidth, h = RingHeight;
    if (q < EdgeStart[C::TopRight]) return {q - 2, -1};
    if (q < EdgeStart[C::BottomRight]) return {w, q - w - 3};
    if (q < EdgeStart[C::BottomLeft]) return {2 * w + h + 3 - q, h};
    return {-1, 2 * w + 2 * h + 4 - q};
}

RadialSweep::RadialSweep(int width, int height, uint16_t style, uint16_t subStyle)
    : m_ring(width, height), m_style(style), m_subStyle(subStyle) {
    const int p = m_ring.Length, w = m_ring.RingWidth, h = m_ring.RingHeight;
    const int sub = subStyle;
    // The corners on the pivot's side are never passed by a wedge.
    auto clear = [&](C a, C b) { m_cornersUsed[a] = m_cornersUsed[b] = false; };
    auto keepOnly = [&](C keep) {
        m_cornersUsed = {false, false, false, false};
        m_cornersUsed[keep] = true;
    };
    auto sidePivot = [&](int group) {  // left, right, top, bottom
        static constexpr C kFirst[4] = {C::TopLeft, C::TopRight, C::TopLeft, C::BottomRight};
        static constexpr C kSecond[4] = {C::BottomLeft, C::BottomRight, C::TopRight, C::BottomLeft};
        clear(kFirst[group], kSecond[group]);
    };
    auto cornerPivot = [&](int group) {  // top-left, top-right, bottom-left, bottom-right
        static constexpr C kFar[4] = {C::BottomRight, C::BottomLeft, C::TopRight, C::TopLeft};
        keepOnly(kFar[group]);
    };
    switch (style) {
        case 1:
        case 2:
            m_total = p;
            break;
        case 3:
            m_total = p / 4;
            break;
        case 4:
            if (sub >= 1 && sub <= 8) {
                sidePivot((sub - 1) / 2);
                m_total = sub <= 4 ? p - h : p - w;
            }
            break;
        case 5:
            if (sub >= 1 && sub <= 16) {
                sidePivot((sub - 1) / 4);
                m_total = sub <= 8 ? p - h : p - w;
            }
            break;
        case 6:
            if (sub >= 1 && sub <= 8) cornerPivot((sub - 1) / 2);
            m_total = p / 2 + 1;
            break;
        case 7:
            if (sub >= 1 && sub <= 16) cornerPivot((sub - 1) / 4);
            m_total = p / 2 + 1;
            break;
        default:
            break;
    }
}

// Blade `blade` (1-8) of style 1 at its own step: the odd blades start at 12, 3, 6 and 9
// o'clock and turn clockwise, each even one starts where the odd one before it does and
// turns the other way.
RadialBlade RadialSweep::Clock(int blade, int step, int delta) const {
    const int p = m_ring.Length, w = m_ring.RingWidth, h = m_ring.RingHeight;
    const int start[4] = {w / 2 + 1, w + h / 2 + 2, w + h + (w - 1) / 2 + 3,
                          2 * w + h + (h - 1) / 2 + 4};
    if (blade % 2 == 0) {
        step = p + delta - step + 1;
        if (step <= 0) step += p;
        --blade;
    }
    return {m_ring.Centre, m_ring.Wrap((long long)step + start[(blade - 1) / 2]), delta};
}

// Sub-style 1-8 of style 4: one blade on the middle of a side sweeping the other three.
RadialBlade RadialSweep::SideSweep(int subStyle, int step, int delta) const {
    const int w = m_ring.RingWidth, h = m_ring.RingHeight;
    const int group = (subStyle - 1) / 2;  // left, right, top, bottom
    const core::Point pivots[4] = {{-1, h / 2}, {w, h / 2}, {w / 2, -1}, {w / 2, h}};
    const int starts[4] = {0, w + h + 2, w + 1, 2 * w + h + 3};
    // 1, 4, 6 and 7 run forwards from their start.
    const bool forwards = subStyle == 1 || subStyle == 4 || subStyle == 6 || subStyle == 7;
    const long long blade = forwards ? step : (long long)m_total + delta - step;
    return {pivots[group], m_ring.Wrap(blade + starts[group]), delta};
}

// Sub-style 1-8 of style 6: one blade on a corner sweeping the two far sides.
RadialBlade RadialSweep::CornerSweep(int subStyle, int step, int delta) const {
    const int w = m_ring.RingWidth, h = m_ring.RingHeight;
    const int group = (subStyle - 1) / 2;  // top-left, top-right, bottom-left, bottom-right
    const C pivots[4] = {C::TopLeft, C::TopRight, C::BottomLeft, C::BottomRight};
    const int starts[4] = {w + 1, w + h + 2, 0, 2 * w + h + 3};
    // 1, 4, 5 and 7 run forwards from their start.
    const bool forwards = subStyle == 1 || subStyle == 4 || subStyle == 5 || subStyle == 7;
    const long long blade = forwards ? step : (long long)m_total + delta - step;
    return {m_ring.Corners[pivots[group]], m_ring.Wrap(blade + starts[group]), delta};
}

// Styles 5 and 7: two blades on one pivot, each owning every other step. `groupSweep` is
// the one-blade sweep (of style 4 or 6) of the pivot; sub-style 1 of the group sweeps the
// two halves of it side by side, 3 sweeps it from both ends to the middle.
void RadialSweep::TwoBlades(RadialBlades& out, int step, int delta, int groupSweep, bool fromSide,
                            int subInGroup) const {
    const int w = m_ring.RingWidth, h = m_ring.RingHeight;
    // Odd steps belong to the first blade, even ones to the second; of a frame's delta the
    // owner of the range's first step gets the larger half.
    const bool firstOwnsStart = ((step - delta + 1) & 1) != 0;
    const int more = delta - delta / 2, less = delta / 2;
    const int firstDelta = firstOwnsStart ? more : less, secondDelta = firstOwnsStart ? less : more;
    const int firstStep = (step + 1) / 2, secondStep = step / 2;

    auto sweep = [&](int sub, int s, int d) {
        return fromSide ? SideSweep(sub, s, d) : CornerSweep(sub, s, d);
    };
    if (firstDelta > 0) out.Items[out.Count++] = sweep(groupSweep, firstStep, firstDelta);
    if (secondDelta > 0) {
        if (subInGroup == 1) {
            const bool leftOrRight = groupSweep <= 3;
            const int shift = !fromSide ? m_total / 2 : leftOrRight ? w + 2 + h / 2 : h + w / 2 + 2;
            out.Items[out.Count++] = sweep(groupSweep, secondStep + shift, secondDelta);
        } else {
            out.Items[out.Count++] = sweep(OtherWaySubStyle(groupSweep), secondStep, secondDelta);
        }
    }
}

RadialBlades RadialSweep::BladesAt(int step, int delta) const {
    RadialBlades out;
    const int p = m_ring.Length;
    int sub = m_subStyle;
    auto add = [&](const RadialBlade& b) { out.Items[out.Count++] = b; };
    switch (m_style) {
        case 1:
            if (sub >= 1 && sub <= 8) add(Clock(sub, step, delta));
            break;
        case 2: {
            if (sub < 1 || sub > 8) break;
            if (sub % 2 == 0) {
                step = p + delta - step + 2;
                if (step <= 0) step += p;
                --sub;
            }
            static constexpr int kPairs[4][2] = {{1, 5}, {3, 7}, {1, 2}, {3, 4}};
            const int* pair = kPairs[(sub - 1) / 2];
            const bool firstOwnsStart = ((step - delta + 1) & 1) != 0;
            const int more = delta - delta / 2, less = delta / 2;
            const int firstDelta = firstOwnsStart ? more : less;
            const int secondDelta = firstOwnsStart ? less : more;
            if (firstDelta > 0) add(Clock(pair[0], (step + 1) / 2, firstDelta));
            if (secondDelta > 0) add(Clock(pair[1], step / 2, secondDelta));
            break;
        }
        case 3: {
            if (sub < 1 || sub > 8) break;
            if (sub % 2 == 0) {
                step = m_total + delta - step + 1;
                if (step <= 0) step += p;
                --sub;
            }
            static constexpr int kQuads[4][4] = {
                {1, 3, 5, 7}, {1, 2, 5, 6}, {1, 6, 7, 8}, {1, 2, 3, 8}};
            for (int blade : kQuads[(sub - 1) / 2]) add(Clock(blade, step, delta));
            break;
        }
        case 4:
            if (sub >= 1 && sub <= 8) add(SideSweep(sub, step, delta));
            break;
        case 6:
            if (sub >= 1 && sub <= 8) add(CornerSweep(sub, step, delta));
            break;
        case 5:
        case 7: {
            if (sub < 1 || sub > 16) break;
            const int group = (sub - 1) / 4;
            int inGroup = (sub - 1) % 4 + 1;
            if (inGroup % 2 == 0) {
                step = m_total + delta - step;
                --inGroup;
            }
            // The one-blade sweep of the group's pivot: 1, 3, 5 and 7 of style 4 or 6.
            TwoBlades(out, step, delta, 2 * group + 1, m_style == 5, inGroup);
            break;
        }
        default:
            break;
    }
    return out;
}

int RadialSweep::Wedge(const RadialBlade& blade, std::array<core::Point, 7>& points) const {
    const int p = m_ring.Length;
    const int delta = std::min(blade.Delta, p);
    const int last = m_ring.Wrap(blade.Last);
    int first = last - delta + 1;
    if (first <= 0) first += p;
    int n = 0;
    points[n++] = blade.Pivot;
    points[n++] = m_ring.PointAt(first);
    // The corners strictly between the two ends, in ring order from the first. Counting
    // round the ring from `first` also catches the corners after a wrap past the top-left
    // one, however far the range runs.
    int corner = 0;
    while (corner < 4 && m_ring.EdgeStart[size_t(corner)] <= first) ++corner;
    for (int i = 0; i < 4; ++i) {
        const int c = (corner + i) % 4;
        const int along = (m_ring.EdgeStart[size_t(c)] - first + p) % p;
        if (along > 0 && along < delta - 1 && m_cornersUsed[size_t(c)])
            points[n++] = m_ring.Corners[size_t(c)];
    }
    points[n++] = m_ring.PointAt(last);
    return n;
}

}  // namespace transitions

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "EffectHarness.h"
#include "raster/Shapes.h"
#include "transitions/EffectTable.h"
#include "transitions/HeadlessControl.h"
#include "transitions/RadialTransition.h"

namespace {

using namespace transitions;
using namespace transitions::harness;
using core::Point;
using raster::Bitmap;
using raster::PixelFormat;

// A radial effect that can be driven by hand, or run headless through a chosen list of
// steps instead of the paced loop; it hands every painted mask to AfterPaint.
class RadialProbe : public Stepped<RadialTransition> {
public:
    using PaintHook = std::function<void(const Bitmap& mask, const core::Rect& dirty)>;

    RadialProbe(uint16_t style, uint16_t subStyle) {
        SetStyle(style);
        SetSubStyle(subStyle);
    }

    PaintHook AfterPaint;

protected:
    void PaintMask(Bitmap& mask, int step, int delta, int total, int previous, PassData& data,
                   bool& positive) override {
        RadialTransition::PaintMask(mask, step, delta, total, previous, data, positive);
        EXPECT_TRUE(positive);
        if (AfterPaint) AfterPaint(mask, m_dirtyRect);
    }
};

// A pass record over hand-made pictures, without a render window.
struct HandRun {
    HandRun(int width, int height)
        : Old(((width - 1) / 32 + 1) * 32, height, PixelFormat::Bits32),
          New(Old.Width(), height, PixelFormat::Bits32) {
        New.Fill(0xFFFFFF);
        Data.WorkBitmap = &Old;
        Data.SrcImage = &Old;
        Data.DstImage = &New;
        Data.Width = width;
        Data.Height = height;
    }
    Bitmap Old, New;
    PassData Data;
};

Bitmap BlankMask(int w, int h) {
    Bitmap mask(w, h, PixelFormat::Bits1);
    mask.Palette() = {0x000000, 0xFFFFFF};
    return mask;
}

// Steps 1 .. last with deltas cycling 1, 2, ..., 7 (the last step is always included).
std::vector<int> CyclingSteps(int last) {
    std::vector<int> steps;
    for (int s = 1, d = 1; s < last; s += d, d = d % 7 + 1) steps.push_back(s);
    steps.push_back(last);
    return steps;
}

std::vector<int> EverySteps(int last) {
    std::vector<int> steps;
    for (int s = 1; s <= last; ++s) steps.push_back(s);
    return steps;
}

uint16_t SubStyles(uint16_t style) {
    return style == 5 || style == 7 ? 16 : 8;
}

// The ring positions that one-position steps 1 .. total reach, with how often.
std::map<int, int> PositionsReached(const RadialSweep& sweep) {
    std::map<int, int> reached;
    for (int s = 1; s <= sweep.TotalSteps(); ++s) {
        const RadialBlades blades = sweep.BladesAt(s, 1);
        for (int i = 0; i < blades.Count; ++i) ++reached[blades.Items[size_t(i)].Last];
    }
    return reached;
}

class RadialTest : public DisplayTest {};

// --- Geometry -----------------------------------------------------------------------------

TEST_F(RadialTest, RingFiguresAndWorkedPositions) {
    struct Row {
        int w, h, ringW, ringH;
        Point centre;
        int length;
    } rows[] = {{1024, 768, 1025, 769, {512, 384}, 3592},
                {800, 600, 801, 601, {400, 300}, 2808},
                {13, 9, 13, 9, {6, 4}, 48},
                {12, 8, 13, 9, {6, 4}, 48},
                {1, 1, 1, 1, {0, 0}, 8}};
    for (const Row& row : rows) {
        const RadialRing ring(row.w, row.h);
        EXPECT_EQ(ring.RingWidth, row.ringW) << row.w;
        EXPECT_EQ(ring.RingHeight, row.ringH) << row.h;
        EXPECT_EQ(ring.Centre, row.centre) << row.w;
        EXPECT_EQ(ring.Length, row.length) << row.w;
    }
    // 1024 x 768, sub-style 1: ring position 514, (512, -1), at step 1, straight above the
    // centre; 800 x 600, sub-style 5: 1806, (400, 601), straight below it.
    const RadialSweep clockwise(1024, 768, 1, 1);
    EXPECT_EQ(clockwise.TotalSteps(), 3592);
    RadialBlades blades = clockwise.BladesAt(1, 1);
    ASSERT_EQ(blades.Count, 1);
    EXPECT_EQ(blades.Items[0].Last, 514);
    EXPECT_EQ(clockwise.Ring().PointAt(514), (Point{512, -1}));
    EXPECT_EQ(blades.Items[0].Pivot, (Point{512, 384}));
    const RadialSweep fromBelow(800, 600, 1, 5);
    blades = fromBelow.BladesAt(1, 1);
    ASSERT_EQ(blades.Count, 1);
    EXPECT_EQ(blades.Items[0].Last, 1806);
    EXPECT_EQ(fromBelow.Ring().PointAt(1806), (Point{400, 601}));
}

// Positions 1 .. P walk once round the rectangle just outside the widened frame, clockwise
// from the top-left corner, each a single step from the one before; the edge starts are
// the corners.
TEST_F(RadialTest, RingWalkVisitsEveryPositionOnce) {
    for (auto [w, h] : {std::pair{1, 1}, {2, 2}, {12, 8}, {13, 9}, {40, 3}, {5, 30}}) {
        const RadialRing ring(w, h);
        const int rw = ring.RingWidth, rh = ring.RingHeight;
        std::set<std::pair<int, int>> seen;
        for (int q = 1; q <= ring.Length; ++q) {
            const Point p = ring.PointAt(q), next = ring.PointAt(q + 1);
            EXPECT_TRUE(p.X == -1 || p.X == rw || p.Y == -1 || p.Y == rh) << q;
            EXPECT_TRUE(p.X >= -1 && p.X <= rw && p.Y >= -1 && p.Y <= rh) << q;
            EXPECT_EQ(std::abs(next.X - p.X) + std::abs(next.Y - p.Y), 1)
                << w << "x" << h << " " << q;
            seen.insert({p.X, p.Y});
        }
        EXPECT_EQ(int(seen.size()), ring.Length) << w << "x" << h;
        EXPECT_EQ(ring.PointAt(ring.Length + 1), ring.PointAt(1));
        // Clockwise: along the top edge x grows.
        EXPECT_EQ(ring.PointAt(2), (Point{0, -1}));
        for (int c = 0; c < 4; ++c)
            EXPECT_EQ(ring.PointAt(ring.EdgeStart[size_t(c)]), ring.Corners[size_t(c)]);
    }
}

// Each style and sub-style on a 12 x 8 frame (ring 13 x 9, P = 48; corners at positions 1,
// 15, 25 and 39; 12, 3, 6 and 9 o'clock at 8, 20, 32 and 44): the step count, the positions
// the first two one-position steps reach, and the part of the ring the run sweeps. Positions
// of that part the blades never reach are listed: where two blades turning towards each
// other meet at the end (the final frame shows them), and the far end of a two-blade sweep
// split into halves, which lies outside the frame.
TEST_F(RadialTest, EverySubStyleSweepsItsPartOfTheRing) {
    struct Row {
        uint16_t style, sub;
        int total;
        std::vector<int> firstSteps;  // positions of steps 1 and 2
        int from, to;                 // the part swept, clockwise from `from` to `to`
        std::set<int> unreached;
    };
    const std::vector<Row> rows = {
        // One blade from the centre, from 12, 3, 6 and 9 o'clock, clockwise then anticlockwise.
        {1, 1, 48, {8, 9}, 1, 48, {}},
        {1, 2, 48, {8, 7}, 1, 48, {}},
        {1, 3, 48, {20, 21}, 1, 48, {}},
        {1, 4, 48, {20, 19}, 1, 48, {}},
        {1, 5, 48, {32, 33}, 1, 48, {}},
        {1, 6, 48, {32, 31}, 1, 48, {}},
        {1, 7, 48, {44, 45}, 1, 48, {}},
        {1, 8, 48, {44, 43}, 1, 48, {}},
        // Two blades taking turns: 12 and 6 o'clock, 3 and 9, then both ways from 12 and
        // from 3; each even sub-style runs the one before backwards.
        {2, 1, 48, {8, 32}, 1, 48, {}},
        {2, 2, 48, {8, 32}, 1, 48, {}},
        {2, 3, 48, {20, 44}, 1, 48, {}},
        {2, 4, 48, {20, 44}, 1, 48, {}},
        {2, 5, 48, {8, 8}, 1, 48, {32}},
        {2, 6, 48, {32, 32}, 1, 48, {8}},
        {2, 7, 48, {20, 20}, 1, 48, {44}},
        {2, 8, 48, {44, 44}, 1, 48, {20}},
        // Four blades, a quarter of the ring each.
        {3, 1, 12, {8, 20, 32, 44, 9, 21, 33, 45}, 1, 48, {}},
        {3, 2, 12, {20, 32, 44, 8, 19, 31, 43, 7}, 1, 48, {}},
        {3, 3, 12, {8, 8, 32, 32, 9, 7, 33, 31}, 1, 48, {20, 44}},
        {3, 4, 12, {20, 44, 44, 20, 19, 45, 43, 21}, 1, 48, {8, 32}},
        {3, 5, 12, {8, 32, 44, 44, 9, 31, 45, 43}, 1, 48, {20}},
        {3, 6, 12, {20, 20, 8, 32, 19, 21, 7, 33}, 1, 48, {44}},
        {3, 7, 12, {8, 8, 20, 44, 9, 7, 21, 43}, 1, 48, {32}},
        {3, 8, 12, {20, 44, 32, 32, 19, 45, 31, 33}, 1, 48, {8}},
        // One blade on the middle of the left, right, top or bottom side, over the others.
        {4, 1, 39, {1, 2}, 1, 39, {}},
        {4, 2, 39, {39, 38}, 1, 39, {}},
        {4, 3, 39, {15, 14}, 25, 15, {}},
        {4, 4, 39, {25, 26}, 25, 15, {}},
        {4, 5, 35, {1, 48}, 15, 1, {}},
        {4, 6, 35, {15, 16}, 15, 1, {}},
        {4, 7, 35, {39, 40}, 39, 25, {}},
        {4, 8, 35, {25, 24}, 39, 25, {}},
        // Two blades on a side: halves side by side (1, 5, 9, 13), from both ends to the
        // middle (3, 7, 11, 15), and those backwards.
        {5, 1, 39, {1, 20}, 1, 39, {39}},
        {5, 2, 39, {20, 38}, 1, 39, {39}},
        {5, 3, 39, {1, 39}, 1, 39, {}},
        {5, 4, 39, {20, 21}, 1, 39, {}},
        {5, 5, 39, {15, 44}, 25, 15, {25}},
        {5, 7, 39, {15, 25}, 25, 15, {}},
        {5, 9, 35, {1, 32}, 15, 1, {15}},
        {5, 11, 35, {1, 15}, 15, 1, {}},
        {5, 13, 35, {39, 8}, 39, 25, {25}},
        {5, 16, 35, {8, 9}, 39, 25, {}},
        // One blade on a corner (top-left, top-right, bottom-left, bottom-right) over the
        // two far sides.
        {6, 1, 25, {15, 16}, 15, 39, {}},
        {6, 2, 25, {39, 38}, 15, 39, {}},
        {6, 3, 25, {1, 48}, 25, 1, {}},
        {6, 4, 25, {25, 26}, 25, 1, {}},
        {6, 5, 25, {1, 2}, 1, 25, {}},
        {6, 6, 25, {25, 24}, 1, 25, {}},
        {6, 7, 25, {39, 40}, 39, 15, {}},
        {6, 8, 25, {15, 14}, 39, 15, {}},
        // Two blades on a corner.
        {7, 1, 25, {15, 27}, 15, 39, {39}},
        {7, 3, 25, {15, 39}, 15, 39, {}},
        {7, 6, 25, {37, 26}, 25, 1, {25}},
        {7, 7, 25, {1, 25}, 25, 1, {}},
        {7, 9, 25, {1, 13}, 1, 25, {25}},
        {7, 12, 25, {13, 14}, 1, 25, {}},
        {7, 13, 25, {39, 3}, 39, 15, {15}},
        {7, 15, 25, {39, 15}, 39, 15, {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE("style " + std::to_string(row.style) + " sub-style " +
                     std::to_string(row.sub));
        const RadialSweep sweep(12, 8, row.style, row.sub);
        ASSERT_EQ(sweep.TotalSteps(), row.total);
        std::vector<int> first;
        for (int s = 1; s <= 2; ++s) {
            const RadialBlades blades = sweep.BladesAt(s, 1);
            for (int i = 0; i < blades.Count; ++i) first.push_back(blades.Items[size_t(i)].Last);
        }
        EXPECT_EQ(first, row.firstSteps);
        std::set<int> part;
        for (int q = row.from;; q = q % 48 + 1) {
            part.insert(q);
            if (q == row.to) break;
        }
        const std::map<int, int> reached = PositionsReached(sweep);
        std::set<int> unreached = part;
        for (auto [q, count] : reached) {
            EXPECT_TRUE(part.count(q)) << "reached " << q << " outside the part";
            unreached.erase(q);
            // One blade turns once round; a lone blade never comes back.
            if (row.style == 1 || row.style == 4 || row.style == 6) {
                EXPECT_EQ(count, 1) << q;
            }
        }
        EXPECT_EQ(unreached, row.unreached);
    }
}

TEST_F(RadialTest, StepCountsAndUnknownPicks) {
    struct Row {
        uint16_t style, sub;
        int total, blades;
    } rows[] = {
        {1, 9, 48, 0}, {2, 0, 48, 0}, {3, 9, 12, 0},  {4, 9, 0, 0},   {4, 0, 0, 0},
        {5, 17, 0, 0}, {6, 9, 25, 0}, {7, 17, 25, 0}, {8, 1, 0, 0},   {0, 1, 0, 0},
        {2, 1, 48, 1}, {3, 1, 12, 4}, {5, 8, 39, 1},  {7, 16, 25, 1},
    };
    for (const Row& row : rows) {
        const RadialSweep sweep(12, 8, row.style, row.sub);
        EXPECT_EQ(sweep.TotalSteps(), row.total) << row.style << "/" << row.sub;
        EXPECT_EQ(sweep.BladesAt(3, 1).Count, row.blades) << row.style << "/" << row.sub;
    }
    // Two-blade steps share a frame's delta: the owner of the range's first step gets the
    // larger half.
    const RadialSweep two(12, 8, 2, 1);
    RadialBlades blades = two.BladesAt(5, 3);  // steps 3, 4, 5: the first blade owns 3 and 5
    ASSERT_EQ(blades.Count, 2);
    EXPECT_EQ(blades.Items[0].Delta, 2);
    EXPECT_EQ(blades.Items[0].Last, 10);  // its own step 3
    EXPECT_EQ(blades.Items[1].Delta, 1);
    EXPECT_EQ(blades.Items[1].Last, 33);  // its own step 2
    blades = two.BladesAt(6, 3);          // steps 4, 5, 6: the second blade owns 4 and 6
    ASSERT_EQ(blades.Count, 2);
    EXPECT_EQ(blades.Items[0].Delta, 1);
    EXPECT_EQ(blades.Items[1].Delta, 2);
}

TEST_F(RadialTest, CornersOnThePivotSideAreNotUsed) {
    using Corners = RadialCorners;  // top-left, top-right, bottom-right, bottom-left
    struct Row {
        uint16_t style, sub;
        Corners used;
    } rows[] = {
        {1, 1, {true, true, true, true}},     {3, 6, {true, true, true, true}},
        {4, 2, {false, true, true, false}},   {4, 3, {true, false, false, true}},
        {4, 5, {false, false, true, true}},   {4, 8, {true, true, false, false}},
        {5, 4, {false, true, true, false}},   {5, 5, {true, false, false, true}},
        {5, 12, {false, false, true, true}},  {5, 13, {true, true, false, false}},
        {6, 1, {false, false, true, false}},  {6, 4, {false, false, false, true}},
        {6, 6, {false, true, false, false}},  {6, 7, {true, false, false, false}},
        {7, 4, {false, false, true, false}},  {7, 5, {false, false, false, true}},
        {7, 12, {false, true, false, false}}, {7, 16, {true, false, false, false}},
    };
    for (const Row& row : rows)
        EXPECT_EQ(RadialSweep(12, 8, row.style, row.sub).CornersUsed(), row.used)
            << row.style << "/" << row.sub;
}

// The wedge of a range runs from the pivot to the first position's point, through the used
// corners strictly inside the range in ring order, to the last position's point.
TEST_F(RadialTest, WedgePassesTheCornersOfItsRange) {
    // 12 x 8: ring 13 x 9, P = 48, corners TL (-1,-1) at 1, TR (13,-1) at 15, BR (13,9) at
    // 25, BL (-1,9) at 39.
    const Point c{6, 4}, tl{-1, -1}, tr{13, -1}, br{13, 9}, bl{-1, 9};
    struct Row {
        uint16_t style, sub;
        int last, delta;
        std::vector<Point> points;
    } rows[] = {
        {1, 1, 10, 5, {c, {4, -1}, {8, -1}}},                    // along the top edge
        {1, 1, 17, 5, {c, {11, -1}, tr, {13, 1}}},               // round the top-right corner
        {1, 1, 15, 3, {c, {11, -1}, tr}},                        // ends on a corner
        {1, 1, 17, 3, {c, tr, {13, 1}}},                         // starts on a corner
        {1, 1, 3, 6, {c, {-1, 2}, tl, {1, -1}}},                 // wraps past position 48
        {1, 1, 1, 4, {c, {-1, 2}, tl}},                          // wraps onto position 1
        {1, 1, 20, 30, {c, bl, tl, tr, {13, 4}}},                // runs on after the wrap
        {1, 1, 10, 100, {c, {9, -1}, tr, br, bl, tl, {8, -1}}},  // more than a turn: one turn
        {4, 4, 17, 5, {{13, 4}, {11, -1}, {13, 1}}},             // right pivot: TR not used
        {6, 1, 28, 6, {tl, {13, 7}, br, {10, 9}}},               // top-left pivot: BR used
    };
    for (const Row& row : rows) {
        const RadialSweep sweep(12, 8, row.style, row.sub);
        const Point pivot = row.style == 1 ? c : row.points[0];
        std::array<Point, 7> points;
        const int n = sweep.Wedge({pivot, row.last, row.delta}, points);
        EXPECT_EQ(std::vector<Point>(points.begin(), points.begin() + n), row.points)
            << "last " << row.last << " delta " << row.delta;
    }
}

// --- Painting -----------------------------------------------------------------------------

// A one-position step draws the line from the pivot to the point, without the point; a
// longer one fills the wedge, outline included. The changed rectangle spans the points.
TEST_F(RadialTest, OnePositionStepsDrawALineLongerOnesAWedge) {
    const int w = 37, h = 23;
    HandRun run(w, h);
    RadialProbe radial(1, 1);
    const RadialSweep sweep(w, h, 1, 1);
    Bitmap painted;
    core::Rect dirty;
    radial.AfterPaint = [&](const Bitmap& mask, const core::Rect& r) {
        painted = mask;
        dirty = r;
    };
    const int total = radial.Begin(run.Data);
    ASSERT_EQ(total, 124);
    int previous = 0;
    for (int step : {1, 2, 9, 40, 41, 70, 123}) {
        SCOPED_TRACE("step " + std::to_string(step));
        radial.Step(run.Data, step, previous, total);
        const RadialBlade blade = sweep.BladesAt(step, step - previous).Items[0];
        Bitmap expected = BlankMask(painted.Width(), h);
        core::Rect span;
        if (step - previous == 1) {
            raster::DrawLine(expected, blade.Pivot, sweep.Ring().PointAt(blade.Last), 0xFFFFFF);
            const Point a = blade.Pivot, b = sweep.Ring().PointAt(blade.Last);
            span = {std::min(a.X, b.X), std::min(a.Y, b.Y), std::max(a.X, b.X) + 1,
                    std::max(a.Y, b.Y) + 1};
        } else {
            std::array<Point, 7> points;
            const int n = sweep.Wedge(blade, points);
            raster::FillPolygon(expected, std::span<const Point>(points.data(), size_t(n)),
                                0xFFFFFF);
            span = {points[0].X, points[0].Y, points[0].X + 1, points[0].Y + 1};
            for (int i = 1; i < n; ++i)
                span = {std::min(span.Left, points[size_t(i)].X),
                        std::min(span.Top, points[size_t(i)].Y),
                        std::max(span.Right, points[size_t(i)].X + 1),
                        std::max(span.Bottom, points[size_t(i)].Y + 1)};
        }
        EXPECT_TRUE(painted == expected);
        EXPECT_EQ(dirty, span);
        previous = step;
    }
    radial.End(run.Data);
}

// The masks of steps 1 .. total together cover every pixel of the frame, one position at a
// time and in wedges of varying width; only the lines to positions no blade reaches (where
// two blades meet at the end) are left to the final frame.
TEST_F(RadialTest, AllStepsTogetherCoverTheFrame) {
    for (auto [w, h] : {std::pair{12, 8}, std::pair{37, 23}, std::pair{64, 17}}) {
        for (uint16_t style = 1; style <= 7; ++style)
            for (uint16_t sub = 1; sub <= SubStyles(style); ++sub)
                for (bool wedges : {false, true}) {
                    SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h) + " style " +
                                 std::to_string(style) + "/" + std::to_string(sub) +
                                 (wedges ? " wedges" : " lines"));
                    HandRun run(w, h);
                    RadialProbe radial(style, sub);
                    const RadialSweep sweep(w, h, style, sub);
                    Bitmap covered = BlankMask(run.Old.Width(), h);
                    radial.AfterPaint = [&](const Bitmap& mask, const core::Rect&) {
                        for (size_t i = 0; i < mask.SizeBytes(); ++i)
                            covered.Bits()[i] |= mask.Bits()[i];
                    };
                    const int total = radial.Begin(run.Data);
                    int previous = 0;
                    for (int step : wedges ? CyclingSteps(total) : EverySteps(total)) {
                        radial.Step(run.Data, step, previous, total);
                        previous = step;
                    }
                    radial.End(run.Data);
                    // The lines where blades meet: the positions of the swept part no blade
                    // reaches, next to positions that are reached.
                    const std::map<int, int> reached = PositionsReached(sweep);
                    const int p = sweep.Ring().Length;
                    for (int q = 1; q <= p; ++q) {
                        const bool between = reached.count(sweep.Ring().Wrap(q - 1)) &&
                                             reached.count(sweep.Ring().Wrap(q + 1));
                        if (!reached.count(q) && between)
                            raster::DrawLine(covered, sweep.BladesAt(1, 1).Items[0].Pivot,
                                             sweep.Ring().PointAt(q), 0xFFFFFF);
                    }
                    int holes = 0;
                    for (int y = 0; y < h; ++y)
                        for (int x = 0; x < w; ++x) holes += covered.GetIndex(x, y) == 0;
                    EXPECT_EQ(holes, 0);
                }
    }
}

// Every flushed frame shows the new picture exactly where the masks painted so far say: the
// changed rectangle misses nothing. Checked for every sub-style, step by step and in wedges.
TEST_F(RadialTest, FramesShowTheWedgesSweptSoFar) {
    const int w = 37, h = 23;
    const Bitmap a = PictureA(w, h), b = PictureB(w, h);
    for (uint16_t style = 1; style <= 7; ++style)
        for (uint16_t sub = 1; sub <= SubStyles(style); ++sub)
            for (bool wedges : {false, true}) {
                SCOPED_TRACE("style " + std::to_string(style) + "/" + std::to_string(sub) +
                             (wedges ? " wedges" : " lines"));
                RadialProbe radial(style, sub);
                const int total = RadialSweep(w, h, style, sub).TotalSteps();
                radial.PlaySteps(wedges ? CyclingSteps(total) : EverySteps(total));
                Bitmap expected = a;
                std::vector<Bitmap> wanted;
                radial.AfterPaint = [&](const Bitmap& mask, const core::Rect&) {
                    for (int y = 0; y < h; ++y)
                        for (int x = 0; x < w; ++x)
                            if (mask.GetIndex(x, y)) expected.SetPixel(x, y, b.GetPixel(x, y));
                    wanted.push_back(expected);
                };
                const std::vector<Bitmap> frames = RunFrames(radial, a, b);
                ASSERT_EQ(frames.size(), wanted.size() + 1);
                for (size_t i = 0; i < wanted.size(); ++i)
                    ASSERT_TRUE(frames[i] == wanted[i]) << "frame " << i;
                EXPECT_TRUE(frames.back() == b);
            }
}

// --- The show's sweeps --------------------------------------------------------------------

TEST_F(RadialTest, AnswersSubStylesAndReversal) {
    RadialTransition radial;
    EXPECT_STREQ(radial.ClassName(), "RadialTransition");
    EXPECT_EQ(radial.GetDescription(), "Radial");
    EXPECT_TRUE(radial.ClearsMaskAfterStep());
    EXPECT_FALSE(radial.AccumulatesMask());
    EXPECT_EQ(radial.StyleCount(), 7);
    const std::pair<uint16_t, uint16_t> counts[] = {{0, 0},  {1, 8}, {2, 8},  {3, 8}, {4, 8},
                                                    {5, 16}, {6, 8}, {7, 16}, {8, 1}};
    for (auto [style, count] : counts) EXPECT_EQ(radial.SubStyleCount(style), count) << style;
    struct Row {
        uint16_t style, sub, reversed;
    } rows[] = {{1, 1, 2},   {1, 2, 1},   {1, 7, 8},   {1, 9, 9}, {4, 3, 4}, {6, 8, 7},
                {5, 15, 16}, {7, 16, 15}, {5, 17, 17}, {3, 0, 0}, {8, 1, 1}, {0, 2, 2}};
    for (const Row& row : rows)
        EXPECT_EQ(radial.ReverseSubStyle(row.style, row.sub), row.reversed)
            << row.style << "/" << row.sub;
}

// Clockwise, ClockObr and ClockNew from the show's table: their stored values, where their
// first frames draw, the reversal, and a run from picture A to exactly picture B on every
// display format at an odd size.
TEST_F(RadialTest, ShowSweepsFromTheTable) {
    RegisterAllEffectClasses();
    TransitionList list;
    LoadEffectList(list, ShowEffectTable());
    const int w = 29, h = 17;  // centre (14, 8)
    struct Row {
        const char* name;
        uint16_t sub, reversedSub;
        // Which pixels the first two frames turn: the line straight up or down from the
        // centre, then the next one to the right or left.
        bool down;
        int secondSide;  // +1 right, -1 left
    } rows[] = {{"Clockwise", 1, 2, false, +1},
                {"ClockObr", 2, 1, false, -1},
                {"ClockNew", 5, 6, true, -1}};
    const Bitmap a32 = PictureA(w, h), b32 = PictureB(w, h);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        auto* radial = dynamic_cast<RadialTransition*>(list.Transitions(list.IndexOf(row.name)));
        ASSERT_NE(radial, nullptr);
        EXPECT_EQ(radial->Milliseconds, 1700);
        EXPECT_EQ(radial->Style(), 1);
        EXPECT_EQ(radial->SubStyle(), row.sub);
        radial->Reversed = true;
        EXPECT_EQ(radial->ActualSubStyle(), row.reversedSub);
        radial->Reversed = false;
        radial->Milliseconds = 0;

        for (PixelFormat format : kDisplayFormats) {
            DisplayFormat display(format);
            const std::vector<Bitmap> frames = RunFrames(*radial, a32, b32);
            ASSERT_EQ(frames.size(), 2u * (29 + 17 + 2)) << int(format);
            ASSERT_TRUE(EachFrameOldOrNewEndingNew(frames, ConvertedForDisplay(a32, format),
                                                   ConvertedForDisplay(b32, format)))
                << "format " << int(format);
            if (format != PixelFormat::Bits32) continue;
            // Frame 1: the column straight up (or down) from the centre, the centre included.
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x) {
                    const bool onLine = x == 14 && (row.down ? y >= 8 : y <= 8);
                    EXPECT_EQ(frames[0].GetPixel(x, y), (onLine ? b32 : a32).GetPixel(x, y))
                        << "frame 1 at " << x << "," << y;
                }
            // Frame 2 turns pixels on one side of that line only.
            int turned = 0;
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x)
                    if (frames[1].GetPixel(x, y) != frames[0].GetPixel(x, y)) {
                        ++turned;
                        EXPECT_EQ(x - 14 > 0 ? 1 : -1, row.secondSide) << x << "," << y;
                    }
            EXPECT_GT(turned, 0);
        }
    }
}

}  // namespace

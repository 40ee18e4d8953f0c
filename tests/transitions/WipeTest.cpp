#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "EffectHarness.h"
#include "core/Random.h"
#include "transitions/EffectTable.h"
#include "transitions/HeadlessControl.h"
#include "transitions/WipeTransition.h"

namespace {

using namespace transitions;
using namespace transitions::harness;
using D = Direction;
using raster::Bitmap;
using raster::PixelFormat;

// The program's generator written out again, to check the mask and the offsets against.
struct Lcg {
    uint32_t Seed;
    uint32_t Next(uint32_t n) {
        Seed = Seed * 134775813u + 1u;
        return uint32_t((uint64_t(Seed) * n) >> 32);
    }
};

// black[c][i]: band position c, position i along the band.
using MaskBits = std::vector<std::vector<bool>>;

MaskBits ReferenceMask(int bw, int length, bool densityFalls, Lcg& rng) {
    MaskBits black(size_t(bw), std::vector<bool>(size_t(length), false));
    for (int c = 0; c < bw; ++c) {
        int d = c * 100 / bw;
        int t = densityFalls ? 100 - d : d;
        if (t == 0) t = 1;
        for (int i = 0; i <= length; ++i) {
            uint32_t r = rng.Next(100);
            if (i < length) black[size_t(c)][size_t(i)] = uint32_t(t) >= r;
        }
    }
    return black;
}

bool IsVertical(D d) {
    return d == D::Right || d == D::Left;
}

// The wipe's mask read as black[c][i] (c across the band).
MaskBits MaskOf(const Bitmap& mask, D d) {
    bool vertical = IsVertical(d);
    int bw = vertical ? mask.Width() : mask.Height();
    int length = vertical ? mask.Height() : mask.Width();
    MaskBits black(size_t(bw), std::vector<bool>(size_t(length), false));
    for (int c = 0; c < bw; ++c)
        for (int i = 0; i < length; ++i)
            black[size_t(c)][size_t(i)] =
                (vertical ? mask.GetIndex(c, i) : mask.GetIndex(i, c)) == 0;
    return black;
}

using SteppedWipe = Stepped<WipeTransition>;

struct WipeRun {
    std::vector<Bitmap> Frames;  // every flushed canvas, the last one the final frame
    int FrameCount = 0;
};

// Prepare on A, switch the look to B, Execute, Unprepare; headless.
WipeRun RunWipe(WipeTransition& wipe, const Bitmap& a, const Bitmap& b, bool keepFrames = true) {
    HeadlessControl control(a.Width(), a.Height());
    WipeRun run;
    control.OnFrame = [&](const Bitmap& canvas, const core::Rect&) {
        if (keepFrames) run.Frames.push_back(canvas);
    };
    EXPECT_TRUE(RunOn(control, wipe, a, b));
    run.FrameCount = control.FramesFlushed();
    return run;
}

std::unique_ptr<SteppedWipe> MakeWipe(D direction, int32_t bandWidth, bool reversed = false) {
    auto wipe = std::make_unique<SteppedWipe>();
    wipe->SetDirection(direction);
    wipe->SetBandWidth(bandWidth);
    wipe->Reversed = reversed;
    return wipe;
}

class WipeTest : public DisplayTest {};

TEST_F(WipeTest, AnswersAndDefaults) {
    WipeTransition wipe;
    EXPECT_STREQ(wipe.ClassName(), "WipeTransition");
    EXPECT_EQ(wipe.GetDescription(), "Wipe");
    EXPECT_FALSE(wipe.PaintsOldImage());
    EXPECT_EQ(wipe.GetDirection(), D::Right);
    EXPECT_EQ(wipe.BandWidth(), 50);
    EXPECT_EQ(wipe.AllowedDirections(), 0x07FE);
    EXPECT_EQ(wipe.Milliseconds, 0);
    wipe.SetDirection(D::None);
    EXPECT_EQ(wipe.GetDirection(), D::Right);
}

// The band width reads as stored only for side directions (as they run, reversal included);
// the band, and with it the old image and the work bitmap, is used only when it is above 0.
TEST_F(WipeTest, BandWidthReadsPerDirection) {
    for (int d = 1; d <= 10; ++d) {
        for (bool reversed : {false, true}) {
            for (int32_t stored : {33, 0, -5}) {
                auto wipe = MakeWipe(D(d), stored, reversed);
                bool side = d <= 4;
                SCOPED_TRACE("direction " + std::to_string(d) + " stored " +
                             std::to_string(stored) + (reversed ? " reversed" : ""));
                EXPECT_EQ(wipe->BandWidth(), side ? stored : 0);
                EXPECT_EQ(wipe->NeedsOldImage(), side && stored > 0);
                EXPECT_EQ(wipe->NeedsWorkBitmap(), side && stored > 0);
            }
        }
    }
}

TEST_F(WipeTest, ReversedRunsTheOppositeDirection) {
    struct Row {
        D direction;
        D actual;
    } rows[] = {{D::In, D::Out},
                {D::Out, D::In},
                {D::Right, D::Left},
                {D::Down, D::Up},
                {D::DownRight, D::UpLeft}};
    for (const Row& row : rows) {
        auto wipe = MakeWipe(row.direction, 10, true);
        EXPECT_EQ(wipe->ActualDirection(), row.actual);
    }
}

TEST_F(WipeTest, TotalStepsPerDirection) {
    struct Row {
        D direction;
        int32_t band;
        int w, h;
        int total;
    } rows[] =
        {
            {D::Right, 20, 640, 2, 660},    {D::Left, 5, 37, 23, 42},
            {D::Down, 5, 37, 23, 28},       {D::Up, 0, 37, 23, 23},
            {D::Right, -7, 37, 23, 37},  // a negative band counts as none
            {D::DownRight, 50, 37, 23, 60}, {D::DownLeft, 50, 37, 23, 37},
            {D::UpRight, 0, 23, 37, 37},    {D::UpLeft, 0, 37, 23, 37},
            {D::In, 50, 37, 23, 18},        {D::Out, 0, 23, 37, 18},
        };
    for (const Row& row : rows) {
        auto wipe = MakeWipe(row.direction, row.band);
        // Untimed: one frame for each step but the last, then the final copy.
        WipeRun run = RunWipe(*wipe, PictureA(row.w, row.h), PictureB(row.w, row.h), false);
        EXPECT_EQ(run.FrameCount, row.total) << "direction " << int(row.direction);
    }
}

TEST_F(WipeTest, BandMaskIsFixedByTheSeedAndTheThresholds) {
    // A few bits worked out by hand from the generator (seed 1642000): Right, band 3,
    // frame height 5; Up, band 4, frame width 10. "B" = black (new picture).
    struct Golden {
        D direction;
        int band, w, h;
        int position;
        const char* bits;  // the first bits along the band at that position
    } goldens[] = {
        {D::Right, 3, 6, 5, 0, "BBBBBBBBBBBBBBBB"}, {D::Right, 3, 6, 5, 1, "BwBwBBBwwBBwBBBw"},
        {D::Right, 3, 6, 5, 2, "wwBwwBwwwBwwBBwB"}, {D::Up, 4, 10, 6, 0, "wwwwwwwwwwwwwwww"},
        {D::Up, 4, 10, 6, 1, "wwwwwwwwBBwBBwwB"},   {D::Up, 4, 10, 6, 3, "BBBwBBBBwBBwBwBw"},
    };
    for (const Golden& g : goldens) {
        auto wipe = MakeWipe(g.direction, g.band);
        RunWipe(*wipe, PictureA(g.w, g.h), PictureB(g.w, g.h), false);
        ASSERT_NE(wipe->BandMask(), nullptr);
        MaskBits black = MaskOf(*wipe->BandMask(), g.direction);
        std::string bits;
        for (int i = 0; i < 16; ++i) bits += black[size_t(g.position)][size_t(i)] ? 'B' : 'w';
        EXPECT_EQ(bits, g.bits) << "direction " << int(g.direction) << " position " << g.position;
    }

    // Whole masks of every side direction against the generator and thresholds.
    for (D d : {D::Right, D::Left, D::Down, D::Up}) {
        const int w = 31, h = 17, bw = 7;
        auto wipe = MakeWipe(d, bw);
        RunWipe(*wipe, PictureA(w, h), PictureB(w, h), false);
        ASSERT_NE(wipe->BandMask(), nullptr);
        const Bitmap& mask = *wipe->BandMask();
        // BW x (H + 75) across a vertical band, (W + 75) x BW across a horizontal one.
        EXPECT_EQ(mask.Width(), IsVertical(d) ? bw : w + 75);
        EXPECT_EQ(mask.Height(), IsVertical(d) ? h + 75 : bw);
        Lcg rng{1642000};
        int length = IsVertical(d) ? h + 75 : w + 75;
        EXPECT_EQ(MaskOf(mask, d), ReferenceMask(bw, length, d == D::Right || d == D::Down, rng))
            << "direction " << int(d);
    }
}

TEST_F(WipeTest, BandMaskIsKeptBetweenRunsAndRebuiltOnlyWhenNeeded) {
    const int w = 29, h = 15;
    const Bitmap a = PictureA(w, h), b = PictureB(w, h);
    auto wipe = MakeWipe(D::Down, 6);
    RunWipe(*wipe, a, b, false);
    ASSERT_NE(wipe->BandMask(), nullptr);
    const Bitmap first = *wipe->BandMask();

    // Same size and direction: no rebuild, so no reseed; each of the 20 drawn steps draws
    // one offset from wherever the generator stood.
    core::ProgramRandom().SetSeed(12345);
    RunWipe(*wipe, a, b, false);
    Lcg expected{12345};
    for (int s = 1; s < 6 + h; ++s) expected.Next(75);
    EXPECT_EQ(core::ProgramRandom().Seed(), expected.Seed);
    EXPECT_EQ(*wipe->BandMask(), first);

    // Another effect of the same size and direction builds the same mask.
    auto other = MakeWipe(D::Down, 6);
    RunWipe(*other, a, b, false);
    EXPECT_EQ(*other->BandMask(), first);

    // Another direction rebuilds it (same size, other thresholds), and so does another size.
    wipe->SetDirection(D::Up);
    RunWipe(*wipe, a, b, false);
    EXPECT_EQ(wipe->BandMask()->Width(), first.Width());
    EXPECT_NE(*wipe->BandMask(), first);
    RunWipe(*wipe, PictureA(w + 2, h), PictureB(w + 2, h), false);
    EXPECT_EQ(wipe->BandMask()->Width(), w + 2 + 75);

    // No band at the start of a run frees it.
    wipe->SetBandWidth(0);
    RunWipe(*wipe, a, b, false);
    EXPECT_EQ(wipe->BandMask(), nullptr);
    wipe->SetBandWidth(6);
    wipe->SetDirection(D::Out);
    RunWipe(*wipe, a, b, false);
    EXPECT_EQ(wipe->BandMask(), nullptr);
}

// Whether pixel (x, y) shows the new picture after step s of T, for the wipes without a band.
bool RevealedWithoutBand(D d, int w, int h, int total, int s, int x, int y) {
    int px = int(std::nearbyint(double(w) / total * s));
    int py = int(std::nearbyint(double(h) / total * s));
    switch (d) {
        case D::Right:
            return x < s;
        case D::Left:
            return x >= w - s;
        case D::Down:
            return y < s;
        case D::Up:
            return y >= h - s;
        case D::DownRight:
            return x < px && y < py;
        case D::DownLeft:
            return x >= w - px && y < py;
        case D::UpRight:
            return x < px && y >= h - py;
        case D::UpLeft:
            return x >= w - px && y >= h - py;
        case D::In: {
            int hx = px / 2, hy = py / 2;
            return !(x >= hx && x < w - hx && y >= hy && y < h - hy);
        }
        case D::Out: {
            int hx = (w - px) / 2, hy = (h - py) / 2;
            return x >= hx && x < w - hx && y >= hy && y < h - hy;
        }
        case D::None:
            break;
    }
    return false;
}

// Runs `wipe` untimed (every step) and again over SkippingSteps, and checks each frame
// against `expectFrame(frame, step, previous step)`; the last frame must be the new picture.
template <typename Check>
void CheckBothWays(D direction, int32_t band, bool reversed, const Bitmap& a, const Bitmap& b,
                   int total, Check expectFrame) {
    for (bool skipping : {false, true}) {
        SCOPED_TRACE(skipping ? "skipping steps" : "every step");
        auto wipe = MakeWipe(direction, band, reversed);
        std::vector<int> steps;
        if (skipping) {
            steps = SkippingSteps(total);
        } else {
            for (int s = 1; s < total; ++s) steps.push_back(s);
        }
        if (skipping) wipe->PlaySteps(steps);
        WipeRun run = RunWipe(*wipe, a, b);
        ASSERT_EQ(run.Frames.size(), steps.size() + 1);
        int previous = 0;
        for (size_t f = 0; f < steps.size(); ++f) {
            expectFrame(run.Frames[f], steps[f], previous);
            if (::testing::Test::HasFatalFailure()) return;
            previous = steps[f];
        }
        EXPECT_EQ(run.Frames.back(), b);
    }
}

TEST_F(WipeTest, FramesWithoutABandMatchTheGeometry) {
    for (auto [w, h] : {std::pair{13, 9}, std::pair{9, 13}}) {
        const Bitmap a = PictureA(w, h), b = PictureB(w, h);
        for (int d = 1; d <= 10; ++d) {
            SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h) + " direction " +
                         std::to_string(d));
            const int m = std::max(w, h);
            const int totals[] = {0, w, w, h, h, w + h, m, m, m, m / 2, m / 2};
            const int total = totals[d];
            CheckBothWays(D(d), 0, false, a, b, total, [&](const Bitmap& frame, int s, int) {
                for (int y = 0; y < h; ++y)
                    for (int x = 0; x < w; ++x) {
                        bool revealed = RevealedWithoutBand(D(d), w, h, total, s, x, y);
                        ASSERT_EQ(frame.GetPixel(x, y), (revealed ? b : a).GetPixel(x, y))
                            << "step " << s << " at " << x << "," << y;
                    }
            });
        }
    }
}

// Side wipes with a band, against a per-pixel replay: each drawn step draws the band (mask
// black = new picture, read at a fresh random offset along the band) ahead of the strip,
// then the strip one pixel wider and taller. The band slides in from and out across the
// frame's edges. Up places its band from the strip's previous top, the others from the
// strip's new edge.
TEST_F(WipeTest, BandFramesMatchAPerPixelReplay) {
    struct Row {
        D direction;
        bool reversed;
        D runs;
    } rows[] = {{D::Right, false, D::Right},
                {D::Left, false, D::Left},
                {D::Down, false, D::Down},
                {D::Up, false, D::Up},
                {D::Right, true, D::Left}};
    const int w = 13, h = 9, bw = 4;
    const Bitmap a = PictureA(w, h), b = PictureB(w, h);
    for (const Row& row : rows) {
        SCOPED_TRACE("direction " + std::to_string(int(row.direction)) +
                     (row.reversed ? " reversed" : ""));
        const D d = row.runs;
        const bool vertical = IsVertical(d);
        const bool forward = d == D::Right || d == D::Down;
        const int extent = vertical ? w : h;  // along the movement
        Lcg rng{1642000};
        const MaskBits black = ReferenceMask(bw, (vertical ? h : w) + 75, forward, rng);
        Bitmap expected = a;
        CheckBothWays(row.direction, bw, row.reversed, a, b, bw + extent,
                      [&](const Bitmap& frame, int s, int p) {
                          if (p == 0) {
                              expected = a;  // a new run: the mask is rebuilt, reseeding
                              rng = Lcg{1642000};
                              ReferenceMask(bw, (vertical ? h : w) + 75, forward, rng);
                          }
                          const int offset = int(rng.Next(75));
                          // The strip's inclusive span and the band's first position.
                          int stripFirst, stripLast, bandStart;
                          if (forward) {
                              stripFirst = p - bw;
                              stripLast = s - bw;
                              bandStart = s - bw + 1;
                          } else {
                              stripFirst = extent + bw - s;
                              stripLast = extent + bw - p;
                              bandStart = d == D::Up ? extent - p - 1 : extent - s - 1;
                          }
                          for (int y = 0; y < h; ++y)
                              for (int x = 0; x < w; ++x) {
                                  int along = vertical ? x : y, across = vertical ? y : x;
                                  int c = along - bandStart;
                                  if (c >= 0 && c < bw) {
                                      bool isNew = black[size_t(c)][size_t(across + offset)];
                                      expected.SetPixel(x, y, (isNew ? b : a).GetPixel(x, y));
                                  }
                              }
                          for (int y = 0; y < h; ++y)
                              for (int x = 0; x < w; ++x) {
                                  int along = vertical ? x : y;
                                  if (along >= stripFirst && along <= stripLast)
                                      expected.SetPixel(x, y, b.GetPixel(x, y));
                              }
                          for (int y = 0; y < h; ++y)
                              for (int x = 0; x < w; ++x)
                                  ASSERT_EQ(frame.GetPixel(x, y), expected.GetPixel(x, y))
                                      << "step " << s << " at " << x << "," << y;
                      });
    }
}

// Every direction, in every display format, at an odd size: the run ends with exactly the new
// picture, and every frame before shows at each pixel the old or the new picture's value.
TEST_F(WipeTest, EveryDirectionEndsOnTheNewPictureInEveryFormat) {
    const int w = 21, h = 13;
    const Bitmap a32 = PictureA(w, h), b32 = PictureB(w, h);
    for (PixelFormat format : kDisplayFormats) {
        DisplayFormat display(format);
        const Bitmap a = ConvertedForDisplay(a32, format), b = ConvertedForDisplay(b32, format);
        for (int d = 1; d <= 10; ++d) {
            auto wipe = MakeWipe(D(d), 5);
            WipeRun run = RunWipe(*wipe, a32, b32);
            ASSERT_FALSE(run.Frames.empty());
            const Bitmap& last = run.Frames.back();
            ASSERT_EQ(last.Format(), format);
            ASSERT_TRUE(EachFrameOldOrNewEndingNew(run.Frames, a, b))
                << "format " << int(format) << " direction " << d;
        }
    }
}

TEST_F(WipeTest, AssignCopiesTheBandWidthAsRead) {
    auto source = MakeWipe(D::Down, 30);
    source->Milliseconds = 1700;
    WipeTransition target;
    target.Assign(*source);
    EXPECT_EQ(target.GetDirection(), D::Down);
    EXPECT_EQ(target.BandWidth(), 30);
    EXPECT_EQ(target.Milliseconds, 1700);

    // A corner wipe reads its band as 0, and that is what is copied.
    source->SetDirection(D::In);
    target.Assign(*source);
    target.SetDirection(D::Right);
    EXPECT_EQ(target.BandWidth(), 0);
}

TEST_F(WipeTest, PropertiesByNameAndTheShowTable) {
    WipeTransition wipe;
    EXPECT_TRUE(wipe.SetProperty("BandWidth", int32_t(20)));
    EXPECT_EQ(wipe.BandWidth(), 20);
    EXPECT_FALSE(wipe.SetProperty("BandWidth", true));
    EXPECT_TRUE(wipe.SetProperty("Direction", int32_t(D::UpLeft)));
    EXPECT_EQ(wipe.GetDirection(), D::UpLeft);
    EXPECT_TRUE(wipe.SetProperty("Direction", int32_t(D::None)));  // ignored, as the setter
    EXPECT_EQ(wipe.GetDirection(), D::UpLeft);
    EXPECT_FALSE(wipe.SetProperty("Direction", int32_t(11)));
    EXPECT_TRUE(wipe.SetProperty("Reversed", true));
    EXPECT_TRUE(wipe.Reversed);
    EXPECT_TRUE(wipe.SetProperty("Milliseconds", int32_t(1700)));
    EXPECT_EQ(wipe.Milliseconds, 1700);
    EXPECT_FALSE(wipe.SetProperty("Cols", int32_t(3)));

    // The show's ten wipes load with their stored values.
    RegisterAllEffectClasses();
    std::vector<StoredEffect> wipes;
    for (const auto& e : ShowEffectTable())
        if (e.ClassName == "WipeTransition") wipes.push_back(e);
    ASSERT_EQ(wipes.size(), 10u);
    TransitionList list;
    LoadEffectList(list, wipes);
    struct Row {
        const char* name;
        D direction;
        int32_t band;
    } rows[] = {{"WipeDown", D::Down, 50}, {"WipeLeft", D::Left, 50},     {"Right", D::Right, 20},
                {"WipeUp", D::Up, 50},     {"Ugol_d_r", D::DownRight, 0}, {"Intro", D::In, 0},
                {"Out", D::Out, 0}};
    for (const Row& row : rows) {
        auto* effect = dynamic_cast<WipeTransition*>(list.Transitions(list.IndexOf(row.name)));
        ASSERT_NE(effect, nullptr) << row.name;
        EXPECT_EQ(effect->GetDirection(), row.direction) << row.name;
        EXPECT_EQ(effect->BandWidth(), row.band) << row.name;
        EXPECT_EQ(effect->Milliseconds, 1700) << row.name;
    }
}

}  // namespace

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "EffectHarness.h"
#include "transitions/BlendTransition.h"
#include "transitions/DripTransition.h"
#include "transitions/EffectTable.h"
#include "transitions/HeadlessControl.h"

namespace {

using namespace transitions;
using namespace transitions::harness;
using raster::PixelFormat;
using D = Direction;

// --- A word-by-word reference of the blend arithmetic ------------------------------------

// The mix formulas of levels 1 to 32, term by term. Kept apart from the effect's own table
// on purpose: the blended words are fixed by these formulas, and a slip in either copy shows.
const char* const kFormulas[33] = {
    "",
    "S + D>>6 - S>>6",
    "S + D>>5 - S>>5",
    "S + D>>6 + D>>5 - S>>6 - S>>5",
    "S + D>>4 - S>>4",
    "S + D>>6 + D>>4 - S>>6 - S>>4",
    "S + D>>5 + D>>4 - S>>5 - S>>4",
    "S + S>>6 + D>>3 - S>>3 - D>>6",
    "S + D>>3 - S>>3",
    "S + D>>3 + D>>6 - S>>3 - S>>6",
    "S + D>>5 + D>>3 - S>>5 - S>>3",
    "S + D>>3 + D>>5 + D>>6 - S>>3 - S>>5 - S>>6",
    "S + D>>4 + D>>3 - S>>4 - S>>3",
    "S + D>>3 + D>>4 + D>>6 - S>>3 - S>>4 - S>>6",
    "S + S>>5 + D>>2 - S>>2 - D>>5",
    "S + S>>6 + D>>2 - S>>2 - D>>6",
    "S + D>>2 - S>>2",
    "S + D>>2 + D>>6 - S>>2 - S>>6",
    "S + D>>2 + D>>5 - S>>2 - S>>5",
    "S + D>>2 + D>>5 + D>>6 - S>>2 - S>>5 - S>>6",
    "S + D>>4 + D>>2 - S>>4 - S>>2",
    "S + D>>2 + D>>4 + D>>6 - S>>2 - S>>4 - S>>6",
    "D + S>>1 + S>>3 + S>>5 - D>>1 - D>>3 - D>>5",
    "D + S>>1 + S>>3 + S>>6 - D>>1 - D>>3 - D>>6",
    "D + S>>3 + S>>1 - D>>1 - D>>3",
    "D + S>>1 + S>>3 + D>>6 - S>>6 - D>>1 - D>>3",
    "D + S>>1 + S>>4 + S>>5 - D>>1 - D>>4 - D>>5",
    "S>>1 + S>>4 + S>>6 + D>>1 - D>>4 - D>>6",
    "S>>1 + S>>4 + D>>1 - D>>4",
    "S>>1 + S>>5 + S>>6 + D>>1 - D>>5 - D>>6",
    "S>>1 + S>>5 + D>>1 - D>>5",
    "S>>1 + S>>6 + D>>1 - D>>6",
    "S>>1 + D>>1",
};

bool SixteenBit(PixelFormat f) {
    return f == PixelFormat::Bits15 || f == PixelFormat::Bits16;
}

std::string FormulaText(int mirroredLevel, PixelFormat f) {
    if (SixteenBit(f) && mirroredLevel == 28) return "S + S>>4 + D>>1 - S>>1 - D>>4";
    if (SixteenBit(f) && mirroredLevel == 32) return "S + D>>1 - S>>1";
    return kFormulas[mirroredLevel];
}

const uint32_t* MasksFor(PixelFormat f) {
    static const uint32_t bytes[7] = {0,          0x7F7F7F7F, 0x3F3F3F3F, 0x1F1F1F1F,
                                      0x0F0F0F0F, 0x07070707, 0x03030303};
    static const uint32_t rgb565[7] = {0, 0x7BEF7BEF, 0x39E739E7, 0x18E318E3, 0x08610861, 0, 0};
    static const uint32_t rgb555[7] = {0, 0x3DEF3DEF, 0x1CE71CE7, 0x0C630C63, 0x04210421, 0, 0};
    return f == PixelFormat::Bits16 ? rgb565 : f == PixelFormat::Bits15 ? rgb555 : bytes;
}

// Walks the terms of a formula: calls term(sign, isNew, shift) for each.
template <typename Term>
void ForEachTerm(const std::string& text, Term term) {
    std::istringstream in(text);
    std::string token;
    int sign = 1;
    while (in >> token) {
        if (token == "+" || token == "-") {
            sign = token == "+" ? 1 : -1;
            continue;
        }
        const int shift = token.size() > 1 ? std::stoi(token.substr(3)) : 0;
        term(sign, token[0] == 'D', shift);
    }
}

// The terms of a level's formula and the masks of its format, read once per level.
struct LevelReference {
    struct Term {
        int sign;
        bool isNew;
        int shift;
    };
    LevelReference(int level, PixelFormat f) : swapped(level > 32), masks(MasksFor(f)) {
        ForEachTerm(FormulaText(level > 32 ? 64 - level : level, f),
                    [&](int sign, bool isNew, int shift) {
                        terms.push_back({sign, isNew, shift});
                    });
    }
    // The work word for old word s and new word d: levels above 32 use the formula of
    // 64 - level with s and d exchanged.
    uint32_t operator()(uint32_t s, uint32_t d) const {
        if (swapped) std::swap(s, d);
        uint32_t result = 0;
        for (const Term& t : terms) {
            uint32_t x = t.isNew ? d : s;
            if (t.shift) x = (x >> t.shift) & masks[t.shift];
            result += t.sign > 0 ? x : 0u - x;
        }
        return result;
    }
    std::vector<Term> terms;
    bool swapped;
    const uint32_t* masks;
};

std::vector<int> LevelsOf(PixelFormat f) {
    std::vector<int> levels;
    for (int level = 1; level < 64; ++level)
        if (!SixteenBit(f) || level % 4 == 0) levels.push_back(level);
    return levels;
}

const PixelFormat kWordFormats[] = {PixelFormat::Bits15, PixelFormat::Bits16, PixelFormat::Bits24,
                                    PixelFormat::Bits32};

TEST(BlendArithmetic, EachFormulaGivesTheNewImageTheWeightOfItsLevel) {
    // Guards the reference table itself: the terms must weigh the new word L/64 exactly.
    for (PixelFormat f : kWordFormats)
        for (int level : LevelsOf(f)) {
            const int mirrored = level > 32 ? 64 - level : level;
            double newWeight = 0, oldWeight = 0;
            ForEachTerm(FormulaText(mirrored, f), [&](int sign, bool isNew, int shift) {
                (isNew ? newWeight : oldWeight) += sign / double(1 << shift);
            });
            EXPECT_EQ(newWeight, mirrored / 64.0) << "level " << mirrored;
            EXPECT_EQ(oldWeight + newWeight, 1.0) << "level " << mirrored;
        }
}

TEST(BlendArithmetic, EveryLevelMatchesTheReferenceWordForWordAndLeavesEqualWords) {
    std::mt19937 random(20240601);
    const size_t n = 3000;
    std::vector<uint32_t> src(n), dst(n), before(n);
    for (size_t i = 0; i < n; ++i) {
        src[i] = random();
        switch (i % 4) {
            case 0:
                dst[i] = src[i];
                break;  // unchanged word
            case 1:
                dst[i] = src[i] ^ (1u << (random() % 32));
                break;  // one bit apart
            default:
                dst[i] = random();
        }
        before[i] = random();  // the work word's value must survive where old == new
    }
    for (PixelFormat f : kWordFormats)
        for (int level : LevelsOf(f)) {
            const LevelReference reference(level, f);
            std::vector<uint32_t> work = before;
            ComposeBlendLevel(work.data(), src.data(), dst.data(), n, level, f);
            for (size_t i = 0; i < n; ++i) {
                const uint32_t expected = src[i] == dst[i] ? before[i] : reference(src[i], dst[i]);
                ASSERT_EQ(work[i], expected)
                    << "format " << int(f) << " level " << level << " word " << i;
            }
        }
}

// --- Running effects headless ------------------------------------------------------------

constexpr int kW = 37, kH = 23;  // odd, so 15, 16 and 24-bit rows end in padding

// A busy 32-bit picture; `region` of it is shared by both test pictures.
raster::Bitmap Picture(uint32_t seed, bool shareCorner) {
    std::mt19937 random(seed);
    std::mt19937 shared(7);
    raster::Bitmap b(kW, kH, PixelFormat::Bits32);
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            const uint32_t own = random() & 0xFFFFFF, common = shared() & 0xFFFFFF;
            b.SetPixel(x, y, shareCorner && x < 12 && y < 8 ? common : own);
        }
    return b;
}

bool SamePixels(const raster::Bitmap& a, const raster::Bitmap& b) {
    if (a.Width() != b.Width() || a.Height() != b.Height() || a.Format() != b.Format())
        return false;
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x)
            if (a.GetIndex(x, y) != b.GetIndex(x, y)) return false;
    return true;
}

class HeadlessRun : public DisplayTest {
protected:
    const raster::Bitmap m_a = Picture(1, true);
    const raster::Bitmap m_b = Picture(2, true);
};

std::unique_ptr<TransitionEffect> Drip(D direction) {
    auto drip = std::make_unique<DripTransition>();
    drip->SetDirection(direction);
    return drip;
}

TEST_F(HeadlessRun, EveryEffectEndsWithTheNewPictureOnEveryDisplay) {
    for (PixelFormat format : kDisplayFormats) {
        DisplayFormat display(format);
        std::vector<std::unique_ptr<TransitionEffect>> effects;
        effects.push_back(std::make_unique<BlendTransition>());
        for (D d : {D::Right, D::Left, D::Down, D::Up}) effects.push_back(Drip(d));
        for (auto& effect : effects) {
            std::vector<raster::Bitmap> frames = RunFrames(*effect, m_a, m_b);
            ASSERT_FALSE(frames.empty());
            EXPECT_TRUE(SamePixels(frames.back(), OnDisplay(m_b, format)))
                << effect->ClassName() << " direction " << int(effect->GetDirection())
                << " display format " << int(format);
        }
    }
}

// --- Blend --------------------------------------------------------------------------------

TEST(Blend, AnswersAndPublishedProperties) {
    BlendTransition blend;
    EXPECT_EQ(blend.GetDescription(), "Alpha blend");
    EXPECT_FALSE(blend.PaintsOldImage());
    EXPECT_TRUE(blend.NeedsWorkBitmap());
    EXPECT_TRUE(blend.NeedsOldImage());
    EXPECT_EQ(blend.AllowedDirections(), DirectionBit(D::None));
    const std::pair<PixelFormat, bool> workOnOld[] = {
        {PixelFormat::Bits4, true},   {PixelFormat::Bits8, true},   {PixelFormat::Bits15, false},
        {PixelFormat::Bits16, false}, {PixelFormat::Bits24, false}, {PixelFormat::Bits32, false}};
    for (auto [format, expected] : workOnOld) {
        DisplayFormat display(format);
        EXPECT_EQ(blend.WorkOnOldImage(), expected) << int(format);
        EXPECT_EQ(blend.GetPixelFormat(), format);
    }

    EXPECT_TRUE(blend.SetProperty("Milliseconds", int32_t(500)));
    EXPECT_TRUE(blend.SetProperty("FlickerFreeWhenDisabled", true));
    EXPECT_TRUE(blend.SetProperty("PassSetting", int32_t(1)));
    EXPECT_TRUE(blend.SetProperty("Pass2Options.UseSolidColor", false));
    EXPECT_TRUE(blend.SetProperty("Enabled", true));
    EXPECT_FALSE(blend.SetProperty("Direction", int32_t(D::Left)));
    EXPECT_FALSE(blend.SetProperty("Reversed", true));
}

TEST_F(HeadlessRun, BlendFramesAreTheLevelsOfItsDisplayFormat) {
    // 64 levels on true colour (63 composed, then the final copy), 16 on 15 and 16 bits.
    for (PixelFormat format : kWordFormats) {
        SetDisplayPixelFormat(format);
        const raster::Bitmap old = OnDisplay(m_a, format), now = OnDisplay(m_b, format);
        BlendTransition blend;
        std::vector<raster::Bitmap> frames = RunFrames(blend, m_a, m_b);
        const int levelStep = SixteenBit(format) ? 4 : 1;
        ASSERT_EQ(frames.size(), size_t(64 / levelStep)) << int(format);
        for (size_t i = 0; i + 1 < frames.size(); ++i) {
            const int level = int(i + 1) * levelStep;
            const LevelReference reference(level, format);
            raster::Bitmap expected = old;
            uint32_t* w = reinterpret_cast<uint32_t*>(expected.Bits());
            const uint32_t* s = reinterpret_cast<const uint32_t*>(old.Bits());
            const uint32_t* d = reinterpret_cast<const uint32_t*>(now.Bits());
            for (size_t k = 0; k < old.SizeBytes() / 4; ++k)
                if (s[k] != d[k]) w[k] = reference(s[k], d[k]);
            ASSERT_TRUE(SamePixels(frames[i], expected))
                << "format " << int(format) << " level " << level;
        }
        EXPECT_TRUE(SamePixels(frames.back(), now));
    }
}

TEST_F(HeadlessRun, BlendDitherTurnsThePatternCellsInTheirOrder) {
    const int order[8][8] = {
        {2, 34, 10, 42, 3, 35, 11, 43}, {54, 30, 62, 22, 55, 31, 63, 23},
        {14, 46, 6, 38, 15, 47, 7, 39}, {58, 18, 50, 26, 59, 19, 51, 27},
        {4, 36, 12, 44, 1, 33, 9, 41},  {56, 32, 64, 24, 53, 29, 61, 21},
        {16, 48, 8, 40, 13, 45, 5, 37}, {60, 20, 52, 28, 57, 17, 49, 25},
    };
    // Palette colours on a 4-bit display, old and new different in every pixel. (An 8-bit
    // single pass takes its old image from the screen at Execute, which headless is
    // already the new look.)
    SetDisplayPixelFormat(PixelFormat::Bits4);
    const auto& palette = raster::DefaultPalette16();
    raster::Bitmap a(kW, kH, PixelFormat::Bits32), b(kW, kH, PixelFormat::Bits32);
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            a.SetPixel(x, y, palette[size_t((x * 3 + y) % 8)]);
            b.SetPixel(x, y, palette[size_t(8 + (x + y * 5) % 8)]);
        }
    const raster::Bitmap old = OnDisplay(a, PixelFormat::Bits4),
                         now = OnDisplay(b, PixelFormat::Bits4);
    BlendTransition blend;
    std::vector<raster::Bitmap> frames = RunFrames(blend, a, b);
    ASSERT_EQ(frames.size(), 64u);
    for (int level = 1; level <= 64; ++level) {
        const raster::Bitmap& frame = frames[size_t(level - 1)];
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x) {
                const bool turned = order[y % 8][x % 8] <= level;
                ASSERT_EQ(frame.GetIndex(x, y), (turned ? now : old).GetIndex(x, y))
                    << "level " << level << " at " << x << "," << y;
            }
    }
}

TEST_F(HeadlessRun, ShowsSlowAlphaDrawsEveryLevelUntimed) {
    RegisterAllEffectClasses();
    TransitionList list;
    LoadEffectList(list, {ShowEffectTable()[0]});
    TransitionEffect* slowAlpha = list.Transitions(0);
    ASSERT_NE(slowAlpha, nullptr);
    EXPECT_EQ(slowAlpha->ClassName(), std::string("BlendTransition"));
    EXPECT_EQ(slowAlpha->Milliseconds, 0);
    EXPECT_EQ(RunFrames(*slowAlpha, m_a, m_b).size(), 64u);
}

// --- Drip ---------------------------------------------------------------------------------

// The frame after the drip moved from step `previous` to `step`: the uncovered part shows
// the new picture, the rest repeats the band's first line in coordinate order.
raster::Bitmap ExpectedDrip(const raster::Bitmap& now, D direction, int previous, int step) {
    raster::Bitmap frame = now;
    const int w = now.Width(), h = now.Height();
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            int sx = x, sy = y;
            switch (direction) {
                case D::Left:
                    sx = x < step ? x : previous;
                    break;
                case D::Right:
                    sx = x >= w - step ? x : w - step;
                    break;
                case D::Up:
                    sy = y < step ? y : previous;
                    break;
                case D::Down:
                    sy = y >= h - step ? y : h - step;
                    break;
                default:
                    break;
            }
            frame.SetIndex(x, y, now.GetIndex(sx, sy));
        }
    return frame;
}

TEST(Drip, DirectionsAndAnswers) {
    DripTransition drip;
    EXPECT_EQ(drip.GetDirection(), D::Left);
    EXPECT_EQ(drip.AllowedDirections(), 30);
    EXPECT_EQ(drip.GetDescription(), "Drip");
    EXPECT_FALSE(drip.NeedsOldImage());
    EXPECT_FALSE(drip.UsesFirstPass());
    drip.SetDirection(D::In);
    EXPECT_EQ(drip.GetDirection(), D::Left);
    EXPECT_TRUE(drip.SetProperty("Direction", int32_t(D::Out)));
    EXPECT_EQ(drip.GetDirection(), D::Left);
    EXPECT_FALSE(drip.SetProperty("Direction", int32_t(99)));
    // Only the vertical drips compose in a work bitmap; Reversed turns the direction.
    const std::tuple<D, bool, bool> cases[] = {{D::Left, false, false}, {D::Right, false, false},
                                               {D::Down, false, true},  {D::Up, false, true},
                                               {D::Left, true, false},  {D::Down, true, true}};
    for (auto [direction, reversed, work] : cases) {
        ASSERT_TRUE(drip.SetProperty("Direction", int32_t(direction)));
        ASSERT_TRUE(drip.SetProperty("Reversed", reversed));
        EXPECT_EQ(drip.NeedsWorkBitmap(), work) << int(direction);
    }
    drip.SetDirection(D::Down);
    drip.Reversed = true;
    EXPECT_EQ(drip.ActualDirection(), D::Up);
}

TEST_F(HeadlessRun, DripUncoversOneLinePerStepUntimed) {
    for (PixelFormat format : {PixelFormat::Bits32, PixelFormat::Bits16, PixelFormat::Bits4}) {
        SetDisplayPixelFormat(format);
        const raster::Bitmap now = OnDisplay(m_b, format);
        for (D d : {D::Right, D::Left, D::Down, D::Up}) {
            auto drip = Drip(d);
            std::vector<raster::Bitmap> frames = RunFrames(*drip, m_a, m_b);
            const bool vertical = d == D::Down || d == D::Up;
            ASSERT_EQ(frames.size(), size_t(vertical ? kH : kW)) << int(d);
            for (size_t i = 0; i + 1 < frames.size(); ++i)
                ASSERT_TRUE(SamePixels(frames[i], ExpectedDrip(now, d, int(i), int(i) + 1)))
                    << "direction " << int(d) << " step " << i + 1 << " format " << int(format);
        }
    }
}

// Exposes the steps so that skipped steps (deltas above 1) can be driven directly.
class DripProbe : public DripTransition {
public:
    using DripTransition::FinishSteps;
    using DripTransition::PrepareSteps;
    using DripTransition::RenderStep;
};

TEST_F(HeadlessRun, DripWithSkippedStepsDrawsTheBandsFirstLineOverTheRest) {
    HeadlessControl control(kW, kH);
    control.Look = m_a;
    for (D d : {D::Right, D::Left, D::Down, D::Up}) {
        DripProbe drip;
        drip.SetDirection(d);
        auto window = control.CreateRenderWindow({0, 0, kW, kH});
        raster::Bitmap work(kW, kH, PixelFormat::Bits32);
        PassData data;
        data.WorkBitmap = drip.NeedsWorkBitmap() ? &work : nullptr;
        data.DstImage = &m_b;
        data.Window = window.get();
        data.Width = kW;
        data.Height = kH;
        int total = 0;
        drip.PrepareSteps(data, total);
        int previous = 0;
        for (int step : {3, 4, 9, total - 1}) {
            drip.RenderStep(data, step, step - previous, total, previous);
            ASSERT_TRUE(SamePixels(data.DrawCanvas(), ExpectedDrip(m_b, d, previous, step)))
                << "direction " << int(d) << " step " << step;
            previous = step;
        }
        drip.FinishSteps(data);
    }
}

}  // namespace

#include "transitions/FuseTransition.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "core/Random.h"
#include "raster/Blit.h"

namespace transitions {

namespace {

// For each style, the step (1 .. the style's step count) at which each pattern cell turns
// to the new picture, indexed [row][column]; rows count from the top of the tile.
using TurnTable = std::array<std::array<uint8_t, 8>, 8>;

// The ordered dither the blend uses on palette displays.
constexpr uint8_t kDitherOrder[8][8] = {
    {2, 34, 10, 42, 3, 35, 11, 43}, {54, 30, 62, 22, 55, 31, 63, 23},
    {14, 46, 6, 38, 15, 47, 7, 39}, {58, 18, 50, 26, 59, 19, 51, 27},
    {4, 36, 12, 44, 1, 33, 9, 41},  {56, 32, 64, 24, 53, 29, 61, 21},
    {16, 48, 8, 40, 13, 45, 5, 37}, {60, 20, 52, 28, 57, 17, 49, 25},
};

// A spiral from the centre out to the top-left corner.
constexpr uint8_t kSpiralOrder[8][8] = {
    {64, 37, 38, 39, 40, 41, 42, 43}, {63, 36, 17, 18, 19, 20, 21, 44},
    {62, 35, 16, 5, 6, 7, 22, 45},    {61, 34, 15, 4, 1, 8, 23, 46},
    {60, 33, 14, 3, 2, 9, 24, 47},    {59, 32, 13, 12, 11, 10, 25, 48},
    {58, 31, 30, 29, 28, 27, 26, 49}, {57, 56, 55, 54, 53, 52, 51, 50},
};

constexpr int StepCount(int style) {
    switch (style) {
        case 1:
        case 8:
        case 9:
            return 64;
        case 2:
        case 3:
        case 4:
        case 5:
        case 6:
        case 7:
        case 10:
        case 11:
        case 12:
        case 13:
            return 8;
        default:
            return 0;
    }
}

// The step at which cell (x, y) of `style` turns; x is the column, y the row.
constexpr int TurnStep(int style, int x, int y) {
    switch (style) {
        case 1:
            return kDitherOrder[y][x];
        case 2:
            return y + 1;
        case 4:
            return x + 1;
        case 6:
            // Step k completes the top-left k x k square.
            return std::max(x, y) + 1;
        case 8:
            return kSpiralOrder[y][x];
        case 10: {
            // The diagonal x - y = k (mod 8); the main diagonal comes last.
            const int k = (x - y + 8) % 8;
            return k == 0 ? 8 : k;
        }
        case 12:
            // The anti-diagonal x + y = k - 1 (mod 8).
            return (x + y) % 8 + 1;
        case 3:
        case 5:
        case 7:
        case 9:
        case 11:
        case 13:
            // Each odd style plays the style before it backwards.
            return StepCount(style) + 1 - TurnStep(style - 1, x, y);
        default:
            return 0;
    }
}

constexpr std::array<TurnTable, FuseTransition::kStyleCount + 1> MakeTurnTables() {
    std::array<TurnTable, FuseTransition::kStyleCount + 1> tables{};
    for (int style = 1; style <= FuseTransition::kStyleCount; ++style)
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                tables[size_t(style)][size_t(y)][size_t(x)] = uint8_t(TurnStep(style, x, y));
    return tables;
}
constexpr auto kTurnTables = MakeTurnTables();

// The style that draws the same figure backwards: 2 and 3, 4 and 5, ... 12 and 13 swap;
// the dither (1) and unknown styles stay.
uint16_t ReversedStyle(uint16_t style) {
    if (style < 2 || style > FuseTransition::kStyleCount) return style;
    return style % 2 == 0 ? uint16_t(style + 1) : uint16_t(style - 1);
}

}  // namespace

FuseTransition::FuseTransition() = default;
FuseTransition::~FuseTransition() = default;

uint16_t FuseTransition::ActualStyle() {
    uint16_t style = m_style;
    if (style == 0) {
        if (m_randomStyle == 0)
            m_randomStyle = uint16_t(core::ProgramRandom().Next(kStyleCount) + 1);
        style = m_randomStyle;
    }
    return ActualReversed() ? ReversedStyle(style) : style;
}

void FuseTransition::Assign(const TransitionEffect& source) {
    TimedTransitionEffect::Assign(source);
    if (const auto* fuse = dynamic_cast<const FuseTransition*>(&source)) SetStyle(fuse->Style());
}

bool FuseTransition::SetProperty(std::string_view name, const PropertyValue& value) {
    if (name == "Style") {
        const int32_t* v = std::get_if<int32_t>(&value);
        if (!v || *v < 0 || *v > UINT16_MAX) return false;
        SetStyle(uint16_t(*v));
        return true;
    }
    if (name == "Reversed") return SetReversedProperty(value);
    return TimedTransitionEffect::SetProperty(name, value);
}

void FuseTransition::PrepareSteps(PassData& data, int& totalSteps) {
    // A pass that starts the transition draws its pick afresh, even if an earlier run
    // ended by an error before its last pass could forget it.
    if (!m_secondPass || !UsesFirstPass()) m_randomStyle = 0;
    core::ProgramRandom().Randomize();

    m_pattern = std::make_unique<raster::Bitmap>(8, 8, raster::PixelFormat::Bits1);
    m_pattern->Palette() = {0x000000, 0xFFFFFF};
    m_pattern->Fill(0xFFFFFF);

    m_runStyle = ActualStyle();
    totalSteps = StepCount(m_runStyle);

    // The work bitmap is normally the old image itself: then there is nothing to copy.
    raster::Bitmap& work = data.DrawCanvas();
    if (data.SrcImage && &work != data.SrcImage)
        raster::CopyBlock(work, 0, 0, data.Width, data.Height, *data.SrcImage, 0, 0);
}

void FuseTransition::RenderStep(PassData& data, int step, int stepDelta, int totalSteps,
                                int previousStep) {
    TimedTransitionEffect::RenderStep(data, step, stepDelta, totalSteps, previousStep);
    if (m_runStyle < 1 || m_runStyle > kStyleCount) return;
    // Every cell of the steps up to this one is black, also those of skipped steps.
    const TurnTable& turns = kTurnTables[m_runStyle];
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            if (turns[size_t(y)][size_t(x)] <= step) m_pattern->SetIndex(x, y, 0);

    // Where the brush bit is 0 the new picture's pixel is taken, elsewhere the work bitmap
    // keeps its own; the brush tiles from the frame's top-left corner.
    raster::Blit(data.DrawCanvas(), 0, 0, data.Width, data.Height, *data.DstImage, 0, 0,
                 raster::Rop::PatternSelect, *m_pattern);
    m_dirtyRect = {0, 0, data.Width, data.Height};
}

void FuseTransition::FinishSteps(PassData&) {
    m_pattern.reset();
    m_runStyle = 0;
    // Both passes of a two-pass transition use the same pick; the next one draws anew.
    if (PassCount() == 1 || !UsesFirstPass() || m_secondPass) m_randomStyle = 0;
}

}  // namespace transitions

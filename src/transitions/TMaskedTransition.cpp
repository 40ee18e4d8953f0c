#include "transitions/TMaskedTransition.h"

#include <algorithm>
#include <climits>

#include "core/Random.h"
#include "transitions/MaskCompose.h"

namespace transitions {

namespace {

// A cleared mask of the rounded frame width. Its palette is black and white so that
// painting in white sets bits, whichever drawing path a subclass uses.
std::unique_ptr<raster::Bitmap> MakeMask(int width, int height) {
    auto mask = std::make_unique<raster::Bitmap>(width, height, raster::PixelFormat::Bits1);
    mask->Palette() = {0x000000, 0xFFFFFF};
    return mask;
}

// The mask as 32-bit words: its width is a multiple of 32, so the rows follow each other
// without padding.
uint32_t* MaskWords(raster::Bitmap& mask) {
    return reinterpret_cast<uint32_t*>(mask.Bits());
}

}  // namespace

void TMaskedTransition::SetStyle(uint16_t value) {
    if (value == m_style) return;
    m_style = value;
    m_subStyle = value != 0 ? 1 : 0;
}

void TMaskedTransition::SetSubStyle(uint16_t value) {
    m_subStyle = value;
}

uint16_t TMaskedTransition::ActualStyle() {
    if (m_style != 0) return m_style;
    if (RandomStyle == 0) RandomStyle = uint16_t(core::ProgramRandom().Next(m_styleCount) + 1);
    return RandomStyle;
}

uint16_t TMaskedTransition::ActualSubStyle() {
    const uint16_t style = ActualStyle();
    uint16_t subStyle = m_subStyle;
    if (subStyle == 0) {
        if (RandomSubStyle == 0)
            RandomSubStyle = uint16_t(core::ProgramRandom().Next(SubStyleCount(style)) + 1);
        subStyle = RandomSubStyle;
    }
    return ActualReversed() ? ReverseSubStyle(style, subStyle) : subStyle;
}

uint16_t TMaskedTransition::ReverseSubStyle(uint16_t, uint16_t subStyle) const {
    return subStyle;
}

void TMaskedTransition::Assign(const TTransitionEffect& source) {
    TTimedTransitionEffect::Assign(source);
    if (const auto* masked = dynamic_cast<const TMaskedTransition*>(&source)) {
        // Style first: its setter resets the sub-style.
        SetStyle(masked->Style());
        SetSubStyle(masked->SubStyle());
    }
}

bool TMaskedTransition::SetProperty(std::string_view name, const PropertyValue& value) {
    if (name == "Style" || name == "SubStyle") {
        const int32_t* v = std::get_if<int32_t>(&value);
        if (!v || *v < 0 || *v > UINT16_MAX) return false;
        if (name == "Style")
            SetStyle(uint16_t(*v));
        else
            SetSubStyle(uint16_t(*v));
        return true;
    }
    if (name == "Reversed") return SetReversedProperty(value);
    return TTimedTransitionEffect::SetProperty(name, value);
}

int TMaskedTransition::GetBitmapWidth(int width) const {
    // Division truncates toward zero, so a width of 0 still gives one word. Widths near the
    // int limit saturate; no bitmap that large can be made anyway.
    const long long rounded = ((static_cast<long long>(width) - 1) / 32 + 1) * 32;
    return rounded > INT_MAX ? INT_MAX : int(rounded);
}

bool TMaskedTransition::TransitionEnds() const {
    return PassCount() == 1 || !UsesFirstPass() || SecondPass;
}

void TMaskedTransition::PrepareSteps(TTETransitionData& data, int& totalSteps) {
    totalSteps = 0;
    // A pass that starts the transition draws its picks afresh, even if an earlier run
    // ended by an error before its last pass could forget them.
    if (!SecondPass || !UsesFirstPass()) RandomStyle = RandomSubStyle = 0;
    core::ProgramRandom().Randomize();

    const int width = GetBitmapWidth(data.Width);
    Mask = MakeMask(width, data.Height);
    AccumulatedMask.reset();
    if (AccumulatesMask()) AccumulatedMask = MakeMask(width, data.Height);

    raster::Bitmap* work = data.WorkBitmap;
    if (work && data.SrcImage && work != data.SrcImage)
        CopyPixels(*work, 0, 0, work->Width(), work->Height(), *data.SrcImage, 0, 0);
}

void TMaskedTransition::RenderStep(TTETransitionData& data, int step, int stepDelta, int totalSteps,
                                   int previousStep) {
    TTimedTransitionEffect::RenderStep(data, step, stepDelta, totalSteps, previousStep);
    bool positive = false;
    if (!DrawOffscreen) {
        // The painter draws on the render window itself; there is nothing to compose.
        PaintMask(*Mask, step, stepDelta, totalSteps, previousStep, data, positive);
        return;
    }

    const core::Rect frame{0, 0, data.Width, data.Height};
    DirtyRect = frame;
    PaintMask(*Mask, step, stepDelta, totalSteps, previousStep, data, positive);
    DirtyRect = DirtyRect.Intersected(frame);

    uint32_t* mask = MaskWords(*Mask);
    const size_t words = Mask->SizeBytes() / 4;
    if (!positive)
        for (size_t i = 0; i < words; ++i) mask[i] = ~mask[i];
    if (AccumulatedMask) {
        // Keep only the pixels that turned new in this step.
        uint32_t* accumulated = MaskWords(*AccumulatedMask);
        for (size_t i = 0; i < words; ++i) {
            const uint32_t before = accumulated[i];
            accumulated[i] = before | mask[i];
            mask[i] &= ~before;
        }
    }
    if (!DirtyRect.IsEmpty() && data.WorkBitmap && data.SrcImage && data.DstImage)
        ComposeThroughMask(*data.WorkBitmap, *data.SrcImage, *data.DstImage, *Mask, DirtyRect.Top,
                           DirtyRect.Bottom);

    if (ClearsMaskAfterStep()) std::fill_n(Mask->Bits(), Mask->SizeBytes(), uint8_t(0));
}

void TMaskedTransition::FinishSteps(TTETransitionData& data) {
    TTimedTransitionEffect::FinishSteps(data);
    Mask.reset();
    AccumulatedMask.reset();
    // Both passes of a two-pass transition use the same picks; the next one draws anew.
    if (TransitionEnds()) RandomStyle = RandomSubStyle = 0;
}

}  // namespace transitions

#include "transitions/MaskedTransition.h"

#include <algorithm>
#include <climits>

#include "core/Random.h"
#include "raster/Blit.h"
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

void MaskedTransition::SetStyle(uint16_t value) {
    if (value == m_style) return;
    m_style = value;
    m_subStyle = value != 0 ? 1 : 0;
}

void MaskedTransition::SetSubStyle(uint16_t value) {
    m_subStyle = value;
}

uint16_t MaskedTransition::ActualStyle() {
    if (m_style != 0) return m_style;
    if (m_randomStyle == 0) m_randomStyle = uint16_t(core::ProgramRandom().Next(m_styleCount) + 1);
    return m_randomStyle;
}

uint16_t MaskedTransition::ActualSubStyle() {
    const uint16_t style = ActualStyle();
    uint16_t subStyle = m_subStyle;
    if (subStyle == 0) {
        if (m_randomSubStyle == 0)
            m_randomSubStyle = uint16_t(core::ProgramRandom().Next(SubStyleCount(style)) + 1);
        subStyle = m_randomSubStyle;
    }
    return ActualReversed() ? ReverseSubStyle(style, subStyle) : subStyle;
}

uint16_t MaskedTransition::ReverseSubStyle(uint16_t, uint16_t subStyle) const {
    return subStyle;
}

void MaskedTransition::Assign(const TransitionEffect& source) {
    TimedTransitionEffect::Assign(source);
    if (const auto* masked = dynamic_cast<const MaskedTransition*>(&source)) {
        // Style first: its setter resets the sub-style.
        SetStyle(masked->Style());
        SetSubStyle(masked->SubStyle());
    }
}

bool MaskedTransition::SetProperty(std::string_view name, const PropertyValue& value) {
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
    return TimedTransitionEffect::SetProperty(name, value);
}

int MaskedTransition::GetBitmapWidth(int width) const {
    // Division truncates toward zero, so a width of 0 still gives one word. Widths near the
    // int limit saturate; no bitmap that large can be made anyway.
    const long long rounded = ((static_cast<long long>(width) - 1) / 32 + 1) * 32;
    return rounded > INT_MAX ? INT_MAX : int(rounded);
}

bool MaskedTransition::TransitionEnds() const {
    return PassCount() == 1 || !UsesFirstPass() || m_secondPass;
}

void MaskedTransition::PrepareSteps(PassData& data, int& totalSteps) {
    totalSteps = 0;
    // A pass that starts the transition draws its picks afresh, even if an earlier run
    // ended by an error before its last pass could forget them.
    if (!m_secondPass || !UsesFirstPass()) m_randomStyle = m_randomSubStyle = 0;
    core::ProgramRandom().Randomize();

    const int width = GetBitmapWidth(data.Width);
    m_mask = MakeMask(width, data.Height);
    m_accumulatedMask.reset();
    if (AccumulatesMask()) m_accumulatedMask = MakeMask(width, data.Height);

    raster::Bitmap* work = data.WorkBitmap;
    if (work && data.SrcImage && work != data.SrcImage)
        raster::CopyBlock(*work, 0, 0, work->Width(), work->Height(), *data.SrcImage, 0, 0);
}

void MaskedTransition::RenderStep(PassData& data, int step, int stepDelta, int totalSteps,
                                  int previousStep) {
    TimedTransitionEffect::RenderStep(data, step, stepDelta, totalSteps, previousStep);
    bool positive = false;
    if (!m_drawOffscreen) {
        // The painter draws on the render window itself; there is nothing to compose.
        PaintMask(*m_mask, step, stepDelta, totalSteps, previousStep, data, positive);
        return;
    }

    const core::Rect frame{0, 0, data.Width, data.Height};
    m_dirtyRect = frame;
    PaintMask(*m_mask, step, stepDelta, totalSteps, previousStep, data, positive);
    m_dirtyRect = m_dirtyRect.Intersected(frame);

    uint32_t* mask = MaskWords(*m_mask);
    const size_t words = m_mask->SizeBytes() / 4;
    if (!positive)
        for (size_t i = 0; i < words; ++i) mask[i] = ~mask[i];
    if (m_accumulatedMask) {
        // Keep only the pixels that turned new in this step.
        uint32_t* accumulated = MaskWords(*m_accumulatedMask);
        for (size_t i = 0; i < words; ++i) {
            const uint32_t before = accumulated[i];
            accumulated[i] = before | mask[i];
            mask[i] &= ~before;
        }
    }
    if (!m_dirtyRect.IsEmpty() && data.WorkBitmap && data.SrcImage && data.DstImage)
        ComposeThroughMask(*data.WorkBitmap, *data.SrcImage, *data.DstImage, *m_mask,
                           m_dirtyRect.Top, m_dirtyRect.Bottom);

    if (ClearsMaskAfterStep()) std::fill_n(m_mask->Bits(), m_mask->SizeBytes(), uint8_t(0));
}

void MaskedTransition::FinishSteps(PassData& data) {
    TimedTransitionEffect::FinishSteps(data);
    m_mask.reset();
    m_accumulatedMask.reset();
    // Both passes of a two-pass transition use the same picks; the next one draws anew.
    if (TransitionEnds()) m_randomStyle = m_randomSubStyle = 0;
}

}  // namespace transitions

#include "transitions/TTransitionEffect.h"

#include "transitions/TTransitionList.h"

namespace transitions {

namespace {

// Only one effect in the whole program can be prepared at a time.
bool g_anyPrepared = false;

template <typename T>
bool Take(const PropertyValue& value, T& field) {
    if (const T* v = std::get_if<T>(&value)) {
        field = *v;
        return true;
    }
    return false;
}

}  // namespace

bool TTransitionEffect::AnyPrepared() {
    return g_anyPrepared;
}

TTransitionEffect::TTransitionEffect() = default;

TTransitionEffect::~TTransitionEffect() {
    if (m_list) m_list->Remove(this);
    Unprepare();
}

void TTransitionEffect::SetEnabled(bool enabled) {
    if (m_enabled && !enabled) Unprepare();
    m_enabled = enabled;
}

void TTransitionEffect::SetDirection(TTEEffectDirection direction) {
    if (m_allowedDirections & DirectionBit(direction)) m_direction = direction;
}

TTEEffectDirection TTransitionEffect::OppositeDirection(TTEEffectDirection d) const {
    using D = TTEEffectDirection;
    switch (d) {
        case D::tedRight:
            return D::tedLeft;
        case D::tedLeft:
            return D::tedRight;
        case D::tedDown:
            return D::tedUp;
        case D::tedUp:
            return D::tedDown;
        case D::tedDownRight:
            return D::tedUpLeft;
        case D::tedUpLeft:
            return D::tedDownRight;
        case D::tedDownLeft:
            return D::tedUpRight;
        case D::tedUpRight:
            return D::tedDownLeft;
        case D::tedIn:
            return D::tedOut;
        case D::tedOut:
            return D::tedIn;
        case D::tedNone:
            return D::tedNone;
    }
    return d;
}

int TTransitionEffect::PassCount() const {
    switch (PassSetting) {
        case TTEPassSettingType::teOnePass:
            return 1;
        case TTEPassSettingType::teTwoPasses:
            return 2;
        case TTEPassSettingType::tePaletteDependent:
            return DisplayBitsPerPixel() == 8 ? 2 : 1;
    }
    return 1;
}

bool TTransitionEffect::ActualReversed() const {
    bool reversed = Reversed;
    // In the first of two passes the second pass's reversal option inverts it.
    if (Pass2Options.Reversed && PassCount() == 2 && UsesFirstPass() && !SecondPass)
        reversed = !reversed;
    return reversed;
}

TTEEffectDirection TTransitionEffect::ActualDirection() const {
    return ActualReversed() ? OppositeDirection(m_direction) : m_direction;
}

void TTransitionEffect::Assign(const TTransitionEffect& source) {
    Milliseconds = source.Milliseconds;
    Pass2Options.Assign(source.Pass2Options);
    PassSetting = source.PassSetting;
    SetEnabled(source.Enabled());
    FlickerFreeWhenDisabled = source.FlickerFreeWhenDisabled;
    SetDirection(source.Direction());
    Reversed = source.Reversed;
    AbortOnClick = source.AbortOnClick;
    AbortOnEscape = source.AbortOnEscape;
}

bool TTransitionEffect::SetProperty(std::string_view name, const PropertyValue& value) {
    if (name == "AbortOnClick") return Take(value, AbortOnClick);
    if (name == "AbortOnEscape") return Take(value, AbortOnEscape);
    if (name == "FlickerFreeWhenDisabled") return Take(value, FlickerFreeWhenDisabled);
    if (name == "Tag") return Take(value, Tag);
    if (name == "Enabled") {
        bool v;
        if (!Take(value, v)) return false;
        SetEnabled(v);
        return true;
    }
    if (name == "PassSetting") {
        int32_t v;
        if (!Take(value, v) || v < 0 || v > 2) return false;
        PassSetting = TTEPassSettingType(v);
        return true;
    }
    if (name == "Pass2Options.DistributedTime") return Take(value, Pass2Options.DistributedTime);
    if (name == "Pass2Options.Reversed") return Take(value, Pass2Options.Reversed);
    if (name == "Pass2Options.UseSolidColor") return Take(value, Pass2Options.UseSolidColor);
    if (name == "Pass2Options.SolidColor") return Take(value, Pass2Options.SolidColor);
    return false;
}

bool TTransitionEffect::SetDirectionProperty(const PropertyValue& value) {
    const int32_t* v = std::get_if<int32_t>(&value);
    if (!v || *v < 0 || *v > int32_t(TTEEffectDirection::tedOut)) return false;
    SetDirection(TTEEffectDirection(*v));
    return true;
}

bool TTransitionEffect::SetReversedProperty(const PropertyValue& value) {
    return Take(value, Reversed);
}

// --- Prepare, Execute, Unprepare -------------------------------------------------------

void TTransitionEffect::DestroyRenderWindow() {
    m_window.reset();
}

bool TTransitionEffect::Prepare(TransitionControl& control, const core::Rect& rect) {
    if (m_prepared) Unprepare();
    DestroyRenderWindow();
    if ((!m_enabled && !FlickerFreeWhenDisabled) || g_anyPrepared) return false;

    // The first visible control up the parent chain, the rectangle moved along.
    TransitionControl* target = &control;
    core::Rect r = rect;
    while (target && !target->IsVisible()) {
        core::Point p = target->Position();
        r = {r.Left + p.X, r.Top + p.Y, r.Right + p.X, r.Bottom + p.Y};
        target = target->ParentControl();
    }
    if (!target) return false;

    target->Update();
    m_window = target->CreateRenderWindow(r);
    m_control = target;
    m_rect = r;
    m_prepared = true;
    g_anyPrepared = true;
    try {
        if (m_enabled && NeedsOldImage()) {
            if (PaintsOldImage() && target->IsCovered(r)) {
                OldImage = std::make_unique<raster::Bitmap>(PaintControl());
            } else if (GetPixelFormat() != raster::PixelFormat::Bits8 || PassCount() == 2) {
                OldImage = std::make_unique<raster::Bitmap>(CopyScreen());
            }
            // An 8-bit single pass copies the screen at the start of Execute instead.
        }
    } catch (...) {
        Unprepare();
        throw;
    }
    return m_prepared;
}

void TTransitionEffect::Unprepare() {
    if (m_prepared) {
        OldImage.reset();
        Pass2Image.reset();
        NewImage.reset();
        m_prepared = false;
        g_anyPrepared = false;
    }
    DestroyRenderWindow();
    m_control = nullptr;
}

raster::Bitmap TTransitionEffect::PaintControl() {
    raster::Bitmap bitmap =
        MakeDisplayBitmap(GetBitmapWidth(m_rect.Width()), m_rect.Height(), GetPixelFormat());
    m_control->PaintInto(m_rect, bitmap);
    return bitmap;
}

raster::Bitmap TTransitionEffect::CopyScreen() {
    raster::Bitmap bitmap =
        MakeDisplayBitmap(GetBitmapWidth(m_rect.Width()), m_rect.Height(), GetPixelFormat());
    m_control->CopyScreen(m_rect, bitmap);
    return bitmap;
}

raster::Bitmap TTransitionEffect::MakeIntermediateImage() {
    if (!Pass2Options.UseSolidColor) return PaintControl();
    raster::Bitmap bitmap =
        MakeDisplayBitmap(GetBitmapWidth(m_rect.Width()), m_rect.Height(), GetPixelFormat());
    if (OldImage && !OldImage->Palette().empty()) bitmap.Palette() = OldImage->Palette();
    settings::ColorValue colour = Pass2Options.SolidColor == settings::kClNone
                                      ? m_control->Colour()
                                      : Pass2Options.SolidColor;
    bitmap.Fill(settings::ColorToRgb(colour));
    return bitmap;
}

void TTransitionEffect::Execute() {
    if (OnBeforeTransition) OnBeforeTransition(*this);
    bool runs = m_enabled || FlickerFreeWhenDisabled;
    if (runs && !m_prepared) DestroyRenderWindow();
    if (runs && m_prepared) {
        m_aborted = false;
        m_executing = true;
        SecondPass = false;
        DirtyRect = {};
        DirtyHoleRect = {};
        auto cleanUp = [this] {
            m_executing = false;
            SecondPass = false;
            Unprepare();
        };
        try {
            if (!m_enabled) {
                // Runs only to replace the picture without flicker: one copy.
                NewImage = std::make_unique<raster::Bitmap>(PaintControl());
                raster::Bitmap& canvas = m_window->Canvas();
                CopyPixels(canvas, 0, 0, canvas.Width(), canvas.Height(), *NewImage, 0, 0);
                m_window->Flush({0, 0, canvas.Width(), canvas.Height()});
            } else {
                if (!Pass2Image && PassCount() == 2)
                    Pass2Image = std::make_unique<raster::Bitmap>(MakeIntermediateImage());
                if (Pass2Image)
                    RunTwoPasses();
                else
                    RunOnePass();
            }
            if (m_window) m_window->Hide();
        } catch (const SilentAbort&) {
            cleanUp();
            if (OnAfterTransition) OnAfterTransition(*this);
            return;
        } catch (...) {
            cleanUp();
            if (OnAfterTransition) OnAfterTransition(*this);
            throw;
        }
        cleanUp();
    }
    if (OnAfterTransition) OnAfterTransition(*this);
}

std::unique_ptr<raster::Bitmap> TTransitionEffect::SetUpWorkBitmap(raster::Bitmap*& work) {
    work = nullptr;
    if (!OldImage && NeedsOldImage()) OldImage = std::make_unique<raster::Bitmap>(CopyScreen());
    if (!NeedsWorkBitmap()) return nullptr;
    if (NeedsOldImage() && WorkOnOldImage()) {
        work = OldImage.get();
        return nullptr;
    }
    auto own = std::make_unique<raster::Bitmap>(MakeDisplayBitmap(
        GetBitmapWidth(m_rect.Width()), m_window->Canvas().Height(), GetPixelFormat()));
    work = own.get();
    return own;
}

void TTransitionEffect::SetTimeSource(TimeSource& source) {
    if (m_executing) return;
    m_time = &source;
    AbortChrono.Reset();
    AbortChrono.SetSource(source);
}

void TTransitionEffect::RunPass(TTETransitionData& data, bool fireStart, bool fireEnd) {
    if (fireStart && OnStartTransition) OnStartTransition(*this);
    AbortChrono.Start();
    try {
        ExecuteTransition(data);
    } catch (...) {
        AbortChrono.Reset();
        throw;
    }
    AbortChrono.Reset();
    if (fireEnd && OnEndTransition) OnEndTransition(*this);
}

namespace {

TTETransitionData MakePassData(raster::Bitmap* work, const raster::Bitmap* src,
                               const raster::Bitmap* dst, TTERenderWindow* window,
                               raster::PixelFormat format) {
    TTETransitionData data;
    data.WorkBitmap = work;
    data.SrcImage = src;
    data.DstImage = dst;
    data.Window = window;
    data.Width = window->Canvas().Width();
    data.Height = window->Canvas().Height();
    data.PixelFormat = format == raster::PixelFormat::Device ? DisplayPixelFormat() : format;
    data.HighColour = DisplayIsHighColour();
    return data;
}

}  // namespace

void TTransitionEffect::RunOnePass() {
    if (NeedsNewImage()) NewImage = std::make_unique<raster::Bitmap>(PaintControl());
    raster::Bitmap* work = nullptr;
    std::unique_ptr<raster::Bitmap> ownWork = SetUpWorkBitmap(work);
    if (ownWork && !DisplayIsHighColour() && NewImage) ownWork->Palette() = NewImage->Palette();
    TTETransitionData data =
        MakePassData(work, OldImage.get(), NewImage.get(), m_window.get(), GetPixelFormat());
    RunPass(data, true, true);
}

void TTransitionEffect::RunTwoPasses() {
    int32_t savedMilliseconds = Milliseconds;
    if (Pass2Options.DistributedTime) Milliseconds /= 2;
    struct Restore {
        TTransitionEffect* self;
        int32_t ms;
        ~Restore() { self->Milliseconds = ms; }
    } restore{this, savedMilliseconds};

    raster::Bitmap* work = nullptr;
    std::unique_ptr<raster::Bitmap> ownWork = SetUpWorkBitmap(work);
    {
        TTETransitionData data =
            MakePassData(work, OldImage.get(), Pass2Image.get(), m_window.get(), GetPixelFormat());
        if (UsesFirstPass()) RunPass(data, true, false);
        raster::Bitmap& canvas = data.DrawCanvas();
        CopyPixels(canvas, 0, 0, data.Width, data.Height, *Pass2Image, 0, 0);
        if (!work) m_window->Flush({0, 0, data.Width, data.Height});
    }
    if (work == OldImage.get()) work = nullptr;
    OldImage.reset();
    SecondPass = true;

    if (NeedsNewImage()) NewImage = std::make_unique<raster::Bitmap>(PaintControl());
    if (!ownWork) {
        work = Pass2Image.get();
    } else if (!DisplayIsHighColour()) {
        const raster::Bitmap* from = NewImage ? NewImage.get() : Pass2Image.get();
        ownWork->Palette() = from->Palette();
    }
    if (NewImage) Pass2Image->Palette() = NewImage->Palette();
    TTETransitionData data =
        MakePassData(work, Pass2Image.get(), NewImage.get(), m_window.get(), GetPixelFormat());
    RunPass(data, !UsesFirstPass(), true);
}

// --- Frames ----------------------------------------------------------------------------

void TTransitionEffect::PaintFrame(TTETransitionData& data, bool wholeFrame) {
    core::Rect frame{0, 0, data.Width, data.Height};
    core::Rect area = (wholeFrame || DirtyRect.IsEmpty()) ? frame : DirtyRect.Intersected(frame);
    // An effect drawing on the render window itself (DrawOffscreen false, or no work
    // bitmap) has nothing to copy, but its frame must still reach the screen.
    if (DrawOffscreen && DisplayBitmap) {
        raster::Bitmap& canvas = data.Window->Canvas();
        core::Rect hole = DirtyHoleRect.Intersected(area);
        auto copy = [&](const core::Rect& r) {
            if (!r.IsEmpty())
                CopyPixels(canvas, r.Left, r.Top, r.Width(), r.Height(), *DisplayBitmap, r.Left,
                           r.Top);
        };
        if (hole.IsEmpty()) {
            copy(area);
        } else {
            // The area minus the hole: the bands above, below, left and right of it.
            copy({area.Left, area.Top, area.Right, hole.Top});
            copy({area.Left, hole.Bottom, area.Right, area.Bottom});
            copy({area.Left, hole.Top, hole.Left, hole.Bottom});
            copy({hole.Right, hole.Top, area.Right, hole.Bottom});
        }
    }
    // Effects without a work bitmap drew on the render window itself; either way the
    // frame goes to the screen now.
    if (!area.IsEmpty()) data.Window->Flush(area);
    DirtyRect = {};
    DirtyHoleRect = {};
}

void TTransitionEffect::ShowFinalFrame(TTETransitionData& data) {
    raster::Bitmap& canvas = data.Window->Canvas();
    if (data.DstImage) CopyPixels(canvas, 0, 0, data.Width, data.Height, *data.DstImage, 0, 0);
    data.Window->Flush({0, 0, data.Width, data.Height});
}

}  // namespace transitions

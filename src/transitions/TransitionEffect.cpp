#include "transitions/TransitionEffect.h"

#include "raster/Blit.h"
#include "transitions/TransitionList.h"

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

bool TransitionEffect::AnyPrepared() {
    return g_anyPrepared;
}

TransitionEffect::TransitionEffect() = default;

TransitionEffect::~TransitionEffect() {
    if (m_list) m_list->Remove(this);
    Unprepare();
}

void TransitionEffect::SetEnabled(bool enabled) {
    if (m_enabled && !enabled) Unprepare();
    m_enabled = enabled;
}

void TransitionEffect::SetDirection(Direction direction) {
    if (m_allowedDirections & DirectionBit(direction)) m_direction = direction;
}

Direction TransitionEffect::OppositeDirection(Direction d) const {
    using D = Direction;
    switch (d) {
        case D::Right:
            return D::Left;
        case D::Left:
            return D::Right;
        case D::Down:
            return D::Up;
        case D::Up:
            return D::Down;
        case D::DownRight:
            return D::UpLeft;
        case D::UpLeft:
            return D::DownRight;
        case D::DownLeft:
            return D::UpRight;
        case D::UpRight:
            return D::DownLeft;
        case D::In:
            return D::Out;
        case D::Out:
            return D::In;
        case D::None:
            return D::None;
    }
    return d;
}

int TransitionEffect::PassCount() const {
    switch (Passes) {
        case PassSetting::OnePass:
            return 1;
        case PassSetting::TwoPasses:
            return 2;
        case PassSetting::PaletteDependent:
            return DisplayBitsPerPixel() == 8 ? 2 : 1;
    }
    return 1;
}

bool TransitionEffect::ActualReversed() const {
    bool reversed = Reversed;
    // In the first of two passes the second pass's reversal option inverts it.
    if (Pass2Options.Reversed && PassCount() == 2 && UsesFirstPass() && !m_secondPass)
        reversed = !reversed;
    return reversed;
}

Direction TransitionEffect::ActualDirection() const {
    return ActualReversed() ? OppositeDirection(m_direction) : m_direction;
}

void TransitionEffect::Assign(const TransitionEffect& source) {
    Milliseconds = source.Milliseconds;
    Pass2Options = source.Pass2Options;
    Passes = source.Passes;
    SetEnabled(source.Enabled());
    FlickerFreeWhenDisabled = source.FlickerFreeWhenDisabled;
    SetDirection(source.GetDirection());
    Reversed = source.Reversed;
    AbortOnClick = source.AbortOnClick;
    AbortOnEscape = source.AbortOnEscape;
}

bool TransitionEffect::SetProperty(std::string_view name, const PropertyValue& value) {
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
        Passes = PassSetting(v);
        return true;
    }
    if (name == "Pass2Options.DistributedTime") return Take(value, Pass2Options.DistributedTime);
    if (name == "Pass2Options.Reversed") return Take(value, Pass2Options.Reversed);
    if (name == "Pass2Options.UseSolidColor") return Take(value, Pass2Options.UseSolidColor);
    if (name == "Pass2Options.SolidColor") return Take(value, Pass2Options.SolidColor);
    return false;
}

bool TransitionEffect::SetDirectionProperty(const PropertyValue& value) {
    const int32_t* v = std::get_if<int32_t>(&value);
    if (!v || *v < 0 || *v > int32_t(Direction::Out)) return false;
    SetDirection(Direction(*v));
    return true;
}

bool TransitionEffect::SetReversedProperty(const PropertyValue& value) {
    return Take(value, Reversed);
}

// --- Prepare, Execute, Unprepare -------------------------------------------------------

void TransitionEffect::DestroyRenderWindow() {
    m_window.reset();
}

bool TransitionEffect::Prepare(TransitionControl& control, const core::Rect& rect) {
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
                m_oldImage = std::make_unique<raster::Bitmap>(PaintControl());
            } else if (GetPixelFormat() != raster::PixelFormat::Bits8 || PassCount() == 2) {
                m_oldImage = std::make_unique<raster::Bitmap>(CopyScreen());
            }
            // An 8-bit single pass copies the screen at the start of Execute instead.
        }
    } catch (...) {
        Unprepare();
        throw;
    }
    return m_prepared;
}

void TransitionEffect::Unprepare() {
    if (m_prepared) {
        m_oldImage.reset();
        m_pass2Image.reset();
        m_newImage.reset();
        m_prepared = false;
        g_anyPrepared = false;
    }
    DestroyRenderWindow();
    m_control = nullptr;
}

raster::Bitmap TransitionEffect::PaintControl() {
    raster::Bitmap bitmap =
        MakeDisplayBitmap(GetBitmapWidth(m_rect.Width()), m_rect.Height(), GetPixelFormat());
    m_control->PaintInto(m_rect, bitmap);
    return bitmap;
}

raster::Bitmap TransitionEffect::CopyScreen() {
    raster::Bitmap bitmap =
        MakeDisplayBitmap(GetBitmapWidth(m_rect.Width()), m_rect.Height(), GetPixelFormat());
    m_control->CopyScreen(m_rect, bitmap);
    return bitmap;
}

raster::Bitmap TransitionEffect::MakeIntermediateImage() {
    if (!Pass2Options.UseSolidColor) return PaintControl();
    raster::Bitmap bitmap =
        MakeDisplayBitmap(GetBitmapWidth(m_rect.Width()), m_rect.Height(), GetPixelFormat());
    if (m_oldImage && !m_oldImage->Palette().empty()) bitmap.Palette() = m_oldImage->Palette();
    raster::ColorValue colour =
        Pass2Options.SolidColor == raster::kClNone ? m_control->Colour() : Pass2Options.SolidColor;
    bitmap.Fill(raster::ColorToRgb(colour));
    return bitmap;
}

void TransitionEffect::Execute() {
    if (OnBeforeTransition) OnBeforeTransition(*this);
    bool runs = m_enabled || FlickerFreeWhenDisabled;
    if (runs && !m_prepared) DestroyRenderWindow();
    if (runs && m_prepared) {
        m_aborted = false;
        m_executing = true;
        m_secondPass = false;
        m_dirtyRect = {};
        m_dirtyHoleRect = {};
        auto cleanUp = [this] {
            m_executing = false;
            m_secondPass = false;
            Unprepare();
        };
        try {
            if (!m_enabled) {
                // Runs only to replace the picture without flicker: one copy.
                m_newImage = std::make_unique<raster::Bitmap>(PaintControl());
                raster::Bitmap& canvas = m_window->Canvas();
                raster::CopyBlock(canvas, 0, 0, canvas.Width(), canvas.Height(), *m_newImage, 0, 0);
                m_window->Flush({0, 0, canvas.Width(), canvas.Height()});
            } else {
                if (!m_pass2Image && PassCount() == 2)
                    m_pass2Image = std::make_unique<raster::Bitmap>(MakeIntermediateImage());
                if (m_pass2Image)
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

std::unique_ptr<raster::Bitmap> TransitionEffect::SetUpWorkBitmap(raster::Bitmap*& work) {
    work = nullptr;
    if (!m_oldImage && NeedsOldImage()) m_oldImage = std::make_unique<raster::Bitmap>(CopyScreen());
    if (!NeedsWorkBitmap()) return nullptr;
    if (NeedsOldImage() && WorkOnOldImage()) {
        work = m_oldImage.get();
        return nullptr;
    }
    auto own = std::make_unique<raster::Bitmap>(MakeDisplayBitmap(
        GetBitmapWidth(m_rect.Width()), m_window->Canvas().Height(), GetPixelFormat()));
    work = own.get();
    return own;
}

void TransitionEffect::SetTimeSource(TimeSource& source) {
    if (m_executing) return;
    m_time = &source;
    m_abortStopwatch.Reset();
    m_abortStopwatch.SetSource(source);
}

void TransitionEffect::RunPass(PassData& data, bool fireStart, bool fireEnd) {
    if (fireStart && OnStartTransition) OnStartTransition(*this);
    m_abortStopwatch.Start();
    try {
        ExecuteTransition(data);
    } catch (...) {
        m_abortStopwatch.Reset();
        throw;
    }
    m_abortStopwatch.Reset();
    if (fireEnd && OnEndTransition) OnEndTransition(*this);
}

namespace {

PassData MakePassData(raster::Bitmap* work, const raster::Bitmap* src, const raster::Bitmap* dst,
                      RenderWindow* window, raster::PixelFormat format) {
    PassData data;
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

void TransitionEffect::RunOnePass() {
    if (NeedsNewImage()) m_newImage = std::make_unique<raster::Bitmap>(PaintControl());
    raster::Bitmap* work = nullptr;
    std::unique_ptr<raster::Bitmap> ownWork = SetUpWorkBitmap(work);
    if (ownWork && !DisplayIsHighColour() && m_newImage) ownWork->Palette() = m_newImage->Palette();
    PassData data =
        MakePassData(work, m_oldImage.get(), m_newImage.get(), m_window.get(), GetPixelFormat());
    RunPass(data, true, true);
}

void TransitionEffect::RunTwoPasses() {
    int32_t savedMilliseconds = Milliseconds;
    if (Pass2Options.DistributedTime) Milliseconds /= 2;
    struct Restore {
        TransitionEffect* self;
        int32_t ms;
        ~Restore() { self->Milliseconds = ms; }
    } restore{this, savedMilliseconds};

    raster::Bitmap* work = nullptr;
    std::unique_ptr<raster::Bitmap> ownWork = SetUpWorkBitmap(work);
    {
        PassData data = MakePassData(work, m_oldImage.get(), m_pass2Image.get(), m_window.get(),
                                     GetPixelFormat());
        if (UsesFirstPass()) RunPass(data, true, false);
        raster::Bitmap& canvas = data.DrawCanvas();
        raster::CopyBlock(canvas, 0, 0, data.Width, data.Height, *m_pass2Image, 0, 0);
        if (!work) m_window->Flush({0, 0, data.Width, data.Height});
    }
    if (work == m_oldImage.get()) work = nullptr;
    m_oldImage.reset();
    m_secondPass = true;

    if (NeedsNewImage()) m_newImage = std::make_unique<raster::Bitmap>(PaintControl());
    if (!ownWork) {
        work = m_pass2Image.get();
    } else if (!DisplayIsHighColour()) {
        const raster::Bitmap* from = m_newImage ? m_newImage.get() : m_pass2Image.get();
        ownWork->Palette() = from->Palette();
    }
    if (m_newImage) m_pass2Image->Palette() = m_newImage->Palette();
    PassData data =
        MakePassData(work, m_pass2Image.get(), m_newImage.get(), m_window.get(), GetPixelFormat());
    RunPass(data, !UsesFirstPass(), true);
}

// --- Frames ----------------------------------------------------------------------------

void TransitionEffect::PaintFrame(PassData& data, bool wholeFrame) {
    core::Rect frame{0, 0, data.Width, data.Height};
    core::Rect area =
        (wholeFrame || m_dirtyRect.IsEmpty()) ? frame : m_dirtyRect.Intersected(frame);
    // An effect drawing on the render window itself (m_drawOffscreen false, or no work
    // bitmap) has nothing to copy, but its frame must still reach the screen.
    if (m_drawOffscreen && m_displayBitmap) {
        raster::Bitmap& canvas = data.Window->Canvas();
        core::Rect hole = m_dirtyHoleRect.Intersected(area);
        auto copy = [&](const core::Rect& r) {
            if (!r.IsEmpty())
                raster::CopyBlock(canvas, r.Left, r.Top, r.Width(), r.Height(), *m_displayBitmap,
                                  r.Left, r.Top);
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
    m_dirtyRect = {};
    m_dirtyHoleRect = {};
}

void TransitionEffect::ShowFinalFrame(PassData& data) {
    raster::Bitmap& canvas = data.Window->Canvas();
    if (data.DstImage)
        raster::CopyBlock(canvas, 0, 0, data.Width, data.Height, *data.DstImage, 0, 0);
    data.Window->Flush({0, 0, data.Width, data.Height});
}

}  // namespace transitions

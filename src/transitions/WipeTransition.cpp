#include "transitions/WipeTransition.h"

#include <algorithm>
#include <cstring>

#include "core/Random.h"
#include "core/Rounding.h"
#include "raster/Blit.h"

namespace transitions {

namespace {

using D = Direction;

// The band mask's length along the band is the frame's plus this much, so that a random
// offset up to it can shift the dither at every step.
constexpr int kMaskSlack = 75;
constexpr uint32_t kMaskSeed = 1642000;

bool IsSideDirection(D d) {
    return d == D::Right || d == D::Left || d == D::Down || d == D::Up;
}

bool BandRunsVertically(D d) {
    return d == D::Right || d == D::Left;
}

// The bounding box of both; an empty rectangle adds nothing.
core::Rect Union(const core::Rect& a, const core::Rect& b) {
    if (a.IsEmpty()) return b;
    if (b.IsEmpty()) return a;
    return {std::min(a.Left, b.Left), std::min(a.Top, b.Top), std::max(a.Right, b.Right),
            std::max(a.Bottom, b.Bottom)};
}

// round(extent / total * step), halves to even, as the corner and centre wipes advance.
int Progress(int extent, int total, int step) {
    return int(core::RoundHalfEven(double(extent) / double(total) * double(step)));
}

}  // namespace

WipeTransition::WipeTransition() {
    SetAllowedDirections(0x07FE);  // every direction but None
    InitDirection(D::Right);
}

WipeTransition::~WipeTransition() = default;

int32_t WipeTransition::BandWidth() const {
    return IsSideDirection(ActualDirection()) ? m_bandWidth : 0;
}

int WipeTransition::BandWidthInUse() const {
    return std::max(BandWidth(), 0);
}

void WipeTransition::Assign(const TransitionEffect& source) {
    TimedTransitionEffect::Assign(source);
    if (const auto* wipe = dynamic_cast<const WipeTransition*>(&source))
        m_bandWidth = wipe->BandWidth();
}

bool WipeTransition::SetProperty(std::string_view name, const PropertyValue& value) {
    if (name == "BandWidth") {
        const int32_t* v = std::get_if<int32_t>(&value);
        if (v) SetBandWidth(*v);
        return v != nullptr;
    }
    if (name == "Direction") return SetDirectionProperty(value);
    if (name == "Reversed") return SetReversedProperty(value);
    return TimedTransitionEffect::SetProperty(name, value);
}

// --- Band mask -------------------------------------------------------------------------

void WipeTransition::BuildBandMaskIfNeeded(int width, int height, D direction) {
    const int bw = m_bandInUse;
    const bool vertical = BandRunsVertically(direction);
    const int maskWidth = vertical ? bw : width + kMaskSlack;
    const int maskHeight = vertical ? height + kMaskSlack : bw;
    if (m_bandMask && m_bandMask->Width() == maskWidth && m_bandMask->Height() == maskHeight &&
        m_maskDirection == direction)
        return;

    m_bandMask.reset();
    // White everywhere (bit 1 = palette entry 1, white); black pixels will show the new
    // picture.
    auto mask = std::make_unique<raster::Bitmap>(maskWidth, maskHeight, raster::PixelFormat::Bits1);
    std::memset(mask->Bits(), 0xFF, mask->SizeBytes());

    // A fixed seed, so a given size and direction always gives the same dither.
    core::Random& random = core::ProgramRandom();
    random.SetSeed(kMaskSeed);
    const bool densityFalls = direction == D::Right || direction == D::Down;
    const int along = vertical ? maskHeight : maskWidth;
    for (int c = 0; c < bw; ++c) {
        int d = int(int64_t(c) * 100 / bw);
        int threshold = densityFalls ? 100 - d : d;
        if (threshold == 0) threshold = 1;
        // One draw more than the mask is long. The band comes from a fixed seed, so the
        // number of draws is part of its pattern, which stored band masks pin.
        for (int i = 0; i <= along; ++i) {
            uint32_t r = random.Next(100);
            if (i < along && uint32_t(threshold) >= r) {
                if (vertical)
                    mask->SetIndex(c, i, 0);
                else
                    mask->SetIndex(i, c, 0);
            }
        }
    }
    m_bandMask = std::move(mask);
    m_maskDirection = direction;
}

// --- Steps -----------------------------------------------------------------------------

void WipeTransition::PrepareSteps(PassData& data, int& totalSteps) {
    m_oldBand.reset();
    m_newBand.reset();
    m_expandedMask.reset();
    m_maskOffset = {};
    const D direction = ActualDirection();
    const int w = data.Width, h = data.Height;
    const int bw = BandWidthInUse();
    m_bandInUse = bw;

    if (bw > 0) {
        BuildBandMaskIfNeeded(w, h, direction);
        const bool vertical = BandRunsVertically(direction);
        auto makeBand = [&] {
            auto band = std::make_unique<raster::Bitmap>(
                MakeDisplayBitmap(vertical ? bw : w, vertical ? h : bw, data.PixelFormat));
            if (data.DstImage) band->Palette() = data.DstImage->Palette();
            return band;
        };
        m_oldBand = makeBand();
        m_newBand = makeBand();
        // The mask in the frame's format (black 0, white all ones, exactly what a 1-bit
        // source stands for in a block operation), made once per run: every step then
        // combines it byte by byte instead of expanding its bits again.
        const raster::Bitmap& mask = *m_bandMask;
        m_expandedMask = std::make_unique<raster::Bitmap>(
            MakeDisplayBitmap(mask.Width(), mask.Height(), data.PixelFormat));
        raster::Blit(*m_expandedMask, 0, 0, mask.Width(), mask.Height(), mask, 0, 0,
                     raster::Rop::SrcCopy);
        raster::Bitmap& canvas = data.DrawCanvas();
        if (data.SrcImage) raster::CopyBlock(canvas, 0, 0, w, h, *data.SrcImage, 0, 0);
    } else {
        m_bandMask.reset();
    }

    // Coordinates stay signed: the side wipes start off the frame (the hard edge BW pixels
    // before it), and their band must slide in and out across the edges, clipped.
    switch (direction) {
        case D::Right:
            totalSteps = bw + w;
            m_reveal = {1 - bw, 0, -bw, h};
            m_band = {1 - bw, 0, 1, h};
            break;
        case D::Left:
            totalSteps = bw + w;
            m_reveal = {w + bw, 0, w + bw, h};
            m_band = {w - 1, 0, w + bw - 1, h};
            break;
        case D::Down:
            totalSteps = bw + h;
            m_reveal = {0, -bw, w, -bw};
            m_band = {0, 1 - bw, w, 1};
            break;
        case D::Up:
            totalSteps = bw + h;
            m_reveal = {0, h + bw, w, h + bw};
            m_band = {0, h - 1, w, h + bw - 1};
            break;
        case D::DownRight:
            totalSteps = w + h;
            m_reveal = {0, 0, 0, 0};
            break;
        case D::DownLeft:
            totalSteps = std::max(w, h);
            m_reveal = {w, 0, w, 0};
            break;
        case D::UpRight:
            totalSteps = std::max(w, h);
            m_reveal = {0, h, 0, h};
            break;
        case D::UpLeft:
            totalSteps = std::max(w, h);
            m_reveal = {w, h, w, h};
            break;
        case D::In:
            totalSteps = std::max(w, h) / 2;
            m_reveal = {0, 0, w, h};
            break;
        case D::Out:
            totalSteps = std::max(w, h) / 2;
            m_reveal = {w / 2, h / 2, w / 2, h / 2};
            break;
        case D::None:
            totalSteps = 0;
            break;
    }
}

void WipeTransition::RenderStep(PassData& data, int step, int stepDelta, int totalSteps,
                                int previousStep) {
    TimedTransitionEffect::RenderStep(data, step, stepDelta, totalSteps, previousStep);
    const D direction = ActualDirection();
    if (IsSideDirection(direction)) {
        StepSide(data, direction, stepDelta);
    } else if (direction == D::In || direction == D::Out) {
        StepInOut(data, direction, step, totalSteps);
    } else {
        StepCorner(data, direction, step, totalSteps);
    }
    // A step that changed nothing still names one pixel: an empty m_dirtyRect would make the
    // frame count as changed all over.
    if (m_dirtyRect.IsEmpty()) m_dirtyRect = {0, 0, 1, 1};
}

void WipeTransition::FinishSteps(PassData&) {
    m_oldBand.reset();
    m_newBand.reset();
    m_expandedMask.reset();
}

void WipeTransition::Reveal(PassData& data, const core::Rect& r) {
    if (r.IsEmpty() || !data.DstImage) return;
    raster::CopyBlock(data.DrawCanvas(), r.Left, r.Top, r.Width(), r.Height(), *data.DstImage,
                      r.Left, r.Top);
    m_dirtyRect = Union(m_dirtyRect, r.Intersected({0, 0, data.Width, data.Height}));
}

void WipeTransition::StepSide(PassData& data, D direction, int delta) {
    const int bw = m_bandInUse;
    core::Random& random = core::ProgramRandom();
    switch (direction) {
        case D::Right:
            m_reveal.Left = m_reveal.Right;
            m_reveal.Right += delta;
            if (bw > 0) {
                m_band.Left = m_reveal.Right + 1;
                m_band.Right = m_band.Left + bw;
                m_maskOffset.Y = int(random.Next(kMaskSlack));
            }
            break;
        case D::Left:
            m_reveal.Right = m_reveal.Left;
            m_reveal.Left -= delta;
            if (bw > 0) {
                m_band.Right = m_reveal.Left - 1;
                m_band.Left = m_band.Right - bw;
                m_maskOffset.Y = int(random.Next(kMaskSlack));
            }
            break;
        case D::Down:
            m_reveal.Top = m_reveal.Bottom;
            m_reveal.Bottom += delta;
            if (bw > 0) {
                m_band.Top = m_reveal.Bottom + 1;
                m_band.Bottom = m_band.Top + bw;
                m_maskOffset.X = int(random.Next(kMaskSlack));
            }
            break;
        case D::Up:
            m_reveal.Bottom = m_reveal.Top;
            m_reveal.Top -= delta;
            if (bw > 0) {
                m_band.Bottom = m_reveal.Bottom - 1;
                m_band.Top = m_band.Bottom - bw;
                m_maskOffset.X = int(random.Next(kMaskSlack));
            }
            break;
        default:
            return;
    }
    if (bw <= 0) {
        Reveal(data, m_reveal);
        return;
    }
    ComposeBand(data);
    // The strip reaches one pixel further right and down, closing the seam before the band.
    Reveal(data, {m_reveal.Left, m_reveal.Top, m_reveal.Right + 1, m_reveal.Bottom + 1});
}

void WipeTransition::ComposeBand(PassData& data) {
    using raster::Rop;
    const core::Rect frame{0, 0, data.Width, data.Height};
    m_dirtyRect = Union(m_dirtyRect, m_band.Intersected(frame));
    // Only the part of the band on the frame is composed; band pixel (i, j) lies over frame
    // pixel (band left + i, band top + j) and reads mask pixel (offset x + i, offset y + j).
    const core::Rect visible = m_band.Intersected(frame);
    if (visible.IsEmpty() || !data.SrcImage || !data.DstImage) return;
    const int bx = visible.Left - m_band.Left, by = visible.Top - m_band.Top;
    const int w = visible.Width(), h = visible.Height();
    const int mx = m_maskOffset.X + bx, my = m_maskOffset.Y + by;
    raster::Bitmap& oldBand = *m_oldBand;
    raster::Bitmap& newBand = *m_newBand;
    const raster::Bitmap& mask = *m_expandedMask;

    // Old picture where the mask is white, new where it is black.
    raster::Blit(oldBand, bx, by, w, h, *data.SrcImage, visible.Left, visible.Top, Rop::SrcCopy);
    raster::Blit(oldBand, bx, by, w, h, mask, mx, my, Rop::SrcAnd);
    raster::Blit(newBand, bx, by, w, h, *data.DstImage, visible.Left, visible.Top, Rop::SrcCopy);
    raster::Blit(newBand, bx, by, w, h, mask, mx, my, Rop::DstAndNotSrc);
    raster::Blit(newBand, bx, by, w, h, oldBand, bx, by, Rop::SrcPaint);
    raster::Blit(data.DrawCanvas(), visible.Left, visible.Top, w, h, newBand, bx, by, Rop::SrcCopy);
}

void WipeTransition::StepCorner(PassData& data, D direction, int step, int total) {
    const int w = data.Width, h = data.Height;
    const int x = Progress(w, total, step), y = Progress(h, total, step);
    core::Rect& r = m_reveal;
    core::Rect a, b;
    switch (direction) {
        case D::DownRight:
            a = {0, r.Bottom, x, y};
            b = {r.Right, 0, x, r.Bottom};
            r.Right = x;
            r.Bottom = y;
            break;
        case D::DownLeft:
            a = {w - x, r.Bottom, w, y};
            b = {w - x, 0, r.Left, r.Bottom};
            r.Left = w - x;
            r.Bottom = y;
            break;
        case D::UpRight:
            a = {0, h - y, x, r.Top};
            b = {r.Right, r.Top, x, h};
            r.Right = x;
            r.Top = h - y;
            break;
        case D::UpLeft:
            a = {w - x, h - y, w, r.Top};
            b = {w - x, r.Top, r.Left, h};
            r.Left = w - x;
            r.Top = h - y;
            break;
        default:
            return;
    }
    Reveal(data, a);
    Reveal(data, b);
}

void WipeTransition::StepInOut(PassData& data, D direction, int step, int total) {
    const int w = data.Width, h = data.Height;
    const core::Rect r = m_reveal;
    int hx, hy;
    core::Rect top, left, right, bottom;
    if (direction == D::In) {
        hx = Progress(w, total, step) / 2;
        hy = Progress(h, total, step) / 2;
        top = {r.Left, r.Top, r.Right, hy};
        left = {r.Left, hy, hx, h - hy};
        right = {w - hx, hy, r.Right, h - hy};
        bottom = {r.Left, h - hy, r.Right, r.Bottom};
    } else {
        hx = (w - Progress(w, total, step)) / 2;
        hy = (h - Progress(h, total, step)) / 2;
        top = {hx, hy, w - hx, r.Top};
        left = {hx, r.Top, r.Left, h - hy};
        right = {r.Right, r.Top, w - hx, r.Bottom};
        bottom = {hx, r.Bottom, w - hx, h - hy};
    }
    Reveal(data, top);
    Reveal(data, left);
    Reveal(data, right);
    Reveal(data, bottom);
    m_reveal = {hx, hy, w - hx, h - hy};
}

}  // namespace transitions

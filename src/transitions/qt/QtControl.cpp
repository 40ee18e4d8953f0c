#include "transitions/qt/QtControl.h"

#include <QApplication>
#include <QPainter>
#include <QScreen>
#include <cstring>

#include "core/Error.h"
#include "transitions/DisplayFormat.h"

namespace transitions {

namespace {

enum class RenderWindows { Skip, Include };

QRect ToQRect(const core::Rect& r) {
    return QRect(r.Left, r.Top, r.Width(), r.Height());
}

// Paints `widget` and its visible children into `painter`, back to front, with the widget's
// top-left at `origin` and everything clipped to `clip` (painter coordinates). Only the
// root fills its background as a window does; children fill theirs when they are meant to.
// A subtree holding a render window is walked child by child so the render window can be
// left out; any other subtree is painted by Qt in one go.
void PaintTree(QWidget& widget, QPainter& painter, QPoint origin, const QRect& clip,
               RenderWindows renderWindows, bool root) {
    QRect visible = clip & QRect(origin, widget.size());
    if (visible.isEmpty()) return;
    QWidget::RenderFlags flags = root ? QWidget::DrawWindowBackground : QWidget::RenderFlags();
    // Qt places the top-left of the source region at the target offset.
    QRegion source(visible.translated(-origin));
    if (renderWindows == RenderWindows::Include || !QtRenderWindow::HasRenderWindowInside(widget)) {
        widget.render(&painter, visible.topLeft(), source, flags | QWidget::DrawChildren);
        return;
    }
    widget.render(&painter, visible.topLeft(), source, flags);
    for (QObject* object : widget.children()) {
        auto* child = qobject_cast<QWidget*>(object);
        if (!child || child->isWindow() || child->isHidden() ||
            QtRenderWindow::IsRenderWindow(child))
            continue;
        PaintTree(*child, painter, origin + child->pos(), visible, renderWindows, false);
    }
}

// Paints the widget's `rect` (its own coordinates) into `target`, converting to the
// target's format. 32-bit targets are painted in place.
void PaintWidget(QWidget& widget, const core::Rect& rect, raster::Bitmap& target,
                 RenderWindows renderWindows) {
    if (target.Empty()) return;
    const bool direct = target.Format() == raster::PixelFormat::Bits32;
    raster::Bitmap scratch;
    if (!direct)
        scratch = raster::Bitmap(target.Width(), target.Height(), raster::PixelFormat::Bits32);
    raster::Bitmap& surface = direct ? target : scratch;
    {
        QImage image(surface.Bits(), surface.Width(), surface.Height(), qsizetype(surface.Stride()),
                     QImage::Format_RGB32);
        QPainter painter(&image);
        PaintTree(widget, painter, QPoint(-rect.Left, -rect.Top), image.rect(), renderWindows,
                  true);
    }
    // Qt writes 0xFF into the unused fourth byte; our bitmaps keep it 0.
    for (int y = 0; y < surface.Height(); ++y) {
        uint32_t* row = reinterpret_cast<uint32_t*>(surface.Scanline(y));
        for (int x = 0; x < surface.Width(); ++x) row[x] &= 0x00FFFFFFu;
    }
    if (!direct) {
        raster::Bitmap converted = scratch.ConvertTo(target.Format(), target.Palette());
        std::memcpy(target.Bits(), converted.Bits(), target.SizeBytes());
    }
}

}  // namespace

QtControl::QtControl(QWidget& widget) : m_widget(&widget) {}

QtControl::~QtControl() = default;

bool QtControl::IsVisible() const {
    return m_widget && m_widget->isVisible();
}

TransitionControl* QtControl::ParentControl() const {
    QWidget* parent = m_widget && !m_widget->isWindow() ? m_widget->parentWidget() : nullptr;
    if (!parent) return nullptr;
    if (!m_parent || m_parent->Widget() != parent) m_parent = std::make_unique<QtControl>(*parent);
    // Render windows the engine makes on the parent report their frames here too.
    m_parent->OnFrame = OnFrame;
    return m_parent.get();
}

core::Point QtControl::Position() const {
    if (!m_widget) return {};
    return {m_widget->x(), m_widget->y()};
}

void QtControl::Update() {
    if (m_widget && m_widget->isVisible()) m_widget->repaint();
}

bool QtControl::IsCovered(const core::Rect& rect) const {
    if (!m_widget) return true;
    QRect r = ToQRect(rect);
    QRect global(m_widget->mapToGlobal(r.topLeft()), r.size());
    QScreen* screen = m_widget->screen();
    if (!screen || !screen->geometry().contains(global)) return true;
    // Up through the ancestors: outside a client area, or under any visible sibling.
    for (QWidget* level = m_widget; !level->isWindow(); level = level->parentWidget()) {
        if (!level->rect().contains(r)) return true;
        QWidget* parent = level->parentWidget();
        r.translate(level->pos());
        for (QObject* object : parent->children()) {
            auto* sibling = qobject_cast<QWidget*>(object);
            if (!sibling || sibling == level || sibling->isWindow() || !sibling->isVisible() ||
                QtRenderWindow::IsRenderWindow(sibling))
                continue;
            if (sibling->geometry().intersects(r)) return true;
        }
    }
    if (!m_widget->window()->rect().contains(r)) return true;
    // Qt does not tell the stacking order of top-level windows, so any other visible one
    // of the program over the rectangle counts as in front. Windows of other programs
    // are not known here.
    QWidget* own = m_widget->window();
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (top == own || !top->isVisible() || top->isMinimized() ||
            QtRenderWindow::IsRenderWindow(top))
            continue;
        if (top->frameGeometry().intersects(global)) return true;
    }
    return false;
}

void QtControl::CopyScreen(const core::Rect& rect, raster::Bitmap& target) {
    // While the control is uncovered the screen shows exactly its widget tree with any
    // render window on top, so painting that tree gives the screen's pixels without reading
    // them back from the window system (which not every platform allows).
    if (m_widget) PaintWidget(*m_widget, rect, target, RenderWindows::Include);
}

void QtControl::PaintInto(const core::Rect& rect, raster::Bitmap& target) {
    if (m_widget) PaintWidget(*m_widget, rect, target, RenderWindows::Skip);
}

raster::ColorValue QtControl::Colour() const {
    if (!m_widget) return raster::kClBlack;
    QColor c = m_widget->palette().color(m_widget->backgroundRole());
    return raster::ColorValue(c.red() | (c.green() << 8) | (c.blue() << 16));
}

std::unique_ptr<RenderWindow> QtControl::CreateRenderWindow(const core::Rect& rect) {
    if (!m_widget) throw core::Error("The window of the transition no longer exists.");
    // It starts with what is on screen beneath it: the control's look.
    raster::Bitmap canvas = MakeDisplayBitmap(rect.Width(), rect.Height(), DisplayPixelFormat());
    PaintInto(rect, canvas);
    return std::make_unique<QtRenderWindow>(*m_widget, rect, std::move(canvas), OnFrame);
}

}  // namespace transitions

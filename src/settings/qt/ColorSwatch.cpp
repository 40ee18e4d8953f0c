#include "settings/qt/ColorSwatch.h"

#include <QPainter>
#include <QStyleOptionFocusRect>
#include <QStylePainter>

#include "platform/Dialogs.h"

namespace settings {

namespace {

QColor ToQColor(raster::ColorValue colour) {
    return QColor::fromRgb(raster::ColorToRgb(colour));
}

// Colours from the dialog are plain RGB, stored as 0x00BBGGRR.
raster::ColorValue FromQColor(const QColor& colour) {
    return raster::ColorValue((colour.blue() << 16) | (colour.green() << 8) | colour.red());
}

}  // namespace

ColorSwatch::ColorSwatch(platform::Dialogs& dialogs, raster::ColorValue colour, QWidget* parent)
    : QAbstractButton(parent), m_dialogs(dialogs), m_colour(colour) {
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::StrongFocus);
    SetColour(colour);
    connect(this, &QAbstractButton::clicked, this, [this] { Choose(); });
}

void ColorSwatch::SetColour(raster::ColorValue colour) {
    m_colour = colour;
    setToolTip(QString::fromStdString(ColorToString(colour)));
    update();
}

void ColorSwatch::Choose() {
    if (std::optional<QColor> chosen = m_dialogs.ChooseColour(this, ToQColor(m_colour)))
        SetColour(FromQColor(*chosen));
}

QSize ColorSwatch::sizeHint() const {
    return {48, 22};
}

void ColorSwatch::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    const QRect box = rect().adjusted(1, 1, -2, -2);
    painter.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
    painter.setBrush(ToQColor(m_colour));
    painter.drawRect(box);
    if (hasFocus()) {
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.rect = rect();
        painter.drawPrimitive(QStyle::PE_FrameFocusRect, option);
    }
}

}  // namespace settings

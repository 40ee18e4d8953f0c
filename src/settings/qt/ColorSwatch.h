#pragma once

#include <QAbstractButton>

#include "settings/ColorText.h"

namespace platform {
class Dialogs;
}

namespace settings {

// A button that shows a colour of the settings; a click opens the colour dialog, and a
// colour chosen there becomes the swatch's. The tooltip gives the colour's text.
class ColorSwatch final : public QAbstractButton {
public:
    ColorSwatch(platform::Dialogs& dialogs, raster::ColorValue colour, QWidget* parent = nullptr);

    raster::ColorValue Colour() const { return m_colour; }
    void SetColour(raster::ColorValue colour);
    // Opens the colour dialog; closing it without choosing keeps the colour.
    void Choose();

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    platform::Dialogs& m_dialogs;
    raster::ColorValue m_colour;
};

}  // namespace settings

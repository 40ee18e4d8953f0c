#pragma once

#include <QWidget>
#include <memory>
#include <string>

#include "player/Background.h"
#include "raster/Bitmap.h"

namespace player {

// The show's background control: an optional picture tiled, centred or stretched over the
// control. Where it has no picture it draws nothing, so its parent's colour shows through.
// The placed picture is composed off screen once per change and copied in one operation.
class BackgroundImage final : public QWidget {
public:
    explicit BackgroundImage(QWidget* parent = nullptr);
    ~BackgroundImage() override;

    // The picture to place, in any format; an empty bitmap clears it.
    void SetPicture(const raster::Bitmap& picture);
    void ClearPicture() { SetPicture(raster::Bitmap()); }
    // Loads a BMP, JPEG or GIF file as the picture. Throws core::Error (the picture stays
    // as it was) when the file cannot be read.
    void LoadPicture(const std::string& path);
    bool HasPicture() const { return !m_picture.Empty(); }
    const raster::Bitmap& Picture() const { return m_picture; }

    void SetPlacement(const BackgroundPlacement& placement);
    const BackgroundPlacement& Placement() const { return m_placement; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void Changed();
    void Compose();

    raster::Bitmap m_picture;  // 32 bits
    BackgroundPlacement m_placement;
    bool m_composed = false;
    raster::Bitmap m_image;  // what the control shows, at m_origin
    QPoint m_origin;
};

}  // namespace player

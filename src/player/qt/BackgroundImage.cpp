#include "player/qt/BackgroundImage.h"

#include <QPainter>

#include "codecs/Picture.h"
#include "raster/StretchDraw.h"
#include "transitions/qt/CanvasImage.h"

namespace player {

// Without a background of its own, what the picture does not cover is the parent's colour.
BackgroundImage::BackgroundImage(QWidget* parent) : QWidget(parent) {}

BackgroundImage::~BackgroundImage() = default;

void BackgroundImage::SetPicture(const raster::Bitmap& picture) {
    if (picture.Empty()) {
        m_picture = raster::Bitmap();
    } else if (picture.Format() == raster::PixelFormat::Bits32) {
        m_picture = picture;
    } else {
        m_picture = picture.ConvertTo(raster::PixelFormat::Bits32);
    }
    Changed();
}

void BackgroundImage::LoadPicture(const std::string& path) {
    std::unique_ptr<codecs::Picture> picture = codecs::LoadPicture(path);
    raster::Bitmap bitmap(picture->Width(), picture->Height(), raster::PixelFormat::Bits32);
    picture->Draw(bitmap, {0, 0, bitmap.Width(), bitmap.Height()});
    m_picture = std::move(bitmap);
    Changed();
}

void BackgroundImage::SetPlacement(const BackgroundPlacement& placement) {
    if (placement == m_placement) return;
    m_placement = placement;
    Changed();
}

void BackgroundImage::Changed() {
    m_composed = false;
    update();
}

void BackgroundImage::resizeEvent(QResizeEvent*) {
    Changed();
}

void BackgroundImage::Compose() {
    m_composed = true;
    m_image = raster::Bitmap();
    m_origin = {};
    const int cw = width();
    const int ch = height();
    if (m_picture.Empty() || cw <= 0 || ch <= 0) return;
    if (m_placement.Tiled) {
        m_image = raster::Bitmap(cw, ch, raster::PixelFormat::Bits32);
        DrawBackground(m_image, m_picture, m_placement);
        return;
    }
    // Only the part of the placed picture inside the control is kept.
    const core::Rect rect =
        BackgroundRect(cw, ch, m_picture.Width(), m_picture.Height(), m_placement);
    const core::Rect visible = rect.Intersected({0, 0, cw, ch});
    if (visible.IsEmpty()) return;
    m_image = raster::Bitmap(visible.Width(), visible.Height(), raster::PixelFormat::Bits32);
    raster::StretchDraw(m_image,
                        core::Rect::FromSize(rect.Left - visible.Left, rect.Top - visible.Top,
                                             rect.Width(), rect.Height()),
                        m_picture);
    m_origin = QPoint(visible.Left, visible.Top);
}

void BackgroundImage::paintEvent(QPaintEvent*) {
    if (!m_composed) Compose();
    if (m_image.Empty()) return;
    QPainter painter(this);
    painter.drawImage(m_origin, transitions::CanvasImage(m_image));
}

}  // namespace player

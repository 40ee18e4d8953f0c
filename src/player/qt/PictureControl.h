#pragma once

#include <QImage>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>

#include "core/Geometry.h"
#include "raster/Bitmap.h"

namespace codecs {
class Picture;
}

namespace player {

// The player's picture control: shows one picture stretched to its bounds. The picture is
// drawn once at the control's size when it is placed, so painting and the transition's
// capture of the new look only copy pixels. Transparent GIF pixels show what lies beneath.
class PictureControl final : public QWidget {
public:
    explicit PictureControl(QWidget* parent = nullptr);
    ~PictureControl() override;

    // Reads the picture file (BMP, JPEG or GIF) without drawing it yet. Throws core::Error
    // when it cannot be read; the control keeps what it showed.
    void Load(const std::string& path);
    // The same for a picture already read (from memory, say).
    void SetPicture(std::unique_ptr<codecs::Picture> picture);
    int PictureWidth() const;
    int PictureHeight() const;
    // Puts the loaded picture at `rect` (parent coordinates) and draws it at that size now;
    // a JPEG decodes here, at the smallest of its reduced scales that still covers the size.
    // Throws core::Error for damaged data.
    void Place(const core::Rect& rect);
    // Shows nothing.
    void Clear();

    // A left click on the picture.
    std::function<void()> OnClick;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    std::unique_ptr<codecs::Picture> m_picture;
    raster::Bitmap m_bitmap;  // the visible part of the picture at the control's size
    QImage m_frame;           // what is painted: m_bitmap, or a copy with transparency
    QPoint m_frameOrigin;     // where m_frame starts in the control
};

}  // namespace player

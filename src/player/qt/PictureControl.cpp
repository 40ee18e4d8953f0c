#include "player/qt/PictureControl.h"

#include <QMouseEvent>
#include <QPainter>

#include "codecs/JpegPicture.h"
#include "codecs/Picture.h"
#include "transitions/qt/CanvasImage.h"

namespace player {
namespace {

// The smallest decode of the JPEG that is at least w x h, so a large photo decodes at a
// fraction of its size when the screen shows it smaller anyway.
void ChooseJpegScale(codecs::JpegPicture& jpeg, int w, int h) {
    using codecs::JpegScale;
    for (JpegScale scale : {JpegScale::Eighth, JpegScale::Quarter, JpegScale::Half}) {
        jpeg.SetScale(scale);
        if (jpeg.Width() >= w && jpeg.Height() >= h) return;
    }
    jpeg.SetScale(JpegScale::Full);
}

}  // namespace

PictureControl::PictureControl(QWidget* parent) : QWidget(parent) {
    // Mouse movement shows the cursor again over the picture.
    setMouseTracking(true);
}

PictureControl::~PictureControl() = default;

void PictureControl::Load(const std::string& path) {
    SetPicture(codecs::LoadPicture(path));
}

void PictureControl::SetPicture(std::unique_ptr<codecs::Picture> picture) {
    // The layout needs the picture's own size, whatever scale JPEGs decode at by default.
    if (auto* jpeg = dynamic_cast<codecs::JpegPicture*>(picture.get()))
        jpeg->SetScale(codecs::JpegScale::Full);
    m_picture = std::move(picture);
}

int PictureControl::PictureWidth() const {
    return m_picture ? m_picture->Width() : 0;
}

int PictureControl::PictureHeight() const {
    return m_picture ? m_picture->Height() : 0;
}

void PictureControl::Place(const core::Rect& rect) {
    const int w = std::max(0, rect.Width());
    const int h = std::max(0, rect.Height());
    // Only the part inside the parent is ever seen, so a picture larger than the screen
    // costs no more memory than the screen.
    const QWidget* parent = parentWidget();
    const core::Rect area = parent ? core::Rect{0, 0, parent->width(), parent->height()}
                                   : core::Rect::FromSize(rect.Left, rect.Top, w, h);
    const core::Rect visible = core::Rect::FromSize(rect.Left, rect.Top, w, h).Intersected(area);
    const int vw = visible.Width();
    const int vh = visible.Height();
    QImage frame;
    if (m_picture && !visible.IsEmpty()) {
        if (auto* jpeg = dynamic_cast<codecs::JpegPicture*>(m_picture.get())) {
            ChooseJpegScale(*jpeg, w, h);
            jpeg->DecodeNow();
        }
        // The bitmap is reused while the size stays, which spares fresh memory per picture.
        if (m_bitmap.Width() != vw || m_bitmap.Height() != vh)
            m_bitmap = raster::Bitmap(vw, vh, raster::PixelFormat::Bits32);
        const core::Rect placed =
            core::Rect::FromSize(rect.Left - visible.Left, rect.Top - visible.Top, w, h);
        if (m_picture->Kind() == codecs::PictureKind::Gif) {
            // Drawn on black and on white: the pixels that differ are transparent.
            m_bitmap.Fill(0x000000);
            m_picture->Draw(m_bitmap, placed);
            raster::Bitmap onWhite(vw, vh, raster::PixelFormat::Bits32);
            onWhite.Fill(0xFFFFFF);
            m_picture->Draw(onWhite, placed);
            frame = QImage(vw, vh, QImage::Format_ARGB32_Premultiplied);
            for (int y = 0; y < vh; ++y) {
                const uint32_t* black = reinterpret_cast<const uint32_t*>(m_bitmap.Scanline(y));
                const uint32_t* white = reinterpret_cast<const uint32_t*>(onWhite.Scanline(y));
                auto* out = reinterpret_cast<uint32_t*>(frame.scanLine(y));
                for (int x = 0; x < vw; ++x)
                    out[x] = (black[x] & 0xFFFFFF) == (white[x] & 0xFFFFFF) ? 0xFF000000u | black[x]
                                                                            : 0u;
            }
        } else {
            m_picture->Draw(m_bitmap, placed);
            frame = transitions::CanvasImage(m_bitmap);
        }
    }
    m_frame = frame;
    m_frameOrigin = QPoint(visible.Left - rect.Left, visible.Top - rect.Top);
    setGeometry(rect.Left, rect.Top, w, h);
    update();
}

void PictureControl::Clear() {
    m_picture.reset();
    m_frame = QImage();
    update();
}

void PictureControl::paintEvent(QPaintEvent*) {
    if (m_frame.isNull()) return;
    QPainter painter(this);
    painter.drawImage(m_frameOrigin, m_frame);
}

void PictureControl::mouseMoveEvent(QMouseEvent*) {
    setCursor(Qt::ArrowCursor);
}

void PictureControl::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) &&
        OnClick)
        OnClick();
}

}  // namespace player

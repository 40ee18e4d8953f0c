#include "preview/PictureView.h"

#include <QPaintEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "transitions/qt/CanvasImage.h"

namespace preview {

PictureView::PictureView(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

PictureView::~PictureView() = default;

void PictureView::SetPicture(std::unique_ptr<codecs::Picture> picture) {
    m_picture = std::move(picture);
    Compose();
    update();
}

void PictureView::resizeEvent(QResizeEvent*) {
    Compose();
}

void PictureView::Compose() {
    m_frame =
        raster::Bitmap(std::max(width(), 1), std::max(height(), 1), raster::PixelFormat::Bits32);
    if (!m_picture || m_picture->Width() <= 0 || m_picture->Height() <= 0) return;
    double scale = std::min(double(m_frame.Width()) / m_picture->Width(),
                            double(m_frame.Height()) / m_picture->Height());
    int w = std::max(1, int(std::lround(m_picture->Width() * scale)));
    int h = std::max(1, int(std::lround(m_picture->Height() * scale)));
    int left = (m_frame.Width() - w) / 2;
    int top = (m_frame.Height() - h) / 2;
    m_picture->Draw(m_frame, core::Rect::FromSize(left, top, w, h));
}

void PictureView::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    QImage image = transitions::CanvasImage(m_frame);
    painter.drawImage(event->rect(), image, event->rect());
}

}  // namespace preview

#include "app/PreviewPanel.h"

#include <QMessageBox>
#include <QPainter>
#include <exception>
#include <memory>

#include "app/PictureImage.h"
#include "app/PreviewFit.h"
#include "codecs/JpegPicture.h"
#include "codecs/Picture.h"

namespace app {

namespace {

constexpr int kLargeJpegSide = 1000;

// Decodes the picture into a 32-bit QImage, reducing JPEG pictures over 1000 pixels on a
// side to a quarter. Throws core::Error (and FileError) as the codecs do.
QImage DecodeForPreview(const QString& path, bool reduceLargeJpeg) {
    std::unique_ptr<codecs::Picture> picture = codecs::LoadPicture(path.toStdString());
    if (picture->Kind() == codecs::PictureKind::Jpeg) {
        auto& jpeg = static_cast<codecs::JpegPicture&>(*picture);
        if (reduceLargeJpeg && (jpeg.Width() > kLargeJpegSide || jpeg.Height() > kLargeJpegSide))
            jpeg.SetScale(codecs::JpegScale::Quarter);
        jpeg.DecodeNow();
    }
    return ImageOfPicture(*picture);
}

}  // namespace

PreviewImage::PreviewImage(QWidget* parent) : QWidget(parent) {
    setObjectName("PreviewImage");
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

void PreviewImage::SetPicture(QImage picture) {
    m_picture = std::move(picture);
    update();
}

void PreviewImage::paintEvent(QPaintEvent*) {
    if (m_picture.isNull()) return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(rect(), m_picture);
}

PreviewPanel::PreviewPanel(QWidget* parent, ErrorReporter reportError)
    : QWidget(parent), m_reportError(std::move(reportError)) {
    setObjectName("PreviewPanel");
    setMinimumSize(20, 20);
    m_image = new PreviewImage(this);
    m_image->setGeometry(5, 5, 0, 0);
}

void PreviewPanel::ShowPicture(const QString& path) {
    if (Load(path, Reduce::LargeJpeg)) Fit();
}

void PreviewPanel::LoadPictureUnfitted(const QString& path) {
    Load(path, Reduce::Never);
}

void PreviewPanel::Clear() {
    m_image->SetPicture(QImage());
}

bool PreviewPanel::Load(const QString& path, Reduce reduce) {
    QString message;
    try {
        m_image->SetPicture(DecodeForPreview(path, reduce == Reduce::LargeJpeg));
        return true;
    } catch (const std::exception& error) {
        message = QString::fromStdString(error.what());
    }
    if (m_reportError)
        m_reportError(message);
    else
        QMessageBox::critical(window(), QString(), message);
    return false;
}

void PreviewPanel::Fit() {
    const QSize picture = PictureSize();
    const core::Rect bounds = FitPreview(picture.width(), picture.height(), width(), height());
    m_image->setGeometry(bounds.Left, bounds.Top, bounds.Width(), bounds.Height());
}

void PreviewPanel::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (m_image->HasPicture()) Fit();
}

}  // namespace app

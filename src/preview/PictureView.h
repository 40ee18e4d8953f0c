#pragma once

#include <QWidget>
#include <memory>

#include "codecs/Picture.h"
#include "raster/Bitmap.h"

namespace preview {

// Shows a picture fitted into the widget (aspect kept, centred) on black.
class PictureView final : public QWidget {
public:
    explicit PictureView(QWidget* parent = nullptr);
    ~PictureView() override;

    void SetPicture(std::unique_ptr<codecs::Picture> picture);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void Compose();

    std::unique_ptr<codecs::Picture> m_picture;
    raster::Bitmap m_frame;  // the picture drawn at the widget's size
};

}  // namespace preview

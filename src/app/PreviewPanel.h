#pragma once

#include <QImage>
#include <QString>
#include <QWidget>
#include <functional>

namespace app {

// The preview image: shows its picture stretched to its own bounds.
class PreviewImage : public QWidget {
    Q_OBJECT
public:
    explicit PreviewImage(QWidget* parent);
    void SetPicture(QImage picture);
    const QImage& Picture() const { return m_picture; }
    bool HasPicture() const { return !m_picture.isNull(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage m_picture;
};

// The preview panel holding the preview image. Large JPEG pictures (over
// 1000 pixels in either dimension) are decoded at a quarter of their size in each
// dimension; the image is fitted into the panel and refitted whenever the panel is resized.
class PreviewPanel : public QWidget {
    Q_OBJECT
public:
    // Receives the message of a picture that cannot be shown. Without one, a message box.
    using ErrorReporter = std::function<void(const QString& message)>;

    explicit PreviewPanel(QWidget* parent, ErrorReporter reportError = {});
    void SetErrorReporter(ErrorReporter reportError) { m_reportError = std::move(reportError); }

    // Loads the picture, reduces it when it is a large JPEG, and fits it. A picture that
    // cannot be read is reported and the image keeps what it showed before.
    void ShowPicture(const QString& path);
    // Loads the picture at full size into the image without fitting it: the image keeps
    // its bounds (the "Preview" button's load).
    void LoadPictureUnfitted(const QString& path);
    // Empties the image.
    void Clear();

    PreviewImage* Image() const { return m_image; }
    // The size of the picture shown (after the JPEG reduction); empty when none.
    QSize PictureSize() const { return m_image->Picture().size(); }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    enum class Reduce { LargeJpeg, Never };
    bool Load(const QString& path, Reduce reduce);
    void Fit();

    PreviewImage* m_image = nullptr;
    ErrorReporter m_reportError;
};

}  // namespace app

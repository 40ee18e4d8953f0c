#include "player/qt/QtMusicDevice.h"

#include <QAudioOutput>
#include <QFile>
#include <QFileInfo>
#include <QMediaPlayer>
#include <QUrl>
#include <algorithm>

#include "core/Error.h"

namespace player {

namespace {

std::string CannotOpen(const std::string& path, const QString& reason) {
    return core::Format("The music file \"%s\" cannot be opened", path) + " (" +
           reason.toStdString() + ").";
}

}  // namespace

QtMusicDevice::QtMusicDevice()
    : m_output(std::make_unique<QAudioOutput>()), m_player(std::make_unique<QMediaPlayer>()) {
    m_player->setAudioOutput(m_output.get());
}

QtMusicDevice::~QtMusicDevice() = default;

void QtMusicDevice::Open(const std::string& path) {
    m_player->stop();
    m_player->setSource(QUrl());

    const QString name = QFile::decodeName(QByteArray::fromStdString(path));
    const QFileInfo info(name);
    if (!info.exists()) throw core::FileError(CannotOpen(path, "No such file or directory"));
    if (!info.isFile()) throw core::FileError(CannotOpen(path, "Not a file"));
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly))
        throw core::FileError(CannotOpen(path, file.errorString()));
    file.close();

    m_player->setSource(QUrl::fromLocalFile(info.absoluteFilePath()));
    if (m_player->error() != QMediaPlayer::NoError) {
        const QString reason = m_player->errorString();
        m_player->setSource(QUrl());
        throw core::Error(CannotOpen(path, reason.isEmpty() ? "Unknown error" : reason));
    }
}

void QtMusicDevice::Play() {
    m_player->play();
}

void QtMusicDevice::Stop() {
    m_player->stop();
}

bool QtMusicDevice::Failed() const {
    return m_player->error() != QMediaPlayer::NoError ||
           m_player->mediaStatus() == QMediaPlayer::InvalidMedia;
}

int64_t QtMusicDevice::LengthMs() {
    if (Failed() || m_player->source().isEmpty()) return 0;
    const int64_t duration = m_player->duration();
    if (m_player->mediaStatus() == QMediaPlayer::EndOfMedia)
        return std::max<int64_t>(duration, m_player->position());
    // Not known until the file has loaded; some streams never tell, and then the end
    // of the file is what ends them.
    return duration > 0 ? duration : kLoadingLengthMs;
}

int64_t QtMusicDevice::PositionMs() {
    if (Failed() || m_player->source().isEmpty()) return 0;
    if (m_player->mediaStatus() == QMediaPlayer::EndOfMedia) return LengthMs();
    return m_player->position();
}

}  // namespace player

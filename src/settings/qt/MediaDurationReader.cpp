#include "settings/qt/MediaDurationReader.h"

#include <QAudioOutput>
#include <QFile>
#include <QFileInfo>
#include <QMediaPlayer>
#include <QTimer>
#include <QUrl>

namespace settings {

namespace {

constexpr int kGiveUpMs = 8000;

}  // namespace

MediaDurationReader::MediaDurationReader(QObject* parent) : QObject(parent) {
    m_giveUp = new QTimer(this);
    m_giveUp->setSingleShot(true);
    m_giveUp->setInterval(kGiveUpMs);
    connect(m_giveUp, &QTimer::timeout, this, [this] { Finish(std::nullopt); });
}

void MediaDurationReader::MakePlayer() {
    // Made on the first request, so a dialog nobody gives music costs no media set-up.
    // GStreamer stops loading a file whose sound has nowhere to go, so the player gets an
    // output, muted; nothing is played.
    m_output = std::make_unique<QAudioOutput>();
    m_output->setMuted(true);
    m_player = std::make_unique<QMediaPlayer>();
    m_player->setAudioOutput(m_output.get());
    connect(m_player.get(), &QMediaPlayer::mediaStatusChanged, this,
            [this](QMediaPlayer::MediaStatus status) {
                if (m_busy && status == QMediaPlayer::InvalidMedia) Finish(std::nullopt);
            });
    // The length is known as soon as the stream's header is read, before loading ends.
    connect(m_player.get(), &QMediaPlayer::durationChanged, this, [this](qint64 duration) {
        if (m_busy && duration > 0) Finish(duration);
    });
    connect(m_player.get(), &QMediaPlayer::errorOccurred, this, [this] {
        if (m_busy) Finish(std::nullopt);
    });
}

MediaDurationReader::~MediaDurationReader() {
    // No answers go out while the reader is being taken down.
    m_busy = false;
    if (m_player) m_player->setSource(QUrl());
}

void MediaDurationReader::Request(const std::string& path) {
    m_waiting.push_back(path);
    // Started from the event loop, so no answer arrives inside Request.
    if (!m_busy) QTimer::singleShot(0, this, [this] { StartNext(); });
}

void MediaDurationReader::StartNext() {
    while (!m_busy && !m_waiting.empty()) {
        m_current = m_waiting.front();
        m_waiting.pop_front();
        const QFileInfo info(QFile::decodeName(QByteArray::fromStdString(m_current)));
        if (!info.isFile()) {
            if (OnAnswer) OnAnswer(m_current, std::nullopt);
            continue;
        }
        if (!m_player) MakePlayer();
        m_busy = true;
        m_giveUp->start();
        m_player->setSource(QUrl::fromLocalFile(info.absoluteFilePath()));
    }
}

void MediaDurationReader::Finish(std::optional<int64_t> ms) {
    if (!m_busy) return;
    m_busy = false;
    m_giveUp->stop();
    const std::string path = m_current;
    // Leaving the source from inside its own signal is queued, like the next file.
    QTimer::singleShot(0, this, [this] {
        if (!m_busy && m_player) m_player->setSource(QUrl());
        StartNext();
    });
    if (OnAnswer) OnAnswer(path, ms);
}

}  // namespace settings

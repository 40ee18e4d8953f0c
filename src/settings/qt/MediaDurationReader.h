#pragma once

#include <QObject>
#include <deque>
#include <memory>
#include <string>

#include "settings/qt/DurationReader.h"

class QAudioOutput;
class QMediaPlayer;
class QTimer;

namespace settings {

// Reads lengths through Qt Multimedia, one file at a time, each from its own loading
// without playing it. A file that loads without telling its length within a few seconds
// counts as unreadable, so one bad file never holds up the others.
class MediaDurationReader final : public QObject, public DurationReader {
public:
    explicit MediaDurationReader(QObject* parent = nullptr);
    ~MediaDurationReader() override;

    void Request(const std::string& path) override;

private:
    void MakePlayer();
    void StartNext();
    void Finish(std::optional<int64_t> ms);

    std::unique_ptr<QAudioOutput> m_output;
    std::unique_ptr<QMediaPlayer> m_player;
    QTimer* m_giveUp = nullptr;
    std::deque<std::string> m_waiting;
    std::string m_current;
    bool m_busy = false;
};

}  // namespace settings

#include <gtest/gtest.h>

#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdint>
#include <map>
#include <string>

#include "settings/qt/MediaDurationReader.h"

namespace {

// A mono 16-bit PCM WAV file of silence.
void WriteSilence(const QString& path, int sampleRate, int samples) {
    auto le = [](QByteArray& out, uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) out.append(char((value >> (8 * i)) & 0xFF));
    };
    QByteArray data;
    const uint32_t dataBytes = uint32_t(samples) * 2;
    data.append("RIFF");
    le(data, 36 + dataBytes, 4);
    data.append("WAVEfmt ");
    le(data, 16, 4);
    le(data, 1, 2);  // PCM
    le(data, 1, 2);  // mono
    le(data, uint32_t(sampleRate), 4);
    le(data, uint32_t(sampleRate) * 2, 4);
    le(data, 2, 2);
    le(data, 16, 2);
    data.append("data");
    le(data, dataBytes, 4);
    data.append(QByteArray(int(dataBytes), '\0'));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(data);
}

TEST(MediaDurationReader, AnswersEachFileLaterWithItsLengthOrNothing) {
    QTemporaryDir temp;
    ASSERT_TRUE(temp.isValid());
    const std::string wav = (temp.path() + "/one-and-a-half.wav").toStdString();
    const std::string junk = (temp.path() + "/junk.mp3").toStdString();
    const std::string missing = (temp.path() + "/missing.mid").toStdString();
    WriteSilence(QString::fromStdString(wav), 8000, 12000);
    {
        QFile file(QString::fromStdString(junk));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(4000, 'j'));
    }

    settings::MediaDurationReader reader;
    std::map<std::string, std::optional<int64_t>> answers;
    QEventLoop loop;
    reader.OnAnswer = [&](const std::string& path, std::optional<int64_t> ms) {
        answers[path] = ms;
        if (answers.size() == 3) loop.quit();
    };
    for (const std::string& path : {wav, junk, missing}) reader.Request(path);
    EXPECT_TRUE(answers.empty());  // never from inside Request

    // A cap so a broken media set-up fails the test instead of hanging it.
    QTimer::singleShot(60'000, &loop, &QEventLoop::quit);
    loop.exec();
    ASSERT_EQ(answers.size(), 3u);
    ASSERT_TRUE(answers[wav].has_value());
    EXPECT_NEAR(double(*answers[wav]), 1500.0, 50.0);
    EXPECT_FALSE(answers[junk].has_value());
    EXPECT_FALSE(answers[missing].has_value());
}

}  // namespace

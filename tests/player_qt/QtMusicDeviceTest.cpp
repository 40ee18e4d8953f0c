#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <numbers>
#include <string>
#include <vector>

#include "core/Error.h"
#include "player/MusicSequence.h"
#include "player/qt/QtMusicDevice.h"

namespace {

using player::QtMusicDevice;

// A ceiling, not a measurement: waits end as soon as their condition holds, so only a
// failing test waits this long, however loaded the machine.
constexpr int kDeadlineMs = 30000;

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
}

void PutLE(std::string& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out += char((value >> (8 * i)) & 0xFF);
}

// A mono 16-bit PCM WAV file of a quiet 440 Hz tone lasting `ms` milliseconds.
void WriteWav(const std::string& path, int ms) {
    const uint32_t rate = 22050;
    const uint32_t frames = rate * uint32_t(ms) / 1000;
    std::string out = "RIFF";
    PutLE(out, 36 + frames * 2, 4);
    out += "WAVEfmt ";
    PutLE(out, 16, 4);
    PutLE(out, 1, 2);  // PCM
    PutLE(out, 1, 2);  // mono
    PutLE(out, rate, 4);
    PutLE(out, rate * 2, 4);
    PutLE(out, 2, 2);
    PutLE(out, 16, 2);
    out += "data";
    PutLE(out, frames * 2, 4);
    for (uint32_t i = 0; i < frames; ++i)
        PutLE(out, uint32_t(int16_t(2000 * std::sin(2 * std::numbers::pi * 440 * i / rate))), 2);
    WriteFile(path, out);
}

// A standard MIDI file, format 0: a C major arpeggio of three eighth notes at 240 beats per
// minute, about 375 ms.
const unsigned char kMidi[] = {
    'M',  'T',  'h',  'd',  0,    0,    0,    6,    0, 0, 0, 1, 0, 96,  // 96 ticks a beat
    'M',  'T',  'r',  'k',  0,    0,    0,    38,                       //
    0x00, 0xFF, 0x51, 0x03, 0x03, 0xD0, 0x90,                           // 250000 us a beat
    0x00, 0xC0, 0x00,                                                   // piano
    0x00, 0x90, 0x3C, 0x60, 0x30, 0x80, 0x3C, 0x40,                     // C
    0x00, 0x90, 0x40, 0x60, 0x30, 0x80, 0x40, 0x40,                     // E
    0x00, 0x90, 0x43, 0x60, 0x30, 0x80, 0x43, 0x40,                     // G
    0x00, 0xFF, 0x2F, 0x00,                                             // end of track
};

// Runs the event loop until `done` holds or the deadline passes; answers `done()`.
bool WaitFor(const std::function<bool()>& done, int timeoutMs = kDeadlineMs) {
    const QDeadlineTimer deadline(timeoutMs);
    while (!done()) {
        if (deadline.hasExpired()) return false;
        QEventLoop loop;
        QTimer::singleShot(10, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}

class QtMusicDeviceTest : public ::testing::Test {
protected:
    std::string Path(const std::string& name) const {
        return m_dir.filePath(QString::fromStdString(name)).toStdString();
    }

    QTemporaryDir m_dir;
};

bool Loaded(QtMusicDevice& device) {
    const int64_t length = device.LengthMs();
    return length > 0 && length != QtMusicDevice::kLoadingLengthMs;
}

TEST_F(QtMusicDeviceTest, WavReportsItsLengthAndReachesTheEnd) {
    WriteWav(Path("tone.wav"), 200);
    QtMusicDevice device;
    device.Open(Path("tone.wav"));
    // While loading the poll must see a file that is still playing.
    EXPECT_GE(device.LengthMs(), device.PositionMs() + 10);
    device.Play();
    ASSERT_TRUE(WaitFor([&] { return Loaded(device); }));
    EXPECT_NEAR(device.LengthMs(), 200, 5);
    ASSERT_TRUE(WaitFor([&] { return device.PositionMs() >= device.LengthMs(); }));
    EXPECT_NEAR(device.LengthMs(), 200, 5);  // still the file's length at its end
}

TEST_F(QtMusicDeviceTest, MidiOpensAndPlays) {
    WriteFile(Path("notes.mid"), std::string(std::begin(kMidi), std::end(kMidi)));
    QtMusicDevice device;
    device.Open(Path("notes.mid"));
    device.Play();
    ASSERT_TRUE(WaitFor([&] { return device.PositionMs() > 0; }));
    EXPECT_GT(device.LengthMs(), 0);
}

TEST_F(QtMusicDeviceTest, FileThatCannotBeReadThrowsAtOpen) {
    const std::string cases[] = {Path("missing.wav"), m_dir.path().toStdString()};
    QtMusicDevice device;
    for (const std::string& path : cases) {
        SCOPED_TRACE(path);
        try {
            device.Open(path);
            ADD_FAILURE() << "no error";
        } catch (const core::Error& e) {
            EXPECT_NE(std::string(e.what()).find("\"" + path + "\""), std::string::npos)
                << e.what();
        }
        EXPECT_EQ(device.LengthMs(), 0);
    }
}

// Logs the files the sequence opens on the way to the real device.
class LoggingDevice : public player::MusicDevice {
public:
    QtMusicDevice real;
    std::vector<std::string> opened;

    void Open(const std::string& path) override {
        opened.push_back(std::filesystem::path(path).filename().string());
        real.Open(path);
    }
    void Play() override { real.Play(); }
    void Stop() override { real.Stop(); }
    int64_t LengthMs() override { return real.LengthMs(); }
    int64_t PositionMs() override { return real.PositionMs(); }
};

// Runs the show's music in real time, polling every 100 ms as the player does, until
// `done` holds (checked after each poll) or the deadline passes.
void RunMusic(player::MusicSequence& music, const std::function<bool()>& done) {
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        music.Poll();
        if (done()) loop.quit();
    });
    poll.start(100);
    QTimer::singleShot(kDeadlineMs, &loop, &QEventLoop::quit);
    loop.exec();
    music.Close();
}

TEST_F(QtMusicDeviceTest, SequencePlaysTheListInRealTime) {
    for (const char* name : {"1.wav", "2.wav", "3.wav"}) WriteWav(Path(name), 150);
    std::string garbage;
    for (int i = 0; i < 40; ++i) garbage += "This is not a sound file.\n";
    WriteFile(Path("garbage.mp3"), garbage);
    const core::StringList three{Path("1.wav"), Path("2.wav"), Path("3.wav")};
    settings::ShowSettings settings;
    settings.WriteStartDefaults();

    LoggingDevice device;
    player::MusicSequence music(device);
    settings.SetSlot(settings::kMusicModeSlot, "RepeatMusic");
    music.Start(three, settings);
    RunMusic(music, [&] { return device.opened.size() >= 6; });
    EXPECT_EQ(device.opened,
              (std::vector<std::string>{"1.wav", "2.wav", "3.wav", "1.wav", "2.wav", "3.wav"}));

    // Without repeat the music ends after the last file; an undecodable file on the way
    // is skipped without a message.
    device.opened.clear();
    settings.SetSlot(settings::kMusicModeSlot, "NoRepeat");
    music.Start({three[0], Path("garbage.mp3"), three[1], three[2]}, settings);
    int pollsAfterTheEnd = 0;
    RunMusic(music, [&] {
        if (device.opened.size() >= 4 && device.LengthMs() < device.PositionMs() + 10)
            ++pollsAfterTheEnd;
        return pollsAfterTheEnd > 3;
    });
    EXPECT_EQ(device.opened, (std::vector<std::string>{"1.wav", "garbage.mp3", "2.wav", "3.wav"}));
    EXPECT_GT(pollsAfterTheEnd, 3);
}

}  // namespace

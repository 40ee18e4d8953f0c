#include <gtest/gtest.h>

#include <QApplication>
#include <QDeadlineTimer>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>
#include <QTemporaryDir>
#include <QWidget>
#include <csignal>
#include <filesystem>

#include "codecs/BmpPicture.h"
#include "codecs/JpegPicture.h"
#include "core/StringList.h"
#include "pack/ShowBuilder.h"
#include "project/ProjectFile.h"
#include "showplayer/PackedShowInput.h"
#include "showplayer/QuitOnSignals.h"
#include "showplayer/ScreenSaverInput.h"
#include "support/ScriptedDialogs.h"

namespace {

// Records the files the player opens; plays nothing.
class RecordingMusic : public player::MusicDevice {
public:
    explicit RecordingMusic(std::vector<std::string>& opened) : m_opened(opened) {}
    void Open(const std::string& path) override {
        m_opened.push_back(path);
        m_bytes = core::ReadFileBytes(path, 1 << 20);
    }
    void Play() override {}
    void Stop() override {}
    int64_t LengthMs() override { return 60000; }
    int64_t PositionMs() override { return 0; }
    std::string m_bytes;

private:
    std::vector<std::string>& m_opened;
};

raster::Bitmap Plain(int w, int h, raster::Rgb colour) {
    raster::Bitmap b(w, h, raster::PixelFormat::Bits24);
    b.Fill(colour);
    return b;
}

TEST(PackedShowInputTest, PlaysPicturesBackgroundAndMusicFromTheShowAlone) {
    QTemporaryDir dir;
    auto path = [&](const char* name) { return dir.filePath(name).toStdString(); };
    core::WriteFileAtomically(path("a.bmp"), codecs::WriteBmp(Plain(200, 100, 0xFF0000)));
    core::WriteFileAtomically(path("b.jpg"), codecs::EncodeJpeg(Plain(64, 64, 0x0000FF), 95));
    core::WriteFileAtomically(path("tile.gif.bmp"), codecs::WriteBmp(Plain(30, 30, 0x808000)));
    core::WriteFileAtomically(path("tune.mid"), "MThd tune");
    core::WriteFileAtomically(path("player"), "player");
    settings::ShowSettings showSettings;
    showSettings.WriteStartDefaults();
    showSettings.SetSlot(settings::kAdvanceSlot, "Manual");
    showSettings.SetSlot(settings::kEffectModeSlot, "No effect");
    showSettings.SetSlot(settings::kSizeSlot, "No");
    showSettings.SetSlot(settings::kShadowSlot, "No");
    showSettings.SetSlot(settings::kCaptionSlot, "clNavy");
    showSettings.SetSlot(settings::kBackKindSlot, "BackFile");
    showSettings.SetSlot(settings::kBackDataSlot, path("tile.gif.bmp"));
    showSettings.SetSlot(settings::kMusicModeSlot, "RepeatMusic");
    core::StringList block = project::BuildSettingsBlock(
        showSettings, {path("a.bmp"), path("b.jpg")}, {"11"}, {path("tune.mid")});
    pack::ShowBuilder(path("player"), block).Build(path("show.exe"));
    // The show needs none of the files it was made from.
    for (const char* name : {"a.bmp", "b.jpg", "tile.gif.bmp", "tune.mid"})
        std::filesystem::remove(path(name));

    pack::PackedShow show = pack::PackedShow::Open(path("show.exe"));
    std::string musicFolder;
    {
        pack::TemporaryFolder folder;
        musicFolder = folder.Path();
        player::ShowInput input = showplayer::MakeShowInput(show, folder);
        platform::ScriptedDialogs dialogs;
        std::vector<std::string> opened;
        RecordingMusic* music = nullptr;
        player::PlayerWindow player(dialogs, [&] {
            auto device = std::make_unique<RecordingMusic>(opened);
            music = device.get();
            return device;
        });
        ASSERT_TRUE(player.BeginShow(input));
        player.ShowFullScreen();
        player.BeginPlayback();
        ASSERT_EQ(opened.size(), 1u);
        EXPECT_EQ(opened[0], musicFolder + "/music-1.mid");
        EXPECT_EQ(music->m_bytes, "MThd tune");

        const QImage look = player.ShowArea()->grab().toImage();
        const QPoint centre(look.width() / 2, look.height() / 2);
        EXPECT_EQ(player.CaptionBar()->text(), QString::fromStdString("1. a.bmp"));
        EXPECT_EQ(look.pixel(centre) & 0xFFFFFF, 0xFF0000u);
        EXPECT_EQ(look.pixel(0, 0) & 0xFFFFFF, 0x808000u);  // the tiled background
        player.HandleKey(Qt::Key_Right);
        EXPECT_EQ(player.CaptionBar()->text(), QString::fromStdString("2. b.jpg"));
        const QRgb blue = player.ShowArea()->grab().toImage().pixel(centre);
        EXPECT_LT(qRed(blue), 16);
        EXPECT_GT(qBlue(blue), 235);
        EXPECT_TRUE(dialogs.Shown().isEmpty()) << dialogs.Shown().join("\n").toStdString();
        player.HandleKey(Qt::Key_Escape);
    }
    EXPECT_FALSE(std::filesystem::exists(musicFolder));
}

TEST(ScreenSaverInputTest, EndsOnceOnAKeyAClickOrAMoveOfMoreThanAFewPixels) {
    QWidget window;
    auto move = [&](int x, int y) {
        QMouseEvent event(QEvent::MouseMove, QPointF(x, y), QPointF(x, y), Qt::NoButton,
                          Qt::NoButton, Qt::NoModifier);
        return QApplication::sendEvent(&window, &event);
    };
    auto key = [&] {
        QKeyEvent event(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a");
        return QApplication::sendEvent(&window, &event);
    };
    auto click = [&] {
        QMouseEvent event(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        return QApplication::sendEvent(&window, &event);
    };
    struct Row {
        const char* what;
        std::function<void()> act;
        int ends;
    };
    const std::vector<Row> rows = {
        {"resting and jittering",
         [&] {
             move(100, 100);
             move(102, 101);
             move(99, 98);
         },
         0},
        {"a real move", [&] { move(100, 100), move(110, 100), move(200, 200); }, 1},
        {"a key", [&] { key(), key(); }, 1},
        {"a click", [&] { click(); }, 1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        int ends = 0;
        showplayer::ScreenSaverInput input([&] { ++ends; });
        qApp->installEventFilter(&input);
        row.act();
        qApp->removeEventFilter(&input);
        EXPECT_EQ(ends, row.ends);
    }
}

TEST(QuitOnSignalsTest, ASignalQuitsFromTheEventLoop) {
    int quits = 0;
    {
        showplayer::QuitOnSignals quitOnSignals([&] { ++quits; });
        ::raise(SIGTERM);
        EXPECT_EQ(quits, 0);  // not inside the handler
        QDeadlineTimer deadline(5000);
        while (quits == 0 && !deadline.hasExpired())
            QApplication::processEvents(QEventLoop::AllEvents, 20);
        EXPECT_EQ(quits, 1);
    }
}

}  // namespace

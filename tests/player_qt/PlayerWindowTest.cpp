#include <gtest/gtest.h>

#include <QApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <map>
#include <set>

#include "codecs/BmpPicture.h"
#include "codecs/JpegPicture.h"
#include "core/Error.h"
#include "core/Random.h"
#include "core/StringList.h"
#include "player/EffectChoice.h"
#include "player/PictureLayout.h"
#include "player/qt/BackgroundImage.h"
#include "player/qt/PictureControl.h"
#include "player/qt/PlayerHelpDialog.h"
#include "player/qt/PlayerWindow.h"
#include "support/ScriptedDialogs.h"
#include "transitions/TransitionEffect.h"

namespace {

using player::PlayerWindow;

// Records what the player asks of its music device; plays nothing.
class FakeMusic : public player::MusicDevice {
public:
    explicit FakeMusic(std::vector<std::string>& log) : m_log(log) {}
    void Open(const std::string& path) override {
        m_log.push_back("open " + path);
        if (path.find("missing") != std::string::npos)
            throw core::Error("The music file \"" + path + "\" cannot be opened.");
    }
    void Play() override { m_log.push_back("play"); }
    void Stop() override { m_log.push_back("stop"); }
    int64_t LengthMs() override { return 60000; }
    int64_t PositionMs() override { return 0; }

private:
    std::vector<std::string>& m_log;
};

void WriteFile(const std::string& path, const std::string& bytes) {
    core::WriteFileAtomically(path, bytes);
}

raster::Bitmap Plain(int w, int h, raster::Rgb colour) {
    raster::Bitmap b(w, h, raster::PixelFormat::Bits24);
    b.Fill(colour);
    return b;
}

// Processes events until `done` or the deadline.
template <typename Pred>
bool WaitFor(Pred done, int ms = 30000) {
    QDeadlineTimer deadline(ms);
    while (!done() && !deadline.hasExpired())
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

class PlayerWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        WriteFile(Path("a.bmp"), codecs::WriteBmp(Plain(200, 100, 0xFF0000)));
        WriteFile(Path("b.bmp"), codecs::WriteBmp(Plain(100, 200, 0x00FF00)));
        WriteFile(Path("c.jpg"), codecs::EncodeJpeg(Plain(640, 480, 0x0000FF), 90));
        WriteFile(Path("tile.bmp"), codecs::WriteBmp(Plain(300, 300, 0x808000)));
        m_input.Pictures = {Path("a.bmp"), Path("b.bmp"), Path("c.jpg")};
        m_input.Settings.WriteStartDefaults();
        m_input.Settings.SetSlot(settings::kAdvanceSlot, "Manual");
        // No animation unless a test asks for it: the steps stay quick.
        m_input.Settings.SetSlot(settings::kEffectModeSlot, "No effect");
        m_input.EffectSet = {"11", "12"};
        m_show = std::make_unique<PlayerWindow>(
            m_dialogs, [this] { return std::make_unique<FakeMusic>(m_music); });
    }
    void TearDown() override {
        if (m_show->Running()) m_show->HandleKey(Qt::Key_Escape);
    }

    std::string Path(const char* name) const { return m_dir.filePath(name).toStdString(); }

    // Starts the show as "Play Now!" does, without the modal loop.
    bool Start() {
        if (!m_show->BeginShow(m_input)) return false;
        m_show->ShowFullScreen();
        m_show->BeginPlayback();
        return true;
    }
    QString Caption() const { return m_show->CaptionBar()->text(); }
    QSize Screen() const { return m_show->screen()->geometry().size(); }
    QImage Look() { return m_show->ShowArea()->grab().toImage(); }

    QTemporaryDir m_dir;
    platform::ScriptedDialogs m_dialogs;
    std::vector<std::string> m_music;
    player::ShowInput m_input;
    std::unique_ptr<PlayerWindow> m_show;
};

TEST_F(PlayerWindowTest, StepsThroughTheListAndLoopsOrCloses) {
    for (bool loop : {false, true}) {
        SCOPED_TRACE(loop);
        m_input.Settings.SetSlot(settings::kLoopSlot, loop ? "Loop" : "No");
        ASSERT_TRUE(Start());
        EXPECT_EQ(Caption(), "1. a.bmp");
        m_show->HandleKey(Qt::Key_Right);
        EXPECT_EQ(Caption(), "2. b.bmp");
        m_show->HandleKey(Qt::Key_Return);
        EXPECT_EQ(Caption(), "3. c.jpg");
        m_show->Step();
        EXPECT_EQ(m_show->Running(), loop);
        EXPECT_EQ(m_show->isVisible(), loop);
        if (loop) {
            EXPECT_EQ(Caption(), "1. a.bmp");
            m_show->HandleKey(Qt::Key_Escape);
            EXPECT_FALSE(m_show->isVisible());
        }
    }
    EXPECT_TRUE(m_dialogs.Shown().isEmpty());
}

TEST_F(PlayerWindowTest, BackKeysShowThePreviousPictureAndStopAtTheFirst) {
    ASSERT_TRUE(Start());
    m_show->HandleKey(Qt::Key_Right);
    m_show->HandleKey(Qt::Key_Right);
    EXPECT_EQ(Caption(), "3. c.jpg");
    m_show->HandleKey(Qt::Key_Left);
    EXPECT_EQ(Caption(), "2. b.bmp");
    m_show->HandleKey(Qt::Key_Backspace);
    EXPECT_EQ(Caption(), "1. a.bmp");
    m_show->HandleKey(Qt::Key_Left);
    EXPECT_EQ(Caption(), "1. a.bmp");
    m_show->HandleKey(Qt::Key_Right);
    EXPECT_EQ(Caption(), "2. b.bmp");
}

TEST_F(PlayerWindowTest, PicturesAreSizedCentredAndShadowed) {
    m_input.Pictures = {Path("a.bmp"), Path("c.jpg"), Path("b.bmp")};
    struct Case {
        const char* size;
        const char* shadow;
    };
    for (Case c : {Case{"80", "Shadow"}, Case{"100", "No"}, Case{"No", "Shadow"}}) {
        SCOPED_TRACE(c.size);
        m_input.Settings.SetSlot(settings::kSizeSlot, c.size);
        m_input.Settings.SetSlot(settings::kShadowSlot, c.shadow);
        ASSERT_TRUE(Start());
        for (auto [w, h] : {std::pair{200, 100}, std::pair{640, 480}, std::pair{100, 200}}) {
            player::PictureLayout layout = player::LayOutPicture(
                w, h, Screen().width(), Screen().height(), player::PictureSizePercent(c.size));
            QWidget* image = m_show->Picture();
            EXPECT_EQ(image->geometry(), QRect(layout.Picture.Left, layout.Picture.Top,
                                               layout.Picture.Width(), layout.Picture.Height()));
            QWidget* shadow = m_show->Shadow();
            EXPECT_EQ(shadow->isVisible(), std::string(c.shadow) == "Shadow");
            if (shadow->isVisible()) {
                EXPECT_EQ(shadow->geometry(), image->geometry().translated(10, 10));
            }
            m_show->HandleKey(Qt::Key_Right);
        }
        m_show->HandleKey(Qt::Key_Escape);
    }
    // The picture fills its control (a "No" picture keeps its own pixels).
    m_input.Settings.SetSlot(settings::kSizeSlot, "100");
    ASSERT_TRUE(Start());
    QImage look = Look();
    QPoint centre = m_show->Picture()->geometry().center();
    EXPECT_EQ(look.pixel(centre) & 0xFFFFFF, 0xFF0000u);
    // Size 100 is three pixels wider than the screen, so the picture starts left of it.
    const QRect placed = m_show->Picture()->geometry();
    EXPECT_LT(placed.left(), 0);
    EXPECT_EQ(look.pixel(0, placed.top()) & 0xFFFFFF, 0xFF0000u);
}

TEST_F(PlayerWindowTest, EffectIsDrawnOnEveryStepFromTheSharedGenerator) {
    core::Random& shared = core::ProgramRandom();
    const uint32_t saved = shared.Seed();
    m_input.Settings.SetSlot(settings::kLoopSlot, "Loop");
    m_input.EffectSet = {"3", "11", "12", "19"};
    std::vector<int> chosen;
    m_show->OnStepStart = [&](int effect) { chosen.push_back(effect); };
    shared.SetSeed(12345);
    // Effects off: nothing reseeds the generator between the draws.
    ASSERT_TRUE(Start());
    for (int i = 0; i < 5; ++i) m_show->HandleKey(Qt::Key_Return);
    core::Random expected;
    expected.SetSeed(12345);
    std::vector<int> want;
    for (int i = 0; i < 6; ++i) want.push_back(*player::ChooseEffect(m_input.EffectSet, expected));
    EXPECT_EQ(chosen, want);
    shared.SetSeed(saved);
}

TEST_F(PlayerWindowTest, TransitionAnimatesToTheNewPicture) {
    m_input.Settings.SetSlot(settings::kEffectModeSlot, "Random");
    m_input.Settings.SetSlot(settings::kSizeSlot, "100");
    m_input.EffectSet = {"11"};
    m_show->Effects().Transitions(11)->Milliseconds = 150;
    int frames = 0;
    m_show->OnFrame = [&](const raster::Bitmap&, const core::Rect&) { ++frames; };
    ASSERT_TRUE(Start());
    EXPECT_GT(frames, 0);
    frames = 0;
    m_show->HandleKey(Qt::Key_Right);
    EXPECT_GT(frames, 0);
    EXPECT_FALSE(m_show->Effects().Transitions(11)->Prepared());
    QImage look = Look();
    EXPECT_EQ(look.pixel(m_show->Picture()->geometry().center()) & 0xFFFFFF, 0x00FF00u);
}

// Each picture stands still for the advance seconds after its transition has finished; the
// timer used to run during the transition and cut the still time by the transition's length.
TEST_F(PlayerWindowTest, EveryPictureStandsStillForTheAdvanceSecondsAfterItsTransition) {
    m_input.Settings.SetSlot(settings::kAdvanceSlot, "1");
    m_input.Settings.SetSlot(settings::kEffectModeSlot, "Random");
    m_input.EffectSet = {"11"};
    m_show->Effects().Transitions(11)->Milliseconds = 400;
    QElapsedTimer clock;
    clock.start();
    std::vector<qint64> starts, ends;
    m_show->OnStepStart = [&](int) { starts.push_back(clock.elapsed()); };
    m_show->OnStepEnd = [&] { ends.push_back(clock.elapsed()); };
    ASSERT_TRUE(Start());
    ASSERT_TRUE(WaitFor([&] { return starts.size() >= 3; }));
    for (size_t i = 1; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_GE(ends[i - 1] - starts[i - 1], 390);  // the transition itself
        // A late timer (a loaded machine) only lengthens the still time; it never shortens it.
        EXPECT_GE(starts[i] - ends[i - 1], 999);
    }
}

TEST_F(PlayerWindowTest, ManualShowWaitsAndCtrlPausesOrResumes) {
    ASSERT_TRUE(Start());
    EXPECT_FALSE(m_show->AdvanceTimer()->isActive());
    m_show->HandleKey(Qt::Key_Control);  // resume: a step now, then the timer
    EXPECT_EQ(Caption(), "2. b.bmp");
    EXPECT_TRUE(m_show->AdvanceTimer()->isActive());
    EXPECT_EQ(m_show->AdvanceTimer()->interval(), 500);
    EXPECT_FALSE(m_show->PausedMark()->isVisible());
    m_show->HandleKey(Qt::Key_Control);  // pause: the mark shows until the show resumes
    EXPECT_FALSE(m_show->AdvanceTimer()->isActive());
    EXPECT_EQ(Caption(), "2. b.bmp");
    EXPECT_TRUE(m_show->PausedMark()->isVisible());
    m_show->HandleKey(Qt::Key_Control);
    EXPECT_FALSE(m_show->PausedMark()->isVisible());
    m_show->HandleKey(Qt::Key_Control);
    m_show->HandleKey(Qt::Key_Escape);
    EXPECT_FALSE(m_show->PausedMark()->isVisible());

    m_input.Settings.SetSlot(settings::kAdvanceSlot, "1");
    ASSERT_TRUE(Start());
    EXPECT_TRUE(m_show->AdvanceTimer()->isActive());
    EXPECT_EQ(m_show->AdvanceTimer()->interval(), 1000);
    EXPECT_TRUE(WaitFor([&] { return Caption() == "2. b.bmp"; }));
}

TEST_F(PlayerWindowTest, HelpWindowRestartsTheShowFromTheFirstPicture) {
    EXPECT_EQ(m_show->HelpDialog()->windowTitle(), "Help");
    EXPECT_EQ(m_show->HelpDialog()->TextBox()->toPlainText().split('\n'),
              player::PlayerHelpDialog::Lines());
    for (const char* advance : {"2", "Manual"}) {
        SCOPED_TRACE(advance);
        m_input.Settings.SetSlot(settings::kAdvanceSlot, advance);
        ASSERT_TRUE(Start());
        m_show->HandleKey(Qt::Key_Right);
        EXPECT_EQ(Caption(), "2. b.bmp");
        bool pausedMeanwhile = false;
        QTimer::singleShot(0, m_show->HelpDialog(), [&] {
            pausedMeanwhile = !m_show->AdvanceTimer()->isActive();
            m_show->HelpDialog()->accept();
        });
        m_show->HandleKey(Qt::Key_F1);
        EXPECT_TRUE(pausedMeanwhile);
        EXPECT_EQ(Caption(), "1. a.bmp");
        EXPECT_EQ(m_show->AdvanceTimer()->isActive(), std::string(advance) != "Manual");
        m_show->HandleKey(Qt::Key_Escape);
        EXPECT_FALSE(m_show->AdvanceTimer()->isActive());
    }
}

TEST_F(PlayerWindowTest, CaptionBarAndCursor) {
    ASSERT_TRUE(Start());
    EXPECT_FALSE(m_show->CaptionBar()->isVisible());  // "No"
    EXPECT_EQ(m_show->Picture()->cursor().shape(), Qt::BlankCursor);
    m_show->HandleKey(Qt::Key_Escape);

    m_input.Settings.SetSlot(settings::kCaptionSlot, "$0000FFFF");  // yellow
    ASSERT_TRUE(Start());
    EXPECT_TRUE(m_show->CaptionBar()->isVisible());
    EXPECT_EQ(m_show->CaptionBar()->height(), 26);
    EXPECT_EQ(m_show->CaptionBar()->palette().color(QPalette::Window), QColor(255, 255, 0));
    QMouseEvent move(QEvent::MouseMove, QPointF(5, 5), QPointF(5, 5), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(m_show->Picture(), &move);
    EXPECT_EQ(m_show->Picture()->cursor().shape(), Qt::ArrowCursor);
    m_show->HandleKey(Qt::Key_Right);
    EXPECT_EQ(m_show->Picture()->cursor().shape(), Qt::BlankCursor);
}

TEST_F(PlayerWindowTest, BackgroundColourGradientOrPicture) {
    m_input.Settings.SetSlot(settings::kSizeSlot, "No");
    m_input.Settings.SetSlot(settings::kShadowSlot, "No");
    const QSize screen = Screen();
    // Plain colour: no picture, the show area's colour.
    m_input.Settings.SetSlot(settings::kBackDataSlot, "$00281800_$00281800");
    ASSERT_TRUE(Start());
    EXPECT_FALSE(m_show->Background()->HasPicture());
    EXPECT_EQ(Look().pixel(0, 0) & 0xFFFFFF, 0x001828u);
    m_show->HandleKey(Qt::Key_Escape);
    // Gradient: a screen-sized picture from the top colour to the bottom colour.
    m_input.Settings.SetSlot(settings::kBackDataSlot, "$00D5E7EA_clWhite");
    ASSERT_TRUE(Start());
    ASSERT_TRUE(m_show->Background()->HasPicture());
    EXPECT_EQ(m_show->Background()->Picture().Width(), screen.width());
    EXPECT_EQ(m_show->Background()->Picture().Height(), screen.height());
    QImage look = Look();
    EXPECT_EQ(look.pixel(0, 0) & 0xFFFFFF, 0xEAE7D5u);
    EXPECT_EQ(look.pixel(0, look.height() - 1) & 0xFFFFFF, 0xFFFFFFu);
    m_show->HandleKey(Qt::Key_Escape);
    // A picture file, tiled or centred; the colour of the earlier show stays behind it.
    m_input.Settings.SetSlot(settings::kBackKindSlot, "BackFile");
    m_input.Settings.SetSlot(settings::kBackDataSlot, Path("tile.bmp"));
    ASSERT_TRUE(Start());
    look = Look();
    EXPECT_EQ(look.pixel(0, 0) & 0xFFFFFF, 0x808000u);
    EXPECT_EQ(look.pixel(look.width() - 1, look.height() - 1) & 0xFFFFFF, 0x808000u);
    m_show->HandleKey(Qt::Key_Escape);
    m_input.Settings.SetSlot(settings::kPlacementSlot, "Center");
    ASSERT_TRUE(Start());
    look = Look();
    EXPECT_EQ(look.pixel(0, 0) & 0xFFFFFF, 0x001828u);
    const QPoint corner(look.width() / 2 - 150, look.height() / 2 - 150);
    EXPECT_EQ(look.pixel(corner) & 0xFFFFFF, 0x808000u);
    EXPECT_EQ(look.pixel(corner - QPoint(1, 0)) & 0xFFFFFF, 0x001828u);
    EXPECT_EQ(look.pixel(corner - QPoint(0, 1)) & 0xFFFFFF, 0x001828u);
}

TEST_F(PlayerWindowTest, SetUpFailuresAreReportedAndNoShowStarts) {
    m_input.Settings.SetSlot(settings::kMusicModeSlot, "NoRepeat");
    m_input.Music = {"/music/missing.wav", "/music/two.wav"};
    EXPECT_FALSE(m_show->BeginShow(m_input));
    ASSERT_EQ(m_dialogs.Shown().size(), 1);
    EXPECT_TRUE(m_dialogs.Shown()[0].contains("missing.wav"));
    EXPECT_FALSE(m_show->MusicPollTimer()->isActive());

    // A background that cannot be read also stops the music it started.
    m_input.Music = {"/music/one.wav"};
    m_input.Settings.SetSlot(settings::kBackKindSlot, "BackFile");
    m_input.Settings.SetSlot(settings::kBackDataSlot, Path("nothing.bmp"));
    m_music.clear();
    EXPECT_FALSE(m_show->BeginShow(m_input));
    EXPECT_EQ(m_dialogs.Shown().size(), 2);
    EXPECT_EQ(m_music, (std::vector<std::string>{"open /music/one.wav", "play", "stop"}));
    EXPECT_FALSE(m_show->MusicPollTimer()->isActive());

    m_input.Pictures.clear();
    EXPECT_FALSE(m_show->BeginShow(m_input));
    EXPECT_FALSE(m_show->Shadow()->isVisible());
}

TEST_F(PlayerWindowTest, MusicPlaysWhileTheShowRunsAndStopsOnClose) {
    m_input.Settings.SetSlot(settings::kMusicModeSlot, "RepeatMusic");
    m_input.Music = {"/music/one.wav", "/music/two.wav"};
    ASSERT_TRUE(Start());
    EXPECT_TRUE(m_show->MusicPollTimer()->isActive());
    EXPECT_EQ(m_show->MusicPollTimer()->interval(), 100);
    EXPECT_EQ(m_show->Music()->Position(), 1);
    m_show->HandleKey(Qt::Key_Escape);
    EXPECT_FALSE(m_show->MusicPollTimer()->isActive());
    EXPECT_EQ(m_music, (std::vector<std::string>{"open /music/one.wav", "play", "stop"}));
}

TEST_F(PlayerWindowTest, PictureThatFailsIsReported) {
    m_input.Pictures = {Path("a.bmp"), Path("gone.bmp"), Path("b.bmp")};
    // By hand: reported each time, and the position stays on it.
    ASSERT_TRUE(Start());
    m_show->HandleKey(Qt::Key_Right);
    m_show->HandleKey(Qt::Key_Right);
    EXPECT_EQ(m_dialogs.Shown().size(), 2);
    EXPECT_EQ(Caption(), "2. gone.bmp");
    m_show->HandleKey(Qt::Key_Escape);
    // Automatic: no message box stops the show; a notice inside it names the file, and the
    // show goes on by itself to the next picture.
    m_input.Settings.SetSlot(settings::kAdvanceSlot, "1");
    m_input.Settings.SetSlot(settings::kLoopSlot, "Loop");
    ASSERT_TRUE(Start());
    EXPECT_EQ(Caption(), "1. a.bmp");
    ASSERT_TRUE(WaitFor([&] { return Caption() == "3. b.bmp"; }));
    EXPECT_EQ(m_dialogs.Shown().size(), 2);
    EXPECT_TRUE(m_show->Notice()->isVisible());
    EXPECT_TRUE(m_show->Notice()->text().startsWith("Skipped gone.bmp"))
        << m_show->Notice()->text().toStdString();
    EXPECT_TRUE(m_show->AdvanceTimer()->isActive());
}

}  // namespace

namespace {

TEST_F(PlayerWindowTest, PictureLargerThanTheScreenKeepsItsSizeAndShowsItsMiddle) {
    const QSize screen = Screen();
    // Left half red, right half blue, twice the screen's size.
    raster::Bitmap big(2 * screen.width(), 2 * screen.height(), raster::PixelFormat::Bits24);
    big.Fill(0xFF0000);
    for (int y = 0; y < big.Height(); ++y)
        for (int x = screen.width(); x < big.Width(); ++x) big.SetPixel(x, y, 0x0000FF);
    WriteFile(Path("big.bmp"), codecs::WriteBmp(big));
    m_input.Pictures = {Path("big.bmp")};
    m_input.Settings.SetSlot(settings::kSizeSlot, "No");
    ASSERT_TRUE(Start());
    EXPECT_EQ(m_show->Picture()->geometry(),
              QRect(-screen.width() / 2, -screen.height() / 2, big.Width(), big.Height()));
    QImage look = Look();
    EXPECT_EQ(look.pixel(screen.width() / 2 - 1, 0) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(look.pixel(screen.width() / 2, screen.height() - 1) & 0xFFFFFF, 0x0000FFu);
    EXPECT_EQ(look.pixel(0, 0) & 0xFFFFFF, 0xFF0000u);
}

}  // namespace

namespace {

TEST_F(PlayerWindowTest, TransparentGifPixelsShowTheBackground) {
    // The fixture's two diagonals use its transparent index.
    m_input.Pictures = {PICTAVO_TEST_DATA "/gif/pil_transparent.gif"};
    m_input.Settings.SetSlot(settings::kSizeSlot, "No");
    m_input.Settings.SetSlot(settings::kShadowSlot, "No");
    m_input.Settings.SetSlot(settings::kBackDataSlot, "$0000FF00_$0000FF00");
    ASSERT_TRUE(Start());
    const QImage look = Look();
    const QPoint origin = m_show->Picture()->geometry().topLeft();
    EXPECT_EQ(look.pixel(origin) & 0xFFFFFF, 0x00FF00u);
    EXPECT_EQ(look.pixel(origin + QPoint(11, 0)) & 0xFFFFFF, 0x00FF00u);
    EXPECT_NE(look.pixel(origin + QPoint(1, 0)) & 0xFFFFFF, 0x00FF00u);
}

}  // namespace

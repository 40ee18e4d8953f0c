#include "player/qt/PlayerWindow.h"

#include <QApplication>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>
#include <exception>

#include "core/Error.h"
#include "platform/Dialogs.h"
#include "player/CaptionColour.h"
#include "player/EffectChoice.h"
#include "player/PictureLayout.h"
#include "player/qt/BackgroundImage.h"
#include "player/qt/PictureControl.h"
#include "player/qt/PlayerHelpDialog.h"
#include "player/qt/QtMusicDevice.h"
#include "settings/ColorText.h"
#include "transitions/EffectTable.h"
#include "transitions/qt/QtControl.h"

namespace player {
namespace {

// The show area: the background control always fills it.
class ShowAreaWidget final : public QWidget {
public:
    explicit ShowAreaWidget(QWidget* parent) : QWidget(parent) {}
    BackgroundImage* Filler = nullptr;

protected:
    void resizeEvent(QResizeEvent*) override {
        if (Filler) Filler->setGeometry(rect());
    }
};

void SetColour(QWidget& widget, QPalette::ColorRole role, raster::Rgb rgb) {
    QPalette palette = widget.palette();
    palette.setColor(role, QColor(raster::RedOf(rgb), raster::GreenOf(rgb), raster::BlueOf(rgb)));
    widget.setPalette(palette);
}

constexpr raster::Rgb kShadowColour = 0x303030;
constexpr int kCaptionHeight = 26;
constexpr int kMusicPollMs = 100;
constexpr int kNoticeMs = 4000;  // long enough to read a file name and a reason

}  // namespace

PlayerWindow::PlayerWindow(platform::Dialogs& dialogs, MusicDeviceFactory musicDevice,
                           QWidget* parent)
    : QDialog(parent), m_dialogs(dialogs), m_makeMusicDevice(std::move(musicDevice)) {
    if (!m_makeMusicDevice) m_makeMusicDevice = [] { return std::make_unique<QtMusicDevice>(); };
    setWindowTitle("Pictavo Pro");
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    auto* showArea = new ShowAreaWidget(this);
    m_showArea = showArea;
    m_showArea->setAutoFillBackground(true);
    SetColour(*m_showArea, QPalette::Window, 0x000000);
    layout->addWidget(m_showArea, 1);

    m_background = new BackgroundImage(m_showArea);
    showArea->Filler = m_background;
    m_shadow = new QWidget(m_showArea);
    m_shadow->setAutoFillBackground(true);
    SetColour(*m_shadow, QPalette::Window, kShadowColour);
    m_shadow->hide();
    m_picture = new PictureControl(m_showArea);
    m_picture->OnClick = [this] { Step(); };

    m_notice = new QLabel(m_showArea);
    m_notice->setStyleSheet(
        QStringLiteral("QLabel { color: white; background: rgba(0, 0, 0, 170); padding: 6px 12px; "
                       "border-radius: 4px; font-size: 14px; }"));
    m_notice->hide();
    m_noticeTimer = new QTimer(this);
    m_noticeTimer->setSingleShot(true);
    m_noticeTimer->setInterval(kNoticeMs);
    connect(m_noticeTimer, &QTimer::timeout, m_notice, &QWidget::hide);

    // A small mark while Ctrl holds the show, so a paused show does not look stalled.
    m_pausedMark = new QLabel(QStringLiteral("Paused"), m_showArea);
    m_pausedMark->setStyleSheet(
        QStringLiteral("QLabel { color: white; background: rgba(0, 0, 0, 150); padding: 4px 10px; "
                       "border-radius: 4px; font-size: 14px; }"));
    m_pausedMark->adjustSize();
    m_pausedMark->hide();

    m_captionBar = new QLabel(this);
    m_captionBar->setFixedHeight(kCaptionHeight);
    m_captionBar->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_captionBar->setAlignment(Qt::AlignCenter);
    m_captionBar->setAutoFillBackground(true);
    QFont font("MS Sans Serif");
    font.setPixelSize(16);
    m_captionBar->setFont(font);
    m_captionBar->setForegroundRole(QPalette::WindowText);
    layout->addWidget(m_captionBar);

    m_advanceTimer = new QTimer(this);
    m_advanceTimer->setInterval(ShowSequence::kInitialIntervalMs);
    // A coarse timer may fire up to 5 % early, cutting a picture's time short.
    m_advanceTimer->setTimerType(Qt::PreciseTimer);
    connect(m_advanceTimer, &QTimer::timeout, this, [this] { Step(); });
    m_musicPollTimer = new QTimer(this);
    m_musicPollTimer->setInterval(kMusicPollMs);
    connect(m_musicPollTimer, &QTimer::timeout, this, [this] {
        if (m_music) m_music->Poll();
        if (!m_music || !m_music->Polling()) m_musicPollTimer->stop();
    });

    m_helpDialog = new PlayerHelpDialog(this);

    transitions::RegisterAllEffectClasses();
    transitions::LoadEffectList(m_effects, transitions::ShowEffectTable());
    m_showAreaControl = std::make_unique<transitions::QtControl>(*m_showArea);
    m_showAreaControl->OnFrame = [this](const raster::Bitmap& canvas, const core::Rect& area) {
        if (OnFrame) OnFrame(canvas, area);
    };
}

PlayerWindow::~PlayerWindow() {
    if (m_running) StopPlayback();
}

void PlayerWindow::StartShow(const ShowInput& input) {
    if (!BeginShow(input)) return;
    setCursor(Qt::BlankCursor);
    // The first activation runs once the modal loop shows the window.
    QTimer::singleShot(0, this, [this] {
        if (isVisible()) BeginPlayback();
    });
    CoverScreen();
    exec();
    setWindowState(Qt::WindowFullScreen);
}

bool PlayerWindow::BeginShow(const ShowInput& input) {
    m_shadow->hide();
    if (input.Pictures.empty()) return false;
    m_show = input;
    // No device is made until a show has music.
    if (!m_music && input.Settings.MusicOn() && !input.Music.empty()) {
        m_musicDevice = m_makeMusicDevice();
        m_music = std::make_unique<MusicSequence>(*m_musicDevice);
    }
    if (m_music) {
        try {
            m_music->Start(input.Music, input.Settings);
        } catch (const std::exception& e) {
            Report(QString::fromStdString(e.what()));
            return false;
        }
        if (m_music->Polling()) m_musicPollTimer->start();
    }
    try {
        SetUpBackground(input.Settings);
    } catch (const std::exception& e) {
        // No show follows, so the music it started stops too.
        if (m_music) m_music->Close();
        m_musicPollTimer->stop();
        Report(QString::fromStdString(e.what()));
        return false;
    }
    m_sequence.Start(input.Pictures, input.Settings);
    m_running = true;
    SyncTimer();
    return true;
}

void PlayerWindow::SetUpBackground(const settings::ShowSettings& settings) {
    const std::string& kind = settings.Slot(settings::kBackKindSlot);
    const std::string& backData = settings.Slot(settings::kBackDataSlot);
    if (kind == settings::kColor) {
        BackgroundColours colours = ParseBackgroundColours(backData);
        if (colours.Plain) {
            m_background->ClearPicture();
            SetColour(*m_showArea, QPalette::Window, colours.Top);
        } else {
            // Painted once per show at the screen's size; the placement then applies to it.
            const QSize size = screen()->geometry().size();
            raster::Bitmap gradient(size.width(), size.height(), raster::PixelFormat::Bits32);
            PaintGradient(gradient, colours.Top, colours.Bottom);
            m_background->SetPicture(gradient);
        }
    } else if (kind == settings::kBackFile) {
        if (m_show.OpenBackground)
            m_background->SetPicture(m_show.OpenBackground());
        else
            m_background->LoadPicture(backData);
    }
}

void PlayerWindow::CoverScreen() {
    // Without a window manager the full-screen state alone does not move or size the window.
    setGeometry(screen()->geometry());
    setWindowState(Qt::WindowFullScreen);
}

void PlayerWindow::ShowFullScreen() {
    CoverScreen();
    show();
}

void PlayerWindow::BeginPlayback() {
    if (!m_running) return;
    if (m_music) m_music->Activate();
    m_picture->Clear();
    ShowPausedMark(false);
    move(0, 0);
    m_sequence.Activate();
    const std::string& caption = m_show.Settings.Slot(settings::kCaptionSlot);
    if (caption == settings::kNo) {
        m_captionBar->hide();
    } else {
        if (std::optional<raster::ColorValue> colour = settings::StringToColor(caption)) {
            const raster::Rgb bar = raster::ColorToRgb(*colour);
            SetColour(*m_captionBar, QPalette::Window, bar);
            SetColour(*m_captionBar, QPalette::WindowText, CaptionTextColour(bar));
        }
        m_captionBar->show();
    }
    m_taskBar.Hide();
    m_placement.Apply(m_show.Settings.Slot(settings::kPlacementSlot));
    m_background->SetPlacement(m_placement);
    QCoreApplication::processEvents();
    if (m_running) Step();
}

void PlayerWindow::Step() {
    if (!m_running) return;
    // The advance period starts once the new picture has finished arriving, so every picture
    // stands still for the seconds the user chose, however long its transition took.
    m_advanceTimer->stop();
    m_picture->setCursor(Qt::BlankCursor);
    m_background->setCursor(Qt::BlankCursor);

    const std::optional<int> chosen = ChooseEffect(m_show.EffectSet);
    ShowSequence::Step step = m_sequence.NextStep();
    if (step.Close) {
        done(QDialog::Accepted);
        return;
    }
    if (OnStepStart) OnStepStart(chosen.value_or(-1));
    m_captionBar->setText(QString::fromStdString(step.Caption));
    QCoreApplication::processEvents();
    // A key handled just now may have closed the player.
    if (!m_running) return;

    transitions::TransitionEffect* effect = chosen ? m_effects.Transitions(*chosen) : nullptr;
    const settings::ShowSettings& settings = m_show.Settings;
    try {
        if (effect)
            effect->Prepare(*m_showAreaControl, {0, 0, m_showArea->width(), m_showArea->height()});
        if (m_show.OpenPicture)
            m_picture->SetPicture(m_show.OpenPicture(size_t(step.Index)));
        else
            m_picture->Load(m_show.Pictures[size_t(step.Index)]);
        const QSize screenSize = screen()->geometry().size();
        const PictureLayout layout = LayOutPicture(
            m_picture->PictureWidth(), m_picture->PictureHeight(), screenSize.width(),
            screenSize.height(), PictureSizePercent(settings.Slot(settings::kSizeSlot)));
        m_picture->Place(layout.Picture);
        if (settings.ShadowOn()) {
            m_shadow->setGeometry(layout.Shadow.Left, layout.Shadow.Top, layout.Shadow.Width(),
                                  layout.Shadow.Height());
            m_shadow->show();
        } else {
            m_shadow->hide();
        }
        m_sequence.PictureShown();
        if (effect && settings.EffectsOn() && effect->Prepared()) effect->Execute();
        if (effect) effect->Unprepare();
    } catch (const std::exception& e) {
        if (effect) effect->Unprepare();
        const bool automatic = m_sequence.TimerOn();
        const bool report = m_sequence.PictureFailed();
        const QString name =
            QFileInfo(QString::fromStdString(m_show.Pictures[size_t(step.Index)])).fileName();
        const QString reason = QString::fromStdString(e.what());
        // An unattended show must not stall behind a message box: it says what it skipped
        // inside the show and goes on. Only a step by hand may stop on a message.
        if (automatic)
            ShowNotice(QStringLiteral("Skipped ") + name + QStringLiteral(": ") + reason);
        else if (report)
            Report(reason.contains(name) ? reason : name + QStringLiteral(": ") + reason);
    }
    SyncTimer();
    if (OnStepEnd) OnStepEnd();
}

void PlayerWindow::Report(const QString& text) {
    // The advance timer waits while the message is up, so it does not step behind it.
    const bool timerWasOn = m_advanceTimer->isActive();
    m_advanceTimer->stop();
    m_dialogs.Inform(this, text);
    if (timerWasOn && m_running) SyncTimer();
}

void PlayerWindow::keyPressEvent(QKeyEvent* event) {
    HandleKey(event->key());
}

void PlayerWindow::HandleKey(int key) {
    if (key == Qt::Key_Return || key == Qt::Key_Enter) Step();
    if (key == Qt::Key_Escape) done(QDialog::Rejected);  // closing stops the timer
    if (key == Qt::Key_F1) ShowHelp();
    if (key == Qt::Key_Right) Step();
    if (key == Qt::Key_Left || key == Qt::Key_Backspace) {
        m_sequence.StepBack();
        Step();
    }
    if (key == Qt::Key_Control) {
        const bool resumed = m_sequence.TogglePause();
        ShowPausedMark(!resumed);
        if (resumed) Step();
        SyncTimer();
    }
}

void PlayerWindow::ShowNotice(const QString& text) {
    m_notice->setText(text);
    m_notice->adjustSize();
    m_notice->move(16, m_showArea->height() - m_notice->height() - 16);
    m_notice->raise();
    m_notice->show();
    m_noticeTimer->start();
}

void PlayerWindow::ShowPausedMark(bool paused) {
    if (paused) {
        m_pausedMark->move(m_showArea->width() - m_pausedMark->width() - 16, 16);
        m_pausedMark->raise();
    }
    m_pausedMark->setVisible(paused);
}

void PlayerWindow::ShowHelp() {
    if (!m_running) return;
    m_sequence.StopTimer();
    SyncTimer();
    m_helpDialog->exec();
    if (!m_running) return;
    m_sequence.HelpClosed();
    SyncTimer();
    BeginPlayback();
}

void PlayerWindow::SyncTimer() {
    if (m_advanceTimer->interval() != m_sequence.IntervalMs())
        m_advanceTimer->setInterval(m_sequence.IntervalMs());
    if (m_sequence.TimerOn() && m_running) {
        if (!m_advanceTimer->isActive()) m_advanceTimer->start();
    } else {
        m_advanceTimer->stop();
    }
}

void PlayerWindow::done(int result) {
    if (m_running) StopPlayback();
    QDialog::done(result);
}

void PlayerWindow::StopPlayback() {
    m_running = false;
    ShowPausedMark(false);
    m_noticeTimer->stop();
    m_notice->hide();
    m_sequence.StopTimer();
    m_advanceTimer->stop();
    m_taskBar.Show();
    if (m_music) m_music->Close();
    m_musicPollTimer->stop();
}

}  // namespace player

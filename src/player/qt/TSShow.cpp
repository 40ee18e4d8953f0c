#include "player/qt/TSShow.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>
#include <exception>

#include "core/Error.h"
#include "platform/Dialogs.h"
#include "player/EffectChoice.h"
#include "player/PictureLayout.h"
#include "player/qt/PictureControl.h"
#include "player/qt/QtMusicDevice.h"
#include "player/qt/TOnHelper.h"
#include "player/qt/TProImage.h"
#include "settings/ColorText.h"
#include "transitions/EffectTable.h"
#include "transitions/qt/QtControl.h"

namespace player {
namespace {

// The show area: the background control always fills it.
class ShowArea final : public QWidget {
public:
    explicit ShowArea(QWidget* parent) : QWidget(parent) {}
    TProImage* Background = nullptr;

protected:
    void resizeEvent(QResizeEvent*) override {
        if (Background) Background->setGeometry(rect());
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

}  // namespace

TSShow::TSShow(platform::Dialogs& dialogs, MusicDeviceFactory musicDevice, QWidget* parent)
    : QDialog(parent), m_dialogs(dialogs), m_makeMusicDevice(std::move(musicDevice)) {
    if (!m_makeMusicDevice) m_makeMusicDevice = [] { return std::make_unique<QtMusicDevice>(); };
    setWindowTitle("Pictavo Pro");
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    auto* pano = new ShowArea(this);
    m_pano = pano;
    m_pano->setAutoFillBackground(true);
    SetColour(*m_pano, QPalette::Window, 0x000000);
    layout->addWidget(m_pano, 1);

    m_proImage1 = new TProImage(m_pano);
    pano->Background = m_proImage1;
    m_shape1 = new QWidget(m_pano);
    m_shape1->setAutoFillBackground(true);
    SetColour(*m_shape1, QPalette::Window, kShadowColour);
    m_shape1->hide();
    m_image1 = new PictureControl(m_pano);
    m_image1->OnClick = [this] { Image1Click(); };

    m_panel1 = new QLabel(this);
    m_panel1->setFixedHeight(kCaptionHeight);
    m_panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_panel1->setAlignment(Qt::AlignCenter);
    m_panel1->setAutoFillBackground(true);
    QFont font("MS Sans Serif");
    font.setPixelSize(16);
    m_panel1->setFont(font);
    m_panel1->setForegroundRole(QPalette::WindowText);
    layout->addWidget(m_panel1);

    m_timer1 = new QTimer(this);
    m_timer1->setInterval(ShowSequence::kInitialIntervalMs);
    connect(m_timer1, &QTimer::timeout, this, [this] { Step(); });
    m_lenTimer = new QTimer(this);
    m_lenTimer->setInterval(kMusicPollMs);
    connect(m_lenTimer, &QTimer::timeout, this, [this] {
        if (m_music) m_music->Poll();
        if (!m_music || !m_music->Polling()) m_lenTimer->stop();
    });

    m_help = new TOnHelper(this);

    transitions::RegisterAllEffectClasses();
    transitions::LoadEffectList(m_trans, transitions::ShowEffectTable());
    m_panoControl = std::make_unique<transitions::QtControl>(*m_pano);
    m_panoControl->OnFrame = [this](const raster::Bitmap& canvas, const core::Rect& area) {
        if (OnFrame) OnFrame(canvas, area);
    };
}

TSShow::~TSShow() {
    if (m_running) FormClose();
}

void TSShow::StartShow(const ShowInput& input) {
    if (!BeginShow(input)) return;
    setCursor(Qt::BlankCursor);
    // The first activation runs once the modal loop shows the window.
    QTimer::singleShot(0, this, [this] {
        if (isVisible()) FormActivate();
    });
    CoverScreen();
    exec();
    setWindowState(Qt::WindowFullScreen);
}

bool TSShow::BeginShow(const ShowInput& input) {
    m_shape1->hide();
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
        if (m_music->Polling()) m_lenTimer->start();
    }
    try {
        SetUpBackground(input.Settings);
    } catch (const std::exception& e) {
        // No show follows, so the music it started stops too.
        if (m_music) m_music->Close();
        m_lenTimer->stop();
        Report(QString::fromStdString(e.what()));
        return false;
    }
    m_sequence.Start(input.Pictures, input.Settings);
    m_running = true;
    SyncTimer();
    return true;
}

void TSShow::SetUpBackground(const settings::ShowSettings& settings) {
    const std::string& kind = settings.Slot(settings::kBackKindSlot);
    const std::string& backData = settings.Slot(settings::kBackDataSlot);
    if (kind == settings::kColor) {
        BackgroundColours colours = ParseBackgroundColours(backData);
        if (colours.Plain) {
            m_proImage1->ClearPicture();
            SetColour(*m_pano, QPalette::Window, colours.Top);
        } else {
            // Painted once per show at the screen's size; the placement then applies to it.
            const QSize size = screen()->geometry().size();
            raster::Bitmap gradient(size.width(), size.height(), raster::PixelFormat::Bits32);
            PaintGradient(gradient, colours.Top, colours.Bottom);
            m_proImage1->SetPicture(gradient);
        }
    } else if (kind == settings::kBackFile) {
        m_proImage1->LoadPicture(backData);
    }
}

void TSShow::CoverScreen() {
    // Without a window manager the full-screen state alone does not move or size the window.
    setGeometry(screen()->geometry());
    setWindowState(Qt::WindowFullScreen);
}

void TSShow::ShowFullScreen() {
    CoverScreen();
    show();
}

void TSShow::FormActivate() {
    if (!m_running) return;
    if (m_music) m_music->Activate();
    m_image1->Clear();
    move(0, 0);
    m_sequence.Activate();
    const std::string& caption = m_show.Settings.Slot(settings::kCaptionSlot);
    if (caption == settings::kNo) {
        m_panel1->hide();
    } else {
        if (std::optional<settings::ColorValue> colour = settings::StringToColor(caption))
            SetColour(*m_panel1, QPalette::Window, settings::ColorToRgb(*colour));
        m_panel1->show();
    }
    m_taskBar.Hide();
    m_placement.Apply(m_show.Settings.Slot(settings::kPlacementSlot));
    m_proImage1->SetPlacement(m_placement);
    QCoreApplication::processEvents();
    if (m_running) Step();
}

void TSShow::Step() {
    if (!m_running) return;
    m_image1->setCursor(Qt::BlankCursor);
    m_proImage1->setCursor(Qt::BlankCursor);

    const std::optional<int> chosen = ChooseEffect(m_show.EffectSet);
    ShowSequence::Step step = m_sequence.NextStep();
    if (step.Close) {
        done(QDialog::Accepted);
        return;
    }
    if (OnStepStart) OnStepStart(chosen.value_or(-1));
    m_panel1->setText(QString::fromStdString(step.Caption));
    QCoreApplication::processEvents();
    // A key handled just now may have closed the player.
    if (!m_running) return;

    transitions::TTransitionEffect* effect = chosen ? m_trans.Transitions(*chosen) : nullptr;
    const settings::ShowSettings& settings = m_show.Settings;
    try {
        if (effect) effect->Prepare(*m_panoControl, {0, 0, m_pano->width(), m_pano->height()});
        m_image1->Load(m_show.Pictures[size_t(step.Index)]);
        const QSize screenSize = screen()->geometry().size();
        const PictureLayout layout = LayOutPicture(
            m_image1->PictureWidth(), m_image1->PictureHeight(), screenSize.width(),
            screenSize.height(), PictureSizePercent(settings.Slot(settings::kSizeSlot)));
        m_image1->Place(layout.Picture);
        if (settings.ShadowOn()) {
            m_shape1->setGeometry(layout.Shadow.Left, layout.Shadow.Top, layout.Shadow.Width(),
                                  layout.Shadow.Height());
            m_shape1->show();
        } else {
            m_shape1->hide();
        }
        m_sequence.PictureShown();
        if (effect && settings.EffectsOn() && effect->Prepared()) effect->Execute();
        if (effect) effect->Unprepare();
    } catch (const std::exception& e) {
        if (effect) effect->Unprepare();
        if (m_sequence.PictureFailed()) Report(QString::fromStdString(e.what()));
    }
    if (OnStepEnd) OnStepEnd();
}

void TSShow::Report(const QString& text) {
    // The advance timer waits while the message is up, so it does not step behind it.
    const bool timerWasOn = m_timer1->isActive();
    m_timer1->stop();
    m_dialogs.Inform(this, text);
    if (timerWasOn && m_running) SyncTimer();
}

void TSShow::keyPressEvent(QKeyEvent* event) {
    FormKeyDown(event->key());
}

void TSShow::FormKeyDown(int key) {
    if (key == Qt::Key_Return || key == Qt::Key_Enter) Step();
    if (key == Qt::Key_Escape) done(QDialog::Rejected);  // closing stops the timer
    if (key == Qt::Key_F1) ShowHelp();
    if (key == Qt::Key_Right) Step();
    if (key == Qt::Key_Left || key == Qt::Key_Backspace) {
        m_sequence.StepBack();
        Step();
    }
    if (key == Qt::Key_Control) {
        if (m_sequence.TogglePause()) Step();
        SyncTimer();
    }
}

void TSShow::Image1Click() {
    Step();
}

void TSShow::ShowHelp() {
    if (!m_running) return;
    m_sequence.StopTimer();
    SyncTimer();
    m_help->exec();
    if (!m_running) return;
    m_sequence.HelpClosed();
    SyncTimer();
    FormActivate();
}

void TSShow::SyncTimer() {
    if (m_timer1->interval() != m_sequence.IntervalMs())
        m_timer1->setInterval(m_sequence.IntervalMs());
    if (m_sequence.TimerOn() && m_running) {
        if (!m_timer1->isActive()) m_timer1->start();
    } else {
        m_timer1->stop();
    }
}

void TSShow::done(int result) {
    if (m_running) FormClose();
    QDialog::done(result);
}

void TSShow::FormClose() {
    m_running = false;
    m_sequence.StopTimer();
    m_timer1->stop();
    m_taskBar.Show();
    if (m_music) m_music->Close();
    m_lenTimer->stop();
}

}  // namespace player

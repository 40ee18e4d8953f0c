#pragma once

#include <QDialog>
#include <functional>
#include <memory>

#include "codecs/Picture.h"
#include "core/StringList.h"
#include "platform/TaskBar.h"
#include "player/Background.h"
#include "player/MusicDevice.h"
#include "player/MusicSequence.h"
#include "player/ShowSequence.h"
#include "settings/ShowSettings.h"
#include "transitions/TTransitionList.h"
#include "transitions/qt/QtRenderWindow.h"

class QLabel;
class QTimer;

namespace platform {
class Dialogs;
}
namespace transitions {
class QtControl;
}

namespace player {

class PictureControl;
class TOnHelper;
class TProImage;

// What a show plays: the editor's picture list, show settings, effect set and music list.
struct ShowInput {
    core::StringList Pictures;
    settings::ShowSettings Settings;
    core::StringList EffectSet;
    core::StringList Music;
    // Where pictures and the background picture come from when not from the files named
    // above: a packed show decodes them from its own blocks.
    std::function<std::unique_ptr<codecs::Picture>(size_t index)> OpenPicture;
    std::function<raster::Bitmap()> OpenBackground;
};

// The player window: full screen and on top, it steps through the pictures with a
// transition effect drawn at random from the effect set, over the background, with music.
class TSShow final : public QDialog {
public:
    using MusicDeviceFactory = std::function<std::unique_ptr<MusicDevice>()>;

    // The music device is made on the first show with music (the real one by default).
    explicit TSShow(platform::Dialogs& dialogs, MusicDeviceFactory musicDevice = {},
                    QWidget* parent = nullptr);
    ~TSShow() override;

    // "Play Now!": plays the show modally and answers once the player has closed.
    void StartShow(const ShowInput& input);

    // The parts of a show, for tests and benchmarks that drive the player without its modal
    // loop. BeginShow is the start sequence up to showing the window: false when the list
    // is empty or the music or the background could not be set up (reported).
    bool BeginShow(const ShowInput& input);
    // Shows the window full screen without a modal loop.
    void ShowFullScreen();
    void FormActivate();
    void Step();
    void FormKeyDown(int key);
    void Image1Click();
    bool Running() const { return m_running; }

    // Called at each step with the chosen effect's index (-1 for none), and after every
    // frame of a transition reaches the window.
    std::function<void(int effect)> OnStepStart;
    std::function<void()> OnStepEnd;
    transitions::QtRenderWindow::FrameSink OnFrame;

    QLabel* Panel1() const { return m_panel1; }
    QWidget* Pano() const { return m_pano; }
    TProImage* ProImage1() const { return m_proImage1; }
    QWidget* Shape1() const { return m_shape1; }
    PictureControl* Image1() const { return m_image1; }
    QTimer* Timer1() const { return m_timer1; }
    QTimer* LenTimer() const { return m_lenTimer; }
    TOnHelper* Help() const { return m_help; }
    transitions::TTransitionList& Trans() { return m_trans; }
    const ShowSequence& Sequence() const { return m_sequence; }
    const MusicSequence* Music() const { return m_music.get(); }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    // Every way the window closes passes here.
    void done(int result) override;

private:
    void CoverScreen();
    void SetUpBackground(const settings::ShowSettings& settings);
    void ShowHelp();
    void SyncTimer();
    void FormClose();
    void Report(const QString& text);

    platform::Dialogs& m_dialogs;
    MusicDeviceFactory m_makeMusicDevice;
    std::unique_ptr<MusicDevice> m_musicDevice;
    std::unique_ptr<MusicSequence> m_music;
    platform::TaskBar m_taskBar;

    ShowInput m_show;
    ShowSequence m_sequence;
    BackgroundPlacement m_placement;
    bool m_running = false;

    QLabel* m_panel1 = nullptr;
    QWidget* m_pano = nullptr;
    TProImage* m_proImage1 = nullptr;
    QWidget* m_shape1 = nullptr;
    PictureControl* m_image1 = nullptr;
    QTimer* m_timer1 = nullptr;
    QTimer* m_lenTimer = nullptr;
    TOnHelper* m_help = nullptr;
    transitions::TTransitionList m_trans;
    std::unique_ptr<transitions::QtControl> m_panoControl;
};

}  // namespace player

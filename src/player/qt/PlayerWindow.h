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
#include "transitions/TransitionList.h"
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
class PlayerHelpDialog;
class BackgroundImage;

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
class PlayerWindow final : public QDialog {
public:
    using MusicDeviceFactory = std::function<std::unique_ptr<MusicDevice>()>;

    // The music device is made on the first show with music (the real one by default).
    explicit PlayerWindow(platform::Dialogs& dialogs, MusicDeviceFactory musicDevice = {},
                          QWidget* parent = nullptr);
    ~PlayerWindow() override;

    // "Play Now!": plays the show modally and answers once the player has closed.
    void StartShow(const ShowInput& input);

    // The parts of a show, for tests and benchmarks that drive the player without its modal
    // loop. BeginShow is the start sequence up to showing the window: false when the list
    // is empty or the music or the background could not be set up (reported).
    bool BeginShow(const ShowInput& input);
    // Shows the window full screen without a modal loop.
    void ShowFullScreen();
    // The first activation: caption, placement and the first step.
    void BeginPlayback();
    void Step();
    void HandleKey(int key);
    bool Running() const { return m_running; }

    // Called at each step with the chosen effect's index (-1 for none), and after every
    // frame of a transition reaches the window.
    std::function<void(int effect)> OnStepStart;
    std::function<void()> OnStepEnd;
    transitions::QtRenderWindow::FrameSink OnFrame;

    QLabel* CaptionBar() const { return m_captionBar; }
    QLabel* PausedMark() const { return m_pausedMark; }
    // The in-show notice of a picture an automatic show skipped.
    QLabel* Notice() const { return m_notice; }
    QWidget* ShowArea() const { return m_showArea; }
    BackgroundImage* Background() const { return m_background; }
    QWidget* Shadow() const { return m_shadow; }
    PictureControl* Picture() const { return m_picture; }
    QTimer* AdvanceTimer() const { return m_advanceTimer; }
    QTimer* MusicPollTimer() const { return m_musicPollTimer; }
    PlayerHelpDialog* HelpDialog() const { return m_helpDialog; }
    transitions::TransitionList& Effects() { return m_effects; }
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
    void ShowPausedMark(bool paused);
    void ShowNotice(const QString& text);
    void SyncTimer();
    void StopPlayback();
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

    QLabel* m_captionBar = nullptr;
    QLabel* m_pausedMark = nullptr;
    QLabel* m_notice = nullptr;
    QTimer* m_noticeTimer = nullptr;
    QWidget* m_showArea = nullptr;
    BackgroundImage* m_background = nullptr;
    QWidget* m_shadow = nullptr;
    PictureControl* m_picture = nullptr;
    QTimer* m_advanceTimer = nullptr;
    QTimer* m_musicPollTimer = nullptr;
    PlayerHelpDialog* m_helpDialog = nullptr;
    transitions::TransitionList m_effects;
    std::unique_ptr<transitions::QtControl> m_showAreaControl;
};

}  // namespace player

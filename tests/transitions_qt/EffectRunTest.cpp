#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QThread>
#include <QTimer>
#include <QWindow>
#include <functional>
#include <string>

#include "QtTestSupport.h"
#include "transitions/EffectTable.h"
#include "transitions/FlickerFreeTransition.h"
#include "transitions/TimedTransitionEffect.h"
#include "transitions/qt/QtControl.h"

namespace {

using namespace transitions;
using qttest::FirstDifference;
using qttest::ScreenOf;

// A timed effect that draws nothing itself and lets the test look in on every step.
class WatchedEffect : public TimedTransitionEffect {
public:
    const char* ClassName() const override { return "WatchedEffect"; }
    bool NeedsOldImage() const override { return false; }
    std::function<void()> OnStep;
    int Steps = 0;

protected:
    void PrepareSteps(PassData&, int& total) override { total = 1000; }
    void RenderStep(PassData& data, int step, int delta, int total, int previous) override {
        TimedTransitionEffect::RenderStep(data, step, delta, total, previous);
        ++Steps;
        if (OnStep) OnStep();
    }
};

// Keeps the image its pass starts from.
class SourceRecorder : public TimedTransitionEffect {
public:
    const char* ClassName() const override { return "SourceRecorder"; }
    raster::Bitmap Source;

protected:
    void PrepareSteps(PassData& data, int& total) override {
        Source = *data.SrcImage;
        total = 2;
    }
};

// Takes the keys and clicks it is given, to show which input reached the program.
class InputRecorder : public QWidget {
public:
    using QWidget::QWidget;
    std::string Keys;
    int Clicks = 0;

protected:
    void keyPressEvent(QKeyEvent* event) override {
        Keys += event->key() == Qt::Key_Escape ? std::string("<esc>") : event->text().toStdString();
    }
    void mousePressEvent(QMouseEvent*) override { ++Clicks; }
};

void PostKey(QObject* receiver, Qt::Key key, const char* text) {
    QCoreApplication::postEvent(receiver,
                                new QKeyEvent(QEvent::KeyPress, key, Qt::NoModifier, text));
}

void PostPress(QObject* receiver, QPoint at, Qt::MouseButton button) {
    QCoreApplication::postEvent(receiver, new QMouseEvent(QEvent::MouseButtonPress, at, at, button,
                                                          button, Qt::NoModifier));
}

void ProcessEventsFor(int ms) {
    for (int i = 0; i < ms / 5; ++i) {
        QCoreApplication::processEvents();
        QThread::msleep(5);
    }
}

class EffectRunTest : public ::testing::Test {
protected:
    EffectRunTest() {
        m_control.OnFrame = [this](const raster::Bitmap& canvas, const core::Rect&) {
            m_lastFrame = canvas;
            ++m_frames;
        };
    }
    void TearDown() override { SetDisplayPixelFormat(raster::PixelFormat::Bits32); }
    QWidget* OverlayWidget() const {
        for (QObject* child : m_scene.panel->children())
            if (QtRenderWindow::IsRenderWindow(child)) return static_cast<QWidget*>(child);
        return nullptr;
    }
    raster::Bitmap PaintedLook() {
        raster::Bitmap look = MakeDisplayBitmap(160, 120, raster::PixelFormat::Bits32);
        m_control.PaintInto(m_all, look);
        return look;
    }

    qttest::Scene m_scene;
    QtControl m_control{*m_scene.panel};
    const core::Rect m_all{0, 0, 160, 120};
    raster::Bitmap m_lastFrame;
    int m_frames = 0;
};

TEST(ShowEffectsOnQt, EveryBuiltShowEffectEndsWithTheNewLookOnScreen) {
    RegisterAllEffectClasses();
    TransitionList list;
    LoadEffectList(list, ShowEffectTable());
    const core::Rect all{0, 0, 160, 120};
    int ran = 0;
    for (int i = 0; i < list.Count(); ++i) {
        TransitionEffect* effect = list.Transitions(i);
        if (!effect) continue;  // its class is not built yet
        SCOPED_TRACE(list.NameAt(i));
        qttest::Scene scene;
        QtControl control(*scene.panel);
        raster::Bitmap lastFrame;
        control.OnFrame = [&](const raster::Bitmap& canvas, const core::Rect&) {
            lastFrame = canvas;
        };
        raster::Bitmap oldLook = qttest::BitmapOf(scene.panel->grab().toImage());
        if (effect->Milliseconds > 0) effect->Milliseconds = 80;

        ASSERT_TRUE(effect->Prepare(control, all));
        ASSERT_EQ(qttest::RenderWindowsIn(*scene.panel), 1);
        scene.ChangeLook();
        // The old look stays on screen while the control beneath repaints.
        scene.panel->repaint();
        EXPECT_EQ(FirstDifference(oldLook, ScreenOf(*scene.panel)), "");

        effect->Execute();
        raster::Bitmap newLook = qttest::BitmapOf(scene.panel->grab().toImage());
        EXPECT_EQ(qttest::RenderWindowsIn(*scene.panel), 0);
        EXPECT_FALSE(effect->Prepared());
        EXPECT_EQ(FirstDifference(newLook, lastFrame), "");
        // On screen already when Execute returns, before any event is processed.
        EXPECT_EQ(FirstDifference(newLook, ScreenOf(*scene.panel)), "");
        effect->Unprepare();
        ++ran;
    }
    EXPECT_GE(ran, 1);
}

TEST_F(EffectRunTest, WithoutExecuteTheControlShowsItsNewLookOnceTheWindowGoes) {
    FlickerFreeTransition effect;
    ASSERT_TRUE(effect.Prepare(m_control, m_all));
    m_scene.ChangeLook();
    effect.Unprepare();
    ProcessEventsFor(50);
    EXPECT_EQ(qttest::RenderWindowsIn(*m_scene.panel), 0);
    EXPECT_EQ(FirstDifference(qttest::BitmapOf(m_scene.panel->grab().toImage()),
                              ScreenOf(*m_scene.panel)),
              "");
}

TEST_F(EffectRunTest, OldImageTakenAtExecuteIsWhatTheRenderWindowShows) {
    // On an 8-bit display a one-pass effect copies the old image from the screen only when
    // it runs: by then the control has its new look, and the screen still the old one.
    SetDisplayPixelFormat(raster::PixelFormat::Bits8);
    raster::Bitmap oldLook = MakeDisplayBitmap(160, 120, raster::PixelFormat::Bits8);
    m_control.PaintInto(m_all, oldLook);
    SourceRecorder effect;
    ASSERT_TRUE(effect.Prepare(m_control, m_all));
    m_scene.ChangeLook();
    effect.Execute();
    EXPECT_EQ(FirstDifference(oldLook, effect.Source), "");
}

TEST_F(EffectRunTest, EscapeAbortsAndInputWaitsUntilTheRunEnds) {
    auto* recorder = new InputRecorder(&m_scene.window);
    recorder->setGeometry(175, 10, 20, 20);
    recorder->show();
    recorder->setFocus();
    WatchedEffect effect;
    effect.AbortOnEscape = true;
    effect.Milliseconds = 20000;

    bool timerFired = false;
    bool timerFiredDuringRun = false;
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, [&] { timerFired = true; });
    effect.OnStep = [&] { timerFiredDuringRun = timerFiredDuringRun || timerFired; };

    ASSERT_TRUE(effect.Prepare(m_control, m_all));
    PostKey(recorder, Qt::Key_A, "a");  // removed by the poll before the Escape: lost
    PostPress(recorder, QPoint(5, 5), Qt::LeftButton);
    PostKey(recorder, Qt::Key_Escape, "\x1b");
    PostKey(recorder, Qt::Key_B, "b");  // after the Escape: waits
    timer.start(1);
    m_scene.ChangeLook();
    effect.Execute();

    EXPECT_TRUE(effect.Aborted());
    EXPECT_LT(effect.Steps, 999);
    EXPECT_FALSE(timerFiredDuringRun);
    EXPECT_FALSE(timerFired);
    EXPECT_EQ(recorder->Keys, "");
    EXPECT_EQ(recorder->Clicks, 0);
    EXPECT_EQ(FirstDifference(PaintedLook(), m_lastFrame), "");

    ProcessEventsFor(50);
    EXPECT_TRUE(timerFired);
    EXPECT_EQ(recorder->Keys, "b");
    EXPECT_EQ(recorder->Clicks, 1);
}

TEST_F(EffectRunTest, LeftClickOnTheRenderWindowAborts) {
    auto* recorder = new InputRecorder(&m_scene.window);
    recorder->setGeometry(175, 10, 20, 20);
    recorder->show();
    enum class Target { RenderWidget, WindowOverRenderWindow, WindowElsewhere };
    struct Case {
        const char* name;
        Target target;
        Qt::MouseButton button;
        bool aborts;
    };
    const Case cases[] = {
        {"left on the render window", Target::RenderWidget, Qt::LeftButton, true},
        {"left through the window", Target::WindowOverRenderWindow, Qt::LeftButton, true},
        {"right on the render window", Target::RenderWidget, Qt::RightButton, false},
        {"left elsewhere", Target::WindowElsewhere, Qt::LeftButton, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        recorder->Clicks = 0;
        WatchedEffect effect;
        effect.AbortOnClick = true;
        effect.Milliseconds = 450;
        ASSERT_TRUE(effect.Prepare(m_control, m_all));
        QWindow* top = m_scene.window.windowHandle();
        switch (c.target) {
            case Target::RenderWidget:
                PostPress(OverlayWidget(), QPoint(30, 30), c.button);
                break;
            case Target::WindowOverRenderWindow:
                PostPress(top, m_scene.panel->mapTo(&m_scene.window, QPoint(30, 30)), c.button);
                break;
            case Target::WindowElsewhere:
                PostPress(top, recorder->geometry().center(), c.button);
                break;
        }
        effect.Execute();
        EXPECT_EQ(effect.Aborted(), c.aborts);
        ProcessEventsFor(30);
        // A click outside the render window is handled after the run.
        EXPECT_EQ(recorder->Clicks, c.target == Target::WindowElsewhere ? 1 : 0);
    }
}

}  // namespace

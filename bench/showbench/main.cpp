// pictavo-showbench: plays a show in the real player window and measures what the screen
// gets: frames per second of every effect, how long each paced transition takes against its
// Milliseconds, and the time from a step's start to its first frame for a large photo. Run
// it under a real (or virtual) X server at the size to measure; bench/player.sh does so.
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "codecs/JpegPicture.h"
#include "codecs/Picture.h"
#include "core/Memory.h"
#include "core/StringList.h"
#include "player/qt/PlayerWindow.h"
#include "settings/ShowSettings.h"
#include "support/ScriptedDialogs.h"
#include "transitions/EffectTable.h"
#include "transitions/TransitionEffect.h"
#include "transitions/qt/DisplayProbe.h"
#include "transitions/qt/QtControl.h"

namespace {

using Clock = QElapsedTimer;

// A photo-like picture: smooth gradients with rings, which compresses like a real photo
// rather than like noise or a flat colour.
raster::Bitmap PhotoLike(int w, int h, int seed) {
    raster::Bitmap b(w, h, raster::PixelFormat::Bits24);
    for (int y = 0; y < h; ++y) {
        uint8_t* row = b.Scanline(y);
        for (int x = 0; x < w; ++x) {
            double fx = double(x) / w, fy = double(y) / h;
            double ring = std::sin((fx * fx + fy * fy) * (20 + seed * 7)) * 0.5 + 0.5;
            row[3 * x + 0] = uint8_t(255 * fx * ring);
            row[3 * x + 1] = uint8_t(255 * fy * (1 - ring / 2));
            row[3 * x + 2] = uint8_t(255 * (seed % 2 ? ring : 1 - fx));
        }
    }
    return b;
}

std::string WriteJpeg(const QTemporaryDir& dir, const char* name, int w, int h, int seed) {
    std::string path = dir.filePath(name).toStdString();
    core::WriteFileAtomically(path, codecs::EncodeJpeg(PhotoLike(w, h, seed), 88));
    return path;
}

struct StepFigures {
    int Frames = 0;
    double FirstFrameMs = -1;  // from the step's start
    double PacedMs = 0;        // from the pass's start to its end
    double StepMs = 0;
};

// Runs one step with `show` running and answers what the screen got.
StepFigures MeasureStep(player::PlayerWindow& show, transitions::TransitionEffect* effect) {
    StepFigures figures;
    Clock step, pass;
    bool inPass = false;
    show.OnFrame = [&](const raster::Bitmap&, const core::Rect&) {
        if (figures.FirstFrameMs < 0) figures.FirstFrameMs = step.nsecsElapsed() / 1e6;
        if (inPass) ++figures.Frames;
    };
    if (effect) {
        effect->OnStartTransition = [&](transitions::TransitionEffect&) {
            inPass = true;
            pass.start();
        };
        effect->OnEndTransition = [&](transitions::TransitionEffect&) {
            figures.PacedMs = pass.nsecsElapsed() / 1e6;
            inPass = false;
        };
    }
    step.start();
    show.HandleKey(Qt::Key_Right);
    figures.StepMs = step.nsecsElapsed() / 1e6;
    if (effect) effect->OnStartTransition = effect->OnEndTransition = {};
    show.OnFrame = {};
    return figures;
}

double FlushBaseline(player::PlayerWindow& show) {
    transitions::QtControl control(*show.ShowArea());
    const core::Rect all{0, 0, show.ShowArea()->width(), show.ShowArea()->height()};
    std::unique_ptr<transitions::RenderWindow> window = control.CreateRenderWindow(all);
    constexpr int kFrames = 200;
    Clock clock;
    clock.start();
    for (int i = 0; i < kFrames; ++i) window->Flush(all);
    return kFrames * 1e9 / clock.nsecsElapsed();
}

int Run(QApplication&, int repeats) {
    QTemporaryDir dir;
    const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
    std::printf("screen %dx%d\n", screen.width(), screen.height());
    const std::string one = WriteJpeg(dir, "one.jpg", 1920, 1080, 1);
    const std::string two = WriteJpeg(dir, "two.jpg", 1920, 1080, 2);
    const std::string big = WriteJpeg(dir, "big.jpg", 4000, 3000, 3);

    platform::ScriptedDialogs dialogs;
    player::PlayerWindow show(dialogs);
    player::ShowInput input;
    input.Settings.WriteStartDefaults();  // gradient background, size 80, shadow
    input.Settings.SetSlot(settings::kAdvanceSlot, "Manual");
    input.Pictures = {one, two};

    std::printf("\n%-12s %-4s %7s %9s %9s %7s %8s %9s\n", "effect", "set", "frames", "paced ms",
                "target", "error", "fps", "fps/flush");
    const core::StringList& standard = settings::StandardEffectSet();
    double flushFps = 0;
    int belowGoal = 0, offPace = 0;
    for (int index = 0; index < 21; ++index) {
        transitions::TransitionEffect* effect = show.Effects().Transitions(index);
        input.EffectSet = {std::to_string(index)};
        if (!show.BeginShow(input)) return 1;
        show.ShowFullScreen();
        show.BeginPlayback();
        if (flushFps == 0) flushFps = FlushBaseline(show);
        StepFigures best;
        for (int r = 0; r < repeats; ++r) {
            StepFigures f = MeasureStep(show, effect);
            if (r == 0 || f.Frames > best.Frames) best = f;
        }
        show.HandleKey(Qt::Key_Escape);
        const bool inSet =
            std::find(standard.begin(), standard.end(), std::to_string(index)) != standard.end();
        const double fps = best.PacedMs > 0 ? best.Frames * 1000.0 / best.PacedMs : 0;
        const int target = effect ? effect->Milliseconds : 0;
        const double error = target > 0 ? (best.PacedMs - target) / target * 100 : 0;
        if (target > 0 && std::abs(error) > 5) ++offPace;
        if (fps < 50) ++belowGoal;
        std::printf("%-12s %-4s %7d %9.1f %9s %6.1f%% %8.1f %9.3f\n",
                    show.Effects().NameAt(index).c_str(), inSet ? "yes" : "", best.Frames,
                    best.PacedMs, target > 0 ? std::to_string(target).c_str() : "untimed", error,
                    fps, fps / flushFps);
    }
    std::printf("\nfull-frame flush baseline: %.0f frames/s\n", flushFps);
    std::printf("effects under 50 frames/s: %d; paced effects off by more than 5 %%: %d\n",
                belowGoal, offPace);

    // A step to a 4000 x 3000 photo: from the step's start to the first frame on screen.
    input.Pictures = {one, big};
    input.EffectSet = {"11"};  // WipeDown
    std::vector<double> firstFrame;
    for (int r = 0; r < std::max(repeats, 3); ++r) {
        if (!show.BeginShow(input)) return 1;
        show.ShowFullScreen();
        show.BeginPlayback();
        firstFrame.push_back(MeasureStep(show, show.Effects().Transitions(11)).FirstFrameMs);
        show.HandleKey(Qt::Key_Escape);
    }
    std::sort(firstFrame.begin(), firstFrame.end());
    // Baseline: decoding the same photo in full, which the player avoids.
    std::vector<double> decode;
    for (int r = 0; r < 3; ++r) {
        auto jpeg = codecs::ReadJpeg(core::ReadFileBytes(big, codecs::kMaxPictureFileBytes));
        Clock clock;
        clock.start();
        jpeg->DecodeNow();
        decode.push_back(clock.nsecsElapsed() / 1e6);
    }
    std::sort(decode.begin(), decode.end());
    std::printf(
        "\n4000x3000 JPEG: step start to first frame %.1f ms (median of %zu); "
        "full decode alone %.1f ms; ratio %.2f\n",
        firstFrame[firstFrame.size() / 2], firstFrame.size(), decode[1],
        firstFrame[firstFrame.size() / 2] / decode[1]);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    core::KeepLargeAllocations();
    QApplication app(argc, argv);
    transitions::ProbeDisplayPixelFormat();
    int repeats = 1;
    if (argc > 1) repeats = std::max(1, std::atoi(argv[1]));
    int code = 1;
    QTimer::singleShot(0, &app, [&] {
        code = Run(app, repeats);
        app.quit();
    });
    app.exec();
    return code;
}

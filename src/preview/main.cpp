// pictavo-preview: shows picture FROM in a window, then runs one effect of the show's list
// to picture TO on it, the way the player does, and reports what reached the screen.
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QScreen>
#include <QTimer>
#include <cstdio>
#include <exception>
#include <optional>
#include <string>
#include <vector>

#include "codecs/Picture.h"
#include "core/Memory.h"
#include "preview/PictureView.h"
#include "transitions/EffectTable.h"
#include "transitions/qt/DisplayProbe.h"
#include "transitions/qt/QtControl.h"

namespace {

using namespace transitions;

void PrintUsage() {
    std::fputs(
        "usage: pictavo-preview EFFECT FROM TO [--size WxH] [--ms N]\n"
        "                       [--grab DIR --grab-every N] [--flush-bench N]\n"
        "  EFFECT        an effect of the show's list, by name (WipeDown) or index (11)\n"
        "  FROM, TO      pictures (BMP, JPEG, GIF); FROM is shown first, TO after the effect\n"
        "  --size WxH    window size (default 800x600)\n"
        "  --ms N        run the effect for N milliseconds instead of its stored duration\n"
        "  --grab DIR    save a PNG of the window as the screen shows it every N flushed\n"
        "                frames (--grab-every, default 1), and once after the effect\n"
        "  --flush-bench N  afterwards flush a full-window render window N times and print\n"
        "                the frames per second\n",
        stderr);
}

struct Options {
    std::string Effect, From, To;
    int Width = 800, Height = 600;
    std::optional<int> Milliseconds;
    std::string GrabDir;
    int GrabEvery = 1;
    int FlushBench = 0;
};

int ParseCount(const std::string& text, const char* what) {
    size_t used = 0;
    int value = -1;
    try {
        value = std::stoi(text, &used);
    } catch (const std::exception&) {
        used = 0;
    }
    if (used != text.size() || value < 0)
        throw std::invalid_argument(std::string("bad ") + what + " \"" + text + "\"");
    return value;
}

Options ParseOptions(const std::vector<std::string>& args) {
    Options options;
    std::vector<std::string> positional;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        auto value = [&]() -> const std::string& {
            if (i + 1 >= args.size()) throw std::invalid_argument(arg + " needs a value");
            return args[++i];
        };
        if (arg == "--size") {
            const std::string& size = value();
            size_t x = size.find('x');
            if (x == std::string::npos) throw std::invalid_argument("bad size \"" + size + "\"");
            options.Width = ParseCount(size.substr(0, x), "width");
            options.Height = ParseCount(size.substr(x + 1), "height");
            if (options.Width < 1 || options.Height < 1 || options.Width > 16384 ||
                options.Height > 16384)
                throw std::invalid_argument("size out of range \"" + size + "\"");
        } else if (arg == "--ms") {
            options.Milliseconds = ParseCount(value(), "duration");
        } else if (arg == "--grab") {
            options.GrabDir = value();
        } else if (arg == "--grab-every") {
            options.GrabEvery = ParseCount(value(), "frame interval");
            if (options.GrabEvery < 1)
                throw std::invalid_argument("--grab-every must be 1 or more");
        } else if (arg == "--flush-bench") {
            options.FlushBench = ParseCount(value(), "frame count");
        } else if (arg.starts_with("--")) {
            throw std::invalid_argument("unknown option " + arg);
        } else {
            positional.push_back(arg);
        }
    }
    if (positional.size() != 3) throw std::invalid_argument("EFFECT, FROM and TO are needed");
    options.Effect = positional[0];
    options.From = positional[1];
    options.To = positional[2];
    return options;
}

const char* FormatName(raster::PixelFormat format) {
    switch (format) {
        case raster::PixelFormat::Bits1:
            return "1 bit";
        case raster::PixelFormat::Bits4:
            return "4 bits";
        case raster::PixelFormat::Bits8:
            return "8 bits (palette)";
        case raster::PixelFormat::Bits15:
            return "15 bits (5-5-5)";
        case raster::PixelFormat::Bits16:
            return "16 bits (5-6-5)";
        case raster::PixelFormat::Bits24:
            return "24 bits";
        case raster::PixelFormat::Bits32:
            return "32 bits";
        case raster::PixelFormat::Device:
            break;
    }
    return "device";
}

// The effect run, once the window shows the first picture. Answers the exit code.
int RunEffect(const Options& options, TTransitionEffect& effect, QWidget& window,
              preview::PictureView& view, std::unique_ptr<codecs::Picture> to) {
    QtControl control(view);
    int frames = 0;
    int grabs = 0;
    auto grab = [&](const QString& name) {
        QPixmap shot = window.screen()->grabWindow(window.winId());
        QString path = QDir(QString::fromStdString(options.GrabDir)).filePath(name);
        if (!shot.save(path, "PNG"))
            std::fprintf(stderr, "pictavo-preview: cannot write %s\n", qPrintable(path));
        ++grabs;
    };
    control.OnFrame = [&](const raster::Bitmap&, const core::Rect&) {
        ++frames;
        if (!options.GrabDir.empty() && frames % options.GrabEvery == 0)
            grab(QString::asprintf("frame_%05d.png", frames));
    };
    core::Rect all{0, 0, view.width(), view.height()};
    if (!effect.Prepare(control, all)) {
        std::fprintf(stderr, "pictavo-preview: the effect could not be prepared\n");
        return 1;
    }
    view.SetPicture(std::move(to));
    QElapsedTimer clock;
    clock.start();
    effect.Execute();
    double ms = clock.nsecsElapsed() / 1e6;
    effect.Unprepare();
    std::printf("%s (%s): %d frames in %.1f ms (%.1f frames/s)%s\n", effect.Name.c_str(),
                effect.ClassName(), frames, ms, ms > 0 ? frames * 1000.0 / ms : 0.0,
                effect.Aborted() ? ", aborted" : "");
    if (!options.GrabDir.empty()) {
        QCoreApplication::processEvents();
        grab(QStringLiteral("final.png"));
        std::printf("%d screenshots in %s\n", grabs, options.GrabDir.c_str());
    }

    if (options.FlushBench > 0) {
        control.OnFrame = {};
        std::unique_ptr<TTERenderWindow> renderWindow = control.CreateRenderWindow(all);
        QElapsedTimer benchClock;
        benchClock.start();
        for (int i = 0; i < options.FlushBench; ++i) renderWindow->Flush(all);
        double benchMs = benchClock.nsecsElapsed() / 1e6;
        std::printf(
            "full-frame flush %dx%d: %d frames in %.1f ms, %.2f ms per frame (%.0f frames/s)\n",
            all.Width(), all.Height(), options.FlushBench, benchMs, benchMs / options.FlushBench,
            options.FlushBench * 1000.0 / benchMs);
        renderWindow.reset();
        // The capture each run makes of the new look: the control painted into a bitmap.
        raster::Bitmap look = MakeDisplayBitmap(all.Width(), all.Height(), DisplayPixelFormat());
        benchClock.restart();
        for (int i = 0; i < 10; ++i) control.PaintInto(all, look);
        std::printf("full-frame paint of the control: %.2f ms\n", benchClock.nsecsElapsed() / 1e7);
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    core::KeepLargeAllocations();
    QApplication app(argc, argv);
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty() || args[0] == "--help" || args[0] == "-h") {
        PrintUsage();
        return args.empty() ? 2 : 0;
    }
    Options options;
    try {
        options = ParseOptions(args);
    } catch (const std::invalid_argument& e) {
        std::fprintf(stderr, "pictavo-preview: %s\n", e.what());
        PrintUsage();
        return 2;
    }

    std::printf("display format: %s\n", FormatName(ProbeDisplayPixelFormat()));
    RegisterAllEffectClasses();
    TTransitionList list;
    std::unique_ptr<codecs::Picture> from, to;
    try {
        LoadEffectList(list, ShowEffectTable());
        from = codecs::LoadPicture(options.From);
        to = codecs::LoadPicture(options.To);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "pictavo-preview: %s\n", e.what());
        return 1;
    }
    int index = FindShowEffect(options.Effect);
    if (index < 0) {
        std::fprintf(stderr, "pictavo-preview: no effect \"%s\"; the show's effects are:\n",
                     options.Effect.c_str());
        for (int i = 0; i < list.Count(); ++i)
            std::fprintf(stderr, "  %2d %s\n", i, list.NameAt(i).c_str());
        return 2;
    }
    TTransitionEffect* effect = list.Transitions(index);
    if (!effect) {
        std::fprintf(
            stderr,
            "pictavo-preview: effect %s needs class %s, which this build does not have yet\n",
            list.NameAt(index).c_str(), list.ClassNameAt(index).c_str());
        return 1;
    }
    if (options.Milliseconds) effect->Milliseconds = *options.Milliseconds;
    if (!options.GrabDir.empty() && !QDir().mkpath(QString::fromStdString(options.GrabDir))) {
        std::fprintf(stderr, "pictavo-preview: cannot make folder %s\n", options.GrabDir.c_str());
        return 1;
    }

    QWidget window;
    window.setWindowTitle(QStringLiteral("Pictavo preview"));
    window.setFixedSize(options.Width, options.Height);
    preview::PictureView view(&window);
    view.setGeometry(0, 0, options.Width, options.Height);
    view.SetPicture(std::move(from));
    window.show();

    int exitCode = 0;
    // A moment for the window to reach the screen with the first picture.
    QTimer::singleShot(700, &app, [&] {
        try {
            exitCode = RunEffect(options, *effect, window, view, std::move(to));
        } catch (const std::exception& e) {
            std::fprintf(stderr, "pictavo-preview: %s\n", e.what());
            exitCode = 1;
        }
        app.quit();
    });
    app.exec();
    return exitCode;
}

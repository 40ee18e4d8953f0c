// pictavo-show: plays the show packed onto the end of its own file, as an application or,
// with "/s", as a screen saver.
#include <QApplication>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "core/Error.h"
#include "core/Memory.h"
#include "pack/PackedShow.h"
#include "pack/ShowPlayerMode.h"
#include "pack/TemporaryFolder.h"
#include "platform/Dialogs.h"
#include "player/qt/PlayerWindow.h"
#include "showplayer/PackedShowInput.h"
#include "showplayer/QuitOnSignals.h"
#include "showplayer/ScreenSaverInput.h"
#include "transitions/qt/DisplayProbe.h"

namespace {

int Fail(platform::Dialogs& dialogs, const std::string& message) {
    std::fprintf(stderr, "pictavo-show: %s\n", message.c_str());
    dialogs.Inform(nullptr, QString::fromStdString(message));
    return 1;
}

}  // namespace

int main(int argc, char* argv[]) {
    const pack::ShowPlayerMode mode =
        pack::ParseShowPlayerMode(std::vector<std::string>(argv + 1, argv + argc));
    // A preview draws into a host's window, which this platform does not have.
    if (mode == pack::ShowPlayerMode::Preview) return 0;

    core::KeepLargeAllocations();
    if (qEnvironmentVariableIsEmpty("QT_MEDIA_BACKEND")) qputenv("QT_MEDIA_BACKEND", "gstreamer");
    QApplication application(argc, argv);
    transitions::ProbeDisplayPixelFormat();
    QApplication::setApplicationName("pictavo-show");
    platform::QtDialogs dialogs;

    if (mode == pack::ShowPlayerMode::Configure) {
        dialogs.Inform(nullptr, "This screen saver has no options.");
        return 0;
    }

    std::optional<pack::PackedShow> show;
    std::optional<pack::TemporaryFolder> musicFolder;
    player::ShowInput input;
    try {
        show = pack::PackedShow::Open("/proc/self/exe");
        musicFolder.emplace();
        input = showplayer::MakeShowInput(*show, *musicFolder);
    } catch (const core::Error& e) {
        return Fail(dialogs, e.what());
    }

    player::PlayerWindow player(dialogs);
    // Stopped from outside, the show still closes the normal way and cleans up.
    showplayer::QuitOnSignals quitOnSignals([&player] { player.reject(); });
    std::optional<showplayer::ScreenSaverInput> screenSaver;
    if (mode == pack::ShowPlayerMode::ScreenSaver) {
        // A screen saver runs until the user comes back.
        input.Settings.SetSlot(settings::kLoopSlot, std::string(settings::kLoop));
        screenSaver.emplace([&player] { player.reject(); });
        application.installEventFilter(&*screenSaver);
    }
    player.StartShow(input);
    if (screenSaver) application.removeEventFilter(&*screenSaver);
    return 0;
}

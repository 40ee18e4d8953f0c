// pictavo-show: plays the show packed onto the end of its own file, as an application or,
// with "/s", as a screen saver.
#include <QApplication>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "core/Error.h"
#include "core/Memory.h"
#include "pack/BlockFormat.h"
#include "pack/PackedShow.h"
#include "pack/ShowPlayerMode.h"
#include "pack/TemporaryFolder.h"
#include "platform/Dialogs.h"
#include "player/qt/TSShow.h"
#include "showplayer/ScreenSaverInput.h"
#include "transitions/qt/DisplayProbe.h"

namespace {

// Each music block becomes a file the music device can open; the extension is kept
// (when it is a plain one) since the media framework may use it to pick a decoder.
core::StringList WriteMusicFiles(const pack::PackedShow& show,
                                 const pack::TemporaryFolder& folder) {
    core::StringList paths;
    for (size_t i = 0; i < show.MusicCount(); ++i) {
        std::string name = "music-" + std::to_string(i + 1);
        std::string_view ext = pack::ExtensionOf((*show.Parts().Music)[i]);
        bool plain = !ext.empty() && ext.size() <= 8;
        for (char c : ext)
            plain = plain &&
                    ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'));
        if (plain) name += "." + std::string(ext);
        paths.push_back(folder.WriteFile(name, show.MusicBlock(i)));
    }
    return paths;
}

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
        const project::ShowParts& parts = show->Parts();
        for (int i = 0; i < settings::kSlotCount; ++i)
            input.Settings.SetSlot(i, parts.Slots[size_t(i)]);
        input.Pictures = parts.Pictures;
        input.EffectSet = parts.Effects;
        if (show->MusicCount() > 0) {
            musicFolder.emplace();
            input.Music = WriteMusicFiles(*show, *musicFolder);
        }
    } catch (const core::Error& e) {
        return Fail(dialogs, e.what());
    }
    const pack::PackedShow& packed = *show;
    input.OpenPicture = [&packed](size_t index) { return packed.DecodePicture(index); };
    input.OpenBackground = [&packed] {
        std::unique_ptr<codecs::Picture> picture = packed.DecodeBackground();
        if (!picture) return raster::Bitmap();
        raster::Bitmap bitmap(picture->Width(), picture->Height(), raster::PixelFormat::Bits32);
        picture->Draw(bitmap, {0, 0, bitmap.Width(), bitmap.Height()});
        return bitmap;
    };

    player::TSShow player(dialogs);
    std::optional<ScreenSaverInput> screenSaver;
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

// Media set-up for the headless test run, made before any media object exists: the
// GStreamer back end, and no sound server, so playback falls back to a silent sink that
// still runs in real time.
#include <QByteArray>
#include <QDir>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

class MediaEnvironment {
public:
    MediaEnvironment() {
        qputenv("QT_MEDIA_BACKEND", "gstreamer");
        qputenv("PULSE_SERVER", "unix:/nonexistent");
        const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
        if (runtime.isEmpty() || !QDir(QString::fromLocal8Bit(runtime)).exists()) {
            // mkdtemp makes the folder with mode 0700, as a runtime folder must be.
            std::string name =
                (std::filesystem::temp_directory_path() / "pictavo-runtime-XXXXXX").string();
            if (mkdtemp(name.data())) {
                m_made = name;
                qputenv("XDG_RUNTIME_DIR", QByteArray::fromStdString(name));
            }
        }
    }
    ~MediaEnvironment() {
        std::error_code ignored;
        if (!m_made.empty()) std::filesystem::remove_all(m_made, ignored);
    }

private:
    std::string m_made;
};

const MediaEnvironment g_mediaEnvironment;

}  // namespace

// The sanitizer build's leak check stops at one-off leaks of the media libraries: the
// pulse device monitor drops its context when no sound server answers, and glib keeps a
// buffer it allocates while being loaded. Their allocators have no frame pointers, so the
// leaks are known only by the library that made them. One glib string made through
// vasprintf while GStreamer loads loses even that, and is known by vasprintf alone; our code
// never calls it.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libpulse.so\n"
           "leak:libglib-2.0.so\n"
           "leak:__vasprintf_internal\n";
}

// Media set-up for the headless test run, made before any media object exists, so that
// every machine plays through the same path whatever sound server, ALSA devices, cameras,
// GPUs or sink plug-ins it has:
// - the GStreamer back end of Qt Multimedia;
// - a sound server that never answers, so Qt lists no audio devices and plays through
//   GStreamer's automatic sink;
// - no GStreamer device providers (Qt starts a device monitor; what the providers probe
//   differs between machines, and some leak when their hardware is missing);
// - the fake audio sink ranked above every real sink: silent, but it plays in real time.
#include <gst/gst.h>

#include <QByteArray>
#include <QDir>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

void ChooseTheSilentSink() {
    gst_init(nullptr, nullptr);
    GstRegistry* registry = gst_registry_get();
    GList* providers = gst_registry_get_feature_list(registry, GST_TYPE_DEVICE_PROVIDER_FACTORY);
    for (GList* p = providers; p; p = p->next) {
        gst_plugin_feature_set_rank(GST_PLUGIN_FEATURE(p->data), GST_RANK_NONE);
    }
    gst_plugin_feature_list_free(providers);

    GstPluginFeature* sink = gst_registry_lookup_feature(registry, "fakeaudiosink");
    if (!sink) {
        std::fprintf(stderr,
                     "The media tests need GStreamer's fakeaudiosink "
                     "(gstreamer1.0-plugins-bad): run scripts/setup.sh.\n");
        std::exit(2);
    }
    gst_plugin_feature_set_rank(sink, G_MAXINT);
    gst_object_unref(sink);
}

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
        ChooseTheSilentSink();
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

// GStreamer makes glib create more than 2048 quarks; glib then moves its quark table to a
// larger block and keeps the old one on purpose, since lock-free readers may still hold
// it. The old block was allocated by glib's load-time constructor, so the one leak left is
// named by that frame: shared-library constructors run once, and nothing of ours runs there.
// glib has no frame pointers, so allocation stacks are unwound the slow, exact way to
// reach that frame.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:_dl_init\n";
}
extern "C" const char* __asan_default_options() {
    return "fast_unwind_on_malloc=0";
}

// Every page of both dialogs, laid out at their natural size: no control squeezed below
// what it needs or pushed outside its parent. With PICTAVO_SHOTS_DIR set, each page is
// also saved there as a PNG for a look by eye (run under xvfb-run with
// QT_QPA_PLATFORM=xcb to see the real style and fonts).
#include <gtest/gtest.h>

#include <QDir>
#include <QListWidget>
#include <QTabWidget>
#include <memory>
#include <string>

#include "settings/ShowSettings.h"
#include "settings/qt/DurationReader.h"
#include "settings/qt/EffectChooser.h"
#include "settings/qt/OptionsDialog.h"
#include "support/ScriptedDialogs.h"

namespace {

class SilentDurationReader final : public settings::DurationReader {
public:
    void Request(const std::string&) override {}
};

void ExpectTidy(QWidget& window, const std::string& what) {
    for (QWidget* child : window.findChildren<QWidget*>()) {
        // Qt's own inner parts (a spin box's line edit) are laid out by their owner.
        if (!child->isVisibleTo(&window) || child->isWindow() ||
            child->objectName().startsWith("qt_"))
            continue;
        const QString name = child->objectName().isEmpty()
                                 ? QString::fromLatin1(child->metaObject()->className())
                                 : child->objectName();
        const QSize need = child->minimumSizeHint();
        if (need.isValid()) {
            EXPECT_GE(child->width(), need.width()) << what << ": " << name.toStdString();
            EXPECT_GE(child->height(), need.height()) << what << ": " << name.toStdString();
        }
        QWidget* parent = child->parentWidget();
        if (parent && !parent->inherits("QAbstractScrollArea")) {
            EXPECT_TRUE(parent->rect().contains(child->geometry()))
                << what << ": " << name.toStdString();
        }
    }
}

void Keep(QWidget& window, const QString& name) {
    const QString folder = qEnvironmentVariable("PICTAVO_SHOTS_DIR");
    if (folder.isEmpty()) return;
    QDir().mkpath(folder);
    EXPECT_TRUE(window.grab().save(folder + "/" + name + ".png"));
}

TEST(DialogLayout, EveryPageIsTidy) {
    platform::ScriptedDialogs dialogs;
    settings::ShowSettings showSettings;
    showSettings.WriteStartDefaults();
    showSettings.SetSlot(settings::kMusicModeSlot, "RepeatMusic");
    settings::EffectChooser chooser(dialogs);
    settings::OptionsDialog options(showSettings, chooser, dialogs,
                                    std::make_unique<SilentDurationReader>());
    options.SetPictureCount(24);
    options.SetMusicList({"/home/user/Music/Morning walk.mp3", "/home/user/Music/Theme.mid"});

    const char* pages[] = {"options-main", "options-music", "options-advanced"};
    for (int page = 0; page < 3; ++page) {
        options.BeginEdit(settings::OptionsDialog::Page(page));
        options.show();
        options.adjustSize();
        ExpectTidy(options, pages[page]);
        Keep(options, pages[page]);
        options.hide();
    }

    chooser.BeginEdit();
    chooser.Highlight(3);
    chooser.show();
    chooser.adjustSize();
    ExpectTidy(chooser, "chooser");
    Keep(chooser, "chooser");
    chooser.Sample()->show();
    Keep(chooser, "chooser-sample");
    chooser.Sample()->hide();

    // A preview caught halfway towards the sample, for the eye only.
    if (!qEnvironmentVariableIsEmpty("PICTAVO_SHOTS_DIR")) {
        int frame = 0;
        chooser.OnPreviewFrame = [&](const raster::Bitmap&, const core::Rect&) {
            if (++frame == 12) Keep(chooser, "chooser-preview");
        };
        chooser.Highlight(6);
        chooser.PlayPreview();
    }
}

}  // namespace

#include "pack/qt/PackDialog.h"

#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QToolButton>
#include <QVBoxLayout>
#include <exception>

#include "pack/ShowBuilder.h"
#include "platform/Dialogs.h"

namespace pack {

namespace {

const QString kDefaultBaseName = "Pictavo1";
const QString kReady = "Ready";

// Where the file name's extension starts, or -1: the last '.' after the last separator.
qsizetype ExtensionStart(const QString& name) {
    const qsizetype dot = name.lastIndexOf('.');
    return dot > name.lastIndexOf('/') ? dot : -1;
}

QString Extension(const QString& name) {
    const qsizetype start = ExtensionStart(name);
    return start < 0 ? QString() : name.mid(start);
}

}  // namespace

QString ModeExtension(PackMode mode) {
    return mode == PackMode::Application ? ".exe" : ".scr";
}

QString WithModeExtension(const QString& name, PackMode mode) {
    const qsizetype start = ExtensionStart(name);
    return (start < 0 ? name : name.left(start)) + ModeExtension(mode);
}

bool HasShowExtension(const QString& name) {
    const QString extension = Extension(name);
    return extension == ".exe" || extension == ".scr";
}

bool StartDetached(const QString& program, const QStringList& arguments, QString* error) {
    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments);
    if (process.startDetached()) return true;
    *error = process.errorString();
    return false;
}

PackDialog::PackDialog(platform::Dialogs& dialogs, QString programFolder, QWidget* parent)
    : QDialog(parent),
      m_dialogs(dialogs),
      m_programFolder(std::move(programFolder)),
      m_launch(&StartDetached) {
    setWindowTitle("Create Pictavo");
    setModal(true);

    auto* options = new QGroupBox("Options", this);
    auto* optionsLayout = new QGridLayout(options);
    optionsLayout->addWidget(new QLabel("Name and path", options), 0, 0, 1, 2);
    m_name = new QLineEdit(options);
    m_name->setObjectName("NameBox");
    m_name->setMinimumWidth(360);
    optionsLayout->addWidget(m_name, 1, 0);
    m_browse = new QToolButton(options);
    m_browse->setText("...");
    optionsLayout->addWidget(m_browse, 1, 1);
    optionsLayout->addWidget(new QLabel("Modes", options), 2, 0, 1, 2);
    m_application = new QRadioButton("Make application (*.EXE)", options);
    m_screenSaver = new QRadioButton("Make screen saver (*.SCR)", options);
    m_application->setChecked(true);
    optionsLayout->addWidget(m_application, 3, 0, 1, 2);
    optionsLayout->addWidget(m_screenSaver, 4, 0, 1, 2);

    auto* information = new QGroupBox("Information", this);
    auto* informationLayout = new QVBoxLayout(information);
    m_state = new QLabel(kReady, information);
    informationLayout->addWidget(m_state);
    m_progress = new QProgressBar(information);
    m_progress->setRange(0, 100);
    m_progress->setValue(0);
    informationLayout->addWidget(m_progress);

    m_make = new QPushButton("Make", this);
    m_test = new QPushButton("Test", this);
    m_close = new QPushButton("Close", this);
    m_make->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_make);
    buttons->addWidget(m_test);
    buttons->addWidget(m_close);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(options);
    layout->addWidget(information);
    layout->addLayout(buttons);

    connect(m_name, &QLineEdit::textChanged, this, [this] { m_test->setEnabled(false); });
    connect(m_browse, &QToolButton::clicked, this, &PackDialog::Browse);
    connect(m_application, &QRadioButton::toggled, this, [this](bool on) {
        if (on) ModeChanged();
    });
    connect(m_screenSaver, &QRadioButton::toggled, this, [this](bool on) {
        if (on) ModeChanged();
    });
    connect(m_make, &QPushButton::clicked, this, &PackDialog::Make);
    connect(m_test, &QPushButton::clicked, this, &PackDialog::Test);
    connect(m_close, &QPushButton::clicked, this, &PackDialog::reject);
    m_test->setEnabled(false);
}

PackDialog::~PackDialog() {
    if (m_builder) m_builder->Cancel();
    if (m_worker.joinable()) m_worker.join();
}

void PackDialog::SetShow(std::string showPlayerPath, core::StringList settingsBlock) {
    m_showPlayerPath = std::move(showPlayerPath);
    m_settingsBlock = std::move(settingsBlock);
}

void PackDialog::SetMode(PackMode mode) {
    QRadioButton* radio = mode == PackMode::Application ? m_application : m_screenSaver;
    if (radio->isChecked())
        ModeChanged();  // no toggle follows, but selecting still sets the extension
    else
        radio->setChecked(true);
}

PackMode PackDialog::Mode() const {
    return m_screenSaver->isChecked() ? PackMode::ScreenSaver : PackMode::Application;
}

QString PackDialog::Name() const {
    return m_name->text();
}

void PackDialog::SetName(const QString& name) {
    m_name->setText(name);
}

QString PackDialog::NameToolTip() const {
    return m_name->toolTip();
}

bool PackDialog::TestEnabled() const {
    return m_test->isEnabled();
}

QString PackDialog::StateText() const {
    return m_state->text();
}

void PackDialog::ShowName(const QString& name) {
    m_name->setText(name);
    m_name->setToolTip(name);
}

void PackDialog::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) Activate();
    QDialog::showEvent(event);
}

void PackDialog::Activate() {
    m_test->setEnabled(false);
    m_progress->setRange(0, 100);
    m_progress->setValue(0);
    m_state->setText(kReady);
    ShowName(m_programFolder + kDefaultBaseName + ModeExtension(Mode()));
}

void PackDialog::ModeChanged() {
    ShowName(WithModeExtension(Name(), Mode()));
}

void PackDialog::Browse() {
    const QString filter =
        Mode() == PackMode::Application ? "Application (*.exe)" : "Screensaver (*.scr)";
    std::optional<QString> chosen = m_dialogs.SaveFile(this, filter, Name());
    if (!chosen) return;
    ShowName(*chosen);
}

void PackDialog::Make() {
    if (Building()) return;
    m_progress->setRange(0, 100);
    m_progress->setValue(0);
    QString name = Name();
    if (name.isEmpty()) {
        m_dialogs.Inform(this, "Enter the name and path of the show to make.");
        return;
    }
    if (!HasShowExtension(name)) {
        name += ModeExtension(Mode());
        ShowName(name);
    }
    m_target = name;
    m_builder = std::make_shared<ShowBuilder>(m_showPlayerPath, m_settingsBlock);
    // The worker never touches a widget: it queues its reports to this dialog's thread.
    m_builder->SetProgress([this](size_t done, size_t total) {
        QMetaObject::invokeMethod(
            this,
            [this, done, total] {
                if (total == 0) return;
                m_progress->setRange(0, static_cast<int>(total));
                m_progress->setValue(static_cast<int>(done));
            },
            Qt::QueuedConnection);
    });
    SetBuilding(true);
    m_worker = std::thread([this, builder = m_builder, target = name.toStdString()] {
        bool written = false;
        bool cancelled = false;
        QString error;
        quint64 fileBytes = 0;
        try {
            fileBytes = builder->Build(target).FileBytes;
            written = true;
        } catch (const BuildCancelled&) {
            cancelled = true;
        } catch (const std::exception& e) {
            error = QString::fromStdString(e.what());
        } catch (...) {
            error = "The show could not be made.";
        }
        QMetaObject::invokeMethod(
            this, [=, this] { BuildDone(written, cancelled, error, fileBytes); },
            Qt::QueuedConnection);
    });
}

void PackDialog::SetBuilding(bool building) {
    m_state->setText(building ? "Making " + QFileInfo(m_target).fileName() + " ..." : kReady);
    m_make->setEnabled(!building);
    m_name->setEnabled(!building);
    m_browse->setEnabled(!building);
    m_application->setEnabled(!building);
    m_screenSaver->setEnabled(!building);
    m_close->setEnabled(true);
    if (building) m_test->setEnabled(false);
}

void PackDialog::BuildDone(bool written, bool cancelled, const QString& error, quint64 fileBytes) {
    if (m_worker.joinable()) m_worker.join();
    m_builder.reset();
    SetBuilding(false);
    if (m_closeAsked) {
        // Closed during the build: a build that finished before it saw the request is
        // undone too, so closing always leaves no file.
        m_closeAsked = false;
        if (written) QFile::remove(m_target);
        emit BuildFinished(false);
        QDialog::reject();
        return;
    }
    if (written) {
        m_test->setEnabled(true);
        m_dialogs.Inform(this, QString::fromStdString(SizeMessage(fileBytes)));
    } else if (!cancelled) {
        m_dialogs.Inform(this, error);
    }
    emit BuildFinished(written);
}

void PackDialog::reject() {
    if (!Building()) {
        QDialog::reject();
        return;
    }
    m_closeAsked = true;
    m_builder->Cancel();
    m_state->setText("Cancelling ...");
    m_close->setEnabled(false);
}

void PackDialog::Test() {
    const QString name = Name();
    // The name is one argument, so a name with spaces starts that very file.
    const QStringList arguments = Extension(name) == ".exe" ? QStringList() : QStringList({"/s"});
    QString error;
    if (!m_launch(QFileInfo(name).absoluteFilePath(), arguments, &error))
        m_dialogs.Inform(this, "Cannot start \"" + name + "\". " + error);
}

}  // namespace pack

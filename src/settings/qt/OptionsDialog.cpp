#include "settings/qt/OptionsDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <filesystem>
#include <system_error>
#include <utility>

#include "platform/Dialogs.h"
#include "settings/ColorText.h"
#include "settings/MusicSummary.h"
#include "settings/ShowSettings.h"
#include "settings/qt/ColorSwatch.h"
#include "settings/qt/EffectChooser.h"
#include "settings/qt/MediaDurationReader.h"

namespace settings {

namespace {

// Filters in the "description|masks|description|masks" form the program stores them in.
constexpr const char* kViewerFilter =
    "Bmp, jpeg, gif|*.bmp;*jpg;*.gif|Bmp, jpeg|*.bmp;*jpg|Bmp, gif|*.bmp;*.gif|"
    "Jpeg, gif|*jpg;*.gif|Jpeg|*jpg|Gif|*.gif";
constexpr const char* kPictureFilter = "Graphic files|*.bmp; *.gif; *.jpg; *.jpeg";
constexpr const char* kSoundFilter = "Sound files|*.cda;*.wav;*.wave;*.mp3;*.mid;*.midi;*.kar;*wma";
constexpr const char* kNoBackgroundFile = "Set true background picture filename!";
constexpr const char* kSelectImage = "Select image";

constexpr ColorValue kTopColourAtCreation = 0x281800;
constexpr ColorValue kBottomColourAtCreation = 0xE891B6;
constexpr ColorValue kCaptionColourAtCreation = 0x800080;  // purple

// One "description|masks" pair per entry.
QList<std::pair<QString, QString>> FilterEntries(const QString& filter) {
    const QStringList parts = filter.split('|');
    QList<std::pair<QString, QString>> entries;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) entries.push_back({parts[i], parts[i + 1]});
    return entries;
}

// The same filter in the notation of Qt's file dialogs: "Graphic files (*.bmp *.gif)".
QString FileDialogFilter(const QString& filter) {
    QStringList entries;
    for (const auto& [description, masks] : FilterEntries(filter)) {
        QStringList patterns = masks.split(';', Qt::SkipEmptyParts);
        for (QString& pattern : patterns) pattern = pattern.trimmed();
        entries.push_back(description + " (" + patterns.join(' ') + ")");
    }
    return entries.join(";;");
}

QString DisplayName(const std::string& bytes) {
    return QFile::decodeName(QByteArray::fromStdString(bytes));
}

std::string FileNameBytes(const QString& name) {
    return QFile::encodeName(name).toStdString();
}

// Sets a number box from a slot, leaving it as it is for a text that is not a number.
void SetFromSlot(QSpinBox& box, const std::string& text) {
    if (std::optional<int> value = ParseWholeNumber(text)) box.setValue(*value);
}

void SetFromColourText(ColorSwatch& swatch, const std::string& text) {
    if (std::optional<ColorValue> colour = StringToColor(text)) swatch.SetColour(*colour);
}

QPushButton* MakeButton(const QString& caption, const char* name, QWidget* parent) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

}  // namespace

OptionsDialog::OptionsDialog(ShowSettings& settings, EffectChooser& chooser,
                             platform::Dialogs& dialogs, std::unique_ptr<DurationReader> durations,
                             QWidget* parent)
    : QDialog(parent),
      m_settings(settings),
      m_chooser(chooser),
      m_dialogs(dialogs),
      m_durations(std::move(durations)) {
    setWindowTitle("Options");
    if (!m_durations) m_durations = std::make_unique<MediaDurationReader>();
    m_durations->OnAnswer = [this](const std::string& path, std::optional<int64_t> ms) {
        m_asked.erase(path);
        m_lengths[path] = ms;
        UpdateSummary();
    };

    m_pages = new QTabWidget(this);
    m_pages->setObjectName("pages");
    m_pages->addTab(BuildMainPage(), "Main");
    m_pages->addTab(BuildMusicPage(), "Music");
    m_pages->addTab(BuildAdvancedPage(), "Advanced");

    auto* setDefaults = MakeButton("Set defaults", "setDefaultsButton", this);
    connect(setDefaults, &QPushButton::clicked, this, [this] { SetDefaults(); });
    auto* buttons = new QDialogButtonBox(this);
    auto* ok = buttons->addButton("OK", QDialogButtonBox::AcceptRole);
    ok->setObjectName("okButton");
    ok->setDefault(true);
    auto* cancel = buttons->addButton("Cancel", QDialogButtonBox::RejectRole);
    cancel->setObjectName("cancelButton");
    cancel->setAutoDefault(false);
    connect(ok, &QPushButton::clicked, this, [this] { Accept(); });
    connect(cancel, &QPushButton::clicked, this, [this] { Cancel(); });

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(setDefaults);
    bottom->addStretch(1);
    bottom->addWidget(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pages);
    layout->addLayout(bottom);

    UpdateEnabling();
    UpdateSummary();
}

OptionsDialog::~OptionsDialog() = default;

QWidget* OptionsDialog::BuildMainPage() {
    auto* page = new QWidget;

    auto* advance = new QGroupBox("Slide advancement", page);
    m_automaticRadio = new QRadioButton("Automatic after", advance);
    m_automaticRadio->setObjectName("automaticRadio");
    m_delaySpin = new QSpinBox(advance);
    m_delaySpin->setObjectName("delaySpin");
    m_delaySpin->setRange(1, 100);
    m_delaySpin->setValue(1);
    m_manualRadio = new QRadioButton("Manual after keyboard/mouse input ", advance);
    m_manualRadio->setObjectName("manualRadio");
    auto* advanceLayout = new QGridLayout(advance);
    advanceLayout->addWidget(m_automaticRadio, 0, 0);
    advanceLayout->addWidget(m_delaySpin, 0, 1);
    advanceLayout->addWidget(new QLabel("s", advance), 0, 2);
    advanceLayout->addWidget(m_manualRadio, 1, 0, 1, 3);
    advanceLayout->setColumnStretch(3, 1);
    for (QRadioButton* radio : {m_automaticRadio, m_manualRadio})
        connect(radio, &QRadioButton::toggled, this, [this] {
            UpdateEnabling();
            UpdateSummary();
        });
    connect(m_delaySpin, &QSpinBox::valueChanged, this, [this] { UpdateSummary(); });

    auto* size = new QGroupBox("Size and shadow", page);
    m_fitRadio = new QRadioButton("Fit to screen", size);
    m_fitRadio->setObjectName("fitRadio");
    m_sizeSpin = new QSpinBox(size);
    m_sizeSpin->setObjectName("sizeSpin");
    m_sizeSpin->setRange(1, 100);
    m_sizeSpin->setValue(100);
    m_noStretchRadio = new QRadioButton("Do not stretch", size);
    m_noStretchRadio->setObjectName("noStretchRadio");
    m_shadowCheck = new QCheckBox("Shadow", size);
    m_shadowCheck->setObjectName("shadowCheck");
    auto* sizeLayout = new QGridLayout(size);
    sizeLayout->addWidget(m_fitRadio, 0, 0);
    sizeLayout->addWidget(m_sizeSpin, 0, 1);
    sizeLayout->addWidget(new QLabel("%", size), 0, 2);
    sizeLayout->addWidget(m_noStretchRadio, 1, 0, 1, 3);
    sizeLayout->addWidget(m_shadowCheck, 2, 0, 1, 3);
    sizeLayout->setColumnStretch(3, 1);

    auto* effects = new QGroupBox("Transition effects", page);
    m_randomEffectsRadio = new QRadioButton("Random effects", effects);
    m_randomEffectsRadio->setObjectName("randomEffectsRadio");
    m_noEffectsRadio = new QRadioButton("No effects (quick)", effects);
    m_noEffectsRadio->setObjectName("noEffectsRadio");
    auto* select = MakeButton("Select", "selectEffectsButton", effects);
    connect(select, &QPushButton::clicked, this, [this] { SelectEffects(); });
    auto* effectsLayout = new QGridLayout(effects);
    effectsLayout->addWidget(m_randomEffectsRadio, 0, 0);
    effectsLayout->addWidget(select, 0, 1);
    effectsLayout->addWidget(m_noEffectsRadio, 1, 0);
    effectsLayout->setColumnStretch(2, 1);

    auto* layout = new QVBoxLayout(page);
    layout->addWidget(advance);
    layout->addWidget(size);
    layout->addWidget(effects);
    layout->addStretch(1);
    return page;
}

QWidget* OptionsDialog::BuildMusicPage() {
    auto* page = new QWidget;
    auto* music = new QGroupBox("Background music", page);
    m_playMusicCheck = new QCheckBox("Play backgound music", music);
    m_playMusicCheck->setObjectName("playMusicCheck");
    connect(m_playMusicCheck, &QCheckBox::toggled, this, [this] { UpdateEnabling(); });
    m_repeatMusicCheck = new QCheckBox("Repeat music after playing", music);
    m_repeatMusicCheck->setObjectName("repeatMusicCheck");
    m_musicList = new QListWidget(music);
    m_musicList->setObjectName("musicList");
    m_musicList->setSelectionMode(QAbstractItemView::SingleSelection);
    m_musicList->installEventFilter(this);
    m_musicSummary = new QLabel(music);
    m_musicSummary->setObjectName("musicSummary");

    m_musicUpButton = MakeButton("Up", "musicUpButton", music);
    m_musicDownButton = MakeButton("Down", "musicDownButton", music);
    m_musicAddButton = MakeButton("Add", "musicAddButton", music);
    m_musicRemoveButton = MakeButton("Remove", "musicRemoveButton", music);
    m_musicClearButton = MakeButton("Clear", "musicClearButton", music);
    connect(m_musicUpButton, &QPushButton::clicked, this, [this] { MoveMusicUp(); });
    connect(m_musicDownButton, &QPushButton::clicked, this, [this] { MoveMusicDown(); });
    connect(m_musicAddButton, &QPushButton::clicked, this, [this] { AddMusic(); });
    connect(m_musicRemoveButton, &QPushButton::clicked, this, [this] { RemoveMusic(); });
    connect(m_musicClearButton, &QPushButton::clicked, this, [this] { ClearMusic(); });

    auto* buttons = new QVBoxLayout;
    for (QPushButton* button : {m_musicUpButton, m_musicDownButton, m_musicAddButton,
                                m_musicRemoveButton, m_musicClearButton})
        buttons->addWidget(button);
    buttons->addStretch(1);
    auto* listRow = new QHBoxLayout;
    listRow->addWidget(m_musicList, 1);
    listRow->addLayout(buttons);
    auto* musicLayout = new QVBoxLayout(music);
    musicLayout->addWidget(m_playMusicCheck);
    musicLayout->addWidget(m_repeatMusicCheck);
    musicLayout->addLayout(listRow, 1);
    musicLayout->addWidget(m_musicSummary);

    auto* layout = new QVBoxLayout(page);
    layout->addWidget(music);
    return page;
}

QWidget* OptionsDialog::BuildAdvancedPage() {
    auto* page = new QWidget;

    auto* viewer = new QGroupBox("Viewer settings ", page);
    m_viewerFilterBox = new QComboBox(viewer);
    m_viewerFilterBox->setObjectName("viewerFilterBox");
    for (const auto& [description, masks] : FilterEntries(kViewerFilter))
        m_viewerFilterBox->addItem(description, masks);
    auto* viewerLayout = new QHBoxLayout(viewer);
    viewerLayout->addWidget(new QLabel("Set filter for viewer", viewer));
    viewerLayout->addWidget(m_viewerFilterBox, 1);

    auto* background = new QGroupBox("Background options", page);
    m_colorsRadio = new QRadioButton("Background colors", background);
    m_colorsRadio->setObjectName("colorsRadio");
    m_topSwatch = new ColorSwatch(m_dialogs, kTopColourAtCreation, background);
    m_topSwatch->setObjectName("topSwatch");
    m_bottomSwatch = new ColorSwatch(m_dialogs, kBottomColourAtCreation, background);
    m_bottomSwatch->setObjectName("bottomSwatch");
    m_imageRadio = new QRadioButton("Background image", background);
    m_imageRadio->setObjectName("imageRadio");
    m_backFileEdit = new QLineEdit(kSelectImage, background);
    m_backFileEdit->setObjectName("backFileEdit");
    m_browseButton = new QToolButton(background);
    m_browseButton->setObjectName("browseButton");
    m_browseButton->setText("...");
    connect(m_browseButton, &QToolButton::clicked, this, [this] { BrowseBackground(); });
    m_placementBox = new QComboBox(background);
    m_placementBox->setObjectName("placementBox");
    m_placementBox->setPlaceholderText("Select mode");
    m_placementBox->addItems({"Tile", "Center", "Stretch"});
    m_placementBox->setCurrentIndex(0);
    for (QRadioButton* radio : {m_colorsRadio, m_imageRadio})
        connect(radio, &QRadioButton::toggled, this, [this] { UpdateEnabling(); });
    auto* swatches = new QHBoxLayout;
    swatches->addWidget(m_topSwatch);
    swatches->addWidget(m_bottomSwatch);
    swatches->addStretch(1);
    auto* file = new QHBoxLayout;
    file->setSpacing(2);
    file->addWidget(m_backFileEdit, 1);
    file->addWidget(m_browseButton);
    auto* backgroundLayout = new QGridLayout(background);
    backgroundLayout->addWidget(m_colorsRadio, 0, 0);
    backgroundLayout->addLayout(swatches, 0, 1);
    backgroundLayout->addWidget(m_imageRadio, 1, 0);
    backgroundLayout->addLayout(file, 1, 1);
    backgroundLayout->addWidget(m_placementBox, 2, 1, Qt::AlignLeft);
    backgroundLayout->setColumnStretch(1, 1);

    auto* general = new QGroupBox("General settings", page);
    m_loopCheck = new QCheckBox("Loop slide show", general);
    m_loopCheck->setObjectName("loopCheck");
    m_captionCheck = new QCheckBox("Show image filename: color", general);
    m_captionCheck->setObjectName("captionCheck");
    m_captionSwatch = new ColorSwatch(m_dialogs, kCaptionColourAtCreation, general);
    m_captionSwatch->setObjectName("captionSwatch");
    auto* generalLayout = new QGridLayout(general);
    generalLayout->addWidget(m_loopCheck, 0, 0, 1, 2);
    generalLayout->addWidget(m_captionCheck, 1, 0);
    generalLayout->addWidget(m_captionSwatch, 1, 1);
    generalLayout->setColumnStretch(2, 1);

    auto* layout = new QVBoxLayout(page);
    layout->addWidget(viewer);
    layout->addWidget(background);
    layout->addWidget(general);
    layout->addStretch(1);
    return page;
}

void OptionsDialog::SetPictureCount(int count) {
    m_pictureCount = count;
    UpdateSummary();
}

bool OptionsDialog::Open(Page page) {
    BeginEdit(page);
    return exec() == QDialog::Accepted;
}

void OptionsDialog::BeginEdit(Page page) {
    m_musicBackup = m_music;
    // Files may have changed since the last opening; read their lengths again.
    m_lengths.clear();
    LoadControls();
    RequestLengths();
    UpdateSummary();
    m_pages->setCurrentIndex(int(page));
}

void OptionsDialog::LoadControls() {
    const ShowSettings& s = m_settings;
    if (s.ManualAdvance()) {
        m_manualRadio->setChecked(true);
    } else {
        m_automaticRadio->setChecked(true);
        SetFromSlot(*m_delaySpin, s.Slot(kAdvanceSlot));
    }

    if (s.FitToScreen()) {
        SetFromSlot(*m_sizeSpin, s.Slot(kSizeSlot));
        m_fitRadio->setChecked(true);
    } else {
        m_noStretchRadio->setChecked(true);
    }

    if (s.Slot(kEffectModeSlot) == kNoEffect) m_noEffectsRadio->setChecked(true);
    if (s.Slot(kEffectModeSlot) == kRandom) m_randomEffectsRadio->setChecked(true);

    m_playMusicCheck->setChecked(s.MusicOn());
    if (!s.MusicOn()) m_repeatMusicCheck->setChecked(false);
    if (s.Slot(kMusicModeSlot) == kRepeatMusic) m_repeatMusicCheck->setChecked(true);
    if (s.Slot(kMusicModeSlot) == kNoRepeat) m_repeatMusicCheck->setChecked(false);

    if (s.Slot(kBackKindSlot) == kBackFile) {
        m_imageRadio->setChecked(true);
        m_loadedBackFile = s.Slot(kBackDataSlot);
        m_backFileEdit->setText(DisplayName(m_loadedBackFile));
        const int placement =
            m_placementBox->findText(QString::fromStdString(s.Slot(kPlacementSlot)),
                                     Qt::MatchExactly | Qt::MatchCaseSensitive);
        if (placement >= 0) m_placementBox->setCurrentIndex(placement);
    } else if (s.Slot(kBackKindSlot) == kColor) {
        m_colorsRadio->setChecked(true);
        const ColorPairTexts pair = SplitColorPair(s.Slot(kBackDataSlot));
        SetFromColourText(*m_topSwatch, pair.Top);
        SetFromColourText(*m_bottomSwatch, pair.Bottom);
    }

    m_loopCheck->setChecked(s.Loops());

    m_captionCheck->setChecked(s.CaptionOn());
    if (s.CaptionOn()) SetFromColourText(*m_captionSwatch, s.Slot(kCaptionSlot));

    UpdateEnabling();
    m_shadowCheck->setChecked(s.ShadowOn());
}

void OptionsDialog::UpdateEnabling() {
    m_delaySpin->setEnabled(m_automaticRadio->isChecked());
    const bool music = m_playMusicCheck->isChecked();
    for (QWidget* control :
         std::initializer_list<QWidget*>{m_musicList, m_musicUpButton, m_musicDownButton,
                                         m_musicAddButton, m_musicRemoveButton, m_musicClearButton})
        control->setEnabled(music);
    const bool image = m_imageRadio->isChecked();
    for (QWidget* control :
         std::initializer_list<QWidget*>{m_backFileEdit, m_browseButton, m_placementBox})
        control->setEnabled(image);
}

std::string OptionsDialog::BackgroundFileName() const {
    const QString shown = m_backFileEdit->text();
    if (!m_loadedBackFile.empty() && shown == DisplayName(m_loadedBackFile))
        return m_loadedBackFile;
    return FileNameBytes(shown);
}

void OptionsDialog::Accept() {
    if (m_imageRadio->isChecked()) {
        // A folder of that name is no picture either.
        std::error_code error;
        if (!std::filesystem::is_regular_file(BackgroundFileName(), error)) {
            m_dialogs.Inform(this, kNoBackgroundFile);
            m_pages->setCurrentIndex(int(Page::Advanced));
            return;
        }
    }
    ShowSettings& s = m_settings;
    s.SetSlot(kAdvanceSlot, m_automaticRadio->isChecked() ? std::to_string(m_delaySpin->value())
                                                          : std::string(kManual));
    s.SetSlot(kSizeSlot,
              m_fitRadio->isChecked() ? std::to_string(m_sizeSpin->value()) : std::string(kNo));
    s.SetSlot(kEffectModeSlot, std::string(m_noEffectsRadio->isChecked() ? kNoEffect : kRandom));
    if (m_playMusicCheck->isChecked()) {
        s.SetSlot(kMusicModeSlot,
                  std::string(m_repeatMusicCheck->isChecked() ? kRepeatMusic : kNoRepeat));
    } else {
        s.SetSlot(kMusicModeSlot, std::string(kNoMusic));
        m_music.clear();
        ShowMusicList(-1);
    }
    if (m_colorsRadio->isChecked()) {
        s.SetSlot(kBackKindSlot, std::string(kColor));
        s.SetSlot(kBackDataSlot, JoinColorPair(m_topSwatch->Colour(), m_bottomSwatch->Colour()));
    } else if (m_imageRadio->isChecked()) {
        s.SetSlot(kBackDataSlot, BackgroundFileName());
        s.SetSlot(kBackKindSlot, std::string(kBackFile));
        if (m_placementBox->currentIndex() >= 0)
            s.SetSlot(kPlacementSlot, m_placementBox->currentText().toStdString());
    }
    s.SetSlot(kLoopSlot, std::string(m_loopCheck->isChecked() ? kLoop : kNo));
    s.SetSlot(kCaptionSlot, m_captionCheck->isChecked() ? ColorToString(m_captionSwatch->Colour())
                                                        : std::string(kNo));
    s.SetSlot(kShadowSlot, std::string(m_shadowCheck->isChecked() ? kShadow : kNo));
    accept();
}

void OptionsDialog::Cancel() {
    m_music = m_musicBackup;
    ShowMusicList(-1);
    UpdateSummary();
    reject();
}

void OptionsDialog::SetDefaults() {
    m_settings.WriteSetDefaults();
    m_chooser.ResetToStandardSet();
    // Only the controls are reloaded: the music backup stays the one taken on opening, so
    // "Cancel" still undoes every edit of the list.
    LoadControls();
    UpdateSummary();
}

void OptionsDialog::SelectEffects() {
    m_chooser.Open();
}

void OptionsDialog::BrowseBackground() {
    if (std::optional<QString> path =
            m_dialogs.OpenFile(this, FileDialogFilter(kPictureFilter), m_programFolder))
        m_backFileEdit->setText(*path);
}

void OptionsDialog::AddMusic() {
    const QStringList paths = m_dialogs.OpenFiles(this, FileDialogFilter(kSoundFilter), QString());
    if (paths.isEmpty()) return;
    for (const QString& path : paths) m_music.push_back(FileNameBytes(path));
    ShowMusicList(HighlightedMusicRow());
    RequestLengths();
    UpdateSummary();
}

void OptionsDialog::RemoveMusic() {
    const int row = HighlightedMusicRow();
    if (row < 0) return;
    m_music.erase(m_music.begin() + row);
    ShowMusicList(-1);
    UpdateSummary();
}

void OptionsDialog::MoveMusicUp() {
    const int row = HighlightedMusicRow();
    if (m_music.size() < 2 || row < 1) return;
    std::swap(m_music[size_t(row)], m_music[size_t(row - 1)]);
    ShowMusicList(row - 1);
}

void OptionsDialog::MoveMusicDown() {
    const int row = HighlightedMusicRow();
    if (m_music.size() < 2 || row < 0 || row + 1 >= int(m_music.size())) return;
    std::swap(m_music[size_t(row)], m_music[size_t(row + 1)]);
    ShowMusicList(row + 1);
}

void OptionsDialog::ClearMusic() {
    m_music.clear();
    ShowMusicList(-1);
    UpdateSummary();
}

void OptionsDialog::SetMusicList(core::StringList paths) {
    m_music = std::move(paths);
    ShowMusicList(-1);
    RequestLengths();
    UpdateSummary();
}

QString OptionsDialog::ViewerMask() const {
    return m_viewerFilterBox->currentData().toString();
}

OptionsDialog::Page OptionsDialog::CurrentPage() const {
    return Page(m_pages->currentIndex());
}

int OptionsDialog::HighlightedMusicRow() const {
    const QList<QListWidgetItem*> selected = m_musicList->selectedItems();
    return selected.isEmpty() ? -1 : m_musicList->row(selected.front());
}

void OptionsDialog::HighlightMusicRow(int row) {
    if (row < 0 || row >= m_musicList->count()) {
        m_musicList->clearSelection();
        return;
    }
    m_musicList->setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
}

QString OptionsDialog::MusicSummary() const {
    return m_musicSummary->text();
}

bool OptionsDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_musicList && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        RemoveMusic();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void OptionsDialog::ShowMusicList(int highlight) {
    m_musicList->clear();
    for (const std::string& path : m_music) m_musicList->addItem(DisplayName(path));
    HighlightMusicRow(highlight);
}

void OptionsDialog::RequestLengths() {
    for (const std::string& path : m_music) {
        if (m_lengths.count(path) || m_asked.count(path)) continue;
        m_asked.insert(path);
        m_durations->Request(path);
    }
}

void OptionsDialog::UpdateSummary() {
    MusicSummaryInput input;
    for (const std::string& path : m_music) {
        auto known = m_lengths.find(path);
        input.MusicLengthsMs.push_back(known == m_lengths.end() ? std::nullopt : known->second);
    }
    input.Pictures = m_pictureCount;
    if (m_automaticRadio->isChecked()) input.SecondsPerPicture = m_delaySpin->value();
    m_musicSummary->setText(QString::fromStdString(MusicSummaryText(input)));
}

}  // namespace settings

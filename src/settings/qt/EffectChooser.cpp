#include "settings/qt/EffectChooser.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>
#include <exception>
#include <functional>
#include <string>

#include "platform/Dialogs.h"
#include "settings/ShowSettings.h"
#include "transitions/EffectTable.h"
#include "transitions/qt/QtControl.h"

// The sample picture lives in this static library's resources, which the linker drops
// unless something names them.
static void InitSettingsResources() {
    Q_INIT_RESOURCE(SettingsResources);
}

namespace settings {

namespace {

constexpr int kPanelWidth = 209;
constexpr int kPanelHeight = 161;

// The panel the previews play on: the window colour, a lowered bevel and its caption.
class PreviewArea final : public QFrame {
public:
    explicit PreviewArea(QWidget* parent) : QFrame(parent) {
        setFrameStyle(QFrame::Panel | QFrame::Sunken);
        setLineWidth(1);
        setFixedSize(kPanelWidth, kPanelHeight);
        setCursor(Qt::PointingHandCursor);
        setBackgroundRole(QPalette::Base);
        setAutoFillBackground(true);
    }

    std::function<void()> OnClick;

protected:
    void paintEvent(QPaintEvent* event) override {
        QFrame::paintEvent(event);
        QPainter painter(this);
        painter.setPen(palette().color(QPalette::Text));
        painter.drawText(contentsRect(), Qt::AlignCenter, "Click here to preview");
    }
    void mousePressEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton && OnClick) OnClick();
    }
};

// The row an effect-set line names, or -1 for a line that names none.
int RowOfLine(const std::string& line) {
    const std::optional<int> row = ParseWholeNumber(line);
    return row && *row >= 0 && *row < EffectChooser::kRowCount ? *row : -1;
}

}  // namespace

EffectChooser::EffectChooser(platform::Dialogs& dialogs, QWidget* parent)
    : QDialog(parent), m_dialogs(dialogs) {
    setWindowTitle("Select effects");
    InitSettingsResources();

    transitions::RegisterAllEffectClasses();
    const std::vector<transitions::StoredEffect> table = transitions::ChooserEffectTable();
    transitions::LoadEffectList(m_previewEffects, table);

    auto* group = new QGroupBox("Transition effects", this);
    auto* groupLayout = new QVBoxLayout(group);
    m_list = new QListWidget(group);
    m_list->setObjectName("effectList");
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    for (int row = 0; row < kRowCount; ++row) {
        auto* item =
            new QListWidgetItem(QString::fromStdString(table[size_t(row)].Caption), m_list);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
    // Every row in sight, no scrolling.
    m_list->setMinimumHeight(m_list->sizeHintForRow(0) * kRowCount + 2 * m_list->frameWidth() + 4);
    groupLayout->addWidget(m_list);
    connect(m_list, &QListWidget::itemChanged, this, [this] {
        if (!m_loadingTicks) ShowPreset(Preset::None);
    });
    connect(m_list, &QListWidget::itemDoubleClicked, this, [this] { PlayPreview(); });

    auto* presetLabel = new QLabel("Presets:", this);
    QFont bold = presetLabel->font();
    bold.setBold(true);
    presetLabel->setFont(bold);
    m_presetBox = new QComboBox(this);
    m_presetBox->setObjectName("presetBox");
    m_presetBox->addItems({"Standart set", "Select all", "Another set"});
    connect(m_presetBox, &QComboBox::activated, this,
            [this](int index) { ApplyPreset(Preset(index)); });

    auto* panel = new PreviewArea(this);
    panel->OnClick = [this] { PlayPreview(); };
    m_panel = panel;
    m_sample = new QLabel(m_panel);
    m_sample->setPixmap(QPixmap(":/settings/preview-sample.jpg"));
    m_sample->setScaledContents(true);
    m_sample->setGeometry(m_panel->contentsRect());
    m_sample->hide();
    m_panelControl = std::make_unique<transitions::QtControl>(*m_panel);
    m_panelControl->OnFrame = [this](const raster::Bitmap& canvas, const core::Rect& area) {
        if (OnPreviewFrame) OnPreviewFrame(canvas, area);
    };

    auto* clear = new QPushButton("Clear", this);
    clear->setObjectName("clearButton");
    clear->setAutoDefault(false);
    connect(clear, &QPushButton::clicked, this, [this] { ClearTicks(); });
    auto* buttons = new QDialogButtonBox(this);
    auto* ok = buttons->addButton("OK", QDialogButtonBox::AcceptRole);
    ok->setObjectName("okButton");
    ok->setDefault(true);
    auto* cancel = buttons->addButton("Cancel", QDialogButtonBox::RejectRole);
    cancel->setObjectName("cancelButton");
    connect(ok, &QPushButton::clicked, this, [this] {
        StoreTicks();
        accept();
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* side = new QVBoxLayout;
    side->addWidget(presetLabel);
    side->addWidget(m_presetBox);
    side->addSpacing(8);
    side->addWidget(m_panel);
    side->addStretch(1);
    side->addWidget(clear, 0, Qt::AlignLeft);
    auto* top = new QHBoxLayout;
    top->addWidget(group, 1);
    top->addLayout(side);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(buttons);

    // The program starts with the standard set.
    TickStandardSet();
    StoreTicks();
}

EffectChooser::~EffectChooser() = default;

bool EffectChooser::Open() {
    BeginEdit();
    return exec() == QDialog::Accepted;
}

void EffectChooser::BeginEdit() {
    m_loadingTicks = true;
    SetAllTicks(false);
    for (const std::string& line : m_effectSet)
        if (const int row = RowOfLine(line); row >= 0)
            m_list->item(row)->setCheckState(Qt::Checked);
    m_loadingTicks = false;
    ShowPreset(Preset::Standard);
}

void EffectChooser::ResetToStandardSet() {
    ApplyPreset(Preset::Standard);
    ShowPreset(Preset::Standard);
    StoreTicks();
}

void EffectChooser::ChoosePreset(Preset preset) {
    ShowPreset(preset);
    ApplyPreset(preset);
}

void EffectChooser::ClearTicks() {
    m_loadingTicks = true;
    SetAllTicks(false);
    m_loadingTicks = false;
}

void EffectChooser::StoreTicks() {
    m_effectSet.clear();
    for (int row = 0; row < kRowCount; ++row)
        if (Ticked(row)) m_effectSet.push_back(std::to_string(row));
}

void EffectChooser::PlayPreview() {
    const int row = HighlightedRow();
    if (row < 0) {
        m_dialogs.Inform(this, "Please, select transition.");
        return;
    }
    transitions::TransitionEffect* effect = m_previewEffects.Transitions(row);
    if (!effect || m_previewing) return;
    m_previewing = true;
    const core::Rect area{0, 0, m_panel->width(), m_panel->height()};
    try {
        // Once from the empty panel to the sample, then back.
        bool cut = false;
        if (effect->Prepare(*m_panelControl, area)) {
            m_sample->show();
            effect->Execute();
            cut = effect->Aborted();
        }
        effect->Unprepare();
        // Escape ends the whole preview, not just its first half.
        if (!cut && effect->Prepare(*m_panelControl, area)) {
            m_sample->hide();
            effect->Execute();
        }
        effect->Unprepare();
    } catch (const std::exception& e) {
        effect->Unprepare();
        m_dialogs.Inform(this, QString::fromStdString(e.what()));
    }
    m_sample->hide();
    m_previewing = false;
}

bool EffectChooser::Ticked(int row) const {
    return m_list->item(row)->checkState() == Qt::Checked;
}

void EffectChooser::SetTicked(int row, bool ticked) {
    m_list->item(row)->setCheckState(ticked ? Qt::Checked : Qt::Unchecked);
}

int EffectChooser::HighlightedRow() const {
    const QList<QListWidgetItem*> selected = m_list->selectedItems();
    return selected.isEmpty() ? -1 : m_list->row(selected.front());
}

void EffectChooser::Highlight(int row) {
    if (row < 0) {
        m_list->clearSelection();
        return;
    }
    m_list->setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
}

EffectChooser::Preset EffectChooser::ShownPreset() const {
    return Preset(m_presetBox->currentIndex());
}

void EffectChooser::ApplyPreset(Preset preset) {
    m_loadingTicks = true;
    SetAllTicks(false);
    if (preset == Preset::Standard) TickStandardSet();
    if (preset == Preset::All) SetAllTicks(true);
    m_loadingTicks = false;
}

void EffectChooser::SetAllTicks(bool ticked) {
    for (int row = 0; row < kRowCount; ++row)
        m_list->item(row)->setCheckState(ticked ? Qt::Checked : Qt::Unchecked);
}

void EffectChooser::ShowPreset(Preset preset) {
    m_presetBox->setCurrentIndex(int(preset));
}

void EffectChooser::TickStandardSet() {
    for (const std::string& line : StandardEffectSet())
        if (const int row = RowOfLine(line); row >= 0)
            m_list->item(row)->setCheckState(Qt::Checked);
}

}  // namespace settings

// The effects dialog's menus, tool bar and pages. Each page is built from
// its row of EffectPages: a bar with its edit per numeric value, then the
// check boxes, radio groups and colour buttons; a few pages add their own.
#include "imaging/common/ColorRef.h"
#include "manipulation/EffectPages.h"
#include "manipulation/TEffectForm.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSlider>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QToolButton>
#include <cmath>

using namespace effectpages;

namespace {

constexpr int kPageWidth = 360;

// Digits, signs, the decimal separator and control keys other than Enter
// pass; the tenth-step edits also pass "."; anything else beeps.
class KeyFilter : public QObject {
  public:
    KeyFilter(QObject* parent, bool tenths) : QObject(parent), FTenths(tenths) {}

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        const QString text = key->text();
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) return false;
        if (text.isEmpty() || !text[0].isPrint()) return false; // control keys
        const QChar c = text[0];
        const QChar separator = QLocale().decimalPoint().at(0);
        if (c.isDigit() || c == '+' || c == '-' || c == separator || (FTenths && c == '.'))
            return false;
        QApplication::beep();
        return true;
    }

  private:
    bool FTenths;
};

QToolButton* SpeedButton(QWidget* parent, QHBoxLayout* row, const char* name,
                         const QString& caption, QStyle::StandardPixmap icon, const QString& hint) {
    auto* b = new QToolButton(parent);
    b->setObjectName(name);
    b->setText(caption);
    b->setIcon(parent->style()->standardIcon(icon));
    b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    b->setAutoRaise(true);
    if (!hint.isEmpty()) {
        b->setToolTip(hint);
        b->setStatusTip(hint);
    }
    row->addWidget(b);
    return b;
}

} // namespace

void TEffectForm::CreateMenus() {
    MainMenu = new QMenuBar(this);
    FileMenu = MainMenu->addMenu("&File");
    ApplyItem = FileMenu->addAction("Apply");
    PreviewItem = FileMenu->addAction("Preview");
    ResetToDefault = FileMenu->addAction("Reset to default");
    SaveSettingsOnExit = FileMenu->addAction("Save settings on exit");
    SaveSettingsOnExit->setCheckable(true);
    SaveSettingsOnExit->setChecked(true);
    FileMenu->addSeparator();
    ExitItem = FileMenu->addAction("Exit");
    connect(ApplyItem, &QAction::triggered, this, &TEffectForm::ApplyClick);
    connect(PreviewItem, &QAction::triggered, this, &TEffectForm::PreviewClick);
    connect(ResetToDefault, &QAction::triggered, this, &TEffectForm::ResetToDefaultClick);
    connect(ExitItem, &QAction::triggered, this, &TEffectForm::CloseAndSaveClick);
    ImageMenu = MainMenu->addMenu("&Image");
    DeformationMenu = MainMenu->addMenu("&Deformation");
    CorrectionMenu = MainMenu->addMenu("&Correction");
    QMenu* menus[] = {ImageMenu, DeformationMenu, CorrectionMenu};
    for (const Page& page : Pages()) {
        // "&Transitions" is a command of the menu bar itself.
        QAction* item = page.menu == effectpages::TransitionsMenu
                            ? MainMenu->addAction("&Transitions")
                            : menus[page.menu]->addAction(page.caption);
        item->setCheckable(page.menu != effectpages::TransitionsMenu);
        PageItems.push_back(item);
        item->setObjectName(page.caption);
        const QString caption = page.caption;
        connect(item, &QAction::triggered, this, [this, caption] { ShowPage(caption); });
    }
}

void TEffectForm::CreateToolBar(QWidget* bar) {
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(2, 1, 2, 1);
    row->setSpacing(2);
    HSRubberband = SpeedButton(bar, row, "HSRubberband", "Hide Selection",
                               QStyle::SP_DialogNoButton, "Hide/Show Rubberband");
    HSRubberband->setCheckable(true);
    ResetSelection = SpeedButton(bar, row, "ResetSelection", "Reset Selection",
                                 QStyle::SP_TitleBarMaxButton, "Reset RubberBand to full image");
    ReloadBtn =
        SpeedButton(bar, row, "ReloadBtn", "Reload", QStyle::SP_BrowserReload, "Reload image");
    ReloadBtn->setEnabled(false);
    PreviewBtn =
        SpeedButton(bar, row, "PreviewBtn", "Preview", QStyle::SP_FileDialogContentsView, "");
    ApplyBtn = SpeedButton(bar, row, "ApplyBtn", "Apply", QStyle::SP_DialogApplyButton, "");
    StopBtn = SpeedButton(bar, row, "StopBtn", "Stop", QStyle::SP_BrowserStop,
                          "Stop Processing the image");
    StopBtn->setEnabled(false);
    CloseSaveBtn = SpeedButton(bar, row, "CloseSaveBtn", "Close and Save",
                               QStyle::SP_DialogSaveButton, "Close and apply all to main image");
    CloseBtn = SpeedButton(bar, row, "CloseBtn", "", QStyle::SP_DialogCloseButton,
                           "Close and do not save");
    row->addStretch(1);
    connect(HSRubberband, &QToolButton::clicked, this, &TEffectForm::HideSelectionClick);
    connect(ResetSelection, &QToolButton::clicked, this, &TEffectForm::ResetSelectionClick);
    connect(ReloadBtn, &QToolButton::clicked, this, &TEffectForm::ReloadClick);
    connect(PreviewBtn, &QToolButton::clicked, this, &TEffectForm::PreviewClick);
    connect(ApplyBtn, &QToolButton::clicked, this, &TEffectForm::ApplyClick);
    connect(StopBtn, &QToolButton::clicked, this, &TEffectForm::StopClick);
    connect(CloseSaveBtn, &QToolButton::clicked, this, &TEffectForm::CloseAndSaveClick);
    connect(CloseBtn, &QToolButton::clicked, this, &TEffectForm::CloseNoSaveClick);
}

void TEffectForm::AddBarPair(QWidget* page, int& y, const char* name, const char* label, int min,
                             int max, int position, bool tenths) {
    auto* caption = new QLabel(label, page);
    caption->setGeometry(8, y, 100, 22);
    auto* bar = new QSlider(Qt::Horizontal, page);
    bar->setObjectName(name);
    bar->setRange(min, max);
    bar->setValue(position);
    bar->setGeometry(110, y, 170, 22);
    auto* edit = new QLineEdit(page);
    edit->setObjectName(EditNameOf(name));
    edit->setGeometry(286, y, 64, 22);
    edit->installEventFilter(new KeyFilter(edit, tenths));
    const std::string key = name;
    auto show = [edit, tenths](int p) {
        edit->setText(tenths ? QString::asprintf("%3.2f", p / 10.0) : QString::number(p));
    };
    show(position);
    connect(bar, &QSlider::valueChanged, edit, [edit, show](int p) {
        if (!edit->hasFocus()) show(p);
    });
    connect(edit, &QLineEdit::editingFinished, this, [this, key] { EditChanged(key); });
    connect(edit, &QLineEdit::textEdited, this, [this, key] { EditChanged(key); });
    Bars[key] = bar;
    Edits[EditNameOf(name)] = edit;
    y += 28;
}

void TEffectForm::EditChanged(const std::string& name) {
    QSlider* bar = Bars.at(name);
    QLineEdit* edit = Edits.at(EditNameOf(name.c_str()));
    const bool tenths = std::any_of(Pages().begin(), Pages().end(), [&](const Page& p) {
        return std::any_of(p.bars.begin(), p.bars.end(),
                           [&](const Bar& b) { return name == b.name && b.tenths; });
    });
    QString text = edit->text().trimmed();
    if (text.isEmpty()) text = "0";
    if (text == "-") text = "-1";
    bool ok = false;
    const double typed = QLocale().toDouble(text, &ok);
    const double value = ok ? typed : text.toDouble(&ok);
    double v = ok ? value : 0;
    if (tenths) v = std::round(v * 10);
    const int clamped = int(std::clamp(v, double(bar->minimum()), double(bar->maximum())));
    bar->setValue(clamped);
    // What the edit shows once it settles: the clamped value.
    const QString shown =
        tenths ? QString::asprintf("%3.2f", clamped / 10.0) : QString::number(clamped);
    if (!tenths && (v != clamped || !ok || edit->text().trimmed() != shown)) edit->setText(shown);
    if (tenths && !edit->hasFocus()) edit->setText(shown);
}

void TEffectForm::AddColourButtons(QWidget* page, int& y, int which) {
    struct Choice {
        int flag;
        const char* caption;
        COLORREF* colour;
    } choices[] = {{Background, "Background Color", &BackgroundColor},
                   {Foreground, "Foreground Color", &ForegroundColor},
                   {Mask, "Mask Color", &MaskColor}};
    int x = 8;
    for (const Choice& c : choices) {
        if (!(which & c.flag)) continue;
        auto* b = new QPushButton(c.caption, page);
        b->setGeometry(x, y, 110, 25);
        COLORREF* colour = c.colour;
        connect(b, &QPushButton::clicked, this, [this, colour] {
            QColorDialog dialog(ToQColor(ColorToRGB(*colour)), this);
            dialog.setOption(QColorDialog::DontUseNativeDialog);
            if (dialog.exec() != QDialog::Accepted) return;
            const QColor chosen = dialog.selectedColor();
            *colour = RGB(uint8_t(chosen.red()), uint8_t(chosen.green()), uint8_t(chosen.blue()));
        });
        x += 116;
    }
    y += 32;
}

void TEffectForm::AddBordersControls(QWidget* page, int& y) {
    auto* label = new QLabel("Shape", page);
    label->setGeometry(8, y, 100, 22);
    BorderShape = new QComboBox(page);
    BorderShape->setObjectName("BorderShape");
    BorderShape->addItems({"None", "Rectangle", "Square", "RoundRect", "RoundSquare", "Ellipse",
                           "Circle", "TriangleLeft", "TriangleRight", "TriangleUp", "TriangleDown",
                           "Diamond", "Star", "PolyGon"});
    BorderShape->setGeometry(110, y, 170, 24);
    connect(BorderShape, &QComboBox::currentIndexChanged, this, [this] {
        Shape->SetShape(TMyShapeType(BorderShape->currentIndex()));
        PageChanged();
    });
    y += 30;
}

void TEffectForm::CreatePages() {
    PvPages = new QTabWidget(this);
    PvPages->setObjectName("PvPages");
    PvPages->setUsesScrollButtons(true);
    PvPages->setFixedWidth(kPageWidth + 24);
    for (const Page& spec : Pages()) {
        auto* scroll = new QScrollArea;
        auto* page = new QWidget;
        page->setObjectName(spec.caption);
        int y = 8;
        if (std::string(spec.caption) == "Borders") AddBordersControls(page, y);
        for (const Bar& b : spec.bars)
            AddBarPair(page, y, b.name, b.label, b.min, b.max, b.position, b.tenths);
        for (const Check& c : spec.checks) {
            auto* box = new QCheckBox(c.caption, page);
            box->setObjectName(c.name);
            box->setChecked(c.checked);
            box->setGeometry(8, y, kPageWidth - 16, 22);
            Checks[c.name] = box;
            y += 24;
        }
        for (const auto& group : spec.radioGroups) {
            auto* buttons = new QButtonGroup(page);
            int i = 0;
            for (const Radio& r : group) {
                auto* radio = new QRadioButton(r.caption, page);
                radio->setObjectName(r.name);
                radio->setChecked(i == 0);
                radio->setGeometry(8 + (i % 2) * 170, y, 165, 22);
                buttons->addButton(radio, i);
                Radios[r.name] = radio;
                if (i % 2 == 1 || i + 1 == int(group.size())) y += 24;
                ++i;
            }
            if (std::string(spec.caption) == "Transitions") FTransitionGroup = buttons;
            y += 6;
        }
        if (spec.colours) AddColourButtons(page, y, spec.colours);
        const std::string caption = spec.caption;
        if (caption == "Color Palette") AddPalettePage(page, y);
        if (caption == "Paste Image") AddPastePage(page, y);
        if (caption == "Color") {
            ColorDepthLabel = new QLabel(page);
            ColorDepthLabel->setObjectName("ColorDepthLabel");
            ColorDepthLabel->setWordWrap(true);
            ColorDepthLabel->setGeometry(8, y, kPageWidth - 16, 40);
            y += 44;
        }
        page->setMinimumSize(kPageWidth, y + 8);
        scroll->setWidget(page);
        scroll->setWidgetResizable(true);
        PvPages->addTab(scroll, spec.caption);
    }
    // Page specifics that follow a control.
    connect(Checks.at("Colors16M"), &QCheckBox::toggled, this, &TEffectForm::UpdateColorControls);
    for (const char* r : {"MotionZoom", "MotionRotate", "MotionLine"})
        connect(Radios.at(r), &QRadioButton::toggled, this, &TEffectForm::UpdateMotionControls);
    connect(Bars.at("brEdgeBar"), &QSlider::valueChanged, Shape, &ShapeImage::SetEdgeSize);
    connect(Bars.at("brAngleBar"), &QSlider::valueChanged, Shape, &ShapeImage::SetAngle);
    connect(Bars.at("brVectorsBar"), &QSlider::valueChanged, Shape, &ShapeImage::SetVectors);
    connect(Bars.at("brVectorSizeBar"), &QSlider::valueChanged, Shape, &ShapeImage::SetVectorP);
    connect(FTransitionGroup, &QButtonGroup::idClicked, this, &TEffectForm::TransitionClicked);
    connect(Bars.at("trDelayBar"), &QSlider::valueChanged, this,
            [this](int v) { TransitionDelay = v; });
    connect(Bars.at("trThickbar"), &QSlider::valueChanged, this,
            [this](int v) { TransitionThickness = v; });
    connect(PvPages, &QTabWidget::currentChanged, this, [this] { PageChanged(); });
}

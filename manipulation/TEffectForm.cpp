#include "manipulation/TEffectForm.h"

#include "app/ModalResult.h"
#include "imaging/animated/DuplicateGlobalBlock.h"
#include "imaging/common/ColorRef.h"
#include "manipulation/EffectPages.h"
#include "platform/Gdi.h"
#include "platform/GlobalBlock.h"
#include "platform/Profile.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFile>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QResizeEvent>
#include <QSlider>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <cmath>
#include <cstdlib>

namespace {

int Round(double v) {
    return int(std::lround(v));
}

} // namespace

TEffectForm::TEffectForm(QWidget* owner)
    : QDialog(owner), BackgroundColor(clBtnFace), ForegroundColor(clBtnFace), MaskColor(clBtnFace) {
    setObjectName("EffectForm");
    setWindowTitle("Filters and Effects");
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(2);
    CreateMenus();
    column->setMenuBar(MainMenu);
    auto* toolBar = new QFrame(this);
    toolBar->setFrameShape(QFrame::StyledPanel);
    CreateToolBar(toolBar);
    column->addWidget(toolBar);

    auto* middle = new QHBoxLayout;
    middle->setContentsMargins(4, 0, 4, 0);
    PreviewPane = new QFrame(this);
    PreviewPane->setObjectName("PreviewPane");
    PreviewPane->setFrameShape(QFrame::NoFrame);
    PreviewPane->setMinimumSize(320, 300);
    auto* paneColumn = new QVBoxLayout(PreviewPane);
    paneColumn->setContentsMargins(0, 0, 0, 0);
    PVPImage = new TPVPImage(PreviewPane);
    PVPImage->setObjectName("PVPImage");
    PVPImage->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    paneColumn->addWidget(PVPImage, 1);
    auto* fields = new QHBoxLayout;
    for (auto [edit, name, caption] :
         {std::tuple{&RLeftEdit, "RLeftEdit", "L:"}, std::tuple{&RTopEdit, "RTopEdit", "T:"},
          std::tuple{&RRightEdit, "RRightEdit", "R:"},
          std::tuple{&RBottomEdit, "RBottomEdit", "B:"}}) {
        auto* label = new QLabel(caption, PreviewPane);
        fields->addWidget(label);
        *edit = new QLineEdit(PreviewPane);
        // The caption shows and hides with its field.
        (*edit)->setProperty("caption", QVariant::fromValue<QObject*>(label));
        (*edit)->setObjectName(name);
        (*edit)->setReadOnly(true);
        (*edit)->setMaximumWidth(60);
        fields->addWidget(*edit);
    }
    fields->addStretch(1);
    paneColumn->addLayout(fields);
    middle->addWidget(PreviewPane, 1);

    Shape = new ShapeImage(this);
    CreatePages();
    middle->addWidget(PvPages);
    column->addLayout(middle, 1);

    pvStatus = new QStatusBar(this);
    pvStatus->setObjectName("pvStatus");
    pvStatusText = new QLabel(pvStatus);
    pvHintText = new QLabel(pvStatus);
    pvStatus->addWidget(pvStatusText, 1);
    pvStatus->addWidget(pvHintText, 2);
    pvProgress = new QProgressBar(pvStatus);
    pvProgress->setObjectName("pvProgress");
    pvProgress->setToolTip("Current status of the image handling");
    pvProgress->setRange(0, 100);
    pvProgress->setValue(0);
    pvProgress->setFixedWidth(150);
    pvStatus->addPermanentWidget(pvProgress);
    column->addWidget(pvStatus);

    // Hints of the controls show in the status bar's second panel.
    for (QWidget* w : findChildren<QWidget*>())
        w->installEventFilter(this);

    RubberBand = new TPVRubberBand(PVPImage, this,
                                   [this](int l, int t, int r, int b) { BandChanged(l, t, r, b); });
    PVPImage->OnPaint = [this](QPainter& p) { RubberBand->Draw(p); };
    PVPImage->OnMouseDown = [this](QMouseEvent* e) {
        if (FPaletteOnPage) {
            PickPreviewColour(e->position().toPoint());
            return;
        }
        if (PageUsesSelection() && RubberBand->Visible) RubberBand->MouseDown(e);
    };
    PVPImage->OnMouseMove = [this](QMouseEvent* e) {
        if (PageUsesSelection() && RubberBand->Visible) RubberBand->MouseMove(e);
    };
    PVPImage->OnMouseUp = [this](QMouseEvent* e) { RubberBand->MouseUp(e); };

    PastePreview = PastePreview ? PastePreview : new TPVPImage(this);
    ClipboardPoll = new QTimer(this);
    ClipboardPoll->setInterval(500);
    connect(ClipboardPoll, &QTimer::timeout, this, &TEffectForm::PollClipboard);

    // What "Reset to default" and a missing settings file go back to.
    for (const auto& [name, edit] : Edits)
        edit->setProperty("default", edit->text());
    for (const auto& [name, box] : Checks)
        box->setProperty("default", box->isChecked() ? "1" : "0");
    for (const auto& [name, radio] : Radios)
        radio->setProperty("default", radio->isChecked() ? "1" : "0");

    Selection = {0, 0, 320, 300};
    resize(820, 560);
    PageChanged();
}

TEffectForm::~TEffectForm() {
    ClipboardPoll->stop();
    if (SaveSettingsOnExit->isChecked())
        SaveSettings();
    else
        QFile::remove(QString::fromStdString(SettingsPath()));
    // Hidden while still whole: losing focus on the way out runs the edits' handlers.
    hide();
    PVPImage->ClearDib();
    PVPImage->SetEditDib(0);
    PastePreview->ClearDib();
    zp::GlobalBlock::freeFully(FPristine);
    zp::GlobalBlock::freeFully(FPasteSource);
    FWork.SetDib(nullptr);
}

std::string TEffectForm::SettingsPath() {
    return std::string(SettingsFolder()) + "/" + SettingsFileName;
}

void TEffectForm::SetWorkingDib(HGLOBAL dib) {
    FWork.OwnsDib = true;
    FWork.SetDib(dib ? GlobalLock(dib) : nullptr);
    FWorkWidth = FWork.Dib() ? FWork.Width() : 1;
    FWorkHeight = FWork.Dib() ? std::abs(FWork.Height()) : 1;
    FWorkBits = FWork.Dib() ? FWork.BitCount() : 24;
    // A picture handed in while shown gets its preview at once.
    if (FShown) {
        RebuildPreview();
        PageChanged();
    }
}

HGLOBAL TEffectForm::WorkingDib() const {
    return FWork.Dib() ? GlobalHandle(FWork.Dib()) : 0;
}

DllSP96::TFXMethod TEffectForm::CheckedTransition() const {
    const int id = FTransitionGroup->checkedId();
    return DllSP96::TFXMethod(id < 0 ? 0 : id);
}

void TEffectForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!FShown) {
        FShown = true;
        DoShow();
    }
}

void TEffectForm::DoShow() {
    // The pane has its size once the layout ran.
    layout()->activate();
    PVPImage->ClearDib();
    if (FWork.Dib()) {
        RebuildPreview();
        if (!PVPImage->DibBlock()) {
            QTimer::singleShot(0, this, [this] { done(mrCancel); });
            return;
        }
        WriteDefaultsIfMissing();
        LoadSettings();
        PlaceBand();
    }
    // The bars start from what the caller handed in.
    Bars.at("trDelayBar")->setValue(TransitionDelay);
    Bars.at("trThickbar")->setValue(TransitionThickness);
    SelectPaletteIndex(0);
    for (int i = 0; i < 6; ++i)
        if (Transitions[i]) FTransitionGroup->button(i)->setChecked(true);
    setCursor(RestoreCursor);
    PageChanged();
}

void TEffectForm::RebuildPreview() {
    zp::GlobalBlock::freeFully(FPristine);
    FPristine = 0;
    if (!FWork.Dib()) return;
    const int w = std::max(PVPImage->width(), 1), h = std::max(PVPImage->height(), 1);
    const HGLOBAL scaled = DllSP96::ScaleDib(WorkingDib(), w, h, FWorkBits);
    if (!scaled) {
        PVPImage->ClearDib();
        return;
    }
    FPristine = DuplicateGlobalBlock(scaled);
    if (FPaletteOnPage) {
        zp::GlobalBlock::freeFully(scaled);
    } else {
        PVPImage->SetDib(scaled, true);
    }
}

void TEffectForm::PlaceBand() {
    const double sx = double(PVPImage->width()) / FWorkWidth;
    const double sy = double(PVPImage->height()) / FWorkHeight;
    const int x = Round(sx * Selection.Left), y = Round(sy * Selection.Top);
    const int w = Round(sx * Selection.Right - x), h = Round(sy * Selection.Bottom - y);
    RubberBand->SetBand(QRect(x, y, std::max(w, 1), std::max(h, 1)));
}

void TEffectForm::SetSelection(int left, int top, int right, int bottom) {
    Selection = {left, top, right, bottom};
    PlaceBand();
    Selection = {left, top, right, bottom}; // the band's report rounds; keep what was asked
}

void TEffectForm::BandChanged(int left, int top, int right, int bottom) {
    const double sx = double(FWorkWidth) / std::max(PVPImage->width(), 1);
    const double sy = double(FWorkHeight) / std::max(PVPImage->height(), 1);
    Selection = {Round(sx * left), Round(sy * top), Round(sx * right), Round(sy * bottom)};
    RLeftEdit->setText(QString::number(Selection.Left));
    RTopEdit->setText(QString::number(Selection.Top));
    RRightEdit->setText(QString::number(Selection.Right));
    RBottomEdit->setText(QString::number(Selection.Bottom));
    if (FPasteMode) ShowPasteOverlay();
}

void TEffectForm::ShowPasteOverlay() {
    const QRect band = RubberBand->Band();
    PVPImage->OverlayRect = QRect(band.left(), band.top(), band.width(), band.height());
    PVPImage->Overlay = FPasteMode && FPasteSource;
    PVPImage->update();
}

void TEffectForm::PaneResized() {
    if (!FShown || FRunning || !FWork.Dib()) return;
    const DllSP96::Area keep = Selection;
    RebuildPreview();
    if (FPaletteOnPage) SetupPalettePage(true);
    Selection = keep;
    PlaceBand();
}

QString TEffectForm::CurrentPage() const {
    const int i = PvPages->currentIndex();
    return i < 0 ? QString() : PvPages->tabText(i);
}

bool TEffectForm::PageUsesSelection() const {
    const effectpages::Page* page = effectpages::FindPage(CurrentPage().toUtf8().constData());
    return page && page->usesSelection;
}

void TEffectForm::ShowPage(const QString& caption) {
    int index = 0;
    for (int i = 0; i < PvPages->count(); ++i)
        if (PvPages->tabText(i) == caption) index = i;
    if (PvPages->currentIndex() == index)
        PageChanged();
    else
        PvPages->setCurrentIndex(index);
}

void TEffectForm::UpdateDepthText() {
    QString text;
    switch (FWorkBits) {
    case 1:
        text = "Current displayed image has a palette of 1 color";
        break;
    case 4:
        text = "Current displayed image has a palette of 16 colors";
        break;
    case 8:
        text = "Current displayed image has a palette of 256 colors";
        break;
    default:
        text = "Current displayed image has milions of colors";
    }
    ColorDepthLabel->setText(text);
    QCheckBox* million = Checks.at("Colors16M");
    if (FWorkBits > 8) million->setChecked(false);
    million->setEnabled(FWorkBits <= 8);
    UpdateColorControls();
}

void TEffectForm::PageChanged() {
    if (FRunning) return;
    FPending = false;
    UpdateDepthText();
    const QString page = CurrentPage();
    const bool image = FWork.Dib() != nullptr;
    const bool uses = PageUsesSelection();
    HSRubberband->setEnabled(uses);
    PreviewBtn->setEnabled(image);
    ApplyBtn->setEnabled(image);
    CloseSaveBtn->setEnabled(image);
    PreviewItem->setEnabled(image);
    ApplyItem->setEnabled(image);

    FPasteMode = page == "Paste Image";
    if (FPasteMode) {
        PreviewBtn->setEnabled(false);
        PreviewItem->setEnabled(false);
        PollClipboard();
        ClipboardPoll->start();
    } else {
        ClipboardPoll->stop();
    }
    ShowPasteOverlay();
    if (page == "Borders") {
        Shape->SetShape(TMyShapeType(BorderShape->currentIndex()));
        const bool shape = image && BorderShape->currentIndex() != 0;
        PreviewBtn->setEnabled(shape);
        ApplyBtn->setEnabled(shape);
        PreviewItem->setEnabled(shape);
        ApplyItem->setEnabled(shape);
        UpdateBorderControls();
    }
    // Neither page has an operation to run.
    if (page == "Color Palette" || page == "Transitions") {
        PreviewBtn->setEnabled(false);
        ApplyBtn->setEnabled(false);
        PreviewItem->setEnabled(false);
        ApplyItem->setEnabled(false);
    }
    UpdateMotionControls();
    for (QAction* item : PageItems)
        item->setChecked(item->objectName() == page);

    SetupPalettePage(page == "Color Palette" && image && FWorkBits <= 8);
    UpdateBandVisibility();
    FLastPage = page;
}

void TEffectForm::UpdateBandVisibility() {
    const bool show = PageUsesSelection() && !HSRubberband->isChecked();
    RubberBand->Visible = show;
    for (QLineEdit* e : {RLeftEdit, RTopEdit, RRightEdit, RBottomEdit}) {
        e->setVisible(show);
        if (auto* label = qobject_cast<QWidget*>(e->property("caption").value<QObject*>()))
            label->setVisible(show);
    }
    HSRubberband->setText(HSRubberband->isChecked() ? "Show Selection" : "Hide Selection");
    PVPImage->update();
}

void TEffectForm::UpdateBorderControls() {
    const int shape = BorderShape->currentIndex();
    const bool polygon = shape == shPolyGon, star = shape == shStar || polygon;
    Bars.at("brAngleBar")->setVisible(polygon);
    Edits.at("brAngleEdit")->setVisible(polygon);
    for (const char* bar : {"brVectorsBar", "brVectorSizeBar"}) {
        Bars.at(bar)->setVisible(star);
        Edits.at(effectpages::EditNameOf(bar))->setVisible(star);
    }
}

void TEffectForm::UpdateMotionControls() {
    MotionKind = Radios.at("MotionRotate")->isChecked() ? 2
                 : Radios.at("MotionLine")->isChecked() ? 3
                                                        : 1;
    Bars.at("mtAnglebar")->setVisible(MotionKind != 1);
    Edits.at("mtAngleEdit")->setVisible(MotionKind != 1);
}

void TEffectForm::UpdateColorControls() {
    const bool million = Checks.at("Colors16M")->isChecked();
    Bars.at("crColorsBar")->setEnabled(!million);
    Edits.at("crColorsEdit")->setEnabled(!million);
    for (const char* r : {"crBayer", "crBurkes", "crFloyed", "crGrayScale"})
        Radios.at(r)->setEnabled(!million);
}

void TEffectForm::HideSelectionClick() {
    UpdateBandVisibility();
}

void TEffectForm::ResetSelectionClick() {
    RubberBand->SetBand(QRect(0, 0, PVPImage->width(), PVPImage->height()));
}

void TEffectForm::ReloadClick() {
    if (FPristine) PVPImage->SetDib(DuplicateGlobalBlock(FPristine), true);
    ReloadBtn->setEnabled(false);
    FPending = false;
}

void TEffectForm::CloseAndSaveClick() {
    if (FRunning) return;
    if (FPending && QMessageBox::information(
                        this, windowTitle(),
                        "There is still an action pending. Are you sure you want to exit ?",
                        QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
        return;
    done(mrOk);
}

void TEffectForm::CloseNoSaveClick() {
    if (FRunning) return;
    done(mrCancel);
}

void TEffectForm::closeEvent(QCloseEvent* event) {
    // Closing mid-run would free the picture the operation works on.
    if (FRunning) {
        FStop = true;
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

bool TEffectForm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Enter) {
        if (auto* w = qobject_cast<QWidget*>(watched)) pvHintText->setText(w->toolTip());
    } else if (event->type() == QEvent::Resize && watched == PVPImage) {
        PaneResized();
    }
    return QDialog::eventFilter(watched, event);
}

namespace {

void PresentTransition(void* user) {
    static_cast<TPVPImage*>(user)->repaint();
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

} // namespace

void TEffectForm::TransitionClicked(int method) {
    for (int i = 0; i < 6; ++i)
        Transitions[i] = i == method;
    if (method == DllSP96::FXNone || !PVPImage->DibBlock() || FRunning) return;
    const int w = PVPImage->width(), h = PVPImage->height();
    const HDC dc = CreateSurfaceDC(w, h);
    if (!dc) return;
    const QColor face = palette().color(QPalette::Window);
    std::fill_n(SurfaceDCBits(dc), int64_t(w) * h, face.rgb());
    SetSurfaceDCPresenter(dc, &PresentTransition, PVPImage);
    PVPImage->Surface = dc;
    DllSP96::FXSkipDib(DllSP96::TFXMethod(method), dc, PVPImage->DibBlock(), TransitionThickness,
                       TransitionDelay);
    PVPImage->Surface = 0;
    DeleteObject(dc);
    PVPImage->update();
}

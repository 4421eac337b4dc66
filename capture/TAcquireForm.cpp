#include "capture/TAcquireForm.h"

#include "app/ModalResult.h"
#include "bindings/CodecBinding.h"
#include "imaging/animated/DuplicateGlobalBlock.h"
#include "platform/GlobalBlock.h"
#include "platform/GlobalMemory.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QRadioButton>
#include <QStatusBar>
#include <QStyle>
#include <QToolButton>
#include <cstdlib>

namespace {

QToolButton* SpeedButton(QWidget* parent, const char* name, QStyle::StandardPixmap icon,
                         const QString& hint, int x) {
    auto* b = TToolDialog::Hinted(new QToolButton(parent), name, hint);
    b->setIcon(parent->style()->standardIcon(icon));
    b->setAutoRaise(true);
    b->setGeometry(x, 4, 25, 25);
    return b;
}

} // namespace

TAcquireForm::TAcquireForm(QWidget* parent, const char* name, const QString& caption, int width,
                           int height, const QString& requirement)
    : TToolDialog(parent, name, caption, width, height, ""),
      FWorkDib(std::make_unique<PVWebImg::PVTDib>()) {
    SelectSourceBtn =
        SpeedButton(Client, "SelectSourceBtn", QStyle::SP_ComputerIcon, "Select a Twain Source", 4);
    CloseWindow = SpeedButton(Client, "CloseWindow", QStyle::SP_DialogApplyButton,
                              "Accept and close window", 32);
    SpeedButton1 = SpeedButton(Client, "SpeedButton1", QStyle::SP_DialogCancelButton,
                               "Cancel and close window", 60);
    SpeedButton2 = SpeedButton(Client, "SpeedButton2", QStyle::SP_TrashIcon,
                               "Delete all frames in the buffer", 88);
    Label5 = Hinted(new QLabel(requirement, Client), "Label5");
    Label5->setGeometry(122, 4, width - 126, 25);
    ScanDocumentsBtn =
        Hinted(new QToolButton(Client), "ScanDocumentsBtn", "Scan Multiple Documents");
    ScanDocumentsBtn->setText("Acquire Images");
    ConvertTo = Hinted(new QGroupBox("Convert to", Client), "ConvertTo");
    Cls256 =
        Hinted(new QRadioButton("256 Colors", ConvertTo), "Cls256", "Generate a 256 Color palette");
    Cls256->setGeometry(8, 18, 100, 20);
    Cls256->setChecked(true);
    RadioButton6 = Hinted(new QRadioButton("16 Colors", ConvertTo), "RadioButton6",
                          "Generate a 16 Color palette");
    RadioButton6->setGeometry(8, 40, 100, 20);
    BufText = Hinted(new QLineEdit(Client), "BufText");
    BufText->setReadOnly(true);
    ProgressBar1 = Hinted(new QProgressBar(Client), "ProgressBar1");
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);
    StatusBar1 = Hinted(new QStatusBar(Client), "StatusBar1");
    StatusBar1->setSizeGripEnabled(false);
    StatusBar1->setGeometry(0, height - 20, width, 20);
    ShowBufferCount();

    connect(SelectSourceBtn, &QToolButton::clicked, this, &TAcquireForm::SelectSource);
    connect(CloseWindow, &QToolButton::clicked, this, &TAcquireForm::ExitBtnClick);
    connect(SpeedButton1, &QToolButton::clicked, this, &TAcquireForm::SpeedButton1Click);
    connect(SpeedButton2, &QToolButton::clicked, this, &TAcquireForm::SpeedButton2Click);
}

TAcquireForm::~TAcquireForm() = default;

void TAcquireForm::SelectSource() {
    SetControlsEnabled(false);
    DLL96V1::selectsource(reinterpret_cast<HWNDLIKE>(static_cast<QWidget*>(this)));
    SetControlsEnabled(true);
}

void TAcquireForm::ExitBtnClick() {
    done(mrOk);
}

void TAcquireForm::SpeedButton1Click() {
    done(mrCancel);
}

void TAcquireForm::reject() {
    done(mrCancel);
}

void TAcquireForm::done(int result) {
    if (FAcquiring) {
        // The run is inside this window's event loop: stop it; accepting
        // closes when it has returned, anything else (Escape, the close
        // box) only stops, keeping the pages that came.
        FStopRequested = true;
        if (result == mrOk) FResultAfterRun = result;
        return;
    }
    if (result != mrOk) ClearFrameBuffer();
    TToolDialog::done(result);
}

void TAcquireForm::showEvent(QShowEvent* event) {
    // Each showing works on the list the editor has just supplied.
    ShowBufferCount();
    TToolDialog::showEvent(event);
}

void TAcquireForm::SetControlsEnabled(bool enabled) {
    for (QWidget* w :
         {static_cast<QWidget*>(SelectSourceBtn), static_cast<QWidget*>(ScanDocumentsBtn),
          static_cast<QWidget*>(Cls256), static_cast<QWidget*>(RadioButton6),
          static_cast<QWidget*>(SpeedButton1), static_cast<QWidget*>(SpeedButton2)})
        w->setEnabled(enabled);
}

bool TAcquireForm::RunAcquisition(const std::function<bool()>& run) {
    SetControlsEnabled(false);
    QApplication::processEvents();
    FBusy = false;
    FStopRequested = false;
    FResultAfterRun = 0;
    FAcquiring = true;
    StatusBar1->showMessage("Press Esc to stop");
    const bool ok = run();
    StatusBar1->clearMessage();
    FAcquiring = false;
    SetControlsEnabled(true);
    // The last page may still be being stored by a callback further up.
    while (ok && FBusy)
        QApplication::processEvents();
    ProgressBar1->setValue(0);
    if (FResultAfterRun) done(FResultAfterRun);
    return ok;
}

void TAcquireForm::AppendFrameRecord(const std::string& name) {
    auto* record = new TMyGifAnimation;
    record->Name = name;
    if (FWorkDib->Dib()) {
        const int32_t width = FWorkDib->Width(), height = std::abs(FWorkDib->Height());
        const uint32_t colours = FWorkDib->ColorCount();
        const uint8_t count = colours >= 256 ? 255 : uint8_t(colours);
        record->ScreenWidth = uint16_t(width);
        record->ScreenHeight = uint16_t(height);
        record->ScreenColors = count;
        record->LocalColors = count;
        record->Width = int16_t(width);
        record->Height = int16_t(height);
        // A failed copy leaves the record without a picture.
        record->DibHandle = DuplicateGlobalBlock(GlobalHandle(FWorkDib->Dib()));
    }
    record->UseLocalPalette = 1;
    record->Delay = 10;
    if (FFrameList)
        FFrameList->push_back(record);
    else
        delete record;
    ShowBufferCount();
}

void TAcquireForm::ClearFrameBuffer() {
    if (FFrameList) {
        while (!FFrameList->empty()) {
            TMyGifAnimation* record = FFrameList->back();
            FFrameList->pop_back();
            zp::GlobalBlock::freeFully(record->DibHandle);
            delete record;
        }
        FFrameList->shrink_to_fit();
    }
    ShowBufferCount();
}

void TAcquireForm::ShowBufferCount() {
    BufText->setText(
        QString("There are %1 images in the buffer").arg(FFrameList ? FFrameList->size() : 0));
}

int16_t TAcquireForm::ScanProgress(int16_t percent, void* user) {
    auto* form = static_cast<TAcquireForm*>(user);
    if (QCoreApplication::closingDown() || form->FStopRequested) return 0;
    QApplication::processEvents();
    form->ProgressBar1->setValue(percent);
    return form->FStopRequested ? 0 : 1;
}

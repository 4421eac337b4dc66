#include "capture/TDigCamForm.h"

#include "bindings/CodecBinding.h"
#include "bindings/EffectsBinding.h"
#include "imaging/still/TPMultiImage.h"
#include "platform/GlobalBlock.h"
#include "platform/GlobalMemory.h"

#include <QApplication>
#include <QGroupBox>
#include <QLineEdit>
#include <QProgressBar>
#include <QRadioButton>
#include <QToolButton>

TDigCamForm::TDigCamForm(QWidget* parent)
    : TAcquireForm(parent, "DigCamForm", "Multi Image Scanning ", 451, 316,
                   "This requires a Digital Camara") {
    ScanDocumentsBtn->setGeometry(8, 36, 110, 25);
    ConvertTo->setGeometry(8, 70, 160, 66);
    BufText->setGeometry(8, 146, 250, 22);
    ProgressBar1->setGeometry(8, 176, 250, 10);
    PMultiImage1 = new TPMultiImage(Client);
    PMultiImage1->setObjectName("PMultiImage1");
    PMultiImage1->setGeometry(270, 36, 172, 250);
    connect(ScanDocumentsBtn, &QToolButton::clicked, this, &TDigCamForm::MultiplePagesClick);
}

TDigCamForm::~TDigCamForm() = default;

void TDigCamForm::MultiplePagesClick() {
    // The camera request is fixed.
    DLL96V1::TwainRequest r;
    r.Left = 0;
    r.Top = 0;
    r.Right = 8.5f;
    r.Bottom = 11.0f;
    r.Dpi = 100;
    r.Bits = 24;
    r.Brightness = 0;
    r.Contrast = 0;
    r.Pages = 500;
    r.ScanType = 4;
    r.Transfer = 2;
    const HWNDLIKE window = reinterpret_cast<HWNDLIKE>(static_cast<QWidget*>(this));
    RunAcquisition(
        [&] { return DLL96V1::twain_nu_dib(window, r, PageCallback, ScanProgress, this); });
}

int16_t TDigCamForm::PageCallback(uintptr_t dib, void* user) {
    return static_cast<TDigCamForm*>(user)->CameraImageArrived(dib);
}

int16_t TDigCamForm::CameraImageArrived(uintptr_t dib) {
    FBusy = true;
    QApplication::processEvents();
    const HGLOBAL reduced =
        DllSP96::PVReduceColors(dib, Cls256->isChecked() ? 256 : 16, DllSP96::PV_BURKES);
    // The reduction leaves the delivered block to us.
    if (reduced != dib) zp::GlobalBlock::freeFully(dib);
    // Without a reduced picture the record is made without one.
    FWorkDib = std::make_unique<PVWebImg::PVTDib>();
    if (reduced) FWorkDib->SetDib(GlobalLock(reduced));
    AppendFrameRecord("Frame " + std::to_string(FFrameNumber) + " of digital camara");
    ++FFrameNumber;
    QApplication::processEvents();
    FBusy = false;
    return 1;
}

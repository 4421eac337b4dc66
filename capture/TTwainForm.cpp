#include "capture/TTwainForm.h"

#include "bindings/CodecBinding.h"
#include "imaging/animated/DuplicateGlobalBlock.h"
#include "imaging/still/TPicture.h"
#include "manipulation/TStretchHandle.h"
#include "platform/GlobalBlock.h"
#include "platform/GlobalMemory.h"

#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QProgressBar>
#include <QRadioButton>
#include <QSpinBox>
#include <QToolButton>
#include <algorithm>

namespace {

constexpr int kPixelsPerInch = 20;
constexpr int kMaxAreaWidth = 170; // 8.5 inches
constexpr int kPreviewDpi = 30;

QSpinBox* Spin(QWidget* parent, const char* name, const QString& caption, int y, int lo, int hi,
               int step, int value) {
    auto* label = new QLabel(caption, parent);
    label->setGeometry(8, y, 76, 22);
    auto* spin = TToolDialog::Hinted(new QSpinBox(parent), name);
    spin->setRange(lo, hi);
    spin->setSingleStep(step);
    spin->setValue(value);
    spin->setGeometry(90, y, 80, 22);
    return spin;
}

QLabel* Value(QWidget* parent, const char* name, const QString& caption, int x) {
    auto* label = new QLabel(caption, parent);
    label->setGeometry(x, 292, 56, 16);
    auto* value = TToolDialog::Hinted(new QLabel(parent), name);
    value->setGeometry(x, 308, 56, 16);
    return value;
}

} // namespace

TTwainForm::TTwainForm(QWidget* parent)
    : TAcquireForm(parent, "TwainForm", "Multi Image Scanning ", 446, 387,
                   "This requires a scanner with a document feeder") {
    ScanDocumentsBtn->setGeometry(8, 36, 110, 25);
    ScanImagesBtn = Hinted(new QToolButton(Client), "ScanImagesBtn",
                           "Aquire a single Image from the twain source");
    ScanImagesBtn->setText("Preview");
    ScanImagesBtn->setGeometry(124, 36, 80, 25);
    nPages = Spin(Client, "nPages", "Images", 68, 1, 999999, 1, 1);
    NBright = Spin(Client, "NBright", "Brightness", 94, -1000, 1000, 1, 0);
    NCont = Spin(Client, "NCont", "Contrast", 120, -1000, 1000, 1, 0);
    DPI = Spin(Client, "DPI", "DPI", 146, 10, 300, 100, 100);
    (new QLabel("Scan As", Client))->setGeometry(8, 172, 76, 22);
    Scol = Hinted(new QComboBox(Client), "Scol");
    Scol->addItems({"256 COLORS", "GRAYSCALE"});
    Scol->setCurrentIndex(0);
    Scol->setGeometry(90, 172, 120, 22);
    ConvertTo->setGeometry(8, 200, 160, 66);
    Label2 = Hinted(new QLabel("Scan Area Selection in Inches", Client), "Label2");
    Label2->setGeometry(8, 272, 240, 18);
    ll = Value(Client, "ll", "Left", 8);
    tt = Value(Client, "tt", "Top", 66);
    ww = Value(Client, "ww", "Right", 124);
    hh = Value(Client, "hh", "Bottom", 182);
    BufText->setGeometry(8, 328, 250, 22);
    ProgressBar1->setGeometry(8, 354, 250, 10);

    Panel5 = Hinted(new QFrame(Client), "Panel5");
    Panel5->setGeometry(266, 36, 171, 280);
    Panel5->setFrameShape(QFrame::Box);
    Image1 = Hinted(new QLabel(Panel5), "Image1");
    Image1->setScaledContents(true);
    Image1->setGeometry(0, 0, 171, 280);
    Sizer = Hinted(new QWidget(Panel5), "Sizer");
    Sizer->setGeometry(int(FScanLeft * kPixelsPerInch), int(FScanTop * kPixelsPerInch),
                       int((FScanRight - FScanLeft) * kPixelsPerInch),
                       int((FScanBottom - FScanTop) * kPixelsPerInch));
    Sizer->installEventFilter(this);
    FStretchHandle = new TStretchHandle(Panel5);
    FStretchHandle->SetColor(0x0000FF); // red, as 0x00BBGGRR
    FStretchHandle->Attach(Sizer);
    ll->setText(QString::asprintf("%8.2f \"", FScanLeft));
    tt->setText(QString::asprintf("%8.2f \"", FScanTop));
    ww->setText(QString::asprintf("%8.2f \"", FScanRight));
    hh->setText(QString::asprintf("%8.2f \"", FScanBottom));

    connect(ScanImagesBtn, &QToolButton::clicked, this, &TTwainForm::ScanImagesBtnClick);
    connect(ScanDocumentsBtn, &QToolButton::clicked, this, &TTwainForm::MultiplePagesClick);
}

TTwainForm::~TTwainForm() {
    // The children outlive this part of the window; Sizer's events must not
    // reach it any more.
    Sizer->removeEventFilter(this);
    delete FStretchHandle.data();
}

int32_t TTwainForm::ScanType() const {
    return Scol->currentIndex() == 1 ? 2 : 8;
}

void TTwainForm::SetControlsEnabled(bool enabled) {
    TAcquireForm::SetControlsEnabled(enabled);
    for (QWidget* w : {static_cast<QWidget*>(nPages), static_cast<QWidget*>(NBright),
                       static_cast<QWidget*>(NCont), static_cast<QWidget*>(DPI),
                       static_cast<QWidget*>(ScanImagesBtn)})
        w->setEnabled(enabled);
}

void TTwainForm::ScanImagesBtnClick() {
    DLL96V1::TwainRequest r;
    r.Left = 0;
    r.Top = 0;
    r.Right = 8.5f;
    r.Bottom = 14.0f;
    r.Dpi = kPreviewDpi;
    r.Bits = 8;
    r.Brightness = NBright->value();
    r.Contrast = NCont->value();
    r.Pages = 1;
    r.ScanType = ScanType();
    zp::TBitmap bitmap;
    const HWNDLIKE window = reinterpret_cast<HWNDLIKE>(static_cast<QWidget*>(this));
    if (!RunAcquisition(
            [&] { return DLL96V1::twain_nu_ddb(window, r, ScanProgress, this, bitmap); }))
        return;
    const QImage preview = DeviceBitmapToImage(bitmap.handle());
    if (preview.isNull()) return;
    // The preview covers what the device can scan, which may be less than
    // the page: it is drawn at its size in inches, so the area rectangle
    // placed on it says where the device will scan.
    const int width = std::min(Panel5->width(), preview.width() * kPixelsPerInch / kPreviewDpi);
    const int height = std::min(Panel5->height(), preview.height() * kPixelsPerInch / kPreviewDpi);
    Image1->setGeometry(0, 0, std::max(1, width), std::max(1, height));
    Image1->setPixmap(QPixmap::fromImage(preview));
}

void TTwainForm::MultiplePagesClick() {
    FFrameNumber = 1;
    DLL96V1::TwainRequest r;
    r.Left = float(FScanLeft);
    r.Top = float(FScanTop);
    r.Right = float(FScanRight);
    r.Bottom = float(FScanBottom);
    r.Dpi = DPI->value();
    r.Bits = Cls256->isChecked() ? 8 : 4;
    r.Brightness = NBright->value();
    r.Contrast = NCont->value();
    r.Pages = nPages->value();
    r.ScanType = ScanType();
    r.Transfer = 1;
    const HWNDLIKE window = reinterpret_cast<HWNDLIKE>(static_cast<QWidget*>(this));
    RunAcquisition(
        [&] { return DLL96V1::twain_nu_dib(window, r, PageCallback, ScanProgress, this); });
}

int16_t TTwainForm::PageCallback(uintptr_t dib, void* user) {
    return static_cast<TTwainForm*>(user)->ScanPageArrived(dib);
}

int16_t TTwainForm::ScanPageArrived(uintptr_t dib) {
    FBusy = true;
    QApplication::processEvents();
    const HGLOBAL copy = DuplicateGlobalBlock(dib);
    FWorkDib->SetDib(copy ? GlobalLock(copy) : nullptr);
    AppendFrameRecord("Frame " + std::to_string(FFrameNumber) + " of scanned image");
    ++FFrameNumber;
    zp::GlobalBlock::freeFully(dib);
    FBusy = false;
    return 1;
}

void TTwainForm::UpdateScanArea() {
    if (FPlacingArea) return;
    FPlacingArea = true;
    QRect r = Sizer->geometry();
    bool corrected = false;
    if (r.top() < 0) {
        r.moveTop(0);
        corrected = true;
    }
    if (r.left() < 0) {
        r.moveLeft(0);
        corrected = true;
    }
    if (r.width() > kMaxAreaWidth) {
        r.setWidth(kMaxAreaWidth);
        corrected = true;
    }
    if (corrected) {
        if (FStretchHandle)
            FStretchHandle->SetBounds(r.left() - 2, r.top() - 2, r.width() + 5, r.height() + 5);
        else
            Sizer->setGeometry(r);
    }
    FScanTop = double(r.top()) / kPixelsPerInch;
    FScanLeft = double(r.left()) / kPixelsPerInch;
    FScanRight = FScanLeft + double(r.width()) / kPixelsPerInch;
    FScanBottom = FScanTop + double(r.height()) / kPixelsPerInch;
    ll->setText(QString::asprintf("%8.2f \"", FScanLeft));
    tt->setText(QString::asprintf("%8.2f \"", FScanTop));
    ww->setText(QString::asprintf("%8.2f \"", FScanRight));
    hh->setText(QString::asprintf("%8.2f \"", FScanBottom));
    Sizer->update();
    FPlacingArea = false;
}

void TTwainForm::SizerPaint() {
    QPainter painter(Sizer);
    QPen pen(Qt::green, 1, Qt::DashDotLine);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(Sizer->rect().adjusted(0, 0, -1, -1));
}

bool TTwainForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Sizer) {
        if (event->type() == QEvent::Paint) {
            SizerPaint();
            return true;
        }
        if (event->type() == QEvent::Move || event->type() == QEvent::Resize) UpdateScanArea();
    }
    return TAcquireForm::eventFilter(watched, event);
}

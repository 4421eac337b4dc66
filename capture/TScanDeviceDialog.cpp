#include "capture/TScanDeviceDialog.h"

#include "app/ModalResult.h"
#include "bindings/CodecBinding.h"
#include "capture/TScanSourceDialog.h"
#include "manipulation/TEffectForm.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>

namespace {

QLabel* Caption(QWidget* parent, const QString& text, int y) {
    auto* label = new QLabel(text, parent);
    label->setGeometry(8, y, 110, 22);
    return label;
}

} // namespace

TScanDeviceDialog::TScanDeviceDialog(QWidget* parent, const QString& device,
                                     const ScanRequest& request)
    : TToolDialog(parent, "ScanDeviceDialog", "Scan from " + device, 260, 170, ""),
      FRequest(request) {
    Caption(Client, "Scan as", 8);
    Mode = Hinted(new QComboBox(Client), "Mode");
    Mode->addItems({"Colour", "Grey"});
    Mode->setCurrentIndex(request.Color ? 0 : 1);
    Mode->setGeometry(124, 8, 128, 22);
    Caption(Client, "Resolution (DPI)", 38);
    Resolution = Hinted(new QSpinBox(Client), "Resolution");
    Resolution->setRange(10, 1200);
    Resolution->setValue(request.Dpi);
    Resolution->setGeometry(124, 38, 128, 22);
    Caption(Client, "Width (inches)", 68);
    AreaWidth = Hinted(new QDoubleSpinBox(Client), "AreaWidth");
    AreaWidth->setRange(0.1, 17);
    AreaWidth->setValue(request.Right - request.Left);
    AreaWidth->setGeometry(124, 68, 128, 22);
    Caption(Client, "Height (inches)", 98);
    AreaHeight = Hinted(new QDoubleSpinBox(Client), "AreaHeight");
    AreaHeight->setRange(0.1, 17);
    AreaHeight->setValue(request.Bottom - request.Top);
    AreaHeight->setGeometry(124, 98, 128, 22);
    auto* scan = Hinted(new QPushButton("Scan", Client), "ScanBtn");
    scan->setGeometry(96, 138, 75, 25);
    scan->setDefault(true);
    connect(scan, &QPushButton::clicked, this, [this] { done(mrOk); });
    auto* cancel = Hinted(new QPushButton("Cancel", Client), "CancelBtn");
    cancel->setGeometry(177, 138, 75, 25);
    connect(cancel, &QPushButton::clicked, this, [this] { done(mrCancel); });
}

ScanRequest TScanDeviceDialog::Request() const {
    ScanRequest r = FRequest;
    r.Color = Mode->currentIndex() == 0 ? 1 : 0;
    r.Dpi = Resolution->value();
    r.Right = r.Left + float(AreaWidth->value());
    r.Bottom = r.Top + float(AreaHeight->value());
    return r;
}

int32_t TScanDeviceDialog::Settings(HWNDLIKE owner, const char* device, ScanRequest* request,
                                    void*) {
    TScanDeviceDialog dialog(reinterpret_cast<QWidget*>(owner), QString::fromUtf8(device),
                             *request);
    if (dialog.exec() != mrOk) return 0;
    *request = dialog.Request();
    return 1;
}

void InstallScannerDialogs() {
    const ScanDialogs dialogs{TScanSourceDialog::Choose, TScanDeviceDialog::Settings, nullptr};
    ScannerSetDialogs(&dialogs);
    // The effects dialog's "Select Twain Source" and "Aquire Image": the
    // codec binding with that dialog as the owner window.
    TEffectForm::ScannerSelectSource = [](QWidget* window) {
        DLL96V1::selectsource(reinterpret_cast<HWNDLIKE>(window));
    };
    TEffectForm::ScannerAcquire = [](QWidget* window, int bits) -> HGLOBAL {
        HGLOBAL dib = 0;
        if (!DLL96V1::aquiredibimage(reinterpret_cast<HWNDLIKE>(window), bits, false, 0, dib,
                                     nullptr, nullptr))
            return 0;
        return dib;
    };
}

#pragma once
// The device's own window of a single scan (what a TWAIN driver shows):
// colour or grey, resolution and the area in inches, then Scan or Cancel.
#include "manipulation/TToolDialog.h"
#include "platform/Scanner.h"

class QComboBox;
class QDoubleSpinBox;
class QSpinBox;

class TScanDeviceDialog : public TToolDialog {
    Q_OBJECT
  public:
    TScanDeviceDialog(QWidget* parent, const QString& device, const ScanRequest& request);

    // The request with the user's choices.
    ScanRequest Request() const;

    QComboBox* Mode = nullptr;
    QSpinBox* Resolution = nullptr;
    QDoubleSpinBox* AreaWidth = nullptr;
    QDoubleSpinBox* AreaHeight = nullptr;

    // The scanner library's DeviceSettings dialog: 1 scan, 0 cancel.
    static int32_t Settings(HWNDLIKE owner, const char* device, ScanRequest* request, void* user);

  private:
    ScanRequest FRequest;
};

// Makes these two windows the scanner library's dialogs, and gives the
// effects dialog its scanner commands.
void InstallScannerDialogs();

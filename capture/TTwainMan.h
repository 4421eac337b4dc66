#pragma once
// "Twain Options": which way to acquire: one image, a batch from a scanner
// with a document feeder, or a batch from a digital camera.
#include "manipulation/TToolDialog.h"

class QRadioButton;

class TTwainMan : public TToolDialog {
    Q_OBJECT
  public:
    explicit TTwainMan(QWidget* parent);

    QRadioButton* iSingle = nullptr;
    QRadioButton* iMultiScan = nullptr;
    QRadioButton* iMultiCam = nullptr;
};

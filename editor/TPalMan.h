#pragma once
// The palette manager: carries the current frame's palette over to the
// selected frames, by remapping their pixels to it or by overwriting their
// colour tables. It only asks which; the editor does the work. Only mrOk
// accepts.
#include "manipulation/TToolDialog.h"

class QPushButton;
class QRadioButton;

class TPalMan : public TToolDialog {
    Q_OBJECT
  public:
    explicit TPalMan(QWidget* parent = nullptr);

    QRadioButton* OptimzePalette = nullptr;
    QRadioButton* CopyPalette = nullptr;
    QPushButton* OKBtn = nullptr;
    QPushButton* CancelBtn = nullptr;
};

#pragma once
// "Scan Options" of a single acquisition: the palette (the current frame's
// or a new one), 256 or 16 colours, and whether the image becomes a new
// frame or replaces the current one.
#include "manipulation/TToolDialog.h"

class QPushButton;
class QRadioButton;

class TScanOptions : public TToolDialog {
    Q_OBJECT
  public:
    explicit TScanOptions(QWidget* parent);

    // With no frame to take a palette from or to replace, only "New
    // Palette" and "New Frame" are offered.
    void SetFramesExist(bool exist);

    QRadioButton* RadioButton2 = nullptr; // "Use pallette of existing Gif"
    QRadioButton* NewPalette = nullptr;
    QRadioButton* r256 = nullptr;
    QRadioButton* RadioButton4 = nullptr; // "16 Colors"
    QRadioButton* NewFrame = nullptr;
    QRadioButton* RadioButton3 = nullptr; // "Replace current frame"
    QPushButton* BitBtn1 = nullptr;
};

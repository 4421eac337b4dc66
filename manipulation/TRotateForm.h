#pragma once
// "Rotate Image": the angle (0..360 degrees from a bar) and the colour that
// fills the corners a rotation uncovers. "Rotate Frame" rotates the preview
// only; the caller rotates the frame itself by the angle handed back.
#include "manipulation/TToolDialog.h"
#include "platform/TBitmap.h"
#include "platform/WinTypes.h"

class QColorDialog;
class QFrame;
class QLabel;
class QPushButton;
class QScrollArea;
class QSlider;
class QToolButton;
class TPMultiImage;

class TRotateForm : public TToolDialog {
    Q_OBJECT
  public:
    explicit TRotateForm(QWidget* parent = nullptr);

    // The frame becomes the picture and the copy "Reset" puts back.
    void SetFrame(const zp::TBitmap& frame);

    void TrackBar1Change(int position);
    void StretchBtnClick();
    // Opens the colour dialog on the fill colour; keeps a chosen colour.
    void ColorBtnClick();
    // Rotates the preview by the angle in whole degrees, again at each click.
    void RotateBtnClick();
    void ResetBtnClick();

    // Degrees.
    double Angle = 0;
    // May be the window-face reference clBtnFace (the start value): resolve
    // it with ColorToRGB.
    COLORREF FillColor;

    QFrame* Panel1 = nullptr;
    QScrollArea* ScrollBox1 = nullptr;
    TPMultiImage* PMultiImage1 = nullptr;
    QSlider* TrackBar1 = nullptr;
    QLabel* Label1 = nullptr;
    QToolButton* StretchBtn = nullptr;
    QPushButton* ColorBtn = nullptr;
    QPushButton* RotateBtn = nullptr;
    QPushButton* ResetBtn = nullptr;
    QPushButton* OKBtn = nullptr;
    QPushButton* CancelBtn = nullptr;
    QColorDialog* ColorDialog1 = nullptr;

  private:
    zp::TBitmap FResetCopy;
};

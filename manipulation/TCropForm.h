#pragma once
// "Crop Image": the user draws a band on the frame; the dialog shows the
// cropped result and hands back the source rectangle (frame pixels), the
// destination size and whether all selected frames are to be cropped. The
// frame records are changed by the caller.
#include "bindings/EffectsBinding.h"
#include "manipulation/TToolDialog.h"
#include "platform/TBitmap.h"

class QFrame;
class QLabel;
class QPushButton;
class QScrollArea;
class QToolButton;
class TPMultiImage;

class TCropForm : public TToolDialog {
    Q_OBJECT
  public:
    explicit TCropForm(QWidget* parent = nullptr);

    // The frame becomes the picture and the copy "Reset" puts back.
    void SetFrame(const zp::TBitmap& frame);

    // A band from anchor (x, y) to corner (xx, yy) in control pixels: crops
    // the picture. Corners may come in any order and beyond the image; a
    // band that selects no pixel changes nothing and the band stays on.
    void PMultiImage1Rubberband(int x, int y, int xx, int yy);
    void StretchBtnClick();
    void ResetBtnClick();

    // Results: all zero until a crop (and again after "Reset").
    DllSP96::Area Source;
    int DestWidth = 0;
    int DestHeight = 0;
    bool AllFrames = false;

    QFrame* Panel1 = nullptr;
    QScrollArea* ScrollBox1 = nullptr;
    TPMultiImage* PMultiImage1 = nullptr;
    QLabel* Label1 = nullptr;
    QToolButton* StretchBtn = nullptr;
    QPushButton* ResetBtn = nullptr;
    QPushButton* AllFramesBtn = nullptr;
    QPushButton* ThisFrameBtn = nullptr;
    QPushButton* CancelBtn = nullptr;

    static const QString SelectText; // before a crop
    static const QString AcceptText; // after one

  private:
    zp::TBitmap FResetCopy;
};

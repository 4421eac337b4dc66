#pragma once
// "Resize Image": two bars give the new width and height (2..1000 each,
// independent of each other); the frame is shown stretched to that size.
// The frame records are changed by the caller.
#include "manipulation/TToolDialog.h"
#include "platform/TBitmap.h"

class QLabel;
class QPushButton;
class QScrollArea;
class QSlider;
class TPMultiImage;

class TResizeForm : public TToolDialog {
    Q_OBJECT
  public:
    static constexpr int MinSide = 2;
    static constexpr int MaxSide = 1000;

    explicit TResizeForm(QWidget* parent = nullptr);

    // The frame becomes the picture, shown at width x height, which the
    // bars and labels show too.
    void SetFrame(const zp::TBitmap& frame, int width, int height);

    // The size chosen. Until a bar moves it is the size handed in, also
    // when that lies outside the bars' range: a frame of 1200 pixels is not
    // shrunk to 1000 by a dialog the user only looked at.
    int NewWidth() const { return FNewWidth; }
    int NewHeight() const { return FNewHeight; }
    bool AllFrames = false;

    QScrollArea* ScrollBox1 = nullptr;
    TPMultiImage* PMultiImage1 = nullptr;
    QSlider* WBar = nullptr;
    QSlider* Hbar = nullptr;
    QLabel* Label1 = nullptr; // "New Width"
    QLabel* Label2 = nullptr; // "New Heigth"
    QLabel* Label3 = nullptr; // the width
    QLabel* Label4 = nullptr; // the height
    QLabel* Label5 = nullptr; // what to do
    QPushButton* AllFramesBtn = nullptr;
    QPushButton* ThisFrameBtn = nullptr;
    QPushButton* CancelBtn = nullptr;

  private:
    void WBarChange(int position);
    void HbarChange(int position);

    int FNewWidth = 0;
    int FNewHeight = 0;
};

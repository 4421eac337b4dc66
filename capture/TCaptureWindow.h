#pragma once
// What the video and live-video capture windows share: the display panel
// and its two size bars, the last grabbed frame, the interval bar, the
// quality and colour choices, the buffer texts, Start/Stop/Single/Delete,
// OK and Cancel, and the frame buffer with its ownership rules: on OK the
// caller takes the records (TakeFrames), any other close frees them.
#include "capture/TCaptureBuffer.h"
#include "manipulation/TToolDialog.h"

#include <string>

class QFrame;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QSlider;
class QTimer;
class TPMultiImage;

class TCaptureWindow : public TToolDialog {
    Q_OBJECT
  public:
    TCaptureWindow(QWidget* parent, const char* name, const QString& caption,
                   std::string helpTopic);
    ~TCaptureWindow() override;

    QPushButton* StartCaptureOnly = nullptr;
    QPushButton* StopCapture = nullptr;
    QPushButton* DeleteBtn = nullptr;
    QPushButton* SingleFrame = nullptr;
    QPushButton* BitBtn2 = nullptr; // Cancel
    QPushButton* BitBtn1 = nullptr; // OK
    QFrame* Panel3 = nullptr;       // holds the display, inside a 1-pixel bevel
    TPMultiImage* PMultiImage1 = nullptr;
    QSlider* TrackBar1 = nullptr;
    QSlider* VBar = nullptr;
    QSlider* HBar = nullptr;
    QRadioButton* HighQuality = nullptr;
    QRadioButton* LowQuality = nullptr;
    QRadioButton* Cls256 = nullptr;
    QRadioButton* RadioButton6 = nullptr;
    QLineEdit* Edit1 = nullptr;
    QLineEdit* Edit2 = nullptr;
    QLineEdit* BufText = nullptr;
    QProgressBar* ProgressBar1 = nullptr;
    QLineEdit* Edit3 = nullptr;
    QTimer* Timer1 = nullptr;
    QLabel* Label1 = nullptr; // over the display
    QLabel* Label2 = nullptr; // "Captured frame"

    // The buffered records, in capture order; the window owns them.
    const TFrameList& FFrameList() const { return FBuffer.FFrameList; }
    // After OK: the records become the caller's, the buffer forgets them.
    TFrameList TakeFrames();

    bool FBusy = false;
    int32_t FFrameNumber = 0;

    void DeleteBtnClick();
    void TrackBar1Change(int position);
    void HBarChange(int position);
    void VBarChange(int position);
    bool Capturing() const;

  public slots:
    void done(int result) override;

  protected:
    // The media display filling Panel3, without scroll bars or scrolling.
    class TPMultiMedia* MakeDisplay();
    // Keeps the picture as the last grabbed frame and adds it to the buffer
    // as "Frame <FFrameNumber> of <source>".
    void AddGrab(const QImage& picture, const std::string& source);
    void ClearFrameBuffer();
    // Idle: timer off, the window's idle buttons on.
    virtual void SetIdle(bool idle);
    // Called by done() before the window closes.
    virtual void Closing() {}

    TCaptureBuffer FBuffer;
    int FIntervalMs = 10;
};

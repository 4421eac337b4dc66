#pragma once
// The live-video window: the capture window's layout without the file
// player. "Set Video to Acftive" chooses the source: a video camera when
// the system has one (V4L2 through libavdevice), otherwise a region of the
// screen that the user drags out. The source shows in the display while
// "Preview Video" is down; captures run at the window's interval into the
// same frame buffer as the video capture, with the same OK/Cancel rules.
// The "capture board" label and the disabled-feature panel show only when
// there is no source at all (no camera and no screen to grab).
#include "capture/TCaptureWindow.h"

#include <QRect>

class QToolButton;
class TMIMediaPlayer;
class TPMultiMedia;

class TLiveVideoToGif : public TCaptureWindow {
    Q_OBJECT
  public:
    explicit TLiveVideoToGif(QWidget* parent = nullptr);
    ~TLiveVideoToGif() override;

    QToolButton* SetVideoActive = nullptr; // "Set Video to Acftive"
    QToolButton* PreviewVideo = nullptr;
    QToolButton* UseOverlay = nullptr;
    QLabel* Label3 = nullptr;   // "A video capture board is required..."
    QFrame* Disabled = nullptr; // the feature is disabled
    TPMultiMedia* PMultiMedia1 = nullptr;
    TMIMediaPlayer* CameraPlayer = nullptr; // hidden; plays the camera

    enum class Source { None, Camera, Screen };
    Source ActiveSource() const { return FSource; }
    QRect Region() const { return FRegion; }
    // The camera device used when present.
    static std::string CameraDevice();

    void SetVideoActiveClick();
    void PreviewVideoClick(bool down);
    void StartCaptureClick();
    void StopCaptureClick();
    void Timer1Timer();
    void SingleFrameClick();
    void BitBtn1Click();

  protected:
    void Closing() override;

  private:
    bool ActivateCamera();
    bool ActivateScreen();
    // The source's picture now, at the display's size; null without one.
    QImage LiveFrame() const;
    void ShowPreview();
    void GrabFrame();
    std::string SourceName() const;

    Source FSource = Source::None;
    QRect FRegion;
    class QTimer* FPreviewTimer = nullptr;
};

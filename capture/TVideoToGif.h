#pragma once
// The capture window: plays a video in the media component, grabs frames
// from it at an interval or one at a time, converts each to a 256- or
// 16-colour DIB and keeps it as a frame record (TCaptureWindow holds the
// shared controls and the buffer).
//
// Grabs are frame-exact: a grab takes the decoded frame on display at the
// display's size, never screen pixels another window may cover. While the
// video plays the interval runs on the video's own clock: a frame is
// grabbed when its time reaches the next grab time, so 500 ms over a
// 25 fps video takes every 12th or 13th frame and never one twice, however
// busy the machine is. Paused, the clock stands still and nothing more is
// grabbed; the timer's ticks end the capture once the player has stopped.
//
// The implementation: TVideoToGif.cpp (the window), TVideoToGifCapture.cpp
// (capturing and grabbing).
#include "capture/TCaptureWindow.h"

class TMIMediaPlayer;
class TMMOpenDialog;
class TPMultiMedia;

class TVideoToGif : public TCaptureWindow {
    Q_OBJECT
  public:
    explicit TVideoToGif(QWidget* parent = nullptr);
    ~TVideoToGif() override;

    QPushButton* OpenVidB = nullptr;
    QPushButton* StartCaptureAndPlay = nullptr;
    TMIMediaPlayer* MIMediaPlayer1 = nullptr;
    TPMultiMedia* PMultiMedia1 = nullptr;
    TMMOpenDialog* MMOpenDialog1 = nullptr;

    std::string FVideoFileName;

    void OpenVideoClick();
    void StartCaptureClick();
    void StartCaptureAndPlayClick();
    void StopCaptureClick();
    void Timer1Timer();
    void SingleFrameClick();
    void BitBtn1Click();

  protected:
    void SetIdle(bool idle) override;
    void Closing() override;

  private:
    void BeginCapture();
    // A frame of the playing video came on display (the video clock's tick).
    void FrameShown();
    void GrabFrame();
    bool StopPlayer();

    // The video time (ms) at which the next grab falls due; the index of
    // the frame last grabbed (-1 = none); grabs of this run.
    int64_t FNextGrabMs = 0;
    int64_t FLastGrabbed = -1;
    int FRunGrabs = 0;
};

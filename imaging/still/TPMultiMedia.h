#pragma once
// The media component: the still-image component with a media player
// linked to it. MediaName takes the place of ImageName; a video (any
// extension listed in the Windows profile's "mci extensions" section) opens
// in the linked player and plays into this control, anything else loads
// as a picture. While a medium is open a 500 ms timer reports the play
// position through OnProgress.
//
// The video is drawn scaled into the display rectangle, which follows the
// control's size, so a control resized after opening still shows (and
// GrabVideoFrame still gives) the whole picture at the new size.
#include "imaging/still/TMIMediaPlayer.h"
#include "imaging/still/TPMultiImage.h"
#include "platform/MediaDevice.h"

#include <QBasicTimer>
#include <QImage>
#include <QPointer>
#include <functional>

class TPMultiMedia : public TPMultiImage, public zp::MediaSink {
    Q_OBJECT
  public:
    explicit TPMultiMedia(QWidget* parent = nullptr);
    ~TPMultiMedia() override;

    const std::string& MediaName() const { return FMediaName; }
    // Opens the medium in the linked player or loads the picture; a medium
    // that cannot be opened raises EMCIDeviceError.
    void SetMediaName(const std::string& name);

    TMIMediaPlayer* MediaPlayer() const { return FMediaPlayer; }
    void SetMediaPlayer(TMIMediaPlayer* player);
    bool AutoPlayMultiMedia = false;
    bool AutoRePlayMultiMedia = false;
    bool AutoHideMediaPlayer = false;

    // The extension (with its dot) goes to the media path.
    static bool IsMediaExtension(const std::string& upperExtension);
    // A video frame is on display.
    bool ShowingVideo() const { return !FFrame.isNull(); }
    // The frame on display at the display rectangle's size; null without one.
    QImage GrabVideoFrame() const { return FFrame; }
    // Index and time (ms) of the frame on display.
    int64_t VideoFrameIndex() const { return FFrameIndex; }
    int64_t VideoFramePosition() const { return FFramePosition; }
    // After each new frame on display.
    std::function<void(TPMultiMedia* sender)> OnFrameShown;

    // The 500 ms timer's work (public for the window that drives it).
    void ProgressTick();
    void ShowMediaFrame(const zp::MediaFrame& frame) override;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

  private:
    void ClearVideo();

    std::string FMediaName;
    QPointer<TMIMediaPlayer> FMediaPlayer;
    QBasicTimer FProgressTimer;
    QImage FFrame;
    QPoint FFrameOffset; // of the frame in the display rectangle
    int64_t FFrameIndex = -1;
    int64_t FFramePosition = 0;
    bool FBusy = false;
};

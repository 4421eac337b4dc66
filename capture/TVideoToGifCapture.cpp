// The capture window's capturing: starting and stopping, the timer, the
// video clock and grabbing.
#include "app/ModalResult.h"
#include "capture/TVideoToGif.h"
#include "imaging/still/TMIMediaPlayer.h"
#include "imaging/still/TPMultiImage.h"
#include "imaging/still/TPMultiMedia.h"
#include "platform/Message.h"
#include "platform/ScopeGuards.h"

#include <QPushButton>
#include <QTimer>
#include <filesystem>

void TVideoToGif::SetIdle(bool idle) {
    TCaptureWindow::SetIdle(idle);
    for (QPushButton* b : {StartCaptureAndPlay, OpenVidB})
        b->setEnabled(idle);
}

void TVideoToGif::BeginCapture() {
    FBusy = false;
    FFrameNumber = 1;
    FRunGrabs = 0;
    FLastGrabbed = -1;
    // The frame on display is the first one due.
    FNextGrabMs = PMultiMedia1->VideoFramePosition();
    FBuffer.StartRun();
    SetIdle(false);
    // The frame on display is the run's first grab.
    FrameShown();
}

void TVideoToGif::StartCaptureClick() {
    BeginCapture();
}

void TVideoToGif::StartCaptureAndPlayClick() {
    if (!MIMediaPlayer1->DeviceOpen() || MIMediaPlayer1->Mode() == TMPModes::NotReady) return;
    try {
        // A video at its end plays again from the start.
        if (MIMediaPlayer1->Position() >= MIMediaPlayer1->Length()) MIMediaPlayer1->Previous();
        BeginCapture();
        MIMediaPlayer1->Play();
    } catch (const EMCIDeviceError& e) {
        ShowMessage(e.what());
    }
}

bool TVideoToGif::StopPlayer() {
    try {
        MIMediaPlayer1->Stop();
        return true;
    } catch (const EMCIDeviceError& e) {
        ShowMessage(e.what());
        return false;
    }
}

void TVideoToGif::StopCaptureClick() {
    SetIdle(true);
    StopPlayer();
}

void TVideoToGif::BitBtn1Click() {
    // The window closes with OK even when the player cannot stop.
    setResult(mrOk);
    SetIdle(true);
    StopPlayer();
    done(mrOk);
}

void TVideoToGif::Timer1Timer() {
    if (FBusy) return;
    const TMPModes mode = MIMediaPlayer1->Mode();
    // Playing, the video clock grabs; paused, it stands still.
    if (mode == TMPModes::Playing || mode == TMPModes::Paused) {
        FrameShown();
        return;
    }
    const zp::ScopedFlag busy(FBusy);
    // Stopped (or no video): this tick grabs only when the run has no grab
    // yet, so "Start Capture" on a stopped video takes one frame and a
    // video that ran to its end adds no frame out of step.
    SetIdle(true);
    if (FRunGrabs == 0) {
        GrabFrame();
        ++FFrameNumber;
    }
}

void TVideoToGif::FrameShown() {
    if (!Capturing() || FBusy || !PMultiMedia1->ShowingVideo()) return;
    const int64_t at = PMultiMedia1->VideoFramePosition();
    if (at < FNextGrabMs || PMultiMedia1->VideoFrameIndex() == FLastGrabbed) return;
    const zp::ScopedFlag busy(FBusy);
    GrabFrame();
    ++FFrameNumber;
    while (FNextGrabMs <= at)
        FNextGrabMs += FIntervalMs;
}

void TVideoToGif::SingleFrameClick() {
    FBusy = false;
    GrabFrame();
}

void TVideoToGif::GrabFrame() {
    ++FRunGrabs;
    // The decoded frame on display; without a video, what the display shows.
    QImage frame = PMultiMedia1->GrabVideoFrame();
    if (!frame.isNull())
        FLastGrabbed = PMultiMedia1->VideoFrameIndex();
    else
        frame = PMultiMedia1->grab().toImage();
    AddGrab(frame, std::filesystem::path(FVideoFileName).filename().string());
}

#include "imaging/still/TPMultiMedia.h"

#include "imaging/common/ColorRef.h"
#include "imaging/common/TextCase.h"
#include "imaging/common/WaitCursor.h"
#include "imaging/common/WindowMessage.h"
#include "imaging/still/TMIMediaPlayer.h"
#include "platform/MediaExtensions.h"
#include "platform/ScopeGuards.h"

#include <QPainter>
#include <QTimerEvent>
#include <cmath>
#include <exception>
#include <filesystem>

TPMultiMedia::TPMultiMedia(QWidget* parent) : TPMultiImage(parent) {}

TPMultiMedia::~TPMultiMedia() {
    // The player may outlive us; it must not draw into a freed control.
    if (FMediaPlayer && FMediaPlayer->Display() == this) FMediaPlayer->SetDisplay(nullptr);
}

void TPMultiMedia::SetMediaPlayer(TMIMediaPlayer* player) {
    FMediaPlayer = player;
    PostMessage(NotifyWindow, WM_PV_NOTIFY, 0, intptr_t(this));
}

bool TPMultiMedia::IsMediaExtension(const std::string& upperExtension) {
    if (upperExtension.size() < 2) return false;
    const std::string ext = upperExtension.substr(1);
    for (const char* known : {"MPG", "MPEG", "MID", "RMI", "AVI", "MOV", "WAV"})
        if (ext == known) return true;
    for (const std::string& known : zp::PlayableVideoExtensions())
        if (ext == known) return true;
    return false;
}

void TPMultiMedia::ClearVideo() {
    FProgressTimer.stop();
    FFrame = QImage();
    FFrameIndex = -1;
    FFramePosition = 0;
    update();
}

void TPMultiMedia::SetMediaName(const std::string& name) {
    const zp::ScopedFlag busy(FBusy);
    FMediaName = name;
    bool cancel = false;
    if (OnProgress) OnProgress(this, 0, std::string(), cancel);
    const std::string ext = Upper(std::filesystem::path(name).extension().string());
    if (FMediaPlayer) FMediaPlayer->Close();
    ClearVideo();
    std::error_code ec;
    if (ext != ".RES" && !std::filesystem::is_regular_file(name, ec)) {
        FPicture.Clear();
        update();
        return;
    }
    if (ext == ".WMF" || ext == ".ICO" || !IsMediaExtension(ext)) {
        if (AutoHideMediaPlayer && FMediaPlayer) FMediaPlayer->hide();
        SetImageName(name);
        return;
    }
    const WaitCursor hourglass;
    // Only types the profile lists are opened; others load nothing.
    if (!zp::IsMciExtension(ext)) return;
    if (PVUndo && PictureHasBitmap()) PushUndoPicture();
    StopScrollText(true);
    if (!FMediaPlayer) return;
    FMediaPlayer->Close();
    FMediaPlayer->show();
    FMediaPlayer->FileName = FMediaName;
    FMediaPlayer->SetDisplay(this);
    FMediaPlayer->Open();
    FMediaPlayer->SetDisplayRect(0, 0, width(), height());
    if (AutoPlayMultiMedia) FMediaPlayer->Play();
    FProgressTimer.start(500, this);
}

void TPMultiMedia::ShowMediaFrame(const zp::MediaFrame& frame) {
    if (frame.empty()) return;
    const QImage native(reinterpret_cast<const uchar*>(frame.pixels.data()), frame.width,
                        frame.height, frame.width * 4, QImage::Format_RGB32);
    int w = width(), h = height();
    if (FMediaPlayer && FMediaPlayer->Device().DisplayWidth() > 0) {
        w = FMediaPlayer->Device().DisplayWidth();
        h = FMediaPlayer->Device().DisplayHeight();
    }
    // With StretchRatio (the open dialog's preview) the picture keeps its
    // shape, centred in the rectangle; else it fills the rectangle.
    FFrame = native.scaled(std::max(1, w), std::max(1, h),
                           StretchRatio() ? Qt::KeepAspectRatio : Qt::IgnoreAspectRatio,
                           Qt::SmoothTransformation);
    FFrameOffset = QPoint((w - FFrame.width()) / 2, (h - FFrame.height()) / 2);
    if (FFrame.constBits() == native.constBits()) FFrame = native.copy();
    FFrameIndex = frame.index;
    FFramePosition = frame.positionMs;
    update();
    if (OnFrameShown) OnFrameShown(this);
}

void TPMultiMedia::paintEvent(QPaintEvent* event) {
    if (FFrame.isNull()) return TPMultiImage::paintEvent(event);
    QPainter painter(this);
    painter.fillRect(rect(), ToQColor(Color()));
    int x = 0, y = 0;
    if (FMediaPlayer) {
        x = FMediaPlayer->Device().DisplayX();
        y = FMediaPlayer->Device().DisplayY();
    }
    painter.drawImage(x + FFrameOffset.x(), y + FFrameOffset.y(), FFrame);
}

void TPMultiMedia::resizeEvent(QResizeEvent* event) {
    TPMultiImage::resizeEvent(event);
    if (FMediaPlayer && FMediaPlayer->Display() == this && FMediaPlayer->DeviceOpen())
        FMediaPlayer->SetDisplayRect(0, 0, width(), height());
}

void TPMultiMedia::timerEvent(QTimerEvent* event) {
    if (event->timerId() != FProgressTimer.timerId()) return TPMultiImage::timerEvent(event);
    ProgressTick();
}

void TPMultiMedia::ProgressTick() {
    if (!FMediaPlayer) return;
    try {
        if (!AutoRePlayMultiMedia && FMediaPlayer->Mode() != TMPModes::Playing) return;
        const int64_t length = FMediaPlayer->Length();
        if (length <= 0) return;
        // Halves go to the even neighbour.
        const double percent = std::nearbyint(double(FMediaPlayer->Position()) * 100.0 / length);
        bool cancel = false;
        if (OnProgress) OnProgress(this, int16_t(percent), std::string(), cancel);
        if (AutoRePlayMultiMedia && percent >= 100 && FMediaPlayer &&
            !FMediaPlayer->FileName.empty())
            FMediaPlayer->Play();
    } catch (const std::exception&) {
    }
}

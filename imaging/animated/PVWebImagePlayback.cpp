// Playback of the animated-image component: the host's timer steps it, the
// delay timer marks each frame's delay as run out, and loads and saves stop it.
#include "imaging/animated/DuplicateGlobalBlock.h"
#include "imaging/animated/PVWebImage.h"
#include "platform/GlobalMemory.h"

#include <QCoreApplication>
#include <QTimer>
#include <algorithm>

void PVWebImage::Play() {
    if (Frames()->empty()) return;
    // The largest loop count; 0 means unlimited and so wins over any other.
    FLoopLimit = 0;
    for (const TMyGifAnimation* record : *Frames()) {
        if (record->Loops == 0) {
            FLoopLimit = 0;
            break;
        }
        FLoopLimit = std::max(FLoopLimit, int(record->Loops));
    }
    FPlaying = 0;
}

void PVWebImage::Stop() {
    FDelayTimer->setInterval(1);
    FPlaying = -1;
}

void PVWebImage::DelayTimerTimer() {
    FDelayTimer->stop();
    FDelayElapsed = true;
}

// CurrentFrame runs 1, 2, ..., n and then 0: the step to n shows nothing and
// starts no delay, so the last frame stays until the next tick wraps to 0.
void PVWebImage::StepFrame() {
    if (!PaintingEnabled || FPlaying < 0 || !FDelayElapsed) return;
    const int n = int(Frames()->size());
    if (n < 1) return;
    if (CurrentFrame < 0) CurrentFrame = 0;
    if (CurrentFrame <= n - 1)
        ++CurrentFrame;
    else
        CurrentFrame = 0;
    FramesLoaded = CurrentFrame;
    ShowFrame(CurrentFrame);
    const QSize image = ImageSize();
    if (image.width() != ScreenWidth || image.height() != ScreenHeight) {
        ScreenWidth = uint16_t(image.width());
        ScreenHeight = uint16_t(image.height());
        ApplyAutoSize();
    }
}

void PVWebImage::ShowFrame(int index) {
    if (index < 0 || size_t(index) >= Frames()->size()) return;
    const TMyGifAnimation* record = (*Frames())[size_t(index)];
    DisplayedDisposal = record->Disposal;
    DisplayedTransparency = record->HasTransparency == 1;
    DrawLeft = record->Left;
    DrawTop = record->Top;
    DisplayedFrame = index;
    // The display works on its own copy, so the editor may change the record.
    NewCurrentDib();
    SetCurrentDib(GlobalLock(DuplicateGlobalBlock(record->DibHandle)));
    Paint();
    const int delay = record->Delay != 0 ? record->Delay : 10; // hundredths of a second
    FDelayElapsed = false;
    FDelayTimer->start(delay * 10);
}

void PVWebImage::StopPlayback() {
    Stop();
}

void PVWebImage::PaintNow() {
    if (Compose()) repaint();
}

void PVWebImage::ProcessMessages() {
    QCoreApplication::processEvents();
}

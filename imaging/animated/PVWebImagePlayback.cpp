// Playback of the animated-image component: the host's timer steps it, the
// delay timer marks each frame's delay as run out, and loads and saves stop it.
#include "imaging/animated/DuplicateGlobalBlock.h"
#include "imaging/animated/PVWebImage.h"
#include "platform/GlobalMemory.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <memory>

void PVWebImage::SetClock(TClock clock) {
    if (!clock) {
        auto steady = std::make_shared<QElapsedTimer>();
        steady->start();
        clock = [steady] { return steady->elapsed(); };
    }
    FClock = std::move(clock);
    FDueValid = false;
}

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
    const int64_t now = FClock();
    // The clock decides when a delay is over; the timer only wakes us, and
    // may fire a little late.
    if (FDueValid && now >= FFrameDue) FDelayElapsed = true;
    if (!PaintingEnabled || FPlaying < 0 || !FDelayElapsed) return;
    const int n = int(Frames()->size());
    if (n < 1) return;
    if (CurrentFrame < 0) CurrentFrame = 0;
    if (CurrentFrame <= n - 1)
        ++CurrentFrame;
    else
        CurrentFrame = 0;
    FramesLoaded = CurrentFrame;
    // On schedule, the next frame starts when the last one was due, however
    // late this tick is; after a long stall (or a Stop) it starts now. The
    // empty step after the last frame takes a tick, so frame 0 starts now
    // too, or it would lose that tick of its own delay.
    const bool onSchedule =
        FDueValid && now >= FFrameDue && now - FFrameDue <= CatchUpLimit && CurrentFrame != 0;
    ShowFrameFrom(CurrentFrame, onSchedule ? FFrameDue : now);
    const QSize image = ImageSize();
    if (image.width() != ScreenWidth || image.height() != ScreenHeight) {
        ScreenWidth = uint16_t(image.width());
        ScreenHeight = uint16_t(image.height());
        ApplyAutoSize();
    }
}

void PVWebImage::ShowFrame(int index) {
    ShowFrameFrom(index, FClock());
}

void PVWebImage::ShowFrameFrom(int index, int64_t start) {
    if (index < 0 || size_t(index) >= Frames()->size()) return;
    const int64_t now = FClock(); // before painting, which takes its own time
    const TMyGifAnimation* record = (*Frames())[size_t(index)];
    DisplayedDisposal = record->Disposal;
    DisplayedTransparency = record->HasTransparency == 1;
    DisplayedTransparentIndex = record->TransparentIndex;
    DrawLeft = record->Left;
    DrawTop = record->Top;
    DisplayedFrame = index;
    // The display works on its own copy, so the editor may change the record.
    NewCurrentDib();
    SetCurrentDib(GlobalLock(DuplicateGlobalBlock(record->DibHandle)));
    Paint();
    FFrameDue = start + int64_t(ShownDelay(record->Delay)) * 10;
    FDueValid = true;
    FDelayElapsed = false;
    FDelayTimer->start(int(std::max<int64_t>(0, FFrameDue - now)));
}

void PVWebImage::StopPlayback() {
    Stop();
}

void PVWebImage::PaintNow() {
    ComposeAndShow(true);
}

void PVWebImage::ProcessMessages() {
    QCoreApplication::processEvents();
}

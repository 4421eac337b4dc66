#pragma once
// The frame buffer of the capture windows (video file and live video):
// every grab converted to a 256- or 16-colour DIB and kept as a finished
// frame record. The buffer owns the records until the editor takes them
// (TakeFrames); ClearFrameBuffer frees them.
//
// Less quality shares one palette over a capture run, so that frames
// stored without a local palette (UseLocalPalette 0) show correctly with
// the animation's one colour table. While the run goes on each grab is
// mapped onto the palette its first grab designed; when the run ends
// (FinishRun) one palette is designed from the colours of all its grabs
// and every record of the run is mapped onto it again. A palette of the
// first frame alone would lose every colour that comes later (a video
// that fades in from black would stay black).
#include "imaging/animated/PVTDib.h"
#include "imaging/animated/TMyGifAnimation.h"
#include "platform/TBitmap.h"

#include <memory>
#include <string>
#include <vector>

class TCaptureBuffer {
  public:
    TCaptureBuffer() = default;
    TCaptureBuffer(const TCaptureBuffer&) = delete;
    TCaptureBuffer& operator=(const TCaptureBuffer&) = delete;
    // Frees the work DIB and the list object only: records still in the
    // list belong to whoever took them (see ClearFrameBuffer).
    ~TCaptureBuffer();

    // In capture order.
    TFrameList FFrameList;
    // Receives each converted grab.
    PVWebImg::PVTDib FWorkDib;

    // Converts the bitmap at 8 (colors256) or 4 bits and appends a record
    // named `name`; false (nothing added) when the conversion fails.
    bool ConvertAndAddFrame(const zp::TBitmap& bitmap, bool highQuality, bool colors256,
                            const std::string& name);
    // A new capture run: the next less-quality grab designs a new palette.
    void StartRun();
    // Designs the run's palette from all its grabs and maps them onto it.
    void FinishRun();
    // Frees every record and its block, last first, and empties the list.
    void ClearFrameBuffer();
    // Ends the run and hands the records over: the list is empty afterwards.
    TFrameList TakeFrames();
    // "There are n frames in the buffer".
    std::string BufferText() const;

  private:
    void AppendFrameRecord(bool highQuality, const std::string& name);

    HPALETTE FRunPalette = 0;
    int32_t FRunBits = 0;
    // The run's less-quality records with the true-colour grabs they came from.
    struct RunGrab {
        TMyGifAnimation* record;
        std::unique_ptr<zp::TBitmap> picture;
    };
    std::vector<RunGrab> FRun;
    bool FRunChanged = false;
};

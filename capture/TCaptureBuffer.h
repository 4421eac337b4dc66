#pragma once
// The frame buffer of the capture windows (video file and live video):
// every grab converted to a 256- or 16-colour DIB and kept as a finished
// frame record. The buffer owns the records until the editor takes them
// (TakeFrames); ClearFrameBuffer frees them.
//
// Less quality shares one palette over a capture run: the first grab of
// the run designs it from its own colours, every later grab is mapped onto
// it, so that frames stored without a local palette (UseLocalPalette 0)
// show correctly with the animation's one colour table.
#include "imaging/animated/PVTDib.h"
#include "imaging/animated/TMyGifAnimation.h"
#include "platform/TBitmap.h"

#include <string>

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
    // Frees every record and its block, last first, and empties the list.
    void ClearFrameBuffer();
    // "There are n frames in the buffer".
    std::string BufferText() const;

  private:
    void AppendFrameRecord(bool highQuality, const std::string& name);

    HPALETTE FRunPalette = 0;
    int32_t FRunBits = 0;
};

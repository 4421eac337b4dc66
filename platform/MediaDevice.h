#pragma once
// The media device behind the player bar: a video file (or capture device)
// that opens, plays, pauses, stops, steps, goes back, seeks, reports its
// mode, position and length, and shows its frames on a display sink.
//
// Threads: every call is made on the UI thread. While playing, a worker
// thread decodes ahead and, when a frame is due, asks the UI thread to
// collect it through the Wake callback (which must only post; the UI thread
// then calls Deliver). A frame is due one frame time after the previous
// one was collected, so a busy UI slows the video down instead of losing
// frames: the position is the presented frame's own time, and everything
// that counts on that clock (the capture window's interval grabs) sees
// each frame exactly once.
#include "platform/MediaDecoder.h"
#include "platform/PlatformExport.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

namespace zp {

// The player's modes, in the order of the MCI modes from "not ready" up.
enum class MediaMode { NotReady, Stopped, Playing, Recording, Seeking, Paused, Open };

// What shows the frames: the display window of the MCI device.
class MediaSink {
  public:
    virtual ~MediaSink() = default;
    // The frame now on display (called on the UI thread), to be drawn into
    // the device's display rectangle.
    virtual void ShowMediaFrame(const MediaFrame& frame) = 0;
};

class ZP_EXPORT MediaDevice {
  public:
    MediaDevice() = default;
    ~MediaDevice();
    MediaDevice(const MediaDevice&) = delete;
    MediaDevice& operator=(const MediaDevice&) = delete;

    // Opening shows the first frame. False with Error() holding the text.
    bool Open(const std::string& file);
    // A camera through libavdevice (format "v4l2", device "/dev/video0").
    bool OpenCamera(const std::string& format, const std::string& device);
    void Close();
    bool IsOpen() const { return FDecoder.IsOpen(); }
    const std::string& Error() const { return FError; }
    // A live source has no length and cannot seek or go back.
    bool Live() const { return FLive; }

    // Each answers false with Error() set when no device is open or the
    // command fails. Play rewinds first when the position is at the end.
    bool Play();
    bool Pause();
    bool Stop();
    bool Step(int frames = 1);
    bool Back(int frames = 1);
    bool Seek(int64_t positionMs);

    MediaMode Mode() const;
    // Milliseconds; the position is that of the frame on display.
    // At the end of the medium it is the length, as MCI reports it.
    int64_t Position() const {
        return FAtEnd ? std::max(Length(), FCurrent.positionMs) : FCurrent.positionMs;
    }
    int64_t Length() const;
    // The frame on display (empty before the first).
    const MediaFrame& Current() const { return FCurrent; }

    void SetSink(MediaSink* sink) { FSink = sink; }
    MediaSink* Sink() const { return FSink; }
    void SetDisplayRect(int32_t x, int32_t y, int32_t width, int32_t height);
    int32_t DisplayX() const { return FRectX; }
    int32_t DisplayY() const { return FRectY; }
    int32_t DisplayWidth() const { return FRectW; }
    int32_t DisplayHeight() const { return FRectH; }

    // Set before Play; called from the worker thread.
    std::function<void()> Wake;
    // Collects a due frame or the end of the medium; called on the UI
    // thread after Wake. Answers true when the frame on display changed.
    bool Deliver();
    // Called on the UI thread after every mode change (end of medium included).
    std::function<void()> OnModeChange;

  private:
    bool OpenWith(bool ok);
    bool NoDevice();
    void StopWorker();
    void Work();
    void Present(MediaFrame&& frame);
    // The next frame in order: the read-ahead first, then the decoder.
    bool TakeNext(MediaFrame& frame);

    MediaDecoder FDecoder;
    std::string FError;
    bool FLive = false;
    MediaSink* FSink = nullptr;
    int32_t FRectX = 0, FRectY = 0, FRectW = 0, FRectH = 0;
    MediaFrame FCurrent;
    bool FAtEnd = false;
    MediaMode FMode = MediaMode::NotReady;

    // Shared with the worker, under FLock.
    std::thread FWorker;
    mutable std::mutex FLock;
    std::condition_variable FSignal;
    bool FQuit = false;
    std::deque<MediaFrame> FAhead;
    std::optional<MediaFrame> FDue;
    bool FEnded = false;
    std::chrono::steady_clock::time_point FShownAt;
    int64_t FShownFor = 0;
};

} // namespace zp

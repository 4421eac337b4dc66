#pragma once
// One video stream of a media file (or a capture device) decoded with
// FFmpeg into 32-bit BGRX frames at the stream's own size. Not thread-safe:
// one thread at a time uses a decoder (the media device hands it between
// its worker and the UI thread).
#include "platform/PlatformExport.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace zp {

// A decoded picture: top-down rows of 0xXXRRGGBB words (the device-bitmap
// layout of platform/Gdi.h), with its place on the stream's clock.
struct MediaFrame {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint32_t> pixels;
    int64_t positionMs = 0; // presentation time from the start of the stream
    int64_t durationMs = 40;
    int64_t index = 0; // 0-based frame number, from the time and the frame rate
    bool empty() const { return pixels.empty(); }
};

class ZP_EXPORT MediaDecoder {
  public:
    MediaDecoder();
    ~MediaDecoder();
    MediaDecoder(const MediaDecoder&) = delete;
    MediaDecoder& operator=(const MediaDecoder&) = delete;

    // Opens the file's best video stream; false with Error() set.
    bool Open(const std::string& file);
    // Opens a capture device through libavdevice ("v4l2" and "/dev/video0").
    bool OpenDevice(const std::string& format, const std::string& device);
    void Close();
    bool IsOpen() const;
    const std::string& Error() const { return FError; }

    // The next frame in decoding order; false at the end or on an error.
    bool Next(MediaFrame& frame);
    // Repositions so that Next gives the first frame at or after the time
    // (0 = the first frame).
    bool Seek(int64_t positionMs);

    int64_t LengthMs() const { return FLengthMs; }
    int64_t FrameDurationMs() const { return FFrameMs; }
    int32_t Width() const;
    int32_t Height() const;

  private:
    bool OpenInput(const std::string& url, const void* inputFormat);
    bool Convert(const void* decoded, MediaFrame& frame);

    struct Contexts;
    std::unique_ptr<Contexts> FAv;
    std::string FError;
    int64_t FLengthMs = 0;
    int64_t FFrameMs = 40;
    // Frames before this time are decoded and dropped (after a seek).
    int64_t FSkipBeforeMs = 0;
};

} // namespace zp

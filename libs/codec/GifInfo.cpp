// an_gifinfo: the structure of a GIF file (screen, loop block, every image's
// blocks and data size) for tools that print it; no picture is made.
#include "libs/codec/CodecErrors.h"
#include "libs/codec/PvCodec.h"
#include "libs/codec/core/FileBytes.h"
#include "libs/codec/core/GifDecoder.h"

#include <new>
#include <vector>

namespace {

using gifcore::GifImage;
using gifcore::GifScreen;
using gifcore::GifSummary;

class InfoSink final : public gifcore::GifSink {
  public:
    InfoSink(PVGifInfoCallback cb, void* user) : cb_(cb), user_(user) {}

    bool onStart(const GifScreen& screen, const GifSummary& summary) override {
        stream_.ScreenWidth = screen.width;
        stream_.ScreenHeight = screen.height;
        stream_.GlobalColors = screen.global.count;
        stream_.BackgroundIndex = screen.backgroundIndex;
        stream_.AspectRatio = screen.aspect;
        stream_.HasLoopExtension = summary.hasLoopExtension ? 1 : 0;
        stream_.Loops = summary.hasLoopExtension ? summary.loops : 0;
        stream_.ImageCount = summary.imageCount;
        return cb_(&stream_, nullptr, -1, user_) == 1;
    }

    bool onImage(const GifScreen&, const GifImage& image) override {
        PVGifImageInfo info{};
        info.Left = image.left;
        info.Top = image.top;
        info.Width = image.width;
        info.Height = image.height;
        info.LocalColors = image.local ? image.local->count : 0;
        info.Interlaced = image.interlaced ? 1 : 0;
        info.HasControl = image.control.present ? 1 : 0;
        info.Disposal = image.control.disposal;
        info.Transparent = image.control.transparent ? 1 : 0;
        info.TransparentIndex = image.control.transparentIndex;
        info.Filled = image.filled ? 1 : 0;
        info.Delay = image.control.delay;
        info.LzwBytes = image.lzwBytes;
        return cb_(&stream_, &info, image.number, user_) == 1;
    }

  private:
    PVGifInfoCallback cb_;
    void* user_;
    PVGifStreamInfo stream_{};
};

} // namespace

PVCODEC_API int32_t an_gifinfo(const char* file, PVGifInfoCallback cb, void* user,
                               int16_t /*zero*/) {
    if (!file || !cb) return PVE_BAD_ARGUMENT;
    try {
        std::vector<uint8_t> bytes;
        const int32_t rc = gifcore::readFileBytes(file, bytes);
        if (rc != PVE_OK) return rc;
        InfoSink sink(cb, user);
        gifcore::GifDecoder decoder;
        return decoder.decode(bytes.data(), bytes.size(), sink);
    } catch (const std::bad_alloc&) {
        return PVE_NO_MEMORY;
    } catch (...) {
        return PVE_INTERNAL;
    }
}

// libFuzzer target: the GIF decoder over arbitrary bytes, building (and
// freeing) each image's DIB and a screen composite as the codec's entry
// points do, and composing the animation from those DIBs as the viewer does.
#include "imaging/animated/PVCompositor.h"
#include "libs/codec/core/GifCanvas.h"
#include "libs/codec/core/GifDecoder.h"
#include "libs/codec/core/GifFrameDib.h"
#include "platform/GlobalBlock.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace {

// A smaller pixel limit than the codec's keeps each run fast; the checks
// exercised are the same.
constexpr uint64_t kMaxPixels = uint64_t(1) << 22;

// Keeps the first images as frame records, so that the viewer's way of
// composing (steps, jumps back, restarts) runs over them afterwards.
constexpr size_t kMaxRecords = 24;

class FuzzSink final : public gifcore::GifSink {
  public:
    ~FuzzSink() override {
        for (TMyGifAnimation& r : records_)
            zp::GlobalBlock::freeFully(r.DibHandle);
    }

    bool onImage(const gifcore::GifScreen& screen, const gifcore::GifImage& image) override {
        zp::GlobalBlock dib(gifcore::makeImageDib(image, 0x00FF00FF));
        const bool small = uint64_t(screen.width) * screen.height <= kMaxPixels;
        if (image.number == 0 && small)
            zp::GlobalBlock canvas(gifcore::composeOnScreen(screen, image));
        if (small && dib && records_.size() < kMaxRecords) {
            TMyGifAnimation r;
            r.ScreenWidth = screen.width;
            r.ScreenHeight = screen.height;
            r.Left = int16_t(std::min<uint16_t>(image.left, INT16_MAX));
            r.Top = int16_t(std::min<uint16_t>(image.top, INT16_MAX));
            r.Disposal = image.control.disposal;
            r.HasTransparency = image.control.transparent;
            r.TransparentIndex = image.control.transparentIndex;
            r.DibHandle = dib.release();
            records_.push_back(r);
        }
        return true;
    }

    void compose() {
        TFrameList frames;
        for (TMyGifAnimation& r : records_)
            frames.push_back(&r);
        PVWebImg::PVCompositor compositor;
        const int n = int(frames.size());
        for (int i = 0; i < n; ++i)
            compositor.ComposeTo(frames, i);
        for (int k : {n / 2, 0, n - 1, n / 3})
            compositor.ComposeTo(frames, k);
    }

  private:
    std::vector<TMyGifAnimation> records_;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    gifcore::GifDecoder decoder({kMaxPixels});
    FuzzSink sink;
    decoder.decode(data, size, sink);
    sink.compose();
    return 0;
}

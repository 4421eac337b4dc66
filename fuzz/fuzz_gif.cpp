// libFuzzer target: the GIF decoder over arbitrary bytes, building (and
// freeing) each image's DIB and a screen composite as the codec's entry
// points do, and composing the animation from those DIBs as the viewer does.
#include "imaging/animated/PVCompositor.h"
#include "libs/codec/core/GifCanvas.h"
#include "libs/codec/core/GifDecoder.h"
#include "libs/codec/core/GifFrameDib.h"
#include "platform/GlobalBlock.h"

#include <cstddef>
#include <cstdint>

namespace {

// A smaller pixel limit than the codec's keeps each run fast; the checks
// exercised are the same.
constexpr uint64_t kMaxPixels = uint64_t(1) << 22;

class FuzzSink final : public gifcore::GifSink {
  public:
    bool onImage(const gifcore::GifScreen& screen, const gifcore::GifImage& image) override {
        zp::GlobalBlock dib(gifcore::makeImageDib(image, 0x00FF00FF));
        const bool small = uint64_t(screen.width) * screen.height <= kMaxPixels;
        if (image.number == 0 && small) {
            zp::GlobalBlock canvas(gifcore::composeOnScreen(screen, image));
            compositor_.Reset(screen.width, screen.height);
        }
        if (small) {
            zp::GlobalLockGuard lock(dib.get());
            compositor_.DrawDib(lock.as<BITMAPINFOHEADER>(), image.left, image.top,
                                image.control.transparent ? image.control.transparentIndex : -1,
                                image.control.disposal);
        }
        return true;
    }

  private:
    PVWebImg::PVCompositor compositor_;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    gifcore::GifDecoder decoder({kMaxPixels});
    FuzzSink sink;
    decoder.decode(data, size, sink);
    return 0;
}

// an_rdgiffiledib: every image of a GIF file handed to the caller's callback
// as a packed DIB with the file's records.
#include "libs/codec/CodecErrors.h"
#include "libs/codec/PvCodec.h"
#include "libs/codec/core/FileBytes.h"
#include "libs/codec/core/GifDecoder.h"
#include "libs/codec/core/GifFrameDib.h"

#include <algorithm>
#include <new>
#include <string>

namespace {

using gifcore::GifImage;
using gifcore::GifScreen;
using gifcore::GifSummary;

class LoadSink final : public gifcore::GifSink {
  public:
    LoadSink(uint32_t mapColour, PVGifLoadCallback cb, void* user)
        : mapColour_(mapColour), cb_(cb), user_(user) {}

    // Set when the sink itself failed (rather than the callback stopping).
    int32_t error = PVE_OK;

    bool onStart(const GifScreen& screen, const GifSummary& summary) override {
        header_.ScreenWidth = screen.width;
        header_.ScreenHeight = screen.height;
        header_.Colors = uint8_t(std::min<uint16_t>(screen.global.count, 255));
        header_.Reserved = screen.aspect;
        if (screen.backgroundIndex < screen.global.count) {
            const uint8_t* c = screen.global.rgb[screen.backgroundIndex];
            header_.Background = RGB(c[0], c[1], c[2]);
        }
        // A lone image without a loop extension is a still picture.
        code_ =
            summary.imageCount == 1 && !summary.hasLoopExtension ? PV_CODE_SINGLE : PV_CODE_FRAME;
        loops_ = summary.hasLoopExtension ? summary.loops : 1;
        return true;
    }

    bool onComment(std::string_view text) override {
        const std::string copy(text); // zero-terminated for the callback
        return cb_(0, &header_, nullptr, nullptr, loops_, copy.c_str(), PV_CODE_COMMENT, user_) ==
               1;
    }

    bool onImage(const GifScreen&, const GifImage& image) override {
        MyGifImageDescriptor descriptor{};
        // Positions past 32767 cannot be shown in the signed record; they
        // lie far outside any screen we accept, so they are pinned there.
        descriptor.Left = int16_t(std::min<uint16_t>(image.left, INT16_MAX));
        descriptor.Top = int16_t(std::min<uint16_t>(image.top, INT16_MAX));
        descriptor.Width = int16_t(image.width);
        descriptor.Height = int16_t(image.height);
        descriptor.LocalPalette = image.local ? 1 : 0;
        descriptor.Interlaced = image.interlaced ? 1 : 0;
        descriptor.LocalColors =
            image.local ? uint8_t(std::min<uint16_t>(image.local->count, 255)) : 0;
        MyGifGraphicControlBlock control{};
        control.Disposal = image.control.disposal;
        control.Transparent = image.control.transparent ? 1 : 0;
        control.Delay = image.control.delay;
        control.TransparentIndex = image.control.transparentIndex;

        const HGLOBAL dib = gifcore::makeImageDib(image, mapColour_);
        if (!dib) {
            error = PVE_NO_MEMORY;
            return false;
        }
        // The callback owns the block from here on, whatever it answers.
        return cb_(dib, &header_, &descriptor, image.control.present ? &control : nullptr, loops_,
                   "", code_, user_) == 1;
    }

    bool onProgress(int32_t percent) override {
        return cb_(0, nullptr, nullptr, nullptr, loops_, "", int16_t(percent), user_) == 1;
    }

  private:
    uint32_t mapColour_;
    PVGifLoadCallback cb_;
    void* user_;
    MyGifHeader header_{};
    int16_t code_ = PV_CODE_FRAME;
    int32_t loops_ = 1;
};

} // namespace

PVCODEC_API int32_t an_rdgiffiledib(const char* file, uint32_t mapColor, PVGifLoadCallback cb,
                                    void* user, int16_t /*zero*/) {
    if (!file || !cb) return PVE_BAD_ARGUMENT;
    try {
        std::vector<uint8_t> bytes;
        const int32_t rc = gifcore::readFileBytes(file, bytes);
        if (rc != PVE_OK) return rc;
        LoadSink sink(mapColor, cb, user);
        gifcore::GifDecoder decoder;
        const int32_t result = decoder.decode(bytes.data(), bytes.size(), sink);
        return sink.error != PVE_OK ? sink.error : result;
    } catch (const std::bad_alloc&) {
        return PVE_NO_MEMORY;
    } catch (...) {
        return PVE_INTERNAL;
    }
}

#pragma once
// What the effect benchmarks share: the picture sizes, the photo-like
// picture as R, G, B bytes, and that picture made into our 24-bit DIB and
// into an ImageMagick image, so both sides start from the same pixels.
#include "BenchImages.h"
#include "libs/imagecore/Dib.h"

#include <cstddef>
#include <cstdint>
#include <magick/MagickCore.h>
#include <vector>

namespace fxbench {

struct Size {
    int w, h;
    const char* name;
};
inline constexpr Size kSizes[] = {{1920, 1080, "1920x1080"}, {640, 480, "640x480"}};

// The indexed photo-like frame of BenchImages expanded to R, G, B bytes.
inline std::vector<uint8_t> photoFrameRgb(int w, int h) {
    const benchimages::IndexedFrame f = benchimages::photoFrame(w, h);
    std::vector<uint8_t> rgb(f.pixels.size() * 3);
    for (size_t i = 0; i < f.pixels.size(); ++i)
        for (size_t c = 0; c < 3; ++c)
            rgb[i * 3 + c] = f.palette[size_t(f.pixels[i]) * 3 + c];
    return rgb;
}

// A bottom-up 24-bit DIB (B, G, R order) of the R, G, B bytes.
inline HGLOBAL makeDib(const std::vector<uint8_t>& rgb, int w, int h) {
    HGLOBAL d = ic::createDib(w, h, 24, nullptr);
    ic::MutableDib m(d);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const uint8_t* s = &rgb[(size_t(y) * size_t(w) + size_t(x)) * 3];
            uint8_t* o = m.row(y) + size_t(x) * 3;
            o[0] = s[2], o[1] = s[1], o[2] = s[0];
        }
    return d;
}

// An ImageMagick image of the R, G, B bytes; starts MagickCore on first use.
inline Image* makeImage(const std::vector<uint8_t>& rgb, int w, int h) {
    static const bool ready = [] {
        MagickCoreGenesis(nullptr, MagickFalse);
        return true;
    }();
    (void)ready;
    ExceptionInfo* e = AcquireExceptionInfo();
    Image* img = ConstituteImage(size_t(w), size_t(h), "RGB", CharPixel, rgb.data(), e);
    DestroyExceptionInfo(e);
    return img;
}

// A copy of the image reduced to the given number of colours with
// Floyd-Steinberg dithering; the caller destroys it.
inline Image* floydQuantized(const Image* image, size_t colours) {
    ExceptionInfo* e = AcquireExceptionInfo();
    Image* copy = CloneImage(image, 0, 0, MagickTrue, e);
    DestroyExceptionInfo(e);
    if (!copy) return nullptr;
    QuantizeInfo* q = AcquireQuantizeInfo(nullptr);
    q->number_colors = colours;
    q->dither = MagickTrue;
    q->dither_method = FloydSteinbergDitherMethod;
    QuantizeImage(q, copy);
    DestroyQuantizeInfo(q);
    return copy;
}

// The photo-like frame at w x h, on our side and on ImageMagick's.
inline HGLOBAL frameDib(int w, int h) {
    return makeDib(photoFrameRgb(w, h), w, h);
}

inline Image* frameImage(int w, int h) {
    return makeImage(photoFrameRgb(w, h), w, h);
}

} // namespace fxbench

// Geometric effects against ImageMagick's nearest equivalents on the same
// photo-like picture at 24 bits: swirl, implode (our pinch), spread (our
// spray), wave and rotation by 30 degrees. Both sides make a new picture.
// Our effects run on one thread, so ImageMagick is held to one thread too
// (its OpenMP pool otherwise takes both cores); rates use wall time.
#include "BenchImages.h"
#include "libs/effects/core/GeometryEffects.h"
#include "libs/imagecore/Dib.h"
#include "platform/GlobalBlock.h"

#include <benchmark/benchmark.h>
#include <functional>
#include <magick/MagickCore.h>
#include <string>
#include <vector>

namespace {

struct Size {
    int w, h;
    const char* name;
};
constexpr Size kSizes[] = {{1920, 1080, "1920x1080"}, {640, 480, "640x480"}};

std::vector<uint8_t> rgbPixels(int w, int h) {
    const benchimages::IndexedFrame f = benchimages::photoFrame(w, h);
    std::vector<uint8_t> rgb(f.pixels.size() * 3);
    for (size_t i = 0; i < f.pixels.size(); ++i)
        for (size_t c = 0; c < 3; ++c)
            rgb[i * 3 + c] = f.palette[size_t(f.pixels[i]) * 3 + c];
    return rgb;
}

HGLOBAL makeDib(int w, int h) {
    const std::vector<uint8_t> rgb = rgbPixels(w, h);
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

Image* makeImage(int w, int h) {
    static const bool ready = [] {
        MagickCoreGenesis(nullptr, MagickFalse);
        return true;
    }();
    (void)ready;
    const std::vector<uint8_t> rgb = rgbPixels(w, h);
    ExceptionInfo* e = AcquireExceptionInfo();
    Image* img = ConstituteImage(size_t(w), size_t(h), "RGB", CharPixel, rgb.data(), e);
    DestroyExceptionInfo(e);
    return img;
}

using Ours = std::function<uintptr_t(const fx::AreaCall&)>;
using Peer = std::function<Image*(const Image*, ExceptionInfo*)>;

void registerPair(const std::string& name, Ours ours, Peer peer) {
    for (const Size& s : kSizes) {
        benchmark::RegisterBenchmark(("Fx" + name + "_ours_" + s.name).c_str(),
                                     [=](benchmark::State& st) {
                                         zp::GlobalBlock dib(makeDib(s.w, s.h));
                                         const fx::AreaCall call{dib.get(), 0,       0,      0,
                                                                 0,         nullptr, nullptr};
                                         for (auto _ : st) {
                                             zp::GlobalBlock out(ours(call));
                                             if (!out) st.SkipWithError("effect failed");
                                         }
                                         st.SetItemsProcessed(int64_t(st.iterations()) * s.w * s.h);
                                     })
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
        benchmark::RegisterBenchmark(("Fx" + name + "_imagemagick_" + s.name).c_str(),
                                     [=](benchmark::State& st) {
                                         Image* src = makeImage(s.w, s.h);
                                         const MagickSizeType threads =
                                             GetMagickResourceLimit(ThreadResource);
                                         SetMagickResourceLimit(ThreadResource, 1);
                                         ExceptionInfo* e = AcquireExceptionInfo();
                                         for (auto _ : st) {
                                             Image* out = peer(src, e);
                                             if (!out)
                                                 st.SkipWithError("ImageMagick failed");
                                             else
                                                 DestroyImage(out);
                                         }
                                         DestroyExceptionInfo(e);
                                         DestroyImage(src);
                                         SetMagickResourceLimit(ThreadResource, threads);
                                         st.SetItemsProcessed(int64_t(st.iterations()) * s.w * s.h);
                                     })
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
    }
}

const bool registered = [] {
    registerPair(
        "Swirl", [](const fx::AreaCall& c) { return fx::whirl(c, 1800); },
        [](const Image* i, ExceptionInfo* e) { return SwirlImage(i, 180, e); });
    registerPair(
        "Implode", [](const fx::AreaCall& c) { return fx::pinchHole(c, -10); },
        [](const Image* i, ExceptionInfo* e) { return ImplodeImage(i, 0.5, e); });
    registerPair(
        "Spread", [](const fx::AreaCall& c) { return fx::spray(c, 360, 3); },
        [](const Image* i, ExceptionInfo* e) { return SpreadImage(i, 3, e); });
    registerPair(
        "Wave", [](const fx::AreaCall& c) { return fx::wave(c, false, true, 0, 40, 100); },
        [](const Image* i, ExceptionInfo* e) { return WaveImage(i, 10, 40, e); });
    registerPair(
        "Rotate30",
        [](const fx::AreaCall& c) { return fx::rotate(c.dib, 0, 0, 0, 0, 0xFFFFFF, 30); },
        [](const Image* i, ExceptionInfo* e) { return RotateImage(i, 30, e); });
    return true;
}();

} // namespace

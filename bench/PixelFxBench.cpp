// Pixel effects against ImageMagick's nearest equivalents on the same
// photo-like picture at 24 bits. Our effects return a new picture, so the
// copy is timed on our side; ImageMagick's in-place operations work on a
// clone made outside the timing.
#include "FxBenchSupport.h"
#include "libs/effects/core/PixelEffects.h"
#include "platform/GlobalBlock.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <functional>
#include <string>
#include <vector>

namespace {

using fxbench::kSizes;
using fxbench::Size;

using Ours = std::function<uintptr_t(uintptr_t)>;
// A peer that makes a new image, or (inPlace) changes the one it is given.
using Peer = std::function<Image*(Image*, ExceptionInfo*)>;

void registerPair(const std::string& name, Ours ours, Peer peer, bool peerInPlace) {
    for (const Size& s : kSizes) {
        benchmark::RegisterBenchmark(("Fx" + name + "_ours_" + s.name).c_str(),
                                     [=](benchmark::State& st) {
                                         zp::GlobalBlock dib(fxbench::frameDib(s.w, s.h));
                                         for (auto _ : st) {
                                             zp::GlobalBlock out(ours(dib.get()));
                                             if (!out) st.SkipWithError("effect failed");
                                         }
                                         st.SetItemsProcessed(int64_t(st.iterations()) * s.w * s.h);
                                     })
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("Fx" + name + "_imagemagick_" + s.name).c_str(),
                                     [=](benchmark::State& st) {
                                         Image* src = fxbench::frameImage(s.w, s.h);
                                         ExceptionInfo* e = AcquireExceptionInfo();
                                         for (auto _ : st) {
                                             Image* in = src;
                                             if (peerInPlace) {
                                                 st.PauseTiming();
                                                 in = CloneImage(src, 0, 0, MagickTrue, e);
                                                 st.ResumeTiming();
                                             }
                                             Image* out = peer(in, e);
                                             if (!out)
                                                 st.SkipWithError("ImageMagick failed");
                                             else if (out != src)
                                                 DestroyImage(out);
                                         }
                                         DestroyExceptionInfo(e);
                                         DestroyImage(src);
                                         st.SetItemsProcessed(int64_t(st.iterations()) * s.w * s.h);
                                     })
            ->Unit(benchmark::kMillisecond);
    }
}

// Area effects over the whole picture, no progress callback.
template <class Fn> Ours area(Fn fn) {
    return [=](uintptr_t d) { return fn(d); };
}

const bool registered = [] {
    registerPair(
        "Blur", area([](uintptr_t d) { return fx::blur(d, 0, 0, nullptr, nullptr, 3, 0, 0); }),
        [](Image* i, ExceptionInfo* e) { return BlurImage(i, 0, 3.46, e); }, false);
    registerPair(
        "Sharpen",
        area([](uintptr_t d) { return fx::sharpen(d, 0, 0, nullptr, nullptr, 5, 0, 0); }),
        [](Image* i, ExceptionInfo* e) { return SharpenImage(i, 0, 1.41, e); }, false);
    registerPair(
        "Edge", area([](uintptr_t d) { return fx::edge(d, 0, 0, nullptr, nullptr, 1, 0, 0); }),
        [](Image* i, ExceptionInfo* e) { return EdgeImage(i, 1, e); }, false);
    registerPair(
        "Emboss", area([](uintptr_t d) { return fx::engrave(d, 0, 0, nullptr, nullptr, 3, 0, 0); }),
        [](Image* i, ExceptionInfo* e) { return EmbossImage(i, 1, 0.5, e); }, false);
    registerPair(
        "OilPaint",
        area([](uintptr_t d) { return fx::oilPainting(d, 0, 0, nullptr, nullptr, 3, 0, 0); }),
        [](Image* i, ExceptionInfo* e) { return OilPaintImage(i, 3, e); }, false);
    registerPair(
        "MotionBlur",
        area([](uintptr_t d) { return fx::motion(d, 0, 0, nullptr, nullptr, 3, 30, 10, 0, 0); }),
        [](Image* i, ExceptionInfo* e) { return MotionBlurImage(i, 10, 5, 30, e); }, false);
    registerPair(
        "Noise", area([](uintptr_t d) {
            return fx::noise(d, 0, 0, nullptr, nullptr, 20, 20, 20, 0, 1, 0, 0);
        }),
        [](Image* i, ExceptionInfo* e) { return AddNoiseImage(i, GaussianNoise, e); }, false);
    registerPair(
        "Gamma", [](uintptr_t d) { return fx::gamma(d, 20); },
        [](Image* i, ExceptionInfo*) { return GammaImage(i, "2.0") ? i : nullptr; }, true);
    registerPair(
        "Brightness", [](uintptr_t d) { return fx::brightness(d, 40); },
        [](Image* i, ExceptionInfo*) { return BrightnessContrastImage(i, 15, 0) ? i : nullptr; },
        true);
    registerPair(
        "HueSaturation",
        [](uintptr_t d) {
            // Replaces its argument: work on a copy so the shared input lives on.
            zp::GlobalBlock copy(GlobalAlloc(GHND, GlobalSize(d)));
            {
                zp::GlobalLockGuard from(d), to(copy.get());
                std::copy_n(from.as<uint8_t>(), GlobalSize(d), to.as<uint8_t>());
            }
            uintptr_t h = copy.release();
            if (!fx::hueAndSaturation(&h, 1, 1, nullptr, nullptr, 0, 0, 0, 0, 10, 20, 30, 1, 1, 1,
                                      1)) {
                zp::GlobalBlock::freeFully(h);
                return uintptr_t(0);
            }
            return h;
        },
        [](Image* i, ExceptionInfo*) { return ModulateImage(i, "110,120,117") ? i : nullptr; },
        true);
    registerPair(
        // In place: a one-byte token block tells the loop it worked.
        "Mirror", [](uintptr_t d) { return fx::mirror(d, 0, -1) ? GlobalAlloc(GHND, 1) : 0; },
        [](Image* i, ExceptionInfo* e) { return FlopImage(i, e); }, false);
    return true;
}();

} // namespace

// Geometric effects against ImageMagick's nearest equivalents on the same
// photo-like picture at 24 bits: swirl, implode (our pinch), spread (our
// spray), wave and rotation by 30 degrees. Both sides make a new picture.
// Our effects run on one thread, so ImageMagick is held to one thread too
// (its OpenMP pool otherwise takes both cores); rates use wall time.
#include "FxBenchSupport.h"
#include "libs/effects/core/GeometryEffects.h"
#include "platform/GlobalBlock.h"

#include <benchmark/benchmark.h>
#include <functional>
#include <string>
#include <vector>

namespace {

using fxbench::kSizes;
using fxbench::Size;

using Ours = std::function<uintptr_t(const fx::AreaCall&)>;
using Peer = std::function<Image*(const Image*, ExceptionInfo*)>;

void registerPair(const std::string& name, Ours ours, Peer peer) {
    for (const Size& s : kSizes) {
        benchmark::RegisterBenchmark(("Fx" + name + "_ours_" + s.name).c_str(),
                                     [=](benchmark::State& st) {
                                         zp::GlobalBlock dib(fxbench::frameDib(s.w, s.h));
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
                                         Image* src = fxbench::frameImage(s.w, s.h);
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

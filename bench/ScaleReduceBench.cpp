// Resizing and colour reduction against ImageMagick (in-process MagickCore)
// and, for reduction, libimagequant (the library behind pngquant, linked
// when its development package is installed). Resizing: 1920x1080 down to
// 640x360 (ours: area averaging; ImageMagick: Box filter) and 640x480 up to
// 1280x960 (ours: bilinear; ImageMagick: Triangle filter). Reduction: a
// true-colour photo-like 1920x1080 picture to 256 colours with
// Floyd-Steinberg (ImageMagick QuantizeImage, dither on; libimagequant at
// its default speed, dithering 1.0); each reports the result's PSNR against
// the picture as the counter "psnr". ImageMagick is held to one thread, as
// ours run on one; rates use wall time.
#include "FxBenchSupport.h"
#include "libs/effects/core/ScaleEffects.h"
#include "libs/imagecore/Quantizer.h"
#include "platform/GlobalBlock.h"

#include <benchmark/benchmark.h>
#include <cmath>
#include <magick/MagickCore.h>
#include <vector>
#ifdef ZENTROPE_HAVE_IMAGEQUANT
#include <libimagequant.h>
#endif

namespace {

// A true-colour photo-like picture as R, G, B bytes: smooth gradients,
// texture and noise, so nearly every pixel has its own colour.
std::vector<uint8_t> photoRgb(int w, int h) {
    std::vector<uint8_t> rgb(size_t(w) * size_t(h) * 3);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const double fx = double(x) / w, fy = double(y) / h;
            const double v[3] = {0.5 + 0.45 * std::sin(fx * 6.0 + fy * 2.0) +
                                     0.06 * (benchimages::noise(x, y, 1) - 0.5),
                                 0.5 + 0.45 * std::cos(fy * 5.0 - fx * 3.0) +
                                     0.06 * (benchimages::noise(x, y, 2) - 0.5),
                                 0.2 + 0.5 * fx * fy + 0.2 * std::sin((x + y) * 0.05) +
                                     0.06 * (benchimages::noise(x, y, 3) - 0.5)};
            for (int c = 0; c < 3; ++c)
                rgb[(size_t(y) * size_t(w) + size_t(x)) * 3 + size_t(c)] =
                    uint8_t(std::lround(std::clamp(v[c], 0.0, 1.0) * 255));
        }
    return rgb;
}

using fxbench::makeDib;

// ImageMagick held to one thread, as ours run on one.
Image* makeImage(const std::vector<uint8_t>& rgb, int w, int h) {
    static const bool oneThread = [] {
        MagickCoreGenesis(nullptr, MagickFalse);
        SetMagickResourceLimit(ThreadResource, 1);
        return true;
    }();
    (void)oneThread;
    return fxbench::makeImage(rgb, w, h);
}

double psnr(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
    double sum = 0;
    for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
        const double d = double(a[i]) - double(b[i]);
        sum += d * d;
    }
    const double mse = sum / double(a.size());
    return mse == 0 ? 99.0 : 10.0 * std::log10(255.0 * 255.0 / mse);
}

struct Resize {
    int w, h, tw, th;
    const char* name;
};
constexpr Resize kResizes[] = {{1920, 1080, 640, 360, "1920x1080"},
                               {640, 480, 1280, 960, "640x480"}};

void registerResize() {
    for (const Resize r : kResizes) {
        benchmark::RegisterBenchmark(
            (std::string("FxResize_ours_") + r.name).c_str(),
            [r](benchmark::State& state) {
                zp::GlobalBlock in(makeDib(photoRgb(r.w, r.h), r.w, r.h));
                for (auto _ : state) {
                    zp::GlobalBlock out(fx::scaleDib(in.get(), r.tw, r.th, 24));
                    if (!out) state.SkipWithError("ScaleDib failed");
                }
                state.SetItemsProcessed(int64_t(state.iterations()) * r.w * r.h);
            })
            ->UseRealTime()
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(
            (std::string("FxResize_imagemagick_") + r.name).c_str(),
            [r](benchmark::State& state) {
                Image* in = makeImage(photoRgb(r.w, r.h), r.w, r.h);
                const FilterTypes filter = r.tw < r.w ? BoxFilter : TriangleFilter;
                for (auto _ : state) {
                    ExceptionInfo* e = AcquireExceptionInfo();
                    Image* out = ResizeImage(in, size_t(r.tw), size_t(r.th), filter, 1.0, e);
                    if (!out)
                        state.SkipWithError("ResizeImage failed");
                    else
                        DestroyImage(out);
                    DestroyExceptionInfo(e);
                }
                DestroyImage(in);
                state.SetItemsProcessed(int64_t(state.iterations()) * r.w * r.h);
            })
            ->UseRealTime()
            ->Unit(benchmark::kMillisecond);
    }
}

constexpr int kW = 1920, kH = 1080;

void reduceOurs(benchmark::State& state) {
    const std::vector<uint8_t> rgb = photoRgb(kW, kH);
    zp::GlobalBlock in(makeDib(rgb, kW, kH));
    std::vector<uint8_t> result;
    for (auto _ : state) {
        zp::GlobalBlock out(fx::reduceColors(in.get(), 256, 2));
        if (!out) {
            state.SkipWithError("PVReduceColors failed");
            break;
        }
        if (result.empty()) {
            zp::GlobalLockGuard lock(out.get());
            ic::DibView v;
            ic::parseDib(lock.data(), 0, v);
            for (uint32_t c : ic::toRgb(v))
                result.insert(result.end(), {uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c)});
        }
    }
    state.counters["psnr"] = psnr(rgb, result);
    state.SetItemsProcessed(int64_t(state.iterations()) * kW * kH);
}

void reduceMagick(benchmark::State& state) {
    const std::vector<uint8_t> rgb = photoRgb(kW, kH);
    Image* in = makeImage(rgb, kW, kH);
    std::vector<uint8_t> result(rgb.size());
    for (auto _ : state) {
        Image* copy = fxbench::floydQuantized(in, 256);
        ExceptionInfo* e = AcquireExceptionInfo();
        state.PauseTiming();
        ExportImagePixels(copy, 0, 0, kW, kH, "RGB", CharPixel, result.data(), e);
        state.ResumeTiming();
        DestroyImage(copy);
        DestroyExceptionInfo(e);
    }
    DestroyImage(in);
    state.counters["psnr"] = psnr(rgb, result);
    state.SetItemsProcessed(int64_t(state.iterations()) * kW * kH);
}

#ifdef ZENTROPE_HAVE_IMAGEQUANT
void reducePngquant(benchmark::State& state) {
    const std::vector<uint8_t> rgb = photoRgb(kW, kH);
    std::vector<uint8_t> rgba(size_t(kW) * kH * 4, 255);
    for (size_t i = 0; i < size_t(kW) * kH; ++i)
        std::copy_n(&rgb[i * 3], 3, &rgba[i * 4]);
    std::vector<uint8_t> indices(size_t(kW) * kH), result(rgb.size());
    for (auto _ : state) {
        liq_attr* attr = liq_attr_create();
        liq_set_max_colors(attr, 256);
        liq_image* image = liq_image_create_rgba(attr, rgba.data(), kW, kH, 0);
        liq_result* res = nullptr;
        if (liq_image_quantize(image, attr, &res) != LIQ_OK) {
            state.SkipWithError("libimagequant failed");
            break;
        }
        liq_set_dithering_level(res, 1.0f);
        liq_write_remapped_image(res, image, indices.data(), indices.size());
        state.PauseTiming();
        const liq_palette* pal = liq_get_palette(res);
        for (size_t i = 0; i < indices.size(); ++i) {
            const liq_color& c = pal->entries[indices[i]];
            result[i * 3] = c.r, result[i * 3 + 1] = c.g, result[i * 3 + 2] = c.b;
        }
        state.ResumeTiming();
        liq_result_destroy(res);
        liq_image_destroy(image);
        liq_attr_destroy(attr);
    }
    state.counters["psnr"] = psnr(rgb, result);
    state.SetItemsProcessed(int64_t(state.iterations()) * kW * kH);
}
#endif

const bool registered = [] {
    registerResize();
    benchmark::RegisterBenchmark("Reduce_ours_photo", reduceOurs)
        ->UseRealTime()
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Reduce_imagemagick_photo", reduceMagick)
        ->UseRealTime()
        ->Unit(benchmark::kMillisecond);
#ifdef ZENTROPE_HAVE_IMAGEQUANT
    benchmark::RegisterBenchmark("Reduce_pngquant_photo", reducePngquant)
        ->UseRealTime()
        ->Unit(benchmark::kMillisecond);
#endif
    return true;
}();

} // namespace

// Animation display: frames per second the animated-image component shows
// (copy of the frame's DIB, disposal, composition of the logical screen,
// its changed part copied into the canvas and repainted in an offscreen window)
// against a plain QPainter blit of the same animation's frames composed
// beforehand into full QImages. 300 frames on a 640x480 screen, optimised as
// GIF optimisers write them: a full first frame, then 160x120 patches moving
// across it with a transparent index and disposals 0 to 3.
#include "imaging/animated/PVCompositor.h"
#include "imaging/animated/PVWebImage.h"
#include "imaging/common/DibImage.h"
#include "platform/GlobalMemory.h"

#include "bench/BenchApp.h"
#include <QPainter>
#include <benchmark/benchmark.h>
#include <vector>

namespace {

constexpr int kScreenW = 640, kScreenH = 480, kFrames = 300;

// An 8-bit record whose picture is a moving diagonal pattern, palette a ramp.
TMyGifAnimation* makeFrame(int index, int left, int top, int width, int height) {
    const size_t stride = (size_t(width) + 3) / 4 * 4;
    const HGLOBAL block = GlobalAlloc(GHND, 40 + 256 * 4 + stride * size_t(height));
    auto* header = static_cast<BITMAPINFOHEADER*>(GlobalLock(block));
    *header = BITMAPINFOHEADER{40, width, height, 1,  8, BI_RGB, uint32_t(stride * height),
                               0,  0,     256,    256};
    auto* table = reinterpret_cast<RGBQUAD*>(header + 1);
    for (int i = 0; i < 256; ++i)
        table[i] = RGBQUAD{uint8_t(i), uint8_t(255 - i), uint8_t((i * 7 + index) & 255), 0};
    auto* pixels = reinterpret_cast<uint8_t*>(table + 256);
    // Sub-rectangles leave every fourth column transparent (index 0).
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            pixels[stride * size_t(y) + size_t(x)] =
                index > 0 && x % 4 == 0 ? 0 : uint8_t(1 + (x + 3 * y + 5 * index) % 255);
    GlobalUnlock(block);
    auto* record = new TMyGifAnimation;
    record->ScreenWidth = kScreenW;
    record->ScreenHeight = kScreenH;
    record->Left = int16_t(left);
    record->Top = int16_t(top);
    record->Width = int16_t(width);
    record->Height = int16_t(height);
    record->Disposal = uint8_t(index % 4);
    record->HasTransparency = index > 0;
    record->TransparentIndex = 0;
    record->Delay = 5;
    record->DibHandle = block;
    return record;
}

// Built once; the benchmarks only borrow them.
const std::vector<TMyGifAnimation*>& frames() {
    static const std::vector<TMyGifAnimation*> all = [] {
        std::vector<TMyGifAnimation*> v{makeFrame(0, 0, 0, kScreenW, kScreenH)};
        for (int i = 1; i < kFrames; ++i)
            v.push_back(
                makeFrame(i, (i * 37) % (kScreenW - 160), (i * 23) % (kScreenH - 120), 160, 120));
        return v;
    }();
    return all;
}

void countFrames(benchmark::State& state) {
    state.SetItemsProcessed(int64_t(state.iterations()) * kScreenW * kScreenH);
    state.counters["fps"] =
        benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}

void WebImage_ours_640x480(benchmark::State& state) {
    benchApp();
    PVWebImage image;
    image.SharedFrames = true;
    image.GifMode = true;
    image.Frames()->assign(frames().begin(), frames().end());
    image.resize(kScreenW, kScreenH);
    image.show();
    QCoreApplication::processEvents();
    int index = 0;
    for (auto _ : state) {
        image.FramesLoaded = index; // as a playback step leaves it
        image.ShowFrame(index);
        QCoreApplication::processEvents(); // the update of what changed is painted
        index = (index + 1) % kFrames;
    }
    countFrames(state);
}
BENCHMARK(WebImage_ours_640x480)->Unit(benchmark::kMillisecond);

void WebImage_qimage_640x480(benchmark::State& state) {
    benchApp();
    std::vector<QImage> images;
    PVWebImg::PVCompositor compositor;
    for (int i = 0; i < kFrames; ++i) {
        compositor.ComposeTo(frames(), i);
        images.push_back(QImage(reinterpret_cast<const uchar*>(compositor.Pixels()), kScreenW,
                                kScreenH, QImage::Format_ARGB32)
                             .convertToFormat(QImage::Format_RGB32));
    }
    QImage canvas(kScreenW, kScreenH, QImage::Format_RGB32);
    int index = 0;
    for (auto _ : state) {
        QPainter painter(&canvas);
        painter.drawImage(0, 0, images[size_t(index)]);
        painter.end();
        benchmark::DoNotOptimize(canvas.constBits());
        index = (index + 1) % kFrames;
    }
    countFrames(state);
}
BENCHMARK(WebImage_qimage_640x480)->Unit(benchmark::kMillisecond);

} // namespace

// GIF encoding, ours against giflib, on the same indexed content, to memory.
#include "bench/BenchImages.h"
#include "bench/GiflibPeer.h"
#include "libs/codec/core/GifEncoder.h"

#include <benchmark/benchmark.h>
#include <gif_lib.h>
#include <vector>

namespace {

const benchimages::IndexedFrame& photo() {
    static const benchimages::IndexedFrame f = benchimages::photoFrame();
    return f;
}

const std::vector<benchimages::IndexedFrame>& anim() {
    static const std::vector<benchimages::IndexedFrame> frames = benchimages::animation();
    return frames;
}

size_t encodeOurs(const std::vector<benchimages::IndexedFrame>& frames, gifenc::MemorySink& sink) {
    sink.clear();
    gifenc::GifEncoder gif(sink);
    const auto& first = frames.front();
    gifenc::ScreenInfo screen{uint16_t(first.width), uint16_t(first.height), first.palette.data(),
                              int(first.palette.size() / 3)};
    gif.begin(screen);
    if (frames.size() > 1) gif.loopExtension(0);
    for (const auto& f : frames) {
        gif.graphicControl({0, false, 0, 4});
        gifenc::ImageInfo info{0, 0, uint16_t(f.width), uint16_t(f.height)};
        gifenc::BufferRows rows(f.pixels.data(), size_t(f.width));
        gif.image(info, rows);
    }
    gif.end();
    return sink.bytes().size();
}

int toMemory(GifFileType* gif, const GifByteType* data, int n) {
    auto* out = static_cast<std::vector<uint8_t>*>(gif->UserData);
    out->insert(out->end(), data, data + n);
    return n;
}

size_t encodeGiflib(const std::vector<benchimages::IndexedFrame>& frames,
                    std::vector<uint8_t>& out) {
    out.clear();
    int error = 0;
    GifFileType* gif = EGifOpen(&out, toMemory, &error);
    const auto& first = frames.front();
    ColorMapObject* map = GifMakeMapObject(
        int(first.palette.size() / 3), reinterpret_cast<const GifColorType*>(first.palette.data()));
    EGifSetGifVersion(gif, true);
    EGifPutScreenDesc(gif, first.width, first.height, 8, 0, map);
    if (frames.size() > 1) {
        PutLoopForever(gif);
    }
    for (const auto& f : frames) {
        GraphicsControlBlock gcb{0, false, 4, NO_TRANSPARENT_COLOR};
        GifByteType ext[4];
        EGifGCBToExtension(&gcb, ext);
        EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, ext);
        EGifPutImageDesc(gif, 0, 0, f.width, f.height, false, nullptr);
        EGifPutLine(gif, const_cast<GifPixelType*>(f.pixels.data()), f.width * f.height);
    }
    EGifCloseFile(gif, &error);
    GifFreeMapObject(map);
    return out.size();
}

int64_t pixelsOf(const std::vector<benchimages::IndexedFrame>& frames) {
    int64_t n = 0;
    for (const auto& f : frames)
        n += int64_t(f.width) * f.height;
    return n;
}

void runOurs(benchmark::State& state, const std::vector<benchimages::IndexedFrame>& frames) {
    gifenc::MemorySink sink;
    size_t bytes = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(bytes = encodeOurs(frames, sink));
    state.SetItemsProcessed(state.iterations() * pixelsOf(frames));
    state.counters["bytes"] = double(bytes);
}

void runGiflib(benchmark::State& state, const std::vector<benchimages::IndexedFrame>& frames) {
    std::vector<uint8_t> out;
    size_t bytes = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(bytes = encodeGiflib(frames, out));
    state.SetItemsProcessed(state.iterations() * pixelsOf(frames));
    state.counters["bytes"] = double(bytes);
}

void Encode_ours_photo(benchmark::State& state) {
    runOurs(state, {photo()});
}
void Encode_giflib_photo(benchmark::State& state) {
    runGiflib(state, {photo()});
}
void Encode_ours_anim(benchmark::State& state) {
    runOurs(state, anim());
}
void Encode_giflib_anim(benchmark::State& state) {
    runGiflib(state, anim());
}

} // namespace

BENCHMARK(Encode_ours_photo)->Unit(benchmark::kMillisecond);
BENCHMARK(Encode_giflib_photo)->Unit(benchmark::kMillisecond);
BENCHMARK(Encode_ours_anim)->Unit(benchmark::kMillisecond);
BENCHMARK(Encode_giflib_anim)->Unit(benchmark::kMillisecond);

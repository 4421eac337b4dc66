// GIF decoding: our core decoder (delivering DIBs, as the codec does)
// against giflib (DGifSlurp), both reading the same bytes from memory.
#include "bench/BenchImages.h"
#include "libs/codec/core/GifDecoder.h"
#include "libs/codec/core/GifFrameDib.h"
#include "platform/GlobalBlock.h"

#include <benchmark/benchmark.h>
#include <cstring>
#include <gif_lib.h>
#include <stdexcept>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

int appendOutput(GifFileType* gif, const GifByteType* data, int size) {
    auto* out = static_cast<Bytes*>(gif->UserData);
    out->insert(out->end(), data, data + size);
    return size;
}

struct Input {
    const Bytes* bytes;
    size_t pos;
};

int readInput(GifFileType* gif, GifByteType* data, int size) {
    auto* in = static_cast<Input*>(gif->UserData);
    const size_t n = std::min(size_t(size), in->bytes->size() - in->pos);
    std::memcpy(data, in->bytes->data() + in->pos, n);
    in->pos += n;
    return int(n);
}

// One GIF in memory holding the frames (full frames, one global table).
Bytes encode(const std::vector<benchimages::IndexedFrame>& frames) {
    Bytes out;
    int error = 0;
    GifFileType* gif = EGifOpen(&out, appendOutput, &error);
    if (!gif) throw std::runtime_error("EGifOpen");
    const auto& first = frames.front();
    std::vector<GifColorType> colours(first.palette.size() / 3);
    for (size_t i = 0; i < colours.size(); ++i)
        colours[i] = {first.palette[i * 3], first.palette[i * 3 + 1], first.palette[i * 3 + 2]};
    ColorMapObject* map = GifMakeMapObject(int(colours.size()), colours.data());
    EGifSetGifVersion(gif, true);
    EGifPutScreenDesc(gif, first.width, first.height, 8, 0, map);
    GifFreeMapObject(map);
    for (const auto& f : frames) {
        const uint8_t control[4] = {0x04, 4, 0, 0}; // keep, 4/100 s
        EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, control);
        EGifPutImageDesc(gif, 0, 0, f.width, f.height, false, nullptr);
        for (int y = 0; y < f.height; ++y)
            EGifPutLine(gif, const_cast<GifPixelType*>(f.pixels.data()) + size_t(y) * f.width,
                        f.width);
    }
    EGifCloseFile(gif, &error);
    return out;
}

struct Content {
    Bytes gif;
    int64_t pixels = 0;
};

Content make(const std::vector<benchimages::IndexedFrame>& frames) {
    Content c{encode(frames), 0};
    for (const auto& f : frames)
        c.pixels += int64_t(f.width) * f.height;
    return c;
}

const Content& photo() {
    static const Content c = make({benchimages::photoFrame()});
    return c;
}

const Content& anim() {
    static const Content c = make(benchimages::animation());
    return c;
}

class DibSink final : public gifcore::GifSink {
  public:
    bool onImage(const gifcore::GifScreen&, const gifcore::GifImage& image) override {
        zp::GlobalBlock dib(gifcore::makeImageDib(image, gifcore::kKeepTransparentColour));
        benchmark::DoNotOptimize(dib.get());
        return bool(dib);
    }
};

void decodeOurs(benchmark::State& state, const Content& c) {
    for (auto _ : state) {
        gifcore::GifDecoder decoder;
        DibSink sink;
        if (decoder.decode(c.gif.data(), c.gif.size(), sink) != 1)
            state.SkipWithError("decode failed");
    }
    state.SetItemsProcessed(state.iterations() * c.pixels);
    state.SetBytesProcessed(state.iterations() * int64_t(c.gif.size()));
}

void decodeGiflib(benchmark::State& state, const Content& c) {
    for (auto _ : state) {
        Input in{&c.gif, 0};
        int error = 0;
        GifFileType* gif = DGifOpen(&in, readInput, &error);
        if (!gif || DGifSlurp(gif) != GIF_OK) state.SkipWithError("giflib failed");
        if (gif) benchmark::DoNotOptimize(gif->SavedImages);
        DGifCloseFile(gif, &error);
    }
    state.SetItemsProcessed(state.iterations() * c.pixels);
    state.SetBytesProcessed(state.iterations() * int64_t(c.gif.size()));
}

void Decode_ours_photo(benchmark::State& state) {
    decodeOurs(state, photo());
}
void Decode_giflib_photo(benchmark::State& state) {
    decodeGiflib(state, photo());
}
void Decode_ours_anim(benchmark::State& state) {
    decodeOurs(state, anim());
}
void Decode_giflib_anim(benchmark::State& state) {
    decodeGiflib(state, anim());
}

} // namespace

BENCHMARK(Decode_ours_photo)->Unit(benchmark::kMillisecond);
BENCHMARK(Decode_giflib_photo)->Unit(benchmark::kMillisecond);
BENCHMARK(Decode_ours_anim)->Unit(benchmark::kMillisecond);
BENCHMARK(Decode_giflib_anim)->Unit(benchmark::kMillisecond);

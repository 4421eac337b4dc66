// GIF decoding: our core decoder (delivering DIBs, as the codec does)
// against giflib (DGifSlurp), both reading the same bytes from memory; and
// decoding plus composing onto an RGBA screen, ours through the model's
// compositor, giflib's frames mapped through their colour maps.
#include "bench/BenchImages.h"
#include "imaging/animated/PVCompositor.h"
#include "libs/codec/core/GifDecoder.h"
#include "libs/codec/core/GifFrameDib.h"
#include "platform/GlobalBlock.h"

#include <algorithm>
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

class ComposeSink final : public gifcore::GifSink {
  public:
    PVWebImg::PVCompositor compositor;

    bool onStart(const gifcore::GifScreen& screen, const gifcore::GifSummary&) override {
        compositor.Reset(screen.width, screen.height);
        return true;
    }
    bool onImage(const gifcore::GifScreen&, const gifcore::GifImage& image) override {
        uint32_t colours[256];
        const gifcore::GifColorTable& table = *image.colors;
        for (int i = 0; i < 256; ++i)
            colours[i] = 0xFF000000u |
                         (i < table.count ? uint32_t(table.rgb[i][0]) << 16 |
                                                uint32_t(table.rgb[i][1]) << 8 | table.rgb[i][2]
                                          : 0u);
        PVWebImg::PVFrameView view;
        view.left = image.left;
        view.top = image.top;
        view.width = image.width;
        view.height = image.height;
        view.row = [](const void* context, int32_t y) {
            return static_cast<const gifcore::GifImage*>(context)->row(y);
        };
        view.context = &image;
        view.colours = colours;
        view.transparentIndex = image.control.transparent ? image.control.transparentIndex : -1;
        view.disposal = image.control.disposal;
        compositor.DrawFrame(view);
        return true;
    }
};

void composeOurs(benchmark::State& state, const Content& c) {
    for (auto _ : state) {
        gifcore::GifDecoder decoder;
        ComposeSink sink;
        if (decoder.decode(c.gif.data(), c.gif.size(), sink) != 1)
            state.SkipWithError("decode failed");
        benchmark::DoNotOptimize(sink.compositor.Pixels());
    }
    state.SetItemsProcessed(state.iterations() * c.pixels);
}

// The same work from giflib's output: every frame's indices through its
// colour map (local, else global) onto the screen at its position, the
// transparent index leaving what is below.
void composeGiflib(benchmark::State& state, const Content& c) {
    for (auto _ : state) {
        Input in{&c.gif, 0};
        int error = 0;
        GifFileType* gif = DGifOpen(&in, readInput, &error);
        if (!gif || DGifSlurp(gif) != GIF_OK) {
            state.SkipWithError("giflib failed");
            DGifCloseFile(gif, &error);
            break;
        }
        const int w = gif->SWidth, h = gif->SHeight;
        std::vector<uint32_t> canvas(size_t(w) * size_t(h), 0);
        for (int i = 0; i < gif->ImageCount; ++i) {
            const SavedImage& image = gif->SavedImages[i];
            const GifImageDesc& d = image.ImageDesc;
            const ColorMapObject* map = d.ColorMap ? d.ColorMap : gif->SColorMap;
            uint32_t colours[256];
            for (int k = 0; k < 256; ++k) {
                const GifColorType* e = map && k < map->ColorCount ? &map->Colors[k] : nullptr;
                colours[k] = 0xFF000000u |
                             (e ? uint32_t(e->Red) << 16 | uint32_t(e->Green) << 8 | e->Blue : 0u);
            }
            GraphicsControlBlock gcb{};
            gcb.TransparentColor = NO_TRANSPARENT_COLOR;
            DGifSavedExtensionToGCB(gif, i, &gcb);
            const int x0 = std::max(0, d.Left), x1 = std::min(w, d.Left + d.Width);
            const int y0 = std::max(0, d.Top), y1 = std::min(h, d.Top + d.Height);
            for (int y = y0; y < y1; ++y) {
                const GifByteType* src =
                    image.RasterBits + size_t(y - d.Top) * d.Width + (x0 - d.Left);
                uint32_t* dst = canvas.data() + size_t(y) * w;
                if (gcb.TransparentColor == NO_TRANSPARENT_COLOR) {
                    for (int x = x0; x < x1; ++x)
                        dst[x] = colours[*src++];
                } else {
                    for (int x = x0; x < x1; ++x, ++src)
                        if (*src != gcb.TransparentColor) dst[x] = colours[*src];
                }
            }
        }
        benchmark::DoNotOptimize(canvas.data());
        DGifCloseFile(gif, &error);
    }
    state.SetItemsProcessed(state.iterations() * c.pixels);
}

// Registered by name, so that the report pairs each of ours with its peer.
[[maybe_unused]] const bool registered = [] {
    using Run = void (*)(benchmark::State&, const Content&);
    using Source = const Content& (*)();
    const struct {
        const char* name;
        Run run;
        Source content;
    } cases[] = {
        {"Decode_ours_photo", decodeOurs, photo},   {"Decode_giflib_photo", decodeGiflib, photo},
        {"Decode_ours_anim", decodeOurs, anim},     {"Decode_giflib_anim", decodeGiflib, anim},
        {"Compose_ours_photo", composeOurs, photo}, {"Compose_giflib_photo", composeGiflib, photo},
        {"Compose_ours_anim", composeOurs, anim},   {"Compose_giflib_anim", composeGiflib, anim},
    };
    for (const auto& c : cases)
        benchmark::RegisterBenchmark(c.name, [run = c.run,
                                              content = c.content](benchmark::State& state) {
            run(state, content());
        })->Unit(benchmark::kMillisecond);
    return true;
}();

} // namespace

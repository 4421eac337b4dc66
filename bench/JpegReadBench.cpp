// JPEG decoding: our reader (libjpeg-turbo from memory to a packed DIB, as
// the codec's entry points do) against ImageMagick on the same bytes: the
// photo-like 1920x1080 picture as a quality 90 colour JPEG written by
// libjpeg.
#include "bench/BenchImages.h"
#include "bench/MagickPeer.h"
#include "libs/codec/CodecErrors.h"
#include "libs/codec/core/JpegDecoder.h"
#include "platform/GlobalBlock.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <jpeglib.h>
#include <stdexcept>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

Bytes writeJpeg() {
    const benchimages::IndexedFrame f = benchimages::photoFrame();
    Bytes rgb(size_t(f.width) * size_t(f.height) * 3);
    for (size_t i = 0; i < f.pixels.size(); ++i)
        for (size_t c = 0; c < 3; ++c)
            rgb[i * 3 + c] = f.palette[size_t(f.pixels[i]) * 3 + c];
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr errors{};
    cinfo.err = jpeg_std_error(&errors); // exits on error: fine for a fixed input
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = JDIMENSION(f.width);
    cinfo.image_height = JDIMENSION(f.height);
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 90, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = &rgb[size_t(cinfo.next_scanline) * size_t(f.width) * 3];
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    Bytes out(buffer, buffer + size);
    std::free(buffer);
    return out;
}

const Bytes& content() {
    static const Bytes bytes = writeJpeg();
    return bytes;
}

constexpr int64_t kPixels = 1920 * 1080;

void Read_ours_jpeg(benchmark::State& state) {
    const Bytes& bytes = content();
    for (auto _ : state) {
        zp::GlobalBlock out;
        if (gifcore::decodeJpeg(bytes.data(), bytes.size(), {}, gifcore::Progress(nullptr, nullptr),
                                out) != PVE_OK)
            throw std::runtime_error("our JPEG reader failed");
        benchmark::DoNotOptimize(out.get());
    }
    state.SetItemsProcessed(state.iterations() * kPixels);
}

void Read_imagemagick_jpeg(benchmark::State& state) {
    const Bytes& bytes = content();
    for (auto _ : state)
        if (magickpeer::decode(bytes.data(), bytes.size(), "JPEG") != uint64_t(kPixels))
            throw std::runtime_error("ImageMagick failed");
    state.SetItemsProcessed(state.iterations() * kPixels);
}

} // namespace

BENCHMARK(Read_ours_jpeg)->Unit(benchmark::kMillisecond);
BENCHMARK(Read_imagemagick_jpeg)->Unit(benchmark::kMillisecond);

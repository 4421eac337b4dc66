// Opening a large JPEG in the still-image component (file to picture through
// ImageName, as the program does) against ImageMagick decoding the same
// file: a 4000 x 3000 photo-like picture written by Qt at quality 90.
#include "bench/MagickPeer.h"
#include "imaging/still/TPMultiImage.h"

#include "bench/BenchApp.h"
#include <QImage>
#include <benchmark/benchmark.h>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <vector>

namespace {

constexpr int kWidth = 4000, kHeight = 3000;
constexpr int64_t kPixels = int64_t(kWidth) * kHeight;

// Smooth gradients with fine detail, so the coder has real work to do.
const std::string& JpegFile() {
    static const std::string path = [] {
        benchApp();
        QImage image(kWidth, kHeight, QImage::Format_RGB32);
        for (int y = 0; y < kHeight; ++y) {
            auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < kWidth; ++x)
                row[x] = qRgb((x * 255 / kWidth + (x * y) % 7) & 0xFF,
                              (y * 255 / kHeight + (x ^ y) % 5) & 0xFF, ((x + y) / 31) & 0xFF);
        }
        const std::string file = "/tmp/zentrope-bench-4000x3000.jpg";
        if (!image.save(QString::fromStdString(file), "JPEG", 90))
            throw std::runtime_error("cannot write the JPEG");
        return file;
    }();
    return path;
}

void OpenStill_ours_jpeg4000(benchmark::State& state) {
    const std::string& file = JpegFile();
    TPMultiImage image;
    image.PVUndo = false; // time the opening, not the undo copy of the last picture
    for (auto _ : state) {
        image.SetImageName(file);
        if (image.Picture().Width() != kWidth) throw std::runtime_error("our load failed");
    }
    state.SetItemsProcessed(state.iterations() * kPixels);
}

void OpenStill_imagemagick_jpeg4000(benchmark::State& state) {
    const std::string& file = JpegFile();
    for (auto _ : state) {
        std::ifstream in(file, std::ios::binary);
        const std::vector<char> bytes{std::istreambuf_iterator<char>(in), {}};
        if (magickpeer::decode(bytes.data(), bytes.size(), "JPEG") != uint64_t(kPixels))
            throw std::runtime_error("ImageMagick failed");
    }
    state.SetItemsProcessed(state.iterations() * kPixels);
}

} // namespace

BENCHMARK(OpenStill_ours_jpeg4000)->Unit(benchmark::kMillisecond);
BENCHMARK(OpenStill_imagemagick_jpeg4000)->Unit(benchmark::kMillisecond);

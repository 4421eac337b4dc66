// `zentrope-gif optimize` (-O3) against `gifsicle -O3` (Debian's), both as
// child processes on the same files, which the bench makes: full-frame
// animations as a plain writer stores them, and gifsicle's own output fed
// back in. Real time, since the work happens in the children; "bytes" is
// the file each writes.
#include "bench/BenchImages.h"
#include "libs/codec/core/ByteSink.h"
#include "libs/codec/core/GifEncoder.h"

#include <benchmark/benchmark.h>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;
using benchimages::IndexedFrame;

namespace {

void writeFrames(const std::vector<IndexedFrame>& frames, uint16_t delay, const fs::path& path) {
    gifenc::MemorySink sink;
    gifenc::GifEncoder gif(sink);
    const IndexedFrame& first = frames.front();
    gif.begin({uint16_t(first.width), uint16_t(first.height), first.palette.data(),
               int(first.palette.size() / 3), 0, 0});
    gif.loopExtension(0);
    for (const IndexedFrame& f : frames) {
        gif.graphicControl({1, false, 0, delay});
        gifenc::BufferRows rows(f.pixels.data(), size_t(f.width));
        gif.image({0, 0, uint16_t(f.width), uint16_t(f.height)}, rows);
    }
    gif.end();
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(sink.bytes().data()),
               std::streamsize(sink.bytes().size()));
}

// A desktop recording: a window with panels and lines of text, a cursor
// that wanders and a text field being typed into, 16 colours, 200 frames of
// 640 x 400.
std::vector<IndexedFrame> screenRecording() {
    constexpr int w = 640, h = 400, frames = 200;
    std::vector<uint8_t> palette(16 * 3);
    for (int i = 0; i < 16; ++i) {
        palette[size_t(i) * 3] = uint8_t(i * 17);
        palette[size_t(i) * 3 + 1] = uint8_t(i * 17 - (i & 3) * 8);
        palette[size_t(i) * 3 + 2] = uint8_t(255 - i * 9);
    }
    IndexedFrame desk{w, h, std::vector<uint8_t>(size_t(w) * h, 12), palette};
    const auto box = [&](IndexedFrame& f, int x0, int y0, int x1, int y1, uint8_t c) {
        for (int y = std::max(0, y0); y < std::min(h, y1); ++y)
            for (int x = std::max(0, x0); x < std::min(w, x1); ++x)
                f.pixels[size_t(y) * w + x] = c;
    };
    // Glyph n as a 5 x 7 pattern of strokes, drawn at (x, y).
    const auto glyph = [&](IndexedFrame& f, int x, int y, uint32_t n, uint8_t c) {
        for (int gy = 0; gy < 7; ++gy)
            for (int gx = 0; gx < 5; ++gx)
                if (benchimages::noise(uint32_t(gx), uint32_t(gy), n) < 0.45)
                    box(f, x + gx, y + gy, x + gx + 1, y + gy + 1, c);
    };
    box(desk, 0, 0, w, 24, 3);
    box(desk, 0, 24, 150, h, 14);
    box(desk, 160, 40, 620, 380, 15);
    for (int line = 0; line < 30; ++line)
        for (int ch = 0; ch < 20 + line % 7; ++ch) {
            glyph(desk, 8 + ch * 6, 32 + line * 11, uint32_t(line * 31 + ch) % 60, 1);
            if (line < 24)
                glyph(desk, 170 + ch * 7, 50 + line * 12, uint32_t(line + ch * 3) % 60, 2);
        }
    box(desk, 170, 350, 610, 370, 13);
    std::vector<IndexedFrame> out;
    for (int i = 0; i < frames; ++i) {
        IndexedFrame f = desk;
        for (int typed = 0; typed < i / 3; ++typed)
            glyph(f, 174 + (typed % 60) * 7, 356, uint32_t(typed * 7) % 60, 0);
        const int cx = 200 + int(180 * std::sin(i * 0.05)),
                  cy = 200 + int(120 * std::cos(i * 0.037));
        for (int y = 0; y < 16; ++y)
            box(f, cx, cy + y, cx + 1 + y / 2, cy + y + 1, y == 15 ? 0 : 15 - (y & 1) * 15);
        out.push_back(std::move(f));
    }
    return out;
}

// A camera pan across the photo-like picture: 100 frames of 480 x 270, four
// pixels further each time.
std::vector<IndexedFrame> photoPan() {
    constexpr int w = 480, h = 270, frames = 100;
    const IndexedFrame photo = benchimages::photoFrame(w + 4 * frames, h);
    std::vector<IndexedFrame> out;
    for (int i = 0; i < frames; ++i) {
        IndexedFrame f{w, h, std::vector<uint8_t>(size_t(w) * h), photo.palette};
        for (int y = 0; y < h; ++y)
            std::copy_n(photo.pixels.data() + size_t(y) * photo.width + size_t(4 * i), w,
                        f.pixels.data() + size_t(y) * w);
        out.push_back(std::move(f));
    }
    return out;
}

const fs::path& workDir() {
    static const fs::path dir = [] {
        fs::path d =
            fs::temp_directory_path() / ("zentrope-optimize-bench-" + std::to_string(getpid()));
        fs::create_directories(d);
        writeFrames(benchimages::animation(), 4, d / "ball.gif");
        writeFrames(screenRecording(), 10, d / "screen.gif");
        writeFrames(photoPan(), 8, d / "pan.gif");
        const std::string feed = "/usr/bin/gifsicle -O3 " + (d / "ball.gif").string() + " -o " +
                                 (d / "optimised.gif").string();
        if (std::system(feed.c_str()) != 0) fs::remove(d / "optimised.gif");
        return d;
    }();
    return dir;
}

struct RemoveAtExit {
    ~RemoveAtExit() {
        if (std::getenv("ZENTROPE_BENCH_KEEP")) return; // inputs and outputs for a closer look
        std::error_code ec;
        fs::remove_all(workDir(), ec);
    }
};

void runChild(benchmark::State& state, const std::string& input, const std::string& tool) {
    static RemoveAtExit cleanup;
    const fs::path in = workDir() / (input + ".gif");
    const fs::path out = workDir() / (input + "-" + tool + ".gif");
    if (!fs::exists(in)) {
        state.SkipWithError("no input (gifsicle missing?)");
        return;
    }
    const std::string self = fs::read_symlink("/proc/self/exe").parent_path().string();
    const std::string command =
        tool == "ours" ? self + "/zentrope-gif optimize -O3 " + in.string() + " " + out.string() +
                             " >/dev/null"
                       : "/usr/bin/gifsicle -O3 " + in.string() + " -o " + out.string();
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError(("failed: " + command).c_str());
            return;
        }
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * int64_t(fs::file_size(in)));
    state.counters["bytes"] = double(fs::file_size(out));
    state.counters["input"] = double(fs::file_size(in));
}

#define OPTIMIZE_CASE(input)                                                                       \
    void Optimize_ours_##input(benchmark::State& s) {                                              \
        runChild(s, #input, "ours");                                                               \
    }                                                                                              \
    void Optimize_gifsicle_##input(benchmark::State& s) {                                          \
        runChild(s, #input, "gifsicle");                                                           \
    }                                                                                              \
    BENCHMARK(Optimize_ours_##input)->Unit(benchmark::kMillisecond)->UseRealTime();                \
    BENCHMARK(Optimize_gifsicle_##input)->Unit(benchmark::kMillisecond)->UseRealTime();

OPTIMIZE_CASE(ball)
OPTIMIZE_CASE(screen)
OPTIMIZE_CASE(pan)
OPTIMIZE_CASE(optimised)

} // namespace

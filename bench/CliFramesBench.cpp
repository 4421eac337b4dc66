// `zentrope-gif frames` against `convert -coalesce` (ImageMagick), both as
// child processes writing every composed frame of the same 300-frame file as
// PNGs. Real time, since the work happens in the children.
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

namespace {

constexpr int kFrames = 300, kWidth = 480, kHeight = 270;
constexpr int kBox = 96;               // side of each frame after the first
constexpr uint8_t kTransparent = 0xFF; // unused by the ball's colours

// The photo background whole, then a ball moving in a box of its own with
// transparency around it; disposal cycles keep, keep, clear, restore so the
// compositor does every kind of work.
void writeAnimation(const fs::path& path) {
    const benchimages::IndexedFrame background = benchimages::photoFrame(kWidth, kHeight);
    gifenc::MemorySink sink;
    gifenc::GifEncoder gif(sink);
    gif.begin({kWidth, kHeight, background.palette.data(), 256, 0, 0});
    gif.loopExtension(0);
    gif.graphicControl({1, false, 0, 4});
    gifenc::BufferRows full(background.pixels.data(), kWidth);
    gif.image({0, 0, kWidth, kHeight}, full);
    std::vector<uint8_t> box(size_t(kBox) * kBox);
    for (int i = 1; i < kFrames; ++i) {
        const double t = double(i) / kFrames;
        const int left = int((kWidth - kBox) * (0.5 + 0.5 * std::cos(t * 6.283)));
        const int top = int((kHeight - kBox) * (0.5 + 0.5 * std::sin(t * 12.566)));
        for (int y = 0; y < kBox; ++y)
            for (int x = 0; x < kBox; ++x) {
                const int dx = x - kBox / 2, dy = y - kBox / 2;
                box[size_t(y) * kBox + size_t(x)] =
                    dx * dx + dy * dy < 40 * 40 ? uint8_t(0xE0 | ((dx + 48) / 20)) : kTransparent;
            }
        const uint8_t disposal = uint8_t(i % 4 == 2 ? 2 : i % 4 == 3 ? 3 : 1);
        gif.graphicControl({disposal, true, kTransparent, 4});
        gifenc::BufferRows rows(box.data(), kBox);
        gif.image({uint16_t(left), uint16_t(top), kBox, kBox}, rows);
    }
    gif.end();
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(sink.bytes().data()),
               std::streamsize(sink.bytes().size()));
}

const fs::path& workDir() {
    static const fs::path dir = [] {
        fs::path d = fs::temp_directory_path() / ("zentrope-cli-bench-" + std::to_string(getpid()));
        fs::create_directories(d);
        writeAnimation(d / "anim.gif");
        return d;
    }();
    return dir;
}

struct RemoveAtExit {
    ~RemoveAtExit() {
        std::error_code ec;
        fs::remove_all(workDir(), ec);
    }
};

// Runs `command` once per iteration into a fresh output folder.
void runChild(benchmark::State& state, const std::string& command) {
    static RemoveAtExit cleanup;
    const fs::path out = workDir() / "out";
    for (auto _ : state) {
        state.PauseTiming();
        fs::remove_all(out);
        fs::create_directories(out);
        state.ResumeTiming();
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError(("failed: " + command).c_str());
            return;
        }
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * kFrames * kWidth * kHeight);
    // What the PNGs take: ImageMagick writes palette PNGs where it can, ours are RGBA.
    double bytes = 0;
    for (const auto& e : fs::directory_iterator(out))
        bytes += double(e.file_size());
    state.counters["bytes"] = bytes;
}

void CliFrames_ours_300(benchmark::State& state) {
    const fs::path tool = fs::read_symlink("/proc/self/exe").parent_path() / "zentrope-gif";
    runChild(state, tool.string() + " frames " + (workDir() / "anim.gif").string() + " " +
                        (workDir() / "out").string() + " >/dev/null");
}

void CliFrames_magick_300(benchmark::State& state) {
    runChild(state, "/usr/bin/convert " + (workDir() / "anim.gif").string() + " -coalesce " +
                        (workDir() / "out" / "frame-%04d.png").string());
}

} // namespace

BENCHMARK(CliFrames_ours_300)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(CliFrames_magick_300)->Unit(benchmark::kMillisecond)->UseRealTime();

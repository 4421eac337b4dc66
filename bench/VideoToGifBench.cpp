// A 10 s 640 x 360 25 fps clip made into a GIF of one frame every 100 ms
// (256 colours, a palette per frame): our pipeline (FFmpeg decoding, the
// capture's frame-exact grabs, the codec's colour reduction and GIF writer)
// against ffmpeg's own fps=10 + palettegen/paletteuse. Both are timed
// end to end and both GIFs are decoded again (by FFmpeg) and compared with
// the clip's frames: PSNR over RGB, each GIF frame against the clip frame
// it stands for (ffmpeg's fps filter may pick either neighbour, so its
// frames are compared with the closer of the two).
#include "capture/TCaptureBuffer.h"
#include "imaging/animated/PVAnimationModel.h"
#include "platform/Gdi.h"
#include "platform/MediaDecoder.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <filesystem>
#include <string>

namespace {

namespace fs = std::filesystem;
constexpr int kIntervalMs = 100;
// The clip's pixels: what both sides decode, per conversion.
constexpr int64_t kClipPixels = int64_t(250) * 640 * 360;

const fs::path& Folder() {
    static const fs::path dir = [] {
        fs::path d =
            fs::temp_directory_path() / ("zentrope-videobench-" + std::to_string(getpid()));
        fs::create_directories(d);
        return d;
    }();
    return dir;
}

const fs::path& Clip() {
    static const fs::path clip = [] {
        const fs::path file = Folder() / "clip.mp4";
        const std::string command =
            "/usr/bin/ffmpeg -v error -y -f lavfi -i testsrc2=s=640x360:r=25:d=10 "
            "-c:v libx264 -pix_fmt yuv420p -crf 18 '" +
            file.string() + "'";
        if (std::system(command.c_str()) != 0) return fs::path();
        return file;
    }();
    return clip;
}

double SquaredError(const zp::MediaFrame& a, const zp::MediaFrame& b) {
    if (a.width != b.width || a.height != b.height) return -1;
    double sum = 0;
    for (size_t i = 0; i < a.pixels.size(); ++i)
        for (int shift : {0, 8, 16}) {
            const int d = int((a.pixels[i] >> shift) & 0xFF) - int((b.pixels[i] >> shift) & 0xFF);
            sum += d * d;
        }
    return sum / (double(a.pixels.size()) * 3);
}

// Mean PSNR of the GIF's frames against the clip: frame k stands for the
// clip at k x 100 ms; each is compared with the clip frames shown within
// one clip frame of that time, and the closest counts.
double Psnr(const fs::path& gif) {
    zp::MediaDecoder clip, out;
    if (!clip.Open(Clip().string()) || !out.Open(gif.string())) return 0;
    std::deque<zp::MediaFrame> window;
    zp::MediaFrame frame, source;
    bool more = true;
    double total = 0;
    int frames = 0;
    for (int k = 0; out.Next(frame); ++k) {
        const int64_t at = int64_t(k) * kIntervalMs;
        while (more && (window.empty() || window.back().positionMs <= at + 40)) {
            more = clip.Next(source);
            if (more) window.push_back(source);
        }
        while (window.size() > 1 && window[1].positionMs <= at - 40)
            window.pop_front();
        double best = -1;
        for (const zp::MediaFrame& candidate : window)
            if (std::llabs(candidate.positionMs - at) <= 40) {
                const double mse = SquaredError(frame, candidate);
                if (mse >= 0 && (best < 0 || mse < best)) best = mse;
            }
        if (best < 0) continue;
        total += best > 0 ? 10 * std::log10(255.0 * 255.0 / best) : 99;
        ++frames;
    }
    return frames ? total / frames : 0;
}

// Our pipeline: each grab is the first clip frame at or after its time.
size_t ConvertOurs(const fs::path& gif) {
    zp::MediaDecoder decoder;
    if (!decoder.Open(Clip().string())) return 0;
    TCaptureBuffer buffer;
    zp::MediaFrame frame;
    int64_t next = 0;
    int number = 1;
    while (decoder.Next(frame)) {
        if (frame.positionMs < next) continue;
        zp::TBitmap bitmap;
        bitmap.setHandle(CreateDeviceBitmap(frame.width, frame.height));
        std::memcpy(bitmap.bits(), frame.pixels.data(), frame.pixels.size() * 4);
        buffer.ConvertAndAddFrame(bitmap, true, true, "Frame " + std::to_string(number++));
        while (next <= frame.positionMs)
            next += kIntervalMs;
    }
    PVAnimationModel model;
    const TFrameList records = buffer.TakeFrames();
    *model.Frames() = records;
    model.ScreenWidth = records.empty() ? 1 : records.front()->ScreenWidth;
    model.ScreenHeight = records.empty() ? 1 : records.front()->ScreenHeight;
    model.SaveToFile(gif.string());
    model.ClearFrames();
    return records.size();
}

void videoToGif_ours_640x360(benchmark::State& state) {
    if (Clip().empty()) return state.SkipWithError("ffmpeg could not make the clip");
    const fs::path gif = Folder() / "ours.gif";
    size_t frames = 0;
    for (auto _ : state)
        frames = ConvertOurs(gif);
    state.SetItemsProcessed(state.iterations() * kClipPixels);
    state.counters["frames"] = double(frames);
    state.counters["bytes"] = double(fs::file_size(gif));
    state.counters["psnr"] = Psnr(gif);
}

void videoToGif_ffmpeg_640x360(benchmark::State& state) {
    if (Clip().empty()) return state.SkipWithError("ffmpeg could not make the clip");
    const fs::path gif = Folder() / "ffmpeg.gif";
    const std::string command = "/usr/bin/ffmpeg -v error -y -i '" + Clip().string() +
                                "' -vf 'fps=10,split[a][b];[a]palettegen[p];[b][p]paletteuse' '" +
                                gif.string() + "'";
    for (auto _ : state)
        if (std::system(command.c_str()) != 0) return state.SkipWithError("ffmpeg failed");
    state.SetItemsProcessed(state.iterations() * kClipPixels);
    state.counters["bytes"] = double(fs::file_size(gif));
    state.counters["psnr"] = Psnr(gif);
}

} // namespace

BENCHMARK(videoToGif_ours_640x360)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(videoToGif_ffmpeg_640x360)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

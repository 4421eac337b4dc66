// The editor on a large animation: 1,000 frames of 640x480 at 8 bits, each
// with its own picture and content. Opening it (the window plus one frame
// list entry per frame, one addItem each against one addItems), showing a
// frame from the middle in the panels, and saving every frame through the
// editor's temporary component against giflib writing the same pictures to
// a file of its own. The save reports peak resident memory during the save
// against the raw 8-bit pixels (1000 x 640 x 480 bytes).
#include "editor/TGifEdit.h"
#include "platform/GlobalMemory.h"

#include "bench/BenchApp.h"
#include "bench/BenchImages.h"
#include "bench/GiflibPeer.h"
#include <QListWidget>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <gif_lib.h>
#include <string>
#include <vector>

namespace {

constexpr int kWidth = 640, kHeight = 480, kFrames = 1000;
constexpr int64_t kRawBytes = int64_t(kFrames) * kWidth * kHeight;

// Smooth bands that move from frame to frame, with noise over a part of the
// picture, so the encoder meets both long runs and short strings.
TMyGifAnimation* makeFrame(int index, const std::vector<uint8_t>& palette) {
    const size_t stride = size_t(kWidth); // a multiple of 4: no row padding
    const HGLOBAL block = GlobalAlloc(GHND, 40 + 256 * 4 + stride * kHeight);
    auto* header = static_cast<BITMAPINFOHEADER*>(GlobalLock(block));
    *header = BITMAPINFOHEADER{40, kWidth, kHeight, 1,  8, BI_RGB, uint32_t(stride * kHeight),
                               0,  0,      256,     256};
    auto* table = reinterpret_cast<RGBQUAD*>(header + 1);
    for (int i = 0; i < 256; ++i)
        table[i] = RGBQUAD{palette[size_t(i) * 3 + 2], palette[size_t(i) * 3 + 1],
                           palette[size_t(i) * 3], 0};
    auto* pixels = reinterpret_cast<uint8_t*>(table + 256);
    for (int y = 0; y < kHeight; ++y) {
        uint8_t* row = pixels + stride * size_t(kHeight - 1 - y);
        for (int x = 0; x < kWidth; ++x) {
            const bool noisy = ((x + index * 3) / 80 + y / 60) % 4 == 0;
            row[x] =
                noisy ? uint8_t(benchimages::noise(uint32_t(x), uint32_t(y), uint32_t(index)) * 256)
                      : uint8_t((x / 4 + y / 3 + index) & 255);
        }
    }
    GlobalUnlock(block);
    auto* record = new TMyGifAnimation;
    record->Name = "Frame " + std::to_string(index + 1) + " of bench.gif";
    record->ScreenWidth = kWidth;
    record->ScreenHeight = kHeight;
    record->Width = kWidth;
    record->Height = kHeight;
    record->Delay = 4;
    record->Disposal = 1;
    record->DibHandle = block;
    return record;
}

// Built once and kept to the end: the cases only borrow the records.
TFrameList& frames() {
    static TFrameList all = [] {
        const std::vector<uint8_t> palette = benchimages::photoPalette();
        TFrameList v;
        for (int i = 0; i < kFrames; ++i)
            v.push_back(makeFrame(i, palette));
        return v;
    }();
    return all;
}

TCommentList& comments() {
    static TStringList block{"Made by the editor benchmark"};
    static TCommentList all{&block};
    return all;
}

QStringList names() {
    QStringList list;
    for (const TMyGifAnimation* record : frames())
        list << QString::fromStdString(record->Name);
    return list;
}

void attach(TGifEdit& edit) {
    edit.FFrameList = &frames();
    edit.FCommentList = &comments();
}

// Opening the editor as the main window does, one entry at a time.
void openOurs(benchmark::State& state) {
    const QStringList list = names();
    for (auto _ : state) {
        TGifEdit edit;
        for (const QString& name : list)
            edit.GifNameBox->addItem(name);
        attach(edit);
        benchmark::DoNotOptimize(edit.GifNameBox->count());
    }
    state.SetItemsProcessed(state.iterations() * kFrames);
}

void openAddItems(benchmark::State& state) {
    const QStringList list = names();
    for (auto _ : state) {
        TGifEdit edit;
        edit.GifNameBox->addItems(list);
        attach(edit);
        benchmark::DoNotOptimize(edit.GifNameBox->count());
    }
    state.SetItemsProcessed(state.iterations() * kFrames);
}

// A click on a frame in the middle: copy of its picture, panels, preview.
void loadFrame(benchmark::State& state) {
    TGifEdit edit;
    edit.GifNameBox->addItems(names());
    attach(edit);
    edit.show();
    QCoreApplication::processEvents();
    int row = kFrames / 2;
    for (auto _ : state) {
        edit.GifNameBox->setCurrentRow(row);
        edit.LoadFrameIntoPanels();
        QCoreApplication::processEvents(); // the preview's repaint
        row = row == kFrames / 2 ? kFrames / 2 + 1 : kFrames / 2;
    }
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}

// A "VmHWM:" (peak) or "VmRSS:" (now) figure of /proc/self/status, in bytes.
int64_t residentBytes(const std::string& key) {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind(key, 0) == 0) return std::stoll(line.substr(key.size())) * 1024;
    return 0;
}

// Starts the peak over from what is resident now (Linux 4.0 and later).
void resetPeak() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

// Peak is the whole process (the records themselves are resident
// throughout); extra is what the save added on top of what was resident
// when it began.
void reportFile(benchmark::State& state, const std::string& file, int64_t before) {
    const int64_t peak = residentBytes("VmHWM:");
    state.SetItemsProcessed(state.iterations() * kRawBytes);
    std::error_code ec;
    state.counters["bytes"] = double(std::filesystem::file_size(file, ec));
    state.counters["peak_MB"] = double(peak) / 1e6;
    state.counters["peak_vs_raw"] = double(peak) / double(kRawBytes);
    state.counters["extra_vs_raw"] = double(peak - before) / double(kRawBytes);
    std::filesystem::remove(file, ec);
}

void saveOurs(benchmark::State& state) {
    TGifEdit edit;
    edit.GifNameBox->addItems(names());
    attach(edit);
    const std::string file = "/tmp/zentrope-bench-editor.gif";
    resetPeak();
    const int64_t before = residentBytes("VmRSS:");
    for (auto _ : state)
        if (!edit.SaveFramesTo(frames(), true, file)) state.SkipWithError("save failed");
    reportFile(state, file, before);
}

// The same pictures, rows read straight from the records' DIBs, written by
// giflib with the same blocks: screen and global table, loop, comment, and
// a control block and image per frame.
void saveGiflib(benchmark::State& state) {
    const std::string file = "/tmp/zentrope-bench-giflib.gif";
    const std::vector<uint8_t> palette = benchimages::photoPalette();
    ColorMapObject* map =
        GifMakeMapObject(256, reinterpret_cast<const GifColorType*>(palette.data()));
    resetPeak();
    const int64_t before = residentBytes("VmRSS:");
    for (auto _ : state) {
        int error = 0;
        GifFileType* gif = EGifOpenFileName(file.c_str(), false, &error);
        if (!gif) {
            state.SkipWithError("EGifOpenFileName");
            break;
        }
        EGifSetGifVersion(gif, true);
        EGifPutScreenDesc(gif, kWidth, kHeight, 8, 0, map);
        PutLoopForever(gif);
        EGifPutComment(gif, comments().front()->front().c_str());
        for (const TMyGifAnimation* record : frames()) {
            GraphicsControlBlock control{record->Disposal, false, record->Delay,
                                         NO_TRANSPARENT_COLOR};
            GifByteType extension[4];
            EGifGCBToExtension(&control, extension);
            EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, extension);
            EGifPutImageDesc(gif, 0, 0, kWidth, kHeight, false, nullptr);
            auto* header = static_cast<BITMAPINFOHEADER*>(GlobalLock(record->DibHandle));
            auto* pixels = reinterpret_cast<GifPixelType*>(header) + 40 + 256 * 4;
            for (int y = 0; y < kHeight; ++y)
                EGifPutLine(gif, pixels + size_t(kWidth) * size_t(kHeight - 1 - y), kWidth);
            GlobalUnlock(record->DibHandle);
        }
        EGifCloseFile(gif, &error);
    }
    GifFreeMapObject(map);
    reportFile(state, file, before);
}

// Registered by name, so that the report pairs each of ours with its peer.
[[maybe_unused]] const bool registered = [] {
    const struct {
        const char* name;
        void (*run)(benchmark::State&);
        int iterations; // 0: as many as the library likes
    } cases[] = {
        {"EditorOpen_ours_1000", openOurs, 0},
        {"EditorOpen_addItems_1000", openAddItems, 0},
        {"EditorLoadFrame_middle_1000", loadFrame, 0},
        {"EditorSave_ours_1000x640x480", saveOurs, 3},
        {"EditorSave_giflib_1000x640x480", saveGiflib, 3},
    };
    for (const auto& c : cases) {
        auto* bench = benchmark::RegisterBenchmark(c.name, [run = c.run](benchmark::State& state) {
            benchApp();
            frames(); // built before the clock runs
            run(state);
        });
        bench->Unit(benchmark::kMillisecond);
        if (c.iterations) bench->Iterations(c.iterations);
    }
    return true;
}();

} // namespace

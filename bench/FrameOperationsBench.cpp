// The editor's operations on every frame of a 300-frame 640x480 animation
// against ImageMagick doing the same to the coalesced frames (what
// `convert anim.gif -coalesce -resize 50%` and `-colors 16` do after
// reading): resizing to half size (ours: anti-aliased copy through the
// resize dialog's "All Frames"; ImageMagick: its default filter) and
// reducing to 16 colours with Floyd-Steinberg dithering (ours: the
// apply-to-selected conversion). ImageMagick is held to one thread, as ours
// run on one; the file reading and writing of `convert` is left out on
// both sides.
#include "editor/TApplyToAllForm.h"
#include "editor/TGifEdit.h"
#include "manipulation/TResizeForm.h"
#include "platform/GlobalMemory.h"

#include "bench/BenchApp.h"
#include "bench/BenchImages.h"
#include "bench/FxBenchSupport.h"
#include <QCheckBox>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <cstring>
#include <magick/MagickCore.h>
#include <vector>

namespace {

constexpr int kWidth = 640, kHeight = 480, kFrames = 300;

const std::vector<benchimages::IndexedFrame>& animation() {
    static const auto frames = benchimages::animation(kFrames, kWidth, kHeight);
    return frames;
}

// The frames as the editor holds them: 8-bit records with their palette.
struct Records {
    TFrameList frames;
    Records() {
        for (const benchimages::IndexedFrame& f : animation()) {
            const HGLOBAL block = GlobalAlloc(GHND, 40 + 256 * 4 + size_t(kWidth) * kHeight);
            auto* header = static_cast<BITMAPINFOHEADER*>(GlobalLock(block));
            *header = BITMAPINFOHEADER{
                40, kWidth, kHeight, 1, 8, BI_RGB, uint32_t(kWidth * kHeight), 0, 0, 256, 256};
            auto* table = reinterpret_cast<RGBQUAD*>(header + 1);
            for (int i = 0; i < 256; ++i)
                table[i] = RGBQUAD{f.palette[size_t(i) * 3 + 2], f.palette[size_t(i) * 3 + 1],
                                   f.palette[size_t(i) * 3], 0};
            auto* rows = reinterpret_cast<uint8_t*>(table + 256);
            for (int y = 0; y < kHeight; ++y)
                std::memcpy(rows + size_t(kHeight - 1 - y) * kWidth, &f.pixels[size_t(y) * kWidth],
                            kWidth);
            GlobalUnlock(block);
            auto* record = new TMyGifAnimation;
            record->ScreenWidth = record->Width = kWidth;
            record->ScreenHeight = record->Height = kHeight;
            record->Name = "Frame " + std::to_string(frames.size() + 1);
            record->DibHandle = block;
            frames.push_back(record);
        }
    }
    ~Records() {
        for (TMyGifAnimation* record : frames) {
            GlobalFree(record->DibHandle);
            delete record;
        }
    }
};

// The same frames as ImageMagick images, one thread.
std::vector<Image*> magickFrames() {
    static const bool oneThread = [] {
        MagickCoreGenesis(nullptr, MagickFalse);
        SetMagickResourceLimit(ThreadResource, 1);
        return true;
    }();
    (void)oneThread;
    std::vector<Image*> images;
    std::vector<uint8_t> rgb(size_t(kWidth) * kHeight * 3);
    for (const benchimages::IndexedFrame& f : animation()) {
        for (size_t i = 0; i < f.pixels.size(); ++i)
            std::memcpy(&rgb[i * 3], &f.palette[size_t(f.pixels[i]) * 3], 3);
        ExceptionInfo* e = AcquireExceptionInfo();
        images.push_back(ConstituteImage(kWidth, kHeight, "RGB", CharPixel, rgb.data(), e));
        DestroyExceptionInfo(e);
    }
    return images;
}

void resizeOurs(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        Records records;
        TGifEdit edit;
        QStringList names;
        for (const TMyGifAnimation* r : records.frames)
            names << QString::fromStdString(r->Name);
        edit.GifNameBox->addItems(names);
        edit.FFrameList = &records.frames;
        edit.GifNameBox->setCurrentRow(0);
        edit.LoadFrameIntoPanels();
        edit.GifNameBox->selectAll();
        QTimer::singleShot(0, [] {
            auto* dialog = qobject_cast<TResizeForm*>(QApplication::activeModalWidget());
            if (!dialog) return;
            dialog->WBar->setValue(kWidth / 2);
            dialog->Hbar->setValue(kHeight / 2);
            dialog->AllFramesBtn->click();
        });
        state.ResumeTiming();
        edit.Resize_ImageClick();
        if (records.frames.back()->Width != kWidth / 2) state.SkipWithError("not resized");
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * kFrames);
}

void resizeMagick(benchmark::State& state) {
    std::vector<Image*> images = magickFrames();
    for (auto _ : state) {
        for (Image* image : images) {
            ExceptionInfo* e = AcquireExceptionInfo();
            Image* out = ResizeImage(image, kWidth / 2, kHeight / 2, UndefinedFilter, 1.0, e);
            if (!out)
                state.SkipWithError("ResizeImage failed");
            else
                DestroyImage(out);
            DestroyExceptionInfo(e);
        }
    }
    for (Image* image : images)
        DestroyImage(image);
    state.SetItemsProcessed(int64_t(state.iterations()) * kFrames);
}

void reduceOurs(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        Records records;
        TApplyToAllForm dialog;
        dialog.SetFrames(&records.frames);
        dialog.ColBox->setChecked(true);
        dialog.Col16->setChecked(true);
        dialog.FLOYD->setChecked(true);
        state.ResumeTiming();
        for (TMyGifAnimation* record : records.frames)
            dialog.ApplyTo(record);
        state.PauseTiming();
        if (records.frames.back()->LocalColors != 16) state.SkipWithError("not reduced");
        state.ResumeTiming();
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * kFrames);
}

void reduceMagick(benchmark::State& state) {
    std::vector<Image*> images = magickFrames();
    for (auto _ : state) {
        for (Image* image : images) {
            Image* copy = fxbench::floydQuantized(image, 16);
            if (!copy)
                state.SkipWithError("CloneImage failed");
            else
                DestroyImage(copy);
        }
    }
    for (Image* image : images)
        DestroyImage(image);
    state.SetItemsProcessed(int64_t(state.iterations()) * kFrames);
}

[[maybe_unused]] const bool registered = [] {
    const struct {
        const char* name;
        void (*run)(benchmark::State&);
    } cases[] = {
        {"FramesResizeHalf_ours_300x640x480", resizeOurs},
        {"FramesResizeHalf_imagemagick_300x640x480", resizeMagick},
        {"FramesReduce16Floyd_ours_300x640x480", reduceOurs},
        {"FramesReduce16Floyd_imagemagick_300x640x480", reduceMagick},
    };
    for (const auto& c : cases)
        benchmark::RegisterBenchmark(c.name,
                                     [run = c.run](benchmark::State& state) {
                                         benchApp();
                                         animation(); // made before the clock runs
                                         run(state);
                                     })
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime()
            ->Iterations(2);
    return true;
}();

} // namespace

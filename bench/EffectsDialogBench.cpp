// The effects dialog from a change of a bar to the result shown, for every
// page, on the photo-like frame at 640x480 and 1920x1080: "Preview" (the
// effect on the pane-sized copy, then the pane repainted) and "Apply" (the
// effect on the whole picture, the preview made again from it and
// repainted). The dialog at its opening size, so the pane is the same for
// both pictures; the picture's size shows in Apply.
#include "manipulation/EffectPages.h"
#include "manipulation/TEffectForm.h"

#include "bench/BenchApp.h"
#include "bench/FxBenchSupport.h"
#include <QAction>
#include <QComboBox>
#include <QSlider>
#include <benchmark/benchmark.h>
#include <string>

namespace {

void Run(benchmark::State& state, const std::string& page, int w, int h, bool apply) {
    benchApp();
    TEffectForm form(nullptr);
    form.SaveSettingsOnExit->setChecked(false);
    form.SetWorkingDib(fxbench::frameDib(w, h));
    form.show();
    QApplication::processEvents();
    form.ShowPage(QString::fromStdString(page));
    if (page == "Borders") form.BorderShape->setCurrentIndex(int(shStar));
    // The page's first bar is the one moved, between two of its values.
    const effectpages::Page* spec = effectpages::FindPage(page.c_str());
    QSlider* bar = spec->bars.empty() ? nullptr : form.Bars.at(spec->bars.front().name);
    int step = 0;
    for (auto _ : state) {
        if (bar) bar->setValue(step++ % 2 ? bar->minimum() : (bar->minimum() + bar->maximum()) / 2);
        apply ? form.ApplyClick() : form.PreviewClick();
        form.PVPImage->repaint();
    }
}

const bool registered = [] {
    for (const effectpages::Page& page : effectpages::Pages()) {
        const std::string caption = page.caption;
        if (caption == "Transitions" || caption == "Color Palette" || caption == "Paste Image")
            continue;
        std::string name = caption;
        for (char& c : name)
            if (c == ' ') c = '_';
        for (const fxbench::Size& size : fxbench::kSizes) {
            for (bool apply : {false, true}) {
                const int w = size.w, h = size.h;
                benchmark::RegisterBenchmark(
                    ("EffectsDialog_" + std::string(apply ? "apply_" : "preview_") + name + "_" +
                     size.name)
                        .c_str(),
                    [caption, w, h, apply](benchmark::State& s) { Run(s, caption, w, h, apply); })
                    ->Unit(benchmark::kMillisecond)
                    ->Iterations(apply ? 2 : 5)
                    ->UseRealTime();
            }
        }
    }
    return true;
}();

} // namespace

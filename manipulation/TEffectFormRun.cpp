// Preview and Apply: each run starts from a copy (the pristine preview or
// the working DIB), so a stopped or failed run changes nothing, and the
// controls are locked while it runs; the progress callback keeps the window
// alive, which is how "Stop" is heard.
#include "bindings/CodecBinding.h"
#include "imaging/animated/DuplicateGlobalBlock.h"
#include "manipulation/TEffectForm.h"
#include "platform/GlobalBlock.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenuBar>
#include <QProgressBar>
#include <QTabWidget>
#include <QToolButton>
#include <algorithm>
#include <cmath>

namespace {

int Round(double v) {
    return int(std::lround(v));
}

// Re-enables what the run disabled, also when the operation throws.
struct RunLock {
    TEffectForm& form;
    std::vector<QWidget*> widgets;
    std::vector<QAction*> actions;
    explicit RunLock(TEffectForm& f) : form(f) {
        for (QToolButton* b : {f.HSRubberband, f.ResetSelection, f.ReloadBtn, f.PreviewBtn,
                               f.ApplyBtn, f.CloseSaveBtn, f.CloseBtn})
            if (b->isEnabled()) widgets.push_back(b);
        widgets.push_back(f.PvPages);
        for (QAction* a : f.MainMenu->actions())
            if (a->isEnabled()) actions.push_back(a);
        for (QWidget* w : widgets)
            w->setEnabled(false);
        for (QAction* a : actions)
            a->setEnabled(false);
        f.StopBtn->setEnabled(true);
        QApplication::setOverrideCursor(Qt::WaitCursor);
    }
    ~RunLock() {
        for (QWidget* w : widgets)
            w->setEnabled(true);
        for (QAction* a : actions)
            a->setEnabled(true);
        form.StopBtn->setEnabled(false);
        form.pvStatusText->clear();
        QApplication::restoreOverrideCursor();
    }
};

DllSP96::Area Limited(DllSP96::Area a, int width, int height) {
    a.Left = std::max(a.Left, 0);
    a.Top = std::max(a.Top, 0);
    a.Right = std::min(a.Right, width);
    a.Bottom = std::min(a.Bottom, height);
    return a;
}

} // namespace

void TEffectForm::PreviewClick() {
    DoEffect(false);
}

void TEffectForm::ApplyClick() {
    DoEffect(true);
}

void TEffectForm::DoEffect(bool apply) {
    if (!FWork.Dib() || FRunning || CurrentPage() == "Color Palette") return;
    FStop = false;
    FLastPump.invalidate();
    pvProgress->setValue(0);
    DllSP96::Area area;
    zp::GlobalBlock target;
    if (apply) {
        target.reset(DuplicateGlobalBlock(WorkingDib()));
        area = FPasteMode ? Selection : Limited(Selection, FWorkWidth, FWorkHeight);
        ReloadBtn->setEnabled(false);
        FPending = false;
    } else {
        if (!FPristine) return;
        target.reset(DuplicateGlobalBlock(FPristine));
        PVPImage->SetDib(DuplicateGlobalBlock(FPristine), true);
        const int pw = PVPImage->Dib().Width(), ph = std::abs(PVPImage->Dib().Height());
        const double sx = double(pw) / FWorkWidth, sy = double(ph) / FWorkHeight;
        area = {Round(sx * Selection.Left), Round(sy * Selection.Top), Round(sx * Selection.Right),
                Round(sy * Selection.Bottom)};
        if (!FPasteMode) area = Limited(area, pw, ph);
        ReloadBtn->setEnabled(true);
        FPending = true;
    }
    if (!target) return;

    HGLOBAL result = 0;
    bool inPlace = false;
    {
        FRunning = true;
        const bool bandShown = RubberBand->Visible;
        RubberBand->Visible = false;
        RunLock lock(*this);
        try {
            HGLOBAL handle = target.get();
            result = RunOperation(CurrentPage(), handle, area, apply, inPlace);
            if (handle != target.get()) {
                target.release();
                target.reset(handle);
            }
        } catch (...) {
            result = 0;
            inPlace = false;
        }
        FRunning = false;
        RubberBand->Visible = bandShown;
    }

    // A stopped run shows and keeps the picture as it was before it.
    if (FStop) {
        zp::GlobalBlock::freeFully(result);
        result = 0;
        inPlace = false;
    }
    HGLOBAL outcome = result ? result : inPlace ? target.release() : 0;
    if (apply) {
        if (outcome) SetWorkingDib(outcome);
    } else {
        PVPImage->SetDib(outcome ? outcome : DuplicateGlobalBlock(FPristine), true);
        if (FStop) FPending = false;
    }
    UpdateDepthText();
    UpdateBandVisibility();
    if (FPasteMode) ShowPasteOverlay();
    PVPImage->update();
}

int16_t TEffectForm::ProgressCallback(int16_t percent, void* user) {
    auto* form = static_cast<TEffectForm*>(user);
    if (form->FStop) return 0;
    QProgressBar* bar = form->pvProgress;
    if (percent <= 0) {
        bar->setValue(0);
    } else if (percent >= 100) {
        bar->setValue(100);
    } else if (percent > bar->value() + 5) {
        bar->setValue(percent);
        form->pvStatusText->setText(QString::fromStdString(DLL96V1::CodecStatusText));
    }
    // Repainting the pane at every report costs more than many effects
    // themselves; a few times a second keeps the window alive and "Stop" heard.
    if (!form->FLastPump.isValid() || form->FLastPump.elapsed() >= 40 || percent >= 100) {
        form->FLastPump.start();
        form->PVPImage->update();
        QApplication::processEvents();
    }
    return form->FStop ? 0 : 1;
}

int16_t TEffectForm::WarpCallback(uintptr_t dib, void* user) {
    auto* form = static_cast<TEffectForm*>(user);
    if (form->FStop) return 0;
    if (dib) form->PVPImage->SetDib(DuplicateGlobalBlock(dib), true);
    form->PVPImage->repaint();
    QApplication::processEvents();
    return form->FStop ? 0 : 1;
}

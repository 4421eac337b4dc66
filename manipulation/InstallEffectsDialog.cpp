// The effects dialog behind TPMultiImage::ShowEffectsDialog: what the
// component hands in and what it takes back.
#include "app/ModalResult.h"
#include "imaging/animated/DuplicateGlobalBlock.h"
#include "imaging/still/TPMultiImage.h"
#include "manipulation/TEffectForm.h"

namespace {

void RunEffectsDialog(TPMultiImage& owner, TPMultiImage::EffectsRun& run) {
    TEffectForm dialog(&owner);
    dialog.RestoreCursor = run.Restore;
    dialog.TransitionDelay = run.Delay;
    dialog.TransitionThickness = run.Thickness;
    for (int i = 0; i < 6; ++i)
        dialog.Transitions[i] = run.Methods[i];
    dialog.SetWorkingDib(run.Dib);
    run.Dib = 0;
    run.Accepted = dialog.exec() == mrOk;
    run.Delay = dialog.TransitionDelay;
    run.Thickness = dialog.TransitionThickness;
    const int checked = int(dialog.CheckedTransition());
    for (int i = 0; i < 6; ++i)
        run.Methods[i] = i == checked;
    // The caller turns the picture into its bitmap; the dialog frees its own.
    run.Dib = DuplicateGlobalBlock(dialog.WorkingDib());
}

} // namespace

void InstallEffectsDialog() {
    TPMultiImage::EffectsDialog = &RunEffectsDialog;
}

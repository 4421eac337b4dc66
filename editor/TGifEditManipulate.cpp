// "Manipulate": the effects dialog on the current frame, through a hidden
// still-image component. The changed picture goes back into the frame
// through StoreBitmapInFrame only, as one undo step.
#include "editor/EditorParts.h"
#include "editor/TGifEdit.h"
#include "editor/commands/TChangeRecorder.h"
#include "imaging/still/TPMultiImage.h"
#include "manipulation/TEffectForm.h"

#include <cstdlib>

using namespace editorparts;

void TGifEdit::ManipulClick() {
    if (!FCurrentFrame) return;
    InstallEffectsDialog();
    {
        const PaintingOff painting;
        TPMultiImage image(this);
        image.hide();
        FWorkDib = WorkCopy(FCurrentFrame->DibHandle);
        zp::TBitmap bitmap, picture;
        if (CurrentFrameBitmap(bitmap) && DllSP96::CopyBitmap(bitmap, picture)) {
            image.Picture().AssignBitmap(picture);
            image.ShowEffectsDialog();
            if (image.EffectsApplied && DllSP96::CopyBitmap(image.Picture().Bitmap(), bitmap)) {
                // One undo step for the picture (and the size it may bring).
                const auto change = Change(TChangeKind::Pictures, "Manipulate", {FCurrentFrame});
                StoreBitmapInFrame(bitmap);
                // "Rotate" may change the picture's size; the record must
                // describe the picture it holds.
                FWorkDib = WorkCopy(FCurrentFrame->DibHandle);
                if (FWorkDib->Dib()) {
                    FCurrentFrame->Width = int16_t(FWorkDib->Width());
                    FCurrentFrame->Height = int16_t(std::abs(FWorkDib->Height()));
                }
                FramesChanged();
            }
        }
    }
    LoadFrameIntoPanels();
}

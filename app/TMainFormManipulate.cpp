// "Manipulate": the effects dialog on the picture shown. A frame of an
// animation goes through the still-image component (hidden meanwhile) and
// only the frame on display takes the result.
#include "app/TMainForm.h"
#include "imaging/animated/PVWebImage.h"
#include "imaging/still/TPMultiImage.h"
#include "manipulation/TEffectForm.h"

void TMainForm::ManipulClick() {
    InstallEffectsDialog();
    const bool animation = AniGifImage1->isVisibleTo(ImageHolder);
    std::unique_ptr<zp::TBitmap> frame;
    int32_t bits = 8;
    if (animation) {
        AniGifImage1->Stop();
        frame = AniGifImage1->GetFrameBitmap();
        if (!frame) return;
        if (const PVWebImg::PVTDib* dib = AniGifImage1->CurrentDib(); dib && dib->Dib())
            bits = dib->BitCount();
        zp::TBitmap copy;
        if (!DllSP96::CopyBitmap(*frame, copy)) return;
        MultiImage1->Picture().AssignBitmap(copy);
    }
    MultiImage1->ShowEffectsDialog();
    if (animation && MultiImage1->EffectsApplied &&
        DllSP96::CopyBitmap(MultiImage1->Picture().Bitmap(), *frame))
        AniGifImage1->ReplaceFrameBitmap(*frame, bits);
}

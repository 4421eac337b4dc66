// The effects round trip: the picture goes to the dialog as a packed DIB
// and, when the dialog closes with OK, comes back into the picture.
#include "bindings/CodecBinding.h"
#include "imaging/common/WaitCursor.h"
#include "imaging/still/TPMultiImage.h"
#include "platform/GlobalBlock.h"

#include <QApplication>

TPMultiImage::EffectsDialogRunner TPMultiImage::EffectsDialog;

void TPMultiImage::ShowEffectsDialog() {
    EffectsApplied = false;
    if (!EffectsDialog || !PictureHasBitmap()) return;
    PushUndoPicture();
    QCoreApplication::processEvents();
    EffectsRun run;
    run.Restore = cursor();
    {
        const WaitCursor wait;
        zp::TBitmap copy;
        if (!DllSP96::CopyBitmap(FPicture.Bitmap(), copy)) return;
        // The device is true colour: "as stored" reads as 24 bits here.
        const int32_t bits = ReadBits();
        run.Dib = DllSP96::IDDBtoDIB(copy, bits > 0 ? bits : 24);
    }
    if (!run.Dib) return;
    run.Delay = FXDelay;
    run.Thickness = FXColRowThick;
    for (int i = 0; i < 6; ++i)
        run.Methods[i] = i == int(FXMethod);
    EffectsDialog(*this, run);
    zp::GlobalBlock result(run.Dib);
    if (!run.Accepted) return;
    EffectsApplied = true;
    FXDelay = run.Delay;
    FXColRowThick = run.Thickness;
    for (int i = 0; i < 6; ++i)
        if (run.Methods[i]) FXMethod = DllSP96::TFXMethod(i);
    const WaitCursor wait;
    zp::GlobalLockGuard lock(result.get());
    HBITMAP bitmap = 0;
    HPALETTE palette = 0;
    if (!lock || !DLL96V1::DibtoDdb(lock.data(), bitmap, palette)) return;
    zp::TBitmap picture;
    picture.setHandle(bitmap);
    picture.setPalette(palette);
    FPicture.AssignBitmap(picture);
}

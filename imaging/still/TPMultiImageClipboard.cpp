// Clipboard, rotation and window copies of the still-image component.
#include "imaging/common/DibClipboard.h"
#include "imaging/common/WaitCursor.h"
#include "imaging/still/TPMultiImage.h"

#include "bindings/CodecBinding.h"
#include "platform/GlobalBlock.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <cstring>

using dibclip::kDibMime;

uint64_t TPMultiImage::PackedDibSize(const QByteArray& packed) {
    return dibclip::PackedDibSize(packed);
}

void TPMultiImage::CopyToClipboard() {
    if (FPicture.Empty()) return;
    auto* data = new QMimeData;
    if (PictureHasBitmap()) {
        const zp::TBitmap& bitmap = FPicture.Bitmap();
        // A bitmap with a palette came from an indexed picture: keep 8 bits.
        const int32_t bits = bitmap.palette() ? 8 : 24;
        HGLOBAL dib = 0;
        if (DLL96V1::DdbtoDib(bitmap.handle(), bitmap.palette(), bits, 0, nullptr, 1, 0, dib)) {
            zp::GlobalBlock block(dib);
            zp::GlobalLockGuard lock(block.get());
            if (lock)
                data->setData(kDibMime, QByteArray(lock.as<const char>(), qsizetype(block.size())));
        }
        data->setImageData(FPicture.Image());
    } else {
        QImage image(std::max(1, FPicture.Width()), std::max(1, FPicture.Height()),
                     QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        FPicture.Draw(painter, image.rect());
        painter.end();
        data->setImageData(image);
    }
    QApplication::clipboard()->setMimeData(data);
}

void TPMultiImage::CutToClipboard() {
    CopyToClipboard();
    PushUndoPicture();
    FPicture.Clear();
}

bool TPMultiImage::PasteDib(const QByteArray& packed) {
    const uint64_t size = PackedDibSize(packed);
    if (!size) return false;
    zp::GlobalBlock block = zp::GlobalBlock::allocate(size);
    zp::GlobalLockGuard lock(block.get());
    if (!lock) return false;
    std::memcpy(lock.data(), packed.constData(), size);
    HBITMAP handle = 0;
    HPALETTE palette = 0;
    if (!DLL96V1::DibtoDdb(lock.data(), handle, palette)) return false;
    zp::TBitmap bitmap;
    bitmap.setHandle(handle);
    bitmap.setPalette(palette);
    FPicture.AssignBitmap(bitmap);
    return true;
}

void TPMultiImage::PasteFromClipboard() {
    const QMimeData* data = QApplication::clipboard()->mimeData();
    if (!data) return;
    const bool ours = data->hasFormat(kDibMime) && PackedDibSize(data->data(kDibMime)) > 0;
    if (!ours && !data->hasImage()) return;
    StopScrollText(false);
    PushUndoPicture();
    // Ours first; when the codec refuses it, fall back on the plain image.
    if (!(ours && PasteDib(data->data(kDibMime)))) {
        const QImage image = qvariant_cast<QImage>(data->imageData());
        if (image.isNull() || !FPicture.AssignImage(image)) return;
    }
    if (FStretchRatio) {
        ComputeFitFactor();
        update();
    }
}

void TPMultiImage::RotatePicture(int left, int top, double angle, int bottom, int right) {
    if (!PictureHasBitmap()) return;
    WaitCursor wait;
    bool cancel = false;
    if (OnProgress) OnProgress(this, 0, std::string(), cancel);
    zp::TBitmap copy;
    if (!DllSP96::CopyBitmap(FPicture.Bitmap(), copy)) return;
    const DllSP96::Area area{left, top, right, bottom};
    if (DllSP96::PVRotateBMP(copy, area, PVUndo, RotateBackColor, angle))
        FPicture.AssignBitmap(copy);
}

void TPMultiImage::CopyFromWindow(QWidget* window) {
    // The screen is true colour: there is never a system palette to attach.
    if (!window) return;
    const QImage image = window->grab().toImage();
    if (!image.isNull()) FPicture.AssignImage(image);
}

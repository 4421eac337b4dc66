#include "imaging/still/PVDocumentImage.h"

#include "bindings/CodecBinding.h"
#include "imaging/still/TPicture.h"
#include "platform/TBitmap.h"

#include <QPainter>
#include <algorithm>

PVDocumentImage::PVDocumentImage(QWidget* parent) : QWidget(parent) {
    setObjectName("DocumentImage");
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

bool PVDocumentImage::LoadPage(const std::string& fileName, int16_t page) {
    Clear();
    DLL96V1::TiffInformation info;
    if (page < 0 || !DLL96V1::getinfo(fileName, page, info)) return false;
    zp::TBitmap bitmap;
    // Pages of every depth come as true colour: the scaling below averages
    // pixels, which needs real colour values rather than palette indices.
    if (!DLL96V1::readtiffile(fileName, page, 24, false, bitmap, this,
                              &PVDocumentImage::ProgressCallback))
        return false;
    FPage = DeviceBitmapToImage(bitmap.handle());
    if (FPage.isNull()) return false;
    FFileName = fileName;
    FPageIndex = page;
    FPageCount = info.pageCount;
    Rescale();
    if (OnPageInfo) OnPageInfo(this, FPage.width(), FPage.height(), FPageIndex, FPageCount);
    return true;
}

bool PVDocumentImage::FirstPage() {
    return FPageCount > 0 && LoadPage(std::string(FFileName), 0);
}

bool PVDocumentImage::PriorPage() {
    return FPageIndex > 0 && LoadPage(std::string(FFileName), int16_t(FPageIndex - 1));
}

bool PVDocumentImage::NextPage() {
    return FPageIndex + 1 < FPageCount && LoadPage(std::string(FFileName), int16_t(FPageIndex + 1));
}

bool PVDocumentImage::LastPage() {
    return FPageCount > 0 && LoadPage(std::string(FFileName), int16_t(FPageCount - 1));
}

void PVDocumentImage::Clear() {
    FFileName.clear();
    FPage = QImage();
    FShown = QImage();
    FPageIndex = 0;
    FPageCount = 0;
    update();
}

void PVDocumentImage::SetZoom(int percent) {
    FZoom = std::max(1, percent);
    Rescale();
}

void PVDocumentImage::Rescale() {
    if (FPage.isNull()) {
        FShown = QImage();
    } else {
        const int w = std::max(1, int(int64_t(FPage.width()) * FZoom / 100));
        const int h = std::max(1, int(int64_t(FPage.height()) * FZoom / 100));
        // Enlarged pages keep hard pixel edges; reduced ones are averaged.
        FShown = FZoom == 100 ? FPage
                              : FPage.scaled(w, h, Qt::IgnoreAspectRatio,
                                             FZoom < 100 ? Qt::SmoothTransformation
                                                         : Qt::FastTransformation);
    }
    update();
}

void PVDocumentImage::paintEvent(QPaintEvent*) {
    if (FShown.isNull()) return;
    QPainter painter(this);
    const int x = Center ? (width() - FShown.width()) / 2 : 0;
    const int y = Center ? (height() - FShown.height()) / 2 : 0;
    painter.drawImage(std::max(0, x), std::max(0, y), FShown);
}

int16_t PVDocumentImage::ProgressCallback(int16_t percent, void* user) {
    auto* self = static_cast<PVDocumentImage*>(user);
    if (!self || !self->OnProgress) return 1;
    bool cancel = false;
    self->OnProgress(self, percent, cancel);
    return cancel ? 0 : 1;
}

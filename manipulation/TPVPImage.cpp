#include "manipulation/TPVPImage.h"

#include "imaging/animated/DuplicateGlobalBlock.h"
#include "imaging/common/DibImage.h"
#include "imaging/still/TPicture.h"
#include "platform/Gdi.h"
#include "platform/GlobalMemory.h"

#include <QMouseEvent>
#include <QPainter>
#include <cstdlib>

namespace {

void Load(PVDibCls::PVTDib& dib, HGLOBAL block, bool owns) {
    dib.SetDib(nullptr); // frees the previous block when owned
    dib.OwnsDib = owns;
    if (block) dib.SetDib(GlobalLock(block));
}

} // namespace

TPVPImage::TPVPImage(QWidget* parent) : QWidget(parent) {
    resize(20, 20);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
}

void TPVPImage::SetDib(HGLOBAL block, bool ownsBlock) {
    Load(FDib, block, ownsBlock);
    update();
}

HGLOBAL TPVPImage::DibBlock() const {
    return FDib.Dib() ? GlobalHandle(FDib.Dib()) : 0;
}

void TPVPImage::SetEditDib(HGLOBAL block) {
    Load(FEditDib, block, false);
}

void TPVPImage::SetOverlay(HGLOBAL block) {
    Load(FOverlay, block ? DuplicateGlobalBlock(block) : 0, true);
    update();
}

void TPVPImage::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QColor face = palette().color(QPalette::Window);
    if (Surface) {
        int32_t w = 0, h = 0;
        GetSurfaceDCSize(Surface, &w, &h);
        painter.drawImage(0, 0, PixelsToImage(SurfaceDCBits(Surface), w, h));
        return;
    }
    QImage canvas(size(), QImage::Format_RGB32);
    canvas.fill(face);
    if (const BITMAPINFOHEADER* dib = FDib.Dib()) {
        const int w = dib->biWidth, h = std::abs(dib->biHeight);
        const QRect target = Stretch ? rect() : QRect(0, 0, w, h);
        dibimage::Stretch(canvas, target, dib, QRect(0, 0, w, h));
    }
    if (Overlay && FOverlay.Dib()) {
        const BITMAPINFOHEADER* over = FOverlay.Dib();
        dibimage::Stretch(canvas, OverlayRect, over,
                          QRect(0, 0, over->biWidth, std::abs(over->biHeight)));
    }
    painter.drawImage(0, 0, canvas);
    if (OnPaint) OnPaint(painter);
}

void TPVPImage::mousePressEvent(QMouseEvent* event) {
    if (OnMouseDown) OnMouseDown(event);
}

void TPVPImage::mouseMoveEvent(QMouseEvent* event) {
    if (OnMouseMove) OnMouseMove(event);
}

void TPVPImage::mouseReleaseEvent(QMouseEvent* event) {
    if (OnMouseUp) OnMouseUp(event);
}

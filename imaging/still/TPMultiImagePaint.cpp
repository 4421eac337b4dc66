// Painting, scroll bars and text overlay of the still-image component.
#include "imaging/common/ColorRef.h"
#include "imaging/common/StretchBlit.h"
#include "imaging/still/TPMultiImage.h"

#include <QApplication>
#include <QFrame>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>
#include <array>

namespace {

// A zoom that can divide and multiply safely; a damaged one counts as 1.
double SafeZoom(double z) {
    return z > 0 && z < 1e6 ? z : 1.0;
}

// The four non-overlapping strips of a one-pixel outline from anchor to
// corner: every outline pixel lies in exactly one, so inverting them all
// twice gives the pixels back.
std::array<QRect, 4> BandStrips(QPoint anchor, QPoint corner) {
    const int x0 = std::min(anchor.x(), corner.x()), x1 = std::max(anchor.x(), corner.x());
    const int y0 = std::min(anchor.y(), corner.y()), y1 = std::max(anchor.y(), corner.y());
    std::array<QRect, 4> strips{};
    strips[0] = QRect(QPoint(x0, y0), QPoint(x1, y0));
    if (y1 > y0) strips[1] = QRect(QPoint(x0, y1), QPoint(x1, y1));
    if (y1 - y0 > 1) {
        strips[2] = QRect(QPoint(x0, y0 + 1), QPoint(x0, y1 - 1));
        if (x1 > x0) strips[3] = QRect(QPoint(x1, y0 + 1), QPoint(x1, y1 - 1));
    }
    return strips;
}

} // namespace

void TPMultiImage::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (ScrollTextRunning()) {
        // The scrolling text stands for the picture: the overlay and the
        // paint event follow it as they follow a picture.
        PaintScrollText(painter);
        if (!FText.empty()) DrawTextOverlay(painter);
        if (OnPaint) OnPaint(this);
    } else if (FFXSurface) {
        // A transition is running: show its surface as it stands.
        int32_t w = 0, h = 0;
        const uint32_t* bits = SurfaceDCBits(FFXSurface);
        if (bits && GetSurfaceDCSize(FFXSurface, &w, &h)) {
            painter.drawImage(0, 0, PixelsToImage(bits, w, h));
        }
    } else {
        PaintPicture(painter);
    }
    if (FBandActive) {
        // The band inverts what lies under it (drawn from state, so an update
        // of its strips without it erases it).
        painter.setCompositionMode(QPainter::RasterOp_NotDestination);
        for (const QRect& strip : BandStrips(FBandAnchor, FBandCorner))
            if (!strip.isEmpty()) painter.fillRect(strip, Qt::black);
    }
}

void TPMultiImage::PaintPicture(QPainter& painter) {
    const int W = width(), H = height();
    const QColor back = ToQColor(FColor);
    // The bitmap's own pixels: a large picture is never copied to paint it.
    const zp::TBitmap& bitmap = FPicture.Bitmap();
    const bool hasPixels = FPicture.HasBitmapHandle() && bitmap.bits();
    const int iw = hasPixels ? bitmap.width() : 0, ih = hasPixels ? bitmap.height() : 0;

    // Icons and metafiles are drawn by the picture object.
    if (ImageFormat == "ICO" || ImageFormat == "WMF" ||
        FPicture.Kind() == TPicture::Graphic::Metafile) {
        const int pw = FPicture.Width(), ph = FPicture.Height();
        QRect target(0, 0, pw, ph);
        if (FStretch)
            target = rect();
        else if (FCenter)
            target.moveTo((W - pw) / 2, (H - ph) / 2);
        painter.fillRect(rect(), back);
        FPicture.Draw(painter, target);
        if (!FText.empty()) DrawTextOverlay(painter);
        if (OnPaintArea)
            OnPaintArea(this, target.x(), target.y(), target.x() + target.width(),
                        target.y() + target.height());
        if (OnPaint) OnPaint(this);
        return;
    }

    // Tiles at natural size from the top left; nothing drawn over them.
    if (FTileWindow && hasPixels) {
        const QImage& image = FPicture.Image();
        for (int y = 0; y < H; y += ih)
            for (int x = 0; x < W; x += iw)
                painter.drawImage(x, y, image);
        return;
    }

    QImage canvas(std::max(W, 1), std::max(H, 1), QImage::Format_RGB32);
    canvas.fill(back);
    if (hasPixels) {
        // 1- bit pictures choose how eliminated pixels combine when shrunk.
        zp::StretchMode mode = zp::StretchMode::ColorOnColor;
        if (ImageBitsPerPixel < 2 && FBlitMode == sDark) mode = zp::StretchMode::BlackOnWhite;
        if (ImageBitsPerPixel < 2 && FBlitMode == sLightest) mode = zp::StretchMode::WhiteOnBlack;

        QRect source(0, 0, iw, ih), target;
        if (FStretch) {
            target = rect();
        } else if (!FStretchRatio && !FScrolling) {
            target = QRect(0, 0, iw, ih);
            if (FCenter) target.moveTo((W - iw) / 2, (H - ih) / 2);
        } else {
            const double z = SafeZoom(ZoomFactor);
            int b = FShowScrollbars ? FScrollbarWidth : 0;
            const bool exceedsX = zp::TruncPixels(iw * z) > W;
            const bool exceedsY = zp::TruncPixels(ih * z) > H;
            if (!exceedsX && !exceedsY) b = 0;
            // Per axis: an exceeding axis shows the part from the origin over
            // the room the bar leaves; a fitting one shows all, maybe centred.
            auto axis = [&](bool exceeds, int imageSize, int control, int origin, int& s0, int& sl,
                            int& d0, int& dl, int16_t& offset) {
                if (exceeds) {
                    // Past either end only nothing is left to show.
                    s0 = std::clamp(origin, -imageSize, imageSize);
                    sl = zp::TruncPixels((control - b) / z);
                    d0 = 0;
                    dl = control - b;
                    offset = 0;
                } else {
                    s0 = 0;
                    sl = imageSize;
                    dl = zp::TruncPixels(imageSize * z);
                    d0 = FCenter ? (control - dl) / 2 : 0;
                    offset = int16_t(std::clamp(d0, -32768, 32767));
                }
            };
            int sx, sw, dx, dw, sy, sh, dy, dh;
            axis(exceedsX, iw, W, ScrollOrigin.x(), sx, sw, dx, dw, CenterOffsetX);
            axis(exceedsY, ih, H, ScrollOrigin.y(), sy, sh, dy, dh, CenterOffsetY);
            source = QRect(sx, sy, sw, sh);
            target = QRect(dx, dy, dw, dh);
        }
        const zp::PixelPlane from{bitmap.bits(), iw, ih, iw};
        const zp::PixelPlane to{reinterpret_cast<uint32_t*>(canvas.bits()), canvas.width(),
                                canvas.height(), int32_t(canvas.bytesPerLine() / 4)};
        zp::StretchPixels(to, target, from, source, mode);
        painter.drawImage(0, 0, canvas);
        if (FStretch || FStretchRatio || FScrolling) LayoutScrollBars();
        if (OnPaintArea) OnPaintArea(this, target.x(), target.y(), target.width(), target.height());
    } else {
        painter.drawImage(0, 0, canvas);
        LayoutScrollBars(); // a cleared picture leaves no bars behind
    }
    if (!FText.empty()) DrawTextOverlay(painter);
    if (OnPaint) OnPaint(this);
}

bool TPMultiImage::ScrolledImageExceeds() const {
    const double z = SafeZoom(ZoomFactor);
    return zp::TruncPixels(FPicture.Width() * z) > width() ||
           zp::TruncPixels(FPicture.Height() * z) > height();
}

void TPMultiImage::LayoutScrollBars() {
    if (!FVScroll || !FHScroll || !FCorner) return;
    if (!PictureHasBitmap() || FStretch || FStretchRatio || !FScrolling || !FShowScrollbars ||
        !ScrolledImageExceeds()) {
        HideScrollBars();
        return;
    }
    const int W = width(), H = height(), b = FScrollbarWidth;
    const double z = SafeZoom(ZoomFactor);
    FLayingOut = true;
    FVScroll->setGeometry(W - b, 1, b, std::max(0, H - b - 1));
    FHScroll->setGeometry(1, H - b, std::max(0, W - b - 1), b);
    FCorner->setGeometry(W - b, H - b, b, b);
    auto place = [&](QScrollBar* bar, int image, int control, int origin) {
        const int maximum = std::max(0, zp::TruncPixels(image * z - control + b));
        const int position = maximum == 0 ? 0 : std::min(zp::TruncPixels(origin * z), maximum);
        bar->setRange(0, maximum);
        bar->setPageStep(std::max(1, control - b));
        bar->setValue(position);
    };
    place(FHScroll, FPicture.Width(), W, ScrollOrigin.x());
    place(FVScroll, FPicture.Height(), H, ScrollOrigin.y());
    for (QWidget* child : {static_cast<QWidget*>(FVScroll), static_cast<QWidget*>(FHScroll),
                           static_cast<QWidget*>(FCorner)}) {
        child->show();
        child->raise();
    }
    FLayingOut = false;
}

void TPMultiImage::HideScrollBars() {
    for (QWidget* child : {static_cast<QWidget*>(FVScroll), static_cast<QWidget*>(FHScroll),
                           static_cast<QWidget*>(FCorner)}) {
        if (!child) continue;
        child->hide();
        child->setGeometry(0, 0, 0, 0);
    }
}

void TPMultiImage::ScrollBarMoved() {
    if (FLayingOut || !FVScroll || !FHScroll) return;
    // Only the bar the user moved sets its coordinate: the other still shows
    // where the layout put it.
    const double z = SafeZoom(ZoomFactor);
    auto follow = [&](QScrollBar* bar, int origin) {
        const int laidOut =
            bar->maximum() == 0 ? 0 : std::min(zp::TruncPixels(origin * z), bar->maximum());
        return bar->value() == laidOut ? origin : zp::TruncPixels(bar->value() / z);
    };
    ScrollOrigin = QPoint(follow(FHScroll, ScrollOrigin.x()), follow(FVScroll, ScrollOrigin.y()));
    update();
}

void TPMultiImage::DrawTextOverlay(QPainter& painter) {
    // The control's font at its size, bold as weight 700, without smoothing
    // (proof-quality raster text). The text takes the palette's WindowText
    // colour: the control's font colour.
    QFont f = font();
    f.setWeight(f.bold() ? QFont::Bold : QFont::Normal);
    f.setStyleStrategy(QFont::NoAntialias);
    if (f.fixedPitch()) f.setStyleHint(QFont::TypeWriter);
    painter.save();
    painter.setFont(f);
    painter.setBackgroundMode(FTextTransParent ? Qt::TransparentMode : Qt::OpaqueMode);
    painter.setBackground(ToQColor(FColor));
    const QString text = QString::fromStdString(FText);
    // (x, y) is the top left of the text cell; rotation turns about it.
    const int ascent = painter.fontMetrics().ascent();
    auto drawAt = [&](int x, int y, const QColor& colour) {
        painter.save();
        painter.translate(x, y);
        painter.rotate(-FTextRotate);
        painter.setPen(colour);
        painter.drawText(QPoint(0, ascent), text);
        painter.restore();
    };
    if (FTextShadow) drawAt(FTextLeft + 2, FTextTop + 2, ToQColor(FTextShadowColor));
    drawAt(FTextLeft, FTextTop, palette().color(QPalette::WindowText));
    painter.restore();
}

namespace {

// Shows a transition's surface on the widget and lets pending events run
// (the transition waits between its steps).
void PresentTransition(void* user) {
    auto* widget = static_cast<QWidget*>(user);
    widget->repaint();
    QCoreApplication::processEvents();
}

// Undoes what a transition set up, on every way out.
struct TransitionCleanup {
    uintptr_t& surface;
    ~TransitionCleanup() {
        if (surface) DeleteObject(surface);
        surface = 0;
        QApplication::restoreOverrideCursor();
    }
};

} // namespace

void TPMultiImage::RunTransition() {
    if (FFXBuffer.empty()) return;
    // The transition owns its picture: events pumped while it runs may load
    // the next one into the buffer.
    zp::TBitmap buffer;
    buffer.setPalette(FFXBuffer.releasePalette());
    buffer.setHandle(FFXBuffer.releaseHandle());
    const int W = width(), H = height();
    if (FXMethod == DllSP96::FXNone || FFXSurface || W <= 0 || H <= 0) {
        FPicture.AssignBitmap(buffer);
        return;
    }
    QCoreApplication::processEvents();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    TransitionCleanup cleanup{FFXSurface};

    // Under Stretch and StretchRatio the work bitmap is the picture as the
    // control will show it, so the picture stays at the control's size.
    zp::TBitmap work;
    if (FStretch || FStretchRatio) {
        work.setHandle(CreateDeviceBitmap(W, H));
        if (work.empty()) {
            // No memory for the effect: show the picture without it rather than lose it.
            FPicture.AssignBitmap(buffer);
            return;
        }
        const int bw = buffer.width(), bh = buffer.height();
        const zp::PixelPlane to{work.bits(), W, H, W};
        const zp::PixelPlane from{buffer.bits(), bw, bh, bw};
        QRect target(0, 0, W, H);
        if (FStretchRatio) {
            const double z = std::min(double(W) / bw, double(H) / bh);
            const int dw = zp::TruncPixels(bw * z), dh = zp::TruncPixels(bh * z);
            CenterOffsetX = int16_t((W - dw) / 2);
            CenterOffsetY = int16_t((H - dh) / 2);
            target = QRect(CenterOffsetX, CenterOffsetY, dw, dh);
            const uint32_t fill = ToQRgb(FColor);
            std::fill(work.bits(), work.bits() + int64_t(W) * H, fill);
        }
        zp::StretchPixels(to, target, from, QRect(0, 0, bw, bh), zp::StretchMode::ColorOnColor);
    }

    // The surface starts as the control looks now, so the new picture
    // arrives over the old one.
    const QImage before = grab().toImage().convertToFormat(QImage::Format_RGB32).scaled(W, H);
    FFXSurface = CreateSurfaceDC(W, H);
    if (!FFXSurface) {
        FPicture.AssignBitmap(work.empty() ? buffer : work);
        return;
    }
    uint32_t* bits = SurfaceDCBits(FFXSurface);
    for (int y = 0; y < H; ++y)
        std::copy_n(reinterpret_cast<const uint32_t*>(before.constScanLine(y)), W,
                    bits + int64_t(y) * W);
    SetSurfaceDCPresenter(FFXSurface, &PresentTransition, this);
    const zp::TBitmap& shown = work.empty() ? buffer : work;
    DllSP96::FXSkip(FXMethod, FFXSurface, shown.handle(), FXColRowThick, FXDelay);
    FPicture.AssignBitmap(work.empty() ? buffer : work);
}

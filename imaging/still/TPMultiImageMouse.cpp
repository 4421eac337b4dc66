// Grab-hand scrolling and the aspect-keeping rubber band of the still-image component.
#include "imaging/common/CursorTable.h"
#include "imaging/common/StretchBlit.h"
#include "imaging/still/TPMultiImage.h"

#include <QMouseEvent>
#include <QScrollBar>
#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

Qt::MouseButton QtButton(TMouseButton button) {
    switch (button) {
    case mbLeft:
        return Qt::LeftButton;
    case mbRight:
        return Qt::RightButton;
    default:
        return Qt::NoButton; // only left and right draw the band
    }
}

double SafeZoom(double z) {
    return z > 0 && z < 1e6 ? z : 1.0;
}

} // namespace

QPoint TPMultiImage::RubberBandCornerFor(QPoint anchor, int x, int y, int width, int height) {
    if (width <= 0 || height <= 0) return anchor;
    const double dx = x - anchor.x(), dy = y - anchor.y();
    const double length = std::sqrt(dx * dx + dy * dy);
    const double r = double(height) / width;
    const double f = length / std::sqrt(r * r + 1);
    const double g = r * f;
    // Quadrant tests in this order, the later one winning.
    int sx = 1, sy = -1;
    if (dx < 1 && dy < 1) sx = -1, sy = -1;
    if (dx < 1 && dy >= 0) sx = -1, sy = 1;
    if (dx >= 0 && dy >= 0) sx = 1, sy = 1;
    return QPoint(zp::TruncPixels(anchor.x() + sx * f), zp::TruncPixels(anchor.y() + sy * g));
}

void TPMultiImage::DrawBand(QPoint anchor, QPoint corner) {
    // paintEvent inverts the band's outline while it is active; repainting
    // its area shows it or, once it has ended or moved, takes it away.
    update(QRect(anchor, corner).normalized());
}

void TPMultiImage::mousePressEvent(QMouseEvent* event) {
    if (FEditAnnotat) return; // would go to the annotation library; this build has none
    const QPoint p = event->position().toPoint();
    if (AllowRubberBand) {
        if (FBandActive || event->button() != QtButton(RubberBandBtn)) return;
        FBandActive = true;
        FBandButton = RubberBandBtn;
        FBandAnchor = FBandCorner = p;
        DrawBand(FBandAnchor, FBandCorner);
        return;
    }
    if (event->button() != Qt::LeftButton) return;
    FLastPoint = p;
    if (PictureHasBitmap() && !FStretch && ScrolledImageExceeds() && !FGrabbing) {
        FGrabbing = true;
        FHadCursor = testAttribute(Qt::WA_SetCursor);
        FSavedCursor = cursor();
        setCursor(CursorAt(GrabHandCursor));
    }
}

void TPMultiImage::mouseMoveEvent(QMouseEvent* event) {
    if (FEditAnnotat) return;
    const QPoint p = event->position().toPoint();
    if (FBandActive) {
        DrawBand(FBandAnchor, FBandCorner);
        FBandCorner = RubberBandCornerFor(FBandAnchor, p.x(), p.y(), width(), height());
        DrawBand(FBandAnchor, FBandCorner);
        return;
    }
    if (!FGrabbing) return;
    const double z = SafeZoom(ZoomFactor);
    // A move shorter than one image pixel still steps one pixel its way.
    auto step = [z](int last, int now) {
        const int d = zp::TruncPixels((last - now) / z);
        if (d == 0 && last != now) return last > now ? 1 : -1;
        return d;
    };
    const int d = step(FLastPoint.x(), p.x()), e = step(FLastPoint.y(), p.y());
    FLastPoint = p;
    const int b = FVScroll && !FVScroll->isHidden() ? FScrollbarWidth : 0;
    // In 64 bits: a caller may have put the origin anywhere.
    auto move = [&](int64_t origin, int64_t delta, int64_t image, int control) -> int {
        if (origin + delta < 0 || zp::TruncPixels(double(image) * z) < control) return 0;
        if ((control - b) > double(image - delta - origin) * z) // right or bottom edge reached
            return int(std::max<int64_t>(0, image - zp::TruncPixels((control - b) / z)));
        return int(std::clamp<int64_t>(origin + delta, 0, INT32_MAX));
    };
    ScrollOrigin = QPoint(move(ScrollOrigin.x(), d, FPicture.Width(), width()),
                          move(ScrollOrigin.y(), e, FPicture.Height(), height()));
    update();
}

void TPMultiImage::mouseReleaseEvent(QMouseEvent* event) {
    if (FEditAnnotat) return;
    if (FBandActive) {
        if (event->button() != QtButton(FBandButton)) return;
        FBandActive = false;
        DrawBand(FBandAnchor, FBandCorner);
        if (OnRubberband)
            OnRubberband(this, FBandButton, event->modifiers(), FBandAnchor.x(), FBandAnchor.y(),
                         FBandCorner.x(), FBandCorner.y());
        return;
    }
    if (FGrabbing && event->button() == Qt::LeftButton) {
        FGrabbing = false;
        if (FHadCursor)
            setCursor(FSavedCursor);
        else
            unsetCursor();
    }
}

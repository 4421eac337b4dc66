#include "manipulation/TPVRubberBand.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWidget>

TPVRubberBand::TPVRubberBand(QWidget* control, QObject* owner,
                             std::function<void(int, int, int, int)> onChange)
    : QObject(owner), FControl(control), FOnChange(std::move(onChange)) {}

TPVRubberBand::Kind TPVRubberBand::Classify(QPoint p) const {
    if (FNoBand) return None;
    const int t = Tolerance;
    const int l = FBand.left(), r = FBand.right(), tp = FBand.top(), b = FBand.bottom();
    if (!FBand.adjusted(-t, -t, t, t).contains(p)) return None;
    const bool nearL = std::abs(p.x() - l) <= t, nearR = std::abs(p.x() - r) <= t;
    const bool nearT = std::abs(p.y() - tp) <= t, nearB = std::abs(p.y() - b) <= t;
    // Corners first: a point near two edges takes the corner.
    if (nearB && nearL) return BottomLeft;
    if (nearB && nearR) return BottomRight;
    if (nearT && nearR) return TopRight;
    if (nearT && nearL) return TopLeft;
    if (nearR) return Right;
    if (nearL) return Left;
    if (nearT) return Top;
    if (nearB) return Bottom;
    if (FBand.adjusted(t, t, -t, -t).contains(p)) return Move;
    return None;
}

void TPVRubberBand::MouseDown(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    FDown = true;
    FLast = p;
    if (FNoBand) {
        FNoBand = false;
        FBand = QRect(p, p);
        FKind = BottomRight;
        Report();
        return;
    }
    FKind = Classify(p);
}

void TPVRubberBand::MouseMove(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    if (!FDown) {
        switch (Classify(p)) {
        case Top:
        case Bottom:
            FControl->setCursor(Qt::SplitVCursor);
            break;
        case Left:
        case Right:
            FControl->setCursor(Qt::SplitHCursor);
            break;
        case TopLeft:
        case BottomRight:
            FControl->setCursor(Qt::SizeFDiagCursor);
            break;
        case TopRight:
        case BottomLeft:
            FControl->setCursor(Qt::SizeBDiagCursor);
            break;
        case Move:
            FControl->setCursor(Qt::SizeAllCursor);
            break;
        case None:
            FControl->unsetCursor();
            break;
        }
        return;
    }
    const int t = Tolerance;
    const QRect inner = FBand.adjusted(t, t, -t, -t);
    QRect band = FBand;
    const bool withinX = p.x() >= inner.left() && p.x() <= inner.right();
    const bool withinY = p.y() >= inner.top() && p.y() <= inner.bottom();
    // An edge follows only while the mouse stays on its own side of the
    // opposite edge, so the band never folds over.
    auto top = [&] {
        if (p.y() < band.bottom()) band.setTop(p.y());
    };
    auto bottom = [&] {
        if (p.y() > band.top()) band.setBottom(p.y());
    };
    auto left = [&] {
        if (p.x() < band.right()) band.setLeft(p.x());
    };
    auto right = [&] {
        if (p.x() > band.left()) band.setRight(p.x());
    };
    switch (FKind) {
    case Top:
        if (withinX) top();
        break;
    case Bottom:
        if (withinX) bottom();
        break;
    case Left:
        if (withinY) left();
        break;
    case Right:
        if (withinY) right();
        break;
    case TopLeft:
        if (p.x() < band.right() && p.y() < band.bottom()) top(), left();
        break;
    case TopRight:
        if (p.x() > band.left() && p.y() < band.bottom()) top(), right();
        break;
    case BottomLeft:
        if (p.x() < band.right() && p.y() > band.top()) bottom(), left();
        break;
    case BottomRight:
        if (p.x() > band.left() && p.y() > band.top()) bottom(), right();
        break;
    case Move:
        band.translate(p - FLast);
        break;
    case None:
        return;
    }
    FLast = p;
    if (band != FBand) {
        FBand = band;
        Report();
    }
}

void TPVRubberBand::MouseUp(QMouseEvent*) {
    FDown = false;
    FKind = None;
}

void TPVRubberBand::SetBand(const QRect& band) {
    FNoBand = false;
    FBand = band;
    Report();
}

void TPVRubberBand::Draw(QPainter& painter) const {
    if (FNoBand || !Visible) return;
    painter.save();
    painter.setCompositionMode(QPainter::RasterOp_NotDestination);
    painter.setPen(QPen(Qt::white, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(FBand);
    painter.restore();
}

void TPVRubberBand::Report() {
    if (FControl) FControl->update();
    if (FOnChange) FOnChange(FBand.left(), FBand.top(), FBand.right(), FBand.bottom());
}

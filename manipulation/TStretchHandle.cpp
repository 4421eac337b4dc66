#include "manipulation/TStretchHandle.h"

#include "imaging/common/ColorRef.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QRegion>
#include <algorithm>
#include <cstdlib>

const char* const TStretchHandle::InvalidAttachText =
    "Handles can not be attached to this component.";

TOverlay::TOverlay(QWidget* parent) : QWidget(parent) {
    setObjectName("Overlay");
    // It covers the whole parent: every press must still reach the controls.
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setVisible(false);
}

void TOverlay::DrawOutline(const QRect& outline) {
    if (outline == FOutline) return;
    // Only the lines change; a large parent is not repainted for them.
    auto lines = [](const QRect& r) {
        return r.isEmpty() ? QRegion() : QRegion(r) - QRegion(r.adjusted(1, 1, -1, -1));
    };
    update(lines(FOutline) + lines(outline));
    FOutline = outline;
}

void TOverlay::paintEvent(QPaintEvent*) {
    if (FOutline.isEmpty()) return;
    QPainter painter(this);
    // Inverting what lies below keeps the outline visible on any picture.
    painter.setCompositionMode(QPainter::RasterOp_NotDestination);
    painter.setPen(Qt::black);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(FOutline.adjusted(0, 0, -1, -1));
}

TStretchHandle::TStretchHandle(QWidget* parent) : QWidget(parent) {
    resize(24, 24);
    setEnabled(false);
    setVisible(false);
    // Zones follow the mouse without a button held.
    setMouseTracking(true);
    // Only the squares are painted: the wrapped control shows through.
    setAttribute(Qt::WA_NoSystemBackground);
    FOverlay = new TOverlay(parent);
}

TStretchHandle::~TStretchHandle() {
    delete FOverlay; // nullptr when freed with its parent already
}

void TStretchHandle::SetColor(COLORREF colour) {
    FColor = colour;
    update();
}

void TStretchHandle::Attach(QWidget* control) {
    if (!control || control->isWindow()) throw EControlInvalid(InvalidAttachText);
    Detach();
    QWidget* parent = control->parentWidget();
    FControl = control;
    if (parentWidget() != parent) setParent(parent);
    setGeometry(control->x() - 2, control->y() - 2, control->width() + 5, control->height() + 5);
    setEnabled(true);
    show();
    raise();
    if (!FOverlay) FOverlay = new TOverlay(parent);
    if (FOverlay->parentWidget() != parent) FOverlay->setParent(parent);
    FOverlay->setGeometry(parent->rect());
    FOverlay->ForgetOutline();
    FOverlay->setToolTip(toolTip());
    FOverlay->setStatusTip(statusTip());
    FOverlay->show();
    FOverlay->raise();
    // The overlay keeps covering a parent that grows or shrinks.
    parent->installEventFilter(this);
}

void TStretchHandle::Detach() {
    if (FControl && parentWidget()) parentWidget()->removeEventFilter(this);
    FControl = nullptr;
    FDragging = false;
    setEnabled(false);
    hide();
    if (FOverlay) {
        FOverlay->ForgetOutline();
        FOverlay->hide();
    }
}

void TStretchHandle::SetBounds(int left, int top, int width, int height) {
    if (FControl)
        FControl->setGeometry(left + 2, top + 2, std::max(0, width - 5), std::max(0, height - 5));
    setGeometry(left, top, width, height);
}

void TStretchHandle::SetHint(const QString& hint) {
    setToolTip(hint);
    setStatusTip(hint);
    if (FOverlay) {
        FOverlay->setToolTip(hint);
        FOverlay->setStatusTip(hint);
    }
}

int TStretchHandle::ZoneAt(QPoint p, const QRect& client) {
    const int L = client.left(), T = client.top();
    const int R = L + client.width(), B = T + client.height();
    auto near = [](int a, int b) { return std::abs(a - b) < 5; };
    const bool midAcross = std::abs(p.x() - (R - L) / 2) < 3;
    const bool midDown = std::abs(p.y() - (B - T) / 2) < 3;
    int zone = 0;
    if (near(p.x(), L) && near(p.y(), T)) zone = 1;
    if (near(p.x(), R) && near(p.y(), B)) zone = 4;
    if (near(p.x(), R) && near(p.y(), T)) zone = 2;
    if (near(p.x(), L) && near(p.y(), B)) zone = 3;
    if (midAcross && near(p.y(), T)) zone = 5;
    if (midAcross && near(p.y(), B)) zone = 7;
    if (midDown && near(p.x(), L)) zone = 6;
    if (midDown && near(p.x(), R)) zone = 8;
    return zone;
}

QRect TStretchHandle::DraggedBounds(const QRect& b, int zone, int dx, int dy) {
    int left = b.x(), top = b.y(), width = b.width(), height = b.height();
    switch (zone) {
    case 1:
        left += dx, top += dy, width -= dx, height -= dy;
        break;
    case 2:
        top += dy, width += dx, height -= dy;
        break;
    case 3:
        left += dx, width -= dx, height += dy;
        break;
    case 4:
        width += dx, height += dy;
        break;
    case 5:
        top += dy, height -= dy;
        break;
    case 6:
        left += dx, width -= dx;
        break;
    case 7:
        height += dy;
        break;
    case 8:
        width += dx;
        break;
    default:
        left += dx, top += dy;
        break;
    }
    return QRect(left, top, std::max(width, HandleSize), std::max(height, HandleSize));
}

QPoint TStretchHandle::LimitPoint(QPoint p) const {
    const QWidget* parent = parentWidget();
    if (!parent) return p;
    return QPoint(std::clamp(p.x(), -x(), parent->width() - x()),
                  std::clamp(p.y(), -y(), parent->height() - y()));
}

QRect TStretchHandle::BoundsFor(QPoint p) const {
    const QPoint limited = LimitPoint(p);
    return DraggedBounds(geometry(), FZone, limited.x() - FDragStart.x(),
                         limited.y() - FDragStart.y());
}

void TStretchHandle::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QColor colour = ToQColor(FColor);
    const int R = width() - 1, B = height() - 1, m = R / 2, n = B / 2;
    // (left, top) to (right, bottom), right and bottom excluded.
    auto square = [&](int l, int t, int r, int b) {
        painter.fillRect(QRect(l, t, r - l, b - t), colour);
    };
    square(0, 0, 5, 5);
    square(R - 5, 0, R, 5);
    square(R - 5, B - 5, R, B);
    square(0, B - 5, 5, B);
    square(m - 2, 0, m + 3, 5);
    square(m - 2, B - 5, m + 3, B);
    square(0, n - 2, 5, n + 3);
    square(R - 5, n - 2, R, n + 3);
}

void TStretchHandle::mousePressEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    if (event->button() == Qt::LeftButton) {
        FDragStart = p;
        FDragging = true;
    }
    if (OnMouseDown) OnMouseDown(event->button(), p);
}

void TStretchHandle::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    if (!FDragging) {
        FZone = ZoneAt(p, rect());
        switch (FZone) {
        case 1:
        case 4:
            setCursor(Qt::SizeFDiagCursor);
            break;
        case 2:
        case 3:
            setCursor(Qt::SizeBDiagCursor);
            break;
        case 5:
        case 7:
            setCursor(Qt::SizeVerCursor);
            break;
        case 6:
        case 8:
            setCursor(Qt::SizeHorCursor);
            break;
        default:
            setCursor(DragCursor);
            break;
        }
        return;
    }
    const QRect b = BoundsFor(p);
    if (FOverlay) FOverlay->DrawOutline(QRect(b.x() + 2, b.y() + 2, b.width() - 5, b.height() - 5));
}

void TStretchHandle::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    if (FDragging && event->button() == Qt::LeftButton) {
        const QRect b = BoundsFor(p);
        if (b.topLeft() != pos()) update();
        SetBounds(b.x(), b.y(), b.width(), b.height());
        FDragging = false;
        if (FOverlay) FOverlay->ClearOutline();
    }
    if (OnMouseUp) OnMouseUp(event->button(), p);
}

void TStretchHandle::mouseDoubleClickEvent(QMouseEvent* event) {
    // The second press of a double click is still a press.
    mousePressEvent(event);
    if (OnDblClick) OnDblClick();
}

bool TStretchHandle::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Resize && FOverlay && watched == FOverlay->parentWidget())
        FOverlay->setGeometry(FOverlay->parentWidget()->rect());
    return QWidget::eventFilter(watched, event);
}

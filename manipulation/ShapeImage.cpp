#include "manipulation/ShapeImage.h"

#include <QPainter>
#include <QPolygonF>
#include <algorithm>
#include <cmath>
#include <numbers>

ShapeImage::ShapeImage(QWidget* parent) : QWidget(parent) {
    hide();
    Redraw();
}

void ShapeImage::SetShape(TMyShapeType shape) {
    if (shape == shStar && FShape != shStar) {
        if (FVectorP == 0) FVectorP = 50;
        FVectors = std::max(FVectors, 10);
        FAngle = 90;
    }
    FShape = shape;
    Redraw();
}

void ShapeImage::SetEdgeSize(int size) {
    if (size < -32768 || size > 32767) return;
    FEdgeSize = size;
    Redraw();
}

void ShapeImage::SetVectorP(int value) {
    if (value < 0 || value > 100) return;
    FVectorP = value;
    Redraw();
}

void ShapeImage::SetVectors(int value) {
    if (value < 3 || value > 100) return;
    FVectors = value;
    Redraw();
}

void ShapeImage::SetAngle(int value) {
    if (value < 0 || value > 359) return;
    FAngle = value;
    Redraw();
}

void ShapeImage::SetSize(int width, int height) {
    resize(std::max(width, 1), std::max(height, 1));
    Redraw();
}

void ShapeImage::Redraw() {
    FPicture = QImage(size(), QImage::Format_RGB32);
    FPicture.fill(Qt::black);
    QPainter p(&FPicture);
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::white);
    const double inset = FEdgeSize + 0.5;
    const QRectF r = QRectF(rect()).adjusted(inset, inset, -inset, -inset);
    if (r.width() <= 0 || r.height() <= 0) return;
    const double side = std::min(r.width(), r.height());
    const QRectF square(r.center().x() - side / 2, r.center().y() - side / 2, side, side);
    const double corner = side / 4;
    const QPointF c = r.center();
    switch (FShape) {
    case shNone:
        break;
    case shRectangle:
        p.drawRect(r);
        break;
    case shSquare:
        p.drawRect(square);
        break;
    case shRoundRect:
        p.drawRoundedRect(r, corner / 2, corner / 2);
        break;
    case shRoundSquare:
        p.drawRoundedRect(square, corner / 2, corner / 2);
        break;
    case shEllipse:
        p.drawEllipse(r);
        break;
    case shCircle:
        p.drawEllipse(square);
        break;
    case shTriangleLeft:
        p.drawPolygon(QPolygonF{{r.left(), c.y()}, r.topRight(), r.bottomRight()});
        break;
    case shTriangleRight:
        p.drawPolygon(QPolygonF{{r.right(), c.y()}, r.topLeft(), r.bottomLeft()});
        break;
    case shTriangleUp:
        p.drawPolygon(QPolygonF{{c.x(), r.top()}, r.bottomLeft(), r.bottomRight()});
        break;
    case shTriangleDown:
        p.drawPolygon(QPolygonF{{c.x(), r.bottom()}, r.topLeft(), r.topRight()});
        break;
    case shDiamond:
        p.drawPolygon(QPolygonF{
            {c.x(), r.top()}, {r.right(), c.y()}, {c.x(), r.bottom()}, {r.left(), c.y()}});
        break;
    case shStar:
    case shPolyGon: {
        const double radius = side / 2;
        QPolygonF points;
        for (int i = 0; i < FVectors; ++i) {
            const double degrees = 360.0 / FVectors * i - FAngle;
            const double a = degrees * std::numbers::pi / 180;
            const double rr = i % 2 == 0 ? radius : radius * (100 - FVectorP) / 100.0;
            points << QPointF(std::round(c.x() + rr * std::cos(a)),
                              std::round(c.y() + rr * std::sin(a)));
        }
        p.drawPolygon(points);
        break;
    }
    }
}

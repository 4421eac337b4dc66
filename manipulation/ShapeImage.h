#pragma once
// The mask "Borders" merges over the picture: black outside, the shape
// white inside with a black outline, redrawn at every change. Setters
// ignore values outside their ranges.
#include <QImage>
#include <QWidget>

enum TMyShapeType {
    shNone,
    shRectangle,
    shSquare,
    shRoundRect,
    shRoundSquare,
    shEllipse,
    shCircle,
    shTriangleLeft,
    shTriangleRight,
    shTriangleUp,
    shTriangleDown,
    shDiamond,
    shStar,
    shPolyGon
};

class ShapeImage : public QWidget {
    Q_OBJECT
  public:
    explicit ShapeImage(QWidget* parent = nullptr);

    TMyShapeType Shape() const { return FShape; }
    void SetShape(TMyShapeType shape);
    int EdgeSize() const { return FEdgeSize; }
    void SetEdgeSize(int size);
    int VectorP() const { return FVectorP; }
    void SetVectorP(int value); // 0..100
    int Vectors() const { return FVectors; }
    void SetVectors(int value); // 3..100
    int Angle() const { return FAngle; }
    void SetAngle(int value); // 0..359
    // Sizes the mask (and redraws it).
    void SetSize(int width, int height);

    const QImage& Picture() const { return FPicture; }

  private:
    void Redraw();

    TMyShapeType FShape = shNone;
    int FEdgeSize = 0;
    int FVectorP = 50;
    int FVectors = 10;
    int FAngle = 90;
    QImage FPicture;
};

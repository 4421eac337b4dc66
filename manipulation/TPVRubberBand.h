#pragma once
// The effects dialog's selection: a rectangle on a control, started by a
// press where no band is yet, then grabbed at an edge or corner (within a
// tolerance of 3 pixels) or inside to move it. Dragged edges never reach
// the opposite edge. Every change reports left, top, right, bottom in the
// control's pixels. The band is drawn inverted, as an outline.
#include <QObject>
#include <QPoint>
#include <QRect>
#include <functional>

class QMouseEvent;
class QPainter;
class QWidget;

class TPVRubberBand : public QObject {
    Q_OBJECT
  public:
    // Drag kinds: 0 none, 1 top, 2 bottom, 3 left, 4 right, 5 top-left,
    // 6 top-right, 7 bottom-left, 8 bottom-right, 9 move.
    enum Kind { None, Top, Bottom, Left, Right, TopLeft, TopRight, BottomLeft, BottomRight, Move };

    TPVRubberBand(QWidget* control, QObject* owner,
                  std::function<void(int left, int top, int right, int bottom)> onChange);

    static constexpr int Tolerance = 3;

    // Where a point lies on the band; None also when no band exists.
    Kind Classify(QPoint p) const;
    void MouseDown(QMouseEvent* event);
    void MouseMove(QMouseEvent* event);
    void MouseUp(QMouseEvent* event);
    // Places the band (control pixels, right and bottom inclusive) and reports it.
    void SetBand(const QRect& band);
    const QRect& Band() const { return FBand; }
    bool NoBandYet() const { return FNoBand; }
    // Draws the outline; the control calls it after each paint.
    void Draw(QPainter& painter) const;
    bool Visible = true;

  private:
    void Report();

    QWidget* FControl;
    std::function<void(int, int, int, int)> FOnChange;
    QRect FBand;
    bool FNoBand = true;
    bool FDown = false;
    Kind FKind = None;
    QPoint FLast;
};

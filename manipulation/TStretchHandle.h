#pragma once
// Sizing handles: eight small squares around another control that let the
// user move and resize it with the mouse. The handles take the control's
// parent as their own and lie 2 pixels outside it (bounds = the control's
// grown by 2 on the left and top and by 3 on the right and bottom). While a
// drag runs an overlay over the whole parent shows where the control will
// go; releasing the button moves it there.
//
// Once attached, the handles and their overlay are children of that parent
// and are freed with it unless freed first: hold them through a QPointer.
#include "platform/WinTypes.h"

#include <QCursor>
#include <QPointer>
#include <QRect>
#include <QWidget>
#include <functional>
#include <stdexcept>

// Raised by an attach the handles cannot do.
class EControlInvalid : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Covers the whole parent of the attached control without taking mouse
// input, and draws the outline of a drag in progress inverted over what is
// below it.
class TOverlay : public QWidget {
    Q_OBJECT
  public:
    explicit TOverlay(QWidget* parent = nullptr);

    // The outline drawn now, in the parent's pixels; all zero = none.
    QRect Outline() const { return FOutline; }
    // Takes the previous outline away and draws this one.
    void DrawOutline(const QRect& outline);
    // Takes the outline away.
    void ClearOutline() { DrawOutline(QRect()); }
    // Forgets the outline without repainting (the overlay moved elsewhere).
    void ForgetOutline() { FOutline = QRect(); }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QRect FOutline;
};

class TStretchHandle : public QWidget {
    Q_OBJECT
  public:
    static constexpr int HandleSize = 5; // the squares, and the smallest box
    static const char* const InvalidAttachText;

    explicit TStretchHandle(QWidget* parent = nullptr);
    ~TStretchHandle() override;

    // The colour of the squares (black at creation).
    COLORREF Color() const { return FColor; }
    void SetColor(COLORREF colour);
    bool Attached() const { return FControl != nullptr; }
    QWidget* AttachedControl() const { return FControl; }
    // The cursor over the body (zone 0).
    QCursor DragCursor{Qt::DragMoveCursor};

    // Wraps the control. A window (a form) or no control raises
    // EControlInvalid with InvalidAttachText and changes nothing.
    void Attach(QWidget* control);
    void Detach();
    // The attached control takes (left + 2, top + 2, width - 5, height - 5),
    // then the handles take the bounds given; visibility is kept.
    void SetBounds(int left, int top, int width, int height);
    // The hint of the handles and of their overlay.
    void SetHint(const QString& hint);

    // 0 = the body, 1..8 = top-left, top-right, bottom-left, bottom-right,
    // top, left, bottom, right (the zone table's order of tests).
    int Zone() const { return FZone; }
    bool Dragging() const { return FDragging; }
    TOverlay* Overlay() const { return FOverlay; }
    // The zone of a point of a client rectangle; a later match in the
    // table wins, so small boxes still have one answer.
    static int ZoneAt(QPoint p, const QRect& client);
    // The bounds a drag of (dx, dy) in a zone gives, never under 5 x 5.
    static QRect DraggedBounds(const QRect& bounds, int zone, int dx, int dy);

    std::function<void(Qt::MouseButton, QPoint)> OnMouseDown;
    std::function<void(Qt::MouseButton, QPoint)> OnMouseUp;
    std::function<void()> OnDblClick;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // The mouse point moved back inside the parent's client area.
    QPoint LimitPoint(QPoint p) const;
    QRect BoundsFor(QPoint p) const;

    QPointer<QWidget> FControl;
    QPointer<TOverlay> FOverlay;
    COLORREF FColor = 0;
    QPoint FDragStart;
    bool FDragging = false;
    int FZone = 0;
};

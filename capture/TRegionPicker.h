#pragma once
// Picks a region of the screen: a modal window over the whole screen shows
// what is on it and the user drags out a rectangle; the release accepts
// it, Escape cancels. Region() is in global screen coordinates.
#include <QDialog>
#include <QPixmap>
#include <QRect>

class TRegionPicker : public QDialog {
    Q_OBJECT
  public:
    explicit TRegionPicker(QWidget* parent = nullptr);
    QRect Region() const { return FRegion; }
    // Regions smaller than this in either direction are not accepted.
    static constexpr int MinSide = 8;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    QPixmap FScreen;
    QPoint FAnchor;
    bool FDragging = false;
    QRect FRegion;
};

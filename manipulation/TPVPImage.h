#pragma once
// The effects dialog's picture control: draws its display DIB stretched over
// the whole control (or at natural size with Stretch off), then lets OnPaint
// draw over it (the rubber band), then the overlay DIB stretched into its
// rectangle when Overlay is on. A drawing surface, when set, is shown
// instead of the DIB (a transition playing on the preview).
#include "imaging/animated/PVTDib.h"

#include <QRect>
#include <QWidget>
#include <functional>

class QPainter;

class TPVPImage : public QWidget {
    Q_OBJECT
  public:
    explicit TPVPImage(QWidget* parent = nullptr);

    // The display DIB. With ownsBlock the control frees the block when the
    // DIB is replaced; without, the caller keeps it (the Color Palette page
    // shows the working DIB itself).
    void SetDib(HGLOBAL block, bool ownsBlock);
    void ClearDib() { SetDib(0, true); }
    PVDibCls::PVTDib& Dib() { return FDib; }
    HGLOBAL DibBlock() const;
    // The palette-edit DIB: never owned (it is the working DIB).
    void SetEditDib(HGLOBAL block);
    PVDibCls::PVTDib& EditDib() { return FEditDib; }
    // The overlay: the control shows a copy of the block.
    void SetOverlay(HGLOBAL block);
    QRect OverlayRect;
    bool Overlay = false;
    bool Stretch = true;
    // While set, painted instead of the DIB (the surface's size is the control's).
    uintptr_t Surface = 0;

    std::function<void(QPainter&)> OnPaint;
    std::function<void(QMouseEvent*)> OnMouseDown, OnMouseMove, OnMouseUp;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    PVDibCls::PVTDib FDib;
    PVDibCls::PVTDib FEditDib;
    PVDibCls::PVTDib FOverlay;
};

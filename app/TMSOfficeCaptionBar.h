#pragma once
// The widgets the caption painter puts on its frameless window: the title bar
// (caption, buttons, drag to move, double-click to maximise) and the three
// frame edges (left, right, bottom) that resize a sizeable window.
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QWidget>

class QToolButton;
class TMSOfficeCaption;

class TMSOfficeCaptionBar : public QWidget {
    Q_OBJECT
  public:
    TMSOfficeCaptionBar(TMSOfficeCaption& painter, QWidget* owner);

    // Shows, places and enables the buttons the border style and icons ask
    // for; the maximise button shows the restore glyph on a maximised window.
    void SyncButtons();

    // The title-bar buttons (hidden when the style has none), also found by
    // their object names "CloseButton", "MinimizeButton", "MaximizeButton",
    // "HelpButton".
    QToolButton* CloseButton() const { return FClose; }
    QToolButton* MinimizeButton() const { return FMinimize; }
    QToolButton* MaximizeButton() const { return FMaximize; }
    QToolButton* HelpButton() const { return FHelp; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

  private:
    QToolButton* MakeButton(const char* name, int standardPixmap);
    void ToggleMaximized();

    QPointer<TMSOfficeCaption> FPainter;
    QToolButton* FClose = nullptr;
    QToolButton* FMinimize = nullptr;
    QToolButton* FMaximize = nullptr;
    QToolButton* FHelp = nullptr;
    // Moving by hand where the platform cannot move the window itself:
    // the grab point relative to the window's top-left corner.
    bool FDragging = false;
    QPoint FGrabOffset;
};

class TMSOfficeCaptionEdge : public QWidget {
    Q_OBJECT
  public:
    enum Side { Left, Right, Bottom };
    TMSOfficeCaptionEdge(TMSOfficeCaption& painter, QWidget* owner, Side side);
    Side EdgeSide() const { return FSide; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    bool Sizeable() const;
    // Which window edges a press at pos drags (bottom corners take two).
    Qt::Edges EdgesAt(const QPoint& pos) const;

    QPointer<TMSOfficeCaption> FPainter;
    Side FSide;
    Qt::Edges FResizing;
    QPoint FPressGlobal;
    QRect FPressGeometry;
};

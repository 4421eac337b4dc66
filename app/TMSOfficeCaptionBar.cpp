#include "app/TMSOfficeCaptionBar.h"
#include "app/TMSOfficeCaption.h"
#include "imaging/common/ColorRef.h"
#include "platform/Gdi.h"
#include "platform/Metrics.h"
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QToolButton>
#include <QWhatsThis>
#include <QWindow>
#include <algorithm>

namespace {

QColor SysQColor(int32_t index) {
    return ToQColor(GetSysColor(index));
}

// The frame's face; callers add the dark outer line.
void PaintFrameStrip(QPainter& painter, const QRect& rect) {
    painter.fillRect(rect, SysQColor(COLOR_BTNFACE));
}

} // namespace

TMSOfficeCaptionBar::TMSOfficeCaptionBar(TMSOfficeCaption& painter, QWidget* owner)
    : QWidget(owner), FPainter(&painter) {
    setObjectName("MSOfficeCaptionBar");
    FClose = MakeButton("CloseButton", QStyle::SP_TitleBarCloseButton);
    FMinimize = MakeButton("MinimizeButton", QStyle::SP_TitleBarMinButton);
    FMaximize = MakeButton("MaximizeButton", QStyle::SP_TitleBarMaxButton);
    FHelp = MakeButton("HelpButton", QStyle::SP_TitleBarContextHelpButton);
    connect(FClose, &QToolButton::clicked, this, [this] {
        if (FPainter && FPainter->Owner()) FPainter->Owner()->close();
    });
    connect(FMinimize, &QToolButton::clicked, this, [this] {
        if (FPainter && FPainter->Owner()) FPainter->Owner()->showMinimized();
    });
    connect(FMaximize, &QToolButton::clicked, this, [this] { ToggleMaximized(); });
    connect(FHelp, &QToolButton::clicked, this, [] { QWhatsThis::enterWhatsThisMode(); });
}

QToolButton* TMSOfficeCaptionBar::MakeButton(const char* name, int standardPixmap) {
    auto* button = new QToolButton(this);
    button->setObjectName(name);
    button->setFocusPolicy(Qt::NoFocus);
    button->setAutoRaise(false);
    button->setIcon(style()->standardIcon(QStyle::StandardPixmap(standardPixmap)));
    button->hide();
    return button;
}

void TMSOfficeCaptionBar::SyncButtons() {
    if (!FPainter || !FPainter->Owner()) return;
    const TFormBorderStyle border = FPainter->BorderStyle();
    const TBorderIcons icons = FPainter->BorderIcons();
    const bool tool = border == bsToolWindow || border == bsSizeToolWin;
    const bool systemMenu = icons & biSystemMenu;
    const int fx = FPainter->FrameWidth(), fy = FPainter->FrameHeight();
    const int captionH = FPainter->CaptionHeight();
    // Buttons sit 2 pixels inside the caption; the close button keeps a
    // 2-pixel gap from its neighbours, minimise and maximise touch.
    const int bw = GetSystemMetrics(tool ? SM_CXSMSIZE : SM_CXSIZE) - 2;
    const int bh = std::max(1, captionH - 4);
    const int y = fy + 2;
    int x = width() - fx - 2 - bw;
    auto place = [&](QToolButton* button, bool shown) {
        button->setVisible(shown);
        if (!shown) return;
        button->setGeometry(x, y, bw, bh);
        button->setIconSize(QSize(bw - 4, bh - 4));
    };
    place(FClose, systemMenu);
    if (systemMenu) x -= bw + 2;
    const bool minMax = !tool && border != bsDialog && (icons & (biMinimize | biMaximize));
    place(FMaximize, minMax);
    if (minMax) {
        x -= bw;
        // Windows show both buttons as soon as one is asked for; the other is
        // disabled.
        FMaximize->setEnabled(icons & biMaximize);
        const bool maximized = FPainter->Owner()->isMaximized();
        FMaximize->setIcon(style()->standardIcon(maximized ? QStyle::SP_TitleBarNormalButton
                                                           : QStyle::SP_TitleBarMaxButton));
    }
    place(FMinimize, minMax);
    if (minMax) FMinimize->setEnabled(icons & biMinimize);
    place(FHelp, border == bsDialog && (icons & biHelp) && systemMenu);
}

void TMSOfficeCaptionBar::resizeEvent(QResizeEvent*) {
    SyncButtons();
}

void TMSOfficeCaptionBar::paintEvent(QPaintEvent*) {
    if (!FPainter) return;
    QPainter painter(this);
    PaintFrameStrip(painter, rect());
    painter.setPen(SysQColor(COLOR_INACTIVECAPTION).darker(150));
    painter.drawLine(0, 0, width() - 1, 0);
    painter.drawLine(0, 0, 0, height() - 1);
    painter.drawLine(width() - 1, 0, width() - 1, height() - 1);
    const bool active = FPainter->IsActive();
    // Behind the buttons: the caption's end colour, so the gradient runs on.
    const QRect caption = FPainter->CaptionRect();
    const int fx = FPainter->FrameWidth();
    const QRect buttons(caption.left() + caption.width(), caption.top(),
                        width() - fx - caption.left() - caption.width(), caption.height());
    if (buttons.width() > 0)
        painter.fillRect(buttons, SysQColor(active ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION));
    FPainter->PaintCaption(painter, active);
}

void TMSOfficeCaptionBar::mousePressEvent(QMouseEvent* event) {
    QWidget* owner = FPainter ? FPainter->Owner() : nullptr;
    if (!owner || event->button() != Qt::LeftButton || owner->isMaximized()) return;
    QWindow* window = owner->windowHandle();
    if (window && window->startSystemMove()) return;
    FDragging = true;
    FGrabOffset = event->globalPosition().toPoint() - owner->pos();
}

void TMSOfficeCaptionBar::mouseMoveEvent(QMouseEvent* event) {
    QWidget* owner = FPainter ? FPainter->Owner() : nullptr;
    if (!FDragging || !owner) return;
    owner->move(event->globalPosition().toPoint() - FGrabOffset);
}

void TMSOfficeCaptionBar::mouseReleaseEvent(QMouseEvent*) {
    FDragging = false;
}

void TMSOfficeCaptionBar::mouseDoubleClickEvent(QMouseEvent* event) {
    FDragging = false;
    if (!FPainter || event->button() != Qt::LeftButton) return;
    if (FPainter->BorderStyle() == bsSizeable && (FPainter->BorderIcons() & biMaximize))
        ToggleMaximized();
}

void TMSOfficeCaptionBar::ToggleMaximized() {
    QWidget* owner = FPainter ? FPainter->Owner() : nullptr;
    if (!owner) return;
    if (owner->isMaximized())
        owner->showNormal();
    else
        owner->showMaximized();
}

TMSOfficeCaptionEdge::TMSOfficeCaptionEdge(TMSOfficeCaption& painter, QWidget* owner, Side side)
    : QWidget(owner), FPainter(&painter), FSide(side) {
    setObjectName(side == Left    ? "MSOfficeCaptionLeftEdge"
                  : side == Right ? "MSOfficeCaptionRightEdge"
                                  : "MSOfficeCaptionBottomEdge");
    setMouseTracking(true);
}

bool TMSOfficeCaptionEdge::Sizeable() const {
    return FPainter &&
           (FPainter->BorderStyle() == bsSizeable || FPainter->BorderStyle() == bsSizeToolWin);
}

Qt::Edges TMSOfficeCaptionEdge::EdgesAt(const QPoint& pos) const {
    switch (FSide) {
    case Left:
        return Qt::LeftEdge;
    case Right:
        return Qt::RightEdge;
    case Bottom:
        break;
    }
    // The ends of the bottom edge are the corners.
    const int corner = GetSystemMetrics(SM_CXSIZE);
    if (pos.x() < corner) return Qt::BottomEdge | Qt::LeftEdge;
    if (pos.x() >= width() - corner) return Qt::BottomEdge | Qt::RightEdge;
    return Qt::BottomEdge;
}

void TMSOfficeCaptionEdge::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    PaintFrameStrip(painter, rect());
    painter.setPen(SysQColor(COLOR_INACTIVECAPTION).darker(150));
    if (FSide == Left) painter.drawLine(0, 0, 0, height() - 1);
    if (FSide == Right) painter.drawLine(width() - 1, 0, width() - 1, height() - 1);
    if (FSide == Bottom) {
        painter.drawLine(0, height() - 1, width() - 1, height() - 1);
        painter.drawLine(0, 0, 0, height() - 1);
        painter.drawLine(width() - 1, 0, width() - 1, height() - 1);
    }
}

void TMSOfficeCaptionEdge::mousePressEvent(QMouseEvent* event) {
    QWidget* owner = FPainter ? FPainter->Owner() : nullptr;
    if (!owner || !Sizeable() || event->button() != Qt::LeftButton || owner->isMaximized()) return;
    const Qt::Edges edges = EdgesAt(event->position().toPoint());
    QWindow* window = owner->windowHandle();
    if (window && window->startSystemResize(edges)) return;
    FResizing = edges;
    FPressGlobal = event->globalPosition().toPoint();
    FPressGeometry = owner->geometry();
}

void TMSOfficeCaptionEdge::mouseMoveEvent(QMouseEvent* event) {
    if (!Sizeable()) {
        unsetCursor();
        return;
    }
    if (!FResizing) {
        const Qt::Edges edges = EdgesAt(event->position().toPoint());
        setCursor(edges == (Qt::BottomEdge | Qt::LeftEdge)    ? Qt::SizeBDiagCursor
                  : edges == (Qt::BottomEdge | Qt::RightEdge) ? Qt::SizeFDiagCursor
                  : edges == Qt::BottomEdge                   ? Qt::SizeVerCursor
                                                              : Qt::SizeHorCursor);
        return;
    }
    QWidget* owner = FPainter->Owner();
    if (!owner) return;
    const QPoint delta = event->globalPosition().toPoint() - FPressGlobal;
    // Never smaller than the frame, the caption and one button's room.
    const int minW = std::max(owner->minimumWidth(),
                              2 * FPainter->FrameWidth() + GetSystemMetrics(SM_CXSIZE) + 2);
    const int minH =
        std::max(owner->minimumHeight(), 2 * FPainter->FrameHeight() + FPainter->CaptionHeight());
    QRect g = FPressGeometry;
    if (FResizing & Qt::LeftEdge) g.setLeft(std::min(g.left() + delta.x(), g.right() + 1 - minW));
    if (FResizing & Qt::RightEdge) g.setWidth(std::max(minW, g.width() + delta.x()));
    if (FResizing & Qt::BottomEdge) g.setHeight(std::max(minH, g.height() + delta.y()));
    owner->setGeometry(g);
}

void TMSOfficeCaptionEdge::mouseReleaseEvent(QMouseEvent*) {
    FResizing = {};
}

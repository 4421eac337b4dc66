// Creation, properties and the view of the still-image component.
#include "imaging/still/TPMultiImage.h"

#include "imaging/common/CursorTable.h"
#include "imaging/common/WindowMessage.h"
#include "imaging/still/ScrollText.h"

#include <QFrame>
#include <QKeyEvent>
#include <QPixmap>
#include <QScrollBar>
#include <algorithm>

namespace {
// Clipboard messages a host may post (the standard window message numbers).
constexpr int WM_CUT = 0x0300;
constexpr int WM_COPY = 0x0301;
constexpr int WM_PASTE = 0x0302;

// The grab-hand cursor from the program's resources; Qt's open hand when the
// resource is missing, so a stripped build still shows a hand.
QCursor LoadGrabHandCursor() {
    const QPixmap hand(QStringLiteral(":/cursors/grabhand.xpm"));
    if (hand.isNull()) return QCursor(Qt::OpenHandCursor);
    return QCursor(hand, hand.width() / 2, hand.height() / 2);
}
} // namespace

TPMultiImage::TPMultiImage(QWidget* parent)
    : QWidget(parent), RotateBackColor(GetSysColor(COLOR_BTNFACE)),
      FColor(GetSysColor(COLOR_BTNFACE)), FScrollText(std::make_unique<ScrollTextState>()) {
    FVScroll = new QScrollBar(Qt::Vertical, this);
    FHScroll = new QScrollBar(Qt::Horizontal, this);
    FCorner = new QFrame(this);
    for (QWidget* child : {static_cast<QWidget*>(FVScroll), static_cast<QWidget*>(FHScroll),
                           static_cast<QWidget*>(FCorner)})
        child->setGeometry(0, 0, 0, 0);
    connect(FVScroll, &QScrollBar::valueChanged, this, [this] { ScrollBarMoved(); });
    connect(FHScroll, &QScrollBar::valueChanged, this, [this] { ScrollBarMoved(); });
    RegisterCursor(crGrabHand, LoadGrabHandCursor());
    setFocusPolicy(Qt::StrongFocus);
    resize(105, 105);
    FPicture.OnChange = [this] { PictureChanged(); };
}

TPMultiImage::~TPMultiImage() {
    // Members die after this body; nothing may call back into the widget then.
    FPicture.OnChange = nullptr;
}

void TPMultiImage::Loaded() {
    FLoaded = true;
    FCorner->setFrameShape(QFrame::NoFrame);
    FCorner->setAutoFillBackground(true);
    LayoutScrollBars();
}

void TPMultiImage::SetBounds(int left, int top, int width, int height) {
    // A hidden widget gets its resize event only when shown: re-lay now.
    setGeometry(left, top, std::max(0, width), std::max(0, height));
    if (FBorder) FBorder->setGeometry(rect());
    if (!FLoaded) return;
    if (FStretchRatio) ComputeFitFactor();
    LayoutScrollBars();
}

void TPMultiImage::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (FBorder) FBorder->setGeometry(rect());
    if (!FLoaded) return;
    if (FStretchRatio) ComputeFitFactor();
    LayoutScrollBars();
}

void TPMultiImage::showEvent(QShowEvent* event) {
    if (!FLoaded) Loaded();
    QWidget::showEvent(event);
}

void TPMultiImage::SetPicture(const TPicture& picture) {
    if (&picture != &FPicture) FPicture.Assign(picture);
}

void TPMultiImage::SetColor(COLORREF color) {
    FColor = color;
    update();
}

void TPMultiImage::SetAutoSize(bool on) {
    FAutoSize = on;
    if (on && FPicture.Width() > 0 && FPicture.Height() > 0)
        resize(FPicture.Width(), FPicture.Height());
}

void TPMultiImage::SetCenter(bool on) {
    FCenter = on;
    update();
    PostNotify();
}

void TPMultiImage::SetStretch(bool on) {
    if (on && FStretchRatio) SetStretchRatio(false);
    FStretch = on;
    LayoutScrollBars();
    update();
}

void TPMultiImage::SetStretchRatio(bool on) {
    if (on != FStretchRatio) {
        if (on) {
            FStretch = false;
            FStretchRatio = true;
            if (PictureHasBitmap()) {
                FSavedOrigin = ScrollOrigin;
                FSavedZoom = ZoomFactor;
                ScrollOrigin = QPoint(0, 0);
                ComputeFitFactor();
            }
        } else {
            FStretchRatio = false;
            ScrollOrigin = FSavedOrigin;
            ZoomFactor = FSavedZoom;
        }
        LayoutScrollBars();
        update();
    }
    PostNotify();
}

void TPMultiImage::SetTileWindow(bool on) {
    FTileWindow = on;
    update();
}

void TPMultiImage::SetScrolling(bool on) {
    FScrolling = on;
    LayoutScrollBars();
    FVScroll->setEnabled(on);
    FHScroll->setEnabled(on);
    update();
}

void TPMultiImage::SetShowScrollbars(bool on) {
    if (!on && FShowScrollbars && PictureHasBitmap() && ZoomFactor > 0) {
        // Without the bars the view grows by their width: pull the origin back
        // on an axis whose visible rest would now end short of the control.
        const double z = ZoomFactor;
        auto pullBack = [z](int& origin, int image, int control) {
            if (int(image * z) <= control) return;
            const double rest = (image - origin) * z;
            if (rest >= control) return;
            origin = std::max(0, origin - int((control - rest) / z) - 1);
        };
        int x = ScrollOrigin.x(), y = ScrollOrigin.y();
        pullBack(x, FPicture.Width(), width());
        pullBack(y, FPicture.Height(), height());
        ScrollOrigin = QPoint(x, y);
    }
    FShowScrollbars = on;
    LayoutScrollBars();
    update();
}

void TPMultiImage::SetScrollbarWidth(int width) {
    FScrollbarWidth = std::max(0, width);
    LayoutScrollBars();
    update();
}

void TPMultiImage::SetBorderStyle(TBorderStyle style) {
    // A control's border is thin or none; window styles count as none.
    style = style == bsSingle ? bsSingle : bsNone;
    FBorderStyle = style;
    if (style == bsSingle && !FBorder) {
        FBorder = new QFrame(this);
        FBorder->setFrameStyle(QFrame::Box | QFrame::Plain);
        FBorder->setLineWidth(1);
        FBorder->setAttribute(Qt::WA_TransparentForMouseEvents);
        FBorder->setGeometry(rect());
    }
    if (FBorder) {
        FBorder->setVisible(style == bsSingle);
        FBorder->raise();
    }
    update();
}

void TPMultiImage::SetBlitMode(TBlitMode mode) {
    FBlitMode = mode;
    update();
}

void TPMultiImage::SetText(const std::string& text) {
    FText = text;
    update();
}

void TPMultiImage::SetTextLeft(int x) {
    FTextLeft = x;
    update();
}

void TPMultiImage::SetTextTop(int y) {
    FTextTop = y;
    update();
}

void TPMultiImage::SetTextRotate(int degrees) {
    FTextRotate = degrees;
    update();
}

void TPMultiImage::SetTextShadow(bool on) {
    FTextShadow = on;
    update();
}

void TPMultiImage::SetTextShadowColor(COLORREF color) {
    FTextShadowColor = color;
    update();
}

void TPMultiImage::SetTextTransParent(bool on) {
    FTextTransParent = on;
    update();
}

void TPMultiImage::SetEditAnnotat(bool on) {
    FEditAnnotat = on;
    // Without an annotation library there is no band of its own to end.
    if (!on) update();
    PostNotify();
}

void TPMultiImage::SetJPegSaveQuality(int value) {
    FJPegSaveQuality = uint8_t(value >= 1 && value <= 100 ? value : 25);
}

void TPMultiImage::SetJPegSaveSmooth(int value) {
    FJPegSaveSmooth = uint8_t(value >= 1 && value <= 100 ? value : 5);
}

void TPMultiImage::PictureChanged() {
    const int w = FPicture.Width(), h = FPicture.Height();
    if (FAutoSize && w > 0 && h > 0) resize(w, h);
    // A bitmap covering the whole control paints every pixel itself.
    setAttribute(Qt::WA_OpaquePaintEvent,
                 FPicture.HasBitmapHandle() && w == width() && h == height());
    if (FLoading) {
        ZoomFactor = FSavedZoom = 1.0;
        ScrollOrigin = FSavedOrigin = QPoint(0, 0);
        if (FStretchRatio) ComputeFitFactor();
    }
    if (OnPictureChanged) OnPictureChanged(this);
    update();
}

void TPMultiImage::PostNotify() {
    PostMessage(NotifyWindow, WM_PV_NOTIFY, 0, intptr_t(this));
}

void TPMultiImage::PushUndoPicture() {
    if (PVUndo && PictureHasBitmap()) DllSP96::PushUndo(FPicture.Bitmap());
}

void TPMultiImage::ComputeFitFactor() {
    const int w = FPicture.Width(), h = FPicture.Height();
    if (!PictureHasBitmap() || w <= 0 || h <= 0 || width() <= 0 || height() <= 0) return;
    ZoomFactor = std::min(double(width()) / w, double(height()) / h);
}

void TPMultiImage::ResetView() {
    if (!FStretchRatio) ZoomFactor = FSavedZoom = 1.0;
    ScrollOrigin = FSavedOrigin = QPoint(0, 0);
    LayoutScrollBars();
    update();
}

void TPMultiImage::keyPressEvent(QKeyEvent* event) {
    const auto mods = event->modifiers() & ~Qt::KeypadModifier;
    const int key = event->key();
    if ((mods == Qt::ControlModifier && key == Qt::Key_C) ||
        (mods == Qt::ControlModifier && key == Qt::Key_Insert))
        CopyToClipboard();
    else if ((mods == Qt::ControlModifier && key == Qt::Key_X) ||
             (mods == Qt::ShiftModifier && key == Qt::Key_Delete))
        CutToClipboard();
    else if ((mods == Qt::ControlModifier && key == Qt::Key_V) ||
             (mods == Qt::ShiftModifier && key == Qt::Key_Insert))
        PasteFromClipboard();
    else
        return QWidget::keyPressEvent(event);
    event->accept();
}

bool TPMultiImage::event(QEvent* event) {
    if (event->type() >= QEvent::User && event->type() <= QEvent::MaxUser) {
        if (auto* message = dynamic_cast<TMessageEvent*>(event)) {
            switch (message->Message) {
            case WM_PV_SCROLLMESSAGE:
                StepScrollMessage();
                return true;
            case WM_PV_SCROLLCREDITS:
                StepScrollCredits();
                return true;
            case WM_CUT:
                CutToClipboard();
                return true;
            case WM_COPY:
                CopyToClipboard();
                return true;
            case WM_PASTE:
                PasteFromClipboard();
                return true;
            default:
                break;
            }
        }
    }
    return QWidget::event(event);
}

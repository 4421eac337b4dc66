// Construction, properties, drawing and scroll bars of the animated-image
// component; playback is in PVWebImagePlayback.cpp.
#include "imaging/animated/PVWebImage.h"

#include "imaging/common/DibImage.h"

#include <QFrame>
#include <QPaintEvent>
#include <QPainter>
#include <QRegion>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTimer>
#include <algorithm>
#include <cstdlib>

PVWebImage::PVWebImage(QWidget* parent)
    : QWidget(parent), FColor(GetSysColor(COLOR_BTNFACE)),
      FPngJpgBackGroundColor(GetSysColor(COLOR_BTNFACE)), FDelayTimer(new QTimer(this)),
      FVertScrollBar(new QScrollBar(Qt::Vertical, this)),
      FHorzScrollBar(new QScrollBar(Qt::Horizontal, this)), FCornerPanel(new QFrame(this)) {
    // The canvas covers every pixel, so Qt need not erase first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(105, 105);
    // Timer defaults: running, one second, so the first delay runs out a
    // second after creation.
    connect(FDelayTimer, &QTimer::timeout, this, [this] { DelayTimerTimer(); });
    FDelayTimer->setTimerType(Qt::PreciseTimer);
    FDelayTimer->start(1000);
    SetClock(nullptr);
    FCornerPanel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    for (QWidget* part :
         {static_cast<QWidget*>(FVertScrollBar), static_cast<QWidget*>(FHorzScrollBar),
          static_cast<QWidget*>(FCornerPanel)})
        part->setGeometry(0, 0, 0, 0);
    connect(FVertScrollBar, &QScrollBar::valueChanged, this, [this] { ScrollBarMoved(); });
    connect(FHorzScrollBar, &QScrollBar::valueChanged, this, [this] { ScrollBarMoved(); });
}

PVWebImage::~PVWebImage() {
    FDelayTimer->setInterval(1);
    FPlaying = -1;
    delete FDelayTimer;
    delete FCornerPanel;
    delete FHorzScrollBar;
    delete FVertScrollBar;
    // The model frees the picture on display, the frames and the comments.
}

void PVWebImage::SetAutoSize(bool value) {
    AutoSize = value;
    ApplyAutoSize();
    InvalidateView();
}

void PVWebImage::SetStretchPngJpg(bool value) {
    FStretchPngJpg = value;
    InvalidateView();
}

void PVWebImage::SetJPegSaveQuality(int value) {
    FJPegSaveQuality = uint8_t(value < 1 || value > 100 ? 25 : value);
}

void PVWebImage::SetJPegSaveSmooth(int value) {
    FJPegSaveSmooth = uint8_t(value < 1 || value > 100 ? 5 : value);
}

void PVWebImage::SetUseScrollBars(bool value) {
    FUseScrollBars = value;
    LayoutScrollBars();
    InvalidateView();
}

void PVWebImage::SetColor(COLORREF value) {
    FColor = value;
    if (!FCanvas.isNull()) FCanvas.fill(dibimage::ToQRgb(FColor));
    FShowAll = true;
    InvalidateView();
}

QSize PVWebImage::ImageSize() {
    if (GifMode && !Frames()->empty())
        return {Frames()->front()->ScreenWidth, Frames()->front()->ScreenHeight};
    return {CurrentDib()->Width(), std::abs(CurrentDib()->Height())};
}

void PVWebImage::Loaded() {
    FLoaded = true;
    FCornerPanel->setFrameStyle(QFrame::NoFrame);
    LayoutScrollBars();
}

void PVWebImage::ScrollTo(int x, int y) {
    FHorzScrollBar->setValue(x);
    FVertScrollBar->setValue(y);
}

void PVWebImage::ScrollBarMoved() {
    FScrollX = FHorzScrollBar->value();
    FScrollY = FVertScrollBar->value();
    InvalidateView();
}

// Both bars and the corner appear as soon as the picture exceeds the control
// in either direction; the bars cover the control's right and bottom edges.
void PVWebImage::LayoutScrollBars() {
    const int t = ScrollBarThickness;
    const int W = width(), H = height();
    const int w = CurrentDib()->Width(), h = std::abs(CurrentDib()->Height());
    if (!FUseScrollBars || !CurrentDib()->Dib() || (W >= w && H >= h)) {
        FVertScrollBar->resize(0, 0);
        FHorzScrollBar->resize(0, 0);
        FCornerPanel->resize(0, 0);
        return;
    }
    FVertScrollBar->setGeometry(W - t, 1, t, std::max(0, H - t - 1));
    FHorzScrollBar->setGeometry(1, H - t, std::max(0, W - t - 1), t);
    FCornerPanel->setGeometry(W - t, H - t, t, t);
    // The bars cover t columns and t rows of the control, so the ranges
    // count from the uncovered size: with w - W and h - H the last t columns
    // and the first t rows of a large picture could never be scrolled into view.
    const int horzMax = std::max(0, w - (W - t));
    const int vertMax = std::max(0, h - (H - t));
    {
        const QSignalBlocker quietH(FHorzScrollBar), quietV(FVertScrollBar);
        FHorzScrollBar->setRange(0, horzMax);
        FHorzScrollBar->setPageStep(std::max(1, W - t));
        FHorzScrollBar->setValue(horzMax > 0 ? std::min(FScrollX, horzMax) : 0);
        FVertScrollBar->setRange(0, vertMax);
        FVertScrollBar->setPageStep(std::max(1, H - t));
        FVertScrollBar->setValue(vertMax > 0 ? std::min(FScrollY, vertMax) : 0);
    }
    if (FHorzScrollBar->value() != FScrollX || FVertScrollBar->value() != FScrollY) {
        FScrollX = FHorzScrollBar->value();
        FScrollY = FVertScrollBar->value();
        InvalidateView();
    }
}

// The canvas covers no more than it must: the control for scaled drawing,
// the part of the animation's screen inside the control for GIF drawing (a
// 50-byte file may declare a screen of 65535 x 65535, and a host may size
// the control to it). Paint events fill the rest with the control's colour.
void PVWebImage::SizeCanvas(QSize need) {
    if (need == FCanvas.size()) return;
    FCanvas = need.isEmpty() ? QImage() : QImage(need, QImage::Format_RGB32);
    if (!FCanvas.isNull()) FCanvas.fill(dibimage::ToQRgb(FColor));
    FShowAll = true;
}

bool PVWebImage::Compose() {
    if (!PaintingEnabled || width() <= 0 || height() <= 0) {
        FComposed = false;
        return false;
    }
    FComposed = true;
    if (GifMode || !CurrentDib()->Dib()) {
        // An animation's screen stands even while its frame on display has
        // no picture.
        if (CurrentDib()->Dib() || (GifMode && !Frames()->empty())) ComposeGif();
    } else {
        SizeCanvas(size());
        ComposeScaled();
    }
    return true;
}

void PVWebImage::ComposeGif() {
    const TFrameList& frames = *Frames();
    if (GifMode && !frames.empty()) {
        const int index = DisplayedFrame >= 0 && size_t(DisplayedFrame) < frames.size()
                              ? DisplayedFrame
                              : int(frames.size()) - 1;
        FCompositor.ComposeTo(frames, index);
    } else {
        // A lone picture (a still GIF, or one set without frames) on a
        // screen of its own.
        FCompositor.ComposePicture(CurrentDib()->Dib(), ScreenWidth, ScreenHeight, DrawLeft,
                                   DrawTop, DisplayedTransparency ? DisplayedTransparentIndex : -1);
    }
    ShowComposition();
}

// Copies what changed of the logical screen into the canvas, transparent
// pixels in the control's colour.
void PVWebImage::ShowComposition() {
    PVWebImg::PVRect r = FCompositor.TakeDirty();
    // A screen of another size leaves old pixels outside the new one.
    const QSize screen(FCompositor.Width(), FCompositor.Height());
    SizeCanvas(size().boundedTo(screen));
    const bool all = FShowAll || screen != FShownScreen;
    FShownScreen = screen;
    if (all) {
        if (!FCanvas.isNull()) FCanvas.fill(dibimage::ToQRgb(FColor));
        r = {0, 0, FCompositor.Width(), FCompositor.Height()};
        FShowAll = false;
    }
    r.x1 = std::min(r.x1, FCanvas.width());
    r.y1 = std::min(r.y1, FCanvas.height());
    if (all)
        FChanged.reset();
    else
        FChanged = r.empty() ? QRect() : QRect(r.x0, r.y0, r.x1 - r.x0, r.y1 - r.y0);
    if (r.empty()) return;
    const QRgb colour = dibimage::ToQRgb(FColor);
    const int w = FCompositor.Width();
    for (int y = r.y0; y < r.y1; ++y) {
        const uint32_t* in = FCompositor.Pixels() + size_t(y) * size_t(w);
        auto* out = reinterpret_cast<QRgb*>(FCanvas.scanLine(y));
        for (int x = r.x0; x < r.x1; ++x)
            out[x] = in[x] ? in[x] : colour;
    }
}

void PVWebImage::FramesChanged() {
    FCompositor.Invalidate();
    FShowAll = true;
}

void PVWebImage::ComposeScaled() {
    const BITMAPINFOHEADER* dib = CurrentDib()->Dib();
    const int t = ScrollBarThickness;
    const int W = width(), H = height();
    const int w = CurrentDib()->Width(), h = std::abs(CurrentDib()->Height());
    QRect source(0, 0, w, h);
    QRect target = source;
    if (FStretchPngJpg) {
        target = QRect(0, 0, W, H);
    } else if (FUseScrollBars && (W < w || H < h)) {
        // Scrolled: the part not under the bars shows rows and columns from
        // the scroll position on (rows counted from the top; see the ranges
        // in LayoutScrollBars).
        const int shownW = std::min(w, W - t), shownH = std::min(h, H - t);
        source = QRect(FScrollX, FScrollY, shownW, shownH);
        target = QRect(0, 0, shownW, shownH);
    }
    FCanvas.fill(dibimage::ToQRgb(FColor));
    FShowAll = true; // the canvas no longer holds the logical screen
    dibimage::Stretch(FCanvas, target, dib, source);
    if (FUseScrollBars) {
        for (QWidget* part :
             {static_cast<QWidget*>(FVertScrollBar), static_cast<QWidget*>(FHorzScrollBar),
              static_cast<QWidget*>(FCornerPanel)})
            if (part->width() > 1) part->update();
    }
}

void PVWebImage::Paint() {
    ComposeAndShow(false);
}

// Composes, then repaints what changed: at once (during loads) or as an update.
void PVWebImage::ComposeAndShow(bool now) {
    FChanged.reset();
    if (!Compose() || (FChanged && FChanged->isEmpty())) return;
    const QRect area = FChanged ? *FChanged : rect();
    if (now)
        repaint(area);
    else
        update(area);
}

void PVWebImage::paintEvent(QPaintEvent* event) {
    if (!FComposed) Compose();
    QPainter painter(this);
    const QRect area = event->rect();
    const QRect shown = area & FCanvas.rect();
    if (!shown.isEmpty()) painter.drawImage(shown.topLeft(), FCanvas, shown);
    for (const QRect& rest : QRegion(area) - QRegion(shown))
        painter.fillRect(rest, ToQColor(FColor));
}

void PVWebImage::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (FLoaded) LayoutScrollBars();
    FComposed = false;
}

void PVWebImage::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!FLoaded) Loaded();
}

void PVWebImage::InvalidateView() {
    FComposed = false;
    update();
}

void PVWebImage::ResetViewForLoad() {
    FScrollX = 0;
    FScrollY = 0;
    // A new animation builds up on an empty control, not over the last one.
    if (!FCanvas.isNull()) FCanvas.fill(dibimage::ToQRgb(FColor));
    FShowAll = true;
    LayoutScrollBars();
    InvalidateView();
}

void PVWebImage::ApplyAutoSize() {
    if (AutoSize && ScreenWidth != 0 && ScreenHeight != 0)
        setGeometry(x(), y(), ScreenWidth, ScreenHeight);
}

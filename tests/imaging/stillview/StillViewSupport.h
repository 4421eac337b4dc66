#pragma once
// Shared fixtures of the still-image component's view tests: pictures whose
// pixels name their own coordinates, a ready control, mouse input and grabs.
#include "WidgetSupport.h"
#include "imaging/still/TPMultiImage.h"

#include <QFrame>
#include <QMouseEvent>
#include <QScrollBar>
#include <memory>

namespace stillview {

// Pixel (x, y) is RGB(x, y, 200), so a grabbed pixel tells which source
// pixel landed there. Sides up to 256.
inline QImage CoordinateImage(int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, qRgb(x, y, 200));
    return image;
}

inline QRgb Source(int x, int y) {
    return qRgb(x, y, 200);
}

constexpr COLORREF kBack = RGB(10, 250, 20);
inline QRgb BackPixel() {
    return qRgb(10, 250, 20);
}

// A loaded control of the given size showing `image` (none when null).
inline std::unique_ptr<TPMultiImage> MakeView(int w, int h, const QImage& image) {
    testsupport::widgetApp();
    auto view = std::make_unique<TPMultiImage>();
    view->resize(w, h);
    view->Loaded();
    view->SetColor(kBack);
    if (!image.isNull()) view->Picture().AssignImage(image);
    return view;
}

inline QImage Grab(QWidget& w) {
    return w.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

inline void Mouse(QWidget& w, QEvent::Type type, QPoint p, Qt::MouseButton button,
                  Qt::KeyboardModifiers mods = Qt::NoModifier) {
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton
                                  : type == QEvent::MouseMove        ? Qt::MouseButtons(button)
                                                                     : button;
    QMouseEvent event(type, QPointF(p), w.mapToGlobal(QPointF(p)),
                      type == QEvent::MouseMove ? Qt::NoButton : button, held, mods);
    QApplication::sendEvent(&w, &event);
}

} // namespace stillview

#pragma once
// Frames, bitmaps and a shown host window for the animated-image widget tests.
#include "WidgetSupport.h"
#include "imaging/animated/AnimationFixtures.h"
#include "imaging/animated/PVWebImage.h"
#include "platform/TBitmap.h"

#include <QFrame>
#include <QImage>
#include <QScrollBar>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>

namespace webimage {

inline RGBQUAD quad(QRgb c) {
    return RGBQUAD{uint8_t(qBlue(c)), uint8_t(qGreen(c)), uint8_t(qRed(c)), 0};
}

inline COLORREF colorRef(QRgb c) {
    return RGB(uint8_t(qRed(c)), uint8_t(qGreen(c)), uint8_t(qBlue(c)));
}

// An 8-bit frame of one colour placed at (left, top).
inline TMyGifAnimation* solidFrame(int left, int top, int width, int height, QRgb colour,
                                   uint8_t disposal = 0, uint8_t transparent = 0,
                                   uint16_t delay = 0) {
    TMyGifAnimation* f = fixtures::frame(
        width, height, 8, [](int, int) { return uint8_t(1); },
        [colour](int i) {
            return i == 1 ? quad(colour) : RGBQUAD{0, 0, 0, 0};
        });
    f->Left = int16_t(left);
    f->Top = int16_t(top);
    f->Disposal = disposal;
    f->HasTransparency = transparent;
    f->Delay = delay;
    return f;
}

// A device bitmap whose pixel (x, y) is colour(x, y).
inline std::unique_ptr<zp::TBitmap> bitmapOf(int width, int height,
                                             const std::function<QRgb(int, int)>& colour) {
    auto bitmap = std::make_unique<zp::TBitmap>();
    bitmap->setHandle(CreateDeviceBitmap(width, height));
    uint32_t* bits = bitmap->bits();
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            bits[size_t(y) * size_t(width) + size_t(x)] = colour(x, y) & 0xFFFFFF;
    return bitmap;
}

// A picture where every pixel tells where it is: red = x, green = y,
// blue = which 256-block of x and y.
inline QRgb positionColour(int x, int y) {
    return qRgb(x & 255, y & 255, (x >> 8) * 16 + (y >> 8));
}

// The component inside a shown window, at (0, 0) with the given size, so
// resizes and repaints happen at once as they do on screen.
struct Host {
    QApplication& app = testsupport::widgetApp(); // before any widget
    QWidget window;
    PVWebImage* image;
    Host(int width, int height) {
        window.resize(width + 40, height + 40);
        image = new PVWebImage(&window);
        image->setGeometry(0, 0, width, height);
        window.show();
    }
};

// The colour the widget shows at (x, y), without alpha.
inline QRgb shown(QWidget& widget, int x, int y) {
    return widget.grab().toImage().pixel(x, y) | 0xFF000000u;
}

} // namespace webimage

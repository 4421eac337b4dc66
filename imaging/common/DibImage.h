#pragma once
// Drawing packed DIBs (40-byte header, BGRX colour table, rows padded to 4
// bytes, bottom-up or top-down) into Qt images. The device is true colour, so
// every picture becomes RGB32 pixels with colours from its own table; the
// target is normally a widget's persistent canvas, which the widget then
// shows in its paint event.
//
// Every function checks the header against the bytes the DIB may occupy and
// draws nothing for a picture it cannot read safely (compressed, an
// unsupported depth, a side above 65535 or more than 1 GiB as RGB32, rows
// past the end of its block).
#include "imaging/common/ColorRef.h"
#include "platform/WinTypes.h"

#include <QImage>
#include <QRect>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace dibimage {

// Bytes readable from dib to the end of the global block holding it; 0 when
// the pointer lies in no global block.
size_t BytesFrom(const void* dib);

// A DIB's geometry once checked. Rows are addressed from the top.
struct DibLayout {
    int width = 0;
    int height = 0;
    int bits = 0; // 1, 4, 8, 24 or 32
    bool bottomUp = true;
    size_t stride = 0;
    const uint8_t* pixels = nullptr;
    QRgb table[256] = {}; // opaque colours; entries past the table are black

    const uint8_t* row(int y) const {
        return pixels + stride * size_t(bottomUp ? height - 1 - y : y);
    }
    // Writes count pixels of row y from column x on as RGB32.
    void convert(int y, int x, int count, QRgb* out) const;
};

// nullopt for a DIB that cannot be drawn safely from these bytes.
std::optional<DibLayout> ReadLayout(const BITMAPINFOHEADER* dib, size_t bytes);

// The whole picture as a top-down RGB32 image; a null image when unreadable.
QImage ToImage(const BITMAPINFOHEADER* dib, size_t bytes);
QImage ToImage(const BITMAPINFOHEADER* dib);

// Copies the picture unscaled with its top-left corner at `at`, clipped to
// the canvas (an RGB32 or ARGB32 image). False when nothing could be read.
bool Draw(QImage& canvas, QPoint at, const BITMAPINFOHEADER* dib, size_t bytes);
bool Draw(QImage& canvas, QPoint at, const BITMAPINFOHEADER* dib);

// Stretches the source rectangle (rows counted from the picture's top) onto
// the target rectangle, nearest neighbour (colour-on-colour). Target pixels
// whose source falls outside the picture, or outside the canvas, are left as
// they are. False when nothing could be read or a rectangle is empty.
bool Stretch(QImage& canvas, const QRect& target, const BITMAPINFOHEADER* dib, size_t bytes,
             const QRect& source);
bool Stretch(QImage& canvas, const QRect& target, const BITMAPINFOHEADER* dib, const QRect& source);

using ::ToQRgb;

} // namespace dibimage

#pragma once
// Copying a rectangle of 32-bit pixels (device bitmap rows, QImage RGB32)
// onto a rectangle of another buffer, scaled, with the three stretch modes
// of the platform's blitter. Only the target pixels inside the target buffer
// (and the clip) are computed, so shrinking a huge picture into a window
// costs the window's size, not the picture's, in the colour-on-colour mode.
#include <QImage>
#include <QRect>
#include <cstdint>

namespace zp {

enum class StretchMode {
    ColorOnColor, // nearest neighbour: eliminated pixels are deleted
    BlackOnWhite, // shrinking ANDs the eliminated pixels: thin black lines stay
    WhiteOnBlack, // shrinking ORs them: thin white lines stay
};

// A buffer of 32-bit pixels, top row first; stride counts pixels.
struct PixelPlane {
    uint32_t* bits = nullptr;
    int32_t width = 0;
    int32_t height = 0;
    int32_t stride = 0;
};

// Scales source pixels `from` onto target pixels `to`. Target pixels whose
// source lies outside the source buffer are left as they were. The fourth
// byte written is 0xFF (what QImage::Format_RGB32 needs; device bitmaps
// ignore it). An empty clip means the whole target buffer.
void StretchPixels(const PixelPlane& target, const QRect& to, const PixelPlane& source,
                   const QRect& from, StretchMode mode, const QRect& clip = QRect());

// The same onto and from RGB32 (or ARGB32) images; other formats are converted
// on the fly for the source and refused for the target.
void StretchImage(QImage& target, const QRect& to, const QImage& source, const QRect& from,
                  StretchMode mode, const QRect& clip = QRect());

// Real to whole pixels: truncation toward zero, NaN as 0, and values far
// outside any bitmap clamped so the conversion is always defined.
inline int TruncPixels(double value) {
    constexpr double kLimit = 1 << 30;
    if (!(value == value)) return 0;
    if (value > kLimit) return int(kLimit);
    if (value < -kLimit) return -int(kLimit);
    return int(value);
}

} // namespace zp

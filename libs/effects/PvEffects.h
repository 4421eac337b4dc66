#pragma once
// The effects library's C boundary (libq3spec32.so). Rules as the codec's
// (PvCodec.h): no exceptions cross it, callbacks answer 1 to go on and 0 to
// stop. A DIB is a packed DIB in a global block, passed by handle. Unless
// noted, an operation leaves its input as it was and answers a NEW block the
// caller owns, or 0 (none) on failure, bad input or a stop from the
// progress callback. Area effects take the area as left, top ... bottom,
// right in image pixels; a right or bottom of 0 means the width or height;
// pixels outside the area are copied unchanged. Operations marked 24 take
// 24-bit DIBs only (the binding promotes and reduces around them).
// Parameter ranges are those of the effects dialog's bars; each entry's
// comment says what its values mean.
#include "libs/codec/PvCodec.h"
#include <cstdint>

#define PVEFFECTS_API extern "C" __attribute__((visibility("default")))

extern "C" {
// Shows an intermediate picture of Warp (the caller must not keep or free it).
typedef int16_t (*PVWarpCallback)(uintptr_t dib, void* user);

// The common shape of area effects: (dib, left, top, progress, user, ..., bottom, right).
typedef uintptr_t (*PFN_Area1)(uintptr_t dib, int32_t left, int32_t top, PVProgressCallback cb,
                               void* user, int32_t value, int32_t bottom, int32_t right);
typedef uintptr_t (*PFN_Area0)(uintptr_t dib, int32_t left, int32_t top, PVProgressCallback cb,
                               void* user, int32_t bottom, int32_t right);
typedef uintptr_t (*PFN_AreaReal)(uintptr_t dib, int32_t left, int32_t top, PVProgressCallback cb,
                                  void* user, double value, int32_t bottom, int32_t right);
typedef uintptr_t (*PFN_Area2)(uintptr_t dib, int32_t left, int32_t top, PVProgressCallback cb,
                               void* user, int32_t a, int32_t b, int32_t bottom, int32_t right);
typedef uintptr_t (*PFN_Area3)(uintptr_t dib, int32_t left, int32_t top, PVProgressCallback cb,
                               void* user, int32_t a, int32_t b, int32_t c, int32_t bottom,
                               int32_t right);
typedef uintptr_t (*PFN_Area4)(uintptr_t dib, int32_t left, int32_t top, PVProgressCallback cb,
                               void* user, int32_t a, int32_t b, int32_t c, int32_t d,
                               int32_t bottom, int32_t right);
typedef uintptr_t (*PFN_Area5)(uintptr_t dib, int32_t left, int32_t top, PVProgressCallback cb,
                               void* user, int32_t a, int32_t b, int32_t c, int32_t d, int32_t e,
                               int32_t bottom, int32_t right);
// Blur, Bled, Better, Edge, Engrave, OilPainting, PixelFix: PFN_Area1.
// PinchHole, Whirl: PFN_AreaReal. GrayArea, AutoContrast: PFN_Area0.
// Spray (randomness, amount), ThresholdDib (antialias, level): PFN_Area2.
// Motion (kind, angle, amount), Jiggle (wave form, amplitude, period): PFN_Area3.
// FadeDib (blue, green, red, edge width), RecToPolar (background, inverse,
// angle, value): PFN_Area4.
// Noise (blue, green, red, use grey, gauss), Enhance (gamma blue, gamma
// green, gamma red, contrast, brightness): PFN_Area5.
typedef uintptr_t (*PFN_Wave)(uintptr_t dib, int32_t left, int32_t top, PVProgressCallback cb,
                              void* user, int32_t reflect, int32_t smear, double phase,
                              int32_t length, double amplitude, int32_t bottom, int32_t right);
typedef uintptr_t (*PFN_Curl)(uintptr_t dib, int32_t left, int32_t top, PVProgressCallback cb,
                              void* user, int32_t shading, COLORREF fore, COLORREF back,
                              int32_t overHorizontal, int32_t overVertical, int32_t rightBottom,
                              int32_t leftBottom, int32_t rightTop, int32_t leftTop,
                              int32_t shadeUnder, int32_t curlUseForeColour,
                              int32_t curlUseBackColour, int32_t keepImageUnder,
                              int32_t backUseBackColour, int32_t backUseForeColour, int32_t bottom,
                              int32_t right);
typedef uintptr_t (*PFN_Mosaic)(uintptr_t dib, int32_t left, int32_t top, PVProgressCallback cb,
                                void* user, COLORREF back, COLORREF fore, int32_t antialias,
                                int32_t surface, int32_t type, int32_t random, int32_t light,
                                int32_t space, int32_t height, int32_t size, int32_t bottom,
                                int32_t right);
typedef uintptr_t (*PFN_Warp)(uintptr_t dib, int32_t rgbToHue, int32_t rgbToSaturation,
                              PVWarpCallback vector, PVProgressCallback cb, void* user,
                              int32_t displacement, int32_t steps, int32_t vectorRotation,
                              int32_t scale, int32_t convolve);
typedef uintptr_t (*PFN_HToneImage)(uintptr_t dib, int32_t cellSize, int32_t shape,
                                    PVProgressCallback cb, void* user, double angle);
typedef uintptr_t (*PFN_ExtrudeDib)(uintptr_t dib, int32_t levels, int32_t value,
                                    PVProgressCallback cb, void* user);
typedef uintptr_t (*PFN_TileDib)(uintptr_t dib, void* user, PVProgressCallback cb);
typedef uintptr_t (*PFN_PVBrightness)(uintptr_t dib, int32_t amount);
typedef uintptr_t (*PFN_PVGamma)(uintptr_t dib, int32_t value);
typedef uintptr_t (*PFN_ScaleDib)(uintptr_t dib, int32_t width, int32_t height, int32_t bits);
// Replaces *dib (the old block is freed) and answers 1; 0 leaves it.
typedef int32_t (*PFN_pvHueAndSaturation)(uintptr_t* dib, int32_t red, int32_t green,
                                          PVProgressCallback cb, void* user, int32_t left,
                                          int32_t top, int32_t right, int32_t bottom,
                                          int32_t brightness, int32_t saturation, int32_t hue,
                                          int32_t cyan, int32_t magenta, int32_t yellow,
                                          int32_t blue);
// MergeDib / DropDib: overlay at (x, y); the key colour (red, green, blue,
// each -1 = no key colour) is transparent in the overlay.
typedef uintptr_t (*PFN_MergeDib)(uintptr_t dib, uintptr_t overlay, int32_t red, int32_t x,
                                  int32_t y, int32_t blue, int32_t green);
// In place; answer 1.
typedef int32_t (*PFN_PVInvert)(uintptr_t dib);
typedef int32_t (*PFN_PVMirror)(uintptr_t dib, int32_t vertical, int32_t horizontal);
// A new block holding the area rotated by angle degrees (counter-clockwise),
// sized to hold it all, the corners filled with fill.
typedef uintptr_t (*PFN_PVRotate)(uintptr_t dib, int32_t left, int32_t top, COLORREF fill,
                                  double angle, int32_t bottom, int32_t right);
// Replaces the bitmap and palette handles (old ones deleted); answer 1.
typedef int32_t (*PFN_PVRotateBMP)(uintptr_t* bitmap, uintptr_t* palette, int32_t left,
                                   int32_t top, COLORREF fill, double angle, int32_t bottom,
                                   int32_t right);
// dither: 0 Bayer (ordered), 1 Burkes, 2 Floyd-Steinberg, 3 grey palette.
typedef uintptr_t (*PFN_PVReduceColors)(uintptr_t dib, int32_t colours, int32_t dither);
typedef uintptr_t (*PFN_ReduceDib)(uintptr_t dib, int32_t bits, int32_t zero,
                                   PVProgressCallback cb, void* user, int32_t zero2);
// The source area resized to newWidth x newHeight, left in the same block
// (resized with GlobalReAlloc, so the caller's handle stays valid).
// mode: 0 copy, 1 AND, 2 OR, +10 area-average antialias, +20 antialias to
// 256 greys. Answers 1, or a negative code.
typedef int32_t (*PFN_PVImageCopy)(uintptr_t dib, int32_t newWidth, int32_t newHeight,
                                   int32_t mode, int32_t bottom, int32_t right, int32_t top,
                                   int32_t left);
typedef uintptr_t (*PFN_IDDBtoDIB)(uintptr_t bitmap, uintptr_t palette, int32_t bits);
typedef uintptr_t (*PFN_ScaleToGray)(uintptr_t dib, int32_t mode, int32_t value2,
                                     int32_t value3);
// Transitions draw the picture onto a device context step by step
// (platform/Gdi.h device contexts), waiting `delay` milliseconds between
// steps while the context's owner repaints. Answer 1.
typedef int32_t (*PFN_FXSkip)(uintptr_t dc, uintptr_t picture, int32_t thickness, int32_t delay);
typedef int32_t (*PFN_FXSkipRectangles)(uintptr_t dc, uintptr_t picture, int32_t delay);
}

// Entry points for resizing, merging and colour reduction.
#include "libs/effects/PvEffects.h"
#include "libs/effects/core/ScaleEffects.h"

PVEFFECTS_API uintptr_t ScaleDib(uintptr_t dib, int32_t width, int32_t height, int32_t bits) {
    return fx::scaleDib(dib, width, height, bits);
}

PVEFFECTS_API int32_t PVImageCopy(uintptr_t dib, int32_t newWidth, int32_t newHeight, int32_t mode,
                                  int32_t bottom, int32_t right, int32_t top, int32_t left) {
    return fx::imageCopy(dib, newWidth, newHeight, mode, left, top, right, bottom);
}

PVEFFECTS_API uintptr_t ScaleToGray(uintptr_t dib, int32_t mode, int32_t /*value2*/,
                                    int32_t /*value3*/) {
    return fx::scaleToGray(dib, mode);
}

namespace {
// -1 in any channel: no key colour.
int64_t keyColour(int32_t red, int32_t green, int32_t blue) {
    if (red < 0 || green < 0 || blue < 0) return -1;
    return int64_t(RGB(uint8_t(red), uint8_t(green), uint8_t(blue)));
}
} // namespace

PVEFFECTS_API uintptr_t MergeDib(uintptr_t dib, uintptr_t overlay, int32_t red, int32_t x,
                                 int32_t y, int32_t blue, int32_t green) {
    return fx::overlayDib(dib, overlay, x, y, keyColour(red, green, blue), true);
}

PVEFFECTS_API uintptr_t DropDib(uintptr_t dib, uintptr_t overlay, int32_t red, int32_t x, int32_t y,
                                int32_t blue, int32_t green) {
    return fx::overlayDib(dib, overlay, x, y, keyColour(red, green, blue), false);
}

PVEFFECTS_API uintptr_t PVReduceColors(uintptr_t dib, int32_t colours, int32_t dither) {
    return fx::reduceColors(dib, colours, dither);
}

PVEFFECTS_API uintptr_t ReduceDib(uintptr_t dib, int32_t bits, int32_t /*zero*/,
                                  PVProgressCallback cb, void* user, int32_t /*zero2*/) {
    return fx::reduceDib(dib, bits, cb, user);
}

PVEFFECTS_API uintptr_t IDDBtoDIB(uintptr_t bitmap, uintptr_t palette, int32_t bits) {
    return fx::ddbToDib(bitmap, palette, bits);
}

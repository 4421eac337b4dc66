// Entry points of the tone, colour, pattern and in-place effects.
#include "libs/effects/PvEffects.h"
#include "libs/effects/core/EffectJob.h"
#include "libs/effects/core/PixelEffects.h"

PVEFFECTS_API uintptr_t FadeDib(uintptr_t dib, int32_t left, int32_t top, PVProgressCallback cb,
                                void* user, int32_t blue, int32_t green, int32_t red,
                                int32_t edgeWidth, int32_t bottom, int32_t right) {
    return fx::guarded([&] {
        return fx::fade(dib, left, top, cb, user, blue, green, red, edgeWidth, bottom, right);
    });
}

PVEFFECTS_API uintptr_t Noise(uintptr_t dib, int32_t left, int32_t top, PVProgressCallback cb,
                              void* user, int32_t blue, int32_t green, int32_t red, int32_t useGrey,
                              int32_t gauss, int32_t bottom, int32_t right) {
    return fx::guarded([&] {
        return fx::noise(dib, left, top, cb, user, blue, green, red, useGrey, gauss, bottom, right);
    });
}

PVEFFECTS_API uintptr_t Enhance(uintptr_t dib, int32_t left, int32_t top, PVProgressCallback cb,
                                void* user, int32_t gammaBlue, int32_t gammaGreen, int32_t gammaRed,
                                int32_t contrast, int32_t brightness, int32_t bottom,
                                int32_t right) {
    return fx::guarded([&] {
        return fx::enhance(dib, left, top, cb, user, gammaBlue, gammaGreen, gammaRed, contrast,
                           brightness, bottom, right);
    });
}

PVEFFECTS_API uintptr_t PVBrightness(uintptr_t dib, int32_t amount) {
    return fx::guarded([&] { return fx::brightness(dib, amount); });
}

PVEFFECTS_API uintptr_t PVGamma(uintptr_t dib, int32_t value) {
    return fx::guarded([&] { return fx::gamma(dib, value); });
}

PVEFFECTS_API int32_t pvHueAndSaturation(uintptr_t* dib, int32_t red, int32_t green,
                                         PVProgressCallback cb, void* user, int32_t left,
                                         int32_t top, int32_t right, int32_t bottom,
                                         int32_t brightness, int32_t saturation, int32_t hue,
                                         int32_t cyan, int32_t magenta, int32_t yellow,
                                         int32_t blue) {
    return fx::guarded([&] {
        return fx::hueAndSaturation(dib, red, green, cb, user, left, top, right, bottom, brightness,
                                    saturation, hue, cyan, magenta, yellow, blue);
    });
}

PVEFFECTS_API int32_t PVInvert(uintptr_t dib) {
    return fx::guarded([&] { return fx::invert(dib); });
}

PVEFFECTS_API int32_t PVMirror(uintptr_t dib, int32_t vertical, int32_t horizontal) {
    return fx::guarded([&] { return fx::mirror(dib, vertical, horizontal); });
}

PVEFFECTS_API uintptr_t ExtrudeDib(uintptr_t dib, int32_t levels, int32_t value,
                                   PVProgressCallback cb, void* user) {
    return fx::guarded([&] { return fx::extrude(dib, levels, value, cb, user); });
}

PVEFFECTS_API uintptr_t TileDib(uintptr_t dib, void* user, PVProgressCallback cb) {
    return fx::guarded([&] { return fx::tile(dib, user, cb); });
}

PVEFFECTS_API uintptr_t HToneImage(uintptr_t dib, int32_t cellSize, int32_t shape,
                                   PVProgressCallback cb, void* user, double angle) {
    return fx::guarded([&] { return fx::halftone(dib, cellSize, shape, cb, user, angle); });
}

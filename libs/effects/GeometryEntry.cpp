// Entry points of the geometric and artistic effects: argument order of the
// C boundary in, the core's (GeometryEffects.h) out, nothing thrown across.
#include "libs/effects/PvEffects.h"
#include "libs/effects/core/EffectJob.h"
#include "libs/effects/core/GeometryEffects.h"

namespace {

fx::AreaCall area(uintptr_t dib, int32_t left, int32_t top, int32_t right, int32_t bottom,
                  PVProgressCallback cb, void* user) {
    return fx::AreaCall{dib, left, top, right, bottom, cb, user};
}

} // namespace

PVEFFECTS_API uintptr_t PinchHole(uintptr_t dib, int32_t left, int32_t top, PVProgressCallback cb,
                                  void* user, double amount, int32_t bottom, int32_t right) {
    return fx::guarded(
        [&] { return fx::pinchHole(area(dib, left, top, right, bottom, cb, user), amount); });
}

PVEFFECTS_API uintptr_t Whirl(uintptr_t dib, int32_t left, int32_t top, PVProgressCallback cb,
                              void* user, double angle, int32_t bottom, int32_t right) {
    return fx::guarded(
        [&] { return fx::whirl(area(dib, left, top, right, bottom, cb, user), angle); });
}

PVEFFECTS_API uintptr_t Spray(uintptr_t dib, int32_t left, int32_t top, PVProgressCallback cb,
                              void* user, int32_t randomness, int32_t amount, int32_t bottom,
                              int32_t right) {
    return fx::guarded([&] {
        return fx::spray(area(dib, left, top, right, bottom, cb, user), randomness, amount);
    });
}

PVEFFECTS_API uintptr_t Jiggle(uintptr_t dib, int32_t left, int32_t top, PVProgressCallback cb,
                               void* user, int32_t waveForm, int32_t amplitude, int32_t period,
                               int32_t bottom, int32_t right) {
    return fx::guarded([&] {
        return fx::jiggle(area(dib, left, top, right, bottom, cb, user), waveForm, amplitude,
                          period);
    });
}

PVEFFECTS_API uintptr_t RecToPolar(uintptr_t dib, int32_t left, int32_t top, PVProgressCallback cb,
                                   void* user, int32_t background, int32_t inverse, int32_t angle,
                                   int32_t value, int32_t bottom, int32_t right) {
    return fx::guarded([&] {
        return fx::recToPolar(area(dib, left, top, right, bottom, cb, user), background != 0,
                              inverse != 0, angle, value);
    });
}

PVEFFECTS_API uintptr_t Wave(uintptr_t dib, int32_t left, int32_t top, PVProgressCallback cb,
                             void* user, int32_t reflect, int32_t smear, double phase,
                             int32_t length, double amplitude, int32_t bottom, int32_t right) {
    return fx::guarded([&] {
        return fx::wave(area(dib, left, top, right, bottom, cb, user), reflect != 0, smear != 0,
                        phase, length, amplitude);
    });
}

PVEFFECTS_API uintptr_t Curl(uintptr_t dib, int32_t left, int32_t top, PVProgressCallback cb,
                             void* user, int32_t shading, COLORREF fore, COLORREF back,
                             int32_t overHorizontal, int32_t overVertical, int32_t rightBottom,
                             int32_t leftBottom, int32_t rightTop, int32_t leftTop,
                             int32_t shadeUnder, int32_t curlUseForeColour,
                             int32_t curlUseBackColour, int32_t keepImageUnder,
                             int32_t backUseBackColour, int32_t backUseForeColour, int32_t bottom,
                             int32_t right) {
    fx::CurlOptions o;
    o.shading = shading;
    o.fore = fore;
    o.back = back;
    o.overHorizontal = overHorizontal != 0;
    o.overVertical = overVertical != 0;
    o.rightBottom = rightBottom != 0;
    o.leftBottom = leftBottom != 0;
    o.rightTop = rightTop != 0;
    o.leftTop = leftTop != 0;
    o.shadeUnder = shadeUnder != 0;
    o.curlUseFore = curlUseForeColour != 0;
    o.curlUseBack = curlUseBackColour != 0;
    o.keepImageUnder = keepImageUnder != 0;
    o.backUseBack = backUseBackColour != 0;
    o.backUseFore = backUseForeColour != 0;
    return fx::guarded([&] { return fx::curl(area(dib, left, top, right, bottom, cb, user), o); });
}

PVEFFECTS_API uintptr_t Mosaic(uintptr_t dib, int32_t left, int32_t top, PVProgressCallback cb,
                               void* user, COLORREF back, COLORREF fore, int32_t antialias,
                               int32_t surface, int32_t type, int32_t random, int32_t light,
                               int32_t space, int32_t height, int32_t size, int32_t bottom,
                               int32_t right) {
    fx::MosaicOptions o;
    o.back = back;
    o.fore = fore;
    o.antialias = antialias != 0;
    o.surface = surface;
    o.type = type;
    o.random = random;
    o.light = light;
    o.space = space;
    o.height = height;
    o.size = size;
    return fx::guarded(
        [&] { return fx::mosaic(area(dib, left, top, right, bottom, cb, user), o); });
}

PVEFFECTS_API uintptr_t Warp(uintptr_t dib, int32_t rgbToHue, int32_t rgbToSaturation,
                             PVWarpCallback vector, PVProgressCallback cb, void* user,
                             int32_t displacement, int32_t steps, int32_t vectorRotation,
                             int32_t scale, int32_t convolve) {
    fx::WarpOptions o;
    o.hue = rgbToHue != 0;
    o.saturation = rgbToSaturation != 0;
    o.convolve = convolve != 0;
    o.displacement = displacement;
    o.steps = steps;
    o.rotation = vectorRotation;
    o.scale = scale;
    o.show = vector;
    return fx::guarded([&] { return fx::warp(dib, o, cb, user); });
}

PVEFFECTS_API uintptr_t PVRotate(uintptr_t dib, int32_t left, int32_t top, COLORREF fill,
                                 double angle, int32_t bottom, int32_t right) {
    return fx::guarded([&] { return fx::rotate(dib, left, top, right, bottom, fill, angle); });
}

PVEFFECTS_API int32_t PVRotateBMP(uintptr_t* bitmap, uintptr_t* palette, int32_t left, int32_t top,
                                  COLORREF fill, double angle, int32_t bottom, int32_t right) {
    return fx::guarded([&] {
        return int32_t(fx::rotateBitmap(bitmap, palette, left, top, right, bottom, fill, angle));
    });
}

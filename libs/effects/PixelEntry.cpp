// Entry points of the neighbourhood effects (blur, sharpen, edges, ...).
#include "libs/effects/PvEffects.h"
#include "libs/effects/core/EffectJob.h"
#include "libs/effects/core/PixelEffects.h"

PVEFFECTS_API uintptr_t Blur(uintptr_t dib, int32_t left, int32_t top, PVProgressCallback cb,
                             void* user, int32_t amount, int32_t bottom, int32_t right) {
    return fx::guarded([&] { return fx::blur(dib, left, top, cb, user, amount, bottom, right); });
}

PVEFFECTS_API uintptr_t Bled(uintptr_t dib, int32_t left, int32_t top, PVProgressCallback cb,
                             void* user, int32_t amount, int32_t bottom, int32_t right) {
    return fx::guarded([&] { return fx::bleed(dib, left, top, cb, user, amount, bottom, right); });
}

PVEFFECTS_API uintptr_t Better(uintptr_t dib, int32_t left, int32_t top, PVProgressCallback cb,
                               void* user, int32_t amount, int32_t bottom, int32_t right) {
    return fx::guarded(
        [&] { return fx::sharpen(dib, left, top, cb, user, amount, bottom, right); });
}

PVEFFECTS_API uintptr_t Edge(uintptr_t dib, int32_t left, int32_t top, PVProgressCallback cb,
                             void* user, int32_t amount, int32_t bottom, int32_t right) {
    return fx::guarded([&] { return fx::edge(dib, left, top, cb, user, amount, bottom, right); });
}

PVEFFECTS_API uintptr_t Engrave(uintptr_t dib, int32_t left, int32_t top, PVProgressCallback cb,
                                void* user, int32_t depth, int32_t bottom, int32_t right) {
    return fx::guarded([&] { return fx::engrave(dib, left, top, cb, user, depth, bottom, right); });
}

PVEFFECTS_API uintptr_t OilPainting(uintptr_t dib, int32_t left, int32_t top, PVProgressCallback cb,
                                    void* user, int32_t size, int32_t bottom, int32_t right) {
    return fx::guarded(
        [&] { return fx::oilPainting(dib, left, top, cb, user, size, bottom, right); });
}

PVEFFECTS_API uintptr_t PixelFix(uintptr_t dib, int32_t left, int32_t top, PVProgressCallback cb,
                                 void* user, int32_t amount, int32_t bottom, int32_t right) {
    return fx::guarded(
        [&] { return fx::despeckle(dib, left, top, cb, user, amount, bottom, right); });
}

PVEFFECTS_API uintptr_t GrayArea(uintptr_t dib, int32_t left, int32_t top, PVProgressCallback cb,
                                 void* user, int32_t bottom, int32_t right) {
    return fx::guarded([&] { return fx::grayArea(dib, left, top, cb, user, bottom, right); });
}

PVEFFECTS_API uintptr_t AutoContrast(uintptr_t dib, int32_t left, int32_t top,
                                     PVProgressCallback cb, void* user, int32_t bottom,
                                     int32_t right) {
    return fx::guarded([&] { return fx::autoContrast(dib, left, top, cb, user, bottom, right); });
}

PVEFFECTS_API uintptr_t Motion(uintptr_t dib, int32_t left, int32_t top, PVProgressCallback cb,
                               void* user, int32_t kind, int32_t angle, int32_t amount,
                               int32_t bottom, int32_t right) {
    return fx::guarded(
        [&] { return fx::motion(dib, left, top, cb, user, kind, angle, amount, bottom, right); });
}

PVEFFECTS_API uintptr_t ThresholdDib(uintptr_t dib, int32_t left, int32_t top,
                                     PVProgressCallback cb, void* user, int32_t antialias,
                                     int32_t level, int32_t bottom, int32_t right) {
    return fx::guarded(
        [&] { return fx::threshold(dib, left, top, cb, user, antialias, level, bottom, right); });
}

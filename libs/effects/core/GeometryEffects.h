#pragma once
// The geometric and artistic effects, callable without the module (bench,
// fuzz, tests). Each answers a new DIB block the caller owns, or 0 for bad
// input, no memory or a stop from the progress callback; the input is never
// changed. Parameter meanings are those written in PvEffects.h.
#include "libs/imagecore/Progress.h"
#include "platform/WinTypes.h"

#include <cstdint>

namespace fx {

// Where an area effect works: the DIB, its area (a right or bottom of 0
// meaning the width or height) and the progress callback.
struct AreaCall {
    uintptr_t dib = 0;
    int32_t left = 0, top = 0, right = 0, bottom = 0;
    ic::ProgressFn cb = nullptr;
    void* user = nullptr;
};

uintptr_t pinchHole(const AreaCall& call, double amount);
uintptr_t whirl(const AreaCall& call, double angleTenths);
uintptr_t recToPolar(const AreaCall& call, bool backwards, bool inverse, int32_t angle,
                     int32_t repeats);
uintptr_t spray(const AreaCall& call, int32_t randomness, int32_t amount);
uintptr_t jiggle(const AreaCall& call, int32_t waveForm, int32_t amplitude, int32_t period);
uintptr_t wave(const AreaCall& call, bool reflect, bool smear, double phaseTenths, int32_t length,
               double amplitudeTenths);

struct CurlOptions {
    int32_t shading = 4; // 0..4
    COLORREF fore = 0, back = 0;
    bool overHorizontal = false, overVertical = false;
    bool rightBottom = false, leftBottom = false, rightTop = false, leftTop = false;
    bool shadeUnder = false, curlUseFore = false, curlUseBack = false, keepImageUnder = false;
    bool backUseBack = false, backUseFore = false;
};
uintptr_t curl(const AreaCall& call, const CurlOptions& options);

struct MosaicOptions {
    COLORREF back = 0, fore = 0;
    bool antialias = false;
    int32_t surface = 1, type = 0, random = 1, light = 40, space = 10, height = 30, size = 150;
};
uintptr_t mosaic(const AreaCall& call, const MosaicOptions& options);

using WarpShowFn = int16_t (*)(uintptr_t dib, void* user);
struct WarpOptions {
    bool hue = false, saturation = false, convolve = false;
    int32_t displacement = 10, steps = 4, rotation = 90, scale = 20;
    WarpShowFn show = nullptr;
};
uintptr_t warp(uintptr_t dib, const WarpOptions& options, ic::ProgressFn cb, void* user);

// The area rotated counter-clockwise by angle degrees in a new DIB of the
// same depth sized to hold it; uncovered corners take fill.
uintptr_t rotate(uintptr_t dib, int32_t left, int32_t top, int32_t right, int32_t bottom,
                 COLORREF fill, double angle);
// The same on a device bitmap and its palette (0 for none); replaces both
// handles (the old objects deleted) and answers true.
bool rotateBitmap(uintptr_t* bitmap, uintptr_t* palette, int32_t left, int32_t top, int32_t right,
                  int32_t bottom, COLORREF fill, double angle);

} // namespace fx

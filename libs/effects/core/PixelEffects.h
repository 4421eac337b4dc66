#pragma once
// Pixel and neighbourhood effects, callable without the module (benchmarks,
// fuzz targets, tests). Each takes the entry point's arguments (see
// PvEffects.h for their meaning) and answers a new DIB block or 0; the
// in-place ones answer 1 or 0. None of them throws for bad input, but
// std::bad_alloc may escape: the entry points wrap them in guarded().
#include "libs/imagecore/Progress.h"

#include <cstdint>

namespace fx {

// Area effects: (dib, left, top, progress, user, parameters..., bottom, right).
uintptr_t blur(uintptr_t dib, int32_t left, int32_t top, ic::ProgressFn cb, void* user,
               int32_t amount, int32_t bottom, int32_t right);
uintptr_t bleed(uintptr_t dib, int32_t left, int32_t top, ic::ProgressFn cb, void* user,
                int32_t amount, int32_t bottom, int32_t right);
uintptr_t sharpen(uintptr_t dib, int32_t left, int32_t top, ic::ProgressFn cb, void* user,
                  int32_t amount, int32_t bottom, int32_t right);
uintptr_t edge(uintptr_t dib, int32_t left, int32_t top, ic::ProgressFn cb, void* user,
               int32_t amount, int32_t bottom, int32_t right);
uintptr_t engrave(uintptr_t dib, int32_t left, int32_t top, ic::ProgressFn cb, void* user,
                  int32_t depth, int32_t bottom, int32_t right);
uintptr_t oilPainting(uintptr_t dib, int32_t left, int32_t top, ic::ProgressFn cb, void* user,
                      int32_t size, int32_t bottom, int32_t right);
uintptr_t despeckle(uintptr_t dib, int32_t left, int32_t top, ic::ProgressFn cb, void* user,
                    int32_t tolerance, int32_t bottom, int32_t right);
uintptr_t grayArea(uintptr_t dib, int32_t left, int32_t top, ic::ProgressFn cb, void* user,
                   int32_t bottom, int32_t right);
uintptr_t autoContrast(uintptr_t dib, int32_t left, int32_t top, ic::ProgressFn cb, void* user,
                       int32_t bottom, int32_t right);
uintptr_t motion(uintptr_t dib, int32_t left, int32_t top, ic::ProgressFn cb, void* user,
                 int32_t kind, int32_t angle, int32_t amount, int32_t bottom, int32_t right);
uintptr_t threshold(uintptr_t dib, int32_t left, int32_t top, ic::ProgressFn cb, void* user,
                    int32_t antialias, int32_t level, int32_t bottom, int32_t right);
uintptr_t fade(uintptr_t dib, int32_t left, int32_t top, ic::ProgressFn cb, void* user,
               int32_t blue, int32_t green, int32_t red, int32_t edgeWidth, int32_t bottom,
               int32_t right);
uintptr_t noise(uintptr_t dib, int32_t left, int32_t top, ic::ProgressFn cb, void* user,
                int32_t blue, int32_t green, int32_t red, int32_t useGrey, int32_t gauss,
                int32_t bottom, int32_t right);
uintptr_t enhance(uintptr_t dib, int32_t left, int32_t top, ic::ProgressFn cb, void* user,
                  int32_t gammaBlue, int32_t gammaGreen, int32_t gammaRed, int32_t contrast,
                  int32_t brightness, int32_t bottom, int32_t right);

// Whole-picture effects.
uintptr_t brightness(uintptr_t dib, int32_t amount);
uintptr_t gamma(uintptr_t dib, int32_t value);
uintptr_t extrude(uintptr_t dib, int32_t levels, int32_t value, ic::ProgressFn cb, void* user);
uintptr_t tile(uintptr_t dib, void* user, ic::ProgressFn cb);
uintptr_t halftone(uintptr_t dib, int32_t cellSize, int32_t shape, ic::ProgressFn cb, void* user,
                   double angle);

// Replaces *dib with the result (the old block freed) and answers 1, or 0.
int32_t hueAndSaturation(uintptr_t* dib, int32_t red, int32_t green, ic::ProgressFn cb, void* user,
                         int32_t left, int32_t top, int32_t right, int32_t bottom,
                         int32_t brightness, int32_t saturation, int32_t hue, int32_t cyan,
                         int32_t magenta, int32_t yellow, int32_t blue);

// In place, any depth: answer 1, or 0 for a bad DIB.
int32_t invert(uintptr_t dib);
int32_t mirror(uintptr_t dib, int32_t vertical, int32_t horizontal);

} // namespace fx

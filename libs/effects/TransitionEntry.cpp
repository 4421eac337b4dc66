// Transition entry points: a device bitmap (FXSkip*) or a DIB (FXSkip*Dib)
// drawn onto a device context step by step.
#include "libs/effects/PvEffects.h"
#include "libs/effects/core/ScaleEffects.h"

using fx::Transition;

PVEFFECTS_API int32_t FXSkipHorizontal(uintptr_t dc, uintptr_t bitmap, int32_t thickness,
                                       int32_t delay) {
    return fx::transition(dc, bitmap, false, Transition::Horizontal, thickness, delay);
}
PVEFFECTS_API int32_t FXSkipVertical(uintptr_t dc, uintptr_t bitmap, int32_t thickness,
                                     int32_t delay) {
    return fx::transition(dc, bitmap, false, Transition::Vertical, thickness, delay);
}
PVEFFECTS_API int32_t FXSkipDiagonals(uintptr_t dc, uintptr_t bitmap, int32_t thickness,
                                      int32_t delay) {
    return fx::transition(dc, bitmap, false, Transition::Diagonals, thickness, delay);
}
PVEFFECTS_API int32_t FXSkipDiagonalSquares(uintptr_t dc, uintptr_t bitmap, int32_t thickness,
                                            int32_t delay) {
    return fx::transition(dc, bitmap, false, Transition::DiagonalSquares, thickness, delay);
}
PVEFFECTS_API int32_t FXSkipRectangles(uintptr_t dc, uintptr_t bitmap, int32_t delay) {
    return fx::transition(dc, bitmap, false, Transition::Rectangles, 1, delay);
}
PVEFFECTS_API int32_t FXSkipHorizontalDib(uintptr_t dc, uintptr_t dib, int32_t thickness,
                                          int32_t delay) {
    return fx::transition(dc, dib, true, Transition::Horizontal, thickness, delay);
}
PVEFFECTS_API int32_t FXSkipVerticalDib(uintptr_t dc, uintptr_t dib, int32_t thickness,
                                        int32_t delay) {
    return fx::transition(dc, dib, true, Transition::Vertical, thickness, delay);
}
PVEFFECTS_API int32_t FXSkipDiagonalsDib(uintptr_t dc, uintptr_t dib, int32_t thickness,
                                         int32_t delay) {
    return fx::transition(dc, dib, true, Transition::Diagonals, thickness, delay);
}
PVEFFECTS_API int32_t FXSkipDiagonalSquaresDib(uintptr_t dc, uintptr_t dib, int32_t thickness,
                                               int32_t delay) {
    return fx::transition(dc, dib, true, Transition::DiagonalSquares, thickness, delay);
}
PVEFFECTS_API int32_t FXSkipRectanglesDib(uintptr_t dc, uintptr_t dib, int32_t delay) {
    return fx::transition(dc, dib, true, Transition::Rectangles, 1, delay);
}

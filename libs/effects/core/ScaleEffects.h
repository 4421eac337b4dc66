#pragma once
// Resizing, merging, colour reduction and transitions: the core behind the
// module's ScaleDib, PVImageCopy, ScaleToGray, MergeDib, DropDib,
// PVReduceColors, ReduceDib, IDDBtoDIB and FXSkip* entry points (their
// meanings are written in PvEffects.h). Handles in, handles out; nothing
// throws.
#include "libs/imagecore/Progress.h"
#include "platform/Gdi.h"

#include <cstdint>

namespace fx {

uintptr_t scaleDib(uintptr_t dib, int32_t width, int32_t height, int32_t bits);

// Codes PVImageCopy answers.
enum ImageCopyResult : int32_t {
    kCopyDone = 1,
    kCopyBadDib = -1,
    kCopyBadArea = -2,
    kCopyNoMemory = -3, // also: the block is locked and would have to grow
    kCopyBadMode = -4,
};
// right and bottom inclusive; all four 0 = the whole picture.
int32_t imageCopy(uintptr_t dib, int32_t newWidth, int32_t newHeight, int32_t mode, int32_t left,
                  int32_t top, int32_t right, int32_t bottom);

uintptr_t scaleToGray(uintptr_t dib, int32_t mode);

// key: 0x00BBGGRR or -1 for none. blend: half overlay, half picture.
uintptr_t overlayDib(uintptr_t dib, uintptr_t overlay, int32_t x, int32_t y, int64_t key,
                     bool blend);

uintptr_t reduceColors(uintptr_t dib, int32_t colours, int32_t dither);
uintptr_t reduceDib(uintptr_t dib, int32_t bits, ic::ProgressFn cb, void* user);
uintptr_t ddbToDib(HBITMAP bitmap, HPALETTE palette, int32_t bits);

enum class Transition { Horizontal, Vertical, Diagonals, DiagonalSquares, Rectangles };
// Most steps a transition takes, whatever the picture's size.
constexpr int32_t kMaxTransitionSteps = 64;
// Draws a device bitmap (isDib false) or a DIB onto the device context.
// 1 when drawn, 0 for a bad handle.
int32_t transition(HDC dc, uintptr_t picture, bool isDib, Transition kind, int32_t thickness,
                   int32_t delay);

} // namespace fx

#pragma once
// The only road to the effects library (Q3SPEC32.DLL, libq3spec32.so).
// Every operation loads the library on first use, sets the shared operation
// text (DLL96V1::CodecStatusText), calls the entry inside the fault guard and
// hands back the result: a new DIB block the caller owns (0 = none) or a
// boolean. Failures are values; only a missing library and a fault inside it
// show messages. DIBs are global block handles; the caller keeps its input
// unless an operation says it replaces it. Operations marked "24" run on
// 24 bits: a picture below that is promoted to a 24-bit copy, the effect runs
// on the copy, and the result is reduced back to the picture's depth (4 for
// a 1-bit picture). Main thread only.
#include "libs/effects/PvEffects.h"
#include "platform/TBitmap.h"
#include "platform/WinTypes.h"

#include <cstdint>
#include <set>

namespace DllSP96 {

inline constexpr const char* kEffectsDll = "Q3SPEC32.DLL";
extern uintptr_t EffectsLibrary; // 0 until loaded

enum TSortDither { PV_BAYER, PV_BURKES, PV_FLOYD, PV_GRAYSCALE };
enum TBWImageFlags { C_DEL, C_AND, C_OR, C_ANTIALIAS, C_ANTIALIAS256 };
using BWCopyFlags = std::set<TBWImageFlags>;
enum TFXMethod { FXNone, FXHorizontal, FXVertical, FXDiagonal, FXDiagonalSquares, FXRectangles };
enum TScaleToGray {
    S_Gray_None,
    S_Gray_16_8,
    S_Gray_16_12,
    S_Gray_16_20,
    S_Gray_16_24,
    S_Gray_256_24,
    S_Gray_Anti_16,
    S_Gray_Anti_256
};

struct Area {
    int32_t Left = 0, Top = 0, Right = 0, Bottom = 0; // Right/Bottom 0 = width/height
};
struct Progress {
    PVProgressCallback Callback = nullptr;
    void* UserData = nullptr;
};

// Area effects, 24.
HGLOBAL Blur(HGLOBAL dib, const Area& area, const Progress& p, int32_t amount);
HGLOBAL Bled(HGLOBAL dib, const Area& area, const Progress& p, int32_t amount);
HGLOBAL Better(HGLOBAL dib, const Area& area, const Progress& p, int32_t amount);
HGLOBAL Edge(HGLOBAL dib, const Area& area, const Progress& p, int32_t amount);
HGLOBAL Engrave(HGLOBAL dib, const Area& area, const Progress& p, int32_t depth);
HGLOBAL OilPainting(HGLOBAL dib, const Area& area, const Progress& p, int32_t size);
HGLOBAL PixelFix(HGLOBAL dib, const Area& area, const Progress& p, int32_t amount);
HGLOBAL PinchHole(HGLOBAL dib, const Area& area, const Progress& p, double amount);
HGLOBAL Whirl(HGLOBAL dib, const Area& area, const Progress& p, double angle);
HGLOBAL GrayArea(HGLOBAL dib, const Area& area, const Progress& p);
HGLOBAL AutoContrast(HGLOBAL dib, const Area& area, const Progress& p);
HGLOBAL Motion(HGLOBAL dib, const Area& area, const Progress& p, int32_t kind, int32_t angle,
               int32_t amount);
HGLOBAL Spray(HGLOBAL dib, const Area& area, const Progress& p, int32_t randomness, int32_t amount);
HGLOBAL Jiggle(HGLOBAL dib, const Area& area, const Progress& p, int32_t waveForm,
               int32_t amplitude, int32_t period);
HGLOBAL ThresholdDib(HGLOBAL dib, const Area& area, const Progress& p, int32_t antialias,
                     int32_t level);
HGLOBAL FadeDib(HGLOBAL dib, const Area& area, const Progress& p, int32_t blue, int32_t green,
                int32_t red, int32_t edgeWidth);
HGLOBAL Noise(HGLOBAL dib, const Area& area, const Progress& p, int32_t blue, int32_t green,
              int32_t red, int32_t useGrey, int32_t gauss);
HGLOBAL Enhance(HGLOBAL dib, const Area& area, const Progress& p, int32_t gammaBlue,
                int32_t gammaGreen, int32_t gammaRed, int32_t contrast, int32_t brightness);
HGLOBAL RecToPolar(HGLOBAL dib, const Area& area, const Progress& p, int32_t background,
                   int32_t inverse, int32_t angle, int32_t value);
HGLOBAL Wave(HGLOBAL dib, const Area& area, const Progress& p, int32_t reflect, int32_t smear,
             double phase, int32_t length, double amplitude);
struct CurlOptions {
    int32_t Shading = 4;
    COLORREF Fore = 0, Back = 0;
    // C_OH, C_OV, C_RB, C_LB, C_RT, C_LT, CShade, B_CUFC, B_CUBC, C_Trans, B_CBC, B_CFC
    bool Flags[12] = {};
};
HGLOBAL Curl(HGLOBAL dib, const Area& area, const Progress& p, const CurlOptions& options);
struct MosaicOptions {
    COLORREF Back = 0, Fore = 0;
    int32_t Antialias = 0, Surface = 1, Type = 0, Random = 1, Light = 40, Space = 10, Height = 30,
            Size = 150;
};
HGLOBAL Mosaic(HGLOBAL dib, const Area& area, const Progress& p, const MosaicOptions& options);

// Whole-picture effects, 24.
HGLOBAL Warp(HGLOBAL dib, bool rgbToHue, bool rgbToSaturation, PVWarpCallback vector,
             const Progress& p, int32_t displacement, int32_t steps, int32_t vectorRotation,
             int32_t scale, bool convolve);
HGLOBAL HToneImage(HGLOBAL dib, int32_t cellSize, int32_t shape, const Progress& p, double angle);
HGLOBAL ExtrudeDib(HGLOBAL dib, int32_t levels, int32_t value, const Progress& p);
HGLOBAL TileDib(HGLOBAL dib, const Progress& p);
HGLOBAL PVBrightness(HGLOBAL dib, int32_t amount);
HGLOBAL PVGamma(HGLOBAL dib, int32_t value);
HGLOBAL ScaleDib(HGLOBAL dib, int32_t width, int32_t height, int32_t bits);
// Replaces dib (the old block freed) and answers true when the library answered 1.
bool pvHueAndSaturation(HGLOBAL& dib, int32_t red, int32_t green, const Progress& p,
                        const Area& area, int32_t brightness, int32_t saturation, int32_t hue,
                        int32_t cyan, int32_t magenta, int32_t yellow, int32_t blue);

// Overlays: key colour -1 = none. Inputs below 24 bits are promoted; the
// result has the base picture's depth.
HGLOBAL MergeDib(HGLOBAL dib, HGLOBAL overlay, int32_t red, int32_t x, int32_t y, int32_t blue,
                 int32_t green);
HGLOBAL DropDib(HGLOBAL dib, HGLOBAL overlay, int32_t red, int32_t x, int32_t y, int32_t blue,
                int32_t green);

bool PVInvert(HGLOBAL dib);                                    // in place
HGLOBAL PVMirror(HGLOBAL dib, bool vertical, bool horizontal); // in place, then a copy
// Replaces dib (old block freed); true when a picture came back.
bool PVRotate(HGLOBAL& dib, const Area& area, COLORREF fill, double angle);
bool PVRotateBMP(zp::TBitmap& bitmap, const Area& area, bool pushToUndo, COLORREF fill,
                 double angle);
HGLOBAL PVReduceColors(HGLOBAL dib, int32_t colours, TSortDither dither);
HGLOBAL ReduceDib(HGLOBAL dib, int32_t bits, const Progress& p);
// The source area (all 0 = whole picture) resized into the same block.
int32_t PVImageCopy(HGLOBAL dib, int32_t newWidth, int32_t newHeight, const BWCopyFlags& flags,
                    const Area& source);
HGLOBAL IDDBtoDIB(HBITMAP bitmap, HPALETTE palette, int32_t bits);
HGLOBAL IDDBtoDIB(const zp::TBitmap& bitmap, int32_t bits);
HGLOBAL ScaleToGray(HGLOBAL dib, TScaleToGray mode, int32_t value2, int32_t value3);
// A new DIB at 4, 8 or 24 bits, or none when the DIB already has that depth or more.
HGLOBAL IncreaseColors(HGLOBAL dib, int32_t bits);

// Transitions onto a device context (platform surface).
bool FXSkip(TFXMethod method, uintptr_t dc, HBITMAP bitmap, int32_t thickness, int32_t delay);
bool FXSkipDib(TFXMethod method, uintptr_t dc, HGLOBAL dib, int32_t thickness, int32_t delay);

// The undo history: four bitmaps; a push shifts them and copies the pushed
// bitmap into the first.
void PushUndo(const zp::TBitmap& bitmap);
bool UndoHistoryExists();
// Entry i (0 = newest) of the history; nullptr before the first push.
const zp::TBitmap* UndoEntry(int index);
// Copies a bitmap and its palette into `to`; false when there is nothing to copy.
bool CopyBitmap(const zp::TBitmap& from, zp::TBitmap& to);

} // namespace DllSP96

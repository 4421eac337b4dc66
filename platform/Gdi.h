#pragma once
// GDI palettes and device bitmaps. The "screen" is a true-colour device
// (24 bits, no system palette), so palette-device branches never run. A device
// bitmap is top-down rows of 32-bit pixels, bytes B, G, R, X (0xXXRRGGBB as a
// little-endian word, the layout of QImage::Format_RGB32).
#include "platform/PlatformExport.h"
#include "platform/WinTypes.h"
#include <cstdint>

constexpr uint32_t CLR_INVALID = 0xFFFFFFFF;
// Largest device bitmap we make, in each direction and in pixels: the limit
// is on memory, so a 65535 x 1 strip is fine.
constexpr int32_t kMaxBitmapSide = 65535;
constexpr uint64_t kMaxBitmapPixels = (uint64_t(1) << 30) / 4;

// Palettes. Answers 0 for a null record or more than 4096 entries.
ZP_API HPALETTE CreatePalette(const LOGPALETTE* palette);
// With entries == nullptr answers the palette's entry count; else copies up
// to count entries from start and answers how many were copied.
ZP_API uint32_t GetPaletteEntries(HPALETTE palette, uint32_t start, uint32_t count,
                                  PALETTEENTRY* entries);
ZP_API uint32_t SetPaletteEntries(HPALETTE palette, uint32_t start, uint32_t count,
                                  const PALETTEENTRY* entries);
// Changes entries in place (palette animation); answers 1 on success.
// Entries meant for animation carry the flag PC_RESERVED.
constexpr uint8_t PC_RESERVED = 0x01;
ZP_API int32_t AnimatePalette(HPALETTE palette, uint32_t start, uint32_t count,
                              const PALETTEENTRY* entries);
// Index of the entry closest to the colour (squared RGB distance, lowest
// index on ties); CLR_INVALID for a bad or empty palette.
ZP_API uint32_t GetNearestPaletteIndex(HPALETTE palette, COLORREF colour);

// Device bitmaps, zero (black) at creation. Answers 0 for a size outside
// 1..kMaxBitmapSide or above kMaxBitmapPixels.
ZP_API HBITMAP CreateDeviceBitmap(int32_t width, int32_t height);
// Answers 1 and the size of a bitmap, 0 for a bad handle.
ZP_API int32_t GetDeviceBitmapSize(HBITMAP bitmap, int32_t* width, int32_t* height);
// The pixels (width * height words, top row first); valid until the bitmap is deleted.
ZP_API uint32_t* DeviceBitmapBits(HBITMAP bitmap);

// Device contexts: an off-screen 32-bit surface (pixels as a device bitmap's)
// that a widget owns and repaints from. Drawing code calls PresentSurfaceDC
// after each visible step; the owner's presenter repaints and lets pending
// events run. Size rules as CreateDeviceBitmap; the surface starts black.
using HDC = uintptr_t; // 0 = none
using SurfacePresenter = void (*)(void* user);
ZP_API HDC CreateSurfaceDC(int32_t width, int32_t height);
// The pixels (width * height words, top row first); valid until the DC is deleted.
ZP_API uint32_t* SurfaceDCBits(HDC dc);
// Answers 1 and the size, 0 for a bad handle.
ZP_API int32_t GetSurfaceDCSize(HDC dc, int32_t* width, int32_t* height);
// Sets (or with nullptr clears) the presenter; answers 1, 0 for a bad handle.
ZP_API int32_t SetSurfaceDCPresenter(HDC dc, SurfacePresenter present, void* user);
// Calls the presenter, if any, outside the handle table's lock; answers 1, 0
// for a bad handle.
ZP_API int32_t PresentSurfaceDC(HDC dc);

// Frees a palette, a device bitmap or a device context; answers 1 on success.
ZP_API int32_t DeleteObject(uintptr_t object);
ZP_API uint64_t GdiObjectCount();

// System colours (COLOR_BTNFACE ...). The Qt layer sets them from the
// application palette; defaults are the classic light theme.
constexpr int32_t COLOR_ACTIVECAPTION = 2;   // title bar of the active window
constexpr int32_t COLOR_INACTIVECAPTION = 3; // title bar of other windows
constexpr int32_t COLOR_WINDOW = 5;
constexpr int32_t COLOR_CAPTIONTEXT = 9;
constexpr int32_t COLOR_BTNFACE = 15;
constexpr int32_t COLOR_INACTIVECAPTIONTEXT = 19;
ZP_API COLORREF GetSysColor(int32_t index);
ZP_API void SetSysColor(int32_t index, COLORREF colour);
// A reference to a system colour rather than a colour: the high bit set and
// the COLOR_ index in the low byte. Records may hold one (a background
// chosen as "the window colour"); ColorToRGB gives the colour it stands for.
constexpr COLORREF kSysColorFlag = 0x80000000u;
constexpr COLORREF clBtnFace = kSysColorFlag | COLORREF(COLOR_BTNFACE);
inline COLORREF ColorToRGB(COLORREF colour) {
    return (colour & kSysColorFlag) ? GetSysColor(int32_t(colour & 0xFF)) : colour;
}

// The screen's facts. The depth can be changed (tests of depth-dependent rules).
ZP_API int32_t ScreenBitsPerPixel();
ZP_API void SetScreenBitsPerPixel(int32_t bits);
ZP_API int32_t SystemPaletteSize();

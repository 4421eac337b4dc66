#pragma once
// The packed records that the program, the platform library and the modules
// exchange. Layouts are those of the Windows headers, so a packed DIB made
// here is byte for byte a Windows bitmap file without its file header.
#include <cstdint>

using HGLOBAL = uintptr_t;  // 0 = none
using HBITMAP = uintptr_t;  // 0 = none
using HPALETTE = uintptr_t; // 0 = none
using HWNDLIKE = uintptr_t; // a window's opaque handle; 0 = none
using COLORREF = uint32_t;  // 0x00BBGGRR

#pragma pack(push, 1)
struct BITMAPINFOHEADER {
    uint32_t biSize;
    int32_t biWidth;
    int32_t biHeight; // positive: rows stored bottom-up
    uint16_t biPlanes;
    uint16_t biBitCount;
    uint32_t biCompression;
    uint32_t biSizeImage;
    int32_t biXPelsPerMeter;
    int32_t biYPelsPerMeter;
    uint32_t biClrUsed;
    uint32_t biClrImportant;
};
static_assert(sizeof(BITMAPINFOHEADER) == 40);

struct RGBQUAD {
    uint8_t rgbBlue;
    uint8_t rgbGreen;
    uint8_t rgbRed;
    uint8_t rgbReserved;
};
static_assert(sizeof(RGBQUAD) == 4);

struct PALETTEENTRY {
    uint8_t peRed;
    uint8_t peGreen;
    uint8_t peBlue;
    uint8_t peFlags;
};
static_assert(sizeof(PALETTEENTRY) == 4);

struct LOGPALETTE {
    uint16_t palVersion; // 0x300
    uint16_t palNumEntries;
    PALETTEENTRY palPalEntry[1];
};
#pragma pack(pop)

constexpr uint32_t BI_RGB = 0;

constexpr COLORREF RGB(uint8_t r, uint8_t g, uint8_t b) {
    return uint32_t(r) | (uint32_t(g) << 8) | (uint32_t(b) << 16);
}
constexpr uint8_t GetRValue(COLORREF c) {
    return uint8_t(c);
}
constexpr uint8_t GetGValue(COLORREF c) {
    return uint8_t(c >> 8);
}
constexpr uint8_t GetBValue(COLORREF c) {
    return uint8_t(c >> 16);
}

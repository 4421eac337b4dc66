#pragma once
// "Pictavo 3.0 Palette" files (*.PVP), 1047 bytes, little-endian:
// offset 0 the header text's length (18), 1..20 "pictavo 30 palette"
// zero-filled, 21 the colour count (signed 16 bits), 23 256 entries of red,
// green, blue, flags.
//
// Older writers stored only entries 0 .. count - 2 and left the last slot
// zero. Files we write store every entry and mark it in the last byte of
// the header field (offset 20 = 1), which the header compare (the text's 18
// characters) does not look at; an unmarked file is read as the older
// writers meant it, its last entry left as the picture had it.
#include "platform/WinTypes.h"

#include <array>
#include <cstdint>
#include <string>

namespace pvpalette {

inline constexpr size_t kFileSize = 1047;

struct Palette {
    int16_t count = 0;
    std::array<RGBQUAD, 256> entries{}; // blue, green, red, reserved as a DIB holds them
    bool complete = true;               // every entry of count is meaningful
};

// Empty text on success, else "Could not create file!" (or a write failure).
std::string Write(const std::string& path, const BITMAPINFOHEADER* dib);
// Empty text on success, else "Could not open file!" or why the file was refused.
std::string Read(const std::string& path, Palette& palette);
// Sets the DIB's colour table from the palette: the entries the file
// carries, at most as many as the table holds.
void ApplyTo(const Palette& palette, BITMAPINFOHEADER* dib);

} // namespace pvpalette

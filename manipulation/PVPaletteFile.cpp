#include "manipulation/PVPaletteFile.h"

#include <algorithm>
#include <cstring>
#include <fstream>

namespace pvpalette {

namespace {

constexpr char kHeader[] = "pictavo 30 palette";
constexpr size_t kHeaderLength = sizeof kHeader - 1; // 18
constexpr uint8_t kCompleteMark = 1;

uint32_t ColoursOf(const BITMAPINFOHEADER* dib) {
    if (!dib || dib->biBitCount > 8) return 0;
    return dib->biClrUsed ? std::min<uint32_t>(dib->biClrUsed, 256) : 1u << dib->biBitCount;
}

RGBQUAD* TableOf(BITMAPINFOHEADER* dib) {
    return reinterpret_cast<RGBQUAD*>(reinterpret_cast<uint8_t*>(dib) + dib->biSize);
}

} // namespace

std::string Write(const std::string& path, const BITMAPINFOHEADER* dib) {
    uint8_t bytes[kFileSize] = {};
    bytes[0] = kHeaderLength;
    std::memcpy(bytes + 1, kHeader, kHeaderLength);
    bytes[20] = kCompleteMark;
    const uint32_t count = ColoursOf(dib);
    bytes[21] = uint8_t(count & 0xFF);
    bytes[22] = uint8_t(count >> 8);
    const auto* table = count ? TableOf(const_cast<BITMAPINFOHEADER*>(dib)) : nullptr;
    for (uint32_t i = 0; i < count; ++i) {
        uint8_t* e = bytes + 23 + 4 * i;
        e[0] = table[i].rgbRed;
        e[1] = table[i].rgbGreen;
        e[2] = table[i].rgbBlue;
        e[3] = 0;
    }
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) return "Could not create file!";
    out.write(reinterpret_cast<const char*>(bytes), kFileSize);
    out.close();
    if (!out) return "Could not write the whole palette file!";
    return {};
}

std::string Read(const std::string& path, Palette& palette) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return "Could not open file!";
    uint8_t bytes[kFileSize + 1] = {};
    in.read(reinterpret_cast<char*>(bytes), kFileSize + 1);
    if (size_t(in.gcount()) != kFileSize) return "Not a palette file!";
    if (bytes[0] != kHeaderLength || std::memcmp(bytes + 1, kHeader, kHeaderLength) != 0)
        return "Not a palette file!";
    const int16_t count = int16_t(bytes[21] | (bytes[22] << 8));
    if (count < 0 || count > 256) return "Not a palette file!";
    palette.count = count;
    palette.complete = bytes[20] == kCompleteMark;
    for (int i = 0; i < 256; ++i) {
        const uint8_t* e = bytes + 23 + 4 * i;
        palette.entries[size_t(i)] = RGBQUAD{e[2], e[1], e[0], e[3]};
    }
    return {};
}

void ApplyTo(const Palette& palette, BITMAPINFOHEADER* dib) {
    const uint32_t colours = ColoursOf(dib);
    const int stored = palette.complete ? palette.count : palette.count - 1;
    const int n = std::min<int>(stored, int(colours));
    RGBQUAD* table = colours ? TableOf(dib) : nullptr;
    for (int i = 0; i < n; ++i)
        table[i] = RGBQUAD{palette.entries[size_t(i)].rgbBlue, palette.entries[size_t(i)].rgbGreen,
                           palette.entries[size_t(i)].rgbRed, 0};
}

} // namespace pvpalette

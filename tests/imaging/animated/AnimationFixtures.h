#pragma once
// Frames built the way the editor builds them, for save/load tests.
#include "imaging/animated/PVAnimationModel.h"
#include "imaging/animated/PVTDib.h"
#include "platform/GlobalMemory.h"

#include <functional>

namespace fixtures {

// A record with a DIB of the given depth; pixel(x, y) gives the index and
// colour(i) the table entry.
inline TMyGifAnimation* frame(int width, int height, int bits,
                              const std::function<uint8_t(int, int)>& pixel,
                              const std::function<RGBQUAD(int)>& colour) {
    const uint32_t colours = 1u << bits;
    const size_t stride = ((size_t(bits) * width + 31) / 32) * 4;
    HGLOBAL h = GlobalAlloc(GHND, 40 + colours * 4 + stride * height);
    auto* header = static_cast<BITMAPINFOHEADER*>(GlobalLock(h));
    *header = BITMAPINFOHEADER{
        40, width, height, 1, uint16_t(bits), 0, uint32_t(stride * height), 0, 0, colours, colours};
    auto* table = reinterpret_cast<RGBQUAD*>(reinterpret_cast<uint8_t*>(header) + 40);
    for (uint32_t i = 0; i < colours; ++i)
        table[i] = colour(int(i));
    uint8_t* bitsStart = reinterpret_cast<uint8_t*>(table + colours);
    for (int y = 0; y < height; ++y) {
        uint8_t* row = bitsStart + stride * size_t(height - 1 - y);
        for (int x = 0; x < width; ++x) {
            const uint8_t v = pixel(x, y);
            if (bits == 8)
                row[x] = v;
            else if (bits == 4)
                row[x / 2] |= (x & 1) ? (v & 15) : uint8_t(v << 4);
            else if (v & 1)
                row[x / 8] |= uint8_t(0x80 >> (x & 7));
        }
    }
    GlobalUnlock(h);
    auto* record = new TMyGifAnimation;
    record->Name = "New Frame";
    record->Width = int16_t(width);
    record->Height = int16_t(height);
    record->DibHandle = h;
    return record;
}

// Palette index of pixel (x, y) of a record's picture.
inline int indexAt(HGLOBAL dib, int x, int y) {
    PVWebImg::PVTDib view;
    view.OwnsDib = false;
    view.SetDib(GlobalLock(dib));
    const int bits = view.BitCount();
    const size_t stride = ((size_t(bits) * view.Width() + 31) / 32) * 4;
    const uint8_t* row = view.Bits() + stride * size_t(view.Height() - 1 - y);
    int v = bits == 8   ? row[x]
            : bits == 4 ? ((x & 1) ? row[x / 2] & 15 : row[x / 2] >> 4)
                        : (row[x / 8] >> (7 - (x & 7))) & 1;
    GlobalUnlock(dib);
    return v;
}

inline RGBQUAD colourOf(HGLOBAL dib, int index) {
    PVWebImg::PVTDib view;
    view.OwnsDib = false;
    view.SetDib(GlobalLock(dib));
    const RGBQUAD c = view.ColorTable()[index];
    GlobalUnlock(dib);
    return c;
}

} // namespace fixtures

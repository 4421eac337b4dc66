#include "libs/codec/core/GifFrameDib.h"

#include "libs/imagecore/Dib.h"
#include "platform/GlobalBlock.h"

#include <cstring>

namespace gifcore {

namespace {

uint8_t orOfAll(const uint8_t* p, size_t n) {
    uint64_t acc = 0;
    size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        uint64_t w;
        std::memcpy(&w, p + i, 8);
        acc |= w;
    }
    for (; i < n; ++i)
        acc |= p[i];
    acc |= acc >> 32;
    acc |= acc >> 16;
    acc |= acc >> 8;
    return uint8_t(acc);
}

void packRow(const uint8_t* in, int32_t width, int32_t bits, uint8_t* out) {
    switch (bits) {
    case 8:
        std::memcpy(out, in, size_t(width));
        break;
    case 4: {
        int32_t x = 0;
        for (; x + 1 < width; x += 2)
            *out++ = uint8_t((in[x] << 4) | (in[x + 1] & 0x0F));
        if (x < width) *out = uint8_t(in[x] << 4);
        break;
    }
    default: { // 1 bit
        for (int32_t x = 0; x < width; x += 8) {
            uint8_t b = 0;
            const int32_t n = width - x < 8 ? width - x : 8;
            for (int32_t i = 0; i < n; ++i)
                b |= uint8_t((in[x + i] & 1) << (7 - i));
            *out++ = b;
        }
        break;
    }
    }
}

} // namespace

int32_t depthForTable(uint32_t count) {
    if (count <= 2) return 1;
    if (count <= 16) return 4;
    return 8;
}

void toRgbQuads(const GifColorTable& table, RGBQUAD* out) {
    for (uint32_t i = 0; i < table.count; ++i)
        out[i] = RGBQUAD{table.rgb[i][2], table.rgb[i][1], table.rgb[i][0], 0};
}

HGLOBAL makeImageDib(const GifImage& image, uint32_t mapColour) {
    const GifColorTable& table = *image.colors;
    const int32_t width = image.width, height = image.height;
    int32_t bits = depthForTable(table.count);
    const uint8_t used = orOfAll(image.pixels, size_t(width) * size_t(height));
    if (bits == 1 && used > 1) bits = 4;
    if (bits == 4 && used > 15) bits = 8;

    RGBQUAD colours[256];
    toRgbQuads(table, colours);
    const GifControl& control = image.control;
    if (control.transparent && control.transparentIndex < table.count &&
        mapColour != kKeepTransparentColour)
        colours[control.transparentIndex] =
            RGBQUAD{GetBValue(mapColour), GetGValue(mapColour), GetRValue(mapColour), 0};

    zp::GlobalBlock dib(ic::createDib(width, height, bits, colours, table.count));
    if (!dib) return 0;
    {
        ic::MutableDib target(dib.get());
        if (!target.ok()) return 0;
        for (int32_t y = 0; y < height; ++y)
            packRow(image.row(y), width, bits, target.row(y));
    }
    return dib.release();
}

} // namespace gifcore

// The codec's DIB and bitmap entry points: packed DIB <-> device bitmap and
// depth conversions. Every DIB handed in is checked against the global block
// that holds it before a pixel is read; nothing throws past these functions.
#include "libs/codec/CodecErrors.h"
#include "libs/codec/PvCodec.h"
#include "libs/imagecore/DibConvert.h"
#include "platform/Gdi.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <new>
#include <utility>
#include <vector>

namespace {

bool supportedDepth(int32_t bits) {
    return bits == 1 || bits == 4 || bits == 8 || bits == 24;
}

// The palette used when the caller asks for no palette design and gives
// none: black and white; the 16 standard colours; a 6x6x6 cube and 40 greys.
std::vector<PALETTEENTRY> fixedPalette(int32_t bits) {
    std::vector<PALETTEENTRY> p;
    if (bits == 1) return {{0, 0, 0, 0}, {255, 255, 255, 0}};
    if (bits == 4) {
        p = {{0, 0, 0, 0},       {128, 0, 0, 0},   {0, 128, 0, 0},   {128, 128, 0, 0},
             {0, 0, 128, 0},     {128, 0, 128, 0}, {0, 128, 128, 0}, {192, 192, 192, 0},
             {128, 128, 128, 0}, {255, 0, 0, 0},   {0, 255, 0, 0},   {255, 255, 0, 0},
             {0, 0, 255, 0},     {255, 0, 255, 0}, {0, 255, 255, 0}, {255, 255, 255, 0}};
        return p;
    }
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
            for (int b = 0; b < 6; ++b)
                p.push_back({uint8_t(r * 51), uint8_t(g * 51), uint8_t(b * 51), 0});
    for (int i = 1; i <= 40; ++i) {
        const uint8_t v = uint8_t((i * 255 + 20) / 41);
        p.push_back({v, v, v, 0});
    }
    return p;
}

// A temporary palette of the given entries, deleted with the owner.
class TemporaryPalette {
  public:
    explicit TemporaryPalette(const std::vector<PALETTEENTRY>& entries) {
        std::vector<uint8_t> record(sizeof(LOGPALETTE) + sizeof(PALETTEENTRY) * entries.size());
        auto* log = reinterpret_cast<LOGPALETTE*>(record.data());
        log->palVersion = 0x300;
        log->palNumEntries = uint16_t(entries.size());
        std::memcpy(record.data() + offsetof(LOGPALETTE, palPalEntry), entries.data(),
                    sizeof(PALETTEENTRY) * entries.size());
        handle_ = CreatePalette(log);
    }
    TemporaryPalette(const TemporaryPalette&) = delete;
    TemporaryPalette& operator=(const TemporaryPalette&) = delete;
    ~TemporaryPalette() {
        if (handle_) DeleteObject(handle_);
    }
    HPALETTE get() const { return handle_; }

  private:
    HPALETTE handle_ = 0;
};

// The DIB of a depth-conversion entry point; 0 unless it is a well-formed
// DIB of depth `from` inside a global block.
uintptr_t convertFrom(const void* lockedDib, int32_t from, int32_t to) {
    try {
        ic::DibView view;
        if (!ic::parseDib(lockedDib, 0, view) || view.bpp != from) return 0;
        return ic::convertDibDepth(view, to, false);
    } catch (...) {
        return 0;
    }
}

} // namespace

// A device bitmap of the DIB and, for 1/4/8-bit DIBs, a palette of its
// colour table (0 for 24 bits). Both become the caller's.
PVCODEC_API int32_t DibtoDdb(const void* lockedDib, uintptr_t* bitmap, uintptr_t* palette) {
    try {
        if (!bitmap || !palette) return PVE_BAD_ARGUMENT;
        *bitmap = 0;
        *palette = 0;
        ic::DibView view;
        if (!ic::parseDib(lockedDib, 0, view)) return PVE_BAD_DIB;
        if (!ic::dibToDeviceBitmap(view, bitmap, palette)) return PVE_NO_MEMORY;
        return PVE_OK;
    } catch (const std::bad_alloc&) {
        return PVE_NO_MEMORY;
    } catch (...) {
        return PVE_INTERNAL;
    }
}

// A new movable packed DIB of `bits` (1, 4, 8, 24) from a device bitmap.
// dither: non-zero spreads the error (Floyd-Steinberg). `user` and
// `reserved` are unused.
// optimize != 0: a palette of at most 2^bits entries is used as the colour
//   table; without one (or with a larger one) an optimal palette is built
//   for the picture, exact when the picture has few enough colours.
// optimize == 0: no palette is designed: the given palette is used as is
//   (its first 2^bits entries), or without one a fixed palette.
PVCODEC_API int32_t DdbtoDib(uintptr_t bitmap, uintptr_t palette, int32_t bits, int32_t dither,
                             void* /*user*/, int32_t optimize, int32_t /*reserved*/,
                             uintptr_t* dib) {
    try {
        if (!dib) return PVE_BAD_ARGUMENT;
        *dib = 0;
        if (!supportedDepth(bits)) return PVE_BAD_DEPTH;
        int32_t width = 0, height = 0;
        if (!GetDeviceBitmapSize(bitmap, &width, &height)) return PVE_BAD_BITMAP;
        // An unknown palette handle counts as none.
        const uint32_t entries = palette ? GetPaletteEntries(palette, 0, 0, nullptr) : 0;
        HGLOBAL made = 0;
        if (optimize != 0 || bits == 24) {
            made = ic::deviceBitmapToDib(bitmap, entries ? palette : 0, bits, dither != 0);
        } else {
            std::vector<PALETTEENTRY> table;
            if (entries) {
                table.resize(std::min<uint32_t>(entries, 1u << bits));
                GetPaletteEntries(palette, 0, uint32_t(table.size()), table.data());
            } else {
                table = fixedPalette(bits);
            }
            TemporaryPalette fixed(table);
            if (!fixed.get()) return PVE_NO_MEMORY;
            made = ic::deviceBitmapToDib(bitmap, fixed.get(), bits, dither != 0);
        }
        if (!made) return PVE_NO_MEMORY;
        *dib = made;
        return PVE_OK;
    } catch (const std::bad_alloc&) {
        return PVE_NO_MEMORY;
    } catch (...) {
        return PVE_INTERNAL;
    }
}

PVCODEC_API uintptr_t CopyDIB(const void* lockedDib) {
    try {
        ic::DibView view;
        if (!ic::parseDib(lockedDib, 0, view)) return 0;
        return ic::copyDib(view);
    } catch (...) {
        return 0;
    }
}

PVCODEC_API uintptr_t DIB1To4(const void* lockedDib) {
    return convertFrom(lockedDib, 1, 4);
}
PVCODEC_API uintptr_t DIB1To8(const void* lockedDib) {
    return convertFrom(lockedDib, 1, 8);
}
PVCODEC_API uintptr_t DIB1To24(const void* lockedDib) {
    return convertFrom(lockedDib, 1, 24);
}
PVCODEC_API uintptr_t DIB4To8(const void* lockedDib) {
    return convertFrom(lockedDib, 4, 8);
}
PVCODEC_API uintptr_t DIB4To24(const void* lockedDib) {
    return convertFrom(lockedDib, 4, 24);
}
PVCODEC_API uintptr_t DIB8To24(const void* lockedDib) {
    return convertFrom(lockedDib, 8, 24);
}

#include "libs/imagecore/DibConvert.h"
#include "libs/imagecore/Quantizer.h"
#include "platform/Gdi.h"
#include "platform/GlobalBlock.h"

#include <array>
#include <cstddef>
#include <cstring>
#include <new>
#include <utility>

namespace ic {

namespace {

bool supportedDepth(int bits) {
    return bits == 1 || bits == 4 || bits == 8 || bits == 24;
}

// Deletes a palette or bitmap unless it was handed on.
class GdiOwner {
  public:
    explicit GdiOwner(uintptr_t object) : object_(object) {}
    GdiOwner(const GdiOwner&) = delete;
    GdiOwner& operator=(const GdiOwner&) = delete;
    ~GdiOwner() {
        if (object_) DeleteObject(object_);
    }
    uintptr_t get() const { return object_; }
    uintptr_t release() { return std::exchange(object_, 0); }

  private:
    uintptr_t object_;
};

// A 24-bit DIB from 0x00RRGGBB words (top row first; a fourth byte is ignored).
HGLOBAL trueColorDib(const RgbImage& image) {
    zp::GlobalBlock out(createDib(image.width, image.height, 24, nullptr));
    if (!out) return 0;
    {
        MutableDib dib(out.get());
        if (!dib.ok()) return 0;
        for (int32_t y = 0; y < image.height; ++y) {
            const uint32_t* src = image.pixels + size_t(y) * size_t(image.width);
            uint8_t* dst = dib.row(y);
            for (int32_t x = 0; x < image.width; ++x, dst += 3) {
                dst[0] = uint8_t(src[x]);
                dst[1] = uint8_t(src[x] >> 8);
                dst[2] = uint8_t(src[x] >> 16);
            }
        }
    }
    return out.release();
}

// A DIB of `bits` with the given table whose pixels are remap[source index].
HGLOBAL remappedDib(const DibView& dib, int bits, const RGBQUAD* table, uint32_t tableSize,
                    const std::array<uint8_t, 256>& remap) {
    zp::GlobalBlock out(createDib(dib.width, dib.height, bits, table, tableSize));
    if (!out) return 0;
    {
        MutableDib target(out.get());
        if (!target.ok()) return 0;
        for (int32_t y = 0; y < dib.height; ++y)
            for (int32_t x = 0; x < dib.width; ++x)
                target.setIndex(x, y, remap[dib.index(x, y)]);
    }
    return out.release();
}

// Lowers (or keeps) the depth of a palette picture without losing a colour,
// when the colours its pixels use fit in 2^bits entries; 0 when they do not.
HGLOBAL indexedWithoutLoss(const DibView& dib, int bits) {
    std::array<bool, 256> used{};
    for (int32_t y = 0; y < dib.height; ++y)
        for (int32_t x = 0; x < dib.width; ++x)
            used[dib.index(x, y)] = true;
    int highest = 0;
    for (int i = 0; i < 256; ++i)
        if (used[size_t(i)]) highest = i;
    const uint32_t capacity = 1u << bits;
    std::array<uint8_t, 256> remap{};
    // The table and indices fit as they are: keep both.
    if (dib.colorCount <= capacity && uint32_t(highest) < capacity) {
        for (int i = 0; i < 256; ++i)
            remap[size_t(i)] = uint8_t(i);
        return remappedDib(dib, bits, dib.colors, dib.colorCount, remap);
    }
    // Else a table of the distinct colours in use, in index order. Indices
    // beyond the table show black, so they become black.
    std::vector<RGBQUAD> table;
    for (int i = 0; i < 256; ++i) {
        if (!used[size_t(i)]) continue;
        RGBQUAD c = uint32_t(i) < dib.colorCount ? dib.colors[i] : RGBQUAD{0, 0, 0, 0};
        c.rgbReserved = 0;
        size_t j = 0;
        while (j < table.size() && std::memcmp(&table[j], &c, sizeof c) != 0)
            ++j;
        if (j == table.size()) {
            if (table.size() == capacity) return 0;
            table.push_back(c);
        }
        remap[size_t(i)] = uint8_t(j);
    }
    return remappedDib(dib, bits, table.data(), uint32_t(table.size()), remap);
}

// A GDI palette holding the DIB's colour table; 0 on failure.
HPALETTE paletteOf(const DibView& dib) {
    const uint32_t n = dib.colorCount;
    std::vector<uint8_t> record(sizeof(LOGPALETTE) + sizeof(PALETTEENTRY) * n);
    auto* log = reinterpret_cast<LOGPALETTE*>(record.data());
    log->palVersion = 0x300;
    log->palNumEntries = uint16_t(n);
    uint8_t* entries = record.data() + offsetof(LOGPALETTE, palPalEntry); // n entries
    for (uint32_t i = 0; i < n; ++i) {
        const PALETTEENTRY e{dib.colors[i].rgbRed, dib.colors[i].rgbGreen, dib.colors[i].rgbBlue,
                             0};
        std::memcpy(entries + i * sizeof e, &e, sizeof e);
    }
    return CreatePalette(log);
}

} // namespace

HGLOBAL convertDibDepth(const DibView& dib, int bits, bool dither) {
    if (!dib.bits || !supportedDepth(bits)) return 0;
    try {
        if (dib.bpp != 24 && bits != 24) {
            if (HGLOBAL exact = indexedWithoutLoss(dib, bits)) return exact;
        }
        const std::vector<uint32_t> pixels = toRgb(dib);
        if (pixels.empty()) return 0;
        const RgbImage image{dib.width, dib.height, pixels.data()};
        if (bits == 24) return trueColorDib(image);
        return reduceToPalette(image, bits, dither);
    } catch (const std::bad_alloc&) {
        return 0;
    }
}

bool dibToDeviceBitmap(const DibView& dib, HBITMAP* bitmap, HPALETTE* palette) {
    if (!bitmap || !palette) return false;
    *bitmap = 0;
    *palette = 0;
    if (!dib.bits) return false;
    try {
        GdiOwner newBitmap(CreateDeviceBitmap(dib.width, dib.height));
        uint32_t* pixels = DeviceBitmapBits(newBitmap.get());
        if (!pixels) return false;
        const std::vector<uint32_t> rgb = toRgb(dib);
        if (rgb.empty()) return false;
        std::memcpy(pixels, rgb.data(), rgb.size() * sizeof(uint32_t));
        GdiOwner newPalette(dib.bpp != 24 ? paletteOf(dib) : 0);
        if (dib.bpp != 24 && !newPalette.get()) return false;
        *bitmap = newBitmap.release();
        *palette = newPalette.release();
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

HGLOBAL deviceBitmapToDib(HBITMAP bitmap, HPALETTE palette, int bits, bool dither) {
    if (!supportedDepth(bits)) return 0;
    int32_t width = 0, height = 0;
    if (!GetDeviceBitmapSize(bitmap, &width, &height)) return 0;
    const uint32_t* pixels = DeviceBitmapBits(bitmap);
    if (!pixels) return 0;
    const RgbImage image{width, height, pixels};
    try {
        if (bits == 24) return trueColorDib(image);
        const uint32_t n = palette ? GetPaletteEntries(palette, 0, 0, nullptr) : 0;
        if (n >= 1 && n <= (1u << bits)) {
            std::vector<PALETTEENTRY> entries(n);
            GetPaletteEntries(palette, 0, n, entries.data());
            std::vector<RGBQUAD> table;
            for (const PALETTEENTRY& e : entries)
                table.push_back(RGBQUAD{e.peBlue, e.peGreen, e.peRed, 0});
            return mapToPalette(image, table, bits, dither);
        }
        return reduceToPalette(image, bits, dither);
    } catch (const std::bad_alloc&) {
        return 0;
    }
}

HGLOBAL copyDib(const DibView& dib) {
    if (!dib.header || !dib.bits) return 0;
    const uint64_t bytes = uint64_t(dib.bits - reinterpret_cast<const uint8_t*>(dib.header)) +
                           uint64_t(dib.stride) * uint64_t(dib.height);
    zp::GlobalBlock out(GlobalAlloc(GHND, bytes));
    if (!out) return 0;
    {
        zp::GlobalLockGuard lock(out.get());
        if (!lock) return 0;
        std::memcpy(lock.data(), dib.header, size_t(bytes));
    }
    return out.release();
}

} // namespace ic

#pragma once
// Access to packed DIBs (information header, colour table, bottom-up rows
// padded to 4 bytes) for the modules. Every DIB that crosses a module
// boundary is checked by parseDib before a pixel is touched.
#include "platform/GlobalMemory.h"
#include "platform/WinTypes.h"
#include <cstddef>
#include <cstdint>

namespace ic {

// Largest picture any module makes or accepts. The limit is on memory: a
// side may reach 65535 (what GIF, PNG and browsers allow) as long as the
// pixels stay within 1 GiB, so a 65535 x 1 strip is legal and 65535 x 65535
// at 24 bits is not.
constexpr int32_t kMaxSide = 65535;
constexpr uint64_t kMaxPixelBytes = uint64_t(1) << 30;

// True when a width x height picture of `bits` per pixel, in DIB rows padded
// to 4 bytes, is within both limits. 64-bit throughout, so no claim from a
// file can wrap; sides of 0 pass (what an empty picture means is the
// caller's rule).
constexpr bool fitsLimits(uint64_t width, uint64_t height, uint32_t bits) {
    return width <= uint64_t(kMaxSide) && height <= uint64_t(kMaxSide) && bits <= 64 &&
           (width * bits + 31) / 32 * 4 * height <= kMaxPixelBytes;
}

struct DibView {
    const BITMAPINFOHEADER* header = nullptr;
    const RGBQUAD* colors = nullptr; // colorCount entries; nullptr for 24 bits
    uint32_t colorCount = 0;
    const uint8_t* bits = nullptr; // first stored row (the bottom row when bottomUp)
    int32_t width = 0;
    int32_t height = 0; // always positive
    int32_t bpp = 0;    // 1, 4, 8 or 24
    size_t stride = 0;
    bool bottomUp = true;

    // Row y counted from the top of the picture.
    const uint8_t* row(int32_t y) const {
        return bits + stride * size_t(bottomUp ? height - 1 - y : y);
    }
    // Palette index of pixel (x, y) for 1/4/8 bits.
    uint8_t index(int32_t x, int32_t y) const;
    // Colour of pixel (x, y) as 0x00RRGGBB (index looked up; out-of-table indices black).
    uint32_t rgb(int32_t x, int32_t y) const;
};

size_t dibStride(int32_t width, int32_t bits);
// Colour count: biClrUsed when above 0, else 2^bits, 0 for 24 bits.
uint32_t dibColorCount(const BITMAPINFOHEADER& h);
// Checks header, depth (1/4/8/24, uncompressed), size limits and that the
// table and rows fit in `available` bytes. With available = 0 the size is
// taken from the global block holding the pointer (0 when none is found).
bool parseDib(const void* dib, uint64_t available, DibView& out);

// A new zero-filled packed DIB block (not locked). colors may be nullptr
// (table left zero); colorCount 0 means 2^bits. 0 when the size is refused
// or memory runs out.
HGLOBAL createDib(int32_t width, int32_t height, int32_t bits, const RGBQUAD* colors,
                  uint32_t colorCount = 0);

// Writable view of a DIB made by createDib (locks the block for its scope).
class MutableDib {
  public:
    explicit MutableDib(HGLOBAL block);
    ~MutableDib();
    MutableDib(const MutableDib&) = delete;
    MutableDib& operator=(const MutableDib&) = delete;
    bool ok() const { return ok_; }
    const DibView& view() const { return view_; }
    uint8_t* row(int32_t y) const { return const_cast<uint8_t*>(view_.row(y)); }
    RGBQUAD* colors() const { return const_cast<RGBQUAD*>(view_.colors); }
    void setIndex(int32_t x, int32_t y, uint8_t index);

  private:
    HGLOBAL block_;
    DibView view_;
    bool ok_ = false;
};

// A true-colour picture as 0x00RRGGBB words, top row first.
struct RgbImage {
    int32_t width = 0;
    int32_t height = 0;
    const uint32_t* pixels = nullptr;
};

} // namespace ic

#include "libs/codec/core/BmpDecoder.h"

#include "libs/codec/CodecErrors.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <vector>

namespace gifcore {

namespace {

// One colour channel of a bit-field pixel, scaled to 8 bits.
class Channel {
  public:
    explicit Channel(uint32_t mask) : mask_(mask) {
        if (!mask) return;
        shift_ = std::countr_zero(mask);
        max_ = mask >> shift_; // non-contiguous masks still scale safely
        if (max_ <= 0xFFFF) {
            lut_.resize(size_t(max_) + 1);
            for (uint32_t v = 0; v <= max_; ++v)
                lut_[v] = scale(v);
        }
    }
    uint8_t operator()(uint32_t pixel) const {
        if (!mask_) return 0;
        const uint32_t v = (pixel & mask_) >> shift_;
        return lut_.empty() ? scale(v) : lut_[v];
    }

  private:
    uint8_t scale(uint32_t v) const { return uint8_t((uint64_t(v) * 255 + max_ / 2) / max_); }
    uint32_t mask_;
    int shift_ = 0;
    uint32_t max_ = 0;
    std::vector<uint8_t> lut_;
};

// Stored row r of the file lands on this row of the (bottom-up) DIB.
uint8_t* targetRow(const BmpLayout& l, ic::MutableDib& dib, int32_t r) {
    return dib.row(l.topDown ? r : l.height - 1 - r);
}

void convertFields(const BmpLayout& l, const uint8_t* src, uint8_t* dst, const Channel& red,
                   const Channel& green, const Channel& blue) {
    const bool plain32 =
        l.bits == 32 && l.masks[0] == 0xFF0000 && l.masks[1] == 0xFF00 && l.masks[2] == 0xFF;
    if (plain32) {
        for (int32_t x = 0; x < l.width; ++x, src += 4, dst += 3)
            dst[0] = src[0], dst[1] = src[1], dst[2] = src[2];
        return;
    }
    const int step = l.bits / 8;
    for (int32_t x = 0; x < l.width; ++x, src += step, dst += 3) {
        const uint32_t px = step == 2 ? le16(src) : le32(src);
        dst[0] = blue(px), dst[1] = green(px), dst[2] = red(px);
    }
}

void expandTwoBits(const uint8_t* src, uint8_t* dst, int32_t width) {
    for (int32_t x = 0; x < width; x += 2) {
        const uint8_t b = src[x / 4];
        const int shift = 6 - 2 * (x % 4);
        const uint8_t hi = (b >> shift) & 3, lo = (b >> (shift - 2)) & 3;
        dst[x / 2] = uint8_t(hi << 4 | (x + 1 < width ? lo : 0));
    }
}

int32_t decodeRows(const BmpLayout& l, const uint8_t* pixels, const Progress& progress,
                   ic::MutableDib& dib) {
    // The caller checked that the rows fit; the last row's padding may be missing.
    const uint64_t stride = bmpStride(l.width, l.bits);
    const size_t rowBytes = size_t((uint64_t(l.width) * uint64_t(l.bits) + 7) / 8);
    const Channel red(l.masks[0]), green(l.masks[1]), blue(l.masks[2]);
    RowProgress rows(progress, l.height);
    for (int32_t r = 0; r < l.height; ++r) {
        const uint8_t* src = pixels + stride * uint64_t(r);
        uint8_t* dst = targetRow(l, dib, r);
        if (l.bits == 2)
            expandTwoBits(src, dst, l.width);
        else if (l.bits <= 8 || l.bits == 24)
            std::memcpy(dst, src, rowBytes);
        else
            convertFields(l, src, dst, red, green, blue);
        if (!rows.row(r + 1)) return PVE_CANCELLED;
    }
    return PVE_OK;
}

} // namespace

bool isBmp(const uint8_t* data, size_t size) {
    if (size < 18 || data[0] != 'B' || data[1] != 'M') return false;
    const uint32_t header = le32(data + 14);
    return header == 12 || (header >= 16 && header <= 4096);
}

int32_t readBmpLayout(const uint8_t* data, size_t size, BmpLayout& out) {
    if (size < 14 || data[0] != 'B' || data[1] != 'M') return PVE_BMP_SIGNATURE;
    const uint32_t offBits = le32(data + 10);
    return parseBmpHeader(data + 14, size - 14, offBits >= 14 ? offBits - 14 : 0, out);
}

int32_t decodeBmpPixels(const BmpLayout& l, const uint8_t* pixels, size_t available,
                        const Progress& progress, zp::GlobalBlock& out) {
    const bool rle = l.compression == BmpCompression::Rle4 || l.compression == BmpCompression::Rle8;
    const uint64_t pixelCount = uint64_t(l.width) * uint64_t(l.height);
    // Checked before the picture is allocated, so a tiny file cannot claim a huge one.
    if (!rle && available < bmpStride(l.width, l.bits) * uint64_t(l.height - 1) +
                                (uint64_t(l.width) * uint64_t(l.bits) + 7) / 8)
        return PVE_BMP_SHORT;
    // Real encoders spend at least a byte per 128 pixels (runs of 255 with
    // line ends); only end codes and jumps over undefined pixels do better.
    if (rle && pixelCount > (uint64_t(1) << 24) && pixelCount / 1024 > available)
        return PVE_BMP_RLE;
    const int32_t outBits = l.bits > 8 ? 24 : (l.bits == 2 ? 4 : l.bits);
    std::vector<RGBQUAD> table;
    if (outBits <= 8) {
        table = l.colors;
        table.resize(size_t(1) << outBits, RGBQUAD{0, 0, 0, 0});
    }
    zp::GlobalBlock block(ic::createDib(l.width, l.height, outBits,
                                        table.empty() ? nullptr : table.data(),
                                        uint32_t(table.size())));
    if (!block) return PVE_NO_MEMORY;
    {
        ic::MutableDib dib(block.get());
        if (!dib.ok()) return PVE_NO_MEMORY;
        if (rle) {
            bool cancelled = false;
            decodeBmpRle(pixels, available, l.compression == BmpCompression::Rle4, dib, progress,
                         cancelled);
            if (cancelled) return PVE_CANCELLED;
        } else {
            const int32_t rc = decodeRows(l, pixels, progress, dib);
            if (rc != PVE_OK) return rc;
        }
    }
    out = std::move(block);
    return PVE_OK;
}

int32_t decodeBmpFile(const uint8_t* data, size_t size, uint64_t maxPixels,
                      const Progress& progress, zp::GlobalBlock& out) {
    BmpLayout layout;
    const int32_t rc = readBmpLayout(data, size, layout);
    if (rc != PVE_OK) return rc;
    if (uint64_t(layout.width) * uint64_t(layout.height) > maxPixels) return PVE_TOO_LARGE;
    // A pixel offset inside the headers or past the end is a writer's slip;
    // the pixels then follow the colour table.
    uint64_t start = le32(data + 10);
    if (start < 14 + layout.tableStart || start >= size) start = 14 + layout.tableEnd;
    const bool rle =
        layout.compression == BmpCompression::Rle4 || layout.compression == BmpCompression::Rle8;
    if (start >= size) return rle ? PVE_BMP_RLE : PVE_BMP_SHORT;
    return decodeBmpPixels(layout, data + start, size - size_t(start), progress, out);
}

int32_t decodeBmp(const uint8_t* data, size_t size, const StillOptions&, const Progress& progress,
                  zp::GlobalBlock& out) {
    return decodeBmpFile(data, size, kBmpMaxPixels, progress, out);
}

} // namespace gifcore

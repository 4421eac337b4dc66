#include "libs/codec/core/TgaDecoder.h"

#include "libs/codec/CodecErrors.h"
#include "libs/imagecore/Dib.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace gifcore {

namespace {

uint16_t le16(const uint8_t* p) {
    return uint16_t(p[0] | p[1] << 8);
}

uint8_t five(uint32_t v) {
    return uint8_t(((v & 31) * 255 + 15) / 31);
}

// A 15/16-bit, 24-bit or 32-bit little-endian BGR(A) value as an RGBQUAD.
RGBQUAD colourOf(const uint8_t* p, uint32_t bytes) {
    if (bytes == 2) {
        const uint32_t v = le16(p);
        return RGBQUAD{five(v), five(v >> 5), five(v >> 10), 0};
    }
    return RGBQUAD{p[0], p[1], p[2], 0};
}

bool validEntryBits(uint8_t bits) {
    return bits == 15 || bits == 16 || bits == 24 || bits == 32;
}

bool validDepth(uint8_t type, uint8_t bits) {
    switch (type & 7) {
    case 1:
        return bits == 8;
    case 2:
        return validEntryBits(bits);
    case 3:
        return bits == 8 || bits == 16;
    default:
        return false;
    }
}

// Pixels in stored order; run-length packets may continue into the next
// row, which the format allows.
class PixelReader {
  public:
    PixelReader(const uint8_t* p, const uint8_t* end, uint32_t bytes, bool rle)
        : p_(p), end_(end), bytes_(bytes), rle_(rle) {}
    bool row(uint8_t* out, int32_t count) {
        const size_t want = size_t(count) * bytes_;
        if (!rle_) {
            if (size_t(end_ - p_) < want) return false;
            std::memcpy(out, p_, want);
            p_ += want;
            return true;
        }
        int32_t done = 0;
        while (done < count) {
            if (left_ == 0) {
                if (p_ == end_) return false;
                const uint8_t h = *p_++;
                left_ = (h & 0x7F) + 1;
                run_ = (h & 0x80) != 0;
                if (run_) {
                    if (size_t(end_ - p_) < bytes_) return false;
                    std::memcpy(value_, p_, bytes_);
                    p_ += bytes_;
                }
            }
            const int32_t n = std::min(left_, count - done);
            uint8_t* dst = out + size_t(done) * bytes_;
            if (run_) {
                for (int32_t i = 0; i < n; ++i)
                    std::memcpy(dst + size_t(i) * bytes_, value_, bytes_);
            } else {
                if (size_t(end_ - p_) < size_t(n) * bytes_) return false;
                std::memcpy(dst, p_, size_t(n) * bytes_);
                p_ += size_t(n) * bytes_;
            }
            done += n;
            left_ -= n;
        }
        return true;
    }

  private:
    const uint8_t* p_;
    const uint8_t* end_;
    uint32_t bytes_;
    bool rle_;
    int32_t left_ = 0;
    bool run_ = false;
    uint8_t value_[4] = {};
};

// One stored row of raw pixels into a DIB row, mirrored when stored right
// to left.
void convertRow(const TgaHeader& h, const uint8_t* raw, uint8_t* row) {
    const uint32_t bytes = (h.pixelBits + 7u) / 8u;
    const int32_t w = h.width;
    const bool mirror = h.rightToLeft();
    const bool indexed = (h.imageType & 7) != 2;
    for (int32_t x = 0; x < w; ++x) {
        const uint8_t* p = raw + size_t(mirror ? w - 1 - x : x) * bytes;
        if (indexed) {
            row[x] = p[0]; // grey + alpha keeps the grey byte
            continue;
        }
        const RGBQUAD c = colourOf(p, bytes);
        row[x * 3] = c.rgbBlue;
        row[x * 3 + 1] = c.rgbGreen;
        row[x * 3 + 2] = c.rgbRed;
    }
}

} // namespace

int32_t parseTgaHeader(const uint8_t* data, size_t size, TgaHeader& h) {
    if (!data || size < kTgaHeaderSize) return PVE_TGA_HEADER;
    h.idLength = data[0];
    h.colorMapType = data[1];
    h.imageType = data[2];
    h.mapFirst = le16(data + 3);
    h.mapLength = le16(data + 5);
    h.mapEntryBits = data[7];
    h.width = le16(data + 12);
    h.height = le16(data + 14);
    h.pixelBits = data[16];
    h.descriptor = data[17];
    if (h.colorMapType > 1 || h.width == 0 || h.height == 0) return PVE_TGA_HEADER;
    const uint8_t base = h.imageType & 7;
    if ((h.imageType & ~8) > 3 || base == 0 || !validDepth(h.imageType, h.pixelBits))
        return PVE_TGA_TYPE;
    if (base == 1 && (h.colorMapType != 1 || h.mapLength == 0 || !validEntryBits(h.mapEntryBits)))
        return PVE_TGA_COLORMAP;
    if (h.colorMapType == 1 && h.mapOffset() + h.mapBytes() > size) return PVE_TGA_COLORMAP;
    if (h.mapOffset() > size) return PVE_TGA_HEADER;
    if (!ic::fitsLimits(uint32_t(h.width), uint32_t(h.height), base == 2 ? 24 : 8))
        return PVE_TOO_LARGE;
    return PVE_OK;
}

int32_t decodeTga(const uint8_t* data, size_t size, const StillOptions&, const Progress& progress,
                  zp::GlobalBlock& out) {
    TgaHeader h;
    const int32_t rc = parseTgaHeader(data, size, h);
    if (rc != PVE_OK) return rc;
    const uint8_t base = h.imageType & 7;
    std::vector<RGBQUAD> table;
    if (base == 1) {
        // Pixel value v names map entry v - first; values outside the map stay black.
        table.assign(256, RGBQUAD{0, 0, 0, 0});
        const uint32_t entryBytes = (h.mapEntryBits + 7u) / 8u;
        const uint8_t* map = data + h.mapOffset();
        for (uint32_t i = 0; i < h.mapLength && h.mapFirst + i < 256; ++i)
            table[h.mapFirst + i] = colourOf(map + size_t(i) * entryBytes, entryBytes);
    } else if (base == 3) {
        for (int i = 0; i < 256; ++i)
            table.push_back(RGBQUAD{uint8_t(i), uint8_t(i), uint8_t(i), 0});
    }
    const uint32_t bytes = (h.pixelBits + 7u) / 8u;
    const uint8_t* start = data + h.mapOffset() + (h.colorMapType ? h.mapBytes() : 0);
    const uint8_t* end = data + size;

    // Refuse before allocating when the data cannot fill the picture: one
    // run packet of 1 + bytes bytes yields at most 128 pixels.
    const uint64_t pixels = uint64_t(h.width) * uint64_t(h.height);
    const uint64_t available = uint64_t(end - start);
    if (h.rle() ? available * 128 < pixels : available < pixels * bytes) return PVE_TGA_SHORT;

    zp::GlobalBlock dib(ic::createDib(h.width, h.height, base == 2 ? 24 : 8,
                                      table.empty() ? nullptr : table.data(),
                                      uint32_t(table.size())));
    if (!dib) return PVE_NO_MEMORY;
    {
        ic::MutableDib target(dib.get());
        if (!target.ok()) return PVE_NO_MEMORY;
        std::vector<uint8_t> raw(size_t(h.width) * bytes);
        PixelReader reader(start, end, bytes, h.rle());
        RowProgress rows(progress, h.height, true);
        // A truncated file is refused rather than shown in part: nothing in
        // the format tells a short file from a header that lies, so a
        // partial picture would as often be garbage as a cut-off image.
        for (int32_t y = 0; y < h.height; ++y) {
            if (!reader.row(raw.data(), h.width)) return PVE_TGA_SHORT;
            convertRow(h, raw.data(), target.row(h.topDown() ? y : h.height - 1 - y));
            if (!rows.row(y)) return PVE_CANCELLED;
        }
    }
    out = std::move(dib);
    return PVE_OK;
}

} // namespace gifcore

#include "imaging/still/WmfDib.h"

#include <vector>

namespace wmf {

namespace {

uint32_t get16(std::span<const uint8_t> d, size_t at) {
    return uint32_t(d[at] | d[at + 1] << 8);
}
uint32_t get32(std::span<const uint8_t> d, size_t at) {
    return get16(d, at) | get16(d, at + 2) << 16;
}

struct Layout {
    int64_t width = 0, height = 0;
    bool topDown = false;
    uint32_t bits = 0;
    size_t headerBytes = 0;
    size_t colours = 0;
    size_t entryBytes = 4; // RGBQUAD, or 3 for the core header's RGBTRIPLE
};

bool readLayout(std::span<const uint8_t> d, Layout& l) {
    if (d.size() < 12) return false;
    const uint32_t size = get32(d, 0);
    if (size == 12) {
        l.width = get16(d, 4);
        l.height = get16(d, 6);
        l.bits = get16(d, 10);
        l.entryBytes = 3;
    } else if (size >= 40 && size <= d.size()) {
        l.width = int32_t(get32(d, 4));
        const int32_t h = int32_t(get32(d, 8));
        l.topDown = h < 0;
        l.height = h < 0 ? -int64_t(h) : h;
        l.bits = get16(d, 14);
        if (get32(d, 16) != 0) return false; // compressed or bit fields
        l.colours = get32(d, 32);
    } else {
        return false;
    }
    l.headerBytes = size;
    if (l.width <= 0 || l.height <= 0 || l.width > kMaxDibSide || l.height > kMaxDibSide)
        return false;
    if (l.width * l.height * 4 > kMaxDibBytes) return false;
    switch (l.bits) {
    case 1:
    case 4:
    case 8: {
        const size_t most = size_t(1) << l.bits;
        if (l.colours == 0 || l.colours > most) l.colours = most;
        return true;
    }
    case 16:
    case 24:
    case 32:
        // A colour table here is only an optimisation hint; it is skipped.
        return true;
    default:
        return false;
    }
}

} // namespace

QImage DibToImage(std::span<const uint8_t> d, bool* bottomUp) {
    Layout l;
    if (!readLayout(d, l)) return {};
    if (bottomUp) *bottomUp = !l.topDown;
    const size_t tableBytes = l.colours * l.entryBytes;
    if (d.size() - l.headerBytes < tableBytes) return {};
    std::vector<QRgb> table(size_t(1) << (l.bits <= 8 ? l.bits : 0), qRgb(0, 0, 0));
    for (size_t i = 0; l.bits <= 8 && i < l.colours; ++i) {
        const size_t at = l.headerBytes + i * l.entryBytes;
        table[i] = qRgb(d[at + 2], d[at + 1], d[at]);
    }
    const size_t stride = size_t(((l.width * l.bits + 31) / 32) * 4);
    const size_t pixelsAt = l.headerBytes + tableBytes;
    if ((d.size() - pixelsAt) / stride < size_t(l.height)) return {};

    QImage image(int(l.width), int(l.height), QImage::Format_RGB32);
    if (image.isNull()) return {};
    for (int64_t y = 0; y < l.height; ++y) {
        const uint8_t* row =
            d.data() + pixelsAt + size_t(l.topDown ? y : l.height - 1 - y) * stride;
        auto* out = reinterpret_cast<QRgb*>(image.scanLine(int(y)));
        for (int64_t x = 0; x < l.width; ++x) {
            switch (l.bits) {
            case 1:
                out[x] = table[(row[x / 8] >> (7 - x % 8)) & 1];
                break;
            case 4:
                out[x] = table[(row[x / 2] >> (x % 2 ? 0 : 4)) & 15];
                break;
            case 8:
                out[x] = table[row[x]];
                break;
            case 16: {
                const uint32_t v = uint32_t(row[2 * x] | row[2 * x + 1] << 8);
                out[x] = qRgb(int((v >> 10 & 31) * 255 / 31), int((v >> 5 & 31) * 255 / 31),
                              int((v & 31) * 255 / 31));
                break;
            }
            case 24:
                out[x] = qRgb(row[3 * x + 2], row[3 * x + 1], row[3 * x]);
                break;
            default:
                out[x] = qRgb(row[4 * x + 2], row[4 * x + 1], row[4 * x]);
                break;
            }
        }
    }
    return image;
}

} // namespace wmf

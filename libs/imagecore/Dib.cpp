#include "libs/imagecore/Dib.h"

#include <cstring>

namespace ic {

size_t dibStride(int32_t width, int32_t bits) {
    return ((size_t(bits) * size_t(width) + 31) / 32) * 4;
}

uint32_t dibColorCount(const BITMAPINFOHEADER& h) {
    if (h.biClrUsed > 0) return h.biClrUsed;
    if (h.biBitCount == 24 || h.biBitCount == 32 || h.biBitCount == 16) return 0;
    return h.biBitCount <= 8 ? (1u << h.biBitCount) : 0;
}

bool parseDib(const void* dib, uint64_t available, DibView& out) {
    out = DibView{};
    if (!dib) return false;
    if (available == 0) {
        const HGLOBAL h = GlobalHandle(dib);
        if (!h) return false;
        const void* base = GlobalLock(h);
        GlobalUnlock(h);
        const uint64_t offset =
            uint64_t(static_cast<const uint8_t*>(dib) - static_cast<const uint8_t*>(base));
        const uint64_t size = GlobalSize(h);
        if (offset >= size) return false;
        available = size - offset;
    }
    if (available < sizeof(BITMAPINFOHEADER)) return false;
    const auto* h = static_cast<const BITMAPINFOHEADER*>(dib);
    if (h->biSize < sizeof(BITMAPINFOHEADER) || h->biSize > available) return false;
    if (h->biCompression != BI_RGB || h->biPlanes > 1) return false;
    const int32_t bpp = h->biBitCount;
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24) return false;
    const int64_t width = h->biWidth;
    const int64_t rawHeight = h->biHeight;
    const int64_t height = rawHeight < 0 ? -rawHeight : rawHeight;
    if (width < 1 || height < 1 || width > kMaxSide || height > kMaxSide) return false;
    const uint32_t colors = dibColorCount(*h);
    if (bpp <= 8 && (colors == 0 || colors > 256)) return false;
    if (bpp == 24 && colors > 256) return false;
    const size_t stride = dibStride(int32_t(width), bpp);
    const uint64_t pixelBytes = uint64_t(stride) * uint64_t(height);
    if (pixelBytes > kMaxPixelBytes) return false;
    const uint64_t tableOffset = h->biSize;
    const uint64_t bitsOffset = tableOffset + uint64_t(colors) * 4;
    if (bitsOffset + pixelBytes > available) return false;
    const auto* base = static_cast<const uint8_t*>(dib);
    out.header = h;
    out.colors = colors ? reinterpret_cast<const RGBQUAD*>(base + tableOffset) : nullptr;
    out.colorCount = colors;
    out.bits = base + bitsOffset;
    out.width = int32_t(width);
    out.height = int32_t(height);
    out.bpp = bpp;
    out.stride = stride;
    out.bottomUp = rawHeight > 0;
    return true;
}

uint8_t DibView::index(int32_t x, int32_t y) const {
    const uint8_t* r = row(y);
    switch (bpp) {
    case 1:
        return (r[x >> 3] >> (7 - (x & 7))) & 1;
    case 4:
        return (x & 1) ? (r[x >> 1] & 0x0F) : (r[x >> 1] >> 4);
    case 8:
        return r[x];
    default:
        return 0;
    }
}

uint32_t DibView::rgb(int32_t x, int32_t y) const {
    if (bpp == 24) {
        const uint8_t* p = row(y) + size_t(x) * 3;
        return uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
    }
    const uint8_t i = index(x, y);
    if (i >= colorCount) return 0;
    const RGBQUAD& c = colors[i];
    return uint32_t(c.rgbRed) << 16 | uint32_t(c.rgbGreen) << 8 | c.rgbBlue;
}

HGLOBAL createDib(int32_t width, int32_t height, int32_t bits, const RGBQUAD* colors,
                  uint32_t colorCount) {
    if (width < 1 || height < 1 || width > kMaxSide || height > kMaxSide) return 0;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24) return 0;
    const uint32_t tableMax = bits == 24 ? 0 : (1u << bits);
    if (colorCount == 0 || colorCount > tableMax) colorCount = tableMax;
    const size_t stride = dibStride(width, bits);
    const uint64_t pixelBytes = uint64_t(stride) * uint64_t(height);
    if (pixelBytes > kMaxPixelBytes) return 0;
    const uint64_t total = sizeof(BITMAPINFOHEADER) + uint64_t(colorCount) * 4 + pixelBytes;
    const HGLOBAL block = GlobalAlloc(GHND, total);
    if (!block) return 0;
    auto* h = static_cast<BITMAPINFOHEADER*>(GlobalLock(block));
    h->biSize = sizeof(BITMAPINFOHEADER);
    h->biWidth = width;
    h->biHeight = height;
    h->biPlanes = 1;
    h->biBitCount = uint16_t(bits);
    h->biCompression = BI_RGB;
    h->biSizeImage = uint32_t(pixelBytes);
    h->biXPelsPerMeter = 2953;
    h->biYPelsPerMeter = 2953;
    h->biClrUsed = colorCount;
    h->biClrImportant = colorCount;
    if (colors && colorCount)
        std::memcpy(reinterpret_cast<uint8_t*>(h) + sizeof(BITMAPINFOHEADER), colors,
                    size_t(colorCount) * 4);
    GlobalUnlock(block);
    return block;
}

MutableDib::MutableDib(HGLOBAL block) : block_(block) {
    void* p = GlobalLock(block);
    ok_ = p && parseDib(p, GlobalSize(block), view_);
}

MutableDib::~MutableDib() {
    if (block_) GlobalUnlock(block_);
}

void MutableDib::setIndex(int32_t x, int32_t y, uint8_t index) {
    uint8_t* r = row(y);
    switch (view_.bpp) {
    case 1: {
        const uint8_t mask = uint8_t(0x80 >> (x & 7));
        r[x >> 3] = (index & 1) ? (r[x >> 3] | mask) : (r[x >> 3] & ~mask);
        break;
    }
    case 4:
        r[x >> 1] = (x & 1) ? uint8_t((r[x >> 1] & 0xF0) | (index & 0x0F))
                            : uint8_t((r[x >> 1] & 0x0F) | (index << 4));
        break;
    case 8:
        r[x] = index;
        break;
    default:
        break;
    }
}

} // namespace ic

#include "libs/effects/core/PixelPlanes.h"

#include <algorithm>

namespace fx {

OwnedPlane::OwnedPlane(int32_t width, int32_t height, int channels)
    : pixels(size_t(width) * size_t(height) * size_t(channels)) {
    plane = Plane{pixels.data(), width, height, ptrdiff_t(width) * channels};
}

namespace {

uint8_t luminance(uint32_t rgb) {
    return uint8_t(
        (((rgb >> 16) & 0xFF) * 77 + ((rgb >> 8) & 0xFF) * 150 + (rgb & 0xFF) * 29 + 128) >> 8);
}

} // namespace

OwnedPlane bgrPlane(const ic::DibView& dib, const Rect& area) {
    OwnedPlane out(area.width(), area.height(), 3);
    for (int32_t y = 0; y < area.height(); ++y) {
        uint8_t* o = out.plane.row(y);
        if (dib.bpp == 24) {
            const uint8_t* p = dib.row(area.top + y) + size_t(area.left) * 3;
            std::copy_n(p, size_t(area.width()) * 3, o);
            continue;
        }
        for (int32_t x = 0; x < area.width(); ++x, o += 3) {
            const uint32_t c = dib.rgb(area.left + x, area.top + y);
            o[0] = uint8_t(c);
            o[1] = uint8_t(c >> 8);
            o[2] = uint8_t(c >> 16);
        }
    }
    return out;
}

OwnedPlane greyPlane(const ic::DibView& dib, const Rect& area) {
    OwnedPlane out(area.width(), area.height(), 1);
    for (int32_t y = 0; y < area.height(); ++y) {
        uint8_t* o = out.plane.row(y);
        if (dib.bpp == 24) {
            const uint8_t* p = dib.row(area.top + y) + size_t(area.left) * 3;
            for (int32_t x = 0; x < area.width(); ++x, p += 3)
                o[x] = luminance(uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0]);
            continue;
        }
        uint8_t table[256] = {};
        for (uint32_t i = 0; i < std::min<uint32_t>(dib.colorCount, 256); ++i)
            table[i] = luminance(uint32_t(dib.colors[i].rgbRed) << 16 |
                                 uint32_t(dib.colors[i].rgbGreen) << 8 | dib.colors[i].rgbBlue);
        for (int32_t x = 0; x < area.width(); ++x)
            o[x] = table[dib.index(area.left + x, area.top + y)];
    }
    return out;
}

OwnedPlane indexPlane(const ic::DibView& dib, const Rect& area) {
    OwnedPlane out(area.width(), area.height(), 1);
    for (int32_t y = 0; y < area.height(); ++y) {
        uint8_t* o = out.plane.row(y);
        for (int32_t x = 0; x < area.width(); ++x)
            o[x] = dib.index(area.left + x, area.top + y);
    }
    return out;
}

Plane dibPlane(const ic::DibView& dib, const Rect& area, int bytesPerPixel) {
    // Bottom-up rows: start at the top row and step backwards through memory.
    const ptrdiff_t stride = dib.bottomUp ? -ptrdiff_t(dib.stride) : ptrdiff_t(dib.stride);
    auto* top = const_cast<uint8_t*>(dib.row(area.top)) + size_t(area.left) * size_t(bytesPerPixel);
    return Plane{top, area.width(), area.height(), stride};
}

Plane dibPlane(const ic::MutableDib& dib, int bytesPerPixel) {
    const ic::DibView& v = dib.view();
    return dibPlane(v, Rect{0, 0, v.width, v.height}, bytesPerPixel);
}

void storeIndices(const Plane& indices, ic::MutableDib& dib) {
    const ic::DibView& v = dib.view();
    for (int32_t y = 0; y < v.height && y < indices.height; ++y) {
        const uint8_t* in = indices.row(y);
        if (v.bpp == 8) {
            std::copy_n(in, size_t(std::min(v.width, indices.width)), dib.row(y));
            continue;
        }
        for (int32_t x = 0; x < v.width && x < indices.width; ++x)
            dib.setIndex(x, y, in[x]);
    }
}

} // namespace fx

// Invert and mirror change the caller's block itself and work at any depth:
// a palette picture is inverted through its colour table.
#include "libs/effects/core/PixelEffects.h"
#include "libs/imagecore/Dib.h"

#include <algorithm>
#include <vector>

namespace fx {

int32_t invert(uintptr_t dib) {
    ic::MutableDib d(dib);
    if (!d.ok()) return 0;
    const ic::DibView& v = d.view();
    if (v.bpp != 24) {
        RGBQUAD* c = d.colors();
        for (uint32_t i = 0; i < v.colorCount; ++i) {
            c[i].rgbBlue = uint8_t(255 - c[i].rgbBlue);
            c[i].rgbGreen = uint8_t(255 - c[i].rgbGreen);
            c[i].rgbRed = uint8_t(255 - c[i].rgbRed);
        }
        return 1;
    }
    for (int32_t y = 0; y < v.height; ++y) {
        uint8_t* p = d.row(y);
        for (size_t i = 0, n = size_t(v.width) * 3; i < n; ++i)
            p[i] = uint8_t(~p[i]);
    }
    return 1;
}

// Vertical turns the picture upside down, horizontal swaps left and right;
// any non-zero value (the dialog passes -1) means yes.
int32_t mirror(uintptr_t dib, int32_t vertical, int32_t horizontal) {
    ic::MutableDib d(dib);
    if (!d.ok()) return 0;
    const ic::DibView& v = d.view();
    if (horizontal) {
        std::vector<uint8_t> indices(size_t(v.width));
        for (int32_t y = 0; y < v.height; ++y) {
            uint8_t* p = d.row(y);
            if (v.bpp == 24) {
                for (uint8_t *a = p, *b = p + size_t(v.width - 1) * 3; a < b; a += 3, b -= 3) {
                    const uint8_t t0 = a[0], t1 = a[1], t2 = a[2];
                    a[0] = b[0];
                    a[1] = b[1];
                    a[2] = b[2];
                    b[0] = t0;
                    b[1] = t1;
                    b[2] = t2;
                }
            } else if (v.bpp == 8) {
                std::reverse(p, p + v.width);
            } else {
                for (int32_t x = 0; x < v.width; ++x)
                    indices[size_t(x)] = v.index(x, y);
                for (int32_t x = 0; x < v.width; ++x)
                    d.setIndex(x, y, indices[size_t(v.width - 1 - x)]);
            }
        }
    }
    if (vertical)
        for (int32_t a = 0, b = v.height - 1; a < b; ++a, --b)
            std::swap_ranges(d.row(a), d.row(a) + v.stride, d.row(b));
    return 1;
}

} // namespace fx

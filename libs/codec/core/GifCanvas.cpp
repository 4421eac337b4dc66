#include "libs/codec/core/GifCanvas.h"

#include "libs/codec/core/GifFrameDib.h"
#include "libs/imagecore/Dib.h"
#include "platform/GlobalBlock.h"

#include <algorithm>
#include <vector>

namespace gifcore {

namespace {

uint32_t entryRgb(const GifColorTable& table, uint32_t i) {
    return uint32_t(table.rgb[i][0]) << 16 | uint32_t(table.rgb[i][1]) << 8 | table.rgb[i][2];
}

struct Clip {
    int32_t x0, y0, x1, y1; // screen rectangle covered by the image, x1/y1 exclusive
};

Clip clipToScreen(const GifScreen& screen, const GifImage& image) {
    return {std::min<int32_t>(image.left, screen.width),
            std::min<int32_t>(image.top, screen.height),
            std::min<int32_t>(int32_t(image.left) + image.width, screen.width),
            std::min<int32_t>(int32_t(image.top) + image.height, screen.height)};
}

bool isShown(const GifImage& image, uint8_t index) {
    return !(image.control.transparent && index == image.control.transparentIndex);
}

HGLOBAL composeTrueColour(const GifScreen& screen, const GifImage& image, uint32_t background) {
    zp::GlobalBlock dib(ic::createDib(screen.width, screen.height, 24, nullptr));
    if (!dib) return 0;
    ic::MutableDib canvas(dib.get());
    if (!canvas.ok()) return 0;
    const Clip c = clipToScreen(screen, image);
    const GifColorTable& table = *image.colors;
    for (int32_t y = 0; y < screen.height; ++y) {
        uint8_t* out = canvas.row(y);
        const uint8_t* in = y >= c.y0 && y < c.y1 ? image.row(y - image.top) : nullptr;
        for (int32_t x = 0; x < screen.width; ++x, out += 3) {
            uint32_t rgb = background;
            if (in && x >= c.x0 && x < c.x1) {
                const uint8_t i = in[x - image.left];
                if (isShown(image, i)) rgb = i < table.count ? entryRgb(table, i) : 0;
            }
            out[0] = uint8_t(rgb);
            out[1] = uint8_t(rgb >> 8);
            out[2] = uint8_t(rgb >> 16);
        }
    }
    return dib.release();
}

} // namespace

uint32_t backgroundRgb(const GifScreen& screen, const GifImage& image) {
    const uint8_t bg = screen.backgroundIndex;
    if (bg < screen.global.count) return entryRgb(screen.global, bg);
    const GifColorTable& own = *image.colors;
    return entryRgb(own, bg < own.count ? bg : 0);
}

HGLOBAL composeOnScreen(const GifScreen& screen, const GifImage& image) {
    const uint32_t background = backgroundRgb(screen, image);
    GifColorTable table = *image.colors;
    // An entry of the background colour that is not the transparent one.
    int32_t fill = -1;
    for (uint32_t i = 0; i < table.count && fill < 0; ++i)
        if (entryRgb(table, i) == background && isShown(image, uint8_t(i))) fill = int32_t(i);
    if (fill < 0) {
        if (table.count >= 256) return composeTrueColour(screen, image, background);
        fill = table.count++;
        table.rgb[fill][0] = uint8_t(background >> 16);
        table.rgb[fill][1] = uint8_t(background >> 8);
        table.rgb[fill][2] = uint8_t(background);
    }

    std::vector<uint8_t> pixels(size_t(screen.width) * screen.height, uint8_t(fill));
    const Clip c = clipToScreen(screen, image);
    for (int32_t y = c.y0; y < c.y1; ++y) {
        const uint8_t* in = image.row(y - image.top);
        uint8_t* out = pixels.data() + size_t(y) * screen.width;
        for (int32_t x = c.x0; x < c.x1; ++x) {
            const uint8_t i = in[x - image.left];
            if (isShown(image, i)) out[x] = i;
        }
    }
    GifImage canvas;
    canvas.width = screen.width;
    canvas.height = screen.height;
    canvas.colors = &table;
    canvas.pixels = pixels.data();
    return makeImageDib(canvas, kKeepTransparentColour);
}

} // namespace gifcore

#include "libs/codec/core/GifEncoder.h"

#include "libs/codec/core/LzwEncoder.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace gifenc {

namespace {

void put16(uint8_t* p, uint16_t v) {
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
}

// Rows in the order they are stored: four passes when interlaced.
template <class Fn> void forEachRow(int height, bool interlaced, Fn&& fn) {
    if (!interlaced) {
        for (int y = 0; y < height; ++y)
            fn(y);
        return;
    }
    static constexpr int kStart[4] = {0, 4, 2, 1};
    static constexpr int kStep[4] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass)
        for (int y = kStart[pass]; y < height; y += kStep[pass])
            fn(y);
}

} // namespace

int tableBits(int colors) {
    int bits = 1;
    while (bits < 8 && (1 << bits) < colors)
        ++bits;
    return bits;
}

bool GifEncoder::colorTable(const uint8_t* rgb, int colors, int bits) {
    uint8_t table[256 * 3] = {};
    std::memcpy(table, rgb, size_t(std::clamp(colors, 0, 1 << bits)) * 3);
    return sink_.write(table, size_t(3) << bits);
}

bool GifEncoder::begin(const ScreenInfo& screen) {
    uint8_t d[13] = {'G', 'I', 'F', '8', '9', 'a'};
    screenOffset_ = sink_.written() + 6;
    put16(d + 6, screen.width);
    put16(d + 8, screen.height);
    const bool hasTable = screen.globalRgb && screen.globalColors > 0;
    globalBits_ = hasTable ? tableBits(screen.globalColors) : 0;
    // Colour resolution: claim 8 bits per primary, the depth of our tables.
    d[10] = uint8_t((hasTable ? 0x80 : 0) | (7 << 4) | (hasTable ? globalBits_ - 1 : 0));
    d[11] = hasTable ? screen.background : 0;
    d[12] = screen.aspect;
    if (!sink_.write(d, sizeof d)) return false;
    if (hasTable)
        globalRgb_.assign(screen.globalRgb,
                          screen.globalRgb + size_t(std::min(screen.globalColors, 256)) * 3);
    return !hasTable || colorTable(screen.globalRgb, screen.globalColors, globalBits_);
}

bool GifEncoder::patchScreenSize(uint16_t width, uint16_t height) {
    uint8_t d[4];
    put16(d, width);
    put16(d + 2, height);
    return sink_.rewrite(screenOffset_, d, sizeof d);
}

bool GifEncoder::loopExtension(uint16_t loops) {
    uint8_t d[19] = {0x21, 0xFF, 11, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0', 3, 1};
    put16(d + 16, loops);
    d[18] = 0;
    return sink_.write(d, sizeof d);
}

bool GifEncoder::comment(const char* text, size_t length) {
    const uint8_t intro[2] = {0x21, 0xFE};
    if (!sink_.write(intro, 2)) return false;
    while (length > 0) {
        const uint8_t n = uint8_t(std::min<size_t>(length, 255));
        if (!sink_.write(&n, 1) || !sink_.write(text, n)) return false;
        text += n;
        length -= n;
    }
    const uint8_t terminator = 0;
    return sink_.write(&terminator, 1);
}

bool GifEncoder::graphicControl(const ControlInfo& c) {
    uint8_t d[8] = {0x21, 0xF9, 4};
    d[3] = uint8_t(((c.disposal & 7) << 2) | (c.transparent ? 1 : 0));
    put16(d + 4, c.delay);
    d[6] = c.transparentIndex;
    d[7] = 0;
    return sink_.write(d, sizeof d);
}

bool GifEncoder::image(const ImageInfo& info, RowSource& rows) {
    if (info.width == 0 || info.height == 0) return false;
    uint8_t d[10] = {0x2C};
    put16(d + 1, info.left);
    put16(d + 3, info.top);
    put16(d + 5, info.width);
    put16(d + 7, info.height);
    const bool local = info.localRgb && info.localColors > 0;
    const int localBits = local ? tableBits(info.localColors) : 0;
    d[9] = uint8_t((local ? 0x80 | (localBits - 1) : 0) | (info.interlaced ? 0x40 : 0));
    if (!sink_.write(d, sizeof d)) return false;
    if (local && !colorTable(info.localRgb, info.localColors, localBits)) return false;
    // Without any table the pixels are taken as full bytes.
    const int bits = local ? localBits : (globalBits_ ? globalBits_ : 8);
    if (effort_.search || effort_.lossy > 0) return plannedImage(info, rows, std::max(2, bits));
    LzwEncoder lzw(sink_, std::max(2, bits));
    forEachRow(info.height, info.interlaced, [&](int y) { lzw.encode(rows.row(y), info.width); });
    return lzw.finish();
}

// The whole image in stored order, so the planner can measure its choices
// before one is written.
bool GifEncoder::plannedImage(const ImageInfo& info, RowSource& rows, int bits) {
    std::vector<uint8_t> pixels(size_t(info.width) * info.height);
    size_t at = 0;
    forEachRow(info.height, info.interlaced, [&](int y) {
        std::memcpy(pixels.data() + at, rows.row(y), info.width);
        at += info.width;
    });
    ic::LzwNeighbours near;
    if (effort_.lossy > 0) {
        const bool local = info.localRgb && info.localColors > 0;
        near = ic::LzwNeighbours::make(local ? info.localRgb : globalRgb_.data(),
                                       local ? info.localColors : int(globalRgb_.size() / 3),
                                       effort_.lossy, info.transparentIndex);
    }
    const ic::LzwNeighbours* lossy = effort_.lossy > 0 ? &near : nullptr;
    if (effort_.search) {
        // Codes start one bit wider than the largest index needs; a frame
        // that uses only the low entries of a large table can start narrower
        // (decoders take the size from the data, not from the table). A
        // lossy stream never takes an index beyond that size.
        const uint8_t top = pixels.empty() ? 0 : *std::max_element(pixels.begin(), pixels.end());
        bits = std::min(bits, std::max(2, tableBits(top + 1)));
    }
    ic::LzwPlanner planner(bits);
    // The plain stream is kept as it is made; only a frame that fills the
    // table has clear strategies to compare, and only a better one is run
    // again.
    struct Codes final : ic::LzwCodeSink {
        std::vector<uint32_t> list;
        void put(uint32_t code, uint32_t width) override { list.push_back(code | width << 16); }
    } plain;
    uint64_t size = planner.run(pixels.data(), nullptr, pixels.size(), {}, nullptr, &plain, lossy);
    LzwCodeWriter out(sink_, bits);
    ic::LzwStyle style;
    if (effort_.search && planner.Filled())
        style = planner.betterClear(pixels.data(), pixels.size(), lossy, size);
    if (style.clear == ic::LzwStyle::WhenFull) {
        for (const uint32_t c : plain.list)
            out.put(c & 0xFFFF, c >> 16);
    } else {
        planner.run(pixels.data(), nullptr, pixels.size(), style, nullptr, &out, lossy);
    }
    return out.finish();
}

bool GifEncoder::end() {
    const uint8_t trailer = 0x3B;
    return sink_.write(&trailer, 1);
}

} // namespace gifenc

#pragma once
// Pictures and packed DIBs made by the tests, and the measures they compare.
#include "libs/imagecore/Dib.h"
#include "libs/imagecore/Quantizer.h"
#include "platform/Gdi.h"
#include "platform/GlobalBlock.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <random>
#include <vector>

namespace fixtures {

// A photo-like picture: smooth gradients, a fine texture and noise, so that
// nearly every pixel has its own colour.
inline std::vector<uint32_t> photo(int width, int height, uint32_t seed = 1) {
    std::mt19937 rng(seed);
    std::uniform_int_distribution<int> noise(-6, 6);
    std::vector<uint32_t> out(size_t(width) * size_t(height));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const double fx = double(x) / width, fy = double(y) / height;
            auto channel = [&](double v) {
                return uint32_t(std::clamp(int(std::lround(v * 255)) + noise(rng), 0, 255));
            };
            const uint32_t r = channel(0.5 + 0.45 * std::sin(fx * 5.0 + fy * 2.0));
            const uint32_t g = channel(0.5 + 0.45 * std::cos(fy * 4.0 - fx * 3.0));
            const uint32_t b = channel(0.3 * fx + 0.5 * fy + 0.1 * std::sin((x + y) * 0.2));
            out[size_t(y) * size_t(width) + size_t(x)] = r << 16 | g << 8 | b;
        }
    return out;
}

// `count` distinct random colours scattered over the picture, each used at
// least once.
inline std::vector<uint32_t> fewColors(int width, int height, int count, uint32_t seed = 2) {
    std::mt19937 rng(seed);
    std::vector<uint32_t> colors;
    while (int(colors.size()) < count) {
        const uint32_t c = rng() & 0xFFFFFF;
        if (std::find(colors.begin(), colors.end(), c) == colors.end()) colors.push_back(c);
    }
    std::vector<uint32_t> out(size_t(width) * size_t(height));
    for (size_t i = 0; i < out.size(); ++i)
        out[i] = i < colors.size() ? colors[i] : colors[rng() % colors.size()];
    std::shuffle(out.begin(), out.end(), rng);
    return out;
}

inline double psnr(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b) {
    double sum = 0;
    for (size_t i = 0; i < a.size(); ++i)
        for (int shift = 0; shift <= 16; shift += 8) {
            const double d = double((a[i] >> shift) & 0xFF) - double((b[i] >> shift) & 0xFF);
            sum += d * d;
        }
    const double mse = sum / (3.0 * double(a.size()));
    return mse == 0 ? 999.0 : 10.0 * std::log10(255.0 * 255.0 / mse);
}

// A locked view of a DIB block; the block is freed with the view.
class DibBlock {
  public:
    explicit DibBlock(HGLOBAL block) : block_(block), data_(GlobalLock(block)) {
        valid_ = data_ && ic::parseDib(data_, 0, view_);
    }
    ~DibBlock() {
        if (data_) GlobalUnlock(block_.get());
    }
    bool valid() const { return valid_; }
    const ic::DibView& view() const { return view_; }
    void* data() const { return data_; }
    HGLOBAL handle() const { return block_.get(); }
    std::vector<uint32_t> rgb() const {
        return valid_ ? ic::toRgb(view_) : std::vector<uint32_t>{};
    }
    std::vector<RGBQUAD> table() const {
        return valid_ && view_.colors
                   ? std::vector<RGBQUAD>(view_.colors, view_.colors + view_.colorCount)
                   : std::vector<RGBQUAD>{};
    }

  private:
    zp::GlobalBlock block_;
    void* data_;
    ic::DibView view_;
    bool valid_ = false;
};

inline std::vector<RGBQUAD> randomTable(uint32_t count, uint32_t seed) {
    std::mt19937 rng(seed);
    std::vector<RGBQUAD> t(count);
    for (RGBQUAD& q : t)
        q = RGBQUAD{uint8_t(rng()), uint8_t(rng()), uint8_t(rng()), 0};
    return t;
}

// A bottom-up DIB block of `bits` whose pixel (x, y) is index(x, y) (1/4/8
// bits) or the colour index(x, y) (24 bits, 0x00RRGGBB).
inline HGLOBAL makeDib(int width, int height, int bits, const std::vector<RGBQUAD>& table,
                       const std::function<uint32_t(int, int)>& pixel) {
    const HGLOBAL block = ic::createDib(width, height, bits, table.empty() ? nullptr : table.data(),
                                        uint32_t(table.size()));
    ic::MutableDib dib(block);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const uint32_t v = pixel(x, y);
            if (bits == 24) {
                uint8_t* p = dib.row(y) + size_t(x) * 3;
                p[0] = uint8_t(v), p[1] = uint8_t(v >> 8), p[2] = uint8_t(v >> 16);
            } else {
                dib.setIndex(x, y, uint8_t(v));
            }
        }
    return block;
}

// A DIB of `bits` with random indices over a random full table, or a 24-bit
// one of a photo-like picture.
inline HGLOBAL randomDib(int width, int height, int bits, uint32_t seed) {
    if (bits == 24) {
        const std::vector<uint32_t> px = photo(width, height, seed);
        return makeDib(width, height, 24, {},
                       [&](int x, int y) { return px[size_t(y) * size_t(width) + size_t(x)]; });
    }
    std::mt19937 rng(seed);
    return makeDib(width, height, bits, randomTable(1u << bits, seed),
                   [&](int, int) { return rng() & ((1u << bits) - 1); });
}

// A device bitmap's pixels without the fourth byte.
inline std::vector<uint32_t> bitmapPixels(HBITMAP bitmap) {
    int32_t w = 0, h = 0;
    if (!GetDeviceBitmapSize(bitmap, &w, &h)) return {};
    const uint32_t* p = DeviceBitmapBits(bitmap);
    std::vector<uint32_t> out(p, p + size_t(w) * size_t(h));
    for (uint32_t& c : out)
        c &= 0xFFFFFF;
    return out;
}

inline HPALETTE makePalette(const std::vector<RGBQUAD>& table) {
    std::vector<uint8_t> record(sizeof(LOGPALETTE) + 4 * table.size());
    auto* log = reinterpret_cast<LOGPALETTE*>(record.data());
    log->palVersion = 0x300;
    log->palNumEntries = uint16_t(table.size());
    for (size_t i = 0; i < table.size(); ++i) {
        const PALETTEENTRY e{table[i].rgbRed, table[i].rgbGreen, table[i].rgbBlue, 0};
        std::memcpy(record.data() + 4 + 4 * i, &e, 4);
    }
    return CreatePalette(log);
}

// Counts of live blocks and GDI objects, to prove nothing leaked.
struct LiveObjects {
    uint64_t blocks = GlobalBlockCount();
    uint64_t gdi = GdiObjectCount();
    bool operator==(const LiveObjects&) const = default;
};

} // namespace fixtures

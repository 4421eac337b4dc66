#pragma once
// Hand-made GIF bytes for the cases no encoder writes: hostile sizes, bad
// codes, missing blocks.
#include "libs/codec/core/GifDecoder.h"

#include <cstdint>
#include <initializer_list>
#include <utility>
#include <vector>

namespace gifread {

using Bytes = std::vector<uint8_t>;

inline void put16(Bytes& b, int v) {
    b.push_back(uint8_t(v));
    b.push_back(uint8_t(v >> 8));
}

// Header and logical screen; tableBits 0 = no global table.
inline Bytes screenBytes(int w, int h, int tableBits = 1, int background = 0) {
    Bytes b = {'G', 'I', 'F', '8', '9', 'a'};
    put16(b, w);
    put16(b, h);
    b.push_back(uint8_t(tableBits ? 0x80 | (tableBits - 1) : 0));
    b.push_back(uint8_t(background));
    b.push_back(0);
    for (int i = 0; i < (tableBits ? 1 << tableBits : 0); ++i)
        b.insert(b.end(), {uint8_t(i * 40), uint8_t(i * 20), uint8_t(255 - i)});
    return b;
}

// (code, bits) pairs packed least significant bit first.
inline Bytes packCodes(std::initializer_list<std::pair<int, int>> codes) {
    Bytes out;
    uint32_t acc = 0;
    int n = 0;
    for (auto [code, bits] : codes) {
        acc |= uint32_t(code) << n;
        n += bits;
        while (n >= 8) {
            out.push_back(uint8_t(acc));
            acc >>= 8;
            n -= 8;
        }
    }
    if (n) out.push_back(uint8_t(acc));
    return out;
}

inline void imageBytes(Bytes& b, int l, int t, int w, int h, int minCode, const Bytes& data,
                       uint8_t flags = 0) {
    b.push_back(0x2C);
    put16(b, l);
    put16(b, t);
    put16(b, w);
    put16(b, h);
    b.push_back(flags);
    b.push_back(uint8_t(minCode));
    for (size_t i = 0; i < data.size(); i += 255) {
        const size_t n = std::min<size_t>(255, data.size() - i);
        b.push_back(uint8_t(n));
        b.insert(b.end(), data.begin() + ptrdiff_t(i), data.begin() + ptrdiff_t(i + n));
    }
    b.push_back(0);
}

// A 2x2 image of indices 0, 1, 1, 0 with minimum code size 2.
inline Bytes tinyImageData() {
    return packCodes({{4, 3}, {0, 3}, {1, 3}, {1, 3}, {0, 4}, {5, 4}});
}

inline void controlBytes(Bytes& b, int disposal, bool transparent, int index, int delay) {
    b.insert(b.end(), {0x21, 0xF9, 4, uint8_t(disposal << 2 | (transparent ? 1 : 0))});
    put16(b, delay);
    b.insert(b.end(), {uint8_t(index), 0});
}

// What a decode delivered, pixels in display order.
struct CoreFrame {
    gifcore::GifImage image;
    std::vector<uint8_t> pixels;
    std::vector<uint8_t> colours; // RGB triples
};

struct CoreCollector : gifcore::GifSink {
    gifcore::GifScreen screen;
    gifcore::GifSummary summary;
    std::vector<CoreFrame> frames;
    std::vector<std::string> comments;

    bool onStart(const gifcore::GifScreen& s, const gifcore::GifSummary& m) override {
        screen = s;
        summary = m;
        return true;
    }
    bool onComment(std::string_view text) override {
        comments.emplace_back(text);
        return true;
    }
    bool onImage(const gifcore::GifScreen&, const gifcore::GifImage& image) override {
        CoreFrame f{image, {}, {}};
        for (int y = 0; y < image.height; ++y)
            f.pixels.insert(f.pixels.end(), image.row(y), image.row(y) + image.width);
        f.colours.assign(&image.colors->rgb[0][0],
                         &image.colors->rgb[0][0] + image.colors->count * 3);
        f.image.pixels = nullptr;
        f.image.colors = f.image.local = nullptr;
        frames.push_back(std::move(f));
        return true;
    }
};

inline int32_t decodeCore(const Bytes& bytes, CoreCollector& c,
                          gifcore::GifDecodeOptions options = {}) {
    gifcore::GifDecoder decoder(options);
    return decoder.decode(bytes.data(), bytes.size(), c);
}

} // namespace gifread

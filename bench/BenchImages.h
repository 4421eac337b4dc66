#pragma once
// Pictures the benchmarks encode and decode, made here so every run measures
// the same content: a photo-like 1920x1080 8-bit frame (smooth gradients,
// texture and noise, 256 colours) and a 300-frame 480x270 animation (a moving
// scene over a static background: the case GIF animations really are).
#include <cmath>
#include <cstdint>
#include <vector>

namespace benchimages {

struct IndexedFrame {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> pixels;  // width * height palette indices, top row first
    std::vector<uint8_t> palette; // 256 * 3 bytes, R G B
};

inline std::vector<uint8_t> photoPalette() {
    std::vector<uint8_t> p(256 * 3);
    for (int i = 0; i < 256; ++i) { // 8 x 8 x 4 colour cube
        p[i * 3 + 0] = uint8_t(((i >> 5) & 7) * 255 / 7);
        p[i * 3 + 1] = uint8_t(((i >> 2) & 7) * 255 / 7);
        p[i * 3 + 2] = uint8_t((i & 3) * 255 / 3);
    }
    return p;
}

// Deterministic noise in [0, 1).
inline double noise(uint32_t x, uint32_t y, uint32_t seed) {
    uint32_t h = x * 374761393u + y * 668265263u + seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return double((h ^ (h >> 16)) & 0xFFFF) / 65536.0;
}

inline uint8_t photoIndex(int x, int y, int w, int h, uint32_t seed) {
    const double fx = double(x) / w, fy = double(y) / h;
    double r = 0.5 + 0.5 * std::sin(fx * 6.0 + fy * 2.0) + 0.15 * (noise(x, y, seed) - 0.5);
    double g = 0.5 + 0.5 * std::cos(fy * 5.0 - fx * 3.0) + 0.15 * (noise(x, y, seed + 1) - 0.5);
    double b = fx * fy + 0.2 * std::sin((x + y) * 0.05) + 0.1 * (noise(x, y, seed + 2) - 0.5);
    auto q = [](double v, int levels) {
        int i = int(std::floor(v * levels));
        return i < 0 ? 0 : (i >= levels ? levels - 1 : i);
    };
    return uint8_t((q(r, 8) << 5) | (q(g, 8) << 2) | q(b, 4));
}

inline IndexedFrame photoFrame(int width = 1920, int height = 1080) {
    IndexedFrame f{width, height, std::vector<uint8_t>(size_t(width) * height), photoPalette()};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            f.pixels[size_t(y) * width + x] = photoIndex(x, y, width, height, 7);
    return f;
}

// Frame i of the animation: the photo background with a moving ball and a
// sweeping bar, full frames (each frame is encoded whole).
inline std::vector<IndexedFrame> animation(int frames = 300, int width = 480, int height = 270) {
    const IndexedFrame background = photoFrame(width, height);
    std::vector<IndexedFrame> out;
    out.reserve(frames);
    for (int i = 0; i < frames; ++i) {
        IndexedFrame f = background;
        const double t = double(i) / frames;
        const int cx = int(width * (0.5 + 0.4 * std::cos(t * 6.283))),
                  cy = int(height * (0.5 + 0.4 * std::sin(t * 12.566)));
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const int dx = x - cx, dy = y - cy;
                if (dx * dx + dy * dy < 40 * 40)
                    f.pixels[size_t(y) * width + x] = uint8_t(0xE0 | ((dx + 40) / 20));
                else if (std::abs(x - i * width / frames) < 6)
                    f.pixels[size_t(y) * width + x] = 0x1F;
            }
        out.push_back(std::move(f));
    }
    return out;
}

} // namespace benchimages

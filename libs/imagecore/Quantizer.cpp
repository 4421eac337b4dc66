#include "libs/imagecore/Quantizer.h"
#include "libs/imagecore/ColorLookup.h"
#include "libs/imagecore/MedianCut.h"
#include "platform/GlobalBlock.h"

#include <algorithm>
#include <cmath>
#include <new>

namespace ic {

namespace {

// Pixels may carry a fourth byte (device bitmaps are BGRX); it is ignored.
constexpr uint32_t kRgbMask = 0x00FFFFFF;

// The caller's words count as pixel memory like any picture's.
bool validImage(const RgbImage& image) {
    return image.pixels && image.width >= 1 && image.height >= 1 &&
           fitsLimits(uint32_t(image.width), uint32_t(image.height), 32);
}

const uint32_t* imageRow(const RgbImage& image, int32_t y) {
    return image.pixels + size_t(y) * size_t(image.width);
}

// The distinct colours with their counts, most used first; false as soon as
// there are more than `limit` (at most 256) of them.
bool exactColors(const RgbImage& image, int limit, std::vector<RGBQUAD>& out) {
    constexpr uint32_t kEmpty = 0xFFFFFFFF; // no masked colour has it
    constexpr uint32_t kSlots = 1024;       // at most a quarter full
    std::vector<uint32_t> keys(kSlots, kEmpty);
    std::vector<uint64_t> counts(kSlots, 0);
    int distinct = 0;
    uint32_t last = kEmpty;
    uint32_t lastSlot = 0;
    for (int32_t y = 0; y < image.height; ++y) {
        const uint32_t* row = imageRow(image, y);
        for (int32_t x = 0; x < image.width; ++x) {
            const uint32_t c = row[x] & kRgbMask;
            if (c != last) {
                uint32_t s = (c * 2654435761u) >> 22;
                while (keys[s] != kEmpty && keys[s] != c)
                    s = (s + 1) & (kSlots - 1);
                if (keys[s] == kEmpty) {
                    if (++distinct > limit) return false;
                    keys[s] = c;
                }
                last = c;
                lastSlot = s;
            }
            ++counts[lastSlot];
        }
    }
    std::vector<uint32_t> used;
    for (uint32_t s = 0; s < kSlots; ++s)
        if (keys[s] != kEmpty) used.push_back(s);
    std::sort(used.begin(), used.end(), [&](uint32_t a, uint32_t b) {
        return counts[a] != counts[b] ? counts[a] > counts[b] : keys[a] < keys[b];
    });
    out.clear();
    for (uint32_t s : used)
        out.push_back(RGBQUAD{uint8_t(keys[s]), uint8_t(keys[s] >> 8), uint8_t(keys[s] >> 16), 0});
    return true;
}

// Packs one row of palette indices into a zero-filled DIB row.
void packRow(const uint8_t* index, int32_t width, int bits, uint8_t* out) {
    switch (bits) {
    case 1:
        for (int32_t x = 0; x < width; ++x)
            out[x >> 3] |= uint8_t((index[x] & 1) << (7 - (x & 7)));
        break;
    case 4:
        for (int32_t x = 0; x < width; ++x)
            out[x >> 1] |= uint8_t((index[x] & 0x0F) << ((x & 1) ? 0 : 4));
        break;
    default:
        std::copy(index, index + width, out);
        break;
    }
}

void mapNearest(const RgbImage& image, ColorLookup& lookup, int bits, MutableDib& dib) {
    std::vector<uint8_t> index(size_t(image.width));
    uint32_t last = 0xFFFFFFFF;
    uint8_t lastIndex = 0;
    for (int32_t y = 0; y < image.height; ++y) {
        const uint32_t* row = imageRow(image, y);
        for (int32_t x = 0; x < image.width; ++x) {
            const uint32_t c = row[x] & kRgbMask;
            if (c != last) {
                last = c;
                lastIndex = lookup.nearest(int(c >> 16), int((c >> 8) & 0xFF), int(c & 0xFF));
            }
            index[size_t(x)] = lastIndex;
        }
        packRow(index.data(), image.width, bits, dib.row(y));
    }
}

// An error-diffusion kernel: where each pixel's error goes, in sixteenths
// (or the kernel's own divisor) of the error, for a left-to-right row.
struct Tap {
    int dx;
    int dy;
    int weight;
};
struct Kernel {
    const Tap* taps;
    int count;
    int divisor;
    int rows; // rows the kernel reaches, its own included
};
constexpr Tap kFloydSteinbergTaps[] = {{1, 0, 7}, {-1, 1, 3}, {0, 1, 5}, {1, 1, 1}};
constexpr Kernel kFloydSteinberg{kFloydSteinbergTaps, 4, 16, 2};
// Four fifths of the error: on photos with a full palette the noise drops
// more than the banding grows (about +0.6 dB PSNR at 256 colours).
constexpr Kernel kSoftFloydSteinberg{kFloydSteinbergTaps, 4, 20, 2};
constexpr Tap kBurkesTaps[] = {{1, 0, 8}, {2, 0, 4}, {-2, 1, 2}, {-1, 1, 4},
                               {0, 1, 8}, {1, 1, 4}, {2, 1, 2}};
constexpr Kernel kBurkes{kBurkesTaps, 7, 40, 2}; // four fifths, as above
constexpr int kPad = 2;                          // room for taps beyond either end of a row

int rounded(int error, int divisor) {
    return error >= 0 ? (error + divisor / 2) / divisor : -((-error + divisor / 2) / divisor);
}

// Serpentine error diffusion: rows alternate direction so errors do not pile
// up along one side; every corrected colour is clamped to 0..255 before it
// is looked up, and the error spread is that of the clamped colour.
void mapDiffused(const RgbImage& image, ColorLookup& lookup, int bits, const Kernel& kernel,
                 MutableDib& dib) {
    const size_t lineLength = (size_t(image.width) + 2 * kPad) * 3;
    std::vector<int> errors(lineLength * size_t(kernel.rows), 0);
    std::vector<uint8_t> index(size_t(image.width));
    auto line = [&](int32_t y) { return errors.data() + lineLength * size_t(y % kernel.rows); };
    for (int32_t y = 0; y < image.height; ++y) {
        const uint32_t* row = imageRow(image, y);
        const bool forward = (y & 1) == 0;
        const int step = forward ? 1 : -1;
        int* current = line(y);
        for (int32_t i = 0; i < image.width; ++i) {
            const int32_t x = forward ? i : image.width - 1 - i;
            const uint32_t c = row[x];
            int* e = current + (size_t(x) + kPad) * 3;
            const int r = std::clamp(int((c >> 16) & 0xFF) + rounded(e[0], kernel.divisor), 0, 255);
            const int g = std::clamp(int((c >> 8) & 0xFF) + rounded(e[1], kernel.divisor), 0, 255);
            const int b = std::clamp(int(c & 0xFF) + rounded(e[2], kernel.divisor), 0, 255);
            const uint8_t chosen = lookup.nearest(r, g, b);
            index[size_t(x)] = chosen;
            const RGBQUAD& p = lookup.color(chosen);
            const int er = r - p.rgbRed, eg = g - p.rgbGreen, eb = b - p.rgbBlue;
            if ((er | eg | eb) == 0) continue;
            for (int t = 0; t < kernel.count; ++t) {
                const Tap& tap = kernel.taps[t];
                int* target = line(y + tap.dy) + size_t(x + tap.dx * step + kPad) * 3;
                target[0] += er * tap.weight;
                target[1] += eg * tap.weight;
                target[2] += eb * tap.weight;
            }
        }
        std::fill(current, current + lineLength, 0); // becomes row y + rows
        packRow(index.data(), image.width, bits, dib.row(y));
    }
}

// The palette's typical spacing: the mean distance from each entry to its
// nearest other entry (the step an ordered dither must bridge).
double paletteSpacing(const std::vector<RGBQUAD>& palette) {
    if (palette.size() < 2) return 255.0;
    double sum = 0;
    for (size_t i = 0; i < palette.size(); ++i) {
        int best = 1 << 30;
        for (size_t j = 0; j < palette.size(); ++j) {
            if (i == j) continue;
            const int dr = palette[i].rgbRed - palette[j].rgbRed;
            const int dg = palette[i].rgbGreen - palette[j].rgbGreen;
            const int db = palette[i].rgbBlue - palette[j].rgbBlue;
            best = std::min(best, dr * dr + dg * dg + db * db);
        }
        sum += std::sqrt(double(best));
    }
    return sum / double(palette.size());
}

// Ordered dither: an 8x8 Bayer threshold, centred on 0 and as wide as the
// palette's spacing, is added to every channel before the nearest entry is
// taken, so flat areas between two entries become a fixed pattern of both.
void mapOrdered(const RgbImage& image, ColorLookup& lookup, int bits, double spacing,
                MutableDib& dib) {
    static constexpr uint8_t kBayer[8][8] = {
        {0, 32, 8, 40, 2, 34, 10, 42},  {48, 16, 56, 24, 50, 18, 58, 26},
        {12, 44, 4, 36, 14, 46, 6, 38}, {60, 28, 52, 20, 62, 30, 54, 22},
        {3, 35, 11, 43, 1, 33, 9, 41},  {51, 19, 59, 27, 49, 17, 57, 25},
        {15, 47, 7, 39, 13, 45, 5, 37}, {63, 31, 55, 23, 61, 29, 53, 21}};
    int offset[8][8];
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            offset[y][x] = int(std::lround((kBayer[y][x] + 0.5) / 64.0 * spacing - spacing / 2));
    std::vector<uint8_t> index(size_t(image.width));
    for (int32_t y = 0; y < image.height; ++y) {
        const uint32_t* row = imageRow(image, y);
        const int* o = offset[y & 7];
        for (int32_t x = 0; x < image.width; ++x) {
            const uint32_t c = row[x];
            const int d = o[x & 7];
            index[size_t(x)] = lookup.nearest(std::clamp(int((c >> 16) & 0xFF) + d, 0, 255),
                                              std::clamp(int((c >> 8) & 0xFF) + d, 0, 255),
                                              std::clamp(int(c & 0xFF) + d, 0, 255));
        }
        packRow(index.data(), image.width, bits, dib.row(y));
    }
}

} // namespace

std::vector<RGBQUAD> buildPalette(const RgbImage& image, int maxColors) {
    maxColors = std::clamp(maxColors, 1, 256);
    if (!validImage(image)) return {RGBQUAD{0, 0, 0, 0}};
    std::vector<RGBQUAD> palette;
    if (exactColors(image, maxColors, palette)) return palette;
    return medianCutPalette(colorHistogram(image), maxColors);
}

HGLOBAL mapToPalette(const RgbImage& image, const std::vector<RGBQUAD>& palette, int bits,
                     Dither dither) {
    if (bits != 1 && bits != 4 && bits != 8) return 0;
    if (!validImage(image) || palette.empty() || palette.size() > (size_t(1) << bits)) return 0;
    try {
        zp::GlobalBlock out(
            createDib(image.width, image.height, bits, palette.data(), uint32_t(palette.size())));
        if (!out) return 0;
        {
            MutableDib dib(out.get());
            if (!dib.ok()) return 0;
            // Small pictures look up too few colours to repay fine cells.
            const uint64_t pixels = uint64_t(image.width) * uint64_t(image.height);
            ColorLookup lookup(palette, pixels < (uint64_t(1) << 18) ? 4 : 5);
            switch (dither) {
            case Dither::FloydSteinberg:
                mapDiffused(image, lookup, bits, kFloydSteinberg, dib);
                break;
            case Dither::SoftFloydSteinberg:
                mapDiffused(image, lookup, bits, kSoftFloydSteinberg, dib);
                break;
            case Dither::Burkes:
                mapDiffused(image, lookup, bits, kBurkes, dib);
                break;
            case Dither::Bayer:
                mapOrdered(image, lookup, bits, paletteSpacing(palette), dib);
                break;
            default:
                mapNearest(image, lookup, bits, dib);
                break;
            }
        }
        return out.release();
    } catch (const std::bad_alloc&) {
        return 0;
    }
}

HGLOBAL mapToPalette(const RgbImage& image, const std::vector<RGBQUAD>& palette, int bits,
                     bool dither) {
    return mapToPalette(image, palette, bits, dither ? Dither::FloydSteinberg : Dither::None);
}

HGLOBAL reduceToPalette(const RgbImage& image, int bits, bool dither) {
    if (bits != 1 && bits != 4 && bits != 8) return 0;
    try {
        return mapToPalette(image, buildPalette(image, 1 << bits), bits, dither);
    } catch (const std::bad_alloc&) {
        return 0;
    }
}

std::vector<RGBQUAD> greyPalette(int count) {
    count = std::clamp(count, 1, 256);
    std::vector<RGBQUAD> out(size_t(count), RGBQUAD{0, 0, 0, 0});
    for (int i = 0; i < count && count > 1; ++i) {
        const auto v = uint8_t((i * 255 + (count - 1) / 2) / (count - 1));
        out[size_t(i)] = RGBQUAD{v, v, v, 0};
    }
    return out;
}

int depthForColors(int colors) {
    return colors <= 2 ? 1 : colors <= 16 ? 4 : 8;
}

HGLOBAL reduceColors(const RgbImage& image, int colors, Dither dither, bool grey) {
    if (!validImage(image)) return 0;
    colors = std::clamp(colors, 1, 256);
    const int bits = depthForColors(colors);
    try {
        if (!grey) return mapToPalette(image, buildPalette(image, colors), bits, dither);
        // Rec. 601 luminance, then error diffusion onto the greys.
        std::vector<uint32_t> luma(size_t(image.width) * size_t(image.height));
        for (int32_t y = 0; y < image.height; ++y) {
            const uint32_t* row = imageRow(image, y);
            uint32_t* out = luma.data() + size_t(y) * size_t(image.width);
            for (int32_t x = 0; x < image.width; ++x) {
                const uint32_t c = row[x];
                const uint32_t v =
                    (((c >> 16) & 0xFF) * 77 + ((c >> 8) & 0xFF) * 150 + (c & 0xFF) * 29 + 128) >>
                    8;
                out[x] = v << 16 | v << 8 | v;
            }
        }
        const RgbImage greyImage{image.width, image.height, luma.data()};
        return mapToPalette(greyImage, greyPalette(colors), bits, Dither::FloydSteinberg);
    } catch (const std::bad_alloc&) {
        return 0;
    }
}

std::vector<uint32_t> toRgb(const DibView& dib) {
    if (!dib.bits || dib.width < 1 || dib.height < 1) return {};
    // A legal 1-bit picture can have 4 Gi pixels; its words would be 16 GiB.
    if (!fitsLimits(uint32_t(dib.width), uint32_t(dib.height), 32)) return {};
    std::vector<uint32_t> out(size_t(dib.width) * size_t(dib.height));
    // Indices beyond the table read as black, as DibView::rgb does.
    uint32_t table[256] = {};
    for (uint32_t i = 0; i < std::min<uint32_t>(dib.colorCount, 256); ++i) {
        const RGBQUAD& q = dib.colors[i];
        table[i] = uint32_t(q.rgbRed) << 16 | uint32_t(q.rgbGreen) << 8 | q.rgbBlue;
    }
    for (int32_t y = 0; y < dib.height; ++y) {
        const uint8_t* src = dib.row(y);
        uint32_t* dst = out.data() + size_t(y) * size_t(dib.width);
        switch (dib.bpp) {
        case 1:
            for (int32_t x = 0; x < dib.width; ++x)
                dst[x] = table[(src[x >> 3] >> (7 - (x & 7))) & 1];
            break;
        case 4:
            for (int32_t x = 0; x < dib.width; ++x)
                dst[x] = table[(x & 1) ? (src[x >> 1] & 0x0F) : (src[x >> 1] >> 4)];
            break;
        case 8:
            for (int32_t x = 0; x < dib.width; ++x)
                dst[x] = table[src[x]];
            break;
        default:
            for (int32_t x = 0; x < dib.width; ++x, src += 3)
                dst[x] = uint32_t(src[2]) << 16 | uint32_t(src[1]) << 8 | src[0];
            break;
        }
    }
    return out;
}

} // namespace ic

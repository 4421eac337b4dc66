// The core writer against giflib's decoder: every table size, content that
// fills the string table many times over, interlaced row order, and output
// size against giflib's own encoder.
#include "libs/codec/core/GifEncoder.h"
#include "bench/BenchImages.h"
#include "libs/codec/core/LzwEncoder.h"

#include <algorithm>
#include <cstring>
#include <gif_lib.h>
#include <gtest/gtest.h>
#include <random>
#include <vector>

namespace {

struct MemoryReader {
    const std::vector<uint8_t>* bytes;
    size_t at = 0;
};

int readMemory(GifFileType* gif, GifByteType* out, int n) {
    auto* r = static_cast<MemoryReader*>(gif->UserData);
    const size_t take = std::min(size_t(n), r->bytes->size() - r->at);
    std::memcpy(out, r->bytes->data() + r->at, take);
    r->at += take;
    return int(take);
}

int writeMemory(GifFileType* gif, const GifByteType* data, int n) {
    auto* out = static_cast<std::vector<uint8_t>*>(gif->UserData);
    out->insert(out->end(), data, data + n);
    return n;
}

// Decodes with giflib: the first image's indices, top row first.
std::vector<uint8_t> giflibDecode(const std::vector<uint8_t>& bytes) {
    MemoryReader reader{&bytes};
    int error = 0;
    GifFileType* gif = DGifOpen(&reader, readMemory, &error);
    if (!gif) return {};
    std::vector<uint8_t> out;
    if (DGifSlurp(gif) == GIF_OK && gif->ImageCount > 0) {
        const SavedImage& im = gif->SavedImages[0];
        out.assign(im.RasterBits, im.RasterBits + im.ImageDesc.Width * im.ImageDesc.Height);
    }
    DGifCloseFile(gif, &error);
    return out;
}

// A strict reading of the first image's LZW stream, as the format states it:
// clear code first, no code beyond the table, the end code at the width the
// decoder is at, and nothing after it but the padding bits of the last byte.
// giflib stops at the last pixel and never looks at the end code.
std::vector<uint8_t> strictDecode(const std::vector<uint8_t>& b) {
    size_t p = 13 + ((b[10] & 0x80) ? size_t(3) << ((b[10] & 7) + 1) : 0);
    if (b[p + 9] & 0x80) p += size_t(3) << ((b[p + 9] & 7) + 1);
    p += 10;
    const int minCodeSize = b[p++];
    std::vector<uint8_t> data;
    for (; b[p] != 0; p += size_t(b[p]) + 1)
        data.insert(data.end(), &b[p + 1], &b[p + 1] + b[p]);
    const uint32_t clear = 1u << minCodeSize, end = clear + 1;
    std::vector<uint16_t> prefix(4096);
    std::vector<uint8_t> suffix(4096), out, text;
    uint32_t width = minCodeSize + 1, next = end + 1, bit = 0;
    int32_t prev = -2; // -2: no clear code seen yet
    auto read = [&](uint32_t& code) {
        if (bit + width > data.size() * 8) return false;
        code = 0;
        for (uint32_t i = 0; i < width; ++i, ++bit)
            code |= ((data[bit / 8] >> (bit % 8)) & 1u) << i;
        return true;
    };
    auto expand = [&](uint32_t code) {
        text.clear();
        for (; code >= clear; code = prefix[code])
            text.push_back(suffix[code]);
        text.push_back(uint8_t(code));
        std::reverse(text.begin(), text.end());
    };
    for (uint32_t code;;) {
        if (!read(code)) return {}; // no end code
        if (code == clear) {
            width = minCodeSize + 1, next = end + 1, prev = -1;
            continue;
        }
        if (prev == -2) return {};
        if (code == end) break;
        if (prev == -1) {
            if (code >= clear) return {};
            out.push_back(uint8_t(code));
            prev = int32_t(code);
            continue;
        }
        if (code > next || (code == next && next >= 4096)) return {};
        expand(code == next ? uint32_t(prev) : code);
        if (code == next) text.push_back(text[0]);
        out.insert(out.end(), text.begin(), text.end());
        if (next < 4096) {
            prefix[next] = uint16_t(prev), suffix[next] = text[0];
            if (++next == (1u << width) && width < 12) ++width;
        }
        prev = int32_t(code);
    }
    if ((bit + 7) / 8 != data.size()) return {}; // bytes after the end code
    return out;
}

std::vector<uint8_t> encodeOurs(const std::vector<uint8_t>& pixels, int w, int h, int colors,
                                bool interlaced) {
    std::vector<uint8_t> rgb(size_t(colors) * 3, 0x40);
    gifenc::MemorySink sink;
    gifenc::GifEncoder gif(sink);
    gifenc::ScreenInfo screen{uint16_t(w), uint16_t(h), rgb.data(), colors};
    gifenc::ImageInfo info{0, 0, uint16_t(w), uint16_t(h), interlaced};
    gifenc::BufferRows rows(pixels.data(), size_t(w));
    EXPECT_TRUE(gif.begin(screen) && gif.image(info, rows) && gif.end());
    return sink.bytes();
}

std::vector<uint8_t> encodeGiflib(const std::vector<uint8_t>& pixels, int w, int h,
                                  const std::vector<uint8_t>& rgb) {
    std::vector<uint8_t> out;
    int error = 0;
    GifFileType* gif = EGifOpen(&out, writeMemory, &error);
    ColorMapObject* map =
        GifMakeMapObject(int(rgb.size() / 3), reinterpret_cast<const GifColorType*>(rgb.data()));
    EGifSetGifVersion(gif, true);
    EXPECT_EQ(EGifPutScreenDesc(gif, w, h, 8, 0, map), GIF_OK);
    EXPECT_EQ(EGifPutImageDesc(gif, 0, 0, w, h, false, nullptr), GIF_OK);
    EXPECT_EQ(EGifPutLine(gif, const_cast<GifPixelType*>(pixels.data()), w * h), GIF_OK);
    EGifCloseFile(gif, &error);
    GifFreeMapObject(map);
    return out;
}

enum class Pattern { Random, Constant, Runs, Repeating };

std::vector<uint8_t> makePixels(Pattern p, int w, int h, int colors) {
    std::mt19937 rng(uint32_t(w * 131 + h * 7 + colors));
    std::vector<uint8_t> px(size_t(w) * h);
    for (size_t i = 0; i < px.size(); ++i) {
        switch (p) {
        case Pattern::Random:
            px[i] = uint8_t(rng() % uint32_t(colors));
            break;
        case Pattern::Constant:
            px[i] = uint8_t(colors - 1);
            break;
        case Pattern::Runs:
            px[i] = uint8_t((i / (1 + rng() % 40)) % uint32_t(colors));
            break;
        case Pattern::Repeating:
            px[i] = uint8_t((i % 7) * (i % 13) % uint32_t(colors));
            break;
        }
    }
    return px;
}

struct Case {
    int colors, width, height;
    Pattern pattern;
};

TEST(GifEncoder, GiflibDecodesEveryTableSizeAndContent) {
    const Case cases[] = {
        {2, 1, 1, Pattern::Random},          {2, 3, 1, Pattern::Constant},
        {2, 640, 480, Pattern::Random},      {3, 97, 53, Pattern::Runs},
        {4, 300, 200, Pattern::Random},      {8, 255, 7, Pattern::Repeating},
        {16, 401, 299, Pattern::Random},     {16, 1000, 1000, Pattern::Constant},
        {32, 129, 65, Pattern::Runs},        {64, 512, 384, Pattern::Random},
        {128, 77, 1, Pattern::Repeating},    {256, 1, 1, Pattern::Constant},
        {256, 1920, 1080, Pattern::Random},  {256, 800, 600, Pattern::Runs},
        {200, 333, 222, Pattern::Repeating},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.colors << " colours " << c.width << "x" << c.height
                                        << " pattern " << int(c.pattern));
        const auto pixels = makePixels(c.pattern, c.width, c.height, c.colors);
        const auto bytes = encodeOurs(pixels, c.width, c.height, c.colors, false);
        EXPECT_EQ(giflibDecode(bytes), pixels);
        EXPECT_EQ(strictDecode(bytes), pixels);
    }
}

// Every stream length once, so the last code lands on each width change:
// the end code must follow at the width the decoder has reached by then.
TEST(GifEncoder, EveryLengthEndsWithAnEndCodeAtTheRightWidth) {
    for (int colors : {2, 4, 16, 256}) {
        for (Pattern pattern : {Pattern::Random, Pattern::Constant}) {
            for (int length = 1; length <= 700; ++length) {
                const auto pixels = makePixels(pattern, length, 1, colors);
                ASSERT_EQ(strictDecode(encodeOurs(pixels, length, 1, colors, false)), pixels)
                    << colors << " colours, " << length << " pixels";
            }
        }
    }
}

TEST(GifEncoder, InterlacedRowsComeBackInPlace) {
    for (int height : {1, 2, 3, 4, 5, 7, 8, 9, 13, 16, 17, 100}) {
        SCOPED_TRACE(height);
        std::vector<uint8_t> pixels(size_t(5) * height);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < 5; ++x)
                pixels[size_t(y) * 5 + x] = uint8_t((y * 5 + x) % 256);
        EXPECT_EQ(giflibDecode(encodeOurs(pixels, 5, height, 256, true)), pixels);
    }
}

TEST(GifEncoder, IndicesBeyondTheTableStillGiveAValidStream) {
    std::vector<uint8_t> pixels(64 * 64);
    for (size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = uint8_t(i * 7);
    auto expected = pixels;
    for (auto& p : expected)
        p &= 3; // a 4-colour table keeps the low two bits
    EXPECT_EQ(giflibDecode(encodeOurs(pixels, 64, 64, 4, false)), expected);
}

TEST(GifEncoder, OutputIsNoLargerThanGiflibs) {
    const auto photo = benchimages::photoFrame(640, 360);
    const auto frames = benchimages::animation(3, 480, 270);
    for (const auto* f : {&photo, &frames[0], &frames[2]}) {
        const auto ours = encodeOurs(f->pixels, f->width, f->height, 256, false);
        const auto theirs = encodeGiflib(f->pixels, f->width, f->height, f->palette);
        ASSERT_FALSE(theirs.empty());
        EXPECT_LE(ours.size(), theirs.size());
        EXPECT_EQ(giflibDecode(ours), f->pixels);
    }
}

} // namespace

// The planner's streams as the optimising writer sends them: every way of
// treating a full table decodes in giflib and by the letter of the format,
// and a lossy stream moves pixels only to colours within its distance,
// never to or from the transparent index.
TEST(GifEncoder, PlannedStreamsDecodeEverywhere) {
    std::vector<uint8_t> rgb(256 * 3);
    for (size_t i = 0; i < rgb.size(); ++i)
        rgb[i] = uint8_t(i * 7 % 251);
    const ic::LzwStyle styles[] = {{ic::LzwStyle::WhenFull, false, false, 0, 0},
                                   {ic::LzwStyle::Never, false, false, 0, 0},
                                   {ic::LzwStyle::Adaptive, false, false, 512, 1}};
    for (const Case& c :
         {Case{256, 300, 200, Pattern::Random}, Case{200, 333, 222, Pattern::Repeating},
          Case{16, 640, 100, Pattern::Runs}}) {
        SCOPED_TRACE(int(c.pattern));
        const auto pixels = makePixels(c.pattern, c.width, c.height, c.colors);
        const int bits = gifenc::tableBits(c.colors);
        const auto neighbours = ic::LzwNeighbours::make(rgb.data(), c.colors, 60, 0);
        ic::LzwPlanner planner(bits);
        for (const ic::LzwNeighbours* lossy : {(const ic::LzwNeighbours*)nullptr, &neighbours})
            for (const ic::LzwStyle& style : styles) {
                gifenc::MemorySink sink;
                gifenc::GifEncoder gif(sink);
                ASSERT_TRUE(
                    gif.begin({uint16_t(c.width), uint16_t(c.height), rgb.data(), c.colors}));
                const uint8_t descriptor[10] = {0x2C,
                                                0,
                                                0,
                                                0,
                                                0,
                                                uint8_t(c.width),
                                                uint8_t(c.width >> 8),
                                                uint8_t(c.height),
                                                uint8_t(c.height >> 8),
                                                0};
                ASSERT_TRUE(sink.write(descriptor, sizeof descriptor));
                gifenc::LzwCodeWriter out(sink, bits);
                std::vector<uint8_t> taken(pixels.size());
                planner.run(pixels.data(), nullptr, pixels.size(), style, taken.data(), &out,
                            lossy);
                // 60,000 random pixels take every code, whether or not the
                // stream then cleared: the writer compares clear strategies.
                EXPECT_TRUE(c.pattern != Pattern::Random || planner.Filled());
                ASSERT_TRUE(out.finish() && gif.end());
                EXPECT_EQ(giflibDecode(sink.bytes()), taken);
                EXPECT_EQ(strictDecode(sink.bytes()), taken);
                for (size_t i = 0; i < pixels.size(); ++i) {
                    const uint8_t a = pixels[i], b = taken[i];
                    const int d = [&] {
                        int sum = 0;
                        for (int k = 0; k < 3; ++k)
                            sum += (rgb[a * 3u + k] - rgb[b * 3u + k]) *
                                   (rgb[a * 3u + k] - rgb[b * 3u + k]);
                        return sum;
                    }();
                    ASSERT_TRUE(lossy ? d <= 3600 && (a == 0) == (b == 0) : a == b) << i;
                }
            }
    }
}

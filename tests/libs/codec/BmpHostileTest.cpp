// The BMP decoder on hand-made, truncated and damaged files: the exact error
// code for each impossible header, run-length edge cases decoded as the
// format defines them, and never a crash, a hang or a huge allocation.
#include "CodecModule.h"
#include "libs/codec/CodecErrors.h"
#include "libs/codec/PvCodec.h"
#include "libs/codec/core/BmpDecoder.h"
#include "libs/imagecore/Quantizer.h"

#include <chrono>
#include <cstring>
#include <functional>
#include <gtest/gtest.h>
#include <random>

namespace {

using Bytes = std::vector<uint8_t>;

void put16(Bytes& b, size_t at, uint32_t v) {
    b[at] = uint8_t(v), b[at + 1] = uint8_t(v >> 8);
}
void put32(Bytes& b, size_t at, uint32_t v) {
    put16(b, at, v & 0xFFFF);
    put16(b, at + 2, v >> 16);
}

// A BMP with a 40-byte header, a table of `colors` grey entries and `data`
// as pixel bytes.
Bytes bmp(int32_t w, int32_t h, uint16_t bits, uint32_t compression, uint32_t colors,
          const Bytes& data) {
    Bytes b(54 + colors * 4);
    b[0] = 'B', b[1] = 'M';
    put32(b, 2, uint32_t(b.size() + data.size()));
    put32(b, 10, uint32_t(b.size()));
    put32(b, 14, 40);
    put32(b, 18, uint32_t(w));
    put32(b, 22, uint32_t(h));
    put16(b, 26, 1);
    put16(b, 28, bits);
    put32(b, 30, compression);
    put32(b, 46, colors);
    for (uint32_t i = 0; i < colors; ++i)
        b[54 + 4 * i] = b[55 + 4 * i] = b[56 + 4 * i] = uint8_t(i * 16);
    b.insert(b.end(), data.begin(), data.end());
    return b;
}

Bytes pal8() {
    return bmp(3, 2, 8, 0, 4, {0, 1, 2, 0, 3, 2, 1, 0});
}
Bytes withField(Bytes b, size_t at, uint32_t v) {
    put32(b, at, v);
    return b;
}

struct Result {
    int32_t rc = 0;
    std::vector<uint32_t> rgb;
};

Result decode(const Bytes& b) {
    Result r;
    zp::GlobalBlock out;
    r.rc = gifcore::decodeBmpFile(b.data(), b.size(), gifcore::kBmpMaxPixels,
                                  gifcore::Progress(nullptr, nullptr), out);
    if (r.rc != PVE_OK) return r;
    zp::GlobalLockGuard lock(out.get());
    ic::DibView v;
    EXPECT_TRUE(ic::parseDib(lock.data(), out.size(), v));
    r.rgb = ic::toRgb(v);
    return r;
}

// Grey of table entry i as 0x00RRGGBB.
uint32_t g(uint32_t i) {
    return i * 16 * 0x010101;
}

struct Case {
    const char* name;
    std::function<Bytes()> make;
    int32_t rc;
    std::vector<uint32_t> rgb; // checked when not empty
};

const Case kCases[] = {
    {"plain", pal8, PVE_OK, {g(3), g(2), g(1), g(0), g(1), g(2)}},
    {"no_signature", [] { return withField(pal8(), 0, 0x4D41); }, PVE_BMP_SIGNATURE, {}},
    {"header_size_13", [] { return withField(pal8(), 14, 13); }, PVE_BMP_HEADER, {}},
    {"header_past_end", [] { return withField(pal8(), 14, 4000); }, PVE_BMP_HEADER, {}},
    {"two_planes", [] { return withField(pal8(), 26, 0x00080002); }, PVE_BMP_HEADER, {}},
    {"three_bits", [] { return withField(pal8(), 26, 0x00030001); }, PVE_BMP_HEADER, {}},
    {"sixty_four_bits", [] { return withField(pal8(), 26, 0x00400001); }, PVE_BMP_COMPRESSION, {}},
    {"zero_width", [] { return withField(pal8(), 18, 0); }, PVE_BMP_HEADER, {}},
    {"negative_width", [] { return withField(pal8(), 18, uint32_t(-3)); }, PVE_BMP_HEADER, {}},
    {"zero_height", [] { return withField(pal8(), 22, 0); }, PVE_BMP_HEADER, {}},
    {"height_int_min", [] { return withField(pal8(), 22, 0x80000000u); }, PVE_BMP_HEADER, {}},
    {"too_wide", [] { return withField(pal8(), 18, 65536); }, PVE_TOO_LARGE, {}},
    {"too_high_top_down",
     [] { return withField(pal8(), 22, uint32_t(-65536)); },
     PVE_TOO_LARGE,
     {}},
    {"huge_claim_tiny_file",
     [] {
         return bmp(16384, 16384, 24, 0, 0, {1, 2, 3});
     },
     PVE_BMP_SHORT,
     {}},
    {"huge_rle_tiny_file",
     [] {
         return bmp(16384, 16384, 8, 1, 4, {0, 1});
     },
     PVE_BMP_RLE,
     {}},
    {"jpeg_inside", [] { return withField(pal8(), 30, 4); }, PVE_BMP_COMPRESSION, {}},
    {"png_inside", [] { return withField(pal8(), 30, 5); }, PVE_BMP_COMPRESSION, {}},
    {"unknown_compression", [] { return withField(pal8(), 30, 77); }, PVE_BMP_COMPRESSION, {}},
    {"rle8_on_24_bits", [] { return bmp(2, 2, 24, 1, 0, Bytes(16)); }, PVE_BMP_HEADER, {}},
    {"fields_on_24_bits", [] { return bmp(2, 2, 24, 3, 0, Bytes(28)); }, PVE_BMP_MASKS, {}},
    {"fields_all_empty", [] { return bmp(1, 1, 32, 3, 0, Bytes(16)); }, PVE_BMP_MASKS, {}},
    {"fields_565",
     [] {
         return withField(bmp(3, 1, 16, 3, 0, {0, 0xF8, 0, 0,    0xE0, 0x07, 0,    0, 0x1F, 0,
                                               0, 0,    0, 0xF8, 0xE0, 0x07, 0x10, 0, 0,    0}),
                          10, 66);
     },
     PVE_OK,
     {0xFF0000, 0x00FF00, 0x000084}},
    {"fields_ten_bits",
     [] {
         return withField(bmp(2, 1, 32, 3, 0, {0, 0, 0xF0, 0x3F, 0,    0xFC, 0x0F, 0,    0xFF, 0x03,
                                               0, 0, 0xFF, 0xFF, 0xFF, 0x3F, 0xFF, 0x01, 0,    0}),
                          10, 66);
     },
     PVE_OK,
     {0xFFFFFF, 0x00007F}},
    {"rle_top_down",
     [] {
         return bmp(2, -2, 8, 1, 4, {0, 1});
     },
     PVE_BMP_RLE,
     {}},
    {"table_outside_file",
     [] { return withField(bmp(2, 2, 8, 0, 0, {}), 46, 0); },
     PVE_BMP_PALETTE,
     {}},
    {"rows_short",
     [] {
         return bmp(3, 2, 8, 0, 4, {0, 1, 2, 0, 3});
     },
     PVE_BMP_SHORT,
     {}},
    {"last_row_padding_missing",
     [] {
         return bmp(3, 2, 8, 0, 4, {0, 1, 2, 0, 3, 2, 1});
     },
     PVE_OK,
     {g(3), g(2), g(1), g(0), g(1), g(2)}},
    {"pixel_offset_past_end",
     [] { return withField(pal8(), 10, 9999); },
     PVE_OK,
     {g(3), g(2), g(1), g(0), g(1), g(2)}},
    // Run-length data: bottom row first; runs clip at the row end, jumps
    // and end codes leave colour 0 behind, a cut keeps what came before.
    {"rle8_runs_clip",
     [] {
         return bmp(3, 2, 8, 1, 4, {5, 2, 0, 0, 1, 3, 0, 1});
     },
     PVE_OK,
     {g(3), g(0), g(0), g(2), g(2), g(2)}},
    {"rle8_jump_out",
     [] {
         return bmp(3, 2, 8, 1, 4, {1, 1, 0, 2, 1, 9, 1, 2});
     },
     PVE_OK,
     {g(0), g(0), g(0), g(1), g(0), g(0)}},
    {"rle8_absolute_cut",
     [] {
         return bmp(3, 1, 8, 1, 4, {0, 3, 1, 2});
     },
     PVE_OK,
     {g(1), g(2), g(0)}},
    {"rle4_nibbles",
     [] {
         return bmp(5, 1, 4, 2, 16, {3, 0x12, 0, 3, 0xAB, 0xC0});
     },
     PVE_OK,
     {g(1), g(2), g(1), g(10), g(11)}},
    {"rle_index_past_table",
     [] {
         return bmp(2, 1, 8, 1, 2, {2, 200});
     },
     PVE_OK,
     {0, 0}},
};

void PrintTo(const Case& c, std::ostream* os) {
    *os << c.name;
}

class BmpHostile : public testing::TestWithParam<Case> {};

TEST_P(BmpHostile, AnswersAsExpected) {
    const Case& c = GetParam();
    const auto started = std::chrono::steady_clock::now();
    const Result r = decode(c.make());
    EXPECT_EQ(r.rc, c.rc);
    if (!c.rgb.empty()) {
        EXPECT_EQ(r.rgb, c.rgb);
    }
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(2));
}

INSTANTIATE_TEST_SUITE_P(Files, BmpHostile, testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Every cut of small files: uncompressed rows refuse a cut in the pixels,
// run-length data gives what was decoded; nothing crashes.
TEST(BmpHostileCuts, EveryLength) {
    const Bytes plain = bmp(5, 4, 24, 0, 0, Bytes(16 * 4, 0x55));
    const Bytes rle =
        bmp(6, 3, 8, 1, 16, {3, 1, 0, 4, 1, 2, 3, 4, 0, 0, 6, 7, 0, 2, 1, 1, 2, 9, 0, 1});
    for (size_t n = 0; n < plain.size(); ++n) {
        const Result r = decode(Bytes(plain.begin(), plain.begin() + long(n)));
        if (n < 54)
            EXPECT_LT(r.rc, 0) << n;
        else
            EXPECT_EQ(r.rc, n + 1 == plain.size() ? PVE_OK : PVE_BMP_SHORT) << n;
    }
    for (size_t n = 0; n < rle.size(); ++n) {
        const Result r = decode(Bytes(rle.begin(), rle.begin() + long(n)));
        if (n > 54 + 64)
            EXPECT_EQ(r.rc, PVE_OK) << n;
        else
            EXPECT_LT(r.rc, 0) << n;
    }
}

// Random damage to real-shaped files: an answer, never a fault.
TEST(BmpHostileCuts, RandomCorruption) {
    const Bytes seeds[] = {
        pal8(),
        bmp(7, 5, 4, 2, 16, {4, 0x12, 0, 3, 0xAB, 0xC0, 0, 0, 2, 0x33, 0, 2, 1, 1, 0, 1}),
        withField(bmp(3, 2, 16, 3, 0, {0, 0xF8, 0, 0, 0xE0, 0x07, 0, 0, 0x1F, 0,  0,  0,  1, 2,
                                       3, 4,    5, 6, 0,    0,    7, 8, 9,    10, 11, 12, 0, 0}),
                  10, 66),
        bmp(2, 2, 1, 0, 2, {0x80, 0, 0, 0, 0x40, 0, 0, 0}),
    };
    std::mt19937 rng(77);
    for (const Bytes& seed : seeds)
        for (int i = 0; i < 400; ++i) {
            Bytes b = seed;
            for (int k = 0, n = 1 + int(rng() % 4); k < n; ++k)
                b[rng() % b.size()] = uint8_t(rng());
            const Result r = decode(b);
            EXPECT_TRUE(r.rc == PVE_OK || r.rc < 0);
        }
}

// Each code of the BMP and icon readers has its own clear text.
TEST(BmpHostileCuts, ErrorTextsAreClear) {
    using LoadString = int32_t (*)(uint32_t, char*, int32_t);
    const auto text = testsupport::codecProc<LoadString>("PVLoadString");
    ASSERT_NE(text, nullptr);
    for (int32_t code = PVE_BMP_SIGNATURE; code >= PVE_ICO_ENTRY; --code) {
        char buffer[256] = {};
        EXPECT_GT(text(uint32_t(uint16_t(code)), buffer, sizeof buffer), 20) << code;
        EXPECT_TRUE(std::strstr(buffer, "BMP") || std::strstr(buffer, "icon")) << buffer;
    }
}

} // namespace

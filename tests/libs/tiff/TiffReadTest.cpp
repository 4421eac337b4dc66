// Every layout and compression the TIFF reader claims, on files written by
// ImageMagick at test time and compared with the pixels the test made.
#include "TiffTestSupport.h"

#include <random>

namespace {

using namespace tifftest;
namespace fs = std::filesystem;

constexpr int kW = 97, kH = 61; // odd sizes: partial tiles, strips and bytes

enum class Source { Photo, Few, Many, Grey, Grey16Levels, Grey4Levels, BlackWhite };

std::vector<uint32_t> source(Source s) {
    switch (s) {
    case Source::Photo:
        return fixtures::photo(kW, kH, 7);
    case Source::Few:
        return fixtures::fewColors(kW, kH, 13, 9);
    case Source::Many:
        return fixtures::fewColors(kW, kH, 200, 9);
    default:
        break;
    }
    std::mt19937 rng(3);
    std::vector<uint32_t> px(size_t(kW) * kH);
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            uint32_t v = uint32_t((x * 255 / (kW - 1) + y * 3) % 256);
            if (s == Source::Grey16Levels) v = (v / 17) * 17;
            if (s == Source::Grey4Levels) v = (v / 85) * 85;
            if (s == Source::BlackWhite) v = ((x / 3 + y / 2) % 3 == 0 || rng() % 7 == 0) ? 0 : 255;
            px[size_t(y) * kW + x] = v << 16 | v << 8 | v;
        }
    return px;
}

struct Case {
    const char* name;
    Source source;
    const char* args;    // convert options between input and output
    int storedBits;      // DIB depth at bits 0 (0: 1..8 accepted)
    double minPsnr;      // 999 = exact
    int16_t infoBits;    // getinfo's bits per pixel
    int32_t compression; // getinfo's TIFF compression code
};

const Case kCases[] = {
    {"rgb_none", Source::Photo, "-type TrueColor -depth 8 -compress None", 24, 999, 24, 1},
    {"rgb_lzw", Source::Photo, "-type TrueColor -depth 8 -compress LZW", 24, 999, 24, 5},
    {"rgb_zip", Source::Photo, "-type TrueColor -depth 8 -compress Zip", 24, 999, 24, 8},
    {"rgb_packbits", Source::Photo, "-type TrueColor -depth 8 -compress RLE", 24, 999, 24, 32773},
    {"rgb_16bit", Source::Photo, "-type TrueColor -depth 16 -compress None", 24, 999, 48, 1},
    {"rgb_tiled", Source::Photo,
     "-type TrueColor -depth 8 -compress LZW -define tiff:tile-geometry=32x32", 24, 999, 24, 5},
    {"rgb_jpeg", Source::Photo, "-type TrueColor -compress JPEG -quality 95", 24, 30, 24, 7},
    {"cmyk", Source::Photo, "-colorspace CMYK -depth 8 -compress None", 24, 35, 32, 1},
    {"palette_13", Source::Few, "-type Palette -compress LZW", 0, 999, 0, 5},
    // ImageMagick 6.9 writes corrupt tiles for 4-bit palettes (its own reader
    // and Pillow disagree with its source too): the tiled case is 8 bits.
    {"palette_tiled", Source::Many, "-type Palette -compress None -define tiff:tile-geometry=32x32",
     0, 999, 0, 1},
    {"grey8", Source::Grey, "-type Grayscale -depth 8 -compress None", 8, 999, 8, 1},
    {"grey8_tiled", Source::Grey,
     "-type Grayscale -depth 8 -compress Zip -define tiff:tile-geometry=32x32", 8, 999, 8, 8},
    {"grey16", Source::Grey, "-type Grayscale -depth 16 -compress LZW", 8, 999, 16, 5},
    {"grey4", Source::Grey16Levels, "-type Grayscale -depth 4 -compress None", 4, 999, 4, 1},
    {"grey2", Source::Grey4Levels, "-type Grayscale -depth 2 -compress None", 4, 999, 2, 1},
    {"bilevel_g4", Source::BlackWhite, "-type Bilevel -compress Group4", 1, 999, 1, 4},
    {"bilevel_g3", Source::BlackWhite, "-type Bilevel -compress Fax", 1, 999, 1, 3},
    {"bilevel_tiled", Source::BlackWhite,
     "-type Bilevel -depth 1 -compress None -define tiff:tile-geometry=32x32", 1, 999, 1, 1},
    {"bilevel_packbits", Source::BlackWhite, "-type Bilevel -depth 1 -compress RLE", 1, 999, 1,
     32773},
};

void PrintTo(const Case& c, std::ostream* os) {
    *os << c.name;
}

class TiffFormats : public ::testing::TestWithParam<Case> {};

TEST_P(TiffFormats, DecodesLikeTheSource) {
    if (!haveConvert()) GTEST_SKIP() << "/usr/bin/convert is not installed";
    const Case& c = GetParam();
    const fs::path dir = testsupport::tempDir("tiffread");
    const std::vector<uint32_t> px = source(c.source);
    const bool grey =
        c.source != Source::Photo && c.source != Source::Few && c.source != Source::Many;
    writePnm(dir / "in.pnm", kW, kH, px, grey);
    const fs::path file = dir / "out.tif";
    ASSERT_TRUE(convert((dir / "in.pnm").string() + " " + c.args + " " + file.string()));

    int32_t rc = 0;
    fixtures::DibBlock dib(readDib(file, 0, 0, 0, &rc));
    ASSERT_TRUE(dib.valid()) << rc << " " << errorText(rc);
    EXPECT_EQ(dib.view().width, kW);
    EXPECT_EQ(dib.view().height, kH);
    if (c.storedBits) {
        EXPECT_EQ(dib.view().bpp, c.storedBits);
    } else {
        EXPECT_LE(dib.view().bpp, 8);
    }
    const std::vector<uint32_t> got = dib.rgb();
    if (c.minPsnr >= 999) {
        EXPECT_EQ(got, px);
    } else {
        EXPECT_GT(fixtures::psnr(got, px), c.minPsnr);
    }

    static auto info = proc<PFN_getinfo>("getinfo");
    int32_t w = 0, h = 0, compression = 0;
    int16_t bits = 0, pages = 0;
    ASSERT_EQ(info(file.c_str(), 0, &w, &h, &bits, &pages, &compression, 0), 1);
    EXPECT_EQ(w, kW);
    EXPECT_EQ(h, kH);
    if (c.infoBits) {
        EXPECT_EQ(bits, c.infoBits);
    }
    EXPECT_EQ(pages, 1);
    EXPECT_EQ(compression, c.compression);
}

INSTANTIATE_TEST_SUITE_P(Layouts, TiffFormats, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Alpha is composited over white: half-transparent colour lands halfway to white.
TEST(TiffAlpha, CompositedOverWhite) {
    if (!haveConvert()) GTEST_SKIP() << "/usr/bin/convert is not installed";
    const fs::path dir = testsupport::tempDir("tiffalpha");
    const std::vector<uint32_t> px = fixtures::photo(kW, kH, 5);
    writePnm(dir / "in.ppm", kW, kH, px, false);
    ASSERT_TRUE(convert((dir / "in.ppm").string() +
                        " -alpha set -channel A -evaluate set 50% +channel -depth 8 "
                        "-compress LZW " +
                        (dir / "a.tif").string()));
    fixtures::DibBlock dib(readDib(dir / "a.tif", 0, 0, 0));
    ASSERT_TRUE(dib.valid());
    const std::vector<uint32_t> got = dib.rgb();
    for (size_t i = 0; i < px.size(); ++i)
        for (int s = 0; s <= 16; s += 8) {
            const int expect = (int((px[i] >> s) & 0xFF) + 255 + 1) / 2;
            ASSERT_NEAR(int((got[i] >> s) & 0xFF), expect, 2) << i;
        }
}

} // namespace

#include "libs/imagecore/Quantizer.h"
#include "libs/imagecore/DibFixtures.h"

#include <gtest/gtest.h>

using fixtures::DibBlock;

namespace {

class QuantizerTest : public ::testing::Test {
  protected:
    void TearDown() override { EXPECT_TRUE(before_ == fixtures::LiveObjects{}) << "leaked"; }

  private:
    fixtures::LiveObjects before_;
};

ic::RgbImage imageOf(const std::vector<uint32_t>& px, int width) {
    return ic::RgbImage{width, int32_t(px.size() / size_t(width)), px.data()};
}

std::vector<uint32_t> reduced(const std::vector<uint32_t>& px, int width,
                              const std::vector<RGBQUAD>& palette, int bits, bool dither) {
    DibBlock dib(ic::mapToPalette(imageOf(px, width), palette, bits, dither));
    EXPECT_TRUE(dib.valid());
    return dib.rgb();
}

} // namespace

// A picture with no more colours than the palette holds comes back exactly,
// dithered or not, at every depth; odd widths exercise the packing of rows.
TEST_F(QuantizerTest, FewColoursAreKeptExactly) {
    struct Row {
        int bits;
        int colors;
    };
    for (const Row row : {Row{1, 1}, Row{1, 2}, Row{4, 5}, Row{4, 16}, Row{8, 200}, Row{8, 256}})
        for (const bool dither : {false, true}) {
            SCOPED_TRACE(testing::Message() << row.bits << " bits, " << row.colors << " colours, "
                                            << (dither ? "dithered" : "plain"));
            const int width = 97;
            const std::vector<uint32_t> px = fixtures::fewColors(width, 61, row.colors);
            DibBlock dib(ic::reduceToPalette(imageOf(px, width), row.bits, dither));
            ASSERT_TRUE(dib.valid());
            EXPECT_EQ(dib.view().bpp, row.bits);
            EXPECT_EQ(dib.view().colorCount, uint32_t(row.colors));
            EXPECT_TRUE(dib.rgb() == px);
        }
}

// The palette never exceeds the limit, every index stays inside the table,
// and a many-coloured picture gets the whole palette it asked for.
TEST_F(QuantizerTest, ColourLimitsAreRespected) {
    const int width = 120;
    const std::vector<uint32_t> px = fixtures::photo(width, 80);
    for (const int limit : {1, 2, 16, 256}) {
        SCOPED_TRACE(limit);
        EXPECT_EQ(ic::buildPalette(imageOf(px, width), limit).size(), size_t(limit));
    }
    for (const int bits : {1, 4, 8})
        for (const bool dither : {false, true}) {
            SCOPED_TRACE(testing::Message() << bits << " bits, dither " << dither);
            DibBlock dib(ic::reduceToPalette(imageOf(px, width), bits, dither));
            ASSERT_TRUE(dib.valid());
            const ic::DibView& v = dib.view();
            EXPECT_EQ(v.colorCount, 1u << bits);
            uint32_t highest = 0;
            for (int y = 0; y < v.height; ++y)
                for (int x = 0; x < v.width; ++x)
                    highest = std::max<uint32_t>(highest, v.index(x, y));
            EXPECT_LT(highest, v.colorCount);
        }
}

// Quality: a palette that ignores the picture (the uniform 8-8-4 cube, 256
// entries) is the floor any adaptive palette must clear by a wide margin on
// a photo-like picture; 3 dB is half the error energy. The picture's own
// per-pixel noise caps what 256 colours can reach: ImageMagick 6.9's
// "-colors 256 -dither None" gets 30.1 dB on it, the absolute bar here.
TEST_F(QuantizerTest, AdaptivePaletteBeatsAUniformCube) {
    const int width = 256;
    const std::vector<uint32_t> px = fixtures::photo(width, 192);
    std::vector<RGBQUAD> cube;
    for (int i = 0; i < 256; ++i)
        cube.push_back(RGBQUAD{uint8_t((i & 3) * 255 / 3), uint8_t(((i >> 2) & 7) * 255 / 7),
                               uint8_t(((i >> 5) & 7) * 255 / 7), 0});
    const double floor = fixtures::psnr(px, reduced(px, width, cube, 8, false));
    const double ours =
        fixtures::psnr(px, reduced(px, width, ic::buildPalette(imageOf(px, width), 256), 8, false));
    RecordProperty("uniform_cube_psnr", std::to_string(floor));
    RecordProperty("adaptive_psnr", std::to_string(ours));
    EXPECT_GT(ours, floor + 3.0);
    EXPECT_GT(ours, 30.1);
    // 16 colours must still beat a picture-blind palette of the same size.
    const std::vector<RGBQUAD> cube16(cube.begin(), cube.begin() + 16);
    EXPECT_GT(
        fixtures::psnr(px, reduced(px, width, ic::buildPalette(imageOf(px, width), 16), 4, false)),
        fixtures::psnr(px, reduced(px, width, cube16, 4, false)) + 3.0);
}

// Error diffusion keeps the local mean: on a slow grey ramp mapped to a few
// levels, 8 x 8 block averages of the dithered picture stay much closer to
// the original's than those of plain nearest-colour mapping (which bands).
TEST_F(QuantizerTest, DitheringKeepsLocalMeansOnGradients) {
    struct Row {
        const char* name;
        std::vector<RGBQUAD> palette;
        int bits;
    };
    const std::vector<Row> rows = {
        {"four greys", {{0, 0, 0, 0}, {85, 85, 85, 0}, {170, 170, 170, 0}, {255, 255, 255, 0}}, 4},
        {"black and white", {{0, 0, 0, 0}, {255, 255, 255, 0}}, 1},
    };
    const int width = 512, height = 64;
    std::vector<uint32_t> ramp(size_t(width) * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const uint32_t v = uint32_t(x * 255 / (width - 1));
            ramp[size_t(y) * width + size_t(x)] = v << 16 | v << 8 | v;
        }
    auto blockError = [&](const std::vector<uint32_t>& out) {
        double total = 0;
        int blocks = 0;
        for (int by = 0; by < height; by += 8)
            for (int bx = 0; bx < width; bx += 8, ++blocks)
                for (int shift = 0; shift <= 16; shift += 8) {
                    double a = 0, b = 0;
                    for (int y = by; y < by + 8; ++y)
                        for (int x = bx; x < bx + 8; ++x) {
                            a += (ramp[size_t(y) * width + size_t(x)] >> shift) & 0xFF;
                            b += (out[size_t(y) * width + size_t(x)] >> shift) & 0xFF;
                        }
                    total += std::abs(a - b) / 64.0;
                }
        return total / (3.0 * blocks);
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const double plain = blockError(reduced(ramp, width, row.palette, row.bits, false));
        const double dithered = blockError(reduced(ramp, width, row.palette, row.bits, true));
        EXPECT_LT(dithered, plain / 4.0) << "plain " << plain << ", dithered " << dithered;
        EXPECT_LT(dithered, 3.0);
    }
}

// Plain mapping picks the nearest entry exactly as the platform's
// GetNearestPaletteIndex does (squared distance, lowest index on ties), for
// palettes with duplicates and colours all over the cube.
TEST_F(QuantizerTest, PlainMappingIsExactNearest) {
    std::mt19937 rng(5);
    const int width = 64;
    std::vector<uint32_t> px(size_t(width) * 64);
    for (uint32_t& c : px)
        c = rng() & 0xFFFFFF;
    for (const uint32_t size : {1u, 2u, 7u, 16u, 255u, 256u}) {
        SCOPED_TRACE(size);
        std::vector<RGBQUAD> palette = fixtures::randomTable(size, size);
        if (size > 2) palette[size - 1] = palette[0]; // a duplicate: the lower index wins
        const int bits = size <= 2 ? 1 : (size <= 16 ? 4 : 8);
        const HPALETTE gdi = fixtures::makePalette(palette);
        DibBlock dib(ic::mapToPalette(imageOf(px, width), palette, bits, false));
        ASSERT_TRUE(dib.valid());
        int wrong = 0;
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < width; ++x) {
                const uint32_t c = px[size_t(y) * width + size_t(x)];
                const uint32_t want =
                    GetNearestPaletteIndex(gdi, RGB(uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c)));
                wrong += dib.view().index(x, y) != want;
            }
        EXPECT_EQ(wrong, 0);
        DeleteObject(gdi);
    }
}

// Same input, same bytes; and the fourth byte of BGRX pixels plays no part.
TEST_F(QuantizerTest, DeterministicAndBlindToTheFourthByte) {
    const int width = 150;
    const std::vector<uint32_t> px = fixtures::photo(width, 90, 9);
    std::vector<uint32_t> withX = px;
    for (size_t i = 0; i < withX.size(); ++i)
        withX[i] |= uint32_t(i * 77) << 24;
    for (const bool dither : {false, true}) {
        DibBlock a(ic::reduceToPalette(imageOf(px, width), 8, dither));
        DibBlock b(ic::reduceToPalette(imageOf(px, width), 8, dither));
        DibBlock c(ic::reduceToPalette(imageOf(withX, width), 8, dither));
        ASSERT_TRUE(a.valid() && b.valid() && c.valid());
        const size_t bytes = GlobalSize(a.handle());
        ASSERT_EQ(bytes, GlobalSize(b.handle()));
        ASSERT_EQ(bytes, GlobalSize(c.handle()));
        EXPECT_EQ(std::memcmp(a.data(), b.data(), bytes), 0);
        EXPECT_EQ(std::memcmp(a.data(), c.data(), bytes), 0);
    }
}

// Arguments that cannot work give 0 and allocate nothing.
TEST_F(QuantizerTest, RefusesImpossibleMappings) {
    const std::vector<uint32_t> px(16, 0x123456);
    const std::vector<RGBQUAD> two = fixtures::randomTable(2, 1),
                               three = fixtures::randomTable(3, 1);
    struct Row {
        const char* name;
        ic::RgbImage image;
        const std::vector<RGBQUAD>* palette;
        int bits;
    };
    const std::vector<RGBQUAD> none;
    const std::vector<RGBQUAD> big = fixtures::randomTable(257, 1);
    const Row rows[] = {
        {"palette larger than the depth", {4, 4, px.data()}, &three, 1},
        {"empty palette", {4, 4, px.data()}, &none, 8},
        {"257 entries", {4, 4, px.data()}, &big, 8},
        {"2 bits", {4, 4, px.data()}, &two, 2},
        {"24 bits", {4, 4, px.data()}, &two, 24},
        {"no pixels", {4, 4, nullptr}, &two, 8},
        {"zero width", {0, 4, px.data()}, &two, 8},
        {"negative height", {4, -4, px.data()}, &two, 8},
        {"too wide", {ic::kMaxSide + 1, 1, px.data()}, &two, 8},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(ic::mapToPalette(row.image, *row.palette, row.bits, true), 0u);
    }
    EXPECT_EQ(ic::reduceToPalette({4, 4, px.data()}, 24, false), 0u);
    EXPECT_EQ(ic::reduceToPalette({4, 4, nullptr}, 8, false), 0u);
}

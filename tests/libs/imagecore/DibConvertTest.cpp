#include "libs/imagecore/DibConvert.h"
#include "libs/imagecore/DibFixtures.h"

#include <gtest/gtest.h>

using fixtures::bitmapPixels;
using fixtures::DibBlock;

namespace {

class DibConvertTest : public ::testing::Test {
  protected:
    void TearDown() override { EXPECT_TRUE(before_ == fixtures::LiveObjects{}) << "leaked"; }

  private:
    fixtures::LiveObjects before_;
};

bool sameTable(const std::vector<RGBQUAD>& a, const std::vector<RGBQUAD>& b) {
    return a.size() == b.size() &&
           (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(RGBQUAD)) == 0);
}

std::vector<RGBQUAD> paletteTable(HPALETTE palette) {
    std::vector<PALETTEENTRY> e(GetPaletteEntries(palette, 0, 0, nullptr));
    GetPaletteEntries(palette, 0, uint32_t(e.size()), e.data());
    std::vector<RGBQUAD> out;
    for (const PALETTEENTRY& p : e)
        out.push_back(RGBQUAD{p.peBlue, p.peGreen, p.peRed, 0});
    return out;
}

} // namespace

// Raising the depth (and keeping it) loses nothing: same colours, and a
// palette target keeps the source's table as it was.
TEST_F(DibConvertTest, RaisingTheDepthKeepsColoursAndTable) {
    const std::pair<int, int> pairs[] = {{1, 4},  {1, 8},  {1, 24}, {4, 8},
                                         {4, 24}, {8, 24}, {8, 8},  {24, 24}};
    for (const auto& [from, to] : pairs)
        for (const bool dither : {false, true}) {
            SCOPED_TRACE(testing::Message() << from << " -> " << to << " dither " << dither);
            DibBlock source(fixtures::randomDib(37, 23, from, uint32_t(from * 10 + to)));
            ASSERT_TRUE(source.valid());
            DibBlock out(ic::convertDibDepth(source.view(), to, dither));
            ASSERT_TRUE(out.valid());
            EXPECT_EQ(out.view().bpp, to);
            EXPECT_TRUE(out.rgb() == source.rgb());
            if (to != 24) {
                EXPECT_TRUE(sameTable(out.table(), source.table()));
            }
        }
}

// Lowering the depth is exact while the colours in use fit, whatever their
// indices in the source table; a picture with too many is quantised into
// the smaller table.
TEST_F(DibConvertTest, LoweringTheDepthIsExactWhenTheColoursFit) {
    struct Row {
        int from;
        int to;
        int used; // distinct colours the pixels use
    };
    const Row rows[] = {{8, 4, 16},   {8, 1, 2},   {4, 1, 2},  {8, 4, 3},
                        {24, 8, 256}, {24, 4, 16}, {24, 1, 2}, {24, 1, 1}};
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << row.from << " -> " << row.to << ", " << row.used);
        const int width = 41, height = 19;
        HGLOBAL block;
        if (row.from == 24) {
            const std::vector<uint32_t> px = fixtures::fewColors(width, height, row.used);
            block = fixtures::makeDib(width, height, 24, {}, [&](int x, int y) {
                return px[size_t(y) * width + size_t(x)];
            });
        } else {
            // Use indices spread over the whole table, the highest included.
            const uint32_t size = 1u << row.from;
            block = fixtures::makeDib(
                width, height, row.from, fixtures::randomTable(size, 3), [&](int x, int y) {
                    const uint32_t k = uint32_t(x * 7 + y) % uint32_t(row.used);
                    return size - 1 - k * (size / uint32_t(row.used));
                });
        }
        DibBlock source(block);
        ASSERT_TRUE(source.valid());
        for (const bool dither : {false, true}) {
            DibBlock out(ic::convertDibDepth(source.view(), row.to, dither));
            ASSERT_TRUE(out.valid());
            EXPECT_EQ(out.view().bpp, row.to);
            EXPECT_LE(out.view().colorCount, 1u << row.to);
            EXPECT_TRUE(out.rgb() == source.rgb());
        }
    }
    DibBlock photo(fixtures::randomDib(64, 48, 24, 4));
    for (const int bits : {1, 4, 8}) {
        DibBlock out(ic::convertDibDepth(photo.view(), bits, false));
        ASSERT_TRUE(out.valid());
        EXPECT_EQ(out.view().colorCount, 1u << bits);
    }
    DibBlock full(fixtures::randomDib(64, 48, 8, 5)); // all 256 random colours in use
    DibBlock out(ic::convertDibDepth(full.view(), 4, true));
    ASSERT_TRUE(out.valid());
    EXPECT_EQ(out.view().colorCount, 16u);
}

// A top-down source (negative height) is read top row first, and rows of
// any stored order come out bottom-up.
TEST_F(DibConvertTest, TopDownSourcesKeepTheirOrientation) {
    for (const int bits : {1, 4, 8, 24}) {
        SCOPED_TRACE(bits);
        DibBlock bottomUp(fixtures::randomDib(19, 7, bits, 11));
        const uint64_t bytes = GlobalSize(bottomUp.handle());
        DibBlock topDown(GlobalAlloc(GHND, bytes));
        ASSERT_NE(topDown.handle(), 0u);
        auto* copy = static_cast<uint8_t*>(topDown.data());
        std::memcpy(copy, bottomUp.data(), bytes);
        auto* header = reinterpret_cast<BITMAPINFOHEADER*>(copy);
        const ic::DibView& v = bottomUp.view();
        header->biHeight = -v.height;
        uint8_t* bits0 = copy + (v.bits - static_cast<const uint8_t*>(bottomUp.data()));
        for (int y = 0; y < v.height; ++y)
            std::memcpy(bits0 + v.stride * size_t(y), v.row(y), v.stride);
        ic::DibView topView;
        ASSERT_TRUE(ic::parseDib(copy, bytes, topView));
        EXPECT_TRUE(ic::toRgb(topView) == bottomUp.rgb());
        DibBlock out(ic::convertDibDepth(topView, 24, false));
        ASSERT_TRUE(out.valid());
        EXPECT_TRUE(out.view().bottomUp);
        EXPECT_TRUE(out.rgb() == bottomUp.rgb());
    }
}

// DIB -> device bitmap -> DIB at the same depth gives the picture and the
// table back; the bitmap holds the picture top row first and the palette
// the colour table (none for 24 bits).
TEST_F(DibConvertTest, DeviceBitmapRoundTrip) {
    for (const int bits : {1, 4, 8, 24})
        for (const bool dither : {false, true}) {
            SCOPED_TRACE(testing::Message() << bits << " bits, dither " << dither);
            DibBlock source(fixtures::randomDib(33, 17, bits, uint32_t(bits)));
            HBITMAP bitmap = 0;
            HPALETTE palette = 0;
            ASSERT_TRUE(ic::dibToDeviceBitmap(source.view(), &bitmap, &palette));
            EXPECT_TRUE(bitmapPixels(bitmap) == source.rgb());
            EXPECT_EQ(palette != 0, bits != 24);
            if (palette) {
                EXPECT_TRUE(sameTable(paletteTable(palette), source.table()));
            }
            DibBlock back(ic::deviceBitmapToDib(bitmap, palette, bits, dither));
            ASSERT_TRUE(back.valid());
            EXPECT_EQ(back.view().bpp, bits);
            EXPECT_TRUE(back.rgb() == source.rgb());
            EXPECT_TRUE(sameTable(back.table(), source.table()));
            DeleteObject(bitmap);
            if (palette) DeleteObject(palette);
        }
}

// Without a palette that fits the depth, the bitmap gets a palette of its
// own: exact for few colours, within the depth's limit for many.
TEST_F(DibConvertTest, DeviceBitmapWithoutAFittingPalette) {
    const int width = 45, height = 30;
    const std::vector<uint32_t> few = fixtures::fewColors(width, height, 16, 8);
    const HBITMAP bitmap = CreateDeviceBitmap(width, height);
    uint32_t* px = DeviceBitmapBits(bitmap);
    for (size_t i = 0; i < few.size(); ++i)
        px[i] = few[i] | 0xFF000000u;                 // X byte set
    DibBlock source(fixtures::randomDib(4, 4, 8, 1)); // a 256-entry palette
    HBITMAP unused = 0;
    HPALETTE big = 0;
    ASSERT_TRUE(ic::dibToDeviceBitmap(source.view(), &unused, &big));
    DeleteObject(unused);
    for (const HPALETTE palette : {HPALETTE(0), big}) {
        DibBlock out(ic::deviceBitmapToDib(bitmap, palette, 4, false));
        ASSERT_TRUE(out.valid());
        EXPECT_EQ(out.view().colorCount, 16u);
        EXPECT_TRUE(out.rgb() == few);
    }
    DibBlock two(ic::deviceBitmapToDib(bitmap, 0, 1, true));
    ASSERT_TRUE(two.valid());
    EXPECT_EQ(two.view().colorCount, 2u);
    EXPECT_EQ(ic::deviceBitmapToDib(bitmap, 0, 16, false), 0u);
    EXPECT_EQ(ic::deviceBitmapToDib(bitmap + 1000, 0, 8, false), 0u);
    DeleteObject(big);
    DeleteObject(bitmap);
}

// copyDib copies header, table and rows byte for byte, including a table
// that a 24-bit DIB may carry.
TEST_F(DibConvertTest, CopyIsByteForByte) {
    for (const int bits : {1, 4, 8, 24}) {
        SCOPED_TRACE(bits);
        DibBlock source(bits == 24 ? fixtures::makeDib(9, 5, 24, fixtures::randomTable(3, 1),
                                                       [](int x, int y) { return uint32_t(x * y); })
                                   : fixtures::randomDib(9, 5, bits, 2));
        ASSERT_TRUE(source.valid());
        DibBlock copy(ic::copyDib(source.view()));
        ASSERT_TRUE(copy.valid());
        ASSERT_EQ(GlobalSize(copy.handle()), GlobalSize(source.handle()));
        EXPECT_EQ(std::memcmp(copy.data(), source.data(), GlobalSize(copy.handle())), 0);
    }
}

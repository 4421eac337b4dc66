// The codec module's DIB and bitmap entry points, called through dlopen.
#include "CodecModule.h"
#include "libs/codec/CodecErrors.h"
#include "libs/codec/PvCodec.h"
#include "libs/imagecore/DibFixtures.h"

#include <functional>
#include <gtest/gtest.h>

using fixtures::bitmapPixels;
using fixtures::DibBlock;
using fixtures::makePalette;
using testsupport::codecProc;

namespace {

class DibEntryPointsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        toDdb = codecProc<PFN_DibtoDdb>("DibtoDdb");
        toDib = codecProc<PFN_DdbtoDib>("DdbtoDib");
        copy = codecProc<PFN_DibConvert>("CopyDIB");
        ASSERT_TRUE(toDdb && toDib && copy);
        before_ = fixtures::LiveObjects{};
    }
    void TearDown() override { EXPECT_TRUE(before_ == fixtures::LiveObjects{}) << "leaked"; }

    PFN_DibtoDdb toDdb = nullptr;
    PFN_DdbtoDib toDib = nullptr;
    PFN_DibConvert copy = nullptr;

  private:
    fixtures::LiveObjects before_;
};

struct Conversion {
    const char* name;
    int from;
    int to;
};
constexpr Conversion kConversions[] = {{"DIB1To4", 1, 4}, {"DIB1To8", 1, 8},   {"DIB1To24", 1, 24},
                                       {"DIB4To8", 4, 8}, {"DIB4To24", 4, 24}, {"DIB8To24", 8, 24}};

HBITMAP bitmapOf(const std::vector<uint32_t>& px, int width) {
    const HBITMAP b = CreateDeviceBitmap(width, int32_t(px.size() / size_t(width)));
    std::copy(px.begin(), px.end(), DeviceBitmapBits(b));
    return b;
}

} // namespace

// DIB -> DibtoDdb -> DdbtoDib at the same depth, as PVTDib's ToBitmap and
// FromBitmap do: the picture and table come back; the new block is movable
// and unlocked; the bitmap shows the picture top row first.
TEST_F(DibEntryPointsTest, RoundTripThroughADeviceBitmap) {
    for (const int bits : {1, 4, 8, 24})
        for (const int32_t dither : {0, 1}) {
            SCOPED_TRACE(testing::Message() << bits << " bits, dither " << dither);
            DibBlock source(fixtures::randomDib(29, 13, bits, uint32_t(bits + 40)));
            uintptr_t bitmap = 0, palette = 0;
            ASSERT_EQ(toDdb(source.data(), &bitmap, &palette), PVE_OK);
            EXPECT_TRUE(bitmapPixels(bitmap) == source.rgb());
            EXPECT_EQ(palette != 0, bits != 24);
            uintptr_t made = 0;
            ASSERT_EQ(toDib(bitmap, palette, bits, dither, nullptr, 1, 0, &made), PVE_OK);
            EXPECT_EQ(GlobalFlags(made) & 0xFF, 0u);
            DibBlock back(made);
            ASSERT_TRUE(back.valid());
            EXPECT_EQ(back.view().bpp, bits);
            EXPECT_TRUE(back.rgb() == source.rgb());
            EXPECT_EQ(back.table().size(), source.table().size());
            DeleteObject(bitmap);
            if (palette) DeleteObject(palette);
        }
}

// The editor's call (8 bits, no dither, optimise) on a true-colour bitmap
// without a palette: 256 colours or fewer come through exactly; more are
// reduced to a full table.
TEST_F(DibEntryPointsTest, TrueColourBitmapToEightBits) {
    const int width = 50;
    for (const int colors : {3, 256, 5000}) {
        SCOPED_TRACE(colors);
        const std::vector<uint32_t> px =
            colors <= 256 ? fixtures::fewColors(width, 40, colors) : fixtures::photo(width, 40);
        const HBITMAP bitmap = bitmapOf(px, width);
        uintptr_t made = 0;
        ASSERT_EQ(toDib(bitmap, 0, 8, 0, nullptr, 1, 0, &made), PVE_OK);
        DibBlock dib(made);
        ASSERT_TRUE(dib.valid());
        EXPECT_EQ(dib.view().colorCount, uint32_t(std::min(colors, 256)));
        if (colors <= 256) {
            EXPECT_TRUE(dib.rgb() == px);
        } else {
            EXPECT_GT(fixtures::psnr(px, dib.rgb()), 28.0);
        }
        DeleteObject(bitmap);
    }
}

// optimize = 0 designs no palette: the given one becomes the table (cut to
// the depth), or a fixed one when none is given; pixels go to the nearest
// entry as GetNearestPaletteIndex finds it.
TEST_F(DibEntryPointsTest, WithoutOptimisationThePaletteIsUsedAsIs) {
    const int width = 31;
    const std::vector<uint32_t> px = fixtures::photo(width, 21, 3);
    const HBITMAP bitmap = bitmapOf(px, width);
    const std::vector<RGBQUAD> sixteen = fixtures::randomTable(16, 6);
    const std::vector<RGBQUAD> full = fixtures::randomTable(256, 7);
    struct Row {
        const std::vector<RGBQUAD>* given;
        int bits;
        size_t entries;
    };
    const Row rows[] = {{&sixteen, 8, 16}, {&full, 4, 16},   {&full, 1, 2},
                        {nullptr, 1, 2},   {nullptr, 4, 16}, {nullptr, 8, 256}};
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message()
                     << "bits " << row.bits << " given " << (row.given != nullptr));
        const HPALETTE given = row.given ? makePalette(*row.given) : 0;
        uintptr_t made = 0;
        ASSERT_EQ(toDib(bitmap, given, row.bits, 0, nullptr, 0, 0, &made), PVE_OK);
        DibBlock dib(made);
        ASSERT_TRUE(dib.valid());
        const std::vector<RGBQUAD> table = dib.table();
        ASSERT_EQ(table.size(), row.entries);
        if (row.given) {
            EXPECT_EQ(std::memcmp(table.data(), row.given->data(), 4 * row.entries), 0);
        }
        const HPALETTE check = makePalette(table);
        int wrong = 0;
        for (int y = 0; y < dib.view().height; ++y)
            for (int x = 0; x < width; ++x) {
                const uint32_t c = px[size_t(y) * width + size_t(x)];
                wrong += dib.view().index(x, y) !=
                         GetNearestPaletteIndex(check,
                                                RGB(uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c)));
            }
        EXPECT_EQ(wrong, 0);
        DeleteObject(check);
        if (given) DeleteObject(given);
    }
    DeleteObject(bitmap);
}

TEST_F(DibEntryPointsTest, DdbtoDibRefusesBadArguments) {
    const HBITMAP bitmap = CreateDeviceBitmap(8, 8);
    const HPALETTE palette = makePalette(fixtures::randomTable(4, 1));
    const HBITMAP deleted = CreateDeviceBitmap(8, 8);
    DeleteObject(deleted);
    struct Row {
        const char* name;
        uintptr_t bitmap;
        int32_t bits;
        int32_t expected;
    };
    const Row rows[] = {
        {"0 bits", bitmap, 0, PVE_BAD_DEPTH},
        {"2 bits", bitmap, 2, PVE_BAD_DEPTH},
        {"16 bits", bitmap, 16, PVE_BAD_DEPTH},
        {"32 bits", bitmap, 32, PVE_BAD_DEPTH},
        {"-8 bits", bitmap, -8, PVE_BAD_DEPTH},
        {"no bitmap", 0, 8, PVE_BAD_BITMAP},
        {"deleted bitmap", deleted, 8, PVE_BAD_BITMAP},
        {"a palette", palette, 8, PVE_BAD_BITMAP},
        {"made-up handle", 0x7777777, 24, PVE_BAD_BITMAP},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        uintptr_t made = 12345;
        EXPECT_EQ(toDib(row.bitmap, palette, row.bits, 1, nullptr, 1, 0, &made), row.expected);
        EXPECT_EQ(made, 0u);
    }
    EXPECT_EQ(toDib(bitmap, 0, 8, 0, nullptr, 1, 0, nullptr), PVE_BAD_ARGUMENT);
    // An unknown palette handle counts as none.
    uintptr_t made = 0;
    EXPECT_EQ(toDib(bitmap, 0x7777777, 8, 0, nullptr, 1, 0, &made), PVE_OK);
    GlobalFree(made);
    DeleteObject(palette);
    DeleteObject(bitmap);
}

// Each depth conversion takes only its own source depth, keeps every
// colour, and CopyDIB is byte for byte.
TEST_F(DibEntryPointsTest, DepthConversionsAndCopy) {
    for (const int from : {1, 4, 8, 24}) {
        DibBlock source(fixtures::randomDib(21, 11, from, uint32_t(from)));
        for (const Conversion& c : kConversions) {
            SCOPED_TRACE(testing::Message() << c.name << " on " << from << " bits");
            const auto convert = codecProc<PFN_DibConvert>(c.name);
            ASSERT_NE(convert, nullptr);
            DibBlock out(convert(source.data()));
            EXPECT_EQ(out.handle() != 0, c.from == from);
            if (!out.handle()) continue;
            ASSERT_TRUE(out.valid());
            EXPECT_EQ(out.view().bpp, c.to);
            EXPECT_TRUE(out.rgb() == source.rgb());
        }
        DibBlock copied(copy(source.data()));
        ASSERT_TRUE(copied.valid());
        ASSERT_EQ(GlobalSize(copied.handle()), GlobalSize(source.handle()));
        EXPECT_EQ(std::memcmp(copied.data(), source.data(), GlobalSize(source.handle())), 0);
    }
}

// Damaged or foreign DIBs are refused by every entry point that takes one,
// before a pixel is read (AddressSanitizer would catch a stray read).
TEST_F(DibEntryPointsTest, MalformedDibsAreRefused) {
    using Mutation = std::function<void(BITMAPINFOHEADER&)>;
    struct Row {
        const char* name;
        Mutation mutate;
        uint64_t cut = 0; // bytes taken off the block's end
    };
    const Row rows[] = {
        {"core header size", [](BITMAPINFOHEADER& h) { h.biSize = 12; }},
        {"header size 39", [](BITMAPINFOHEADER& h) { h.biSize = 39; }},
        {"header beyond the block", [](BITMAPINFOHEADER& h) { h.biSize = 0x7FFFFFFF; }},
        {"header size pushes rows out", [](BITMAPINFOHEADER& h) { h.biSize = 44; }},
        {"16 bits", [](BITMAPINFOHEADER& h) { h.biBitCount = 16; }},
        {"32 bits", [](BITMAPINFOHEADER& h) { h.biBitCount = 32; }},
        {"2 bits", [](BITMAPINFOHEADER& h) { h.biBitCount = 2; }},
        {"0 bits", [](BITMAPINFOHEADER& h) { h.biBitCount = 0; }},
        {"RLE8", [](BITMAPINFOHEADER& h) { h.biCompression = 1; }},
        {"bit fields", [](BITMAPINFOHEADER& h) { h.biCompression = 3; }},
        {"257 colours", [](BITMAPINFOHEADER& h) { h.biClrUsed = 257; }},
        {"table beyond the block", [](BITMAPINFOHEADER&) {}, 200},
        {"rows beyond the block", [](BITMAPINFOHEADER& h) { h.biHeight += 1; }},
        {"last row cut short", [](BITMAPINFOHEADER&) {}, 1},
        {"zero width", [](BITMAPINFOHEADER& h) { h.biWidth = 0; }},
        {"negative width", [](BITMAPINFOHEADER& h) { h.biWidth = -5; }},
        {"zero height", [](BITMAPINFOHEADER& h) { h.biHeight = 0; }},
        {"20000 wide", [](BITMAPINFOHEADER& h) { h.biWidth = 20000; }},
        {"huge top-down", [](BITMAPINFOHEADER& h) { h.biHeight = -20000; }},
        {"lowest height", [](BITMAPINFOHEADER& h) { h.biHeight = INT32_MIN; }},
        {"two planes", [](BITMAPINFOHEADER& h) { h.biPlanes = 2; }},
    };
    const auto to24 = codecProc<PFN_DibConvert>("DIB8To24");
    auto expectRefused = [&](const void* dib) {
        uintptr_t bitmap = 1, palette = 1;
        EXPECT_EQ(toDdb(dib, &bitmap, &palette), PVE_BAD_DIB);
        EXPECT_EQ(bitmap, 0u);
        EXPECT_EQ(palette, 0u);
        EXPECT_EQ(copy(dib), 0u);
        EXPECT_EQ(to24(dib), 0u);
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        DibBlock good(fixtures::randomDib(16, 8, 8, 1));
        const uint64_t size = GlobalSize(good.handle()) - row.cut;
        DibBlock bad(GlobalAlloc(GHND, size));
        std::memcpy(bad.data(), good.data(), size);
        row.mutate(*static_cast<BITMAPINFOHEADER*>(bad.data()));
        expectRefused(bad.data());
    }
    SCOPED_TRACE("pointers");
    DibBlock good(fixtures::randomDib(16, 8, 8, 1));
    const uint64_t size = GlobalSize(good.handle());
    std::vector<uint8_t> heap(static_cast<const uint8_t*>(good.data()),
                              static_cast<const uint8_t*>(good.data()) + size);
    expectRefused(nullptr);
    expectRefused(heap.data());                                  // not in a global block
    expectRefused(static_cast<const uint8_t*>(good.data()) + 4); // inside a block, garbage header
    expectRefused(static_cast<const uint8_t*>(good.data()) + size - 8); // header past the end
    uintptr_t* none = nullptr;
    EXPECT_EQ(toDdb(good.data(), none, none), PVE_BAD_ARGUMENT);
}

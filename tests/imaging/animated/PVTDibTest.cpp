#include "imaging/animated/PVTDib.h"
#include "imaging/animated/DuplicateGlobalBlock.h"
#include "platform/GlobalBlock.h"
#include "platform/GlobalMemory.h"

#include <cstring>
#include <gtest/gtest.h>

namespace {
// A packed DIB block, locked once, as readers hand them over.
BITMAPINFOHEADER* lockedDib(int width, int height, int bits, uint32_t clrUsed) {
    const uint32_t colours = clrUsed ? clrUsed : (bits <= 8 ? 1u << bits : 0);
    const size_t stride = ((size_t(bits) * width + 31) / 32) * 4;
    HGLOBAL h = GlobalAlloc(GHND, 40 + colours * 4 + stride * height);
    auto* header = static_cast<BITMAPINFOHEADER*>(GlobalLock(h));
    *header = BITMAPINFOHEADER{40, width, height,  1, uint16_t(bits), 0, uint32_t(stride * height),
                               0,  0,     clrUsed, 0};
    auto* table = reinterpret_cast<RGBQUAD*>(reinterpret_cast<uint8_t*>(header) + 40);
    for (uint32_t i = 0; i < colours; ++i)
        table[i] = RGBQUAD{uint8_t(i), uint8_t(2 * i), uint8_t(3 * i), 0};
    return header;
}
} // namespace

TEST(PVTDib, GeometryRules) {
    struct Row {
        int width, height, bits;
        uint32_t clrUsed;
        uint32_t colours, offset;
        int rowBytes;
    } rows[] = {
        {10, 4, 4, 0, 16, 104, 12}, // 4 bits, colours-used 0: 16 colours
        {10, 4, 24, 0, 0, 40, 12},  // 24 bits: no table
        {100, 2, 8, 0, 256, 1064, 100}, {101, 2, 8, 0, 256, 1064, 104},
        {7, 3, 8, 20, 20, 120, 8}, // colours-used wins
        {9, 1, 1, 0, 2, 48, 12},
    };
    for (const Row& r : rows) {
        PVWebImg::PVTDib dib;
        dib.SetDib(lockedDib(r.width, r.height, r.bits, r.clrUsed));
        EXPECT_EQ(dib.Width(), r.width);
        EXPECT_EQ(dib.Height(), r.height);
        EXPECT_EQ(dib.BitCount(), r.bits);
        EXPECT_EQ(dib.ColorCount(), r.colours) << r.bits << " bits";
        EXPECT_EQ(dib.BitsOffset(), r.offset);
        EXPECT_EQ(dib.RowBytes(), r.rowBytes);
        EXPECT_EQ(dib.Bits(), reinterpret_cast<uint8_t*>(dib.Dib()) + r.offset);
    }
    PVWebImg::PVTDib empty;
    EXPECT_EQ(empty.Width() + empty.Height() + empty.BitCount() + empty.RowBytes(), 0);
    EXPECT_EQ(empty.ColorCount() + empty.BitsOffset(), 0u);
    EXPECT_EQ(empty.Bits(), nullptr);
    EXPECT_EQ(empty.GetPalette(), 0u);
}

TEST(PVTDib, PaletteOnlyForThreeColoursOrMore) {
    PVWebImg::PVTDib truecolour, mono, indexed;
    truecolour.SetDib(lockedDib(4, 4, 24, 0));
    mono.SetDib(lockedDib(4, 4, 1, 0));
    indexed.SetDib(lockedDib(4, 4, 8, 0));
    EXPECT_EQ(truecolour.GetPalette(), 0u);
    EXPECT_EQ(mono.GetPalette(), 0u);
    const HPALETTE p = indexed.GetPalette();
    ASSERT_NE(p, 0u);
    EXPECT_EQ(indexed.GetPalette(), p) << "cached";
    EXPECT_EQ(GetPaletteEntries(p, 0, 0, nullptr), 256u);
    PALETTEENTRY e;
    GetPaletteEntries(p, 7, 1, &e);
    EXPECT_EQ(e.peRed, 21);
    EXPECT_EQ(e.peGreen, 14);
    EXPECT_EQ(e.peBlue, 7);
}

TEST(PVTDib, SetPaletteCopiesIntoTheTableAndFlavoursDifferOnSetDib) {
    PVWebImg::PVTDib web;
    web.SetDib(lockedDib(2, 2, 4, 0));
    const HPALETTE kept = web.GetPalette();
    web.SetDib(lockedDib(2, 2, 4, 0));
    EXPECT_EQ(web.GetPalette(), kept) << "the animated flavour keeps its palette across SetDib";

    PVDibCls::PVTDib effects;
    effects.SetDib(lockedDib(2, 2, 4, 0));
    const HPALETTE dropped = effects.GetPalette();
    effects.SetDib(lockedDib(2, 2, 4, 0));
    EXPECT_EQ(GetPaletteEntries(dropped, 0, 0, nullptr), 0u) << "the effects flavour deletes it";
    const HPALETTE fresh = effects.GetPalette();
    EXPECT_NE(fresh, 0u);

    std::vector<uint8_t> storage(sizeof(LOGPALETTE) + 4 * sizeof(PALETTEENTRY));
    auto* log = reinterpret_cast<LOGPALETTE*>(storage.data());
    log->palVersion = 0x300;
    log->palNumEntries = 4;
    for (int i = 0; i < 4; ++i)
        log->palPalEntry[i] = PALETTEENTRY{200, 100, uint8_t(i), 0};
    const HPALETTE outside = CreatePalette(log);
    effects.ColorTable()[1].rgbReserved = 9;
    effects.SetPalette(outside);
    EXPECT_EQ(effects.GetPalette(), outside);
    EXPECT_EQ(effects.ColorTable()[3].rgbRed, 200);
    EXPECT_EQ(effects.ColorTable()[3].rgbBlue, 3);
    EXPECT_EQ(effects.ColorTable()[1].rgbReserved, 9) << "reserved byte untouched";
    EXPECT_EQ(effects.ColorTable()[4].rgbRed, 12) << "entries past the palette untouched";
    DeleteObject(fresh);
}

TEST(PVTDib, OwnershipOfTheBlock) {
    const uint64_t before = GlobalBlockCount();
    HGLOBAL lent = 0;
    {
        PVWebImg::PVTDib owner;
        owner.SetDib(lockedDib(3, 3, 8, 0));
        GlobalLock(GlobalHandle(owner.Dib())); // locked twice: still freed
        PVWebImg::PVTDib borrower;
        borrower.OwnsDib = false;
        BITMAPINFOHEADER* dib = lockedDib(3, 3, 8, 0);
        lent = GlobalHandle(dib);
        borrower.SetDib(dib);
    }
    EXPECT_EQ(GlobalBlockCount(), before + 1) << "only the lent block is left";
    EXPECT_EQ(GlobalSize(lent), 40u + 1024 + 12);
    zp::GlobalBlock::freeFully(lent);
}

TEST(PVTDib, CreateDibSizes) {
    struct Row {
        int width, bits;
        bool ok;
        uint64_t size;
    } rows[] = {
        {100, 8, true, 1064 + 100 * 10},
        {101, 8, true, 1064 + 104 * 10},
        {10, 4, true, 104 + 8 * 10},
        {10, 24, true, 40 + 32 * 10},
        {10, 1, false, 0},
        {10, 16, false, 0},
    };
    for (const Row& r : rows) {
        PVWebImg::PVTDib dib;
        EXPECT_EQ(dib.CreateDib(0, r.width, r.bits, 10), r.ok) << r.width << "x" << r.bits;
        if (!r.ok) continue;
        EXPECT_EQ(GlobalSize(GlobalHandle(dib.Dib())), r.size);
        EXPECT_EQ(dib.Dib()->biXPelsPerMeter, 2953);
        EXPECT_EQ(dib.Dib()->biClrUsed, dib.ColorCount());
        EXPECT_EQ(GlobalFlags(GlobalHandle(dib.Dib())) & 0xFF, 1u) << "held locked once";
    }
}

TEST(DuplicateGlobalBlock, CopiesAreIndependent) {
    EXPECT_EQ(DuplicateGlobalBlock(0), 0u);
    zp::GlobalBlock source = zp::GlobalBlock::allocate(64);
    std::memset(GlobalLock(source.get()), 0x5A, 64);
    GlobalUnlock(source.get());
    zp::GlobalBlock copy(DuplicateGlobalBlock(source.get()));
    ASSERT_TRUE(copy);
    EXPECT_NE(copy.get(), source.get());
    EXPECT_EQ(GlobalSize(copy.get()), 64u);
    EXPECT_EQ(GlobalFlags(copy.get()), 0u) << "handed over unlocked";
    EXPECT_EQ(GlobalFlags(source.get()), 0u);
    copy.reset();
    auto* bytes = static_cast<uint8_t*>(GlobalLock(source.get()));
    EXPECT_EQ(bytes[63], 0x5A) << "freeing the copy leaves the source intact";
    GlobalUnlock(source.get());
}

#include "bindings/EffectsBinding.h"
#include "bindings/CodecBinding.h"
#include "platform/GlobalBlock.h"
#include "platform/GlobalMemory.h"

#include <gtest/gtest.h>
#include <vector>

using namespace DllSP96;

namespace {

// A w x h DIB of `bits` whose pixel (x, y) has palette index (x + y) % colours
// (or a gradient at 24 bits).
HGLOBAL makeDib(int w, int h, int bits) {
    const uint32_t colours = bits == 24 ? 0 : 1u << bits;
    const size_t stride = ((size_t(bits) * w + 31) / 32) * 4;
    HGLOBAL block = GlobalAlloc(GHND, 40 + colours * 4 + stride * h);
    auto* hdr = static_cast<BITMAPINFOHEADER*>(GlobalLock(block));
    *hdr = BITMAPINFOHEADER{40, w, h, 1, uint16_t(bits), 0, uint32_t(stride * h), 0, 0, colours, 0};
    auto* table = reinterpret_cast<RGBQUAD*>(hdr + 1);
    for (uint32_t i = 0; i < colours; ++i)
        table[i] = RGBQUAD{uint8_t(i * 255 / (colours - 1)), uint8_t(255 - i * 255 / (colours - 1)),
                           40, 0};
    uint8_t* bitsStart = reinterpret_cast<uint8_t*>(table + colours);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint8_t* row = bitsStart + stride * size_t(y);
            const uint32_t v = uint32_t(x + y);
            if (bits == 24) {
                row[x * 3] = uint8_t(x * 9);
                row[x * 3 + 1] = uint8_t(y * 7);
                row[x * 3 + 2] = uint8_t(v * 3);
            } else if (bits == 8) {
                row[x] = uint8_t(v % colours);
            } else if (bits == 4) {
                row[x / 2] |= (x & 1) ? uint8_t(v % 16) : uint8_t((v % 16) << 4);
            } else if (v & 1) {
                row[x / 8] |= uint8_t(0x80 >> (x & 7));
            }
        }
    GlobalUnlock(block);
    return block;
}

int bitsOf(HGLOBAL dib) {
    zp::GlobalLockGuard lock(dib);
    return lock ? lock.as<BITMAPINFOHEADER>()->biBitCount : 0;
}

void fill(zp::TBitmap& b, int w, int h, uint32_t colour) {
    b.setHandle(CreateDeviceBitmap(w, h));
    for (int i = 0; i < w * h; ++i)
        b.bits()[i] = colour;
}

} // namespace

TEST(EffectsBinding, UndoHistoryShiftsFourBitmaps) {
    EXPECT_FALSE(UndoHistoryExists());
    EXPECT_EQ(UndoEntry(0), nullptr);
    for (uint32_t i = 1; i <= 5; ++i) {
        zp::TBitmap b;
        fill(b, int(i), 1, i);
        PushUndo(b);
    }
    EXPECT_TRUE(UndoHistoryExists());
    // Newest first: 5, 4, 3, 2; the first push fell off the end.
    for (int i = 0; i < 4; ++i) {
        const zp::TBitmap* e = UndoEntry(i);
        ASSERT_NE(e, nullptr);
        EXPECT_EQ(e->width(), 5 - i);
        EXPECT_EQ(e->bits()[0], uint32_t(5 - i));
    }
    EXPECT_EQ(UndoEntry(4), nullptr);
    zp::TBitmap pushed;
    fill(pushed, 2, 2, 7);
    PushUndo(pushed);
    pushed.bits()[0] = 99;
    EXPECT_EQ(UndoEntry(0)->bits()[0], 7u) << "the history holds a copy";
}

TEST(EffectsBinding, IncreaseColorsPromotesOnlyUpwards) {
    struct Row {
        int from, to;
        bool made;
    } rows[] = {{1, 4, true},  {1, 8, true},  {1, 24, true}, {4, 8, true},    {4, 24, true},
                {8, 24, true}, {8, 8, false}, {8, 4, false}, {24, 24, false}, {4, 4, false}};
    const uint64_t before = GlobalBlockCount();
    for (const Row& r : rows) {
        zp::GlobalBlock source(makeDib(9, 5, r.from));
        zp::GlobalBlock result(IncreaseColors(source.get(), r.to));
        EXPECT_EQ(bool(result), r.made) << r.from << " -> " << r.to;
        if (result) {
            EXPECT_EQ(bitsOf(result.get()), r.to);
        }
    }
    EXPECT_EQ(GlobalBlockCount(), before);
}

TEST(EffectsBinding, WorkRuleKeepsTheDepthOfThePicture) {
    struct Row {
        int bits, expected;
    } rows[] = {{24, 24}, {8, 8}, {4, 4}, {1, 4}};
    const uint64_t before = GlobalBlockCount();
    for (const Row& r : rows) {
        zp::GlobalBlock source(makeDib(16, 12, r.bits));
        zp::GlobalBlock blurred(Blur(source.get(), Area{}, Progress{}, 3));
        ASSERT_TRUE(blurred) << r.bits;
        EXPECT_EQ(bitsOf(blurred.get()), r.expected) << r.bits << " bits";
        // A promoted picture is reduced back after the effect ran.
        EXPECT_EQ(DLL96V1::CodecStatusText, r.bits == 24 ? "Blurring Image " : "Reducing colors ");
        if (r.bits == 24) {
            EXPECT_EQ(bitsOf(source.get()), 24);
        }
    }
    zp::GlobalBlock source(makeDib(16, 12, 24));
    zp::GlobalBlock result(Engrave(source.get(), Area{2, 2, 10, 9}, Progress{}, 2));
    EXPECT_TRUE(result);
    EXPECT_EQ(DLL96V1::CodecStatusText, "Engraving Image ");
    EXPECT_FALSE(Blur(source.get(), Area{0, 0, 17, 0}, Progress{}, 3))
        << "area outside the picture";
    EXPECT_FALSE(Blur(0, Area{}, Progress{}, 3));
    result.reset();
    source.reset();
    EXPECT_EQ(GlobalBlockCount(), before) << "no intermediate copy is left behind";
}

TEST(EffectsBinding, ReplacingAndInPlaceOperations) {
    const uint64_t before = GlobalBlockCount();
    HGLOBAL dib = makeDib(10, 6, 8);
    const HGLOBAL original = dib;
    ASSERT_TRUE(PVRotate(dib, Area{}, RGB(255, 0, 0), 90.0));
    EXPECT_NE(dib, original);
    EXPECT_EQ(GlobalFlags(original), GMEM_INVALID_HANDLE) << "the old block was freed";
    {
        zp::GlobalLockGuard lock(dib);
        EXPECT_EQ(lock.as<BITMAPINFOHEADER>()->biWidth, 6);
        EXPECT_EQ(lock.as<BITMAPINFOHEADER>()->biBitCount, 8);
    }
    zp::GlobalBlock mirrored(PVMirror(dib, false, true));
    ASSERT_TRUE(mirrored);
    EXPECT_NE(mirrored.get(), dib) << "a copy of the mirrored picture";
    EXPECT_TRUE(PVInvert(dib));

    // Merging onto an 8-bit picture promotes both and reduces back.
    zp::GlobalBlock overlay(makeDib(3, 3, 4));
    zp::GlobalBlock merged(DropDib(dib, overlay.get(), -1, 1, 1, -1, -1));
    ASSERT_TRUE(merged);
    EXPECT_EQ(bitsOf(merged.get()), 8);

    // More than 255 colours are asked as 255.
    zp::GlobalBlock photo(makeDib(64, 64, 24));
    zp::GlobalBlock reduced(PVReduceColors(photo.get(), 1000, PV_FLOYD));
    ASSERT_TRUE(reduced);
    {
        zp::GlobalLockGuard lock(reduced.get());
        const auto* h = lock.as<BITMAPINFOHEADER>();
        EXPECT_EQ(h->biBitCount, 8);
        EXPECT_LE(h->biClrUsed, 255u);
    }
    zp::GlobalBlock::freeFully(dib);
    mirrored.reset();
    overlay.reset();
    merged.reset();
    photo.reset();
    reduced.reset();
    EXPECT_EQ(GlobalBlockCount(), before);
}

TEST(EffectsBinding, ImageCopyKeepsTheHandleAndMapsTheFlags) {
    zp::GlobalBlock dib(makeDib(20, 10, 1));
    const HGLOBAL handle = dib.get();
    EXPECT_EQ(PVImageCopy(handle, 10, 0, BWCopyFlags{C_ANTIALIAS256}, Area{}), 1);
    {
        zp::GlobalLockGuard lock(handle);
        const auto* h = lock.as<BITMAPINFOHEADER>();
        EXPECT_EQ(h->biWidth, 10);
        EXPECT_EQ(h->biHeight, 10) << "a height of 0 keeps the picture's";
        EXPECT_EQ(h->biBitCount, 8) << "antialias to 256 greys";
    }
    zp::GlobalBlock bilevel(makeDib(20, 10, 1));
    EXPECT_EQ(PVImageCopy(bilevel.get(), 10, 5, BWCopyFlags{C_OR}, Area{}), 1);
    zp::GlobalLockGuard lock(bilevel.get());
    EXPECT_EQ(lock.as<BITMAPINFOHEADER>()->biBitCount, 1) << "OR keeps the depth";
}

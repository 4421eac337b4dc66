// Rotation through the module: quarter turns are exact pixel moves at every
// depth (four make the identity), other angles give a picture sized to hold
// the whole area with the fill in the corners, and the device-bitmap form
// replaces its handles without leaking.
#include "../imagecore/DibFixtures.h"
#include "EffectsModule.h"
#include "libs/effects/PvEffects.h"

#include <cmath>

namespace {

using testsupport::effectsProc;

HGLOBAL sample(int bits, int w = 13, int h = 9) {
    return fixtures::randomDib(w, h, bits, 5);
}

TEST(Rotate, FourQuarterTurnsAreTheIdentityAtEveryDepth) {
    auto rotate = effectsProc<PFN_PVRotate>("PVRotate");
    for (int bits : {1, 4, 8, 24})
        for (double quarter : {90.0, -90.0, 270.0, 450.0}) {
            SCOPED_TRACE(testing::Message() << bits << " bits, " << quarter);
            fixtures::DibBlock original(sample(bits));
            HGLOBAL current = sample(bits);
            for (int i = 0; i < 4; ++i) {
                const HGLOBAL next = rotate(current, 0, 0, 0xFFFFFF, quarter, 0, 0);
                zp::GlobalBlock::freeFully(current);
                current = next;
                ASSERT_NE(current, 0u);
            }
            fixtures::DibBlock turned(current);
            ASSERT_TRUE(turned.valid());
            EXPECT_EQ(turned.view().bpp, bits);
            EXPECT_EQ(turned.rgb(), original.rgb());
            EXPECT_EQ(turned.table().size(), original.table().size());
        }
}

TEST(Rotate, QuarterTurnsMovePixelsWhereExpected) {
    auto rotate = effectsProc<PFN_PVRotate>("PVRotate");
    fixtures::DibBlock src(sample(24, 7, 5));
    const auto px = src.rgb();
    auto in = [&](int x, int y) { return px[size_t(y * 7 + x)]; };
    fixtures::DibBlock ccw(rotate(src.handle(), 0, 0, 0, 90, 0, 0));
    fixtures::DibBlock half(rotate(src.handle(), 0, 0, 0, 180, 0, 0));
    fixtures::DibBlock full(rotate(src.handle(), 0, 0, 0, 360, 0, 0));
    ASSERT_TRUE(ccw.valid() && half.valid() && full.valid());
    const auto a = ccw.rgb(), b = half.rgb();
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x) {
            // Counter-clockwise: the top-right corner ends top-left.
            EXPECT_EQ(a[size_t((6 - x) * 5 + y)], in(x, y));
            EXPECT_EQ(b[size_t((4 - y) * 7 + (6 - x))], in(x, y));
        }
    EXPECT_EQ(full.rgb(), px);
}

TEST(Rotate, AnyAngleHoldsTheWholeAreaWithFilledCorners) {
    auto rotate = effectsProc<PFN_PVRotate>("PVRotate");
    fixtures::DibBlock src(fixtures::makeDib(40, 30, 24, {}, [](int, int) { return 0x336699u; }));
    for (double angle : {30.0, -30.0, 45.0, 137.5, 10.0}) {
        SCOPED_TRACE(angle);
        // The area 30 x 20 at (5, 4).
        fixtures::DibBlock out(rotate(src.handle(), 5, 4, 0x0000FF00, angle, 24, 35));
        ASSERT_TRUE(out.valid());
        const double r = angle * M_PI / 180;
        EXPECT_NEAR(out.view().width, 30 * std::fabs(std::cos(r)) + 20 * std::fabs(std::sin(r)),
                    1.0);
        EXPECT_NEAR(out.view().height, 30 * std::fabs(std::sin(r)) + 20 * std::fabs(std::cos(r)),
                    1.0);
        const auto px = out.rgb();
        const int32_t w = out.view().width, h = out.view().height;
        EXPECT_EQ(px.front(), 0x00FF00u);
        EXPECT_EQ(px[size_t(w - 1)], 0x00FF00u);
        EXPECT_EQ(px.back(), 0x00FF00u);
        EXPECT_EQ(px[size_t((h / 2) * w + w / 2)], 0x336699u);
    }
}

TEST(Rotate, IndexedPicturesKeepTheirPalette) {
    auto rotate = effectsProc<PFN_PVRotate>("PVRotate");
    fixtures::DibBlock src(sample(8, 20, 16));
    fixtures::DibBlock out(rotate(src.handle(), 0, 0, 0xFFFFFF, 30, 0, 0));
    ASSERT_TRUE(out.valid());
    EXPECT_EQ(out.view().bpp, 8);
    const auto a = src.table(), b = out.table();
    ASSERT_EQ(a.size(), b.size());
    for (size_t i = 0; i < a.size(); ++i)
        EXPECT_EQ(std::memcmp(&a[i], &b[i], 4), 0);
}

TEST(Rotate, RefusesBadInput) {
    auto rotate = effectsProc<PFN_PVRotate>("PVRotate");
    fixtures::DibBlock src(sample(24));
    const std::vector<uint8_t> before(static_cast<uint8_t*>(src.data()),
                                      static_cast<uint8_t*>(src.data()) + GlobalSize(src.handle()));
    EXPECT_EQ(rotate(src.handle(), 0, 0, 0, NAN, 0, 0), 0u);
    EXPECT_EQ(rotate(src.handle(), 0, 0, 0, INFINITY, 0, 0), 0u);
    EXPECT_EQ(rotate(src.handle(), 0, 0, 0, 30, 10, 14), 0u);
    EXPECT_EQ(rotate(src.handle(), -1, 0, 0, 30, 0, 0), 0u);
    EXPECT_EQ(rotate(src.handle(), 4, 4, 0, 30, 4, 0), 0u);
    EXPECT_EQ(rotate(0, 0, 0, 0, 30, 0, 0), 0u);
    EXPECT_EQ(std::memcmp(before.data(), src.data(), before.size()), 0);
    auto bmp = effectsProc<PFN_PVRotateBMP>("PVRotateBMP");
    uintptr_t none = 0, pal = 0;
    EXPECT_EQ(bmp(&none, &pal, 0, 0, 0, 90, 0, 0), 0);
    EXPECT_EQ(bmp(nullptr, nullptr, 0, 0, 0, 90, 0, 0), 0);
}

TEST(Rotate, DeviceBitmapTurnsAndReplacesItsHandles) {
    auto rotate = effectsProc<PFN_PVRotateBMP>("PVRotateBMP");
    for (bool withPalette : {false, true}) {
        SCOPED_TRACE(withPalette);
        const auto table = fixtures::randomTable(16, 3);
        HBITMAP bitmap = CreateDeviceBitmap(11, 7);
        uint32_t* bits = DeviceBitmapBits(bitmap);
        for (int i = 0; i < 77; ++i) {
            const RGBQUAD& q = table[size_t(i * 7 % 16)];
            bits[i] = uint32_t(q.rgbRed) << 16 | uint32_t(q.rgbGreen) << 8 | q.rgbBlue;
        }
        const auto original = fixtures::bitmapPixels(bitmap);
        HPALETTE palette = withPalette ? fixtures::makePalette(table) : 0;
        const fixtures::LiveObjects live;
        for (int i = 0; i < 4; ++i) {
            const uintptr_t oldBitmap = bitmap;
            ASSERT_EQ(rotate(&bitmap, &palette, 0, 0, 0xFFFFFF, 90, 0, 0), 1);
            EXPECT_NE(bitmap, oldBitmap);
            int32_t w = 0, h = 0;
            GetDeviceBitmapSize(bitmap, &w, &h);
            EXPECT_EQ(w, i % 2 ? 11 : 7);
            EXPECT_EQ(palette != 0, withPalette);
        }
        EXPECT_EQ(fixtures::bitmapPixels(bitmap), original);
        EXPECT_EQ(fixtures::LiveObjects(), live);
        DeleteObject(bitmap);
        if (palette) DeleteObject(palette);
    }
}

} // namespace

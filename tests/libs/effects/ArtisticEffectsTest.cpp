// Page curl, mosaic and warp: checked by what the user sees — which corner
// lifts and what shows under it, tiles of one colour in grout, a flow that
// leaves a plain picture plain and shows each step.
#include "PixelFxFixtures.h"

namespace {

using namespace pixfx;
using testsupport::effectsProc;

constexpr COLORREF kFore = 0x0000FF00; // green
constexpr COLORREF kBack = 0x00FF0000; // blue (0x00BBGGRR)

TEST(ArtisticEffects, CurlLiftsTheChosenCornerOnly) {
    auto curl = effectsProc<PFN_Curl>("Curl");
    const Picture src = photo(40, 30);
    struct Case {
        int32_t rb, lb, rt, lt;
        int32_t cx, cy; // the corner that lifts; the opposite one must stay
    };
    const Case cases[] = {{1, 0, 0, 0, 39, 29},
                          {0, 1, 0, 0, 0, 29},
                          {0, 0, 1, 0, 39, 0},
                          {0, 0, 0, 1, 0, 0},
                          {0, 0, 0, 0, 39, 29}};
    for (const Case& c : cases)
        for (int32_t keep : {0, 1})
            for (auto [oh, ov] : {std::pair{0, 0}, {1, 0}, {0, 1}}) {
                SCOPED_TRACE(testing::Message()
                             << c.cx << "," << c.cy << " keep " << keep << " over " << oh << ov);
                zp::GlobalBlock in(makeDib(src));
                zp::GlobalBlock out(curl(in.get(), 0, 0, goOn, nullptr, 2, kFore, kBack, oh, ov,
                                         c.rb, c.lb, c.rt, c.lt, 0, 0, 0, keep, 1, 0, 0, 0));
                ASSERT_TRUE(out);
                const Picture got = read(out.get());
                const uint32_t under = keep ? at(src, c.cx, c.cy) : 0x0000FF;
                EXPECT_EQ(at(got, c.cx, c.cy), under);
                EXPECT_EQ(at(got, 39 - c.cx, 29 - c.cy), at(src, 39 - c.cx, 29 - c.cy));
            }
}

TEST(ArtisticEffects, CurlPaintsTheBackOfThePageInTheChosenColour) {
    auto curl = effectsProc<PFN_Curl>("Curl");
    zp::GlobalBlock in(makeDib(photo(40, 40)));
    // No shading, back of the curl in the fore colour: green pixels appear.
    zp::GlobalBlock out(curl(in.get(), 0, 0, goOn, nullptr, 0, kFore, kBack, 0, 0, 1, 0, 0, 0, 0, 1,
                             0, 0, 1, 0, 0, 0));
    ASSERT_TRUE(out);
    const Picture got = read(out.get());
    EXPECT_GT(std::count(got.px.begin(), got.px.end(), 0x00FF00u), 20);
}

TEST(ArtisticEffects, MosaicFlatTilesAreOneColourInGrout) {
    auto mosaic = effectsProc<PFN_Mosaic>("Mosaic");
    const Picture src = photo(48, 40);
    for (int32_t type : {0, 1}) {
        SCOPED_TRACE(type);
        zp::GlobalBlock in(makeDib(src));
        // Tiles of 12 px, grout 25 % (3 px), flat surface, no jitter, low relief.
        zp::GlobalBlock out(mosaic(in.get(), 0, 0, goOn, nullptr, kBack, kFore, 0, 1, type, 0, 40,
                                   25, 1, 120, 0, 0));
        ASSERT_TRUE(out);
        const Picture got = read(out.get());
        // The grout lines of the first tile row and the tile centres.
        for (int32_t x = 0; x < 48; ++x)
            EXPECT_EQ(at(got, x, 0), 0x0000FFu) << x;
        EXPECT_EQ(at(got, 6, 6), at(got, 5, 5));
        EXPECT_EQ(at(got, 6, 6), at(got, 7, 6));
        EXPECT_NE(at(got, 6, 6), 0x0000FFu);
        // Bricks: the second row's joints sit half a tile over.
        const bool jointAtZero = at(got, 0, 18) == 0x0000FFu,
                   jointAtSix = at(got, 6, 18) == 0x0000FFu;
        EXPECT_EQ(jointAtZero, type == 0);
        EXPECT_EQ(jointAtSix, type == 1);
    }
}

TEST(ArtisticEffects, MosaicReliefFollowsTheLight) {
    auto mosaic = effectsProc<PFN_Mosaic>("Mosaic");
    zp::GlobalBlock in(makeDib(flat(40, 40, 0x808080)));
    // Light from the right (0 degrees): right rims brighter than left rims.
    zp::GlobalBlock out(
        mosaic(in.get(), 0, 0, goOn, nullptr, 0, 0xFFFFFF, 1, 1, 0, 0, 0, 10, 100, 200, 0, 0));
    ASSERT_TRUE(out);
    const Picture got = read(out.get());
    EXPECT_GT(grey(at(got, 18, 10)), grey(at(got, 10, 10)));
    EXPECT_LT(grey(at(got, 2, 10)), grey(at(got, 10, 10)));
}

struct WarpSeen {
    int shown = 0;
    int stopAt = -1;
    int32_t width = 0, height = 0;
};

int16_t seeStep(uintptr_t dib, void* user) {
    auto* seen = static_cast<WarpSeen*>(user);
    ++seen->shown;
    const Picture p = read(dib);
    seen->width = p.width, seen->height = p.height;
    return seen->shown == seen->stopAt ? 0 : 1;
}

TEST(ArtisticEffects, WarpShowsEveryStepAndKeepsAPlainPicturePlain) {
    auto warp = effectsProc<PFN_Warp>("Warp");
    for (int32_t convolve : {0, 1})
        for (int32_t hue : {0, 1}) {
            SCOPED_TRACE(testing::Message() << "convolve " << convolve << " hue " << hue);
            const Picture plain = flat(30, 20, 0x3366CC);
            zp::GlobalBlock in(makeDib(plain));
            WarpSeen seen;
            zp::GlobalBlock out(
                warp(in.get(), hue, 1, seeStep, goOn, &seen, 15, 5, 90, 4, convolve));
            ASSERT_TRUE(out);
            EXPECT_EQ(read(out.get()).px, plain.px);
            EXPECT_EQ(seen.shown, 5);
            EXPECT_EQ(seen.width, 30);
            EXPECT_EQ(seen.height, 20);
            zp::GlobalBlock photoIn(makeDib(photo(30, 20)));
            zp::GlobalBlock moved(
                warp(photoIn.get(), hue, 0, nullptr, goOn, nullptr, 15, 3, 0, 5, convolve));
            ASSERT_TRUE(moved);
            EXPECT_NE(read(moved.get()).px, photo(30, 20).px);
        }
}

TEST(ArtisticEffects, WarpStopsOnEitherCallback) {
    auto warp = effectsProc<PFN_Warp>("Warp");
    zp::GlobalBlock in(makeDib(photo(20, 16)));
    const auto before = bytes(in.get());
    const uint64_t live = GlobalBlockCount();
    WarpSeen seen;
    seen.stopAt = 2;
    EXPECT_EQ(warp(in.get(), 0, 0, seeStep, goOn, &seen, 10, 4, 90, 20, 0), 0u);
    EXPECT_EQ(seen.shown, 2);
    EXPECT_EQ(warp(in.get(), 0, 0, nullptr, stopNow, nullptr, 10, 4, 90, 20, 1), 0u);
    EXPECT_EQ(GlobalBlockCount(), live);
    EXPECT_EQ(bytes(in.get()), before);
    // An 8-bit or damaged picture is refused.
    {
        zp::GlobalLockGuard lock(in.get());
        lock.as<BITMAPINFOHEADER>()->biBitCount = 8;
    }
    EXPECT_EQ(warp(in.get(), 0, 0, nullptr, goOn, nullptr, 10, 4, 90, 20, 0), 0u);
}

} // namespace

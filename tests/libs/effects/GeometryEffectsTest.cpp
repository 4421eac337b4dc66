// Contracts every geometric effect keeps, one table over all of them: the
// area bounds the change, a stop from the progress callback answers none,
// bad DIBs and areas answer none with the input untouched, identity
// settings give the picture back.
#include "PixelFxFixtures.h"
#include "libs/imagecore/DibConvert.h"

#include <climits>
#include <cmath>
#include <functional>
#include <string>

namespace {

using namespace pixfx;
using testsupport::effectsProc;

// One effect called through the module: (dib, left, top, right, bottom, progress).
using Call =
    std::function<uintptr_t(uintptr_t, int32_t, int32_t, int32_t, int32_t, PVProgressCallback)>;
struct Effect {
    std::string name;
    Call call;
};

std::vector<Effect> changingEffects() {
    auto pinch = effectsProc<PFN_AreaReal>("PinchHole");
    auto whirl = effectsProc<PFN_AreaReal>("Whirl");
    auto spray = effectsProc<PFN_Area2>("Spray");
    auto jiggle = effectsProc<PFN_Area3>("Jiggle");
    auto polar = effectsProc<PFN_Area4>("RecToPolar");
    auto wave = effectsProc<PFN_Wave>("Wave");
    auto curl = effectsProc<PFN_Curl>("Curl");
    auto mosaic = effectsProc<PFN_Mosaic>("Mosaic");
    return {
        {"PinchHole", [=](auto d, auto l, auto t, auto r, auto b,
                          auto cb) { return pinch(d, l, t, cb, nullptr, -20, b, r); }},
        {"Whirl", [=](auto d, auto l, auto t, auto r, auto b,
                      auto cb) { return whirl(d, l, t, cb, nullptr, 1800, b, r); }},
        {"Spray", [=](auto d, auto l, auto t, auto r, auto b,
                      auto cb) { return spray(d, l, t, cb, nullptr, 360, 6, b, r); }},
        {"JiggleSine", [=](auto d, auto l, auto t, auto r, auto b,
                           auto cb) { return jiggle(d, l, t, cb, nullptr, 0, 4, 2, b, r); }},
        {"JiggleTriangle", [=](auto d, auto l, auto t, auto r, auto b,
                               auto cb) { return jiggle(d, l, t, cb, nullptr, 1, 4, 3, b, r); }},
        {"RecToPolar", [=](auto d, auto l, auto t, auto r, auto b,
                           auto cb) { return polar(d, l, t, cb, nullptr, 0, 0, 30, 1, b, r); }},
        {"PolarToRec", [=](auto d, auto l, auto t, auto r, auto b,
                           auto cb) { return polar(d, l, t, cb, nullptr, -1, -1, 0, 2, b, r); }},
        {"WaveReflect",
         [=](auto d, auto l, auto t, auto r, auto b, auto cb) {
             return wave(d, l, t, cb, nullptr, 1, 0, 450, 9, 40, b, r);
         }},
        {"WaveSmear", [=](auto d, auto l, auto t, auto r, auto b,
                          auto cb) { return wave(d, l, t, cb, nullptr, 0, 1, 10, 12, 30, b, r); }},
        {"Curl",
         [=](auto d, auto l, auto t, auto r, auto b, auto cb) {
             return curl(d, l, t, cb, nullptr, 4, 0x00FF00, 0x0000FF, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0,
                         1, 0, b, r);
         }},
        {"Mosaic",
         [=](auto d, auto l, auto t, auto r, auto b, auto cb) {
             return mosaic(d, l, t, cb, nullptr, 0x202020, 0xFFFFFF, 1, 1, 1, 2, 40, 20, 30, 60, b,
                           r);
         }},
    };
}

bool sameOutside(const Picture& a, const Picture& b, int32_t l, int32_t t, int32_t r, int32_t bt) {
    for (int32_t y = 0; y < a.height; ++y)
        for (int32_t x = 0; x < a.width; ++x)
            if ((x < l || x >= r || y < t || y >= bt) && at(a, x, y) != at(b, x, y)) return false;
    return true;
}

TEST(GeometryEffects, ChangeOnlyInsideTheArea) {
    const Picture src = photo(40, 32);
    for (const Effect& e : changingEffects()) {
        SCOPED_TRACE(e.name);
        zp::GlobalBlock in(makeDib(src));
        const auto before = bytes(in.get());
        zp::GlobalBlock out(e.call(in.get(), 6, 5, 30, 27, goOn));
        ASSERT_TRUE(out);
        EXPECT_EQ(bytes(in.get()), before);
        const Picture got = read(out.get());
        ASSERT_EQ(got.width, src.width);
        ASSERT_EQ(got.height, src.height);
        EXPECT_TRUE(sameOutside(src, got, 6, 5, 30, 27));
        EXPECT_NE(got.px, src.px) << "nothing changed inside the area";
    }
}

TEST(GeometryEffects, WholePictureWhenRightAndBottomAreZero) {
    const Picture src = photo(24, 20);
    for (const Effect& e : changingEffects()) {
        SCOPED_TRACE(e.name);
        zp::GlobalBlock in(makeDib(src));
        zp::GlobalBlock whole(e.call(in.get(), 0, 0, 0, 0, goOn));
        zp::GlobalBlock spelled(e.call(in.get(), 0, 0, 24, 20, goOn));
        ASSERT_TRUE(whole);
        ASSERT_TRUE(spelled);
        EXPECT_EQ(read(whole.get()).px, read(spelled.get()).px);
    }
}

TEST(GeometryEffects, StopFromProgressAnswersNone) {
    const Picture src = photo(20, 16);
    for (const Effect& e : changingEffects()) {
        SCOPED_TRACE(e.name);
        zp::GlobalBlock in(makeDib(src));
        const uint64_t live = GlobalBlockCount();
        EXPECT_EQ(e.call(in.get(), 0, 0, 0, 0, stopNow), 0u);
        EXPECT_EQ(GlobalBlockCount(), live);
    }
}

TEST(GeometryEffects, RefuseBadDibsAndAreas) {
    const Picture src = photo(20, 16);
    struct Case {
        const char* what;
        int32_t l, t, r, b;
        int bits; // 0 = damaged header
    };
    const Case cases[] = {
        {"8-bit", 0, 0, 0, 0, 8},
        {"damaged header", 0, 0, 0, 0, 0},
        {"right past width", 0, 0, 21, 0, 24},
        {"bottom past height", 0, 0, 0, 17, 24},
        {"negative left", -1, 0, 0, 0, 24},
        {"empty", 5, 5, 5, 9, 24},
        {"inverted", 9, 2, 4, 8, 24},
    };
    for (const Effect& e : changingEffects())
        for (const Case& c : cases) {
            SCOPED_TRACE(e.name + " " + c.what);
            zp::GlobalBlock in(makeDib(src));
            if (c.bits == 8) {
                ic::MutableDib view(in.get());
                in.adopt(ic::convertDibDepth(view.view(), 8, false));
            } else if (c.bits == 0) {
                zp::GlobalLockGuard lock(in.get());
                lock.as<BITMAPINFOHEADER>()->biSize = 7;
            }
            const auto before = bytes(in.get());
            EXPECT_EQ(e.call(in.get(), c.l, c.t, c.r, c.b, goOn), 0u);
            EXPECT_EQ(bytes(in.get()), before);
        }
    for (const Effect& e : changingEffects())
        EXPECT_EQ(e.call(0, 0, 0, 0, 0, goOn), 0u) << e.name;
}

TEST(GeometryEffects, IdentitySettingsGiveThePictureBack) {
    const Picture src = photo(30, 22);
    auto pinch = effectsProc<PFN_AreaReal>("PinchHole");
    auto whirl = effectsProc<PFN_AreaReal>("Whirl");
    auto spray = effectsProc<PFN_Area2>("Spray");
    auto jiggle = effectsProc<PFN_Area3>("Jiggle");
    auto wave = effectsProc<PFN_Wave>("Wave");
    zp::GlobalBlock in(makeDib(src));
    const uintptr_t d = in.get();
    const std::pair<const char*, uintptr_t> results[] = {
        {"pinch 0", pinch(d, 0, 0, goOn, nullptr, 0, 0, 0)},
        {"whirl 0", whirl(d, 0, 0, goOn, nullptr, 0, 0, 0)},
        {"spray amount 0", spray(d, 0, 0, goOn, nullptr, 360, 0, 0, 0)},
        {"jiggle amplitude 0", jiggle(d, 0, 0, goOn, nullptr, 0, 0, 5, 0, 0)},
        {"wave amplitude 0", wave(d, 0, 0, goOn, nullptr, 1, 1, 900, 20, 0, 0, 0)},
        {"wave length 0", wave(d, 0, 0, goOn, nullptr, 1, 1, 900, 0, 50, 0, 0)},
    };
    for (const auto& [what, handle] : results) {
        zp::GlobalBlock out(handle);
        ASSERT_TRUE(out) << what;
        EXPECT_EQ(read(out.get()).px, src.px) << what;
    }
}

} // namespace

namespace {

// Values far outside the bars: clamped, never read out of bounds (ASan
// watches), and still a picture of the same size.
TEST(GeometryEffects, ExtremeSettingsStillGiveAPicture) {
    auto pinch = effectsProc<PFN_AreaReal>("PinchHole");
    auto whirl = effectsProc<PFN_AreaReal>("Whirl");
    auto spray = effectsProc<PFN_Area2>("Spray");
    auto jiggle = effectsProc<PFN_Area3>("Jiggle");
    auto polar = effectsProc<PFN_Area4>("RecToPolar");
    auto wave = effectsProc<PFN_Wave>("Wave");
    auto curl = effectsProc<PFN_Curl>("Curl");
    auto mosaic = effectsProc<PFN_Mosaic>("Mosaic");
    auto warp = effectsProc<PFN_Warp>("Warp");
    constexpr int32_t lo = INT32_MIN, hi = INT32_MAX;
    for (auto [w, h] : {std::pair{1, 1}, {5, 3}, {3, 17}}) {
        SCOPED_TRACE(testing::Message() << w << "x" << h);
        zp::GlobalBlock in(makeDib(photo(w, h)));
        const uintptr_t d = in.get();
        for (int32_t v : {lo, -1, 0, hi}) {
            const double r = v == lo ? -1e300 : v == hi ? 1e300 : v == -1 ? NAN : 0.0;
            const uintptr_t results[] = {
                pinch(d, 0, 0, goOn, nullptr, r, 0, 0),
                whirl(d, 0, 0, goOn, nullptr, r, 0, 0),
                spray(d, 0, 0, goOn, nullptr, v, v, 0, 0),
                jiggle(d, 0, 0, goOn, nullptr, v, v, v, 0, 0),
                polar(d, 0, 0, goOn, nullptr, v, v, v, v, 0, 0),
                wave(d, 0, 0, goOn, nullptr, v, v, r, v, r, 0, 0),
                curl(d, 0, 0, goOn, nullptr, v, COLORREF(v), COLORREF(v), v, v, v, v, v, v, v, v, v,
                     v, v, v, 0, 0),
                mosaic(d, 0, 0, goOn, nullptr, COLORREF(v), COLORREF(v), v, v, v, v, v, v, v, v, 0,
                       0),
                warp(d, v, v, nullptr, goOn, nullptr, v, v == hi ? 3 : v, v, v, v),
            };
            for (uintptr_t out : results) {
                zp::GlobalBlock owned(out);
                ASSERT_TRUE(owned) << v;
                const Picture p = read(owned.get());
                EXPECT_EQ(p.width, w);
                EXPECT_EQ(p.height, h);
            }
        }
    }
}

} // namespace

// What makes each geometric effect that effect, checked on pictures built
// so the answer is known: pinch samples further out, whirl keeps radii,
// polar turns rows into rings, jiggle moves rows only, wave columns only,
// spray moves pixels no further than asked.
#include "PixelFxFixtures.h"

#include <cstdlib>
#include <set>

namespace {

using namespace pixfx;
using testsupport::effectsProc;

// Grey rising with the distance from the centre of a w x h picture.
Picture radial(int32_t w, int32_t h) {
    Picture p{w, h, Pixels(size_t(w) * size_t(h))};
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x) {
            const double dx = x - (w - 1) / 2.0, dy = y - (h - 1) / 2.0;
            const uint32_t v = uint32_t(std::min(255.0, std::sqrt(dx * dx + dy * dy) * 6));
            p.px[size_t(y) * size_t(w) + size_t(x)] = v << 16 | v << 8 | v;
        }
    return p;
}

// Colour from the row only (rowwise) or the column only.
Picture stripes(int32_t w, int32_t h, bool rowwise) {
    Picture p{w, h, Pixels(size_t(w) * size_t(h))};
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x) {
            const uint32_t v = uint32_t((rowwise ? y : x) * 7 % 256);
            p.px[size_t(y) * size_t(w) + size_t(x)] = v << 16 | (255 - v) << 8 | 40;
        }
    return p;
}

Picture run(const Picture& src, const std::function<uintptr_t(uintptr_t)>& effect) {
    zp::GlobalBlock in(makeDib(src));
    zp::GlobalBlock out(effect(in.get()));
    EXPECT_TRUE(out);
    return out ? read(out.get()) : Picture{0, 0, {}};
}

int32_t diff(uint32_t a, uint32_t b) {
    int32_t m = 0;
    for (int c = 0; c < 3; ++c)
        m = std::max(m, std::abs(channel(a, c) - channel(b, c)));
    return m;
}

TEST(GeometryProperties, PinchSamplesFurtherOutAndBulgeFurtherIn) {
    auto pinch = effectsProc<PFN_AreaReal>("PinchHole");
    const Picture src = radial(33, 33);
    for (double amount : {-20.0, -8.0, 10.0}) {
        SCOPED_TRACE(amount);
        const Picture got =
            run(src, [&](uintptr_t d) { return pinch(d, 0, 0, goOn, nullptr, amount, 0, 0); });
        int32_t moved = 0;
        for (size_t i = 0; i < src.px.size(); ++i) {
            const int32_t delta = grey(got.px[i]) - grey(src.px[i]);
            if (amount < 0)
                EXPECT_GE(delta, -2) << i;
            else
                EXPECT_LE(delta, 2) << i;
            moved += delta != 0;
        }
        EXPECT_GT(moved, 100);
    }
}

TEST(GeometryProperties, WhirlKeepsEveryPixelsDistanceFromTheCentre) {
    auto whirl = effectsProc<PFN_AreaReal>("Whirl");
    const Picture src = radial(41, 41);
    const Picture photoOut =
        run(photo(41, 41), [&](uintptr_t d) { return whirl(d, 0, 0, goOn, nullptr, 3000, 0, 0); });
    EXPECT_NE(photoOut.px, photo(41, 41).px);
    const Picture got =
        run(src, [&](uintptr_t d) { return whirl(d, 0, 0, goOn, nullptr, 3000, 0, 0); });
    for (size_t i = 0; i < src.px.size(); ++i)
        EXPECT_LE(diff(got.px[i], src.px[i]), 12) << i;
    // The centre and the corners (outside the inscribed circle) stay.
    EXPECT_EQ(at(photoOut, 20, 20), at(photo(41, 41), 20, 20));
    EXPECT_EQ(at(photoOut, 0, 40), at(photo(41, 41), 0, 40));
}

TEST(GeometryProperties, PolarTurnsRowsIntoRingsAndBack) {
    auto polar = effectsProc<PFN_Area4>("RecToPolar");
    const Picture rows = stripes(40, 40, true);
    for (int32_t backwards : {0, -1}) {
        SCOPED_TRACE(backwards);
        const Picture rings = run(rows, [&](uintptr_t d) {
            return polar(d, 0, 0, goOn, nullptr, backwards, 0, 45, 1, 0, 0);
        });
        // Points mirrored through the centre lie on one ring.
        for (int32_t y = 0; y < 40; ++y)
            for (int32_t x = 0; x < 40; ++x)
                EXPECT_LE(diff(at(rings, x, y), at(rings, 39 - x, 39 - y)), 2);
        EXPECT_NE(rings.px, rows.px);
    }
    // Unrolled, a ring picture gives rows again: each row nearly one colour.
    const Picture unrolled = run(radial(40, 40), [&](uintptr_t d) {
        return polar(d, 0, 0, goOn, nullptr, 0, -1, 0, 1, 0, 0);
    });
    for (int32_t y = 0; y < 40; ++y)
        for (int32_t x = 1; x < 40; ++x)
            EXPECT_LE(diff(at(unrolled, x, y), at(unrolled, 0, y)), 12);
}

TEST(GeometryProperties, JiggleMovesRowsSidewaysAndWaveMovesColumnsUpAndDown) {
    auto jiggle = effectsProc<PFN_Area3>("Jiggle");
    auto wave = effectsProc<PFN_Wave>("Wave");
    struct Case {
        const char* what;
        bool rowwise; // the stripes the effect must leave alone
        std::function<uintptr_t(uintptr_t)> effect;
    };
    const Case cases[] = {
        {"jiggle sine", true,
         [&](uintptr_t d) { return jiggle(d, 0, 0, goOn, nullptr, 0, 7, 3, 0, 0); }},
        {"jiggle triangle", true,
         [&](uintptr_t d) { return jiggle(d, 0, 0, goOn, nullptr, 1, 9, 1, 0, 0); }},
        {"wave smear", false,
         [&](uintptr_t d) { return wave(d, 0, 0, goOn, nullptr, 0, 1, 100, 11, 60, 0, 0); }},
        {"wave reflect", false,
         [&](uintptr_t d) { return wave(d, 0, 0, goOn, nullptr, 1, 0, 100, 11, 60, 0, 0); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Picture kept = stripes(36, 30, c.rowwise);
        EXPECT_EQ(run(kept, c.effect).px, kept.px);
        const Picture crossed = stripes(36, 30, !c.rowwise);
        EXPECT_NE(run(crossed, c.effect).px, crossed.px);
    }
}

TEST(GeometryProperties, SprayMovesPixelsWithinTheAmountAndRepeats) {
    auto spray = effectsProc<PFN_Area2>("Spray");
    // Each pixel's red is its column and green its row.
    Picture src{60, 50, Pixels(3000)};
    for (int32_t y = 0; y < 50; ++y)
        for (int32_t x = 0; x < 60; ++x)
            src.px[size_t(y * 60 + x)] = uint32_t(x) << 16 | uint32_t(y) << 8;
    for (int32_t amount : {1, 4, 9}) {
        int32_t movedAll = 0, movedFew = 0;
        for (int32_t randomness : {360, 36}) {
            const auto f = [&](uintptr_t d) {
                return spray(d, 0, 0, goOn, nullptr, randomness, amount, 0, 0);
            };
            const Picture got = run(src, f);
            EXPECT_EQ(run(src, f).px, got.px) << "not deterministic";
            int32_t moved = 0;
            for (int32_t y = 0; y < 50; ++y)
                for (int32_t x = 0; x < 60; ++x) {
                    const uint32_t c = at(got, x, y);
                    EXPECT_LE(std::abs(int32_t(channel(c, 2)) - x), amount);
                    EXPECT_LE(std::abs(int32_t(channel(c, 1)) - y), amount);
                    moved += c != at(src, x, y);
                }
            (randomness == 360 ? movedAll : movedFew) = moved;
        }
        EXPECT_GT(movedAll, 3000 / 2) << amount;
        EXPECT_LT(movedFew, movedAll / 4) << amount;
    }
}

} // namespace

// What every pixel effect promises, checked over one table of effects: the
// area limits the change, a stop answers none, bad input answers none and
// leaves the input (and the block count) as it was.
#include "PixelFxFixtures.h"

#include <functional>
#include <ostream>
#include <string>

namespace {

using namespace pixfx;
using testsupport::effectsProc;

struct Area {
    int32_t left, top, right, bottom;
};
using Run = std::function<uintptr_t(uintptr_t, Area, PVProgressCallback)>;
struct AreaFx {
    std::string name;
    Run run;
};

Run area1(const char* name, int32_t v) {
    return [=](uintptr_t d, Area a, PVProgressCallback cb) {
        return effectsProc<PFN_Area1>(name)(d, a.left, a.top, cb, nullptr, v, a.bottom, a.right);
    };
}

std::vector<AreaFx> areaEffects() {
    const auto area0 = [](const char* name) -> Run {
        return [=](uintptr_t d, Area a, PVProgressCallback cb) {
            return effectsProc<PFN_Area0>(name)(d, a.left, a.top, cb, nullptr, a.bottom, a.right);
        };
    };
    const auto area2 = [](const char* name, int32_t p, int32_t q) -> Run {
        return [=](uintptr_t d, Area a, PVProgressCallback cb) {
            return effectsProc<PFN_Area2>(name)(d, a.left, a.top, cb, nullptr, p, q, a.bottom,
                                                a.right);
        };
    };
    const auto motion = [](int32_t kind, int32_t angle, int32_t amount) -> Run {
        return [=](uintptr_t d, Area a, PVProgressCallback cb) {
            return effectsProc<PFN_Area3>("Motion")(d, a.left, a.top, cb, nullptr, kind, angle,
                                                    amount, a.bottom, a.right);
        };
    };
    const auto area4 = [](const char* name, int32_t p, int32_t q, int32_t r, int32_t s) -> Run {
        return [=](uintptr_t d, Area a, PVProgressCallback cb) {
            return effectsProc<PFN_Area4>(name)(d, a.left, a.top, cb, nullptr, p, q, r, s, a.bottom,
                                                a.right);
        };
    };
    const auto area5 = [](const char* name, int32_t p, int32_t q, int32_t r, int32_t s,
                          int32_t t) -> Run {
        return [=](uintptr_t d, Area a, PVProgressCallback cb) {
            return effectsProc<PFN_Area5>(name)(d, a.left, a.top, cb, nullptr, p, q, r, s, t,
                                                a.bottom, a.right);
        };
    };
    return {
        {"Blur", area1("Blur", 3)},
        {"BledPositive", area1("Bled", 150)},
        {"BledNegative", area1("Bled", -150)},
        {"Sharpen", area1("Better", 6)},
        {"Soften", area1("Better", -6)},
        {"Edge", area1("Edge", 2)},
        {"Engrave", area1("Engrave", 3)},
        {"OilPainting", area1("OilPainting", 2)},
        {"PixelFix", area1("PixelFix", 0)},
        {"GrayArea", area0("GrayArea")},
        {"AutoContrast", area0("AutoContrast")},
        {"MotionZoom", motion(1, 10, 200)},
        {"MotionRotate", motion(2, 40, 10)},
        {"MotionLine", motion(3, 30, 8)},
        {"Threshold", area2("ThresholdDib", 0, 120)},
        {"ThresholdAntialias", area2("ThresholdDib", 1, 120)},
        {"FadeDib", area4("FadeDib", 0, 0, 255, 4)},
        {"NoiseUniform", area5("Noise", 30, 20, 10, 0, 0)},
        {"NoiseGaussGrey", area5("Noise", 30, 30, 30, 1, 1)},
        {"Enhance", area5("Enhance", 20, 5, 10, 60, 10)},
    };
}

void PrintTo(const AreaFx& f, std::ostream* os) {
    *os << f.name;
}

class AreaEffect : public ::testing::TestWithParam<AreaFx> {};

TEST_P(AreaEffect, ChangesOnlyTheArea) {
    const Picture in = photo(40, 32);
    zp::GlobalBlock dib(makeDib(in));
    const Area a{9, 5, 31, 27};
    zp::GlobalBlock out(GetParam().run(dib.get(), a, goOn));
    ASSERT_TRUE(out);
    const Picture got = read(out.get());
    ASSERT_EQ(got.width, in.width);
    ASSERT_EQ(got.height, in.height);
    int changed = 0;
    for (int32_t y = 0; y < in.height; ++y)
        for (int32_t x = 0; x < in.width; ++x) {
            const bool inside = x >= a.left && x < a.right && y >= a.top && y < a.bottom;
            if (!inside)
                ASSERT_EQ(at(got, x, y), at(in, x, y)) << x << "," << y;
            else
                changed += at(got, x, y) != at(in, x, y);
        }
    EXPECT_GT(changed, (a.right - a.left) * (a.bottom - a.top) / 10);
}

TEST_P(AreaEffect, ZeroRightAndBottomMeanTheWholePicture) {
    zp::GlobalBlock dib(makeDib(photo(24, 20)));
    zp::GlobalBlock whole(GetParam().run(dib.get(), Area{0, 0, 0, 0}, nullptr));
    zp::GlobalBlock spelled(GetParam().run(dib.get(), Area{0, 0, 24, 20}, nullptr));
    ASSERT_TRUE(whole && spelled);
    EXPECT_EQ(read(whole.get()).px, read(spelled.get()).px);
}

TEST_P(AreaEffect, StopAnswersNoneAndKeepsTheInput) {
    zp::GlobalBlock dib(makeDib(photo(40, 32)));
    const std::vector<uint8_t> before = bytes(dib.get());
    const uint64_t blocks = GlobalBlockCount();
    EXPECT_EQ(GetParam().run(dib.get(), Area{0, 0, 0, 0}, stopNow), 0u);
    EXPECT_EQ(GlobalBlockCount(), blocks);
    EXPECT_EQ(bytes(dib.get()), before);
}

TEST_P(AreaEffect, RefusesBadInputAndKeepsIt) {
    RGBQUAD grey[256];
    for (int i = 0; i < 256; ++i)
        grey[i] = RGBQUAD{uint8_t(i), uint8_t(i), uint8_t(i), 0};
    zp::GlobalBlock eightBit(ic::createDib(16, 16, 8, grey));
    zp::GlobalBlock badHeader(makeDib(photo(16, 16)));
    {
        zp::GlobalLockGuard g(badHeader.get());
        g.as<BITMAPINFOHEADER>()->biSize = 7;
    }
    zp::GlobalBlock good(makeDib(photo(16, 16)));
    struct Case {
        const char* what;
        HGLOBAL dib;
        Area area;
    } cases[] = {
        {"8-bit", eightBit.get(), {0, 0, 0, 0}},
        {"bad header", badHeader.get(), {0, 0, 0, 0}},
        {"no block", 0, {0, 0, 0, 0}},
        {"right outside", good.get(), {0, 0, 17, 16}},
        {"bottom outside", good.get(), {0, 0, 16, 40}},
        {"negative left", good.get(), {-1, 0, 8, 8}},
        {"empty", good.get(), {5, 5, 5, 9}},
        {"inverted", good.get(), {9, 2, 4, 8}},
    };
    for (const Case& c : cases) {
        const std::vector<uint8_t> before = c.dib ? bytes(c.dib) : std::vector<uint8_t>{};
        const uint64_t blocks = GlobalBlockCount();
        EXPECT_EQ(GetParam().run(c.dib, c.area, goOn), 0u) << c.what;
        EXPECT_EQ(GlobalBlockCount(), blocks) << c.what;
        if (c.dib) {
            EXPECT_EQ(bytes(c.dib), before) << c.what;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(PixelFx, AreaEffect, ::testing::ValuesIn(areaEffects()),
                         [](const auto& info) { return info.param.name; });

// Whole-picture effects: (dib, progress) -> new block.
struct WholeFx {
    std::string name;
    std::function<uintptr_t(uintptr_t, PVProgressCallback)> run;
    bool reportsProgress;
};

std::vector<WholeFx> wholeEffects() {
    return {
        {"Brightness",
         [](uintptr_t d, PVProgressCallback) {
             return effectsProc<PFN_PVBrightness>("PVBrightness")(d, -40);
         },
         false},
        {"Gamma",
         [](uintptr_t d, PVProgressCallback) { return effectsProc<PFN_PVGamma>("PVGamma")(d, 25); },
         false},
        {"Extrude",
         [](uintptr_t d, PVProgressCallback cb) {
             return effectsProc<PFN_ExtrudeDib>("ExtrudeDib")(d, 1, 3, cb, nullptr);
         },
         true},
        {"Tile",
         [](uintptr_t d, PVProgressCallback cb) {
             return effectsProc<PFN_TileDib>("TileDib")(d, nullptr, cb);
         },
         true},
        {"Halftone",
         [](uintptr_t d, PVProgressCallback cb) {
             return effectsProc<PFN_HToneImage>("HToneImage")(d, 4, 0, cb, nullptr, 45.0);
         },
         true},
    };
}

void PrintTo(const WholeFx& f, std::ostream* os) {
    *os << f.name;
}

class WholeEffect : public ::testing::TestWithParam<WholeFx> {};

TEST_P(WholeEffect, ChangesThePictureAndKeepsItsSize) {
    const Picture in = photo(40, 32);
    zp::GlobalBlock dib(makeDib(in));
    zp::GlobalBlock out(GetParam().run(dib.get(), goOn));
    ASSERT_TRUE(out);
    const Picture got = read(out.get());
    EXPECT_EQ(got.width, in.width);
    EXPECT_EQ(got.height, in.height);
    EXPECT_NE(got.px, in.px);
}

TEST_P(WholeEffect, StopAndBadInputAnswerNone) {
    zp::GlobalBlock eightBit(ic::createDib(16, 16, 8, nullptr));
    zp::GlobalBlock good(makeDib(photo(16, 16)));
    const std::vector<uint8_t> before = bytes(eightBit.get());
    const uint64_t blocks = GlobalBlockCount();
    EXPECT_EQ(GetParam().run(eightBit.get(), goOn), 0u);
    EXPECT_EQ(GetParam().run(0, goOn), 0u);
    EXPECT_EQ(bytes(eightBit.get()), before);
    if (GetParam().reportsProgress) {
        EXPECT_EQ(GetParam().run(good.get(), stopNow), 0u);
    }
    EXPECT_EQ(GlobalBlockCount(), blocks);
}

INSTANTIATE_TEST_SUITE_P(PixelFx, WholeEffect, ::testing::ValuesIn(wholeEffects()),
                         [](const auto& info) { return info.param.name; });

} // namespace

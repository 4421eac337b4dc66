// The ten transition entry points: each ends with the picture on the
// surface, presents a bounded number of steps, and refuses bad handles.
#include "libs/effects/EffectsModule.h"
#include "libs/effects/PvEffects.h"
#include "libs/imagecore/DibFixtures.h"

#include <chrono>
#include <gtest/gtest.h>

namespace {

struct Entry {
    const char* name;
    bool dib;
    bool thickness;
};
constexpr Entry kEntries[] = {
    {"FXSkipHorizontal", false, true},        {"FXSkipVertical", false, true},
    {"FXSkipDiagonals", false, true},         {"FXSkipDiagonalSquares", false, true},
    {"FXSkipRectangles", false, false},       {"FXSkipHorizontalDib", true, true},
    {"FXSkipVerticalDib", true, true},        {"FXSkipDiagonalsDib", true, true},
    {"FXSkipDiagonalSquaresDib", true, true}, {"FXSkipRectanglesDib", true, false},
};

int32_t run(const Entry& e, HDC dc, uintptr_t picture, int32_t thickness, int32_t delay) {
    if (e.thickness)
        return testsupport::effectsProc<PFN_FXSkip>(e.name)(dc, picture, thickness, delay);
    return testsupport::effectsProc<PFN_FXSkipRectangles>(e.name)(dc, picture, delay);
}

std::vector<uint32_t> rgbOf(HGLOBAL dib) {
    zp::GlobalLockGuard lock(dib);
    ic::DibView v;
    return lock && ic::parseDib(lock.data(), 0, v) ? ic::toRgb(v) : std::vector<uint32_t>{};
}

// Counts steps and checks that each one adds pixels of the picture.
struct Watch {
    HDC dc = 0;
    int steps = 0;
    std::vector<uint32_t> last;
    bool monotonic = true;
    static void present(void* user) {
        auto* w = static_cast<Watch*>(user);
        ++w->steps;
        int32_t width = 0, height = 0;
        GetSurfaceDCSize(w->dc, &width, &height);
        const uint32_t* p = SurfaceDCBits(w->dc);
        std::vector<uint32_t> now(p, p + size_t(width) * size_t(height));
        if (now == w->last) w->monotonic = false; // a step that drew nothing
        w->last = std::move(now);
    }
};

TEST(Transitions, EndWithThePictureAfterABoundedNumberOfSteps) {
    zp::GlobalBlock dib(fixtures::randomDib(37, 23, 8, 4));
    const std::vector<uint32_t> want = rgbOf(dib.get());
    const HBITMAP bitmap = CreateDeviceBitmap(37, 23);
    std::copy(want.begin(), want.end(), DeviceBitmapBits(bitmap));
    for (const Entry& e : kEntries)
        for (int thickness : {1, 4, 100, -3}) {
            SCOPED_TRACE(testing::Message() << e.name << " thickness " << thickness);
            Watch watch;
            watch.dc = CreateSurfaceDC(37, 23);
            SetSurfaceDCPresenter(watch.dc, &Watch::present, &watch);
            ASSERT_EQ(run(e, watch.dc, e.dib ? dib.get() : bitmap, thickness, 0), 1);
            const uint32_t* s = SurfaceDCBits(watch.dc);
            EXPECT_EQ(std::vector<uint32_t>(s, s + want.size()), want);
            EXPECT_GE(watch.steps, 1);
            EXPECT_LE(watch.steps, 64);
            if (e.thickness && thickness == 1) {
                EXPECT_GE(watch.steps, 20);
            }
            EXPECT_TRUE(watch.monotonic);
            DeleteObject(watch.dc);
        }
    DeleteObject(bitmap);
}

TEST(Transitions, PictureLargerOrSmallerThanTheSurfaceIsClipped) {
    zp::GlobalBlock dib(fixtures::randomDib(10, 6, 24, 2));
    const std::vector<uint32_t> px = rgbOf(dib.get());
    for (auto [w, h] : {std::pair{4, 3}, {15, 9}}) {
        const HDC dc = CreateSurfaceDC(w, h);
        ASSERT_EQ(run(kEntries[7], dc, dib.get(), 2, 0), 1);
        const uint32_t* s = SurfaceDCBits(dc);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                ASSERT_EQ(s[y * w + x], x < 10 && y < 6 ? px[size_t(y * 10 + x)] : 0u)
                    << w << "x" << h << " at " << x << "," << y;
        DeleteObject(dc);
    }
}

TEST(Transitions, DelayIsWaitedBetweenStepsAndClamped) {
    zp::GlobalBlock dib(fixtures::randomDib(8, 8, 24, 2));
    const HDC dc = CreateSurfaceDC(8, 8);
    Watch watch;
    watch.dc = dc;
    SetSurfaceDCPresenter(dc, &Watch::present, &watch);
    const auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(run(kEntries[5], dc, dib.get(), 2, 10), 1); // 4 bands: 4 steps of 10 ms
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(watch.steps, 4);
    EXPECT_GE(took, std::chrono::milliseconds(40));
    const auto fastStart = std::chrono::steady_clock::now();
    ASSERT_EQ(run(kEntries[5], dc, dib.get(), 2, -500), 1); // negative: no wait
    EXPECT_LT(std::chrono::steady_clock::now() - fastStart, std::chrono::milliseconds(40));
    DeleteObject(dc);
}

TEST(Transitions, BadHandlesAnswerZero) {
    zp::GlobalBlock dib(fixtures::randomDib(8, 8, 24, 2));
    zp::GlobalBlock junk(GlobalAlloc(GHND, 20));
    const HDC dc = CreateSurfaceDC(8, 8);
    for (const Entry& e : kEntries) {
        EXPECT_EQ(run(e, 0, dib.get(), 2, 0), 0) << e.name;
        EXPECT_EQ(run(e, dib.get(), dib.get(), 2, 0), 0) << e.name << ": a block is no DC";
        EXPECT_EQ(run(e, dc, junk.get(), 2, 0), 0) << e.name;
        EXPECT_EQ(run(e, dc, dc, 2, 0), 0) << e.name;
    }
    DeleteObject(dc);
}

} // namespace

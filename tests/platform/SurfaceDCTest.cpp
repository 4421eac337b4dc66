// Off-screen device contexts: made, sized, presented, deleted, and never
// mistaken for another kind of handle.
#include "platform/Gdi.h"
#include "platform/GlobalMemory.h"

#include <gtest/gtest.h>

namespace {

TEST(SurfaceDC, MadeBlackWithItsSizeAndFreedByDeleteObject) {
    const uint64_t before = GdiObjectCount();
    const HDC dc = CreateSurfaceDC(7, 3);
    ASSERT_NE(dc, HDC(0));
    EXPECT_EQ(GdiObjectCount(), before + 1);
    int32_t w = 0, h = 0;
    ASSERT_EQ(GetSurfaceDCSize(dc, &w, &h), 1);
    EXPECT_EQ(w, 7);
    EXPECT_EQ(h, 3);
    const uint32_t* bits = SurfaceDCBits(dc);
    ASSERT_NE(bits, nullptr);
    for (int i = 0; i < 21; ++i)
        EXPECT_EQ(bits[i], 0u);
    EXPECT_EQ(DeleteObject(dc), 1);
    EXPECT_EQ(GdiObjectCount(), before);
    EXPECT_EQ(SurfaceDCBits(dc), nullptr);
    EXPECT_EQ(DeleteObject(dc), 0);
}

TEST(SurfaceDC, RefusesBadSizes) {
    for (auto [w, h] :
         {std::pair{0, 5}, {5, 0}, {-1, 5}, {kMaxBitmapSide + 1, 1}, {1, kMaxBitmapSide + 1}})
        EXPECT_EQ(CreateSurfaceDC(w, h), HDC(0)) << w << "x" << h;
}

TEST(SurfaceDC, PresenterIsCalledWithItsUserDataUntilCleared) {
    const HDC dc = CreateSurfaceDC(2, 2);
    int calls = 0;
    EXPECT_EQ(PresentSurfaceDC(dc), 1); // no presenter: nothing to call
    ASSERT_EQ(SetSurfaceDCPresenter(
                  dc, [](void* user) { ++*static_cast<int*>(user); }, &calls),
              1);
    PresentSurfaceDC(dc);
    PresentSurfaceDC(dc);
    EXPECT_EQ(calls, 2);
    SetSurfaceDCPresenter(dc, nullptr, nullptr);
    PresentSurfaceDC(dc);
    EXPECT_EQ(calls, 2);
    DeleteObject(dc);
    EXPECT_EQ(PresentSurfaceDC(dc), 0);
    EXPECT_EQ(SetSurfaceDCPresenter(dc, nullptr, nullptr), 0);
}

TEST(SurfaceDC, OtherHandleKindsAreNotSurfaces) {
    const HBITMAP bitmap = CreateDeviceBitmap(2, 2);
    const HGLOBAL block = GlobalAlloc(GHND, 16);
    EXPECT_EQ(SurfaceDCBits(bitmap), nullptr);
    EXPECT_EQ(SurfaceDCBits(block), nullptr);
    EXPECT_EQ(GetSurfaceDCSize(block, nullptr, nullptr), 0);
    const HDC dc = CreateSurfaceDC(2, 2);
    EXPECT_EQ(DeviceBitmapBits(dc), nullptr);
    EXPECT_EQ(GlobalLock(dc), nullptr);
    DeleteObject(dc);
    DeleteObject(bitmap);
    GlobalFree(block);
}

} // namespace

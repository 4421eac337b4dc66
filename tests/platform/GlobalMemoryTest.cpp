#include "platform/GlobalMemory.h"
#include "platform/GlobalBlock.h"

#include <gtest/gtest.h>
#include <thread>
#include <vector>

TEST(GlobalMemory, LockCountsSizeAndHandleOfPointer) {
    const uint64_t before = GlobalBlockCount();
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 100);
    ASSERT_NE(h, 0u);
    EXPECT_EQ(GlobalSize(h), 100u);
    EXPECT_EQ(GlobalFlags(h), 0u);
    auto* p = static_cast<unsigned char*>(GlobalLock(h));
    ASSERT_NE(p, nullptr);
    for (int i = 0; i < 100; ++i)
        EXPECT_EQ(p[i], 0) << i;
    EXPECT_EQ(GlobalLock(h), p); // blocks never move
    EXPECT_EQ(GlobalFlags(h) & 0xFF, 2u);
    EXPECT_EQ(GlobalHandle(p), h);
    EXPECT_EQ(GlobalHandle(p + 99), h);
    EXPECT_EQ(GlobalHandle(p + 100), 0u) << "one past the end belongs to no block";
    EXPECT_EQ(GlobalUnlock(h), 1);
    EXPECT_EQ(GlobalUnlock(h), 0);
    EXPECT_EQ(GlobalUnlock(h), 0) << "unlocking an unlocked block stays at 0";
    EXPECT_EQ(GlobalBlockCount(), before + 1);
    EXPECT_EQ(GlobalFree(h), 0u);
    EXPECT_EQ(GlobalBlockCount(), before);
}

TEST(GlobalMemory, StaleAndForeignHandlesAreRefused) {
    HGLOBAL h = GlobalAlloc(GHND, 8);
    void* p = GlobalLock(h);
    GlobalFree(h);
    EXPECT_EQ(GlobalLock(h), nullptr);
    EXPECT_EQ(GlobalSize(h), 0u);
    EXPECT_EQ(GlobalFlags(h), GMEM_INVALID_HANDLE);
    EXPECT_EQ(GlobalFree(h), h) << "a second free fails";
    EXPECT_EQ(GlobalHandle(p), 0u);
    int local = 0;
    EXPECT_EQ(GlobalHandle(&local), 0u);
    EXPECT_EQ(GlobalLock(0), nullptr);
    EXPECT_EQ(GlobalAlloc(GHND, kGlobalAllocLimit + 1), 0u) << "absurd sizes are refused";
}

TEST(GlobalMemory, OwnerFreesLockedBlocksAndHandsThemOn) {
    const uint64_t before = GlobalBlockCount();
    HGLOBAL released = 0;
    {
        zp::GlobalBlock a = zp::GlobalBlock::allocate(16);
        GlobalLock(a.get());
        GlobalLock(a.get());
        zp::GlobalBlock b = zp::GlobalBlock::allocate(16);
        released = b.release();
        zp::GlobalBlock c = std::move(a);
        EXPECT_FALSE(a);
        EXPECT_TRUE(c);
    }
    EXPECT_EQ(GlobalBlockCount(), before + 1) << "only the released block survives";
    EXPECT_EQ(GlobalFree(released), 0u);
}

TEST(GlobalMemory, TableIsSafeAcrossThreads) {
    const uint64_t before = GlobalBlockCount();
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([] {
            for (int i = 0; i < 500; ++i) {
                HGLOBAL h = GlobalAlloc(GHND, 32);
                auto* p = static_cast<int*>(GlobalLock(h));
                p[0] = i;
                EXPECT_EQ(GlobalHandle(p), h);
                GlobalUnlock(h);
                GlobalFree(h);
            }
        });
    for (auto& t : threads)
        t.join();
    EXPECT_EQ(GlobalBlockCount(), before);
}

// GlobalReAlloc: the handle stays, contents up to the smaller size stay,
// new bytes are zero, GlobalHandle follows a moved block, and a locked block
// is never moved.
#include "platform/GlobalBlock.h"
#include "platform/GlobalMemory.h"

#include <gtest/gtest.h>
#include <numeric>
#include <vector>

namespace {

std::vector<uint8_t> contents(HGLOBAL h) {
    zp::GlobalLockGuard lock(h);
    const auto* p = lock.as<uint8_t>();
    return std::vector<uint8_t>(p, p + GlobalSize(h));
}

zp::GlobalBlock filled(uint64_t bytes) {
    zp::GlobalBlock block = zp::GlobalBlock::allocate(bytes);
    zp::GlobalLockGuard lock(block.get());
    std::iota(lock.as<uint8_t>(), lock.as<uint8_t>() + bytes, uint8_t(1));
    return block;
}

TEST(GlobalReAlloc, KeepsHandleAndPrefixAcrossSizes) {
    struct Case {
        uint64_t from, to;
    };
    for (const Case c : {Case{100, 100}, Case{100, 10}, Case{100, 5000}, Case{1, 1 << 20},
                         Case{4096, 0}, Case{0, 64}}) {
        SCOPED_TRACE(testing::Message() << c.from << " -> " << c.to);
        zp::GlobalBlock block = filled(c.from);
        const std::vector<uint8_t> before = contents(block.get());
        ASSERT_EQ(GlobalReAlloc(block.get(), c.to, GMEM_MOVEABLE), block.get());
        ASSERT_EQ(GlobalSize(block.get()), c.to);
        const std::vector<uint8_t> after = contents(block.get());
        for (uint64_t i = 0; i < c.to; ++i)
            ASSERT_EQ(after[i], i < c.from ? before[i] : 0) << "byte " << i;
    }
}

TEST(GlobalReAlloc, ShrinkThenGrowZeroesTheRegainedBytes) {
    zp::GlobalBlock block = filled(256);
    ASSERT_TRUE(GlobalReAlloc(block.get(), 16, 0));
    ASSERT_TRUE(GlobalReAlloc(block.get(), 256, 0));
    const std::vector<uint8_t> after = contents(block.get());
    EXPECT_EQ(after[15], 16);
    for (size_t i = 16; i < after.size(); ++i)
        ASSERT_EQ(after[i], 0) << i;
}

TEST(GlobalReAlloc, GlobalHandleFollowsTheMovedBlock) {
    zp::GlobalBlock block = filled(64);
    // Another block right after makes growing in place unlikely.
    zp::GlobalBlock neighbour = filled(64);
    ASSERT_TRUE(GlobalReAlloc(block.get(), 8 << 20, 0));
    zp::GlobalLockGuard lock(block.get());
    EXPECT_EQ(GlobalHandle(lock.data()), block.get());
    EXPECT_EQ(GlobalHandle(lock.as<uint8_t>() + (8 << 20) - 1), block.get());
    EXPECT_EQ(GlobalFlags(block.get()) & 0xFF, 1u);
}

TEST(GlobalReAlloc, LockedBlockShrinksInPlaceButDoesNotGrow) {
    zp::GlobalBlock block = filled(1000);
    zp::GlobalLockGuard lock(block.get());
    ASSERT_EQ(GlobalReAlloc(block.get(), 10, 0), block.get());
    EXPECT_EQ(GlobalLock(block.get()), lock.data()); // same address
    GlobalUnlock(block.get());
    EXPECT_EQ(GlobalReAlloc(block.get(), 1 << 20, 0), HGLOBAL(0));
    EXPECT_EQ(GlobalSize(block.get()), 10u); // left as it was
    EXPECT_EQ(lock.as<uint8_t>()[9], 10);
}

TEST(GlobalReAlloc, RefusesBadHandlesAndSizes) {
    zp::GlobalBlock block = filled(32);
    EXPECT_EQ(GlobalReAlloc(0, 10, 0), HGLOBAL(0));
    EXPECT_EQ(GlobalReAlloc(0xDEAD, 10, 0), HGLOBAL(0));
    EXPECT_EQ(GlobalReAlloc(block.get(), kGlobalAllocLimit + 1, 0), HGLOBAL(0));
    EXPECT_EQ(GlobalReAlloc(block.get(), 1, GMEM_MODIFY), block.get());
    EXPECT_EQ(GlobalSize(block.get()), 32u);
    const HGLOBAL freed = block.release();
    GlobalFree(freed);
    EXPECT_EQ(GlobalReAlloc(freed, 10, 0), HGLOBAL(0));
}

} // namespace

// The shared table's order: frames that show few entries get them low
// enough to start their codes narrower, and the order stays a permutation.
#include "imaging/animated/SharedTableOrder.h"

#include <algorithm>
#include <gtest/gtest.h>

using namespace PVWebImg;

namespace {

PVTableUse shows(int from, int to, bool transparent, uint64_t codes = 2000) {
    PVTableUse use;
    for (int i = from; i < to; ++i)
        use.shown[size_t(i)] = true;
    use.transparent = transparent;
    use.codes = codes;
    return use;
}

} // namespace

TEST(SharedTableOrder, CodeCountsRoundTrip) {
    EXPECT_EQ(CodeBits(8, 1), 9u);
    EXPECT_EQ(CodeBits(2, 3), 9u); // 3-bit codes until the table reaches 8
    for (const uint64_t codes : {1u, 300u, 4000u, 9000u})
        EXPECT_EQ(CodesIn(8, CodeBits(8, codes)), codes);
    EXPECT_LT(CodeBits(6, 2000), CodeBits(8, 2000));
}

TEST(SharedTableOrder, SmallFramesMoveDownAndTakeAFreeTransparentIndex) {
    // The first frame shows everything; the others the top entries, which
    // the table's own order keeps at 8 bits.
    std::vector<PVTableUse> frames{shows(0, 256, false)};
    for (int f = 0; f < 6; ++f)
        frames.push_back(shows(190 + f, 240 + f, true));
    frames.push_back(shows(100, 130, false, 50));
    const std::vector<uint8_t> order = OrderSharedTable(frames, 256, 8);

    std::vector<uint8_t> sorted(order);
    std::sort(sorted.begin(), sorted.end());
    for (size_t i = 0; i < sorted.size(); ++i)
        ASSERT_EQ(sorted[i], i);
    EXPECT_EQ(FitFrame(frames[0], order).bits, 8);
    for (size_t f = 1; f < 7; ++f) {
        const PVTableFit fit = FitFrame(frames[f], order);
        EXPECT_EQ(fit.bits, 6) << f; // 55 entries and a transparent one fit below 64
        for (size_t i = 0; i < 256; ++i)
            if (frames[f].shown[i]) {
                EXPECT_NE(order[i], fit.transparent);
            }
    }
    EXPECT_EQ(FitFrame(frames[7], order).transparent, -1);
}

TEST(SharedTableOrder, KeepsItsOwnOrderWhenNothingIsGained) {
    const std::vector<PVTableUse> frames{shows(0, 16, false), shows(0, 3, true)};
    const std::vector<uint8_t> order = OrderSharedTable(frames, 16, 4);
    for (size_t i = 0; i < order.size(); ++i)
        EXPECT_EQ(order[i], i);
}

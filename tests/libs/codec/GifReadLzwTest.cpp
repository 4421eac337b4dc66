// LZW streams no encoder here writes: a code table that fills to 4096
// entries and goes on without a clear code (as some encoders defer it),
// decoded against the encoded pixels and giflib.
#include "GifReadFixtures.h"
#include "GifReadRawBytes.h"
#include "libs/codec/CodecErrors.h"

#include <gtest/gtest.h>

using namespace gifread;

namespace {

struct Stream {
    Bytes data;
    int codesOnFullTable = 0; // codes sent while the table held 4096 entries
};

// Greedy LZW that stops adding entries at 4096 and keeps 12-bit codes until
// it sends a clear, which it does only once, before pixel `clearAt`.
Stream encodeDeferringClear(const Bytes& pixels, int minCodeSize, size_t clearAt) {
    const int clear = 1 << minCodeSize;
    std::vector<uint16_t> child(4096 * 256); // (prefix code, byte) -> code, 0 = none
    Stream s;
    Bytes& out = s.data;
    uint32_t acc = 0;
    int bits = 0, codeSize = minCodeSize + 1, next = clear + 2;
    auto put = [&](int code) {
        acc |= uint32_t(code) << bits;
        for (bits += codeSize; bits >= 8; bits -= 8, acc >>= 8)
            out.push_back(uint8_t(acc));
    };
    auto reset = [&] {
        put(clear);
        std::fill(child.begin(), child.end(), 0);
        codeSize = minCodeSize + 1;
        next = clear + 2;
    };
    reset();
    int prefix = pixels[0];
    for (size_t i = 1; i < pixels.size(); ++i) {
        uint16_t& slot = child[size_t(prefix) * 256 + pixels[i]];
        if (slot && i != clearAt) {
            prefix = slot;
            continue;
        }
        put(prefix);
        s.codesOnFullTable += next == 4096;
        if (i == clearAt) {
            reset();
        } else if (next < 4096) {
            slot = uint16_t(next++);
            if (next > (1 << codeSize) && codeSize < 12) ++codeSize;
        }
        prefix = pixels[i];
    }
    put(prefix);
    put(clear + 1);
    if (bits) out.push_back(uint8_t(acc));
    return s;
}

struct FullTableCase {
    const char* name;
    int minCodeSize, width, height;
    double clearAt; // fraction of the pixels; above 1: never cleared
};

const FullTableCase kFullTable[] = {
    {"two_bits_never_cleared", 2, 300, 200, 2.0},
    {"four_bits_cleared_late", 4, 250, 200, 0.8},
    {"eight_bits_cleared_late", 8, 200, 150, 0.9},
};

void PrintTo(const FullTableCase& c, std::ostream* os) {
    *os << c.name;
}

class GifReadFullTable : public testing::TestWithParam<FullTableCase> {};

TEST_P(GifReadFullTable, DecodesOnWithTheFullTable) {
    const FullTableCase& fc = GetParam();
    const Bytes want = pixels(fc.width, fc.height, 1 << fc.minCodeSize, fc.minCodeSize);
    const size_t clearAt = size_t(fc.clearAt * double(want.size()));
    const Stream stream = encodeDeferringClear(want, fc.minCodeSize, clearAt);
    ASSERT_GT(stream.codesOnFullTable, 2000);

    Bytes file = screenBytes(fc.width, fc.height, fc.minCodeSize);
    imageBytes(file, 0, 0, fc.width, fc.height, fc.minCodeSize, stream.data);
    file.push_back(0x3B);

    CoreCollector c;
    ASSERT_EQ(decodeCore(file, c), PVE_OK);
    ASSERT_EQ(c.frames.size(), 1u);
    EXPECT_FALSE(c.frames[0].image.filled);
    EXPECT_TRUE(c.frames[0].pixels == want);
    const Decoded ref = decodeWithGiflib(file);
    ASSERT_TRUE(ref.ok);
    ASSERT_EQ(ref.frames.size(), 1u);
    EXPECT_TRUE(ref.frames[0].pixels == want);
}

INSTANTIATE_TEST_SUITE_P(Streams, GifReadFullTable, testing::ValuesIn(kFullTable),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace

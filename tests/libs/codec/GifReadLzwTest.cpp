// LZW streams no encoder here writes: a code table that fills to 4096
// entries and goes on without a clear code (as some encoders defer it), and
// strings that run past the image's last pixel; decoded against the encoded
// pixels and giflib.
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

struct StreamCase {
    const char* name;
    int minCodeSize, width, height;
    bool solid;         // one colour (every code the one being defined), else noise
    double clearAt;     // fraction of the pixels; above 1: never cleared
    int extra;          // pixels encoded past the image's last
    int fullTableCodes; // codes the stream must send on a full table, at least
};

const StreamCase kStreams[] = {
    {"two_bits_never_cleared", 2, 300, 200, false, 2.0, 0, 2000},
    {"four_bits_cleared_late", 4, 250, 200, false, 0.8, 0, 2000},
    {"eight_bits_cleared_late", 8, 200, 150, false, 0.9, 0, 2000},
    {"solid_strings_past_the_end", 3, 97, 61, true, 2.0, 500, 0},
    {"noise_past_the_end", 8, 64, 33, false, 2.0, 37, 0},
};

void PrintTo(const StreamCase& c, std::ostream* os) {
    *os << c.name;
}

class GifReadLzwStream : public testing::TestWithParam<StreamCase> {};

TEST_P(GifReadLzwStream, DecodesAsEncodedAndAsGiflib) {
    const StreamCase& sc = GetParam();
    const size_t count = size_t(sc.width) * sc.height;
    Bytes encoded = sc.solid ? Bytes(count + sc.extra, 5)
                             : pixels(sc.width, sc.height + 1, 1 << sc.minCodeSize, sc.width);
    encoded.resize(count + sc.extra);
    const Stream stream =
        encodeDeferringClear(encoded, sc.minCodeSize, size_t(sc.clearAt * double(count)));
    ASSERT_GE(stream.codesOnFullTable, sc.fullTableCodes);
    const Bytes want(encoded.begin(), encoded.begin() + ptrdiff_t(count));

    Bytes file = screenBytes(sc.width, sc.height, sc.minCodeSize);
    imageBytes(file, 0, 0, sc.width, sc.height, sc.minCodeSize, stream.data);
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

INSTANTIATE_TEST_SUITE_P(Streams, GifReadLzwStream, testing::ValuesIn(kStreams),
                         [](const auto& info) { return std::string(info.param.name); });

// After a clear, codes defined before it are beyond the table again.
TEST(GifReadLzwClear, ForgetsEveryCodeDefinedBeforeIt) {
    Bytes file = screenBytes(2, 2);
    // 1, 1 define 6 ("1 1") and begin 7; after the clear, 0 begins 6 and 7
    // is undefined.
    imageBytes(file, 0, 0, 2, 2, 2, packCodes({{4, 3}, {1, 3}, {1, 3}, {4, 3}, {0, 3}, {7, 3}}));
    file.push_back(0x3B);
    CoreCollector c;
    EXPECT_EQ(decodeCore(file, c), PVE_BAD_LZW);
    EXPECT_TRUE(c.frames.empty());
}

} // namespace

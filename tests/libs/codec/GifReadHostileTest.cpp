// The decoder on hand-made, truncated and damaged files: the right answer,
// the images before the damage, and never a crash or a huge allocation.
#include "GifReadCollector.h"
#include "GifReadFixtures.h"
#include "GifReadRawBytes.h"
#include "TestSupport.h"
#include "libs/codec/CodecErrors.h"

#include <functional>
#include <gtest/gtest.h>
#include <random>

using namespace gifread;

namespace {

struct RawCase {
    const char* name;
    std::function<Bytes()> make;
    int32_t result;
    size_t images;
    std::function<void(const CoreCollector&)> check;
};

Bytes withTrailer(Bytes b) {
    b.push_back(0x3B);
    return b;
}

Bytes oneImage(int w = 2, int h = 2) {
    Bytes b = screenBytes(w, h);
    imageBytes(b, 0, 0, 2, 2, 2, tinyImageData());
    return b;
}

const std::vector<uint8_t> kTiny = {0, 1, 1, 0};

const RawCase kRawCases[] = {
    {"plain", [] { return withTrailer(oneImage()); }, PVE_OK, 1,
     [](const CoreCollector& c) { EXPECT_EQ(c.frames[0].pixels, kTiny); }},
    // The limit is on memory: any 16-bit side is legal, a byte a pixel above 1 GiB is not.
    {"strip_65535_wide",
     [] {
         Bytes b = screenBytes(65535, 1);
         imageBytes(b, 0, 0, 65535, 1, 2, tinyImageData());
         return withTrailer(b);
     },
     PVE_OK, 1, [](const CoreCollector& c) { EXPECT_EQ(c.frames[0].pixels.size(), 65535u); }},
    {"screen_too_wide",
     [] { return withTrailer(screenBytes(65535, 16385)); },
     PVE_TOO_LARGE,
     0,
     {}},
    {"screen_too_high",
     [] { return withTrailer(screenBytes(16385, 65535)); },
     PVE_TOO_LARGE,
     0,
     {}},
    {"image_too_large",
     [] {
         Bytes b = screenBytes(10, 10);
         imageBytes(b, 0, 0, 65535, 65535, 2, tinyImageData());
         return withTrailer(b);
     },
     PVE_TOO_LARGE,
     0,
     {}},
    {"image_too_wide_after_one",
     [] {
         Bytes b = oneImage();
         imageBytes(b, 0, 0, 65535, 16385, 2, tinyImageData());
         return withTrailer(b);
     },
     PVE_TOO_LARGE,
     1,
     {}},
    {"min_code_size_0",
     [] {
         Bytes b = screenBytes(2, 2);
         imageBytes(b, 0, 0, 2, 2, 0, {0x01});
         return withTrailer(b);
     },
     PVE_BAD_LZW,
     0,
     {}},
    {"min_code_size_9",
     [] {
         Bytes b = screenBytes(2, 2);
         imageBytes(b, 0, 0, 2, 2, 9, {0x01, 0x02});
         return withTrailer(b);
     },
     PVE_BAD_LZW,
     0,
     {}},
    {"code_beyond_table_in_second_image",
     [] {
         Bytes b = oneImage();
         imageBytes(b, 0, 0, 2, 2, 2, packCodes({{4, 3}, {7, 3}}));
         return withTrailer(b);
     },
     PVE_BAD_LZW,
     1,
     {}},
    {"first_code_not_a_literal",
     [] {
         Bytes b = screenBytes(2, 2);
         imageBytes(b, 0, 0, 2, 2, 2, packCodes({{4, 3}, {6, 3}}));
         return withTrailer(b);
     },
     PVE_BAD_LZW,
     0,
     {}},
    {"short_data_filled_with_zero",
     [] {
         Bytes b = screenBytes(2, 2);
         imageBytes(b, 0, 0, 2, 2, 2, packCodes({{4, 3}, {1, 3}, {5, 3}}));
         return withTrailer(b);
     },
     PVE_OK, 1,
     [](const CoreCollector& c) {
         EXPECT_EQ(c.frames[0].pixels, (std::vector<uint8_t>{1, 0, 0, 0}));
         EXPECT_TRUE(c.frames[0].image.filled);
     }},
    {"short_data_filled_with_transparent",
     [] {
         Bytes b = screenBytes(2, 2, 2);
         controlBytes(b, 1, true, 3, 0);
         imageBytes(b, 0, 0, 2, 2, 2, packCodes({{4, 3}, {1, 3}}));
         return withTrailer(b);
     },
     PVE_OK, 1,
     [](const CoreCollector& c) {
         EXPECT_EQ(c.frames[0].pixels, (std::vector<uint8_t>{1, 3, 3, 3}));
     }},
    {"extra_pixels_ignored",
     [] {
         Bytes b = screenBytes(1, 1);
         imageBytes(b, 0, 0, 1, 1, 2, packCodes({{4, 3}, {1, 3}, {0, 3}, {1, 3}, {5, 3}}));
         return withTrailer(b);
     },
     PVE_OK, 1, [](const CoreCollector& c) { EXPECT_EQ(c.frames[0].pixels, Bytes{1}); }},
    {"missing_trailer", [] { return oneImage(); }, PVE_OK, 1, {}},
    {"ends_before_block_terminator",
     [] {
         Bytes b = oneImage();
         b.pop_back();
         return b;
     },
     PVE_OK,
     1,
     {}},
    {"trailer_only", [] { return withTrailer(screenBytes(4, 4)); }, PVE_NO_IMAGE, 0, {}},
    {"header_only", [] { return screenBytes(4, 4); }, PVE_TRUNCATED, 0, {}},
    {"cut_screen", [] { return Bytes{'G', 'I', 'F', '8', '9', 'a', 4, 0}; }, PVE_TRUNCATED, 0, {}},
    {"not_gif", [] { return Bytes{0x89, 'P', 'N', 'G', 13, 10, 26, 10}; }, PVE_NOT_GIF, 0, {}},
    {"empty", [] { return Bytes{}; }, PVE_NOT_GIF, 0, {}},
    {"zero_size_image_skipped",
     [] {
         Bytes b = screenBytes(2, 2);
         imageBytes(b, 0, 0, 0, 5, 2, tinyImageData());
         imageBytes(b, 0, 0, 2, 2, 2, tinyImageData());
         return withTrailer(b);
     },
     PVE_OK, 1, [](const CoreCollector& c) { EXPECT_EQ(c.summary.imageCount, 1); }},
    {"zero_screen_takes_first_extent",
     [] {
         Bytes b = screenBytes(0, 0);
         imageBytes(b, 3, 5, 2, 2, 2, tinyImageData());
         return withTrailer(b);
     },
     PVE_OK, 1,
     [](const CoreCollector& c) {
         EXPECT_EQ(c.screen.width, 5);
         EXPECT_EQ(c.screen.height, 7);
     }},
    {"unknown_block_after_image",
     [] {
         Bytes b = oneImage();
         b.push_back(0x99);
         return b;
     },
     PVE_OK,
     1,
     {}},
    {"unknown_block_first",
     [] {
         Bytes b = screenBytes(2, 2);
         b.push_back(0x99);
         return b;
     },
     PVE_BAD_LZW,
     0,
     {}},
    {"stray_zero_bytes",
     [] {
         Bytes b = screenBytes(2, 2);
         b.insert(b.end(), {0, 0});
         imageBytes(b, 0, 0, 2, 2, 2, tinyImageData());
         return withTrailer(b);
     },
     PVE_OK,
     1,
     {}},
    {"default_palette_without_tables",
     [] {
         Bytes b = screenBytes(2, 2, 0);
         imageBytes(b, 0, 0, 2, 2, 2, tinyImageData());
         return withTrailer(b);
     },
     PVE_OK, 1,
     [](const CoreCollector& c) {
         EXPECT_EQ(c.frames[0].colours,
                   (Bytes{0, 0, 0, 255, 255, 255, 170, 170, 170, 255, 255, 255}));
     }},
    {"loop_extensions_first_wins",
     [] {
         Bytes b = screenBytes(2, 2);
         b.insert(b.end(), {0x21, 0xFF, 11, 'A', 'N', 'I', 'M', 'E', 'X', 'T', 'S', '1', '.', '0',
                            3, 1, 7, 1, 0});
         b.insert(b.end(), {0x21, 0xFF, 11, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0',
                            3, 1, 9, 0, 0});
         imageBytes(b, 0, 0, 2, 2, 2, tinyImageData());
         return withTrailer(b);
     },
     PVE_OK, 1,
     [](const CoreCollector& c) {
         EXPECT_TRUE(c.summary.hasLoopExtension);
         EXPECT_EQ(c.summary.loops, 263);
     }},
    {"short_control_block_ignored",
     [] {
         Bytes b = screenBytes(2, 2);
         b.insert(b.end(), {0x21, 0xF9, 2, 0x05, 0x10, 0});
         imageBytes(b, 0, 0, 2, 2, 2, tinyImageData());
         return withTrailer(b);
     },
     PVE_OK, 1, [](const CoreCollector& c) { EXPECT_FALSE(c.frames[0].image.control.present); }},
    {"plain_text_consumes_control",
     [] {
         Bytes b = screenBytes(2, 2);
         controlBytes(b, 2, true, 1, 50);
         b.insert(b.end(), {0x21, 0x01, 12, 0, 0, 0, 0, 8, 0, 8, 0, 8, 8, 1, 0, 2, 'h', 'i', 0});
         imageBytes(b, 0, 0, 2, 2, 2, tinyImageData());
         return withTrailer(b);
     },
     PVE_OK, 1, [](const CoreCollector& c) { EXPECT_FALSE(c.frames[0].image.control.present); }},
    {"cut_inside_comment",
     [] {
         Bytes b = oneImage();
         b.insert(b.end(), {0x21, 0xFE, 10, 'a', 'b'});
         return b;
     },
     PVE_TRUNCATED,
     1,
     {}},
};

void PrintTo(const RawCase& c, std::ostream* os) {
    *os << c.name;
}

class GifReadRaw : public testing::TestWithParam<RawCase> {};

TEST_P(GifReadRaw, AnswersAsDocumented) {
    const RawCase& rc = GetParam();
    CoreCollector c;
    EXPECT_EQ(decodeCore(rc.make(), c), rc.result);
    ASSERT_EQ(c.frames.size(), rc.images);
    if (rc.check) rc.check(c);
}

INSTANTIATE_TEST_SUITE_P(Bytes, GifReadRaw, testing::ValuesIn(kRawCases),
                         [](const auto& info) { return std::string(info.param.name); });

GifSpec smallAnimation() {
    GifSpec s{20, 16, palette(16, 3), 0, 0, 0, {}};
    for (int i = 0; i < 3; ++i) {
        FrameSpec f;
        f.left = i;
        f.top = i;
        f.width = 20 - i;
        f.height = 16 - i;
        f.interlaced = i == 1;
        f.control = true;
        f.delay = 5;
        f.commentsBefore = {"c" + std::to_string(i)};
        f.pixels = pixels(f.width, f.height, 16, i);
        s.frames.push_back(f);
    }
    return s;
}

TEST(GifReadTruncation, EveryPrefixDeliversTheCompletedFrames) {
    const Bytes full = encode(smallAnimation());
    CoreCollector whole;
    ASSERT_EQ(decodeCore(full, whole), PVE_OK);
    ASSERT_EQ(whole.frames.size(), 3u);
    size_t previous = 0;
    for (size_t n = 0; n < full.size(); ++n) {
        SCOPED_TRACE(n);
        CoreCollector c;
        const int32_t rc = decodeCore(Bytes(full.begin(), full.begin() + ptrdiff_t(n)), c);
        EXPECT_TRUE(rc == PVE_OK || rc == PVE_TRUNCATED || rc == PVE_NOT_GIF) << rc;
        if (rc == PVE_OK) {
            EXPECT_FALSE(c.frames.empty());
        }
        ASSERT_GE(c.frames.size(), previous);
        previous = c.frames.size();
        for (size_t i = 0; i < c.frames.size(); ++i)
            EXPECT_EQ(c.frames[i].pixels, whole.frames[i].pixels);
    }
    EXPECT_EQ(previous, 3u);
}

TEST(GifReadTruncation, EntryPointDeliversEarlierFramesThenTheError) {
    const Bytes full = encode(smallAnimation());
    const auto path = testsupport::tempDir("gifread") / "cut.gif";
    // Cut in the middle of the third image's data.
    testsupport::writeFile(path, Bytes(full.begin(), full.end() - 40));
    const uint64_t blocks = GlobalBlockCount();
    Collector c;
    EXPECT_EQ(readAnimated(path.string(), c), PVE_TRUNCATED);
    EXPECT_EQ(c.images().size(), 2u);
    EXPECT_EQ(GlobalBlockCount(), blocks);
}

TEST(GifReadCorruption, RandomDamageNeverCrashes) {
    const Bytes full = encode(smallAnimation());
    std::mt19937 rng(12345);
    const std::vector<int32_t> allowed = {PVE_OK,      PVE_TRUNCATED, PVE_BAD_LZW,
                                          PVE_NOT_GIF, PVE_TOO_LARGE, PVE_NO_IMAGE};
    for (int round = 0; round < 3000; ++round) {
        Bytes b = full;
        const int flips = 1 + int(rng() % 4);
        for (int i = 0; i < flips; ++i)
            b[rng() % b.size()] = uint8_t(rng());
        CoreCollector c;
        const int32_t rc = decodeCore(b, c, {uint64_t(1) << 20});
        ASSERT_NE(std::find(allowed.begin(), allowed.end(), rc), allowed.end()) << rc;
        for (const CoreFrame& f : c.frames)
            ASSERT_EQ(f.pixels.size(), size_t(f.image.width) * f.image.height);
    }
}

TEST(GifReadCancel, AnAnswerOtherThanOneStopsAtEveryEvent) {
    const auto path = testsupport::tempDir("gifread") / "anim.gif";
    testsupport::writeFile(path, encode(smallAnimation()));
    Collector all;
    ASSERT_EQ(readAnimated(path.string(), all), PVE_OK);
    const uint64_t blocks = GlobalBlockCount();
    for (size_t i = 0; i < all.events.size(); ++i) {
        SCOPED_TRACE(i);
        Collector c;
        c.answerZeroAt = int(i);
        EXPECT_EQ(readAnimated(path.string(), c), PVE_CANCELLED);
        EXPECT_EQ(c.events.size(), i + 1);
        EXPECT_EQ(GlobalBlockCount(), blocks);
    }
}

TEST(GifReadErrors, FilesThatCannotBeRead) {
    static const auto fn = testsupport::codecProc<PFN_an_rdgiffiledib>("an_rdgiffiledib");
    ASSERT_NE(fn, nullptr);
    const auto dir = testsupport::tempDir("gifread");
    Collector c;
    EXPECT_EQ(fn((dir / "missing.gif").c_str(), 0, collect, &c, 0), PVE_OPEN);
    EXPECT_EQ(fn(dir.c_str(), 0, collect, &c, 0), PVE_OPEN);
    EXPECT_EQ(fn(nullptr, 0, collect, &c, 0), PVE_BAD_ARGUMENT);
    EXPECT_EQ(fn((dir / "x.gif").c_str(), 0, nullptr, &c, 0), PVE_BAD_ARGUMENT);
    EXPECT_TRUE(c.events.empty());
}

} // namespace

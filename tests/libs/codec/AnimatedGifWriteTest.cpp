// an_wtgiffiledib round trips: frames made here, written through the real
// module, read back with giflib and compared field by field, pixel by pixel.
#include "GifWriteSupport.h"
#include "TestSupport.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

using gifwrite::FrameSpec;
using gifwrite::GifRead;
using gifwrite::makeDib;
using gifwrite::palette;
using gifwrite::SaveScript;

// The DIB's table as GIF stores it: RGB, padded with black to a power of two.
std::vector<GifColorType> storedTable(const ic::DibView& v) {
    int size = 2;
    while (size < int(v.colorCount))
        size *= 2;
    std::vector<GifColorType> t(size_t(size), GifColorType{0, 0, 0});
    for (uint32_t i = 0; i < v.colorCount; ++i)
        t[i] = {v.colors[i].rgbRed, v.colors[i].rgbGreen, v.colors[i].rgbBlue};
    return t;
}

void expectTable(const ColorMapObject* map, const std::vector<GifColorType>& want) {
    ASSERT_NE(map, nullptr);
    ASSERT_EQ(map->ColorCount, int(want.size()));
    for (size_t i = 0; i < want.size(); ++i) {
        EXPECT_EQ(map->Colors[i].Red, want[i].Red) << i;
        EXPECT_EQ(map->Colors[i].Green, want[i].Green) << i;
        EXPECT_EQ(map->Colors[i].Blue, want[i].Blue) << i;
    }
}

// Every field and pixel of image i against the frame it was written from.
void expectFrame(const GifRead& r, int i, const FrameSpec& f, bool expectLocal) {
    SCOPED_TRACE(testing::Message() << "frame " << i);
    const SavedImage& im = r.gif->SavedImages[i];
    zp::GlobalLockGuard lock(f.dib);
    ic::DibView v;
    ASSERT_TRUE(ic::parseDib(lock.data(), GlobalSize(f.dib), v));
    EXPECT_EQ(im.ImageDesc.Left, std::max<int>(f.left, 0));
    EXPECT_EQ(im.ImageDesc.Top, std::max<int>(f.top, 0));
    ASSERT_EQ(im.ImageDesc.Width, v.width);
    ASSERT_EQ(im.ImageDesc.Height, v.height);
    EXPECT_EQ(im.ImageDesc.Interlace, f.interlaced != 0);
    EXPECT_EQ(im.ImageDesc.ColorMap != nullptr, expectLocal);
    expectTable(expectLocal ? im.ImageDesc.ColorMap : r.gif->SColorMap, storedTable(v));
    GraphicsControlBlock gcb;
    ASSERT_EQ(DGifSavedExtensionToGCB(r.gif, i, &gcb), GIF_OK);
    EXPECT_EQ(gcb.DisposalMode, f.disposal & 7);
    EXPECT_EQ(gcb.DelayTime, f.delay);
    EXPECT_EQ(gcb.TransparentColor, f.transparent ? f.transparentIndex : NO_TRANSPARENT_COLOR);
    int mismatches = 0;
    for (int y = 0; y < v.height; ++y)
        for (int x = 0; x < v.width; ++x)
            mismatches += im.RasterBits[y * v.width + x] != v.index(x, y);
    EXPECT_EQ(mismatches, 0);
}

// Loop count of the NETSCAPE2.0 extension, -1 when there is none.
int loopCount(const GifRead& r) {
    const SavedImage& first = r.gif->SavedImages[0];
    for (int b = 0; b + 1 < first.ExtensionBlockCount; ++b) {
        const ExtensionBlock& e = first.ExtensionBlocks[b];
        if (e.Function == APPLICATION_EXT_FUNC_CODE && e.ByteCount == 11 &&
            std::memcmp(e.Bytes, "NETSCAPE2.0", 11) == 0) {
            const ExtensionBlock& d = first.ExtensionBlocks[b + 1];
            return d.Bytes[1] | (d.Bytes[2] << 8);
        }
    }
    return -1;
}

uint32_t pattern(int x, int y, int modulo) {
    return uint32_t((x * 3 + y * 5 + x * y) % modulo);
}

TEST(AnimatedGifWrite, RoundTripsEveryFrameField) {
    const auto dir = testsupport::tempDir("gifwrite");
    const auto pal8 = palette(256, 1), pal4 = palette(16, 2), pal1 = palette(2, 3);
    SaveScript s;
    // Frame 0 sets the global table; later frames use it, bring their own
    // by flag, or differ from it and so must carry theirs.
    s.frames.push_back({makeDib(61, 33, 8, pal8, [](int x, int y) { return pattern(x, y, 256); })});
    for (int d = 0; d < 8; ++d) {
        FrameSpec f;
        f.dib = makeDib(17 + d, 9 + 2 * d, 8, pal8,
                        [d](int x, int y) { return pattern(x + d, y, 256); });
        f.disposal = uint8_t(d);
        f.delay = uint16_t(d * 7 + 1);
        f.left = int16_t(d * 3);
        f.top = int16_t(d);
        f.interlaced = uint8_t(d & 1);
        f.transparent = uint8_t(d % 3 == 0);
        f.transparentIndex = uint8_t(d * 30);
        s.frames.push_back(f);
    }
    s.frames.push_back(
        {makeDib(40, 25, 4, pal4, [](int x, int y) { return pattern(x, y, 16); }), -5, -9});
    s.frames.push_back(
        {makeDib(33, 70, 1, pal1, [](int x, int y) { return pattern(x, y, 2); }), 2, 3, 0, 1});
    s.frames.push_back(
        {makeDib(20, 20, 8, pal8, [](int x, int y) { return pattern(y, x, 256); }), 0, 0, 1});
    s.frames.push_back({makeDib(9, 5, 8, palette(256, 9), [](int x, int) { return uint32_t(x); })});
    s.frames.push_back(
        {makeDib(5, 5, 4, palette(5, 4), [](int x, int y) { return uint32_t(x + y) % 5; })});
    s.comments = {"first", "", std::string(700, 'c') + "end", "two\r\nlines\r\n"};
    const auto path = (dir / "all.gif").string();
    ASSERT_EQ(gifwrite::save(path, s, 0, 0, 300, 5), 1);

    GifRead r(path);
    ASSERT_NE(r.gif, nullptr) << GifErrorString(r.error);
    ASSERT_EQ(r.gif->ImageCount, int(s.frames.size()));
    // Screen 0 x 0: the union of the frames' extents (frame 0's width,
    // frame 10's top + height).
    EXPECT_EQ(r.gif->SWidth, 61);
    EXPECT_EQ(r.gif->SHeight, 3 + 70);
    EXPECT_EQ(r.gif->SBackGroundColor, 255); // clamped into the table
    EXPECT_EQ(loopCount(r), 5);
    const bool local[] = {false, false, false, false, false, false, false,
                          false, false, true,  true,  true,  true,  true};
    for (size_t i = 0; i < s.frames.size(); ++i)
        expectFrame(r, int(i), s.frames[i], local[i]);
    // The empty comment is left out (giflib could not read the file otherwise).
    const std::vector<std::string> written = {s.comments[0], s.comments[2], s.comments[3]};
    const gifwrite::Blocks blocks = gifwrite::walkBlocks(testsupport::readFile(path));
    EXPECT_EQ(blocks.comments, written);
    // Code sizes follow the table in force, global or local (at least 2).
    EXPECT_EQ(blocks.codeSizes, (std::vector<int>{8, 8, 8, 8, 8, 8, 8, 8, 8, 4, 2, 8, 8, 3}));
    std::vector<std::string> seen; // and giflib sees the same texts, before image 0
    const SavedImage& first = r.gif->SavedImages[0];
    for (int b = 0; b < first.ExtensionBlockCount; ++b) {
        const ExtensionBlock& e = first.ExtensionBlocks[b];
        if (e.Function == COMMENT_EXT_FUNC_CODE) seen.emplace_back();
        if (e.Function == COMMENT_EXT_FUNC_CODE ||
            (e.Function == CONTINUE_EXT_FUNC_CODE && !seen.empty()))
            seen.back().append(reinterpret_cast<const char*>(e.Bytes), size_t(e.ByteCount));
    }
    EXPECT_EQ(seen, written);
}

TEST(AnimatedGifWrite, LoopExtensionOnlyWhenItSaysSomething) {
    const auto dir = testsupport::tempDir("gifloops");
    const struct {
        int frames, loops, expected;
    } rows[] = {{1, 1, -1}, {1, 0, 0},         {1, 5, 5}, {2, 1, 1},
                {2, 0, 0},  {2, 70000, 65535}, {2, -3, 0}};
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << row.frames << " frames, loops " << row.loops);
        SaveScript s;
        for (int i = 0; i < row.frames; ++i)
            s.frames.push_back(
                {makeDib(4, 4, 1, palette(2, 0), [](int x, int) { return uint32_t(x & 1); })});
        const auto path = (dir / "l.gif").string();
        ASSERT_EQ(gifwrite::save(path, s, 10, 12, 0, row.loops), 1);
        GifRead r(path);
        ASSERT_NE(r.gif, nullptr) << GifErrorString(r.error);
        EXPECT_EQ(loopCount(r), row.expected);
        EXPECT_EQ(gifwrite::walkBlocks(testsupport::readFile(path)).codeSizes,
                  std::vector<int>(size_t(row.frames), 2));
        EXPECT_EQ(r.gif->SWidth, 10);
        EXPECT_EQ(r.gif->SHeight, 12);
    }
}

TEST(AnimatedGifWrite, TrueColourFramesAreReducedFaithfully) {
    const auto dir = testsupport::tempDir("gif24");
    const uint64_t blocksBefore = GlobalBlockCount();
    SaveScript s;
    auto smooth = [](int x, int y) {
        return uint32_t(x * 2) << 16 | uint32_t(y * 2) << 8 | uint32_t((x + y) & 0xFF);
    };
    s.frames.push_back({makeDib(120, 100, 24, {}, smooth)});
    s.frames.push_back({makeDib(
        64, 48, 24, {}, [](int x, int y) { return (x / 8 + y / 8) % 2 ? 0xFF8000u : 0x0040C0u; })});
    const auto path = (dir / "tc.gif").string();
    ASSERT_EQ(gifwrite::save(path, s), 1);
    GifRead r(path);
    ASSERT_NE(r.gif, nullptr) << GifErrorString(r.error);
    ASSERT_EQ(r.gif->ImageCount, 2);
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE(i);
        const SavedImage& im = r.gif->SavedImages[i];
        ASSERT_NE(im.ImageDesc.ColorMap, nullptr); // a reduced frame carries its palette
        zp::GlobalLockGuard lock(s.frames[size_t(i)].dib);
        ic::DibView v;
        ASSERT_TRUE(ic::parseDib(lock.data(), 0, v));
        ASSERT_EQ(im.ImageDesc.Width * im.ImageDesc.Height, v.width * v.height);
        double total = 0;
        int worst = 0;
        for (int y = 0; y < v.height; ++y)
            for (int x = 0; x < v.width; ++x) {
                const GifColorType c =
                    im.ImageDesc.ColorMap->Colors[im.RasterBits[y * v.width + x]];
                const uint32_t want = v.rgb(x, y);
                const int e = std::abs(c.Red - int(want >> 16)) +
                              std::abs(c.Green - int((want >> 8) & 0xFF)) +
                              std::abs(c.Blue - int(want & 0xFF));
                total += e;
                worst = std::max(worst, e);
            }
        // A 2-colour picture must come back exactly; the gradient (about
        // 6000 colours onto 256) within a few levels per channel.
        EXPECT_LE(total / (v.width * v.height), i == 0 ? 12.0 : 0.0);
        EXPECT_LE(worst, i == 0 ? 96 : 0);
    }
    // Only the two DIBs made here are alive: the reduced copies were freed.
    EXPECT_EQ(GlobalBlockCount(), blocksBefore + 2);
}

} // namespace

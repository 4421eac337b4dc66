// an_rdgiffiledib against giflib on files giflib's encoder wrote: every
// record field, every index and colour.
#include "GifReadCollector.h"
#include "GifReadFixtures.h"
#include "TestSupport.h"
#include "libs/codec/CodecErrors.h"

#include <gtest/gtest.h>

using namespace gifread;

namespace {

struct Case {
    const char* name;
    GifSpec spec;
};

FrameSpec frame(int left, int top, int w, int h, int colours, int seed) {
    FrameSpec f;
    f.left = left;
    f.top = top;
    f.width = w;
    f.height = h;
    f.pixels = pixels(w, h, colours, seed);
    return f;
}

GifSpec everyDisposal() {
    GifSpec s{40, 30, palette(16, 1), 3, 0, 0, {}};
    for (int d = 0; d < 8; ++d) {
        FrameSpec f = frame(d, d * 2, 40 - d, 30 - d * 2, 16, d);
        f.control = true;
        f.disposal = d;
        f.transparent = d % 2 == 1;
        f.transparentIndex = d + 3;
        f.delay = d * 10 + 1;
        s.frames.push_back(f);
    }
    return s;
}

GifSpec interlacedHeights() {
    GifSpec s{64, 40, palette(256, 2), 255, 49, 3, {}};
    for (int h : {1, 2, 3, 4, 5, 7, 8, 9, 13, 37}) {
        FrameSpec f = frame(0, 0, 33, h, 256, h);
        f.interlaced = true;
        s.frames.push_back(f);
    }
    return s;
}

GifSpec localPalettes() {
    GifSpec s{30, 30, palette(256, 3), 7, 0, 1, {}};
    const int sizes[] = {2, 4, 8, 16, 32, 256};
    for (int i = 0; i < 6; ++i) {
        FrameSpec f = frame(i, i, 20, 20, sizes[i], i + 20);
        f.localPalette = palette(sizes[i], i + 9);
        s.frames.push_back(f);
    }
    return s;
}

GifSpec outsideScreen() {
    GifSpec s{20, 10, palette(4, 4), 1, 0, 0, {}};
    s.frames.push_back(frame(15, 5, 10, 10, 4, 1)); // overhangs right and bottom
    s.frames.push_back(frame(30, 40, 3, 3, 4, 2));  // wholly outside
    return s;
}

GifSpec commented() {
    GifSpec s{8, 8, palette(2, 5), 0, 0, 5, {}};
    FrameSpec a = frame(0, 0, 8, 8, 2, 1);
    a.commentsBefore = {"first", std::string("with\0nul", 8), std::string(600, 'x')};
    FrameSpec b = frame(0, 0, 8, 8, 2, 2);
    b.commentsBefore = {"second"};
    s.frames = {a, b};
    return s;
}

GifSpec single() {
    GifSpec s{5, 3, palette(2, 6), 1, 0, -1, {}};
    FrameSpec f = frame(0, 0, 5, 3, 2, 1);
    f.control = true;
    f.transparent = true;
    f.transparentIndex = 1;
    s.frames.push_back(f);
    return s;
}

GifSpec localOnly() {
    GifSpec s{9, 9, {}, 0, 0, 65535, {}};
    FrameSpec f = frame(1, 1, 7, 7, 8, 3);
    f.localPalette = palette(8, 1);
    s.frames.push_back(f);
    return s;
}

GifSpec largeImage() {
    GifSpec s{700, 500, palette(256, 8), 0, 0, -1, {}};
    s.frames.push_back(frame(0, 0, 700, 500, 256, 77));
    return s;
}

const Case kCases[] = {
    {"every_disposal", everyDisposal()}, {"interlaced", interlacedHeights()},
    {"local_palettes", localPalettes()}, {"outside_screen", outsideScreen()},
    {"comments", commented()},           {"single", single()},
    {"local_only", localOnly()},         {"large", largeImage()},
};

void PrintTo(const Case& c, std::ostream* os) {
    *os << c.name;
}

class GifReadDecode : public testing::TestWithParam<Case> {};

uint32_t toColourRef(const std::vector<uint8_t>& rgb, int i) {
    return RGB(rgb[size_t(i) * 3], rgb[size_t(i) * 3 + 1], rgb[size_t(i) * 3 + 2]);
}

TEST_P(GifReadDecode, MatchesGiflibAndTheRecords) {
    const GifSpec& spec = GetParam().spec;
    const std::vector<uint8_t> bytes = encode(spec);
    const Decoded ref = decodeWithGiflib(bytes);
    ASSERT_TRUE(ref.ok);
    const auto path = testsupport::tempDir("gifread") / "t.gif";
    testsupport::writeFile(path, bytes);

    for (const uint32_t mapColour : {0xFFFFFFFFu, uint32_t(RGB(1, 2, 3))}) {
        Collector c;
        ASSERT_EQ(readAnimated(path.string(), c, mapColour), PVE_OK);
        const auto images = c.images();
        ASSERT_EQ(images.size(), ref.frames.size());
        ASSERT_EQ(images.size(), spec.frames.size());
        const bool still = spec.frames.size() == 1 && spec.loops < 0;

        std::vector<std::string> expectedComments, comments;
        for (const FrameSpec& f : spec.frames)
            for (std::string t : f.commentsBefore) {
                for (char& ch : t)
                    if (ch == '\0') ch = ' ';
                expectedComments.push_back(t);
            }
        for (const Event& e : c.events)
            if (e.code == PV_CODE_COMMENT) comments.push_back(e.comment);
        EXPECT_EQ(comments, expectedComments);

        for (size_t i = 0; i < images.size(); ++i) {
            SCOPED_TRACE(i);
            const Event& e = *images[i];
            const FrameSpec& f = spec.frames[i];
            const DecodedFrame& r = ref.frames[i];
            EXPECT_EQ(e.code, still ? PV_CODE_SINGLE : PV_CODE_FRAME);
            EXPECT_EQ(e.loops, spec.loops < 0 ? 1 : spec.loops);
            ASSERT_TRUE(e.hasHeader && e.hasDescriptor);
            EXPECT_EQ(+e.header.ScreenWidth, spec.width);
            EXPECT_EQ(+e.header.ScreenHeight, spec.height);
            const int globalCount = int(spec.globalPalette.size() / 3);
            EXPECT_EQ(+e.header.Colors, globalCount == 256 ? 255 : globalCount);
            EXPECT_EQ(+e.header.Reserved, spec.aspect);
            EXPECT_EQ(+e.header.Background, spec.background < globalCount
                                                ? toColourRef(spec.globalPalette, spec.background)
                                                : 0u);
            EXPECT_EQ(+e.descriptor.Left, f.left);
            EXPECT_EQ(+e.descriptor.Top, f.top);
            EXPECT_EQ(+e.descriptor.Width, f.width);
            EXPECT_EQ(+e.descriptor.Height, f.height);
            EXPECT_EQ(+e.descriptor.Interlaced, f.interlaced ? 1 : 0);
            const int localCount = int(f.localPalette.size() / 3);
            EXPECT_EQ(+e.descriptor.LocalPalette, localCount ? 1 : 0);
            EXPECT_EQ(+e.descriptor.LocalColors, localCount == 256 ? 255 : localCount);
            ASSERT_EQ(e.hasControl, f.control);
            if (f.control) {
                EXPECT_EQ(+e.control.Disposal, f.disposal);
                EXPECT_EQ(+e.control.Transparent, f.transparent ? 1 : 0);
                EXPECT_EQ(+e.control.Delay, f.delay);
                EXPECT_EQ(+e.control.TransparentIndex, f.transparentIndex);
            }

            ASSERT_TRUE(e.dibValid);
            EXPECT_EQ(e.width, r.width);
            EXPECT_EQ(e.height, r.height);
            EXPECT_EQ(e.indices, r.pixels);
            EXPECT_EQ(e.indices, f.pixels);
            const int count = int(r.colours.size() / 3);
            EXPECT_EQ(e.bpp, count == 2 ? 1 : count <= 16 ? 4 : 8);
            EXPECT_EQ(e.clrUsed, uint32_t(count));
            ASSERT_EQ(e.colours.size(), size_t(count));
            for (int k = 0; k < count; ++k) {
                const RGBQUAD& q = e.colours[size_t(k)];
                uint32_t want = toColourRef(r.colours, k);
                if (f.transparent && k == f.transparentIndex && mapColour != 0xFFFFFFFF)
                    want = mapColour;
                EXPECT_EQ(RGB(q.rgbRed, q.rgbGreen, q.rgbBlue), want) << "entry " << k;
            }
        }

        // Progress: starts at 0, climbs to 100, never repeats a value.
        const std::vector<int16_t> progress = c.progress();
        ASSERT_FALSE(progress.empty());
        EXPECT_EQ(progress.front(), 0);
        EXPECT_EQ(progress.back(), 100);
        for (size_t i = 1; i < progress.size(); ++i)
            EXPECT_GT(progress[i], progress[i - 1]);
        for (const Event& e : c.events)
            if (e.code >= 0) {
                EXPECT_FALSE(e.hasHeader || e.hasDescriptor || e.hasControl);
            }
    }
}

INSTANTIATE_TEST_SUITE_P(Files, GifReadDecode, testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace

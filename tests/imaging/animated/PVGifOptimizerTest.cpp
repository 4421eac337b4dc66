// The optimiser through the model's save: every optimised file must show,
// as giflib decodes it and composes it here, the screens of the same records
// saved as they are (repeats folded), and the records must not change.
#include "AnimationFixtures.h"
#include "GiflibScreens.h"
#include "TestSupport.h"

#include "platform/GlobalBlock.h"

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <numeric>

namespace fs = std::filesystem;
using fixtures::frame;
using Build = std::function<void(TFrameList&)>;

namespace {

RGBQUAD tint(int i, int seed) {
    return RGBQUAD{uint8_t(i * 37 + seed), uint8_t(i * 11), uint8_t(255 - i * 5 - seed), 0};
}

TMyGifAnimation* add(TFrameList& list, TMyGifAnimation* r, int left, int top, int disposal,
                     int transparent, int delay) {
    r->ScreenWidth = 40;
    r->ScreenHeight = 30;
    r->Left = int16_t(left);
    r->Top = int16_t(top);
    r->Disposal = uint8_t(disposal);
    r->HasTransparency = transparent >= 0;
    r->TransparentIndex = uint8_t(std::max(transparent, 0));
    r->Delay = uint16_t(delay);
    r->Loops = 0;
    list.push_back(r);
    return r;
}

// Every disposal, transparency, 1/4/8-bit pictures with tables of their own,
// rectangles of odd sizes partly past the screen, and a repeated frame.
void mixed(TFrameList& l) {
    add(l,
        frame(
            40, 30, 8, [](int x, int y) { return uint8_t((x / 4 + y / 3) % 50); },
            [](int i) { return tint(i, 0); }),
        0, 0, 1, -1, 10);
    for (int i = 0; i < 9; ++i) {
        const int bits = i % 3 == 0 ? 4 : i % 3 == 1 ? 8 : 1;
        add(l,
            frame(
                7 + i, 5 + i % 4, bits,
                [i](int x, int y) { return uint8_t((x * (i + 1) + y) % (i % 3 == 2 ? 2 : 9)); },
                [i](int c) { return tint(c, i * 3); }),
            3 * i + 1, (5 * i) % 27, i % 4, i % 2 ? 2 : -1, 5 + i);
        if (i == 4)
            add(l,
                frame(
                    1, 1, 8, [](int, int) { return 0; }, [](int) { return RGBQUAD{}; }),
                0, 0, 1, 0, 7); // draws nothing: the same screen again
    }
}

// A sprite over nothing: each frame must clear what the one before drew.
void sprite(TFrameList& l) {
    for (int i = 0; i < 12; ++i)
        add(l,
            frame(
                9, 9, 8,
                [](int x, int y) {
                    return uint8_t((x - 4) * (x - 4) + (y - 4) * (y - 4) < 16 ? 1 + x % 3 : 0);
                },
                [](int c) { return tint(c, 90); }),
            2 * i, i, i % 3 == 0 ? 2 : 3, 0, 4);
}

// Full frames of 256 colours with a moving box (the last one twice): no
// table has a free entry, so transparency needs a colour the changed
// rectangle does not show.
void fullTable(TFrameList& l) {
    for (int i = 0; i < 9; ++i) {
        const int at = std::min(i, 7);
        add(l,
            frame(
                40, 30, 8,
                [at](int x, int y) {
                    const bool box = x >= 3 * at && x < 3 * at + 6 && y >= at && y < at + 6;
                    return uint8_t(box ? 7 : (x * 13 + y * 40) % 256);
                },
                [](int c) {
                    return RGBQUAD{uint8_t(c), uint8_t(c * 3), uint8_t(c * 7), 0};
                }),
            0, 0, 0, -1, i == 3 ? 0 : 6);
    }
}

// Two halves with different palettes of 200 colours: more than one table holds.
void manyColours(TFrameList& l) {
    for (int i = 0; i < 6; ++i)
        add(l,
            frame(
                20, 30, 8, [i](int x, int y) { return uint8_t((x * 10 + y + i) % 200); },
                [i](int c) { return tint(c, i < 3 ? 1 : 2); }),
            i % 2 * 20, 0, 1, -1, 3);
}

// The bytes of every record and its picture, to see that a save left them.
std::vector<uint8_t> snapshot(const TFrameList& frames) {
    std::vector<uint8_t> bytes;
    for (const TMyGifAnimation* r : frames) {
        const auto* p = reinterpret_cast<const uint8_t*>(&r->ScreenWidth);
        bytes.insert(bytes.end(), p, reinterpret_cast<const uint8_t*>(&r->DibHandle));
        zp::GlobalLockGuard lock(r->DibHandle);
        const auto* d = lock.as<uint8_t>();
        bytes.insert(bytes.end(), d, d + GlobalSize(r->DibHandle));
    }
    return bytes;
}

struct Case {
    const char* name;
    Build build;
};

class OptimizerTest : public ::testing::TestWithParam<Case> {};

TEST_P(OptimizerTest, ShowsTheSameScreensAndLeavesTheRecords) {
    const fs::path dir = testsupport::tempDir(std::string("optimizer-") + GetParam().name);
    PVAnimationModel model;
    GetParam().build(*model.Frames());
    const std::vector<uint8_t> before = snapshot(*model.Frames());
    model.SaveToFile((dir / "plain.gif").string());
    const auto expected =
        giflibscreens::folded(giflibscreens::compose((dir / "plain.gif").string()));
    ASSERT_EQ(expected.error, "");
    for (int level = 1; level <= 3; ++level) {
        SCOPED_TRACE("level " + std::to_string(level));
        const fs::path file = dir / ("O" + std::to_string(level) + ".gif");
        model.OptimizeLevel = level;
        model.SaveToFile(file.string());
        EXPECT_EQ(snapshot(*model.Frames()), before);
        const auto got = giflibscreens::compose(file.string());
        ASSERT_EQ(got.error, "");
        EXPECT_EQ(got.width, expected.width);
        ASSERT_EQ(got.frames.size(), expected.frames.size());
        for (size_t i = 0; i < got.frames.size(); ++i)
            EXPECT_TRUE(got.frames[i] == expected.frames[i]) << "screen " << i;
        EXPECT_EQ(got.delays, expected.delays);
        EXPECT_LE(fs::file_size(file), fs::file_size(dir / "plain.gif"));

        // Opened again in the program: the same total time.
        PVAnimationModel reopened;
        reopened.LoadFromFile(file.string());
        int total = 0;
        for (const TMyGifAnimation* r : *reopened.Frames())
            total += r->Delay;
        EXPECT_EQ(total, std::accumulate(expected.delays.begin(), expected.delays.end(), 0));
    }
}

INSTANTIATE_TEST_SUITE_P(Animations, OptimizerTest,
                         ::testing::Values(Case{"mixed", mixed}, Case{"sprite", sprite},
                                           Case{"fullTable", fullTable},
                                           Case{"manyColours", manyColours}),
                         [](const auto& info) { return std::string(info.param.name); });

// The corpus GIFs giflib reads whole, and gifsicle's -O3 output of one of
// our animations (frames already cut to what changes): optimised, they show
// the same screens.
TEST(OptimizerCorpus, RealFilesKeepTheirScreens) {
    const fs::path dir = testsupport::tempDir("optimizer-corpus");
    std::vector<fs::path> files;
    const fs::path corpus = testsupport::corpusDir();
    if (!corpus.empty())
        for (const auto& e : fs::recursive_directory_iterator(corpus))
            if (e.path().extension() == ".gif" && e.file_size() < 2'000'000)
                files.push_back(e.path());
    {
        PVAnimationModel ours;
        mixed(*ours.Frames());
        ours.SaveToFile((dir / "mixed.gif").string());
        const std::string gifsicle = "/usr/bin/gifsicle -O3 '" + (dir / "mixed.gif").string() +
                                     "' -o '" + (dir / "gifsicle.gif").string() + "'";
        ASSERT_EQ(std::system(gifsicle.c_str()), 0);
        files.push_back(dir / "gifsicle.gif");
    }
    int tried = 0;
    for (const fs::path& in : files) {
        const auto expected = giflibscreens::folded(giflibscreens::compose(in.string()));
        if (!expected.error.empty() || expected.frames.empty()) continue;
        PVAnimationModel model;
        try {
            model.LoadFromFile(in.string());
        } catch (const std::exception&) {
            continue; // what our reader refuses is not ours to optimise
        }
        model.FrameFromSingleImage();
        const fs::path out = dir / "out.gif";
        model.OptimizeLevel = 3;
        model.SaveToFile(out.string());
        const auto got = giflibscreens::compose(out.string());
        EXPECT_TRUE(got.frames == expected.frames) << in;
        // A lone picture loads without its delay, optimised or not.
        if (expected.frames.size() > 1) {
            EXPECT_EQ(got.delays, expected.delays) << in;
        }
        ++tried;
    }
    // Without the shared corpus only gifsicle's file is there to try.
    EXPECT_GE(tried, corpus.empty() ? 1 : 2);
}

} // namespace

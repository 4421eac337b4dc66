// zentrope-gif optimize and info --compare, run as a user runs them; the
// files are composed by giflib in the test (GiflibScreens.h).
#include "CliTestSupport.h"
#include "GiflibScreens.h"

#include <cmath>
#include <numeric>

using namespace clitest;

namespace {

// A still background with a moving block, a frame shown twice and frames
// of their own table, so every step of the optimiser has work.
Gif animation() {
    const auto background = [](int x, int y) { return uint8_t((x / 3 + y / 5) % 9); };
    Gif g{64, 48, 4, 0, 0, {"made by the test"}, {}};
    g.frames.push_back({0, 0, 64, 48, 10, 1, -1, false, false, background});
    for (int i = 0; i < 8; ++i) {
        const int at = std::min(i, 6) * 7;
        g.frames.push_back({0, 0, 64, 48, 5 + i, i % 2, -1, false, i == 3, [=](int x, int y) {
                                return x >= at && x < at + 9 && y >= 20 && y < 29
                                           ? uint8_t(12)
                                           : background(x, y);
                            }});
    }
    return g;
}

TEST(CliOptimize, SmallerFilesShowTheSameFrames) {
    const fs::path dir = testsupport::tempDir("cli-optimize");
    writeGif(dir / "in.gif", animation());
    const auto expected = giflibscreens::folded(giflibscreens::compose((dir / "in.gif").string()));
    ASSERT_EQ(expected.frames.size(), 8u); // frames 7 and 8 show the same
    std::vector<uintmax_t> sizes;
    for (const char* level : {"-O1", "-O2", "-O3", ""}) {
        SCOPED_TRACE(level);
        const fs::path out = dir / ("out" + std::string(level) + ".gif");
        const ToolRun run = runTool("optimize " + std::string(level) + " " +
                                    (dir / "in.gif").string() + " " + out.string());
        ASSERT_EQ(run.status, 0) << run.err;
        const auto got = giflibscreens::compose(out.string());
        EXPECT_TRUE(got.frames == expected.frames);
        EXPECT_EQ(got.delays, expected.delays);
        sizes.push_back(fs::file_size(out));
    }
    EXPECT_LT(sizes[0], fs::file_size(dir / "in.gif"));
    EXPECT_LE(sizes[2], std::min(sizes[0], sizes[1]));
    EXPECT_EQ(sizes[3], sizes[2]); // -O3 is the default

    // Lossy: no pixel further than N from its colour, transparency kept.
    const fs::path lossy = dir / "lossy.gif";
    ASSERT_EQ(
        runTool("optimize --lossy 60 " + (dir / "in.gif").string() + " " + lossy.string()).status,
        0);
    const auto near = giflibscreens::compose(lossy.string());
    ASSERT_EQ(near.frames.size(), expected.frames.size());
    double worst = 0;
    for (size_t f = 0; f < near.frames.size(); ++f)
        for (size_t p = 0; p < near.frames[f].size(); ++p) {
            const uint32_t a = near.frames[f][p], b = expected.frames[f][p];
            ASSERT_EQ(a >> 24, b >> 24);
            const auto d = [&](int shift) {
                return double(int(a >> shift & 255) - int(b >> shift & 255));
            };
            worst = std::max(worst, std::sqrt(d(16) * d(16) + d(8) * d(8) + d(0) * d(0)));
        }
    EXPECT_LE(worst, 60.0);
    EXPECT_LE(fs::file_size(lossy), sizes[2]);

    // A file already packed better than we pack it comes out as it went in.
    const std::string gifsicle = "/usr/bin/gifsicle -O3 " + (dir / "in.gif").string() + " -o " +
                                 (dir / "gifsicle.gif").string();
    ASSERT_EQ(std::system(gifsicle.c_str()), 0);
    ASSERT_EQ(
        runTool("optimize " + (dir / "gifsicle.gif").string() + " " + (dir / "again.gif").string())
            .status,
        0);
    EXPECT_LE(fs::file_size(dir / "again.gif"), fs::file_size(dir / "gifsicle.gif"));
    EXPECT_TRUE(giflibscreens::compose((dir / "again.gif").string()).frames == expected.frames);

    // info --compare: each frame's bytes side by side, and the totals.
    const ToolRun info = runTool("info --compare " + (dir / "out-O3.gif").string() + " " +
                                 (dir / "in.gif").string());
    ASSERT_EQ(info.status, 0) << info.err;
    const std::vector<long> before = lzwBytes(dir / "in.gif"), after = lzwBytes(dir / "out-O3.gif");
    EXPECT_NE(info.out.find("    8" + std::string(12 - std::to_string(before[8]).size(), ' ') +
                            std::to_string(before[8]) + "           -\n"),
              std::string::npos)
        << info.out;
    const std::string totals = std::to_string(std::accumulate(before.begin(), before.end(), 0L));
    const std::string totalsAfter = std::to_string(std::accumulate(after.begin(), after.end(), 0L));
    EXPECT_NE(info.out.find("total" + std::string(12 - totals.size(), ' ') + totals +
                            std::string(12 - totalsAfter.size(), ' ') + totalsAfter),
              std::string::npos)
        << info.out;

    for (const char* args :
         {"optimize a.gif", "optimize -O4 a.gif b.gif", "optimize --lossy 201 a.gif b.gif",
          "optimize --lossy a.gif b.gif", "info --compare"}) {
        const ToolRun run = runTool(args);
        EXPECT_EQ(run.status, 2) << args;
    }
}

} // namespace

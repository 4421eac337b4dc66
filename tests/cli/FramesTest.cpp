#include "CliTestSupport.h"
#include "MagickCoalesce.h"

#include <QImage>
#include <algorithm>

using namespace clitest;

namespace {

std::vector<std::string> listing(const fs::path& dir) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

// Sub-rectangles with each disposal and transparency, and a lone still
// picture, against ImageMagick's coalescing.
TEST(CliFrames, MatchImageMagickComposition) {
    const auto dots = [](int x, int y) { return uint8_t((x * 7 + y * 3) % 5); }; // 0 is transparent
    const auto full = [](int x, int y) { return uint8_t(1 + (x + y) % 6); };
    Gif anim{48, 36, 4, 2, 0, {}, {}}, still{30, 20, 8, 1, 1, {}, {}};
    anim.frames = {{4, 4, 30, 20, 5, 1, 0, false, false, dots},
                   {10, 8, 30, 24, 5, 3, 0, true, false, full},
                   {0, 0, 20, 36, 5, 2, 3, false, true, dots},
                   {20, 10, 28, 26, 5, 0, 0, false, false, dots},
                   {0, 0, 48, 36, 5, 1, -1, false, false, full}};
    still.frames = {{3, 2, 21, 13, 0, 0, 0, true, false, dots}};
    const fs::path dir = testsupport::tempDir("cli-frames");
    for (const Gif* g : {&anim, &still}) {
        SCOPED_TRACE(g == &anim ? "animation" : "still");
        const fs::path file = dir / "in.gif", ours = dir / "new" / "ours", peer = dir / "magick";
        fs::remove_all(dir / "new"), fs::remove_all(peer), fs::create_directories(peer);
        writeGif(file, *g);
        const ToolRun run = runTool("frames " + file.string() + " " + ours.string());
        ASSERT_EQ(run.status, 0) << run.err;
        const auto reference = magick::coalesce(file, peer);
        const RGBQUAD b = colour(g->background);
        const uint32_t background = qRgb(b.rgbRed, b.rgbGreen, b.rgbBlue);
        const std::vector<std::string> names = listing(ours);
        ASSERT_EQ(names.size(), g->frames.size());
        ASSERT_EQ(reference.size(), g->frames.size());
        for (size_t i = 0; i < names.size(); ++i) {
            EXPECT_EQ(names[i], "frame-000" + std::to_string(i) + ".png");
            const QImage a = QImage(QString::fromStdString((ours / names[i]).string()))
                                 .convertToFormat(QImage::Format_ARGB32);
            ASSERT_EQ(a.size(), QSize(g->width, g->height));
            const auto* pixels = reinterpret_cast<const uint32_t*>(a.constBits());
            EXPECT_EQ(magick::difference(pixels, a.width(), a.height(), reference[i], &background),
                      "")
                << "frame " << i;
            // Only the animation's last frame, full and opaque, covers the screen.
            const bool transparent = std::any_of(pixels, pixels + a.width() * a.height(),
                                                 [](uint32_t p) { return p >> 24 != 255; });
            EXPECT_EQ(transparent, g == &still || i < 4) << "frame " << i;
        }
    }
}

// Files the codec refuses: the text the program's model reports, a failing
// status, and the folder keeps only what it held. Wrong arguments exit 2.
TEST(CliFrames, RefusedFilesWriteNothing) {
    const fs::path dir = testsupport::tempDir("cli-refused");
    const auto any = [](int x, int y) { return uint8_t(x * y % 16); };
    Gif good{32, 32, 4, 0, 0, {}, {}};
    good.frames.assign(2, {0, 0, 32, 32, 5, 1, -1, false, false, any});
    writeGif(dir / "good.gif", good);
    auto bytes = testsupport::readFile(dir / "good.gif");
    bytes.resize(bytes.size() - 40); // inside the last image's data
    testsupport::writeFile(dir / "truncated.gif", bytes);
    testsupport::writeFile(dir / "garbage.gif", std::vector<unsigned char>(200, 'x'));
    for (const char* name : {"truncated.gif", "garbage.gif", "missing.gif"}) {
        SCOPED_TRACE(name);
        const std::string file = (dir / name).string(), out = file + ".out";
        // Without a handler the model throws the codec's text.
        std::string expected = "(no error)";
        try {
            PVAnimationModel().LoadFromFile(file);
        } catch (const std::exception& e) {
            expected = e.what();
        }
        fs::create_directories(out);
        testsupport::writeFile(out + "/keep.txt", {'k'});
        for (const ToolRun& run :
             {runTool("frames " + file + " " + out), runTool("info " + file)}) {
            EXPECT_EQ(run.status, 1);
            EXPECT_NE(run.err.find(expected), std::string::npos) << run.err;
            EXPECT_EQ(run.out, "");
        }
        EXPECT_EQ(listing(out), std::vector<std::string>{"keep.txt"});
    }
    for (const char* args : {"", "bogus", "info", "info a.gif b.gif", "info --xml a.gif",
                             "frames a.gif", "frames --json a.gif d"}) {
        const ToolRun run = runTool(args);
        EXPECT_EQ(run.status, 2) << args;
        EXPECT_NE(run.err.find("Usage: zentrope-gif"), std::string::npos) << args;
    }
    EXPECT_NE(runTool("--help").out.find("Usage: zentrope-gif"), std::string::npos);
}

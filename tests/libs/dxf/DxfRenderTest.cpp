// Drawings written by ezdxf, rendered by the module and checked
// geometrically: where the black pixels must lie, and the bitmap's size.
#include "DxfTestSupport.h"
#include "bindings/CodecBinding.h"
#include "platform/TBitmap.h"

#include <cmath>
#include <cstdlib>
#include <functional>
#include <unistd.h>

namespace {

using namespace dxftest;
namespace fs = std::filesystem;

#define NEED_EZDXF()                                                                               \
    if (!haveEzdxf()) GTEST_SKIP() << "python3-ezdxf is not installed"

// Every drawing of this file, written by one Python run.
const std::vector<std::pair<std::string, std::string>> kDrawings = {
    {"frame", "for a, b in [((0,0),(200,0)), ((200,0),(200,100)), ((200,100),(0,100)),"
              " ((0,100),(0,0)), ((0,50),(200,50))]:\n    msp.add_line(a, b)"},
    {"circle", "msp.add_circle((50, 50), 40)"},
    {"arc", "msp.add_arc((0, 0), 10, 0, 90)\nmsp.add_point((-10, -10))"},
    {"bulge", "msp.add_lwpolyline([(0, 0, 0, 0, 1), (10, 0, 0, 0, 0)], format='xyseb')"},
    {"poly", "msp.add_polyline2d([(0, 0), (30, 0), (30, 10), (0, 10)], close=True)"},
    {"text", "msp.add_text('AB C', dxfattribs={'height': 10, 'insert': (0, 0)})\n"
             "msp.add_line((0, -10), (40, -10))"},
    {"mtext", "msp.add_mtext('AB\\\\PCD', dxfattribs={'char_height': 10, 'insert': (0, 0)})"},
    {"block",
     "b = doc.blocks.new(name='B')\nb.add_line((0, 0), (10, 0))\n"
     "msp.add_blockref('B', (0, 0), dxfattribs={'xscale': 2, 'yscale': 2, 'rotation': 90})\n"
     "msp.add_line((-20, 0), (0, 0))"},
    {"extents", "msp.add_line((0, 0), (100, 0))"},
    {"depth", "msp.add_circle((0, 0), 5)\nmsp.add_line((-5, -5), (5, 5))"},
};

// The folder with the drawings, or empty when ezdxf failed. ctest runs each
// test in its own process: the drawings are kept in the test home, keyed by
// their scripts, so Python runs once per change of this table.
const fs::path& drawings() {
    static const fs::path dir = [] {
        std::string all;
        for (const auto& [name, body] : kDrawings)
            all += name + body;
        const char* home = std::getenv("ZENTROPE_HOME");
        const fs::path cache = fs::path(home ? home : "/tmp") /
                               ("dxf-drawings-" + std::to_string(std::hash<std::string>{}(all)));
        if (fs::exists(cache / "done")) return cache;
        const fs::path d = testsupport::tempDir("dxfdrawings");
        if (!ezdxfBatch(d, kDrawings)) return fs::path();
        // Published whole by one rename, so tests running in parallel never
        // see half a cache; a process that loses the race uses its own copy.
        std::error_code ec;
        fs::create_directories(cache.parent_path(), ec);
        const fs::path staging = cache.string() + "." + std::to_string(::getpid());
        fs::copy(d, staging, fs::copy_options::recursive, ec);
        if (!ec) writeText(staging / "done", "");
        if (!ec) fs::rename(staging, cache, ec);
        if (ec) fs::remove_all(staging, ec);
        return fs::exists(cache / "done") ? cache : d;
    }();
    return dir;
}

fs::path drawingFile(const std::string& name) {
    if (drawings().empty()) {
        ADD_FAILURE() << "ezdxf could not write the drawings";
        return {};
    }
    return drawings() / (name + ".dxf");
}

Picture drawn(const std::string& name) {
    Picture p = render(drawingFile(name));
    EXPECT_EQ(p.rc, 1) << errorText(p.rc);
    return p;
}

// The scale of a drawing whose longer side spans `span` units.
double scaleFor(double span) {
    return 1015.0 / span;
}

TEST(DxfRender, FrameAndMiddleLine) {
    NEED_EZDXF();
    const fs::path file = drawingFile("frame");
    const Picture p = render(file);
    ASSERT_EQ(p.rc, 1) << errorText(p.rc);
    // Aspect 2:1, longer side 1024 with a margin of 4.
    EXPECT_EQ(p.width, 1024);
    EXPECT_EQ(p.height, 9 + int(std::lround(100 * scaleFor(200))));
    int32_t w = 0, h = 0;
    int16_t bits = 0;
    ASSERT_TRUE(DLL96V1::getdxfinfo(file.string(), w, h, bits)) << DLL96V1::CodecLastErrorText;
    EXPECT_EQ(w, p.width);
    EXPECT_EQ(h, p.height);
    EXPECT_EQ(bits, 1);

    const int middle = int(std::lround(4 + 50 * scaleFor(200)));
    for (int x = 4; x <= 1019; ++x)
        ASSERT_TRUE(p.at(x, middle)) << x;
    for (int y = 0; y < p.height; ++y) {
        if (y == 4 || y == p.height - 5 || y == middle) continue;
        EXPECT_EQ(p.countRow(y), (y < 4 || y > p.height - 5) ? 0 : 2) << y;
        if (y > 4 && y < p.height - 5) {
            EXPECT_TRUE(p.at(4, y) && p.at(1019, y)) << y;
        }
    }
}

TEST(DxfRender, CirclePixelsLieOnTheRadius) {
    NEED_EZDXF();
    const Picture p = drawn("circle");
    ASSERT_EQ(p.width, 1024);
    ASSERT_EQ(p.height, 1024);
    const double centre = 4 + 40 * scaleFor(80), radius = 40 * scaleFor(80);
    int count = 0;
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x)
            if (p.at(x, y)) {
                ++count;
                ASSERT_NEAR(std::hypot(x - centre, y - centre), radius, 1.5) << x << "," << y;
            }
    // An 8-connected digital circle has about 4 sqrt(2) r pixels.
    EXPECT_GT(count, int(4 * M_SQRT2 * radius * 0.95));
}

TEST(DxfRender, ArcStaysInItsQuadrant) {
    NEED_EZDXF();
    const Picture p = drawn("arc");
    ASSERT_EQ(p.width, 1024);
    ASSERT_EQ(p.height, 1024);
    const double c = 4 + 10 * scaleFor(20), r = 10 * scaleFor(20);
    EXPECT_TRUE(p.at(4, 1019)); // the point
    int count = 0;
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x)
            if (p.at(x, y) && !(x == 4 && y == 1019)) {
                ++count;
                ASSERT_GE(x, c - 1);
                ASSERT_LE(y, c + 1); // above the centre: y grows downwards
                ASSERT_NEAR(std::hypot(x - c, y - c), r, 1.5);
            }
    EXPECT_GT(count, int(M_SQRT2 * r * 0.95));
}

TEST(DxfRender, BulgedPolylineIsAHalfCircleBelow) {
    NEED_EZDXF();
    const Picture p = drawn("bulge");
    const double s = scaleFor(10);
    ASSERT_EQ(p.width, 1024);
    ASSERT_EQ(p.height, 9 + int(std::lround(5 * s)));
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x)
            if (p.at(x, y)) {
                ASSERT_NEAR(std::hypot(x - (4 + 5 * s), y - 4), 5 * s, 1.5);
            }
    EXPECT_TRUE(p.at(int(std::lround(4 + 5 * s)), p.height - 5)); // the lowest point
}

TEST(DxfRender, ClosedOldStylePolyline) {
    NEED_EZDXF();
    const Picture p = drawn("poly");
    ASSERT_EQ(p.width, 1024);
    ASSERT_EQ(p.height, 9 + int(std::lround(10 * scaleFor(30))));
    EXPECT_EQ(p.countRow(4), 1016);
    EXPECT_EQ(p.countRow(p.height - 5), 1016);
    EXPECT_EQ(p.countRow(p.height / 2), 2); // the closing edge is there
}

TEST(DxfRender, TextAsOneBoxPerCharacter) {
    NEED_EZDXF();
    const Picture p = drawn("text");
    const double s = scaleFor(40);
    ASSERT_EQ(p.width, 1024);
    const int row = int(std::lround(4 + (10 - 5) * s)); // half way up the text
    // Two sides of each of the boxes for A, B and C; nothing in the space.
    EXPECT_EQ(p.countRow(row), 6);
    for (double wx = 16; wx < 24; wx += 0.5)
        EXPECT_FALSE(p.at(int(std::lround(4 + wx * s)), row));
}

TEST(DxfRender, MTextLinesStackDownwards) {
    NEED_EZDXF();
    const Picture p = drawn("mtext");
    // Rows with ink form two bands (one per line) with white between.
    int bands = 0;
    bool inBand = false;
    for (int y = 0; y < p.height; ++y) {
        const bool ink = p.countRow(y) > 0;
        if (ink && !inBand) ++bands;
        inBand = ink;
    }
    EXPECT_EQ(bands, 2);
    EXPECT_GT(p.height, p.width); // 15 wide, about 27 tall
}

TEST(DxfRender, BlockInsertScaledAndRotated) {
    NEED_EZDXF();
    const Picture p = drawn("block");
    ASSERT_EQ(p.width, 1024);
    ASSERT_EQ(p.height, 1024);
    int total = 0;
    for (int y = 0; y < p.height; ++y)
        total += p.countRow(y);
    for (int y = 4; y <= 1019; ++y)
        ASSERT_TRUE(p.at(1019, y)) << y; // the inserted line
    for (int x = 4; x <= 1019; ++x)
        ASSERT_TRUE(p.at(x, 1019)) << x; // the reference
    EXPECT_EQ(total, 2 * 1016 - 1);
}

TEST(DxfRender, HeaderExtentsFrameTheDrawing) {
    NEED_EZDXF();
    const fs::path file = testsupport::tempDir("dxfextents") / "extents.dxf";
    fs::copy_file(drawingFile("extents"), file);
    // ezdxf resets the extents when saving: set them in the text.
    const std::vector<unsigned char> bytes = testsupport::readFile(file);
    std::string text(bytes.begin(), bytes.end());
    for (const auto& [from, to] :
         {std::pair<std::string, std::string>{"$EXTMIN\n 10\n1e+20\n 20\n1e+20",
                                              "$EXTMIN\n 10\n0\n 20\n0"},
          {"$EXTMAX\n 10\n-1e+20\n 20\n-1e+20", "$EXTMAX\n 10\n200\n 20\n100"}}) {
        const size_t at = text.find(from);
        ASSERT_NE(at, std::string::npos) << from;
        text.replace(at, from.size(), to);
    }
    writeText(file, text);
    const Picture p = render(file);
    ASSERT_EQ(p.width, 1024);
    ASSERT_EQ(p.height, 9 + int(std::lround(100 * scaleFor(200))));
    const int bottom = p.height - 5;
    EXPECT_TRUE(p.at(4, bottom));
    EXPECT_TRUE(p.at(500, bottom));
    EXPECT_FALSE(p.at(530, bottom));
    EXPECT_EQ(p.countRow(bottom), int(std::lround(100 * scaleFor(200))) + 1);
}

TEST(DxfRender, DepthsAskedForKeepThePicture) {
    NEED_EZDXF();
    const fs::path file = drawingFile("depth");
    const Picture base = render(file, 0);
    ASSERT_EQ(base.rc, 1);
    for (int32_t bits : {1, 4, 8, 24}) {
        const Picture p = render(file, bits);
        ASSERT_EQ(p.rc, 1) << bits;
        EXPECT_EQ(p.black, base.black) << bits;
    }
    zp::TBitmap bitmap;
    ASSERT_TRUE(DLL96V1::readdxftoddb(file.string(), 8, true, bitmap, nullptr, nullptr));
    EXPECT_EQ(bitmap.width(), base.width);
    EXPECT_EQ(render(file, 16).rc, -14);
}

} // namespace

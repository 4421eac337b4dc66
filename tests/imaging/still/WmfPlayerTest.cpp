// Metafiles built by the test writer, played into images, pixels checked.
#include "WmfWriter.h"
#include "imaging/still/WmfPicture.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

using namespace wmftest;

namespace {

QImage render(const std::vector<uint8_t>& bytes, QSize size = {100, 100}, QRect target = {}) {
    guiApp();
    WmfPicture pic;
    std::string error;
    EXPECT_TRUE(pic.LoadFromBytes(bytes, error)) << error;
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    pic.Draw(painter, target.isEmpty() ? QRect(QPoint(0, 0), size) : target);
    return image;
}

QRgb at(const QImage& image, int x, int y) {
    return image.pixel(x, y) & 0xFFFFFF;
}

const QRgb kWhite = 0xFFFFFF, kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF;

WmfWriter canvas(int w = 100, int h = 100) {
    WmfWriter m;
    m.windowOrg(0, 0).windowExt(w, h);
    return m;
}

} // namespace

TEST(WmfPlayer, FilledShapesAndLines) {
    // Rectangle: inside filled, outside untouched, with a null pen.
    auto rect = canvas().pen(5, 0, 0).brush(0, rgb(255, 0, 0)).select(0).select(1);
    const QImage r = render(rect.rectangle(20, 20, 80, 80).bytes());
    EXPECT_EQ(at(r, 50, 50), kRed);
    EXPECT_EQ(at(r, 22, 78), kRed);
    EXPECT_EQ(at(r, 10, 10), kWhite);
    EXPECT_EQ(at(r, 90, 90), kWhite);

    // A cosmetic pen line along one row.
    auto line = canvas().pen(0, 0, rgb(0, 0, 255)).select(0).moveTo(0, 50).lineTo(100, 50);
    const QImage l = render(line.bytes());
    EXPECT_EQ(at(l, 50, 50), kBlue);
    EXPECT_EQ(at(l, 10, 50), kBlue);
    EXPECT_EQ(at(l, 50, 46), kWhite);
    EXPECT_EQ(at(l, 50, 54), kWhite);

    // Ellipse: centre filled, bounding-box corners not.
    auto ell = canvas().pen(5, 0, 0).brush(0, rgb(0, 255, 0)).select(0).select(1);
    const QImage e = render(ell.ellipse(0, 0, 100, 100).bytes());
    EXPECT_EQ(at(e, 50, 50), kGreen);
    for (auto [x, y] : {std::pair{2, 2}, {97, 2}, {2, 97}, {97, 97}})
        EXPECT_EQ(at(e, x, y), kWhite) << x << "," << y;
}

TEST(WmfPlayer, PieFillsTheCounterClockwiseSector) {
    // From 3 o'clock counter-clockwise to 12 o'clock: the upper right quarter.
    auto m = canvas().pen(5, 0, 0).brush(0, rgb(255, 0, 0)).select(0).select(1);
    m.record(0x081A, {0, 50, 50, 100, 100, 100, 0, 0});
    const QImage img = render(m.bytes());
    EXPECT_EQ(at(img, 70, 30), kRed);
    EXPECT_EQ(at(img, 30, 30), kWhite);
    EXPECT_EQ(at(img, 30, 70), kWhite);
    EXPECT_EQ(at(img, 70, 70), kWhite);
}

TEST(WmfPlayer, PolyPolygonFollowsTheFillMode) {
    struct Row {
        int mode;
        QRgb centre;
    } rows[] = {{1, kWhite}, {2, kRed}}; // alternate leaves the hole, winding fills it
    for (const Row& row : rows) {
        auto m = canvas().pen(5, 0, 0).brush(0, rgb(255, 0, 0)).select(0).select(1);
        m.record(0x0106, {row.mode});
        m.record(0x0538, {2, 4, 4, 0, 0, 100, 0, 100, 100, 0, 100, 25, 25, 75, 25, 75, 75, 25, 75});
        const QImage img = render(m.bytes());
        EXPECT_EQ(at(img, 50, 50), row.centre) << "mode " << row.mode;
        EXPECT_EQ(at(img, 10, 50), kRed) << "mode " << row.mode;
    }
}

TEST(WmfPlayer, TextIsDrawnInsideItsBox) {
    auto m = canvas(200, 100).font(-40, "DejaVu Sans").select(0);
    m.record(0x0102, {1}).record(0x0209, {0, 0}).textOut(10, 10, "HELLO");
    const QImage img = render(m.bytes(), {200, 100});
    int inside = 0, outside = 0;
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 200; ++x)
            if (at(img, x, y) != kWhite) (x >= 10 && y >= 10 && y < 60 ? inside : outside)++;
    EXPECT_GT(inside, 50);
    EXPECT_EQ(outside, 0);
}

TEST(WmfPlayer, StretchDibPlacesEveryDepth) {
    // Top row red, green; bottom row blue, white. One bit holds two colours.
    const std::vector<uint32_t> four{0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF};
    const std::vector<uint32_t> two{0xFF0000, 0x0000FF, 0x0000FF, 0xFF0000};
    for (int bits : {1, 4, 8, 24, 32}) {
        const auto& px = bits == 1 ? two : four;
        auto m = canvas().stretchDib(0, 0, 100, 100, 0, 0, 2, 2, makeDib(2, 2, bits, px));
        const QImage img = render(m.bytes());
        EXPECT_EQ(at(img, 25, 25), px[0]) << bits;
        EXPECT_EQ(at(img, 75, 25), px[1]) << bits;
        EXPECT_EQ(at(img, 25, 75), px[2]) << bits;
        EXPECT_EQ(at(img, 75, 75), px[3]) << bits;
    }
    // A bottom-up DIB's source rows count from its bottom: (0,0,1,1) is blue.
    auto m = canvas().stretchDib(0, 0, 100, 100, 0, 0, 1, 1, makeDib(2, 2, 24, four));
    EXPECT_EQ(at(render(m.bytes()), 50, 50), kBlue);
}

TEST(WmfPlayer, NaturalSize) {
    struct Row {
        WmfWriter writer;
        int width, height;
    } rows[] = {
        {WmfWriter().placeable(0, 0, 1440, 720, 1440).windowExt(1440, 720), 96, 48},
        {WmfWriter().placeable(100, 100, 2640, 1370, 2540), 96, 48},
        {WmfWriter().placeable(0, 0, 32767, 32767, 1), 16384, 16384}, // clamped
        {canvas(300, 200), 300, 200},
        {WmfWriter().windowOrg(5, 5).windowExt(-40, 30), 40, 30},
    };
    for (const Row& row : rows) {
        WmfPicture pic;
        std::string error;
        ASSERT_TRUE(pic.LoadFromBytes(row.writer.bytes(), error)) << error;
        EXPECT_EQ(pic.Width(), row.width);
        EXPECT_EQ(pic.Height(), row.height);
    }
    WmfPicture none;
    std::string error;
    EXPECT_FALSE(none.LoadFromBytes(WmfWriter().rectangle(0, 0, 5, 5).bytes(), error));
    EXPECT_EQ(error, "The metafile gives no picture size");
    EXPECT_TRUE(none.Empty());
}

TEST(WmfPlayer, WindowMapsOntoTheTarget) {
    auto red = [](WmfWriter m) {
        return m.pen(5, 0, 0).brush(0, rgb(255, 0, 0)).select(0).select(1);
    };
    // Window origin and extent: logical 100..150 is the upper-left quarter.
    auto a = red(WmfWriter().windowOrg(100, 100).windowExt(200, 200)).rectangle(100, 100, 200, 200);
    const QImage ia = render(a.bytes());
    EXPECT_EQ(at(ia, 25, 25), kRed);
    EXPECT_EQ(at(ia, 75, 75), kWhite);
    // A negative extent flips the axis: y grows upward from the bottom.
    auto b = red(WmfWriter().windowOrg(0, 100).windowExt(100, -100)).rectangle(0, 0, 50, 50);
    const QImage ib = render(b.bytes());
    EXPECT_EQ(at(ib, 25, 75), kRed);
    EXPECT_EQ(at(ib, 25, 25), kWhite);
    // The placeable box is the window when no record sets one, and the
    // target rectangle may sit anywhere in the image.
    auto c = red(WmfWriter().placeable(0, 0, 1000, 1000, 1440)).rectangle(0, 0, 500, 500);
    const QImage ic = render(c.bytes(), {200, 200}, QRect(100, 100, 100, 100));
    EXPECT_EQ(at(ic, 125, 125), kRed);
    EXPECT_EQ(at(ic, 175, 175), kWhite);
    EXPECT_EQ(at(ic, 50, 50), kWhite);
}

TEST(WmfPlayer, ObjectTableAndSavedStates) {
    // Deleting slot 0 frees it; the next object created takes it.
    auto m = canvas().brush(0, rgb(255, 0, 0)).brush(0, rgb(0, 0, 255)).remove(0);
    m.brush(0, rgb(0, 255, 0)).pen(5, 0, 0).select(2);
    m.select(0).rectangle(0, 0, 50, 100).select(1).rectangle(50, 0, 100, 100);
    const QImage img = render(m.bytes());
    EXPECT_EQ(at(img, 25, 50), kGreen);
    EXPECT_EQ(at(img, 75, 50), kBlue);

    // SaveDC / RestoreDC bring back the brush selected before.
    auto s = canvas().brush(0, rgb(255, 0, 0)).brush(0, rgb(0, 0, 255)).pen(5, 0, 0).select(2);
    s.select(0).record(0x001E, {}).select(1).record(0x0127, {-1}).rectangle(0, 0, 100, 100);
    EXPECT_EQ(at(render(s.bytes()), 50, 50), kRed);

    // A selected object stays in use after it is deleted.
    auto d = canvas().brush(0, rgb(0, 0, 255)).pen(5, 0, 0).select(0).select(1).remove(0);
    EXPECT_EQ(at(render(d.rectangle(0, 0, 100, 100).bytes()), 50, 50), kBlue);
}

TEST(WmfPlayer, ClipBlitAndMixRecords) {
    const QRgb kBlack = 0x000000;
    auto red = [] { return canvas().pen(5, 0, 0).brush(0, rgb(255, 0, 0)).select(0).select(1); };
    const auto dib = makeDib(2, 2, 24, {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF});
    std::vector<uint8_t> bitBlt;
    for (int w : {0x0020, 0x00CC, 0, 0, 1, 1, 0, 0}) // top-left source pixel onto 0,0 1x1
        WmfWriter::put16(bitBlt, uint16_t(w));
    bitBlt.insert(bitBlt.end(), dib.begin(), dib.end());
    struct Row {
        const char* what;
        WmfWriter writer;
        QPoint a, b; // a takes colour ca, b colour cb
        QRgb ca, cb;
    } rows[] = {
        {"intersect clip",
         red().record(0x0416, {100, 50, 0, 0}).rectangle(0, 0, 100, 100),
         {25, 50},
         {75, 50},
         kRed,
         kWhite},
        {"exclude clip",
         red().record(0x0415, {100, 50, 0, 0}).rectangle(0, 0, 100, 100),
         {25, 50},
         {75, 50},
         kWhite,
         kRed},
        {"clip undone by RestoreDC",
         red()
             .record(0x001E, {})
             .record(0x0416, {100, 50, 0, 0})
             .record(0x0127, {1})
             .rectangle(0, 0, 100, 100),
         {25, 50},
         {75, 50},
         kRed,
         kRed},
        {"PatBlt with the brush",
         red().record(0x061D, {0x0021, 0x00F0, 50, 50, 0, 0}),
         {25, 25},
         {75, 75},
         kRed,
         kWhite},
        {"R2_NOT inverts",
         red().record(0x0104, {6}).rectangle(0, 0, 50, 50),
         {25, 25},
         {75, 75},
         kBlack,
         kWhite},
        {"ExtTextOut opaque box",
         canvas().record(0x0201, {0xFF00, 0}).record(0x0A32, {0, 0, 0, 2, 10, 10, 90, 90}),
         {50, 50},
         {5, 5},
         kGreen,
         kWhite},
        {"DIBBITBLT counts source rows from the top",
         canvas().windowExt(2, 2).raw(0x0940, bitBlt),
         {25, 25},
         {75, 75},
         kRed,
         kWhite},
        {"RoundRect keeps its corners",
         red().record(0x061C, {60, 60, 100, 100, 0, 0}),
         {50, 50},
         {1, 1},
         kRed,
         kWhite},
    };
    for (const Row& row : rows) {
        const QImage img = render(row.writer.bytes());
        EXPECT_EQ(at(img, row.a.x(), row.a.y()), row.ca) << row.what;
        EXPECT_EQ(at(img, row.b.x(), row.b.y()), row.cb) << row.what;
    }
}

TEST(WmfPlayer, TextAlignmentPlacesTheRun) {
    struct Row {
        int align, x, y;
        QRect where; // every text pixel falls inside
    } rows[] = {
        {0, 100, 20, {100, 20, 100, 80}},  // left, top
        {2, 100, 20, {0, 20, 100, 80}},    // right
        {6, 100, 20, {40, 20, 120, 80}},   // centre
        {8, 100, 90, {100, 30, 100, 60}},  // bottom
        {24, 100, 80, {100, 30, 100, 60}}, // baseline
    };
    for (const Row& row : rows) {
        auto m = canvas(200, 100).font(-40, "DejaVu Sans").select(0).record(0x0102, {1});
        m.record(0x012E, {row.align}).textOut(row.x, row.y, "HOH");
        const QImage img = render(m.bytes(), {200, 100});
        int inside = 0, outside = 0;
        for (int y = 0; y < 100; ++y)
            for (int x = 0; x < 200; ++x)
                if (at(img, x, y) != kWhite) (row.where.contains(x, y) ? inside : outside)++;
        EXPECT_GT(inside, 50) << "align " << row.align;
        EXPECT_EQ(outside, 0) << "align " << row.align;
    }
}

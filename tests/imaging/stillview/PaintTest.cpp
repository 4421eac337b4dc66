// Where the picture lands in each display mode, what fills the rest, the
// stretch modes of 1-bit pictures, and the scroll bars.
#include "StillViewSupport.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

using namespace stillview;

namespace {

struct Probe {
    QPoint at;
    QRgb want;
};

struct LayoutCase {
    const char* name;
    QSize image;
    bool scrolling, center, stretch, ratio, tile;
    double zoom;
    QPoint origin;
    QRect area; // OnPaintArea's left, top, width, height (unchecked when empty)
    std::vector<Probe> probes;
};

TEST(StillViewPaint, PictureLandsWhereEachModePutsIt) {
    const QRgb C = BackPixel();
    // The control is 100 x 80 throughout; bars are 12 wide.
    const LayoutCase cases[] = {
        {"natural",
         {40, 30},
         false,
         false,
         false,
         false,
         false,
         1,
         {},
         {0, 0, 40, 30},
         {{{5, 7}, Source(5, 7)}, {{39, 29}, Source(39, 29)}, {{40, 0}, C}, {{0, 30}, C}}},
        {"natural centred",
         {40, 30},
         false,
         true,
         false,
         false,
         false,
         1,
         {},
         {30, 25, 40, 30},
         {{{30, 25}, Source(0, 0)}, {{69, 54}, Source(39, 29)}, {{29, 25}, C}, {{30, 24}, C}}},
        {"stretch",
         {40, 30},
         true,
         false,
         true,
         false,
         false,
         1,
         {},
         {0, 0, 100, 80},
         {{{0, 0}, Source(0, 0)}, {{50, 40}, Source(20, 15)}, {{99, 79}, Source(39, 29)}}},
        {"ratio",
         {40, 30},
         true,
         false,
         false,
         true,
         false,
         1,
         {},
         {0, 0, 100, 75},
         {{{99, 74}, Source(39, 29)}, {{0, 75}, C}, {{50, 37}, Source(20, 15)}}},
        {"ratio centred",
         {40, 30},
         true,
         true,
         false,
         true,
         false,
         1,
         {},
         {0, 2, 100, 75},
         {{{0, 1}, C}, {{0, 2}, Source(0, 0)}, {{99, 76}, Source(39, 29)}, {{0, 77}, C}}},
        {"scrolling, fits",
         {40, 30},
         true,
         false,
         false,
         false,
         false,
         1,
         {},
         {0, 0, 40, 30},
         {{{5, 7}, Source(5, 7)}, {{40, 0}, C}}},
        {"scrolling, fits, centred",
         {40, 30},
         true,
         true,
         false,
         false,
         false,
         1,
         {},
         {30, 25, 40, 30},
         {{{30, 25}, Source(0, 0)}, {{29, 25}, C}}},
        {"zoom 2 fits",
         {40, 30},
         true,
         false,
         false,
         false,
         false,
         2,
         {},
         {0, 0, 80, 60},
         {{{1, 1}, Source(0, 0)},
          {{2, 3}, Source(1, 1)},
          {{79, 59}, Source(39, 29)},
          {{80, 0}, C},
          {{0, 60}, C}}},
        {"scrolled from origin",
         {200, 150},
         true,
         false,
         false,
         false,
         false,
         1,
         {10, 20},
         {0, 0, 88, 68},
         {{{0, 0}, Source(10, 20)}, {{87, 67}, Source(97, 87)}}},
        {"zoom 2, wide only, centred",
         {80, 30},
         true,
         true,
         false,
         false,
         false,
         2,
         {5, 0},
         {0, 10, 88, 60},
         {{{0, 9}, C},
          {{0, 10}, Source(5, 0)},
          {{2, 12}, Source(6, 1)},
          {{87, 67}, Source(48, 28)},
          {{0, 70}, C}}},
        {"tiles",
         {40, 30},
         true,
         false,
         false,
         false,
         true,
         1,
         {},
         {},
         {{{45, 35}, Source(5, 5)}, {{85, 65}, Source(5, 5)}, {{99, 79}, Source(19, 19)}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto view = MakeView(100, 80, CoordinateImage(c.image.width(), c.image.height()));
        view->SetScrolling(c.scrolling);
        view->SetCenter(c.center);
        view->SetStretch(c.stretch);
        view->SetStretchRatio(c.ratio);
        view->SetTileWindow(c.tile);
        if (!c.ratio) view->ZoomFactor = c.zoom;
        view->ScrollOrigin = c.origin;
        QRect area;
        int paints = 0;
        view->OnPaintArea = [&](TPMultiImage*, int x, int y, int w, int h) {
            area = QRect(x, y, w, h);
        };
        view->OnPaint = [&](TPMultiImage*) { ++paints; };
        const QImage shot = Grab(*view);
        for (const auto& p : c.probes)
            EXPECT_EQ(shot.pixel(p.at), p.want) << "at " << p.at.x() << "," << p.at.y();
        if (!c.area.isEmpty()) {
            EXPECT_EQ(area, c.area);
            EXPECT_EQ(paints, 1);
        } else {
            EXPECT_EQ(paints, 0); // tile mode draws nothing over the tiles
        }
    }
}

TEST(StillViewPaint, CentringOffsetsAndNoPicture) {
    auto view = MakeView(100, 80, CoordinateImage(80, 30));
    view->ZoomFactor = 2;
    view->SetCenter(true);
    Grab(*view);
    EXPECT_EQ(view->CenterOffsetX, 0); // exceeds: no shift
    EXPECT_EQ(view->CenterOffsetY, 10);
    view->Picture().Clear();
    const QImage shot = Grab(*view);
    EXPECT_EQ(shot.pixel(0, 0), BackPixel());
    EXPECT_EQ(shot.pixel(99, 79), BackPixel());
    EXPECT_TRUE(view->HorizontalBar()->isHidden()); // no stale bars without a picture
}

struct BlitCase {
    const char* name;
    int bits;
    TBlitMode mode;
    QRgb back, line;
    bool lineKept;
};

TEST(StillViewPaint, OneBitPicturesShrinkByBlitMode) {
    const QRgb white = qRgb(255, 255, 255), black = qRgb(0, 0, 0);
    const BlitCase cases[] = {
        {"1 bit, light", 1, sLight, white, black, false},
        {"1 bit, dark keeps black", 1, sDark, white, black, true},
        {"1 bit, lightest keeps white", 1, sLightest, black, white, true},
        {"1 bit, lightest drops black", 1, sLightest, white, black, false},
        {"8 bits ignore dark", 8, sDark, white, black, false},
        {"8 bits ignore lightest", 8, sLightest, black, white, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        // 80 x 80 shrunk to 20 x 20: target column 10 covers source 40..43.
        QImage picture(80, 80, QImage::Format_RGB32);
        picture.fill(c.back);
        for (int y = 0; y < 80; ++y)
            picture.setPixel(41, y, c.line);
        auto view = MakeView(20, 20, picture);
        view->ImageBitsPerPixel = int16_t(c.bits);
        view->SetBlitMode(c.mode);
        view->SetStretch(true);
        const QImage shot = Grab(*view);
        EXPECT_EQ(shot.pixel(10, 5), c.lineKept ? c.line : c.back);
        EXPECT_EQ(shot.pixel(9, 5), c.back);
    }
}

TEST(StillViewPaint, OneBitFileKeepsItsLineWhenDark) {
    // Through a real 1-bit BMP: the depth comes from the file's information.
    QImage mono(80, 80, QImage::Format_Mono);
    mono.fill(1);
    mono.setColor(0, qRgb(0, 0, 0));
    mono.setColor(1, qRgb(255, 255, 255));
    for (int y = 0; y < 80; ++y)
        mono.setPixel(41, y, 0);
    const auto file = testsupport::tempDir("stillview-mono") / "line.bmp";
    ASSERT_TRUE(mono.save(QString::fromStdString(file.string()), "BMP"));
    for (TBlitMode mode : {sLight, sDark}) {
        auto view = MakeView(20, 20, QImage());
        view->ImageReadRes = lMonoChrome;
        view->SetBlitMode(mode);
        view->SetStretch(true);
        view->SetImageName(file.string());
        ASSERT_EQ(view->ImageBitsPerPixel, 1);
        EXPECT_EQ(Grab(*view).pixel(10, 5), mode == sDark ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
    }
}

struct DrawnCase {
    bool stretch, center;
    QRect area;   // left, top, right, bottom as OnPaintArea gives them
    QPoint first; // where the picture's top-left pixel lands
};

TEST(StillViewPaint, IconsAndMetafilesAreDrawnByThePicture) {
    const DrawnCase cases[] = {
        {false, false, {QPoint(0, 0), QPoint(40, 30)}, {0, 0}},
        {false, true, {QPoint(30, 25), QPoint(70, 55)}, {30, 25}},
        {true, false, {QPoint(0, 0), QPoint(100, 80)}, {0, 0}},
    };
    for (const auto& c : cases) {
        auto view = MakeView(100, 80, CoordinateImage(40, 30));
        view->ImageFormat = "ICO";
        view->SetStretch(c.stretch);
        view->SetCenter(c.center);
        view->SetText("x"); // the overlay is drawn here too
        QRect area;
        view->OnPaintArea = [&](TPMultiImage*, int x, int y, int xx, int yy) {
            area = QRect(QPoint(x, y), QPoint(xx, yy));
        };
        const QImage shot = Grab(*view);
        EXPECT_EQ(area, c.area);
        EXPECT_EQ(shot.pixel(c.first), Source(0, 0));
        EXPECT_EQ(shot.pixel(99, 0), c.stretch ? Source(39, 0) : BackPixel());
    }
}

struct BarCase {
    const char* name;
    QSize image;
    double zoom;
    QPoint origin;
    bool show, ratio;
    bool visible;
    int hMax, vMax, hPos, vPos;
};

TEST(StillViewPaint, ScrollBarsFollowImageAndZoom) {
    const BarCase cases[] = {
        {"wider", {200, 50}, 1, {}, true, false, true, 112, 0, 0, 0},
        {"taller", {50, 200}, 1, {0, 30}, true, false, true, 0, 132, 0, 30},
        {"both", {200, 150}, 1, {150, 100}, true, false, true, 112, 82, 112, 82},
        {"fits", {100, 80}, 1, {}, true, false, false, 0, 0, 0, 0},
        {"bars off", {200, 150}, 1, {}, false, false, false, 0, 0, 0, 0},
        {"ratio", {200, 150}, 1, {}, true, true, false, 0, 0, 0, 0},
        {"zoom 2", {60, 50}, 2, {10, 5}, true, false, true, 32, 32, 20, 10},
        {"zoom 1.5 truncates", {70, 60}, 1.5, {7, 3}, true, false, true, 17, 22, 10, 4},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto view = MakeView(100, 80, CoordinateImage(c.image.width(), c.image.height()));
        view->SetShowScrollbars(c.show);
        view->SetStretchRatio(c.ratio);
        if (!c.ratio) view->ZoomFactor = c.zoom;
        view->ScrollOrigin = c.origin;
        Grab(*view);
        QScrollBar* h = view->HorizontalBar();
        QScrollBar* v = view->VerticalBar();
        EXPECT_EQ(!h->isHidden(), c.visible);
        EXPECT_EQ(!v->isHidden(), c.visible);
        EXPECT_EQ(!view->CornerPanel()->isHidden(), c.visible);
        if (!c.visible) continue;
        EXPECT_EQ(v->geometry(), QRect(88, 1, 12, 67));
        EXPECT_EQ(h->geometry(), QRect(1, 68, 87, 12));
        EXPECT_EQ(view->CornerPanel()->geometry(), QRect(88, 68, 12, 12));
        EXPECT_EQ(h->maximum(), c.hMax);
        EXPECT_EQ(v->maximum(), c.vMax);
        EXPECT_EQ(h->value(), c.hPos);
        EXPECT_EQ(v->value(), c.vPos);
        EXPECT_EQ(h->pageStep(), 88);
        EXPECT_EQ(view->ScrollOrigin, c.origin); // laying out is not a user move
    }
}

TEST(StillViewPaint, MovingABarSetsItsOriginCoordinate) {
    auto view = MakeView(100, 80, CoordinateImage(200, 150));
    view->ZoomFactor = 2;
    view->ScrollOrigin = QPoint(0, 7);
    Grab(*view);
    ASSERT_EQ(view->VerticalBar()->value(), 14);
    view->HorizontalBar()->setValue(101);
    EXPECT_EQ(view->ScrollOrigin, QPoint(50, 7));
    view->VerticalBar()->setValue(33);
    EXPECT_EQ(view->ScrollOrigin, QPoint(50, 16));
    const QImage shot = Grab(*view);
    EXPECT_EQ(shot.pixel(0, 0), Source(50, 16));
    EXPECT_EQ(shot.pixel(3, 5), Source(51, 18));
}

} // namespace

#include "WebImageSupport.h"

#include "imaging/common/DibImage.h"
#include "platform/GlobalMemory.h"

#include <QFrame>
#include <QScrollBar>
#include <algorithm>
#include <gtest/gtest.h>

using webimage::bitmapOf;
using webimage::colorRef;
using webimage::Host;
using webimage::positionColour;
using webimage::shown;
using webimage::solidFrame;

namespace {

const QRgb kYellow = qRgb(220, 220, 0);
const QRgb kRed = qRgb(210, 10, 10);
const QRgb kGreen = qRgb(10, 190, 10);
const QRgb kBackground = qRgb(0, 0, 150);
const QRgb kControl = qRgb(120, 121, 122);

} // namespace

// The widget shows the composed screen: a frame's own disposal is applied
// before the next frame, transparent pixels keep what lies below, and what
// is transparent on the screen shows the control's colour.
TEST(PVWebImage, ShowsTheComposedScreenInTheControlColourWhereTransparent) {
    struct Row {
        const char* what;
        uint8_t redDisposal, greenTransparent;
        QRgb inside, green; // the red frame's area and the green frame's afterwards
    } rows[] = {
        {"disposal 2 clears to transparent", 2, 0, kControl, kGreen},
        {"disposal 1 keeps", 1, 0, kRed, kGreen},
        {"disposal 3 restores what was below", 3, 0, kYellow, kGreen},
        {"transparent pixels keep the canvas", 0, 1, kRed, kYellow},
    };
    for (const Row& r : rows) {
        Host host(60, 60);
        PVWebImage& image = *host.image;
        image.SetColor(colorRef(kControl));
        image.DisplayedBackground = colorRef(kBackground); // never painted
        image.Frames()->push_back(solidFrame(0, 0, 40, 40, kYellow));
        image.Frames()->push_back(solidFrame(5, 5, 10, 10, kRed, r.redDisposal));
        image.Frames()->push_back(solidFrame(30, 30, 4, 4, kGreen, 0, r.greenTransparent));
        image.Frames()->back()->TransparentIndex = 1;
        image.GifMode = true;
        image.Play();
        image.CurrentFrame = 3;
        for (int i = 0; i < 3; ++i) {
            image.DelayTimerTimer();
            image.StepFrame();
        }
        ASSERT_EQ(image.DisplayedFrame, 2);
        const QImage screen = image.grab().toImage();
        auto at = [&](int x, int y) { return screen.pixel(x, y) | 0xFF000000u; };
        for (QPoint p : {QPoint(5, 5), QPoint(14, 5), QPoint(5, 14), QPoint(14, 14)})
            EXPECT_EQ(at(p.x(), p.y()), r.inside) << r.what << " " << p.x() << "," << p.y();
        for (QPoint p : {QPoint(4, 4), QPoint(15, 15), QPoint(39, 39)})
            EXPECT_EQ(at(p.x(), p.y()), kYellow) << r.what << " " << p.x() << "," << p.y();
        EXPECT_EQ(at(30, 30), r.green) << r.what;
        EXPECT_EQ(at(33, 33), r.green) << r.what;
        EXPECT_EQ(at(45, 45), kControl) << r.what; // outside the screen
    }
}

// The canvas follows what changes the screen behind the composer's back:
// a smaller logical screen and a new control colour.
TEST(PVWebImage, CanvasFollowsScreenSizeAndColourChanges) {
    Host host(60, 60);
    PVWebImage& image = *host.image;
    image.SetColor(colorRef(kControl));
    for (QRgb c : {kYellow, kRed}) {
        image.Frames()->push_back(solidFrame(0, 0, 40, 40, c, 0, c == kRed));
        image.Frames()->back()->TransparentIndex = 0; // index 1 stays opaque
    }
    image.GifMode = true;
    image.ShowFrame(1);
    EXPECT_EQ(shown(image, 30, 30), kRed);
    for (TMyGifAnimation* f : *image.Frames())
        f->ScreenWidth = f->ScreenHeight = 20;
    image.ShowFrame(0);
    EXPECT_EQ(shown(image, 10, 10), kYellow);
    EXPECT_EQ(shown(image, 30, 30), kControl);
    image.SetColor(colorRef(kGreen));
    EXPECT_EQ(shown(image, 30, 30), kGreen);
    EXPECT_EQ(shown(image, 10, 10), kYellow);
}

// Control 100 x 80, bars 12 pixels: the uncovered part is 88 x 68.
TEST(PVWebImage, ScrollBarsAppearOnlyForALargerPicture) {
    struct Row {
        const char* what;
        int w, h;
        bool bars;
        int horzMax, vertMax;
    } rows[] = {
        {"fits", 50, 40, false, 0, 0},
        {"fits exactly", 100, 80, false, 0, 0},
        {"only the height exceeds", 60, 200, true, 0, 132},
        {"only the width exceeds", 300, 50, true, 212, 0},
        {"both exceed", 300, 200, true, 212, 132},
        // The bars cover the last columns and rows: they must scroll too.
        {"height exceeds, width under a bar", 95, 200, true, 7, 132},
        {"width exceeds, height under a bar", 300, 75, true, 212, 7},
    };
    for (const Row& r : rows) {
        Host host(100, 80);
        PVWebImage& image = *host.image;
        image.NewFromBitmap(*bitmapOf(r.w, r.h, positionColour), 24);
        image.SetUseScrollBars(true);
        if (!r.bars) {
            EXPECT_EQ(image.VertScrollBar().size(), QSize(0, 0)) << r.what;
            EXPECT_EQ(image.HorzScrollBar().size(), QSize(0, 0)) << r.what;
            EXPECT_EQ(image.CornerPanel().size(), QSize(0, 0)) << r.what;
            continue;
        }
        EXPECT_EQ(image.VertScrollBar().geometry(), QRect(88, 1, 12, 67)) << r.what;
        EXPECT_EQ(image.HorzScrollBar().geometry(), QRect(1, 68, 87, 12)) << r.what;
        EXPECT_EQ(image.CornerPanel().geometry(), QRect(88, 68, 12, 12)) << r.what;
        EXPECT_EQ(image.CornerPanel().frameShape(), QFrame::NoFrame) << r.what;
        EXPECT_EQ(image.HorzScrollBar().maximum(), r.horzMax) << r.what;
        EXPECT_EQ(image.VertScrollBar().maximum(), r.vertMax) << r.what;

        // Every pixel can be scrolled into view: top-left at (0, 0), bottom-right
        // at the end of both ranges, just inside the uncovered part.
        EXPECT_EQ(shown(image, 0, 0), positionColour(0, 0)) << r.what;
        image.ScrollTo(r.horzMax, r.vertMax);
        EXPECT_EQ(image.ScrollPosition(), QPoint(r.horzMax, r.vertMax)) << r.what;
        const int right = std::min(r.w, 88) - 1, bottom = std::min(r.h, 68) - 1;
        EXPECT_EQ(shown(image, right, bottom), positionColour(r.w - 1, r.h - 1)) << r.what;

        // Growing the control clamps the offsets to the new ranges.
        image.resize(150, 130);
        const QPoint clamped(std::min(r.horzMax, std::max(0, r.w - 138)),
                             std::min(r.vertMax, std::max(0, r.h - 118)));
        EXPECT_EQ(image.ScrollPosition(), clamped) << r.what;
        EXPECT_EQ(image.HorzScrollBar().value(), clamped.x()) << r.what;
        EXPECT_EQ(image.VertScrollBar().value(), clamped.y()) << r.what;
        image.resize(r.w + 20, r.h + 20);
        EXPECT_EQ(image.VertScrollBar().size(), QSize(0, 0)) << r.what;
    }
}

TEST(PVWebImage, ScaledDrawingPlacesOrStretchesThePicture) {
    struct Row {
        const char* what;
        bool stretch, scrollBars;
        QPoint controlPixel, picturePixel; // (-1, -1): the control's colour
    } rows[] = {
        {"unscaled at the origin", false, false, {49, 39}, {49, 39}},
        {"nothing beyond the picture", false, false, {50, 40}, {-1, -1}},
        {"stretched to fill: first", true, false, {1, 1}, {0, 0}},
        {"stretched to fill: doubled", true, false, {3, 5}, {1, 2}},
        {"stretched to fill: last", true, true, {99, 79}, {49, 39}},
    };
    for (const Row& r : rows) {
        Host host(100, 80);
        PVWebImage& image = *host.image;
        image.SetColor(colorRef(kControl));
        image.NewFromBitmap(*bitmapOf(50, 40, positionColour), 24);
        image.SetStretchPngJpg(r.stretch);
        image.SetUseScrollBars(r.scrollBars);
        const QPoint c = r.controlPixel, p = r.picturePixel;
        EXPECT_EQ(shown(image, c.x(), c.y()), p.x() < 0 ? kControl : positionColour(p.x(), p.y()))
            << r.what;
    }
}

TEST(PVWebImage, ReplacedBitmapGoesToTheFrameOnDisplay) {
    Host host(40, 40);
    PVWebImage& image = *host.image;
    image.Frames()->push_back(solidFrame(0, 0, 16, 16, kYellow));
    image.Frames()->push_back(solidFrame(4, 6, 16, 16, kRed));
    image.GifMode = true;
    image.ShowFrame(1);

    const std::unique_ptr<zp::TBitmap> bitmap = image.GetFrameBitmap();
    ASSERT_TRUE(bitmap);
    ASSERT_EQ(bitmap->width(), 16);
    EXPECT_EQ(bitmap->bits()[0] & 0xFFFFFF, kRed & 0xFFFFFF);
    bitmap->bits()[0] = kGreen;           // top-left pixel
    image.ReplaceFrameBitmap(*bitmap, 7); // not a DIB depth: the screen's is used
    EXPECT_TRUE(PaintingEnabled);

    auto colourAt = [](HGLOBAL dib, int x, int y) {
        const QImage picture =
            dibimage::ToImage(static_cast<const BITMAPINFOHEADER*>(GlobalLock(dib)));
        GlobalUnlock(dib);
        return picture.pixel(x, y);
    };
    EXPECT_EQ(colourAt((*image.Frames())[1]->DibHandle, 0, 0), kGreen);
    EXPECT_EQ(colourAt((*image.Frames())[1]->DibHandle, 1, 0), kRed);
    EXPECT_EQ(colourAt((*image.Frames())[0]->DibHandle, 0, 0), kYellow);
    EXPECT_EQ(shown(image, 4, 6), kGreen);
    EXPECT_EQ(shown(image, 5, 6), kRed);
}

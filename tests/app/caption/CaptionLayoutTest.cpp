// The caption painter's geometry, gradient bands, property limits and its
// life on a window (hooking, giving the window back, outliving it).
#include "WidgetSupport.h"
#include "app/TMSOfficeCaption.h"
#include "app/TMSOfficeCaptionBar.h"
#include "platform/Metrics.h"
#include <QImage>
#include <QPainter>
#include <QPointer>
#include <QWidget>
#include <cmath>
#include <gtest/gtest.h>

namespace {

struct RectCase {
    const char* name;
    TFormBorderStyle style;
    TBorderIcons icons;
    int width;
    int left, top, right, bottom; // expected, right and bottom exclusive
};

TEST(CaptionRect, FollowsBorderStyleAndIcons) {
    testsupport::widgetApp();
    const int dlg = GetSystemMetrics(SM_CXDLGFRAME), frame = GetSystemMetrics(SM_CXFRAME);
    const int dlgY = GetSystemMetrics(SM_CYDLGFRAME), frameY = GetSystemMetrics(SM_CYFRAME);
    const int cap = GetSystemMetrics(SM_CYCAPTION), smCap = GetSystemMetrics(SM_CYSMCAPTION);
    const int b = GetSystemMetrics(SM_CXSIZE), smB = GetSystemMetrics(SM_CXSMSIZE);
    const TBorderIcons all = biSystemMenu | biMinimize | biMaximize;
    const RectCase cases[] = {
        {"sizeable, all buttons", bsSizeable, all, 300, frame, frameY,
         300 - frame - (b + 2) - 2 * b, frameY + cap - 1},
        {"sizeable, close only", bsSizeable, biSystemMenu, 300, frame, frameY,
         300 - frame - (b + 2), frameY + cap - 1},
        {"sizeable, no buttons", bsSizeable, 0, 300, frame, frameY, 300 - frame, frameY + cap - 1},
        {"sizeable, minimize without menu", bsSizeable, biMinimize, 300, frame, frameY,
         300 - frame - 2 * b, frameY + cap - 1},
        {"single, menu and minimize", bsSingle, biSystemMenu | biMinimize, 300, dlg, dlgY,
         300 - dlg - (b + 2) - 2 * b, dlgY + cap - 1},
        {"dialog ignores min/max", bsDialog, all, 300, dlg, dlgY, 300 - dlg - (b + 2),
         dlgY + cap - 1},
        {"dialog with help", bsDialog, biSystemMenu | biHelp, 300, dlg, dlgY,
         300 - dlg - 2 * (b + 2), dlgY + cap - 1},
        {"tool window", bsToolWindow, all, 300, dlg, dlgY, 300 - dlg - (smB + 2), dlgY + smCap - 1},
        {"sizeable tool window", bsSizeToolWin, biSystemMenu, 300, frame, frameY,
         300 - frame - (smB + 2), frameY + smCap - 1},
        {"too narrow keeps 2 pixels", bsSizeable, all, 40, frame, frameY, frame + 2,
         frameY + cap - 1},
    };
    for (const RectCase& c : cases) {
        QWidget window;
        window.resize(c.width, 120);
        auto* caption = new TMSOfficeCaption(&window);
        caption->SetBorderStyle(c.style);
        caption->SetBorderIcons(c.icons);
        const QRect r = caption->CaptionRect();
        EXPECT_EQ(r.left(), c.left) << c.name;
        EXPECT_EQ(r.top(), c.top) << c.name;
        EXPECT_EQ(r.left() + r.width(), c.right) << c.name;
        EXPECT_EQ(r.top() + r.height(), c.bottom) << c.name;
        // Layouts leave the frame and the caption free.
        const int fx = c.left, fy = c.top;
        EXPECT_EQ(window.contentsMargins(), QMargins(fx, fy + (c.bottom - c.top + 1), fx, fy))
            << c.name;
    }
}

TEST(CaptionRect, BorderlessWindowHasNoBarAndNoPainting) {
    testsupport::widgetApp();
    QWidget window;
    window.resize(300, 100);
    window.setContentsMargins(1, 2, 3, 4);
    auto* caption = new TMSOfficeCaption(&window);
    ASSERT_NE(caption->TitleBar(), nullptr);
    caption->SetBorderStyle(bsNone);
    EXPECT_EQ(caption->TitleBar(), nullptr);
    EXPECT_EQ(window.findChild<TMSOfficeCaptionBar*>(), nullptr);
    EXPECT_TRUE(caption->CaptionRect().isEmpty());
    EXPECT_EQ(window.contentsMargins(), QMargins(1, 2, 3, 4));
    QImage image(300, 100, QImage::Format_RGB32);
    image.fill(Qt::green);
    {
        QPainter painter(&image);
        caption->PaintCaption(painter, true);
    }
    for (int x = 0; x < 300; x += 7)
        for (int y = 0; y < 100; y += 5)
            ASSERT_EQ(image.pixel(x, y), QColor(Qt::green).rgb());
    EXPECT_FALSE(caption->LastDrawn().Caption);
}

struct Band {
    int x0, x1; // pixels [x0, x1)
    COLORREF colour;
};

// Paints a gradient into a white image at rect and checks every band over
// the rect's height and that nothing outside the rect changed.
void ExpectBands(COLORREF from, COLORREF to, const QRect& rect, int n,
                 const std::vector<Band>& bands, const char* name) {
    QImage image(rect.right() + 3, rect.bottom() + 3, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        TMSOfficeCaption::PaintGradient(painter, from, to, rect, n);
    }
    for (const Band& band : bands)
        for (int x = band.x0; x < band.x1; ++x)
            for (int y = rect.top(); y <= rect.bottom(); ++y) {
                const QRgb p = image.pixel(x, y);
                ASSERT_EQ(RGB(qRed(p), qGreen(p), qBlue(p)), band.colour)
                    << name << " at " << x << "," << y;
            }
    for (int x = 0; x < image.width(); ++x) {
        ASSERT_EQ(image.pixel(x, rect.top() - 1), qRgb(255, 255, 255)) << name;
        ASSERT_EQ(image.pixel(x, rect.bottom() + 1), qRgb(255, 255, 255)) << name;
    }
    ASSERT_EQ(image.pixel(rect.left() - 1, rect.top()), qRgb(255, 255, 255)) << name;
    ASSERT_EQ(image.pixel(rect.right() + 1, rect.top()), qRgb(255, 255, 255)) << name;
}

TEST(PaintGradient, BandsAndRounding) {
    testsupport::widgetApp();
    const COLORREF red = RGB(255, 0, 0), blue = RGB(0, 0, 255);
    // One band: all `from`.
    ExpectBands(red, blue, QRect(2, 1, 9, 3), 1, {{2, 11, red}}, "one band");
    // Two bands on an odd width: 7 / 2 = 3.5 rounds up, so the left half is 4.
    ExpectBands(red, blue, QRect(3, 1, 7, 2), 2, {{3, 7, red}, {7, 10, blue}}, "two bands");
    // Band edges at 2.5 and 7.5 round away; halfway colours round away from
    // zero in both directions (0.5 -> 1, -0.5 -> -1).
    ExpectBands(RGB(0, 1, 10), RGB(1, 0, 10), QRect(1, 1, 10, 2), 4,
                {{1, 4, RGB(0, 1, 10)},
                 {4, 6, RGB(0, 1, 10)},
                 {6, 9, RGB(1, 0, 10)},
                 {9, 11, RGB(1, 0, 10)}},
                "rounding");
    ExpectBands(RGB(0, 1, 0), RGB(1, 0, 0), QRect(1, 1, 9, 2), 3,
                {{1, 4, RGB(0, 1, 0)}, {4, 7, RGB(1, 0, 0)}, {7, 10, RGB(1, 0, 0)}},
                "halves away from zero");
}

TEST(PaintGradient, SixtyFourBandsFromBlackToNavy) {
    testsupport::widgetApp();
    const QRect rect(4, 2, 200, 5);
    std::vector<Band> bands;
    for (int i = 0; i < 64; ++i)
        bands.push_back({4 + int(std::lround(200.0 * i / 64)),
                         4 + int(std::lround(200.0 * (i + 1) / 64)),
                         RGB(0, 0, uint8_t(std::lround(128.0 * i / 63)))});
    ExpectBands(RGB(0, 0, 0), RGB(0, 0, 128), rect, 64, bands, "64 bands");
}

TEST(TMSOfficeCaption, NumColorsLimits) {
    testsupport::widgetApp();
    QWidget window;
    auto* caption = new TMSOfficeCaption(&window);
    EXPECT_EQ(caption->NumColors(), 64);
    const struct {
        int set, expect;
    } steps[] = {{300, 256}, {0, 256}, {-5, 256}, {1, 1}, {0, 1}, {256, 256}, {17, 17}};
    for (const auto& s : steps) {
        caption->SetNumColors(s.set);
        EXPECT_EQ(caption->NumColors(), s.expect) << "after " << s.set;
    }
}

TEST(TMSOfficeCaption, OwnerMustBeAWindow) {
    testsupport::widgetApp();
    QWidget window;
    QWidget child(&window);
    try {
        TMSOfficeCaption caption(&child);
        FAIL() << "a child widget was taken as owner";
    } catch (const EInvalidCast& e) {
        EXPECT_STREQ(e.what(), "Invalid class typecast");
    }
    EXPECT_THROW(TMSOfficeCaption(nullptr), EInvalidCast);
    // The refused painter left nothing behind on the child or its window.
    EXPECT_TRUE(window.findChildren<TMSOfficeCaption*>().isEmpty());
}

TEST(TMSOfficeCaption, FreeingThePainterGivesTheWindowBack) {
    testsupport::widgetApp();
    QWidget window;
    window.setContentsMargins(1, 2, 3, 4);
    window.resize(200, 100);
    window.show();
    auto* caption = new TMSOfficeCaption(&window);
    EXPECT_TRUE(window.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(window.isVisible());
    EXPECT_NE(window.findChild<TMSOfficeCaptionBar*>(), nullptr);
    delete caption;
    EXPECT_FALSE(window.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.contentsMargins(), QMargins(1, 2, 3, 4));
    EXPECT_EQ(window.findChild<TMSOfficeCaptionBar*>(), nullptr);
    EXPECT_EQ(window.findChild<TMSOfficeCaptionEdge*>(), nullptr);
    // Events after the painter went reach nobody stale.
    window.setWindowTitle("after");
    window.resize(220, 120);
}

TEST(TMSOfficeCaption, WindowDestroyedFirstTakesThePainterAlong) {
    testsupport::widgetApp();
    auto* window = new QWidget;
    window->show();
    QPointer<TMSOfficeCaption> caption = new TMSOfficeCaption(window);
    delete window;
    EXPECT_TRUE(caption.isNull());

    // Taken off its window, the painter outlives it and is freed later.
    window = new QWidget;
    auto* detached = new TMSOfficeCaption(window);
    detached->setParent(nullptr);
    delete window;
    EXPECT_EQ(detached->Owner(), nullptr);
    EXPECT_TRUE(detached->CaptionRect().isEmpty());
    delete detached;
}

} // namespace

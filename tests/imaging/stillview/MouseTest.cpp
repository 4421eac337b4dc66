// Grab-hand scrolling and the rubber band, driven by real mouse events.
#include "StillViewSupport.h"
#include "imaging/common/CursorTable.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <limits>

using namespace stillview;

namespace {

// A 100 x 80 control on a 200 x 150 picture at zoom 2, bars laid out.
std::unique_ptr<TPMultiImage> ZoomedView(QPoint origin, QSize image = {200, 150}) {
    auto view = MakeView(100, 80, CoordinateImage(image.width(), image.height()));
    view->ZoomFactor = 2;
    view->ScrollOrigin = origin;
    Grab(*view);
    return view;
}

struct DragCase {
    const char* name;
    QPoint origin;
    QSize image;
    std::vector<QPoint> path; // after the press at (50, 40)
    QPoint want;
};

TEST(StillViewMouse, GrabHandDragStepsTheOrigin) {
    const DragCase cases[] = {
        {"half a pixel left still steps one", {0, 0}, {200, 150}, {{49, 40}}, {1, 0}},
        {"no move, no step", {4, 4}, {200, 150}, {{50, 40}}, {4, 4}},
        {"two image pixels and one up-step", {0, 3}, {200, 150}, {{46, 41}}, {2, 2}},
        {"past the left edge goes to 0", {1, 0}, {200, 150}, {{60, 40}}, {0, 0}},
        {"right edge: image - trunc(88 / 2)", {150, 0}, {200, 150}, {{30, 40}}, {156, 0}},
        {"bottom edge", {0, 110}, {200, 150}, {{50, 10}}, {0, 116}},
        {"an axis narrower than the control stays at 0", {10, 0}, {200, 30}, {{44, 30}}, {13, 0}},
        {"steps add up", {0, 0}, {200, 150}, {{49, 40}, {48, 40}, {44, 36}}, {4, 2}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto view = ZoomedView(c.origin, c.image);
        Mouse(*view, QEvent::MouseButtonPress, {50, 40}, Qt::LeftButton);
        ASSERT_TRUE(view->Grabbing());
        for (QPoint p : c.path)
            Mouse(*view, QEvent::MouseMove, p, Qt::LeftButton);
        EXPECT_EQ(view->ScrollOrigin, c.want);
        Mouse(*view, QEvent::MouseButtonRelease, c.path.back(), Qt::LeftButton);
        EXPECT_FALSE(view->Grabbing());
    }
}

TEST(StillViewMouse, GrabHandCursorIsSwappedAndRestored) {
    auto first = ZoomedView({0, 0}); // registers the cursor
    const QCursor hand = CursorAt(TPMultiImage::crGrabHand);
    for (bool ownCursor : {false, true}) {
        SCOPED_TRACE(ownCursor ? "own cursor" : "no cursor");
        auto view = ZoomedView({0, 0});
        if (ownCursor) view->setCursor(Qt::CrossCursor);
        Mouse(*view, QEvent::MouseButtonPress, {50, 40}, Qt::LeftButton);
        EXPECT_EQ(view->cursor().shape(), hand.shape());
        EXPECT_EQ(view->cursor().hotSpot(), hand.hotSpot());
        Mouse(*view, QEvent::MouseButtonRelease, {50, 40}, Qt::LeftButton);
        EXPECT_EQ(view->cursor().shape(), ownCursor ? Qt::CrossCursor : Qt::ArrowCursor);
    }
    // No grab where nothing can scroll: a stretched picture, one that fits,
    // another button, or annotation editing.
    auto stretched = ZoomedView({0, 0});
    stretched->SetStretch(true);
    auto fitting = MakeView(100, 80, CoordinateImage(50, 40));
    auto annotating = ZoomedView({0, 0});
    annotating->SetEditAnnotat(true);
    for (TPMultiImage* view : {stretched.get(), fitting.get(), annotating.get()}) {
        Mouse(*view, QEvent::MouseButtonPress, {50, 40}, Qt::LeftButton);
        EXPECT_FALSE(view->Grabbing());
    }
    auto right = ZoomedView({0, 0});
    Mouse(*right, QEvent::MouseButtonPress, {50, 40}, Qt::RightButton);
    EXPECT_FALSE(right->Grabbing());
}

struct CornerCase {
    const char* name;
    QPoint to;
    QPoint want;
};

TEST(StillViewMouse, RubberBandKeepsTheControlsAspect) {
    // A 200 x 100 control, anchor (100, 50): the band is twice as wide as high.
    const CornerCase cases[] = {
        {"down right", {130, 70}, {132, 66}},
        {"up left", {70, 30}, {67, 33}},
        {"up right", {130, 30}, {132, 33}},
        {"down left", {70, 70}, {67, 66}},
        {"straight up goes up-left", {100, 10}, {64, 32}},
        {"straight down goes down-right", {100, 90}, {135, 67}},
        {"straight right goes down-right", {140, 50}, {135, 67}},
        {"straight left goes down-left", {60, 50}, {64, 67}},
        {"no move", {100, 50}, {100, 50}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QPoint corner =
            TPMultiImage::RubberBandCornerFor({100, 50}, c.to.x(), c.to.y(), 200, 100);
        EXPECT_EQ(corner, c.want);
        const int w = std::abs(corner.x() - 100), h = std::abs(corner.y() - 50);
        EXPECT_LE(std::abs(w - 2 * h), 2); // each side truncated on its own
    }
    EXPECT_EQ(TPMultiImage::RubberBandCornerFor({3, 4}, 50, 50, 0, 100), QPoint(3, 4));
}

TEST(StillViewMouse, RubberBandFollowsTheMouseAndReports) {
    auto view = MakeView(200, 100, CoordinateImage(150, 90));
    view->AllowRubberBand = true;
    view->RubberBandBtn = mbRight;
    int reports = 0;
    TMouseButton button = mbLeft;
    TShiftState shift;
    QRect band;
    view->OnRubberband = [&](TPMultiImage*, TMouseButton b, TShiftState s, int x, int y, int xx,
                             int yy) {
        ++reports;
        button = b;
        shift = s;
        band = QRect(QPoint(x, y), QPoint(xx, yy));
    };
    const QImage before = Grab(*view);

    Mouse(*view, QEvent::MouseButtonPress, {100, 50}, Qt::LeftButton);
    EXPECT_FALSE(view->RubberBandActive()); // not the band's button
    Mouse(*view, QEvent::MouseButtonPress, {100, 50}, Qt::RightButton);
    ASSERT_TRUE(view->RubberBandActive());
    Mouse(*view, QEvent::MouseMove, {130, 70}, Qt::RightButton);
    Mouse(*view, QEvent::MouseMove, {70, 30}, Qt::RightButton);
    EXPECT_EQ(view->RubberBandCorner(), QPoint(67, 33));

    // The outline inverts the picture under it; inside and outside stay.
    const QImage during = Grab(*view);
    for (QPoint p : {QPoint(100, 50), QPoint(67, 33), QPoint(80, 33), QPoint(67, 40)})
        EXPECT_EQ(during.pixel(p), before.pixel(p) ^ 0x00FFFFFFu) << p.x() << "," << p.y();
    for (QPoint p : {QPoint(80, 40), QPoint(101, 51), QPoint(66, 33), QPoint(132, 66)})
        EXPECT_EQ(during.pixel(p), before.pixel(p)) << p.x() << "," << p.y();

    Mouse(*view, QEvent::MouseButtonRelease, {70, 30}, Qt::LeftButton);
    EXPECT_TRUE(view->RubberBandActive());
    Mouse(*view, QEvent::MouseButtonRelease, {70, 30}, Qt::RightButton, Qt::ShiftModifier);
    EXPECT_FALSE(view->RubberBandActive());
    EXPECT_EQ(reports, 1);
    EXPECT_EQ(button, mbRight);
    EXPECT_EQ(shift, Qt::ShiftModifier);
    EXPECT_EQ(band, QRect(QPoint(100, 50), QPoint(67, 33)));
    EXPECT_EQ(Grab(*view), before);              // the band has erased itself
    EXPECT_EQ(view->ScrollOrigin, QPoint(0, 0)); // a band never scrolls
}

TEST(StillViewMouse, DamagedViewNeverBreaksPaintOrDrag) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (double zoom : {0.0, -3.0, nan, 1e300, 1e-300, 5e5}) {
        for (QPoint origin : {QPoint(INT32_MAX - 2, INT32_MIN + 2), QPoint(-5, 7)}) {
            auto view = MakeView(100, 80, CoordinateImage(200, 150));
            view->ZoomFactor = zoom;
            view->ScrollOrigin = origin;
            Grab(*view);
            Mouse(*view, QEvent::MouseButtonPress, {50, 40}, Qt::LeftButton);
            Mouse(*view, QEvent::MouseMove, {10, 70}, Qt::LeftButton);
            Mouse(*view, QEvent::MouseMove, {90, 0}, Qt::LeftButton);
            Mouse(*view, QEvent::MouseButtonRelease, {90, 0}, Qt::LeftButton);
            const QImage shot = Grab(*view);
            EXPECT_EQ(shot.size(), QSize(100, 80));
        }
    }
}

} // namespace

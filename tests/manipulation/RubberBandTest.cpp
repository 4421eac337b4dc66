// The effects dialog's selection band: where a press grabs it, and drags
// that never fold it over.
#include "ManipulationSupport.h"
#include "manipulation/TPVRubberBand.h"

#include <QWidget>
#include <gtest/gtest.h>

namespace {

TEST(RubberBand, GrabsEdgesCornersAndInsideWithinTheTolerance) {
    testsupport::widgetApp();
    QWidget control;
    control.resize(200, 200);
    QRect reported;
    TPVRubberBand band(&control, nullptr, [&](int l, int t, int r, int b) {
        reported = QRect(QPoint(l, t), QPoint(r, b));
    });
    EXPECT_EQ(band.Classify({50, 50}), TPVRubberBand::None) << "no band yet";
    band.SetBand(QRect(QPoint(40, 40), QPoint(140, 120)));
    EXPECT_EQ(reported, band.Band());
    using K = TPVRubberBand::Kind;
    const struct {
        QPoint at;
        K kind;
    } rows[] = {{{36, 80}, K::None},      {{37, 80}, K::Left},        {{143, 80}, K::Right},
                {{90, 38}, K::Top},       {{90, 123}, K::Bottom},     {{41, 41}, K::TopLeft},
                {{139, 42}, K::TopRight}, {{42, 118}, K::BottomLeft}, {{140, 120}, K::BottomRight},
                {{90, 80}, K::Move},      {{90, 124}, K::None}};
    for (const auto& row : rows)
        EXPECT_EQ(band.Classify(row.at), row.kind) << row.at.x() << "," << row.at.y();
}

TEST(RubberBand, DraggedEdgesStopShortOfTheOppositeEdge) {
    testsupport::widgetApp();
    QWidget control;
    control.resize(200, 200);
    TPVRubberBand band(&control, nullptr, {});
    band.SetBand(QRect(QPoint(40, 40), QPoint(140, 120)));
    auto drag = [&](QPoint from, QPoint to) {
        QMouseEvent down(QEvent::MouseButtonPress, from, from, Qt::LeftButton, Qt::LeftButton,
                         Qt::NoModifier);
        band.MouseDown(&down);
        QMouseEvent move(QEvent::MouseMove, to, to, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        band.MouseMove(&move);
        QMouseEvent up(QEvent::MouseButtonRelease, to, to, Qt::LeftButton, Qt::NoButton,
                       Qt::NoModifier);
        band.MouseUp(&up);
    };
    drag({140, 80}, {20, 80}); // the right edge past the left one: refused
    EXPECT_EQ(band.Band().right(), 140);
    drag({140, 80}, {100, 80});
    EXPECT_EQ(band.Band().right(), 100);
    drag({40, 120}, {200, 10}); // a corner past both opposite edges: refused
    EXPECT_EQ(band.Band(), QRect(QPoint(40, 40), QPoint(100, 120)));
    drag({70, 80}, {80, 90}); // inside: the whole band moves
    EXPECT_EQ(band.Band(), QRect(QPoint(50, 50), QPoint(110, 130)));
}

} // namespace

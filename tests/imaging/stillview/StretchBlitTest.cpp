// The stretch helper: which source pixels reach the target in each mode,
// clipping, and sources partly outside the picture.
#include "imaging/common/StretchBlit.h"

#include <gtest/gtest.h>

using zp::StretchMode;

namespace {

constexpr QRgb kWhite = 0xFFFFFFFF, kBlack = 0xFF000000;

// A w x h picture of `back` with a one-pixel vertical line of `line` at lineX.
QImage LinePicture(int w, int h, int lineX, QRgb back, QRgb line) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(back);
    for (int y = 0; y < h; ++y)
        image.setPixel(lineX, y, line);
    return image;
}

struct ShrinkCase {
    const char* name;
    StretchMode mode;
    QRgb back, line;
    bool lineKept;
};

TEST(StretchBlit, ShrinkingCombinesEliminatedPixelsByMode) {
    // 80 -> 20 columns: target column 10 covers source columns 40..43 and
    // samples column 42; the line sits at 41.
    const ShrinkCase cases[] = {
        {"colour on colour drops a black line", StretchMode::ColorOnColor, kWhite, kBlack, false},
        {"black on white keeps a black line", StretchMode::BlackOnWhite, kWhite, kBlack, true},
        {"white on black drops a black line", StretchMode::WhiteOnBlack, kWhite, kBlack, false},
        {"white on black keeps a white line", StretchMode::WhiteOnBlack, kBlack, kWhite, true},
        {"black on white drops a white line", StretchMode::BlackOnWhite, kBlack, kWhite, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QImage source = LinePicture(80, 8, 41, c.back, c.line);
        QImage target(20, 2, QImage::Format_RGB32);
        target.fill(Qt::red);
        zp::StretchImage(target, target.rect(), source, source.rect(), c.mode);
        for (int x = 0; x < 20; ++x) {
            const QRgb want = x == 10 && c.lineKept ? c.line : c.back;
            EXPECT_EQ(target.pixel(x, 1), want) << "column " << x;
        }
    }
}

TEST(StretchBlit, EnlargingAndPlacement) {
    QImage source(4, 2, QImage::Format_RGB32);
    for (int x = 0; x < 4; ++x)
        for (int y = 0; y < 2; ++y)
            source.setPixel(x, y, qRgb(x * 60, y * 100, 7));
    for (StretchMode mode :
         {StretchMode::ColorOnColor, StretchMode::BlackOnWhite, StretchMode::WhiteOnBlack}) {
        QImage target(12, 8, QImage::Format_RGB32);
        target.fill(Qt::red);
        // Tripled and doubled at (2, 3); the target is cut at its right edge.
        zp::StretchImage(target, QRect(2, 3, 12, 4), source, source.rect(), mode);
        EXPECT_EQ(target.pixel(1, 3), qRgb(255, 0, 0));
        EXPECT_EQ(target.pixel(2, 2), qRgb(255, 0, 0));
        EXPECT_EQ(target.pixel(2, 3), qRgb(0, 0, 7));
        EXPECT_EQ(target.pixel(4, 4), qRgb(0, 0, 7));
        EXPECT_EQ(target.pixel(5, 5), qRgb(60, 100, 7));
        EXPECT_EQ(target.pixel(11, 6), qRgb(180, 100, 7)); // source column 3 starts at 11
        EXPECT_EQ(target.pixel(11, 7), qRgb(255, 0, 0));
    }
}

TEST(StretchBlit, SourceOutsidePictureAndClipLeaveTargetAlone) {
    QImage source(10, 10, QImage::Format_RGB32);
    source.fill(Qt::blue);
    QImage target(10, 10, QImage::Format_RGB32);
    target.fill(Qt::red);
    // Half the source rectangle lies right of the picture; the clip keeps the
    // bottom half.
    zp::StretchImage(target, target.rect(), source, QRect(5, 0, 10, 10), StretchMode::ColorOnColor,
                     QRect(0, 5, 10, 5));
    EXPECT_EQ(target.pixel(0, 4), qRgb(255, 0, 0));
    EXPECT_EQ(target.pixel(0, 5), qRgb(0, 0, 255));
    EXPECT_EQ(target.pixel(4, 9), qRgb(0, 0, 255));
    EXPECT_EQ(target.pixel(5, 9), qRgb(255, 0, 0));
    // Empty and hostile rectangles change nothing.
    const QImage before = target;
    zp::StretchImage(target, QRect(0, 0, 0, 5), source, source.rect(), StretchMode::BlackOnWhite);
    zp::StretchImage(target, target.rect(), source, QRect(-50, -50, 20, 20),
                     StretchMode::BlackOnWhite);
    zp::StretchImage(target, QRect(1 << 29, 0, 1 << 30, 10), source, source.rect(),
                     StretchMode::ColorOnColor);
    EXPECT_EQ(target, before);
}

} // namespace

// The text overlay (shadow, rotation, background) and the transition that
// brings a newly loaded picture in.
#include "StillViewSupport.h"
#include "TestSupport.h"

#include <QTimer>
#include <gtest/gtest.h>

using namespace stillview;

namespace {

// Bounding box of the pixels of one colour (empty when none).
QRect BoxOf(const QImage& image, QRgb colour) {
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) == colour) box |= QRect(x, y, 1, 1);
    return box;
}

struct OverlayCase {
    const char* name;
    bool shadow, transparent;
    int rotate;
};

TEST(StillViewOverlay, ShadowRotationAndBackground) {
    const QRgb ink = qRgb(0, 0, 0), red = qRgb(255, 0, 0), blue = qRgb(0, 0, 255);
    const OverlayCase cases[] = {
        {"plain", false, true, 0},
        {"shadow", true, true, 0},
        {"opaque", false, false, 0},
        {"rotated a quarter", true, true, 90},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QImage picture(160, 120, QImage::Format_RGB32);
        picture.fill(blue);
        auto view = MakeView(160, 120, picture);
        QFont f("DejaVu Sans");
        f.setPixelSize(20);
        f.setBold(true);
        view->setFont(f);
        QPalette pal = view->palette();
        pal.setColor(QPalette::WindowText, QColor(ink));
        view->setPalette(pal);
        view->SetText("HIH");
        view->SetTextLeft(30);
        view->SetTextTop(90);
        view->SetTextShadow(c.shadow);
        view->SetTextShadowColor(RGB(255, 0, 0));
        view->SetTextTransParent(c.transparent);
        view->SetTextRotate(c.rotate);
        const QImage shot = Grab(*view);

        const QRect text = BoxOf(shot, ink), shadow = BoxOf(shot, red);
        ASSERT_FALSE(text.isEmpty());
        EXPECT_EQ(shadow.isEmpty(), !c.shadow);
        if (c.shadow) {
            EXPECT_EQ(shadow.bottomRight(), text.bottomRight() + QPoint(2, 2));
        }
        // Opaque text fills its cell with the control's colour.
        EXPECT_EQ(BoxOf(shot, BackPixel()).isEmpty(), c.transparent);
        if (c.rotate == 0) {
            EXPECT_GE(text.top(), 90);
            EXPECT_GT(text.width(), text.height());
        } else {
            // Turned counter-clockwise about (30, 90): it climbs from there.
            EXPECT_GE(text.left(), 30);
            EXPECT_LE(text.bottom(), 90);
            EXPECT_GT(text.height(), text.width());
        }
    }
}

struct TransitionCase {
    const char* name;
    DllSP96::TFXMethod method;
    bool stretch;
    QSize picture; // size the picture has afterwards
};

TEST(StillViewTransition, NewPictureArrivesAndNothingLeaks) {
    const auto dir = testsupport::tempDir("stillview-fx");
    QImage next(30, 20, QImage::Format_RGB32);
    next.fill(qRgb(0, 0, 255));
    const std::string file = (dir / "next.bmp").string();
    ASSERT_TRUE(next.save(QString::fromStdString(file), "BMP"));

    const TransitionCase cases[] = {
        {"horizontal", DllSP96::FXHorizontal, false, {30, 20}},
        {"rectangles", DllSP96::FXRectangles, false, {30, 20}},
        {"stretched picture takes the control's size", DllSP96::FXVertical, true, {60, 40}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QImage old(60, 40, QImage::Format_RGB32);
        old.fill(qRgb(255, 0, 0));
        auto view = MakeView(60, 40, old);
        view->show();
        view->PVUndo = false;
        view->FXMethod = c.method;
        view->FXDelay = 1;
        view->FXColRowThick = 4;
        view->SetStretch(c.stretch);
        // Watch the control while the transition runs: somewhere in between,
        // the new picture's area shows old and new pixels together.
        bool mixed = false;
        QTimer watch;
        watch.setInterval(0);
        QObject::connect(&watch, &QTimer::timeout, [&] {
            const QImage now = Grab(*view).copy(0, 0, 30, 20);
            mixed = mixed || (!BoxOf(now, qRgb(255, 0, 0)).isEmpty() &&
                              !BoxOf(now, qRgb(0, 0, 255)).isEmpty());
        });
        watch.start();
        const uint64_t objects = GdiObjectCount();
        view->SetImageName(file);
        EXPECT_EQ(GdiObjectCount(), objects);
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
        EXPECT_EQ(view->Picture().Width(), c.picture.width());
        EXPECT_EQ(view->Picture().Height(), c.picture.height());
        watch.stop();
        EXPECT_TRUE(mixed);
        const QImage shot = Grab(*view);
        EXPECT_EQ(shot.pixel(0, 0), qRgb(0, 0, 255));
        EXPECT_EQ(shot.pixel(29, 19), qRgb(0, 0, 255));
        EXPECT_EQ(shot.pixel(59, 39), c.stretch ? qRgb(0, 0, 255) : BackPixel());
    }
}

} // namespace

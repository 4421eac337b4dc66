// The scrolling message and credits on a real component: loading through
// ImageName, pacing by speed, wrap-around, the line sequence, colours and
// the pixels painted.
#include "TestSupport.h"
#include "WidgetSupport.h"
#include "imaging/still/ScrollTextFile.h"
#include "imaging/still/TPMultiImage.h"

#include <QFontMetrics>
#include <gtest/gtest.h>

namespace {

std::string WriteFixture(const std::string& name, const std::string& content) {
    const auto path = testsupport::tempDir("scrolltext") / name;
    testsupport::writeFile(path, std::vector<unsigned char>(content.begin(), content.end()));
    return path.string();
}

void Tick(TPMultiImage& w, int times = 1) {
    for (int i = 0; i < times; ++i) {
        w.ScrollTextTick();
        QCoreApplication::processEvents();
    }
}

// Bounds of the pixels that are clearly the given pure text colour (the
// anti-aliased edges are left out); an empty rectangle when none are.
QRect InkBounds(const QImage& image, QRgb ink) {
    int left = image.width(), right = -1, top = image.height(), bottom = -1;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            if (std::abs(qRed(p) - qRed(ink)) < 40 && std::abs(qGreen(p) - qGreen(ink)) < 40 &&
                std::abs(qBlue(p) - qBlue(ink)) < 40) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
    return right < 0 ? QRect() : QRect(QPoint(left, top), QPoint(right, bottom));
}

QRect Ink(TPMultiImage& w, QRgb ink) {
    return InkBounds(w.grab().toImage(), ink);
}

// Green bold text on black; no "/sp|", so speed 1.
const std::string kGreenMessage = "/fc|65280/fh|-24/fn|DejaVu Sans/ft|1000/bc|0/sm|WW/eo|";

TEST(ScrollMessage, LoadedFileSetsColourAndMovesOnePixelEverySecondTick) {
    testsupport::widgetApp();
    TPMultiImage w;
    w.resize(120, 40);
    w.SetColor(RGB(10, 20, 30));
    w.SetImageName(WriteFixture("green.scm", kGreenMessage));
    ASSERT_TRUE(w.ScrollTextRunning());
    EXPECT_EQ(w.Color(), 0u);
    EXPECT_EQ(w.ScrollSpeed, 1);
    EXPECT_EQ(w.ScrollMessage, "WW");
    // It starts just beyond the right edge.
    EXPECT_TRUE(Ink(w, qRgb(0, 255, 0)).isNull());

    // The paint event and the overlay follow the scrolling text as they
    // follow a picture.
    int paints = 0;
    w.OnPaint = [&](TPMultiImage*) { ++paints; };
    w.SetText("X");
    w.grab();
    EXPECT_GT(paints, 0);
    w.SetText("");
    w.OnPaint = nullptr;

    Tick(w, 80); // 40 steps: the text's left end at 80
    const QRect start = Ink(w, qRgb(0, 255, 0));
    ASSERT_FALSE(start.isNull());
    EXPECT_GE(start.left(), 80);
    EXPECT_LE(start.left(), 84);
    // Vertically centred.
    EXPECT_NEAR((start.top() + start.bottom()) / 2.0, 20.0, 4.0);
    // The background around it is the file's colour.
    EXPECT_EQ(w.grab().toImage().pixel(2, 2), qRgb(0, 0, 0));

    // Speed 1: one pixel on every second tick.
    int done = 0;
    for (int ticks : {1, 2, 3, 4, 10}) {
        Tick(w, ticks - done);
        done = ticks;
        EXPECT_EQ(Ink(w, qRgb(0, 255, 0)).left(), start.left() - ticks / 2) << ticks;
    }
    w.StopScrollText(false);
    EXPECT_FALSE(w.ScrollTextRunning());
    EXPECT_EQ(w.Color(), RGB(10, 20, 30));
}

TEST(ScrollMessage, RestartsAtTheRightEdgeAfterPassingTheLeft) {
    testsupport::widgetApp();
    TPMultiImage w;
    w.resize(60, 40);
    w.SetImageName(WriteFixture("fast.scm", kGreenMessage + "/sp|0"));
    ASSERT_TRUE(w.ScrollTextRunning());
    ASSERT_EQ(w.ScrollSpeed, 0);

    // Speed 0: one pixel per tick. Follow the text until it has gone off
    // the left and come back in from the right.
    bool seen = false, gone = false;
    int goneSteps = 0;
    for (int step = 0; step < 400; ++step) {
        Tick(w);
        const QRect ink = Ink(w, qRgb(0, 255, 0));
        if (!seen) {
            seen = !ink.isNull();
        } else if (!gone) {
            gone = ink.isNull();
        } else if (ink.isNull()) {
            ++goneSteps;
        } else {
            EXPECT_GE(ink.left(), 55) << "re-entered away from the right edge";
            EXPECT_LE(goneSteps, 12) << "stayed away too long";
            return;
        }
    }
    FAIL() << "the message never came back (seen " << seen << ", gone " << gone << ")";
}

// Credits in white on blue from a caller-filled list.
void FillCredits(TPMultiImage& w, std::vector<std::string> lines, int speed) {
    w.ScrollFont = QFont("DejaVu Sans");
    w.ScrollFont.setPixelSize(16);
    w.ScrollFont.setBold(true);
    w.ScrollFontColor = RGB(255, 255, 255);
    w.ScrollBackColor = RGB(0, 0, 255);
    w.ScrollSpeed = speed;
    w.CreditLines = std::move(lines);
}

// Ticks until the shown line changes (bounded).
int TicksToNextLine(TPMultiImage& w) {
    const int index = w.CreditIndex;
    for (int ticks = 1; ticks < 5000; ++ticks) {
        Tick(w);
        if (w.CreditIndex != index) return ticks;
    }
    return -1;
}

TEST(ScrollCredits, EachLineRisesFromTheBottomAtTheSpeedsPace) {
    testsupport::widgetApp();
    for (int speed : {0, 1, 3}) {
        SCOPED_TRACE(speed);
        TPMultiImage w;
        w.resize(100, 50);
        FillCredits(w, {"One", "Two", "Three"}, speed);
        w.ShowCreditLine();
        ASSERT_TRUE(w.ScrollTextRunning());
        EXPECT_EQ(w.Color(), RGB(0, 0, 255));
        // From the bottom edge to more than 5 pixels above the top.
        const int lineHeight = QFontMetrics(w.ScrollFont).height();
        const int pixels = 50 + lineHeight + 6;
        EXPECT_EQ(TicksToNextLine(w), pixels * (speed + 1));
        EXPECT_EQ(w.CreditIndex, 1);
        EXPECT_EQ(TicksToNextLine(w), pixels * (speed + 1));
        EXPECT_EQ(TicksToNextLine(w), pixels * (speed + 1));
        EXPECT_EQ(w.CreditIndex, 0) << "after the last line the first follows";
    }
}

TEST(ScrollCredits, LineIsCentredInTheFontColour) {
    testsupport::widgetApp();
    TPMultiImage w;
    w.resize(160, 60);
    FillCredits(w, {"HHHH"}, 0);
    w.ShowCreditLine();
    EXPECT_TRUE(Ink(w, qRgb(255, 255, 255)).isNull()) << "starts below the bottom edge";
    Tick(w, 40);
    const QRect ink = Ink(w, qRgb(255, 255, 255));
    ASSERT_FALSE(ink.isNull());
    EXPECT_NEAR((ink.left() + ink.right()) / 2.0, 80.0, 6.0);
    EXPECT_GE(ink.top(), 20);
    Tick(w, 5);
    EXPECT_EQ(Ink(w, qRgb(255, 255, 255)).top(), ink.top() - 5);
    EXPECT_EQ(w.grab().toImage().pixel(1, 1), qRgb(0, 0, 255));
}

TEST(ScrollCredits, ShowCreditLineIndexAndEmptyList) {
    testsupport::widgetApp();
    TPMultiImage w;
    w.resize(100, 50);
    w.SetColor(RGB(1, 2, 3));

    FillCredits(w, {}, 0);
    w.ShowCreditLine();
    EXPECT_FALSE(w.ScrollTextRunning());
    EXPECT_EQ(w.Color(), RGB(1, 2, 3));

    const struct {
        int index;
        int shown;
    } rows[] = {{1, 1}, {2, 2}, {3, 0}, {99, 0}, {-4, 0}};
    for (const auto& r : rows) {
        SCOPED_TRACE(r.index);
        FillCredits(w, {"a", "b", "c"}, 0);
        w.CreditIndex = r.index;
        w.ShowCreditLine();
        EXPECT_TRUE(w.ScrollTextRunning());
        EXPECT_EQ(w.CreditIndex, r.shown);
    }
    // Showing lines again and again keeps the colour from before the first.
    w.StopScrollText(false);
    EXPECT_EQ(w.Color(), RGB(1, 2, 3));
}

TEST(ScrollText, StopRestoresColourClearsPictureWhenAskedAndHaltsSteps) {
    testsupport::widgetApp();
    TPMultiImage w;
    w.resize(100, 50);
    w.SetColor(RGB(7, 8, 9));
    QImage picture(8, 8, QImage::Format_RGB32);
    picture.fill(Qt::yellow);

    for (bool clear : {false, true}) {
        SCOPED_TRACE(clear);
        ASSERT_TRUE(w.Picture().AssignImage(picture));
        FillCredits(w, {"x"}, 0);
        w.CreditIndex = 0;
        w.ShowCreditLine();
        EXPECT_EQ(w.Color(), RGB(0, 0, 255));
        w.StopScrollText(clear);
        EXPECT_FALSE(w.ScrollTextRunning());
        EXPECT_EQ(w.Color(), RGB(7, 8, 9));
        EXPECT_EQ(w.Picture().Empty(), clear);
        Tick(w, 200);
        EXPECT_EQ(w.CreditIndex, 0) << "no steps after the stop";
    }
}

TEST(ScrollText, TickStepsThePartners) {
    testsupport::widgetApp();
    TPMultiImage driver, partner1, partner2;
    for (TPMultiImage* w : {&partner1, &partner2}) {
        w->resize(40, 10);
        FillCredits(*w, {"a", "b"}, 0);
        w->ShowCreditLine();
    }
    driver.ScrollPartner1 = &partner1;
    driver.ScrollPartner2 = &partner2;
    Tick(driver, 10 + QFontMetrics(partner1.ScrollFont).height() + 6);
    EXPECT_EQ(partner1.CreditIndex, 1);
    EXPECT_EQ(partner2.CreditIndex, 1);
    EXPECT_FALSE(driver.ScrollTextRunning());
}

TEST(ScrollText, CreditsFileThenMessageFileThenStop) {
    testsupport::widgetApp();
    TPMultiImage w;
    w.resize(100, 50);
    w.SetColor(RGB(5, 5, 5));
    w.SetImageName(WriteFixture("c.cms", "Title\n16777215\n-14\nDejaVu Sans\n\n1000\n"
                                         "65280\n2\nfirst\nsecond\n"));
    ASSERT_TRUE(w.ScrollTextRunning());
    EXPECT_EQ(w.Color(), 65280u);
    EXPECT_EQ(w.ScrollFontColor, 16777215u);
    EXPECT_EQ(w.ScrollFont.pixelSize(), 14);
    EXPECT_TRUE(w.ScrollFont.bold());
    EXPECT_EQ(w.ScrollSpeed, 2);
    EXPECT_EQ(w.CreditLines, (std::vector<std::string>{"first", "second"}));
    EXPECT_EQ(w.CreditIndex, 0);

    // A message replaces the credits; stopping it brings back the colour
    // from before the credits.
    // A size in points counts only without a height.
    w.SetImageName(WriteFixture("m.scm", "/fh|-20/fs|12/eo|"));
    EXPECT_EQ(w.ScrollFont.pixelSize(), 20);
    w.SetImageName(WriteFixture("m.scm", "/bc|255/fs|12/eo|"));
    EXPECT_EQ(w.ScrollFont.pixelSize(), 16);
    EXPECT_EQ(w.Color(), 255u);
    EXPECT_EQ(w.ScrollMessage, " Invallid message format ! ");
    w.StopScrollText(false);
    EXPECT_EQ(w.Color(), RGB(5, 5, 5));
}

TEST(ScrollText, HostileFilesRunBounded) {
    testsupport::widgetApp();
    std::string binary(3 << 20, '\0');
    for (std::size_t i = 0; i < binary.size(); ++i)
        binary[i] = char((i * 2654435761u) >> 13);
    std::string longLines = "T\n1\n-99999\nX\n99999\n1111\n0\n-7\n";
    for (int i = 0; i < 20000; ++i)
        longLines += std::string(3000, 'W') + "\n";
    const std::string files[][2] = {
        {"binary.scm", binary},
        {"binary.cms", binary},
        {"huge.scm", "/fh|-2147483648/fs|999999/sp|-99/sm|" + std::string(100000, 'W') + "/eo|"},
        {"cell.scm", "/fh|2147483647/sm|tall/eo|"},
        {"long.cms", longLines},
    };
    for (const auto& f : files) {
        SCOPED_TRACE(f[0]);
        TPMultiImage w;
        w.resize(80, 30);
        w.SetImageName(WriteFixture(f[0], f[1]));
        EXPECT_LE(QFontMetrics(w.ScrollFont).height(), 2 * scrolltext::kMaxFontPixels);
        EXPECT_GE(w.ScrollSpeed, 0);
        Tick(w, 3);
        EXPECT_FALSE(w.grab().toImage().isNull());
    }
}

} // namespace

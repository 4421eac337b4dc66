// The about window: picture, version line, the credits restarting on each
// showing and rising in white on black, and the timer that drives them
// running only while the window shows.
#include "ModalDriver.h"
#include "WidgetSupport.h"
#include "app/TAboutBox.h"
#include "imaging/still/TPMultiImage.h"

#include <QFontMetrics>
#include <QLabel>
#include <QTimer>

using namespace dialogtest;

namespace {

const QRgb kWhite = qRgb(255, 255, 255);

void Tick(TPMultiImage* credits, int times) {
    for (int i = 0; i < times; ++i) {
        credits->ScrollTextTick();
        QApplication::processEvents();
    }
}

QRect Credits(TAboutBox& box) {
    return InkBounds(box.PMultiImage1->grab().toImage(), kWhite);
}

} // namespace

TEST(AboutBox, ShowsTheLibraryVersionAndThePicture) {
    testsupport::widgetApp();
    TAboutBox box;
    box.show();
    EXPECT_EQ(box.Label1->text(), "Pictavo Version Build: 4");
    EXPECT_EQ(box.Client->size(), QSize(554, 293));
    // Black client, white maker texts.
    const QImage client = box.Client->grab().toImage();
    EXPECT_EQ(client.pixel(2, 2), qRgb(0, 0, 0));
    EXPECT_FALSE(InkBounds(box.Label2->grab().toImage(), kWhite).isEmpty());
    // The splash is stretched over the whole picture box: its dark blue
    // corner at the top-left and its orange corner at the bottom-right.
    const QImage picture = box.Image1->grab().toImage();
    ASSERT_EQ(picture.size(), box.Image1->size());
    const QRgb topLeft = picture.pixel(1, 1);
    const QRgb bottomRight = picture.pixel(picture.width() - 2, picture.height() - 2);
    EXPECT_GT(qBlue(topLeft), qRed(topLeft) + 40);
    EXPECT_GT(qRed(bottomRight), qBlue(bottomRight) + 100);
    EXPECT_GT(qGreen(bottomRight), 100);
}

TEST(AboutBox, CreditsRiseInWhiteAndStartAgainOnEachShowing) {
    testsupport::widgetApp();
    TAboutBox box;
    const QStringList& lines = TAboutBox::CreditTexts();
    ASSERT_EQ(lines.size(), 15);
    for (const QString& line : lines)
        EXPECT_TRUE(line.startsWith(' ')) << line.toStdString();
    EXPECT_TRUE(lines.contains(" Created by:"));

    // The test steps the credits itself; the window's activation, which
    // restarts them, is let through first.
    box.show();
    box.Timer1->stop();
    QApplication::processEvents();
    TPMultiImage* credits = box.PMultiImage1;
    ASSERT_TRUE(credits->ScrollTextRunning());
    EXPECT_EQ(credits->CreditIndex, 0);
    EXPECT_EQ(credits->CreditLines.size(), 15u);
    // Size -12 points: a 16-pixel cell, character height and leading together.
    EXPECT_EQ(credits->ScrollFont.family(), "Arial");
    EXPECT_LE(QFontMetrics(credits->ScrollFont).height(), 16);
    EXPECT_GE(QFontMetrics(credits->ScrollFont).height(), 14);
    EXPECT_EQ(credits->ScrollSpeed, 0);

    // The first line comes in from the bottom edge, one pixel per tick.
    Tick(credits, 30);
    const QRect first = Credits(box);
    ASSERT_FALSE(first.isEmpty());
    EXPECT_GT(first.bottom(), credits->height() - 31);
    Tick(credits, 10);
    EXPECT_EQ(Credits(box).top(), first.top() - 10);
    // Black everywhere but the text.
    EXPECT_EQ(credits->grab().toImage().pixel(1, 1), qRgb(0, 0, 0));

    // Line after line, until a few have gone by.
    for (int i = 0; i < 2000 && credits->CreditIndex < 3; ++i)
        Tick(credits, 1);
    ASSERT_GE(credits->CreditIndex, 3);

    // The second showing starts from the first line again, at the bottom.
    box.hide();
    box.show();
    box.Timer1->stop();
    QApplication::processEvents();
    EXPECT_EQ(credits->CreditIndex, 0);
    EXPECT_EQ(credits->CreditLines.size(), 15u);
    Tick(credits, 30);
    EXPECT_EQ(Credits(box), first);
}

TEST(AboutBox, TimerRunsOnlyWhileTheWindowShows) {
    testsupport::widgetApp();
    TAboutBox box;
    EXPECT_EQ(box.Timer1->interval(), 10);
    EXPECT_FALSE(box.Timer1->isActive());
    bool runningWhileShown = false;
    QRect early, later;
    OnModal([&](QWidget* modal) {
        ASSERT_EQ(modal, &box);
        runningWhileShown = box.Timer1->isActive();
        // The timer alone moves the credits up.
        RunFor(150);
        early = Credits(box);
        RunFor(150);
        later = Credits(box);
        box.close();
    });
    box.exec();
    EXPECT_TRUE(runningWhileShown);
    EXPECT_FALSE(box.Timer1->isActive());
    ASSERT_FALSE(early.isEmpty());
    ASSERT_FALSE(later.isEmpty());
    EXPECT_LT(later.top(), early.top());
}

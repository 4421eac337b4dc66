// Start-up order, the splash window's timing and its closing clicks.
#include "MainFormFixtures.h"
#include "TestSupport.h"
#include "WidgetSupport.h"

#include "app/SharedForms.h"
#include "app/Startup.h"
#include "app/TMainForm.h"
#include "app/TSPLForm.h"
#include "imaging/animated/PVWebImage.h"
#include "imaging/still/TPMultiImage.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPointer>
#include <QTimer>
#include <gtest/gtest.h>

using namespace mainform;

namespace {

void Click(QWidget* widget) {
    const QPointF at(widget->width() / 2.0, widget->height() / 2.0);
    const QPointF global = widget->mapToGlobal(at);
    QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &press);
    QCoreApplication::sendEvent(widget, &release);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void CloseSplash(QPointer<TSPLForm> splash) {
    if (splash) splash->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace

TEST(Startup, StepsRunInOrderAndTheSplashTimerFollowsTheArgument) {
    testsupport::widgetApp();
    const auto dir = testsupport::tempDir("mainform-start");
    WriteGif(dir / "spin.gif", {"red", "lime", "blue"}, 16, 12);
    struct Row {
        QStringList args;
        int interval;
        bool playing;
    };
    const Row rows[] = {
        {{}, 6000, false},
        {{QString::fromStdString((dir / "spin.gif").string())}, 1000, true},
        // A name that is not there still shortens the splash: it only asks
        // whether a name was given.
        {{QString::fromStdString((dir / "none.gif").string())}, 1000, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.args.join(" ").toStdString());
        const KeepCurrentFolder keep;
        TProgramStart start = StartProgram(row.args);
        EXPECT_EQ(start.Steps, (QStringList{"command line", "splash", "title", "TMainForm",
                                            "TYesNo", "TStatusForm"}));
        QPointer<TSPLForm> splash = start.Splash;
        ASSERT_TRUE(splash);
        EXPECT_TRUE(splash->isVisible());
        EXPECT_EQ(splash->Timer1->interval(), row.interval);
        EXPECT_TRUE(splash->Timer1->isActive()); // started by the show
        EXPECT_EQ(splash->PMultiImage1->ImageName(), "SPLASH.RES");
        EXPECT_GT(splash->PMultiImage1->ImageWidth, 0) << "the splash resource loads";
        EXPECT_EQ(QApplication::applicationDisplayName(), "Quillon's Zentrope");
        // The program's icon comes from the built-in resources.
        EXPECT_EQ(QApplication::windowIcon().pixmap(32, 32).width(), 32);
        ASSERT_TRUE(start.MainForm);
        EXPECT_TRUE(start.MainForm->isVisible());
        EXPECT_NE(YesNo, nullptr);
        EXPECT_NE(StatusForm, nullptr);
        EXPECT_TRUE(CommandLineFile().isEmpty()) << "the command-line file is opened once";
        EXPECT_EQ(start.MainForm->AniGifImage1->Playing(), row.playing);
        CloseSplash(splash);
        EXPECT_FALSE(splash) << "closing frees the splash";
        DestroySharedForms();
    }
}

TEST(Startup, SplashClosesOnItsTimerAndOnClicksOfSomeParts) {
    testsupport::widgetApp();
    struct Row {
        const char* part;
        QWidget* (*pick)(TSPLForm&);
        bool closes;
    };
    const Row rows[] = {
        {"panel", [](TSPLForm& f) -> QWidget* { return f.Panel1; }, true},
        {"title", [](TSPLForm& f) -> QWidget* { return f.Label1; }, true},
        {"first maker line", [](TSPLForm& f) -> QWidget* { return f.Label3; }, true},
        {"image", [](TSPLForm& f) -> QWidget* { return f.PMultiImage1; }, true},
        {"(tm)", [](TSPLForm& f) -> QWidget* { return f.Label2; }, false},
        {"second maker line", [](TSPLForm& f) -> QWidget* { return f.Label4; }, false},
        {"third maker line", [](TSPLForm& f) -> QWidget* { return f.Label5; }, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.part);
        QPointer<TSPLForm> splash = new TSPLForm;
        splash->show();
        EXPECT_EQ(splash->size(), QSize(363, 181));
        EXPECT_TRUE(splash->windowFlags() & Qt::WindowStaysOnTopHint);
        EXPECT_TRUE(splash->windowFlags() & Qt::FramelessWindowHint);
        Click(row.pick(*splash));
        EXPECT_EQ(splash.isNull(), row.closes);
        CloseSplash(splash);
    }

    // The timer's own event closes it too.
    QPointer<TSPLForm> splash = new TSPLForm;
    splash->Timer1->setInterval(1);
    splash->show();
    EXPECT_TRUE(WaitUntil(
        [&] {
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            return splash.isNull();
        },
        2000));
}

TEST(Startup, SplashIsWhiteWithAnItalicTitle) {
    testsupport::widgetApp();
    QPointer<TSPLForm> splash = new TSPLForm;
    splash->show();
    EXPECT_EQ(splash->Label1->text(), "Zentrope");
    EXPECT_TRUE(splash->Label1->font().italic());
    EXPECT_EQ(splash->Label1->font().pixelSize(), 24);
    EXPECT_EQ(splash->Label2->text(), "(tm)");
    EXPECT_EQ(splash->PMultiImage1->size(), QSize(361, 107));
    EXPECT_TRUE(splash->PMultiImage1->StretchRatio());
    // A spot of the panel that no child covers is white.
    EXPECT_EQ(PixelOf(splash, 300, 20), QColor(Qt::white));
    CloseSplash(splash);
}

// The what's-this popup: where it opens beside its target, what closes
// it, that only one shows at a time, and the explanations by control name.
#include "ModalDriver.h"
#include "WidgetSupport.h"
#include "app/TWhatsThisForm.h"

#include <QLabel>
#include <QMouseEvent>
#include <QScreen>
#include <QSpinBox>

using namespace dialogtest;

namespace {

// A window holding one spin box at a chosen global position.
struct Target {
    QWidget window;
    QSpinBox* spin;
    explicit Target(QPoint global, QSize size = {80, 24}) {
        window.setWindowFlags(Qt::FramelessWindowHint);
        window.setGeometry(QRect(global, size));
        spin = new QSpinBox(&window);
        spin->setObjectName("DelaySpin");
        spin->setGeometry(QRect(QPoint(0, 0), size));
        window.show();
        QApplication::processEvents();
    }
};

void MouseDown(QWidget* on, QPoint at) {
    QMouseEvent press(QEvent::MouseButtonPress, at, on->mapToGlobal(at), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(on, &press);
}

// Opens the popup on the target with the delay text; answers its geometry.
QRect PopupGeometry(QWidget* target) {
    WhatsThisTarget = target;
    QRect shown;
    OnModal([&](QWidget* popup) {
        shown = popup->geometry();
        PressKey(popup, Qt::Key_Space);
    });
    ShowWhatsThis(WhatsThisTextFor("DelaySpin"));
    return shown;
}

} // namespace

TEST(WhatsThis, OpensBesideTheTargetAndStaysOnTheScreen) {
    testsupport::widgetApp();
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    ASSERT_GT(screen.width(), 500);
    ASSERT_GT(screen.height(), 400);
    enum Side { Left, Right };
    enum Place { Below, Above };
    struct Row {
        const char* where;
        QPoint target; // relative to the screen's top-left (negative: from the far edge)
        Side side;
        Place place;
    };
    const Row rows[] = {
        {"middle", {200, 100}, Left, Below},
        {"right edge", {-90, 100}, Right, Below},
        {"bottom edge", {200, -40}, Left, Above},
        {"bottom-right corner", {-90, -40}, Right, Above},
    };
    for (const Row& row : rows) {
        const QPoint at(
            screen.x() + (row.target.x() < 0 ? screen.width() + row.target.x() : row.target.x()),
            screen.y() + (row.target.y() < 0 ? screen.height() + row.target.y() : row.target.y()));
        Target target(at);
        const QRect spin(target.spin->mapToGlobal(QPoint(0, 0)), target.spin->size());
        ASSERT_EQ(spin.topLeft(), at);
        const QRect popup = PopupGeometry(target.spin);
        ASSERT_FALSE(popup.isEmpty()) << row.where;
        if (row.side == Left)
            EXPECT_EQ(popup.left(), spin.left() + 1) << row.where;
        else // ends one pixel before the screen's right edge
            EXPECT_EQ(popup.left() + popup.width(), screen.x() + screen.width() - 1) << row.where;
        if (row.place == Below)
            EXPECT_EQ(popup.top(), spin.top() + spin.height() + 1) << row.where;
        else // its bottom meets the target's top
            EXPECT_EQ(popup.top() + popup.height(), spin.top()) << row.where;
        EXPECT_FALSE(WhatsThisShowing);
    }
}

TEST(WhatsThis, SizesItselfToTheText) {
    testsupport::widgetApp();
    TWhatsThisForm form;
    EXPECT_EQ(form.Txt->text(), "Information Text About this program");
    EXPECT_EQ(form.size(), QSize(427, 272));
    QSize previous;
    for (const char* name : {"LeftEdit", "DelaySpin"}) {
        form.SetWhatsThisText(WhatsThisTextFor(name));
        EXPECT_EQ(form.Txt->pos(), QPoint(6, 6));
        EXPECT_EQ(form.Txt->width(), 267);
        EXPECT_EQ(form.size(), QSize(267 + 12, form.Txt->height() + 30)) << name;
        // The hint stays 5 pixels above the bottom edge.
        EXPECT_EQ(form.Label1->y() + form.Label1->height(), form.height() - 5) << name;
        EXPECT_EQ(form.Label1->text(), " Click to close");
        // Word wrap: the longer explanation needs more lines, not more width.
        if (previous.isValid()) {
            EXPECT_GT(form.height(), previous.height());
        }
        previous = form.size();
    }
    form.show();
    const QImage pixels = form.grab().toImage();
    EXPECT_EQ(pixels.pixel(3, form.height() / 2),
              form.palette().color(QPalette::ToolTipBase).rgb());
}

TEST(WhatsThis, AnyClickOrKeyClosesIt) {
    testsupport::widgetApp();
    Target target({100, 100});
    struct Row {
        const char* how;
        std::function<void(TWhatsThisForm*)> act;
    };
    const Row rows[] = {
        {"key", [](TWhatsThisForm* f) { PressKey(f, Qt::Key_A); }},
        {"press on the text",
         [](TWhatsThisForm* f) {
             MouseDown(f->Txt, {5, 5});
         }},
        {"press on the hint",
         [](TWhatsThisForm* f) {
             MouseDown(f->Label1, {2, 2});
         }},
        {"press on the window",
         [](TWhatsThisForm* f) {
             MouseDown(f, {f->width() - 3, 3});
         }},
    };
    for (const Row& row : rows) {
        WhatsThisTarget = target.spin;
        bool acted = false;
        OnModal([&](QWidget* modal) {
            auto* form = qobject_cast<TWhatsThisForm*>(modal);
            ASSERT_NE(form, nullptr) << row.how;
            EXPECT_TRUE(WhatsThisShowing);
            EXPECT_EQ(form->Txt->text(), WhatsThisTextFor("NetLoopsSpin"));
            acted = true;
            row.act(form);
        });
        ShowWhatsThis(WhatsThisTextFor("NetLoopsSpin"));
        EXPECT_TRUE(acted) << row.how;
        EXPECT_FALSE(WhatsThisShowing) << row.how;
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << row.how;
    }
}

TEST(WhatsThis, OnePopupAtATimeAndNoneWithoutText) {
    testsupport::widgetApp();
    Target first({100, 100});
    Target second({300, 300});
    // No text: returns at once without a window.
    WhatsThisTarget = first.spin;
    ShowWhatsThis(QString());
    EXPECT_FALSE(WhatsThisShowing);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);

    // A second request while one is open is ignored.
    int nestedModals = 0;
    OnModal([&](QWidget* popup) {
        WhatsThisTarget = second.spin;
        ShowWhatsThis(WhatsThisTextFor("TopEdit")); // returns at once
        if (QApplication::activeModalWidget() != popup) ++nestedModals;
        EXPECT_EQ(qobject_cast<TWhatsThisForm*>(popup)->Txt->text(), WhatsThisTextFor("LeftEdit"));
        PressKey(popup, Qt::Key_Escape);
    });
    ShowWhatsThis(WhatsThisTextFor("LeftEdit"));
    EXPECT_EQ(nestedModals, 0);
    EXPECT_FALSE(WhatsThisShowing);
}

TEST(WhatsThis, ATargetFreedMeanwhileIsNoTarget) {
    testsupport::widgetApp();
    auto gone = std::make_unique<Target>(QPoint(100, 100));
    WhatsThisTarget = gone->spin;
    gone.reset();
    EXPECT_EQ(WhatsThisTarget.data(), nullptr);
    QRect shown;
    OnModal([&](QWidget* popup) {
        shown = popup->geometry();
        PressKey(popup, Qt::Key_Escape);
    });
    ShowWhatsThis(WhatsThisTextFor("DelaySpin"));
    // Centred on the screen instead.
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_LE((shown.center() - screen.center()).manhattanLength(), 2);
}

TEST(WhatsThis, ExplainsTheFrameAndScreenFields) {
    struct Row {
        const char* name;
        const char* startsWith;
        const char* contains;
    };
    const Row rows[] = {
        {"NetLoopsSpin", "Net loops lets the internet browser know", "animate untill the webpage"},
        {"ScreenHeightEdit", "ScreenHeight and ScreenWidth are", "left / rigth / up / down"},
        {"ScreenWidthEdit", "ScreenHeight and ScreenWidth are", "larger then the individual"},
        {"LeftEdit", "Frame Left and Frame Top are", "give animations a moving effect"},
        {"TopEdit", "Frame Left and Frame Top are", "screen height/width dimensions."},
        {"DelaySpin", "The delay plays an important factor", "might be diferrent translated"},
        {"FrameList", "", ""},
        {"delayspin", "", ""},
        {"", "", ""},
    };
    for (const Row& row : rows) {
        const QString text = WhatsThisTextFor(row.name);
        if (*row.startsWith == 0) {
            EXPECT_TRUE(text.isEmpty()) << row.name;
            continue;
        }
        EXPECT_TRUE(text.startsWith(row.startsWith)) << row.name;
        EXPECT_TRUE(text.contains(row.contains)) << row.name;
    }
    EXPECT_EQ(WhatsThisTextFor("ScreenHeightEdit"), WhatsThisTextFor("ScreenWidthEdit"));
    EXPECT_EQ(WhatsThisTextFor("LeftEdit"), WhatsThisTextFor("TopEdit"));
    EXPECT_TRUE(WhatsThisTextFor("DelaySpin")
                    .endsWith("Netscape's / Internet Explorer's delay might be less/more then "
                              "seen here in this program"));
    EXPECT_TRUE(WhatsThisTextFor("NetLoopsSpin").endsWith("untill the webpage is closed"));
}

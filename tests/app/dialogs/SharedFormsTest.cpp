// The shared confirmation and status windows and the title bars of the
// small windows: real windows, driven through their own event loops.
#include "app/SharedForms.h"
#include "ModalDriver.h"
#include "WidgetSupport.h"
#include "app/ModalResult.h"
#include "app/TAboutBox.h"
#include "app/TMSOfficeCaption.h"
#include "app/TStatusForm.h"
#include "app/TYesNo.h"

#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QToolButton>

using namespace dialogtest;

namespace {

struct SharedForms {
    SharedForms() {
        testsupport::widgetApp();
        CreateSharedForms();
    }
    ~SharedForms() { DestroySharedForms(); }
};

void ExpectCentred(QWidget* window) {
    const QRect screen = window->screen()->geometry();
    const QRect frame = window->frameGeometry();
    EXPECT_LE(std::abs(frame.center().x() - screen.center().x()), 1) << frame.x();
    EXPECT_LE(std::abs(frame.center().y() - screen.center().y()), 1) << frame.y();
}

} // namespace

TEST(YesNo, OnlyTheYesButtonConfirms) {
    SharedForms forms;
    struct Row {
        const char* how;
        std::function<void(TYesNo*)> answer;
        int result;
    };
    const Row rows[] = {
        {"Yes button", [](TYesNo* w) { w->BitBtn1->click(); }, mrYes},
        {"No button", [](TYesNo* w) { w->BitBtn2->click(); }, mrNo},
        {"close box",
         [](TYesNo* w) {
             auto* close = w->findChild<QToolButton*>("CloseButton");
             ASSERT_NE(close, nullptr);
             ASSERT_TRUE(close->isVisible());
             close->click();
         },
         mrCancel},
        {"Escape", [](TYesNo* w) { PressKey(w->BitBtn1, Qt::Key_Escape); }, mrCancel},
    };
    for (const Row& row : rows) {
        const QString question = QString("Delete with %1 ?").arg(row.how);
        QString shownText;
        bool wasCentred = false;
        OnModal([&](QWidget* modal) {
            ASSERT_EQ(modal, YesNo);
            shownText = YesNo->Cap->text();
            ExpectCentred(YesNo);
            wasCentred = true;
            row.answer(YesNo);
        });
        const bool confirmed = ConfirmYes(question);
        EXPECT_EQ(confirmed, row.result == mrYes) << row.how;
        EXPECT_EQ(YesNo->result(), row.result) << row.how;
        EXPECT_EQ(shownText, question) << row.how;
        EXPECT_TRUE(wasCentred) << row.how;
        EXPECT_FALSE(YesNo->isVisible()) << row.how;
        // The window keeps its last question between uses.
        EXPECT_EQ(YesNo->Cap->text(), question);
    }
}

TEST(YesNo, ControlsSitWhereTheLayoutPutsThem) {
    SharedForms forms;
    YesNo->show();
    EXPECT_EQ(YesNo->Client->size(), QSize(367, 112));
    EXPECT_EQ(YesNo->Cap->geometry(), QRect(8, 14, 353, 53));
    EXPECT_TRUE(YesNo->Cap->wordWrap());
    EXPECT_TRUE(YesNo->Cap->alignment() & Qt::AlignHCenter);
    EXPECT_EQ(YesNo->BitBtn1->pos(), QPoint(88, 72));
    EXPECT_EQ(YesNo->BitBtn2->pos(), QPoint(208, 72));
    EXPECT_EQ(YesNo->BitBtn1->text(), "&Yes");
    EXPECT_EQ(YesNo->BitBtn2->text(), "&No");
    YesNo->hide();
}

TEST(SmallWindows, CarryTheProgramsTitleBar) {
    SharedForms forms;
    TAboutBox about;
    struct Row {
        QWidget* window;
        TMSOfficeCaption* caption;
        QWidget* client;
        QString title;
        QSize clientSize;
        TFormBorderStyle style;
        bool closeBox;
    };
    const Row rows[] = {
        {YesNo,
         YesNo->MSOfficeCaption1,
         YesNo->Client,
         "Please confirm",
         {367, 112},
         bsToolWindow,
         true},
        {StatusForm,
         StatusForm->MSOfficeCaption1,
         StatusForm->Client,
         "Status",
         {282, 77},
         bsToolWindow,
         false},
        {&about,
         about.MSOfficeCaption1,
         about.Client,
         "Who's responsible ?",
         {554, 293},
         bsDialog,
         true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.title.toStdString());
        ASSERT_NE(row.caption, nullptr);
        row.window->show();
        EXPECT_EQ(row.window->windowTitle(), row.title);
        EXPECT_EQ(row.caption->CompanyText().Caption(), "Quillon -");
        EXPECT_EQ(row.caption->CompanyText().FontKind(), fkSystemBI);
        EXPECT_EQ(row.caption->AppNameText().Caption(), "Zentrope -");
        EXPECT_EQ(row.caption->AppNameText().FontKind(), fkSystemB);
        EXPECT_EQ(row.caption->CaptionText().Caption(), row.title);
        EXPECT_EQ(row.caption->CaptionText().FontKind(), fkSystem);
        EXPECT_EQ(row.caption->BorderStyle(), row.style);
        auto* close = row.window->findChild<QToolButton*>("CloseButton");
        ASSERT_NE(close, nullptr);
        EXPECT_EQ(close->isVisible(), row.closeBox);
        // The client keeps its size below the bar, inside the window.
        EXPECT_EQ(row.client->size(), row.clientSize);
        EXPECT_GE(row.client->y(), row.caption->CaptionHeight());
        EXPECT_TRUE(row.window->rect().contains(row.client->geometry()));
        ExpectCentred(row.window);
        row.window->hide();
    }
}

TEST(StatusForm, ShowsEachStepWithoutBlocking) {
    SharedForms forms;
    EXPECT_EQ(StatusForm->Stat->text(), "Stat");
    EXPECT_EQ(StatusForm->Stat->geometry().topLeft(), QPoint(8, 28));
    EXPECT_EQ(StatusForm->Stat->width(), 265);

    StatusForm->ShowStatus("Adding frame 1");
    EXPECT_TRUE(StatusForm->isVisible());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    ExpectCentred(StatusForm);

    const QRgb ink = StatusForm->Stat->palette().color(QPalette::WindowText).rgb();
    QRect previous;
    for (const QString text : {"Adding frame 2", "Adding frame 12", "Adding frame 123"}) {
        StatusForm->SetStatus(text);
        EXPECT_EQ(StatusForm->Stat->text(), text);
        const QRect drawn = InkBounds(StatusForm->Stat->grab().toImage(), ink, 60);
        ASSERT_FALSE(drawn.isEmpty()) << text.toStdString();
        // Centred: a longer text grows to both sides.
        EXPECT_LE(std::abs(drawn.center().x() - 265 / 2), 3) << text.toStdString();
        if (!previous.isEmpty()) {
            EXPECT_LT(drawn.left(), previous.left());
            EXPECT_GT(drawn.right(), previous.right());
        }
        previous = drawn;
    }
    // A second show keeps the window where it is and just changes the text.
    const QPoint where = StatusForm->pos();
    StatusForm->move(where + QPoint(10, 10));
    StatusForm->ShowStatus("Resizing frame 4");
    EXPECT_EQ(StatusForm->pos(), where + QPoint(10, 10));
    EXPECT_EQ(StatusForm->Stat->text(), "Resizing frame 4");

    StatusForm->HideStatus();
    EXPECT_FALSE(StatusForm->isVisible());
    EXPECT_EQ(StatusForm->Stat->text(), "Resizing frame 4");
}

// The program's message handler: a platform message becomes a real modal
// box with the text and an OK button, and ShowMessage returns once it closes.
#include "imaging/common/MessageBox.h"
#include "WidgetSupport.h"
#include "platform/Message.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QTimer>
#include <gtest/gtest.h>

TEST(MessageBoxHandler, ShowsTheTextModallyUntilOk) {
    testsupport::widgetApp();
    InstallMessageBoxHandler();
    QString seenText;
    int buttons = -1;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        seenText = box->text();
        buttons = int(box->buttons().size());
        box->button(QMessageBox::Ok)->click();
    });
    ShowMessage("The BMP pixel data ends before the picture is complete.");
    SetMessageHandler(nullptr, nullptr);
    EXPECT_EQ(seenText, "The BMP pixel data ends before the picture is complete.");
    EXPECT_EQ(buttons, 1);
}

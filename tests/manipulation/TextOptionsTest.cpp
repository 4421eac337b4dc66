// The text options dialog: sample, transparency, font and colour dialogs, results.
#include "ManipulationSupport.h"
#include "app/ModalResult.h"
#include "manipulation/TTOptionForm.h"

#include <QCheckBox>
#include <QFontDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <gtest/gtest.h>

using manip::ChooseColour;

TEST(TextOptions, SampleFollowsEveryChange) {
    testsupport::widgetApp();
    TTOptionForm form;
    form.Load("Hello", QFont("DejaVu Sans", 14), Qt::blue, Qt::yellow, false);
    EXPECT_EQ(form.Label3->text(), "Hello");
    EXPECT_EQ(form.Label3->font().pointSize(), 14);
    EXPECT_EQ(form.Label3->palette().color(QPalette::WindowText), QColor(Qt::blue));
    EXPECT_TRUE(form.Label3->autoFillBackground());
    EXPECT_FALSE(form.BackgroundGroup->isHidden());
    form.TransparentBox->click();
    EXPECT_TRUE(form.BackgroundGroup->isHidden());
    EXPECT_FALSE(form.Label3->autoFillBackground());
    form.TransparentBox->click();
    EXPECT_FALSE(form.BackgroundGroup->isHidden());
    form.Edit1->setText("Bye");
    EXPECT_EQ(form.Label3->text(), "Bye");

    ChooseColour(QColor(1, 2, 3));
    form.ColorBtn->click();
    EXPECT_EQ(form.Color(), QColor(1, 2, 3));
    EXPECT_EQ(form.Label3->palette().color(QPalette::Window), QColor(1, 2, 3));

    // The font dialog gives the font and, from its effects box, the text colour.
    ASSERT_NE(form.FontColorBtn, nullptr);
    dialogtest::OnModal([&form](QWidget* modal) {
        auto* dialog = qobject_cast<QFontDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        dialog->setCurrentFont(QFont("DejaVu Sans", 20));
        ChooseColour(QColor(200, 0, 0));
        form.FontColorBtn->click();
        dialog->accept();
    });
    form.FontBtn->click();
    EXPECT_EQ(form.Font().pointSize(), 20);
    EXPECT_EQ(form.FontColor(), QColor(200, 0, 0));
    EXPECT_EQ(form.Label3->font().pointSize(), 20);
    EXPECT_EQ(form.Label3->palette().color(QPalette::WindowText), QColor(200, 0, 0));
}

TEST(TextOptions, ButtonsSetTheCommitFlag) {
    testsupport::widgetApp();
    TTOptionForm form;
    form.Load("Text on Image", QFont(), Qt::black, Qt::white, true);
    EXPECT_TRUE(form.BackgroundGroup->isHidden());
    struct Row {
        QPushButton* button;
        int result;
        bool commit;
    };
    for (const Row& row : {Row{form.CommitBtn, mrOk, true}, Row{form.ViewBtn, mrOk, false},
                           Row{form.CommitBtn, mrOk, true}, Row{form.CancelBtn, mrCancel, true}}) {
        SCOPED_TRACE(row.button->text().toStdString());
        dialogtest::OnModal([&row](QWidget* modal) {
            EXPECT_EQ(modal->focusWidget(), static_cast<TTOptionForm*>(modal)->Edit1);
            row.button->click();
        });
        EXPECT_EQ(form.exec(), row.result);
        EXPECT_EQ(form.Commit, row.commit);
    }
    EXPECT_EQ(form.Text(), "Text on Image");
    EXPECT_TRUE(form.Transparent());
}

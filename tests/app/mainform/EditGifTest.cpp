// "Edit Gif": the editor works on the main window's own lists, and what it
// leaves comes back into the main window's component.
#include "MainFormFixtures.h"
#include "TestSupport.h"
#include "WidgetSupport.h"
#include "app/dialogs/ModalDriver.h"
#include "editor/EditorTestSupport.h"

#include "app/THelpWindow.h"
#include "app/TMainForm.h"
#include "app/TYesNo.h"
#include "editor/TGifEdit.h"
#include "imaging/animated/PVWebImage.h"
#include "imaging/still/TPMultiImage.h"

#include <QAction>
#include <QColorDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QToolButton>
#include <cstdlib>
#include <gtest/gtest.h>

using namespace mainform;

TEST(EditGif, AStillBecomesOneFrameAndTheEditedScreenComesBack) {
    testsupport::widgetApp();
    const auto dir = testsupport::tempDir("mainform-edit");
    WriteStill(dir / "photo.jpg", QColor(200, 30, 30), 48, 32);
    WriteGif(dir / "anim.gif", {"red", "blue", "lime"}, 30, 20);
    TMainForm form;
    form.show();

    form.OpenFile(QString::fromStdString((dir / "photo.jpg").string()),
                  TMainForm::TOpenFrom::OpenDialog);
    ASSERT_TRUE(form.MultiImage1->isVisibleTo(form.ImageHolder));
    TFrameList* seen = nullptr;
    dialogtest::OnModal([&](QWidget* w) {
        auto* edit = qobject_cast<TGifEdit*>(w);
        ASSERT_NE(edit, nullptr);
        seen = edit->FFrameList;
        EXPECT_EQ(edit->Frames->text(), "1");
        EXPECT_EQ(edit->GifNameBox->item(0)->text(), "New Frame");
        EXPECT_FALSE(edit->LeftEdit->isEnabled());
        edit->CloseWindow->click();
    });
    form.Editor->click();
    EXPECT_EQ(seen, form.AniGifImage1->Frames()) << "the editor gets the list itself";
    EXPECT_TRUE(form.AniGifImage1->isVisibleTo(form.ImageHolder));
    EXPECT_FALSE(form.MultiImage1->isVisibleTo(form.ImageHolder));
    EXPECT_TRUE(form.PlayGif->isEnabled());
    EXPECT_EQ(form.AniGifImage1->size(), QSize(48, 32)) << "closing at once keeps the screen";

    // The menu opens it too; a changed delay and screen size stay.
    form.OpenFile(QString::fromStdString((dir / "anim.gif").string()),
                  TMainForm::TOpenFrom::OpenDialog);
    ASSERT_EQ(form.AniGifImage1->Frames()->size(), 3u);
    dialogtest::OnModal([](QWidget* w) {
        auto* edit = static_cast<TGifEdit*>(w);
        EXPECT_EQ(edit->Frames->text(), "3");
        edit->GifNameBox->setCurrentRow(1);
        edit->LoadFrameIntoPanels();
        // Help asked for in the modal editor is a window of the editor's,
        // which the editor's modality does not block.
        dialogtest::PressKey(edit->DelaySpin, Qt::Key_F1);
        ASSERT_NE(HelpWindow(), nullptr);
        EXPECT_EQ(HelpWindow()->parentWidget(), edit);
        EXPECT_EQ(HelpWindow()->CurrentPage(), "frameinfo.html");
        edit->DelaySpin->setValue(55);
        edit->ScreenWidthEdit->setValue(70);
        edit->ScreenHeightEdit->setValue(45);
        // The back colour chosen in the editor becomes the component's.
        dialogtest::OnModal([](QWidget* colours) {
            static_cast<QColorDialog*>(colours)->setCurrentColor(QColor(1, 2, 3));
            static_cast<QDialog*>(colours)->accept();
        });
        editortest::Press(edit->Panel5, QPoint(3, 3), Qt::LeftButton);
        edit->Exit1->trigger();
    });
    form.EditGifs1->trigger();
    EXPECT_EQ((*form.AniGifImage1->Frames())[1]->Delay, 55);
    EXPECT_EQ(form.AniGifImage1->size(), QSize(70, 45));
    EXPECT_EQ(form.AniGifImage1->Frames()->front()->ScreenWidth, 70);
    EXPECT_EQ(form.AniGifImage1->MapTransparentColor, RGB(1, 2, 3));
    EXPECT_EQ(form.AniGifImage1->Frames()->front()->BackgroundColor, RGB(1, 2, 3));

    // A GIF of one plain image opens as a lone picture; the editor gets it
    // as one frame.
    const auto plain = dir / "plain.gif";
    ASSERT_EQ(
        std::system(
            ("/usr/bin/convert -size 40x30 gradient:red-blue '" + plain.string() + "'").c_str()),
        0);
    // The edits were not saved: opening another file asks first.
    EXPECT_TRUE(form.AnimationModified());
    dialogtest::OnModal([](QWidget* w) {
        auto* question = qobject_cast<TYesNo*>(w);
        ASSERT_NE(question, nullptr);
        EXPECT_EQ(question->Cap->text(),
                  "The animation has changes that are not saved. Discard them?");
        question->BitBtn1->click();
    });
    form.OpenFile(QString::fromStdString(plain.string()), TMainForm::TOpenFrom::OpenDialog);
    EXPECT_FALSE(form.AnimationModified());
    ASSERT_TRUE(form.AniGifImage1->Frames()->empty());
    dialogtest::OnModal([](QWidget* w) {
        EXPECT_EQ(static_cast<TGifEdit*>(w)->Frames->text(), "1");
        static_cast<TGifEdit*>(w)->CloseWindow->click();
    });
    form.Editor->click();
    ASSERT_EQ(form.AniGifImage1->Frames()->size(), 1u);
    EXPECT_EQ(form.AniGifImage1->Frames()->front()->Width, 40);
    EXPECT_NE(form.AniGifImage1->Frames()->front()->DibHandle, 0u);
}

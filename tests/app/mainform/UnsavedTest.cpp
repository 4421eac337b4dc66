// Unsaved changes are never dropped without a question, and files dropped
// on the window open as a click in the file list opens them.
#include "MainFormFixtures.h"
#include "TestSupport.h"
#include "WidgetSupport.h"
#include "app/dialogs/ModalDriver.h"

#include "app/TMainForm.h"
#include "app/TYesNo.h"
#include "editor/TGifEdit.h"
#include "imaging/animated/PVWebImage.h"
#include "imaging/still/TPMultiImage.h"

#include <QDropEvent>
#include <QLabel>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QSpinBox>
#include <QToolButton>
#include <QUrl>
#include <functional>
#include <gtest/gtest.h>

using namespace mainform;

namespace {

QString Q(const std::filesystem::path& path) {
    return QString::fromStdString(path.string());
}

// The editor changes frame 2's delay and closes without saving.
void EditDelay(TMainForm& form) {
    dialogtest::OnModal([](QWidget* w) {
        auto* edit = static_cast<TGifEdit*>(w);
        edit->GifNameBox->setCurrentRow(1);
        edit->LoadFrameIntoPanels();
        edit->DelaySpin->setValue(55);
        edit->CloseWindow->click();
    });
    form.Editor->click();
}

void Answer(bool yes) {
    dialogtest::OnModal([yes](QWidget* w) {
        auto* question = qobject_cast<TYesNo*>(w);
        ASSERT_NE(question, nullptr);
        EXPECT_EQ(question->Cap->text(),
                  "The animation has changes that are not saved. Discard them?");
        (yes ? question->BitBtn1 : question->BitBtn2)->click();
    });
}

} // namespace

TEST(Unsaved, EachWayOutAsksAndNoKeepsTheAnimation) {
    testsupport::widgetApp();
    const auto dir = testsupport::tempDir("mainform-unsaved");
    WriteGif(dir / "anim.gif", {"red", "blue", "lime"}, 30, 20);
    WriteGif(dir / "other.gif", {"red", "lime"}, 10, 10);
    WriteStill(dir / "photo.jpg", QColor(10, 200, 30), 16, 16);

    struct Way {
        const char* name;
        std::function<void(TMainForm&)> leave;
        std::function<bool(TMainForm&)> left; // the way out was taken
    };
    const std::vector<Way> ways = {
        {"another file from the list",
         [&](TMainForm& f) {
             f.FileListBox1->setCurrentItem(
                 f.FileListBox1->findItems("other.gif", Qt::MatchExactly)[0]);
         },
         [](TMainForm& f) { return f.AniGifImage1->Frames()->size() == 2; }},
        {"a still picture, which Edit Gif would turn into the animation",
         [&](TMainForm& f) { f.OpenFile(Q(dir / "photo.jpg"), TMainForm::TOpenFrom::OpenDialog); },
         [](TMainForm& f) { return f.MultiImage1->isVisibleTo(f.ImageHolder); }},
        {"closing the window", [](TMainForm& f) { f.close(); },
         [](TMainForm& f) { return !f.isVisible(); }},
    };
    for (const Way& way : ways) {
        SCOPED_TRACE(way.name);
        TMainForm form;
        form.show();
        form.SetDirectory(Q(dir));
        form.FileListBox1->setCurrentItem(
            form.FileListBox1->findItems("anim.gif", Qt::MatchExactly)[0]);
        EditDelay(form);
        ASSERT_TRUE(form.AnimationModified());

        Answer(false);
        way.leave(form);
        dialogtest::RunFor(20);
        EXPECT_FALSE(way.left(form));
        // Closing the editor refreshed the list; a refused open puts the
        // caret back on the file shown.
        if (const QListWidgetItem* caret = form.FileListBox1->currentItem()) {
            EXPECT_EQ(caret->text(), "anim.gif") << "the list shows the file still shown";
        }
        ASSERT_EQ(form.AniGifImage1->Frames()->size(), 3u);
        EXPECT_EQ((*form.AniGifImage1->Frames())[1]->Delay, 55);
        EXPECT_TRUE(form.AnimationModified());

        Answer(true);
        way.leave(form);
        EXPECT_TRUE(way.left(form));
        EXPECT_FALSE(form.AnimationModified());
    }
}

TEST(Unsaved, FilesDroppedOnTheWindowOpenTheFirstImage) {
    testsupport::widgetApp();
    const auto dir = testsupport::tempDir("mainform-drop");
    const auto sub = dir / "sub";
    std::filesystem::create_directories(sub);
    WriteGif(sub / "dropped.gif", {"red", "blue"}, 12, 8);
    std::filesystem::path notes = dir / "notes.txt";
    std::FILE* text = std::fopen(notes.c_str(), "w");
    ASSERT_NE(text, nullptr);
    std::fputs("not a picture", text);
    std::fclose(text);
    TMainForm form;
    form.show();
    form.SetDirectory(Q(dir));

    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(Q(notes)), QUrl::fromLocalFile(Q(sub / "dropped.gif"))});
    QWidget* target = form.AniGifImage1;
    const QPointF at(2, 2);
    QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    ASSERT_TRUE(enter.isAccepted());
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    EXPECT_EQ(form.AniGifImage1->Frames()->size(), 2u);
    EXPECT_EQ(form.Directory(), Q(sub)) << "the browser goes where the file is";
    ASSERT_NE(form.FileListBox1->currentItem(), nullptr);
    EXPECT_EQ(form.FileListBox1->currentItem()->text(), "dropped.gif");
}

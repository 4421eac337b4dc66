// Undo and redo over each kind of step, the history's memory bound, and
// dragging frames within the frame list and files onto it.
#include "EditorTestSupport.h"
#include "TestSupport.h"
#include "WidgetSupport.h"
#include "app/TYesNo.h"
#include "app/dialogs/ModalDriver.h"
#include "editor/commands/TEditHistory.h"
#include "editor/commands/TEditorCommand.h"
#include "manipulation/TResizeForm.h"
#include "manipulation/TRotateForm.h"
#include "platform/GlobalBlock.h"

#include <QAction>
#include <QByteArray>
#include <QDropEvent>
#include <QImage>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QUndoStack>
#include <QUrl>
#include <functional>
#include <gtest/gtest.h>

namespace {

using editortest::EditorOn;

// Everything undo must give back: the order, each record's fields, its
// picture's bytes, and the comment blocks.
struct Snapshot {
    std::vector<TMyGifAnimation*> order;
    std::vector<TMyGifAnimation> fields;
    std::vector<QByteArray> pictures;
    std::vector<TStringList> comments;
};

Snapshot Take(const EditorOn& e) {
    Snapshot s;
    s.order = e.frames;
    for (const TMyGifAnimation* r : e.frames) {
        s.fields.push_back(*r);
        zp::GlobalLockGuard lock(r->DibHandle);
        s.pictures.emplace_back(lock.as<char>(), qsizetype(GlobalSize(r->DibHandle)));
    }
    for (const TStringList* block : e.anim.comments)
        s.comments.push_back(*block);
    return s;
}

void ExpectSame(const Snapshot& want, const Snapshot& got, const char* what) {
    ASSERT_EQ(want.order, got.order) << what;
    for (size_t i = 0; i < want.order.size(); ++i) {
        EXPECT_TRUE(SameFields(want.fields[i], got.fields[i])) << what << ": fields of " << i;
        EXPECT_EQ(want.pictures[i], got.pictures[i]) << what << ": picture of " << i;
    }
    EXPECT_EQ(want.comments, got.comments) << what;
}

void AnswerYes() {
    dialogtest::OnModal([](QWidget* w) { static_cast<TYesNo*>(w)->BitBtn1->click(); });
}

struct Row {
    const char* name;
    const char* undoText;
    std::function<void(EditorOn&)> edit;
};

} // namespace

TEST(EditorUndo, EachKindOfStepUndoesAndRedoesExactly) {
    testsupport::widgetApp();
    const std::vector<Row> rows = {
        {"typed delay", "&Undo Change delay",
         [](EditorOn& e) {
             e.click(1);
             e.edit.DelaySpin->setValue(7);
             e.edit.DelaySpin->setValue(75); // one step for the typing
         }},
        {"screen size", "&Undo Change screen size",
         [](EditorOn& e) {
             e.click(2);
             e.edit.ScreenWidthEdit->setValue(33);
         }},
        {"palette colour", "&Undo Change palette colour",
         [](EditorOn& e) {
             e.click(1);
             e.edit.trbRed->setValue(1);
             e.edit.trbGreen->setValue(2);
             e.edit.pnlColorClick();
         }},
        {"resize", "&Undo Resizing",
         [](EditorOn& e) {
             e.click(0);
             e.edit.GifNameBox->item(2)->setSelected(true);
             dialogtest::OnModal([](QWidget* w) {
                 static_cast<TResizeForm*>(w)->WBar->setValue(13);
                 static_cast<TResizeForm*>(w)->AllFramesBtn->click();
             });
             e.edit.Resize_ImageClick();
         }},
        {"rotate", "&Undo Rotate",
         [](EditorOn& e) {
             e.click(2);
             dialogtest::OnModal([](QWidget* w) {
                 static_cast<TRotateForm*>(w)->TrackBar1->setValue(90);
                 static_cast<TRotateForm*>(w)->OKBtn->click();
             });
             e.edit.RotateFrameClick();
         }},
        {"delete", "&Undo Delete 2 frames",
         [](EditorOn& e) {
             e.click(0);
             e.edit.GifNameBox->item(2)->setSelected(true);
             AnswerYes();
             e.edit.DeleteSelectedframesClick();
         }},
        {"insert", "&Undo New frame", [](EditorOn& e) { e.edit.New1Click(); }},
        {"move", "&Undo Move 2 frames",
         [](EditorOn& e) {
             e.edit.MoveFramesTo({0, 2}, 4);
         }},
        {"comment", "&Undo New comment",
         [](EditorOn& e) {
             e.edit.ToggleCommentsClick(true);
             e.edit.cNewClick();
         }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EditorOn e(4);
        e.anim.comments.push_back(new TStringList{"kept"});
        e.edit.CommentNameBox->addItem("Comment Block");
        const Snapshot before = Take(e);
        row.edit(e);
        const Snapshot after = Take(e);
        ASSERT_EQ(e.edit.History()->Count(), 1);
        EXPECT_EQ(e.edit.Undo1->text(), row.undoText);
        EXPECT_TRUE(e.edit.Modified());

        e.edit.Undo1->trigger();
        ExpectSame(before, Take(e), "undone");
        EXPECT_FALSE(e.edit.Modified());
        EXPECT_EQ(e.edit.GifNameBox->count(), int(e.frames.size())) << "the names follow";
        e.edit.Redo1->trigger();
        ExpectSame(after, Take(e), "redone");
        e.edit.Undo1->trigger();
        ExpectSame(before, Take(e), "undone again");
    }
}

// Picture changes past the byte bound drop the oldest steps; the newest
// stays whatever its size, and undo stops where the history now begins.
TEST(EditorUndo, TheMemoryBoundDropsTheOldestSteps) {
    testsupport::widgetApp();
    EditorOn e(1, 100, 100);
    const uint64_t picture = GlobalSize(e.frames[0]->DibHandle);
    e.edit.History()->SetByteLimit(picture * 2 + picture / 2);
    e.click(0);
    std::vector<QByteArray> states;
    for (int value = 10; value <= 50; value += 10) {
        zp::GlobalLockGuard lock(e.frames[0]->DibHandle);
        states.emplace_back(lock.as<char>(), qsizetype(GlobalSize(e.frames[0]->DibHandle)));
        e.edit.trbRed->setValue(value);
        e.edit.FPaletteIndex = uint8_t(value / 10); // a new entry: no merging
        e.edit.pnlColorClick();
    }
    EXPECT_EQ(e.edit.History()->Count(), 2);
    EXPECT_LE(e.edit.History()->PictureBytes(), picture * 2 + picture / 2);
    while (e.edit.History()->Stack()->canUndo())
        e.edit.Undo1->trigger();
    zp::GlobalLockGuard lock(e.frames[0]->DibHandle);
    EXPECT_EQ(QByteArray(lock.as<char>(), qsizetype(GlobalSize(e.frames[0]->DibHandle))),
              states[3]);
    EXPECT_TRUE(e.edit.Modified()) << "the saved state is out of reach";
    e.edit.Redo1->trigger();
    e.edit.Redo1->trigger();
    EXPECT_FALSE(e.edit.History()->Stack()->canRedo());
}

TEST(EditorDragging, FramesMoveAndDroppedFilesAreInsertedWhereTheyLand) {
    testsupport::widgetApp();
    EditorOn e(6);
    const std::vector<TMyGifAnimation*> was = e.frames;
    e.edit.show();
    // Frames 2 and 4 dragged below frame 5.
    e.edit.GifNameBox->setCurrentRow(1, QItemSelectionModel::ClearAndSelect);
    e.edit.GifNameBox->item(3)->setSelected(true);
    const QRect fifth = e.edit.GifNameBox->visualItemRect(e.edit.GifNameBox->item(4));
    EXPECT_EQ(e.edit.DropRow(fifth.center() + QPoint(0, fifth.height() / 4)), 5);
    e.edit.MoveFramesTo({1, 3}, 5);
    EXPECT_EQ(e.frames, (std::vector{was[0], was[2], was[4], was[1], was[3], was[5]}));
    EXPECT_EQ(e.edit.GifNameBox->item(3)->text(), "Frame 2");
    EXPECT_TRUE(e.edit.GifNameBox->item(4)->isSelected());

    // Two files dropped on the upper half of the second entry.
    const auto dir = testsupport::tempDir("editor-drop");
    QStringList files;
    for (const char* name : {"a.png", "b.png"}) {
        QImage image(5, 4, QImage::Format_RGB32);
        image.fill(Qt::red);
        const QString path = QString::fromStdString((dir / name).string());
        ASSERT_TRUE(image.save(path));
        files << path;
    }
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(files[0]), QUrl::fromLocalFile(files[1])});
    const QRect second = e.edit.GifNameBox->visualItemRect(e.edit.GifNameBox->item(1));
    const QPointF at = second.center() - QPoint(0, second.height() / 4);
    QWidget* list = e.edit.GifNameBox->viewport();
    QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(list, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(list, &drop);
    ASSERT_EQ(e.frames.size(), 8u);
    EXPECT_EQ(e.frames[1]->Name, "Frame 1 of a.png");
    EXPECT_EQ(e.frames[2]->Name, "Frame 1 of b.png");
    EXPECT_EQ(e.frames[3], was[2]);
    EXPECT_EQ(e.edit.Undo1->text(), "&Undo Insert 2 frames");
    e.edit.Undo1->trigger();
    EXPECT_EQ(e.frames.size(), 6u);
}

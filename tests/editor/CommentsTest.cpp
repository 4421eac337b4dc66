// The comments view driven through its real controls, the confirmation
// window and the file and print dialogs.
#include "EditorTestSupport.h"
#include "WidgetSupport.h"
#include "app/TYesNo.h"
#include "app/dialogs/ModalDriver.h"

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollArea>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QToolButton>
#include <gtest/gtest.h>

using dialogtest::OnModal;
using Blocks = std::vector<TStringList>;

namespace {

constexpr int Limit = TGifEdit::CommentLimit;

// Shown and active, in the comments view, as after a click on a frame
// and on the toggle.
struct CommentsEditor {
    QApplication& app = testsupport::widgetApp();
    editortest::OwnedAnimation animation;
    TGifEdit edit;

    explicit CommentsEditor(const Blocks& blocks, bool commentsView = true) {
        for (const TStringList& block : blocks)
            animation.comments.push_back(new TStringList(block));
        editortest::attach(edit, animation);
        edit.SetFrameControlsEnabled(true);
        edit.show();
        edit.activateWindow();
        QElapsedTimer clock; // activation comes as a window-system event
        clock.start();
        while (!edit.isActiveWindow() && clock.elapsed() < 2000)
            QApplication::processEvents(QEventLoop::AllEvents, 5);
        if (commentsView) edit.ToggleComments->click();
    }
    void clickEntry(int row) {
        editortest::Press(
            edit.CommentNameBox->viewport(),
            edit.CommentNameBox->visualItemRect(edit.CommentNameBox->item(row)).center(),
            Qt::LeftButton, true);
    }
    Blocks blocks() const {
        Blocks out;
        for (const TStringList* block : animation.comments)
            out.push_back(*block);
        return out;
    }
    bool editingEnabled(bool value) const {
        for (QWidget* w : {edit.cSave, edit.cLoadFromFile, edit.cSaveToFile, edit.cPrint,
                           edit.cCopy, edit.cCut, edit.cPaste, edit.cDelete})
            if (w->isEnabled() != value) return false;
        return edit.ComMem->isEnabled() == value;
    }
};

void Answer(QPushButton* TYesNo::*button, QString* question) {
    OnModal([button, question](QWidget* modal) {
        auto* yesNo = qobject_cast<TYesNo*>(modal);
        ASSERT_NE(yesNo, nullptr);
        *question = yesNo->Cap->text();
        (yesNo->*button)->click();
    });
}

// An empty path cancels.
void ChooseFile(const char* dialogName, const QString& path) {
    OnModal([dialogName, path](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->objectName(), dialogName);
        EXPECT_EQ(dialog->nameFilters(), QStringList{"Text files (*.txt)"});
        EXPECT_EQ(dialog->defaultSuffix(), "txt");
        if (path.isEmpty()) return dialog->reject();
        dialog->findChild<QLineEdit*>("fileNameEdit")->setText(path);
        static_cast<QDialog*>(dialog)->accept();
    });
}

} // namespace

TEST(Comments, TheToggleAndTheMenuSwitchViews) {
    CommentsEditor e({{"a"}}, false);
    TGifEdit& edit = e.edit;
    for (int step = 0; step < 4; ++step) { // button twice, then the menu twice
        if (step < 2)
            edit.ToggleComments->click();
        else
            edit.Comments1->trigger();
        const bool comments = step % 2 == 0;
        EXPECT_EQ(edit.ToggleComments->isChecked(), comments) << step;
        EXPECT_EQ(edit.Comments1->isChecked(), comments) << step;
        EXPECT_TRUE(edit.ToggleComments->isEnabled() && edit.Comments1->isEnabled()) << step;
        for (QWidget* w : std::initializer_list<QWidget*>{edit.ScrollBox1, edit.GifNameBox,
                                                          edit.ImageInfo, edit.MoveUp})
            EXPECT_EQ(w->isVisible(), !comments) << step << w->objectName().toStdString();
        for (QWidget* w :
             std::initializer_list<QWidget*>{edit.CommentNameBox, edit.Panel7, edit.ComMem})
            EXPECT_EQ(w->isVisible(), comments) << step << w->objectName().toStdString();
        EXPECT_EQ(edit.PlayGif->isEnabled(), !comments) << step;
        EXPECT_EQ(edit.Save1->isEnabled(), !comments) << step;
    }
}

TEST(Comments, NewCommentIsAnEmptySelectedBlockWithTheFocusInTheMemo) {
    for (const Blocks& before : {Blocks{}, Blocks{{"one"}, {"two"}}}) {
        CommentsEditor e(before);
        TGifEdit& edit = e.edit;
        if (!before.empty()) e.clickEntry(0);
        edit.cNew->click();
        Blocks expected = before;
        expected.push_back({});
        EXPECT_EQ(e.blocks(), expected);
        const int last = int(before.size());
        QListWidgetItem* entry = edit.CommentNameBox->item(last);
        ASSERT_NE(entry, nullptr);
        EXPECT_EQ(entry->text(), "Comment Block");
        EXPECT_EQ(edit.CommentNameBox->selectedItems(), QList<QListWidgetItem*>{entry});
        EXPECT_EQ(edit.CommentNameBox->currentRow(), last);
        EXPECT_EQ(edit.FCommentIndex, last);
        EXPECT_EQ(edit.ComMem->toPlainText(), "");
        EXPECT_TRUE(edit.ComMem->hasFocus());
        EXPECT_TRUE(e.editingEnabled(true));
    }
}

TEST(Comments, LeavingOrDeletingAnEditedBlockAsksFirst) {
    const QString altered = "This comment has been altered. Save changes ?";
    const QString remove = "Are you sure you want to delete the current comment ?";
    const TStringList edited{"one edited", "line two"};
    const struct {
        bool del;                     // else leave for block 1
        QPushButton* TYesNo::*answer; // nullptr: cSave first, nothing asked
        QString question;
        Blocks after;
        QString memo;
    } rows[] = {
        {false, &TYesNo::BitBtn1, altered, {edited, {"two"}, {"c"}}, "two"},
        {false, &TYesNo::BitBtn2, altered, {{"one"}, {"two"}, {"c"}}, "two"},
        {false, nullptr, "", {edited, {"two"}, {"c"}}, "two"},
        {true, &TYesNo::BitBtn1, remove, {{"two"}, {"c"}}, ""},
        {true, &TYesNo::BitBtn2, remove, {{"one"}, {"two"}, {"c"}}, "one edited\nline two"},
    };
    for (const auto& row : rows) {
        CommentsEditor e({{"one"}, {"two"}, {"c"}});
        TGifEdit& edit = e.edit;
        e.clickEntry(0);
        edit.ComMem->moveCursor(QTextCursor::End);
        edit.ComMem->insertPlainText(" edited\nline two");
        QString question;
        if (row.answer)
            Answer(row.answer, &question);
        else
            edit.cSave->click();
        if (row.del)
            edit.cDelete->click();
        else
            e.clickEntry(1);
        EXPECT_EQ(question, row.question);
        EXPECT_EQ(e.blocks(), row.after) << row.memo.toStdString();
        EXPECT_EQ(edit.CommentNameBox->count(), int(row.after.size()));
        EXPECT_EQ(edit.ComMem->toPlainText(), row.memo);
        EXPECT_EQ(edit.FCommentModified, row.memo == "one edited\nline two"); // kept after No
        EXPECT_TRUE(e.editingEnabled(!row.del)); // deleting disables editing in every case
    }
}

TEST(Comments, TheMemoNeverGrowsPastTheLimit) {
    const struct {
        int length; // of the block shown
        int caret;
        QString added;
        bool paste; // else typed
    } rows[] = {
        {Limit - 1, Limit - 1, "ab", false}, {Limit, 5, "a", false},
        {Limit - 2, 10, "PQRS", true},       {0, 0, QString(Limit + 500, 'p'), true},
        {Limit + 10, Limit, "a", false}, // a longer block from a file may only shrink
    };
    for (const auto& row : rows) {
        const QString shown(row.length, 'x');
        CommentsEditor e({{shown.toStdString()}});
        QPlainTextEdit* memo = e.edit.ComMem;
        e.clickEntry(0);
        QTextCursor caret = memo->textCursor();
        caret.setPosition(row.caret);
        memo->setTextCursor(caret);
        if (row.paste) {
            QApplication::clipboard()->setText(row.added);
            e.edit.cPaste->click();
        }
        for (QChar c : row.paste ? QString() : row.added) {
            QKeyEvent key(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
            QApplication::sendEvent(memo, &key);
        }
        const QString kept = row.added.left(std::max(0, Limit - row.length));
        EXPECT_EQ(memo->toPlainText(), QString(shown).insert(row.caret, kept)) << row.caret;
        EXPECT_EQ(memo->textCursor().position(), row.caret + kept.size());
        if (row.paste) { // one undo step: what was cut never comes back
            memo->undo();
            EXPECT_EQ(memo->toPlainText(), shown);
        }
    }
}

TEST(Comments, TheMemoIsLoadedFromAndSavedToTextFiles) {
    QTemporaryDir dir;
    const struct {
        QByteArray file; // empty: the dialog is cancelled
        QString memo;
    } rows[] = {{"alpha\r\nbeta\r\n", "alpha\nbeta"},
                {QByteArray(Limit + 100, 'y'), QString(Limit, 'y')},
                {"", "kept"}};
    for (const auto& row : rows) {
        CommentsEditor e({{"kept"}});
        e.clickEntry(0);
        QFile in(dir.filePath("in.txt"));
        ASSERT_TRUE(in.open(QIODevice::WriteOnly));
        in.write(row.file);
        in.close();
        ChooseFile("OpenDialog1", row.file.isEmpty() ? QString() : in.fileName());
        e.edit.cLoadFromFile->click();
        EXPECT_EQ(e.edit.ComMem->toPlainText(), row.memo);
        EXPECT_EQ(e.edit.FCommentModified, !row.file.isEmpty());
        EXPECT_EQ(e.blocks(), Blocks{{"kept"}}); // until stored
    }
    CommentsEditor e({{"first line", "", "third"}});
    e.clickEntry(0);
    ChooseFile("SaveDialog1", dir.filePath("out"));
    e.edit.cSaveToFile->click();
    QFile out(dir.filePath("out.txt"));
    ASSERT_TRUE(out.open(QIODevice::ReadOnly));
    EXPECT_EQ(out.readAll(), "first line\n\nthird\n");
}

TEST(Comments, PrintedLinesStepDownTheTopOfOnePage) {
    const QString pdftotext = QStandardPaths::findExecutable("pdftotext");
    if (pdftotext.isEmpty()) GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
    QTemporaryDir dir;
    const QString pdf = dir.filePath("comment.pdf");
    CommentsEditor e({{"alpha", "beta", "gamma"}});
    e.clickEntry(0);
    double unit = 0; // points per printer unit
    QMarginsF margins;
    OnModal([&](QWidget* modal) {
        auto* dialog = qobject_cast<QPrintDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        auto* printers = dialog->findChild<QComboBox*>("printers");
        printers->setCurrentIndex(printers->findText("Print to File (PDF)"));
        dialog->findChild<QLineEdit*>("filename")->setText(pdf);
        dialog->accept();
        unit = 72.0 / dialog->printer()->resolution();
        margins = dialog->printer()->pageLayout().margins(QPageLayout::Point);
    });
    e.edit.cPrint->click();

    QProcess bbox;
    bbox.start(pdftotext, {"-bbox", pdf, "-"});
    ASSERT_TRUE(bbox.waitForFinished(10000));
    const QString html = QString::fromUtf8(bbox.readAllStandardOutput());
    EXPECT_EQ(html.count("<page "), 1);
    const QRegularExpression word(R"re(<word xMin="([\d.]+)" yMin="([\d.]+)"[^>]*>(\w+)</word>)re");
    QStringList words;
    for (const auto& m : word.globalMatch(html)) {
        const int a = int(words.size());
        words << m.captured(3);
        // The glyph box starts a little off the drawing point.
        EXPECT_NEAR(m.captured(1).toDouble(), margins.left() + TGifEdit::PrintLeft * unit, 1.5);
        EXPECT_NEAR(m.captured(2).toDouble(), margins.top() + a * TGifEdit::PrintLineStep * unit,
                    1.5)
            << a;
    }
    EXPECT_EQ(words, (QStringList{"alpha", "beta", "gamma"}));
}

// The comments view: the comment list, its tool bar and the memo. The
// blocks live in the borrowed FCommentList, which owns its string lists;
// a block that is replaced or removed is freed here.
#include "editor/TGifEdit.h"
#include "editor/commands/TChangeRecorder.h"

#include "app/SharedForms.h"

#include <QAction>
#include <QFile>
#include <QFileDialog>
#include <QGroupBox>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QSaveFile>
#include <QScrollArea>
#include <QTextCursor>
#include <QTextStream>
#include <QToolButton>
#include <algorithm>

namespace {

// Dynamic property of the memo: its length after the last change. A block
// written by another program may be longer than the limit; it is shown
// whole, and edits may shorten it but never lengthen it.
constexpr char KeptLength[] = "zentropeKeptLength";

bool HasBlock(const TCommentList* list, int index) {
    return list && index >= 0 && size_t(index) < list->size();
}

TStringList MemoLines(const QPlainTextEdit* memo) {
    return SplitLines(memo->toPlainText().toStdString());
}

void ShowLines(QPlainTextEdit* memo, const TStringList& lines) {
    const QString text = QString::fromStdString(JoinLines(lines));
    memo->setProperty(KeptLength, int(text.size()));
    memo->setPlainText(text);
}

// Frees the block at index and puts the memo's lines in its place.
void StoreMemo(TCommentList& list, int index, const QPlainTextEdit* memo) {
    auto* fresh = new TStringList(MemoLines(memo));
    delete list[size_t(index)];
    list[size_t(index)] = fresh;
}

// The start of a cut must not fall between the two halves of a surrogate pair.
int CharStart(const QString& text, int at) {
    return at > 0 && at < text.size() && text[at].isLowSurrogate() ? at - 1 : at;
}

// OpenDialog1 or SaveDialog1: the chosen text file, empty when cancelled.
QString ChooseTextFile(QWidget* parent, const char* name, QFileDialog::AcceptMode mode) {
    QFileDialog dialog(parent);
    dialog.setObjectName(name);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setNameFilter("Text files (*.txt)");
    dialog.setDefaultSuffix("txt");
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                       : QFileDialog::AnyFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().constFirst();
}

} // namespace

void TGifEdit::SetCommentButtonsEnabled(bool value) {
    for (QWidget* w : std::initializer_list<QWidget*>{cSave, cLoadFromFile, cSaveToFile, cPrint,
                                                      cCopy, cCut, cPaste, cDelete, ComMem})
        w->setEnabled(value);
}

void TGifEdit::ComMemChanged() {
    FCommentModified = true;
    const QString text = ComMem->toPlainText();
    const int allowed = std::max(CommentLimit, ComMem->property(KeptLength).toInt());
    const int excess = int(text.size()) - allowed;
    if (excess > 0) {
        // Typing, pasting and dropping leave the caret after what they put
        // in: its tail is cut so the caret stays after the part kept. With
        // the caret before the excess (text set as a whole) the end goes.
        int end = ComMem->textCursor().position();
        if (end < excess) end = int(text.size());
        QTextCursor cut(ComMem->document());
        // One undo step with the insertion, so undo never brings the
        // excess back.
        cut.joinPreviousEditBlock();
        cut.setPosition(CharStart(text, end - excess));
        cut.setPosition(end, QTextCursor::KeepAnchor);
        cut.removeSelectedText();
        cut.endEditBlock();
    }
    ComMem->setProperty(KeptLength, int(ComMem->toPlainText().size()));
}

void TGifEdit::ToggleCommentsClick(bool fromMenu) {
    if (fromMenu) ToggleComments->setChecked(!ToggleComments->isChecked());
    FCommentsView = ToggleComments->isChecked();
    const bool frameView = !FCommentsView;

    ScrollBox1->setVisible(frameView);
    GifNameBox->setVisible(frameView);
    // The comment list lies under the frame list; it is shown only when
    // the frame list is hidden.
    CommentNameBox->setVisible(FCommentsView);
    Panel7->setVisible(FCommentsView);
    ComMem->setVisible(FCommentsView);

    ShowFrameEditing(frameView);
    // The way back stays open in both views.
    ToggleComments->setEnabled(true);
    Comments1->setEnabled(true);
    Comments1->setChecked(FCommentsView);
}

void TGifEdit::SaveComment() {
    // With no block loaded there is nothing the edit could be stored in.
    if (FCommentModified && HasBlock(FCommentList, FCommentIndex) &&
        ConfirmYes("This comment has been altered. Save changes ?")) {
        const auto change = Change(TChangeKind::Comments, "Edit comment");
        StoreMemo(*FCommentList, FCommentIndex, ComMem);
    }
    FCommentModified = false;
}

void TGifEdit::CommentNameBoxClick() {
    SaveComment();
    const int index = CommentNameBox->currentRow();
    if (!HasBlock(FCommentList, index)) return;
    FCommentIndex = index;
    ShowLines(ComMem, *(*FCommentList)[size_t(index)]);
    FCommentModified = false;
    SetCommentButtonsEnabled(true);
}

void TGifEdit::cNewClick() {
    if (!FCommentList) return;
    SaveComment();
    const auto change = Change(TChangeKind::Comments, "New comment");
    FCommentList->push_back(new TStringList);
    CommentNameBox->addItem("Comment Block");
    if (QListWidgetItem* caret = CommentNameBox->currentItem()) caret->setSelected(false);
    const int last = CommentNameBox->count() - 1;
    // Other selected entries stay selected; only the caret moves.
    CommentNameBox->setCurrentRow(last, QItemSelectionModel::Select);
    FCommentIndex = last;
    ShowLines(ComMem, *FCommentList->back());
    FCommentModified = false;
    SetCommentButtonsEnabled(true);
    ComMem->setFocus();
}

void TGifEdit::cSaveClick() {
    if (FCommentModified && HasBlock(FCommentList, FCommentIndex)) {
        const auto change = Change(TChangeKind::Comments, "Edit comment");
        StoreMemo(*FCommentList, FCommentIndex, ComMem);
    }
    FCommentModified = false;
}

void TGifEdit::cDeleteClick() {
    const int index = CommentNameBox->currentRow();
    if (HasBlock(FCommentList, index) &&
        ConfirmYes("Are you sure you want to delete the current comment ?")) {
        const auto change = Change(TChangeKind::Comments, "Delete comment");
        delete (*FCommentList)[size_t(index)];
        FCommentList->erase(FCommentList->begin() + index);
        delete CommentNameBox->takeItem(index);
        FCommentIndex = CommentNameBox->currentRow();
        ComMem->clear();
        FCommentModified = false;
    }
    SetCommentButtonsEnabled(false);
}

void TGifEdit::cLoadFromFileClick() {
    const QString name = ChooseTextFile(this, "OpenDialog1", QFileDialog::AcceptOpen);
    if (name.isEmpty()) return;
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly)) {
        QMessageBox::warning(this, windowTitle(), "Could not read " + name + ".");
        return;
    }
    QTextStream in(&file); // UTF-8 unless the file starts with a byte-order mark
    QString text = QString::fromStdString(JoinLines(SplitLines(in.readAll().toStdString())));
    // The memo holds no more than the limit, so a longer file is cut there.
    text.truncate(CharStart(text, CommentLimit));
    // The change marks the comment modified; the block changes when stored.
    ComMem->setPlainText(text);
}

void TGifEdit::cSaveToFileClick() {
    const QString name = ChooseTextFile(this, "SaveDialog1", QFileDialog::AcceptSave);
    if (name.isEmpty()) return;
    QSaveFile file(name);
    bool written = file.open(QIODevice::WriteOnly | QIODevice::Text);
    for (const std::string& line : MemoLines(ComMem)) {
        if (!written) break;
        written = file.write(line.data(), qint64(line.size())) == qint64(line.size()) &&
                  file.write("\n", 1) == 1;
    }
    if (!written || !file.commit())
        QMessageBox::warning(this, windowTitle(), "Could not write " + name + ".");
}

void TGifEdit::cPrintClick() {
    // At screen resolution the line step leaves room for the default font.
    QPrinter printer(QPrinter::ScreenResolution);
    QPrintDialog PrintDialog1(&printer, this);
    PrintDialog1.setObjectName("PrintDialog1");
    if (PrintDialog1.exec() != QDialog::Accepted) return;
    QPainter painter;
    if (!painter.begin(&printer)) {
        QMessageBox::warning(this, windowTitle(), "Could not start printing.");
        return;
    }
    // A line's y is its top; QPainter places text by its base line.
    const int ascent = painter.fontMetrics().ascent();
    const TStringList lines = MemoLines(ComMem);
    for (size_t a = 0; a < lines.size(); ++a)
        painter.drawText(QPoint(PrintLeft, int(a) * PrintLineStep + ascent),
                         QString::fromStdString(lines[a]));
    painter.end();
}

// Undo and redo. Every editing operation makes a TChangeRecorder before it
// changes anything; the recorder leaves one step on the history. After a
// step is undone or redone the window shows the restored state: the view
// the step belongs to, the names, the frames it touched selected, the panels
// and the preview of the first of them.
#include "editor/TGifEdit.h"
#include "editor/commands/TChangeRecorder.h"
#include "editor/commands/TEditHistory.h"
#include "editor/commands/TEditorCommand.h"

#include <QAction>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QToolButton>
#include <QUndoStack>
#include <algorithm>
#include <unordered_set>

namespace {

// Rows of the records the step touched (fields, pictures, or brought back
// into the list); else the row where records went out.
std::vector<int> FocusRows(const TEditorCommand& step, const TFrameList& frames) {
    const TEditState& state = step.State();
    std::unordered_set<const TMyGifAnimation*> touched;
    for (const TRecordEntry& entry : state.Entries)
        touched.insert(entry.Record);
    if (state.HasOrder) {
        const std::unordered_set<TMyGifAnimation*> held(state.HeldOrder.begin(),
                                                        state.HeldOrder.end());
        for (TMyGifAnimation* record : state.AppliedOrder)
            if (!held.count(record)) touched.insert(record);
    }
    std::vector<int> rows;
    for (size_t i = 0; i < frames.size(); ++i)
        if (touched.count(frames[i])) rows.push_back(int(i));
    // Moved frames: those not where they were.
    if (rows.empty() && state.HasOrder && state.HeldOrder.size() == frames.size())
        for (size_t i = 0; i < frames.size(); ++i)
            if (state.HeldOrder[i] != frames[i]) rows.push_back(int(i));
    if (rows.empty() && state.HasOrder) {
        const std::unordered_set<TMyGifAnimation*> applied(state.AppliedOrder.begin(),
                                                           state.AppliedOrder.end());
        for (size_t i = 0; i < state.HeldOrder.size(); ++i)
            if (!applied.count(state.HeldOrder[i])) {
                rows.push_back(int(i));
                break;
            }
    }
    return rows;
}

} // namespace

TChangeRecorder TGifEdit::Change(TChangeKind kind, const QString& text,
                                 const std::vector<TMyGifAnimation*>& pictures, int field) {
    return TChangeRecorder(FHistory, FFrameList, FCommentList, kind, text, pictures, field);
}

std::vector<TMyGifAnimation*> TGifEdit::RecordsOf(const QList<int>& rows) const {
    std::vector<TMyGifAnimation*> records;
    for (int row : rows)
        if (FFrameList && row >= 0 && size_t(row) < FFrameList->size())
            records.push_back((*FFrameList)[size_t(row)]);
    return records;
}

bool TGifEdit::Modified() const {
    return (ChangedBefore && !FSavedWhole) || (FHistory && FHistory->Modified());
}

void TGifEdit::SavedWhole() {
    FSavedWhole = true;
    if (FHistory) FHistory->MarkSaved();
}

void TGifEdit::CreateHistory() {
    FHistory = new TEditHistory(this);
    FHistory->OnApplied = [this](const TEditorCommand& step) { ShowRestoredState(step); };
    QUndoStack* stack = FHistory->Stack();
    // Playback shows the records as they are; they do not change under it.
    // A comment being typed is offered for storing first (a step of its
    // own), so that the refilled comment view does not drop it.
    const auto undo = [this, stack] {
        if (Playing()) return;
        SaveComment();
        stack->undo();
    };
    const auto redo = [this, stack] {
        if (Playing()) return;
        SaveComment();
        stack->redo();
    };
    connect(Undo1, &QAction::triggered, this, undo);
    connect(UndoBtn, &QToolButton::clicked, this, undo);
    connect(Redo1, &QAction::triggered, this, redo);
    connect(RedoBtn, &QToolButton::clicked, this, redo);
    const auto showUndo = [this, stack] {
        const QString next = stack->undoText();
        Undo1->setText(next.isEmpty() ? "&Undo" : "&Undo " + next);
        Undo1->setEnabled(stack->canUndo());
        UndoBtn->setEnabled(stack->canUndo());
        UndoBtn->setToolTip(next.isEmpty() ? "Undo the last change" : "Undo " + next);
    };
    const auto showRedo = [this, stack] {
        const QString next = stack->redoText();
        Redo1->setText(next.isEmpty() ? "&Redo" : "&Redo " + next);
        Redo1->setEnabled(stack->canRedo());
        RedoBtn->setEnabled(stack->canRedo());
        RedoBtn->setToolTip(next.isEmpty() ? "Redo the change undone last" : "Redo " + next);
    };
    connect(stack, &QUndoStack::undoTextChanged, this, showUndo);
    connect(stack, &QUndoStack::canUndoChanged, this, showUndo);
    connect(stack, &QUndoStack::redoTextChanged, this, showRedo);
    connect(stack, &QUndoStack::canRedoChanged, this, showRedo);
    showUndo();
    showRedo();
}

void TGifEdit::ShowRestoredState(const TEditorCommand& step) {
    if (step.ChangesComments() != FCommentsView) {
        ToggleComments->setChecked(step.ChangesComments());
        ToggleCommentsClick(false);
    }
    if (step.ChangesComments()) {
        CommentNameBox->clear();
        for (size_t i = 0; FCommentList && i < FCommentList->size(); ++i)
            CommentNameBox->addItem("Comment Block");
        FCommentIndex = -1;
        ComMem->clear();
        FCommentModified = false;
        SetCommentButtonsEnabled(false);
        return;
    }
    if (!FFrameList) return;
    RefillNames();
    ShowFrameCount();
    FramesChanged();
    if (FFrameList->empty()) {
        ShowNoFrame();
        return;
    }
    ShowScreenValues();
    std::vector<int> rows = FocusRows(step, *FFrameList);
    if (rows.empty()) rows.push_back(std::max(GifNameBox->currentRow(), 0));
    const int caret = std::min(rows.front(), GifNameBox->count() - 1);
    GifNameBox->setCurrentRow(caret);
    for (int row : rows)
        if (row < GifNameBox->count()) GifNameBox->item(row)->setSelected(true);
    LoadFrameIntoPanels();
}

#include "editor/commands/TEditHistory.h"

#include "editor/commands/TEditorCommand.h"
#include "platform/ScopeGuards.h"

#include <QUndoStack>
#include <vector>

TEditHistory::TEditHistory(QObject* parent, uint64_t byteLimit, int stepLimit)
    : QObject(parent), FStack(new QUndoStack(this)), FByteLimit(byteLimit) {
    FStack->setUndoLimit(stepLimit);
}

// The stack goes before the members it refers to; its steps free what they own.
TEditHistory::~TEditHistory() {
    delete FStack;
}

int TEditHistory::Count() const {
    return FStack->count();
}

uint64_t TEditHistory::PictureBytes() const {
    uint64_t bytes = 0;
    for (int i = 0; i < FStack->count(); ++i)
        bytes += static_cast<const TEditorCommand*>(FStack->command(i))->PictureBytes();
    return bytes;
}

void TEditHistory::SetByteLimit(uint64_t bytes) {
    FByteLimit = bytes;
    Push(nullptr);
}

void TEditHistory::Push(TEditorCommand* step) {
    if (step) {
        step->History = this;
        FStack->push(step);
    }
    // Only steps already done can go; the newest always stays.
    int drop = 0;
    uint64_t bytes = PictureBytes();
    while (bytes > FByteLimit && drop < FStack->index() - 1) {
        bytes -= static_cast<const TEditorCommand*>(FStack->command(drop))->PictureBytes();
        ++drop;
    }
    if (drop > 0) DropOldest(drop);
}

// QUndoStack cannot let go of its bottom steps, so the steps above them move
// into fresh ones, the stack is cleared (freeing the dropped steps and what
// they own) and the fresh steps go back, quietly: they are applied already.
void TEditHistory::DropOldest(int count) {
    const int index = FStack->index(), clean = FStack->cleanIndex();
    std::vector<TEditorCommand*> kept;
    for (int i = count; i < FStack->count(); ++i)
        kept.push_back(
            const_cast<TEditorCommand*>(static_cast<const TEditorCommand*>(FStack->command(i)))
                ->TakeOver());
    const zp::ScopedFlag quiet(TEditorCommand::Quiet, true);
    FStack->clear();
    for (TEditorCommand* step : kept)
        FStack->push(step);
    if (clean >= count) {
        FStack->setIndex(clean - count);
        FStack->setClean();
    } else {
        FStack->resetClean();
    }
    FStack->setIndex(index - count);
}

bool TEditHistory::Modified() const {
    return !FStack->isClean();
}

void TEditHistory::MarkSaved() {
    FStack->setClean();
}

void TEditHistory::Apply(TEditorCommand& step) {
    {
        const zp::ScopedFlag applying(FApplying, true);
        step.Exchange();
    }
    if (OnApplied) {
        const zp::ScopedFlag applying(FApplying, true);
        OnApplied(step);
    }
}

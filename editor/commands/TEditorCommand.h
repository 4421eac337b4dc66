#pragma once
// The editor's undo steps. A step holds the other side of its change: the
// field values, pictures, frame order and comment blocks as they were
// before it (while it is done) or after it (while it is undone). Undo and
// redo are therefore the same exchange of what the step holds with what the
// lists hold, and a step keeps only what it took out, never a copy of the
// whole animation.
//
// Records that are in the held order but not in the applied one (frames a
// done deletion removed, or frames an undone insertion took out) belong to
// the step and are freed with it.
#include "imaging/animated/TMyGifAnimation.h"

#include <QUndoCommand>
#include <cstdint>
#include <vector>

struct TRecordEntry {
    TMyGifAnimation* Record = nullptr;
    // The held field values; its DibHandle is the held picture when
    // Picture is set (owned by the step), otherwise unused.
    TMyGifAnimation Held;
    bool Picture = false;
};

// Every field but the picture.
bool SameFields(const TMyGifAnimation& a, const TMyGifAnimation& b);

struct TEditState {
    TFrameList* Frames = nullptr;
    TCommentList* Comments = nullptr;
    // Set when the change added, removed or moved records.
    bool HasOrder = false;
    TFrameList HeldOrder;
    TFrameList AppliedOrder;
    std::vector<TRecordEntry> Entries;
    bool HasComments = false;
    std::vector<TStringList> HeldComments;

    TEditState() = default;
    TEditState(TEditState&& other) noexcept;
    TEditState& operator=(TEditState&&) = delete;
    TEditState(const TEditState&) = delete;
    ~TEditState();

    // Swaps what is held with what the lists hold.
    void Exchange();
    // Picture bytes the state keeps alive: held pictures and owned records.
    uint64_t PictureBytes() const;
    // The records the state owns now.
    std::vector<TMyGifAnimation*> OwnedRecords() const;
};

class TEditorCommand : public QUndoCommand {
  public:
    TEditorCommand(TEditState state, const QString& text);

    void undo() override;
    void redo() override;
    uint64_t PictureBytes() const { return FState.PictureBytes(); }
    const TEditState& State() const { return FState; }
    bool ChangesComments() const { return FState.HasComments; }
    // A step of the same kind that takes over this one's state; the
    // history uses it when it drops its oldest steps.
    virtual TEditorCommand* TakeOver() = 0;

    // Swaps the held state in; undo and redo go through the history that
    // took the step, so that the editor shows the outcome.
    void Exchange() { FState.Exchange(); }
    class TEditHistory* History = nullptr;
    // While set, undo and redo change nothing (the history re-stacking
    // steps that are already applied).
    static inline bool Quiet = false;

  protected:
    // Consecutive changes of the same field of the same records become one
    // step, holding what the first of them took out.
    bool MergeFields(const TEditorCommand* newer);
    TEditState FState;

  private:
    // A step is recorded after its change was made: the stack's first redo
    // has nothing to do.
    bool FRecorded = true;
};

// TakeOver for each kind.
template <class Kind> class TEditorCommandOf : public TEditorCommand {
  public:
    using TEditorCommand::TEditorCommand;
    TEditorCommand* TakeOver() override {
        auto* taken = new Kind(std::move(FState), text());
        taken->setObsolete(isObsolete());
        taken->History = History;
        return taken;
    }
};

#include "editor/commands/TChangeRecorder.h"

#include "editor/commands/TCommentsCommand.h"
#include "editor/commands/TFramePropertiesCommand.h"
#include "editor/commands/TInsertFramesCommand.h"
#include "editor/commands/TMoveFramesCommand.h"
#include "editor/commands/TPictureCommand.h"
#include "editor/commands/TRemoveFramesCommand.h"
#include "imaging/animated/DuplicateGlobalBlock.h"
#include "platform/GlobalBlock.h"
#include "platform/GlobalMemory.h"

#include <cstring>
#include <unordered_set>

namespace {

bool SameBytes(HGLOBAL a, HGLOBAL b) {
    if (a == b) return true;
    if (!a || !b || GlobalSize(a) != GlobalSize(b)) return false;
    zp::GlobalLockGuard left(a), right(b);
    return left && right && std::memcmp(left.data(), right.data(), size_t(GlobalSize(a))) == 0;
}

std::vector<TStringList> CopyOf(const TCommentList* comments) {
    std::vector<TStringList> blocks;
    if (comments)
        for (const TStringList* block : *comments)
            blocks.push_back(*block);
    return blocks;
}

bool SameBlocks(const std::vector<TStringList>& blocks, const TCommentList* comments) {
    if (!comments || blocks.size() != comments->size()) return !comments && blocks.empty();
    for (size_t i = 0; i < blocks.size(); ++i)
        if (blocks[i] != *(*comments)[i]) return false;
    return true;
}

TEditorCommand* MakeStep(TChangeRecorder::TKind kind, TEditState state, const QString& text,
                         int field) {
    using TKind = TChangeRecorder::TKind;
    switch (kind) {
    case TKind::FrameProperties:
        return new TFramePropertiesCommand(std::move(state), text, field);
    case TKind::Pictures:
        return new TPictureCommand(std::move(state), text, field);
    case TKind::InsertFrames:
        return new TInsertFramesCommand(std::move(state), text);
    case TKind::RemoveFrames:
        return new TRemoveFramesCommand(std::move(state), text);
    case TKind::MoveFrames:
        return new TMoveFramesCommand(std::move(state), text);
    case TKind::Comments:
        return new TCommentsCommand(std::move(state), text);
    }
    return nullptr;
}

} // namespace

TChangeRecorder::TChangeRecorder(TEditHistory* history, TFrameList* frames, TCommentList* comments,
                                 TKind kind, const QString& text,
                                 const std::vector<TMyGifAnimation*>& pictures, int field)
    : FHistory(history && history->Recording() ? history : nullptr), FFrames(frames),
      FComments(comments), FKind(kind), FText(text), FField(field) {
    if (!FHistory) return;
    FHistory->EnterChange();
    if (FFrames) {
        FOrder = *FFrames;
        FNoted.reserve(FOrder.size());
        for (TMyGifAnimation* record : FOrder) {
            FNoted.push_back({record, *record});
            FNoted.back().Fields.DibHandle = 0;
        }
    }
    for (TMyGifAnimation* record : pictures)
        NotePicture(record);
    if (FKind == TKind::Comments) FCommentBlocks = CopyOf(FComments);
}

void TChangeRecorder::NotePicture(TMyGifAnimation* record) {
    if (!FHistory || !record) return;
    for (TNoted& noted : FNoted)
        if (noted.Record == record && !noted.Fields.DibHandle && record->DibHandle) {
            noted.Fields.DibHandle = DuplicateGlobalBlock(record->DibHandle);
            return;
        }
}

TChangeRecorder::~TChangeRecorder() {
    if (!FHistory) return;
    FHistory->LeaveChange();
    Commit();
    for (TNoted& noted : FNoted)
        zp::GlobalBlock::freeFully(noted.Fields.DibHandle);
}

void TChangeRecorder::Commit() {
    TEditState state;
    state.Frames = FFrames;
    state.Comments = FComments;
    const TFrameList now = FFrames ? *FFrames : TFrameList{};
    const std::unordered_set<TMyGifAnimation*> present(now.begin(), now.end());
    if (now != FOrder) {
        state.HasOrder = true;
        state.HeldOrder = FOrder;
        state.AppliedOrder = now;
    }
    for (TNoted& noted : FNoted) {
        if (!present.count(noted.Record)) continue;
        const bool picture =
            noted.Fields.DibHandle && !SameBytes(noted.Fields.DibHandle, noted.Record->DibHandle);
        if (!picture && SameFields(noted.Fields, *noted.Record)) continue;
        TRecordEntry entry{noted.Record, noted.Fields, picture};
        if (picture)
            noted.Fields.DibHandle = 0; // the step holds it now
        else
            entry.Held.DibHandle = 0;
        state.Entries.push_back(std::move(entry));
    }
    if (FKind == TKind::Comments && !SameBlocks(FCommentBlocks, FComments)) {
        state.HasComments = true;
        state.HeldComments = std::move(FCommentBlocks);
    }
    if (!state.HasOrder && !state.HasComments && state.Entries.empty()) return;
    FHistory->Push(MakeStep(FKind, std::move(state), FText, FField));
}

#include "editor/commands/TEditorCommand.h"

#include "editor/commands/TEditHistory.h"
#include "platform/GlobalBlock.h"
#include "platform/GlobalMemory.h"

#include <algorithm>
#include <unordered_set>
#include <utility>

namespace {

// Every field but the picture goes over; the record keeps its own block.
void ExchangeFields(TMyGifAnimation& record, TMyGifAnimation& held) {
    std::swap(record, held);
    std::swap(record.DibHandle, held.DibHandle);
}

} // namespace

TEditState::TEditState(TEditState&& other) noexcept
    : Frames(other.Frames), Comments(other.Comments), HasOrder(other.HasOrder),
      HeldOrder(std::move(other.HeldOrder)), AppliedOrder(std::move(other.AppliedOrder)),
      Entries(std::move(other.Entries)), HasComments(other.HasComments),
      HeldComments(std::move(other.HeldComments)) {
    other.HasOrder = other.HasComments = false;
    other.HeldOrder.clear();
    other.AppliedOrder.clear();
    other.Entries.clear();
}

TEditState::~TEditState() {
    for (TRecordEntry& entry : Entries)
        if (entry.Picture) zp::GlobalBlock::freeFully(entry.Held.DibHandle);
    for (TMyGifAnimation* record : OwnedRecords()) {
        zp::GlobalBlock::freeFully(record->DibHandle);
        delete record;
    }
}

std::vector<TMyGifAnimation*> TEditState::OwnedRecords() const {
    if (!HasOrder) return {};
    const std::unordered_set<TMyGifAnimation*> applied(AppliedOrder.begin(), AppliedOrder.end());
    std::vector<TMyGifAnimation*> owned;
    for (TMyGifAnimation* record : HeldOrder)
        if (!applied.count(record)) owned.push_back(record);
    return owned;
}

uint64_t TEditState::PictureBytes() const {
    uint64_t bytes = 0;
    for (const TRecordEntry& entry : Entries)
        if (entry.Picture && entry.Held.DibHandle) bytes += GlobalSize(entry.Held.DibHandle);
    for (const TMyGifAnimation* record : OwnedRecords())
        if (record->DibHandle) bytes += GlobalSize(record->DibHandle);
    return bytes;
}

void TEditState::Exchange() {
    for (TRecordEntry& entry : Entries) {
        if (entry.Picture)
            std::swap(*entry.Record, entry.Held);
        else
            ExchangeFields(*entry.Record, entry.Held);
    }
    if (HasOrder && Frames) {
        std::swap(*Frames, HeldOrder);
        AppliedOrder = *Frames;
    }
    if (HasComments && Comments) {
        std::vector<TStringList> shown;
        shown.reserve(Comments->size());
        for (TStringList* block : *Comments) {
            shown.push_back(std::move(*block));
            delete block;
        }
        Comments->clear();
        for (TStringList& block : HeldComments)
            Comments->push_back(new TStringList(std::move(block)));
        HeldComments = std::move(shown);
    }
}

TEditorCommand::TEditorCommand(TEditState state, const QString& text) : FState(std::move(state)) {
    setText(text);
}

void TEditorCommand::undo() {
    if (Quiet) return;
    if (History)
        History->Apply(*this);
    else
        Exchange();
}

void TEditorCommand::redo() {
    // Both ways leave the flag clear: a step re-stacked quietly is applied.
    if (std::exchange(FRecorded, false) || Quiet) return;
    if (History)
        History->Apply(*this);
    else
        Exchange();
}

bool TEditorCommand::MergeFields(const TEditorCommand* newer) {
    const TEditState& next = newer->FState;
    if (newer->id() != id() || FState.HasOrder || next.HasOrder || next.HasComments) return false;
    // The newer step's records must all be held here, with their pictures
    // where the newer step changed those.
    for (const TRecordEntry& entry : next.Entries) {
        const bool known = std::any_of(
            FState.Entries.begin(), FState.Entries.end(), [&](const TRecordEntry& mine) {
                return mine.Record == entry.Record && (mine.Picture || !entry.Picture);
            });
        if (!known) return false;
    }
    // Typed back to where it started: the step goes.
    const bool unchanged =
        std::all_of(FState.Entries.begin(), FState.Entries.end(), [](const TRecordEntry& mine) {
            return !mine.Picture && SameFields(mine.Held, *mine.Record);
        });
    if (unchanged) setObsolete(true);
    return true;
}

bool SameFields(const TMyGifAnimation& a, const TMyGifAnimation& b) {
    return a.Name == b.Name && a.ScreenWidth == b.ScreenWidth && a.ScreenHeight == b.ScreenHeight &&
           a.ScreenColors == b.ScreenColors && a.ScreenReserved == b.ScreenReserved &&
           a.UseLocalPalette == b.UseLocalPalette && a.LocalColors == b.LocalColors &&
           a.BackgroundColor == b.BackgroundColor && a.Left == b.Left && a.Top == b.Top &&
           a.Width == b.Width && a.Height == b.Height && a.Interlaced == b.Interlaced &&
           a.Disposal == b.Disposal && a.HasTransparency == b.HasTransparency &&
           a.TransparentIndex == b.TransparentIndex && a.Delay == b.Delay && a.Loops == b.Loops;
}

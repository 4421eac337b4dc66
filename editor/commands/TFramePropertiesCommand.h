#pragma once
// A frame's properties or the logical screen's values changed. Typing in
// one control gives one step: changes of the same control (Field) on the
// same frames merge.
#include "editor/commands/TEditorCommand.h"

class TFramePropertiesCommand final : public TEditorCommandOf<TFramePropertiesCommand> {
  public:
    TFramePropertiesCommand(TEditState state, const QString& text, int field = -1)
        : TEditorCommandOf(std::move(state), text), FField(field) {}
    int id() const override { return FField < 0 ? -1 : 1000 + FField; }
    bool mergeWith(const QUndoCommand* other) override {
        return MergeFields(static_cast<const TEditorCommand*>(other));
    }

  private:
    int FField;
};

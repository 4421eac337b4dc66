#pragma once
// Frames' pictures changed (palette edits and management, apply-to-selected,
// crop, resize, rotate, effects, text), with whatever fields changed with
// them. A palette entry composed with "Auto Apply Color" on gives one step
// for the whole drag: changes with the same Field on the same frames merge.
#include "editor/commands/TEditorCommand.h"

class TPictureCommand final : public TEditorCommandOf<TPictureCommand> {
  public:
    TPictureCommand(TEditState state, const QString& text, int field = -1)
        : TEditorCommandOf(std::move(state), text), FField(field) {}
    int id() const override { return FField < 0 ? -1 : 2000 + FField; }
    bool mergeWith(const QUndoCommand* other) override {
        return MergeFields(static_cast<const TEditorCommand*>(other));
    }

  private:
    int FField;
};

#pragma once
// Frames were added (from files, the clipboard, blank, scanned or captured); undone, the step owns
// them.
#include "editor/commands/TEditorCommand.h"

class TInsertFramesCommand final : public TEditorCommandOf<TInsertFramesCommand> {
  public:
    using TEditorCommandOf::TEditorCommandOf;
};

#pragma once
// Comment blocks were added, changed, loaded or deleted.
#include "editor/commands/TEditorCommand.h"

class TCommentsCommand final : public TEditorCommandOf<TCommentsCommand> {
  public:
    using TEditorCommandOf::TEditorCommandOf;
};

#pragma once
// Frames changed places (the move buttons, dragging in the frame list).
#include "editor/commands/TEditorCommand.h"

class TMoveFramesCommand final : public TEditorCommandOf<TMoveFramesCommand> {
  public:
    using TEditorCommandOf::TEditorCommandOf;
};

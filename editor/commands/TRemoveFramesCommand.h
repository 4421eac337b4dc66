#pragma once
// Frames were deleted or cut; while done, the step owns them.
#include "editor/commands/TEditorCommand.h"

class TRemoveFramesCommand final : public TEditorCommandOf<TRemoveFramesCommand> {
  public:
    using TEditorCommandOf::TEditorCommandOf;
};

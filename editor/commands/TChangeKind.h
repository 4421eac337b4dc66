#pragma once
// The kinds of undo step; each has a command class of its own.
enum class TChangeKind {
    FrameProperties,
    Pictures,
    InsertFrames,
    RemoveFrames,
    MoveFrames,
    Comments
};

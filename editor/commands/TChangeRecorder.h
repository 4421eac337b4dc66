#pragma once
// Records one editing operation as an undo step. Made before the operation
// runs, it notes the frame order, every record's fields and, for the
// records named, their pictures (and the comment blocks when asked); when it
// goes out of scope it compares and pushes a step holding only what changed.
// An operation that changes nothing leaves no step.
//
// Operations must not free the records they remove: the step takes them.
#include "editor/commands/TChangeKind.h"
#include "editor/commands/TEditHistory.h"
#include "imaging/animated/TMyGifAnimation.h"
#include "platform/WinTypes.h"

#include <QString>
#include <vector>

class TChangeRecorder {
  public:
    using TKind = TChangeKind;
    // Field: steps of the same kind and field on the same frames merge
    // (-1: never).
    TChangeRecorder(TEditHistory* history, TFrameList* frames, TCommentList* comments, TKind kind,
                    const QString& text, const std::vector<TMyGifAnimation*>& pictures = {},
                    int field = -1);
    ~TChangeRecorder();
    TChangeRecorder(const TChangeRecorder&) = delete;
    TChangeRecorder& operator=(const TChangeRecorder&) = delete;

    // The step's name once the operation knows it ("Delete 3 frames").
    void SetText(const QString& text) { FText = text; }
    // Also note this record's picture (from now on).
    void NotePicture(TMyGifAnimation* record);

  private:
    struct TNoted {
        TMyGifAnimation* Record;
        TMyGifAnimation Fields; // DibHandle: a copy of the picture, or 0
    };
    void Commit();

    TEditHistory* FHistory; // 0: another recorder holds this change
    TFrameList* FFrames;
    TCommentList* FComments;
    TKind FKind;
    QString FText;
    int FField;
    TFrameList FOrder;
    std::vector<TNoted> FNoted;
    std::vector<TStringList> FCommentBlocks;
};

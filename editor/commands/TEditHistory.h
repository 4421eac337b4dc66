#pragma once
// The editor's undo history: a QUndoStack of TEditorCommand steps, bounded
// by the picture bytes the steps keep alive and by their number (the oldest
// steps go first), and the clean mark of the last whole save. It lives as
// long as the editor window.
#include <QObject>
#include <cstdint>
#include <functional>

class QUndoStack;
class TEditorCommand;

class TEditHistory : public QObject {
    Q_OBJECT
  public:
    static constexpr uint64_t DefaultByteLimit = uint64_t(512) << 20;
    static constexpr int DefaultStepLimit = 200;

    explicit TEditHistory(QObject* parent = nullptr, uint64_t byteLimit = DefaultByteLimit,
                          int stepLimit = DefaultStepLimit);
    ~TEditHistory() override;

    QUndoStack* Stack() const { return FStack; }
    // Takes the step (its change already made) and drops the oldest steps
    // until the bounds hold again.
    void Push(TEditorCommand* step);
    // Picture bytes of every step on the stack.
    uint64_t PictureBytes() const;
    void SetByteLimit(uint64_t bytes);
    int Count() const;

    // Recording is off while a step is applied (the panels being refilled
    // must not record) and inside a change already being recorded.
    bool Recording() const { return FDepth == 0 && !FApplying; }
    void EnterChange() { ++FDepth; }
    void LeaveChange() { --FDepth; }
    // Undo and redo of a step: the exchange, then OnApplied.
    void Apply(TEditorCommand& step);
    std::function<void(const TEditorCommand&)> OnApplied;

    // Changed since the animation was last saved whole (or since the
    // editor opened).
    bool Modified() const;
    void MarkSaved();

  private:
    void DropOldest(int count);

    QUndoStack* FStack;
    uint64_t FByteLimit;
    int FDepth = 0;
    bool FApplying = false;
};

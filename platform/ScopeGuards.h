#pragma once
// Small owners of "undo this when the scope ends, however it ends".
#include <functional>
#include <utility>

namespace zp {

// Runs its action when the scope ends.
struct AtExit {
    std::function<void()> run;
    ~AtExit() {
        if (run) run();
    }
};

// Sets a flag for the scope and gives it the opposite value afterwards.
class ScopedFlag {
  public:
    explicit ScopedFlag(bool& flag, bool value = true) : FFlag(flag), FValue(value) {
        FFlag = FValue;
    }
    ~ScopedFlag() { FFlag = !FValue; }
    ScopedFlag(const ScopedFlag&) = delete;
    ScopedFlag& operator=(const ScopedFlag&) = delete;

  private:
    bool& FFlag;
    bool FValue;
};

} // namespace zp

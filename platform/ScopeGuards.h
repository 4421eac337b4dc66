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

// Sets a flag for the scope and puts its earlier value back afterwards, so
// that an inner scope (a paint during a long rebuild) never ends an outer one.
class ScopedFlag {
  public:
    explicit ScopedFlag(bool& flag, bool value = true) : FFlag(flag), FBefore(flag) {
        FFlag = value;
    }
    ~ScopedFlag() { FFlag = FBefore; }
    ScopedFlag(const ScopedFlag&) = delete;
    ScopedFlag& operator=(const ScopedFlag&) = delete;

  private:
    bool& FFlag;
    bool FBefore;
};

} // namespace zp

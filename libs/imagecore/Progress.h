#pragma once
// Progress through a caller's callback (1 = go on, 0 = stop), shared by the
// modules' long operations.
#include <cstdint>

namespace ic {

using ProgressFn = int16_t (*)(int16_t percent, void* user);

class Progress {
  public:
    Progress(ProgressFn cb, void* user) : cb_(cb), user_(user) {}
    // False when the caller said stop.
    bool report(int32_t percent) const { return !cb_ || cb_(int16_t(percent), user_) != 0; }
    // Reports row y of n as a percentage, at most about 50 times per pass.
    bool row(int32_t y, int32_t n) const {
        if (n <= 0) return true;
        const int32_t step = n / 50 + 1;
        return y % step != 0 || report(int32_t(int64_t(y) * 100 / n));
    }

  private:
    ProgressFn cb_;
    void* user_;
};

} // namespace ic

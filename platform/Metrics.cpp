#include "platform/Metrics.h"

namespace {

struct Metric {
    int32_t index;
    int32_t value;
};

// A classic title bar scaled to a present-day 96-dpi screen: a 22-pixel
// caption with 22-pixel buttons, a 17-pixel tool-window caption with 17-pixel
// buttons, 16-pixel small icons; fixed windows have a 3-pixel frame, sizeable
// ones a 4-pixel frame to grab.
constexpr Metric kMetrics[] = {
    {SM_CYCAPTION, 22}, {SM_CXDLGFRAME, 3},   {SM_CYDLGFRAME, 3}, {SM_CXSIZE, 22},
    {SM_CYSIZE, 22},    {SM_CXFRAME, 4},      {SM_CYFRAME, 4},    {SM_CXSMICON, 16},
    {SM_CYSMICON, 16},  {SM_CYSMCAPTION, 17}, {SM_CXSMSIZE, 17},  {SM_CYSMSIZE, 17},
};

} // namespace

int32_t GetSystemMetrics(int32_t index) {
    for (const Metric& m : kMetrics)
        if (m.index == index) return m.value;
    return 0;
}

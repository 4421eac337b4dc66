#pragma once
// zentrope-gif optimize: rewrites a GIF smaller through the program's own
// save path (model, optimiser, codec), so the file it writes is the one the
// editor writes with "Optimize file size" ticked.
#include <string>

// level 1..3 (PVGifOptimizer's), lossy 0 (exact) to 200. Writes `out`
// through a temporary file renamed over it; an exact result larger than
// `in` is replaced by `in`'s own bytes, so a file never grows. Answers the exit status: 0, or
// 1 after printing the reason to standard error (`out` then untouched).
int RunOptimize(const std::string& in, const std::string& out, int level, int lossy);

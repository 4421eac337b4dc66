#pragma once
// Smaller frames for the GIF writer, showing exactly what the frame records
// show: the optimiser composes the records (PVCompositor) and writes new
// records that compose to the same screens, pixel for pixel. Each new frame
// holds only the rectangle that changed since the screen before it, pixels
// that stay as they were may become transparent where that makes the LZW
// data smaller, disposal is "keep" unless the next frame needs pixels
// cleared, consecutive identical screens become one frame with the delays
// added, and the colour tables are as small as the colours used allow (one
// global table when all colours fit). The input records are only read; the
// new ones (pictures included) belong to the optimiser and die with it.
// No widgets.
#include "imaging/animated/TMyGifAnimation.h"

#include <cstdint>

namespace PVWebImg {

class PVGifOptimizer {
  public:
    // Levels: 1 crops, merges, chooses disposal and tables; 2 also lets
    // unchanged pixels be transparent where the greedy LZW parse prefers;
    // 3 also measures parses that look ahead and whole-frame rules (every
    // unchanged pixel transparent, none, runs and row gaps drawn) and keeps
    // the smallest, and orders the shared table so that as many frames as
    // it can manage need narrower codes.
    explicit PVGifOptimizer(int level = 3);
    ~PVGifOptimizer();
    PVGifOptimizer(const PVGifOptimizer&) = delete;
    PVGifOptimizer& operator=(const PVGifOptimizer&) = delete;

    // False, with no frames made, when the records cannot be written this
    // way: a missing or true-colour picture, a screen the compositor
    // refuses, or a changed rectangle that needs more colours than a table
    // holds. The caller then writes the records as they are.
    bool Optimize(const TFrameList& frames);
    // The frames made by the last successful Optimize, in order.
    const TFrameList& Frames() const { return FFrames; }

  private:
    void FreeFrames();

    int FLevel;
    TFrameList FFrames;
};

} // namespace PVWebImg

#pragma once
// What the optimiser does with pixels that stay as they were: each may show
// its own colour or the transparent index, and the choice is whichever makes
// the frame's LZW data smallest. Measured, not guessed: greedy parses that
// take either value as the string goes (level 2), and at level 3 also parses
// that look ahead and rules over whole rows (every such pixel transparent,
// none, runs of one colour drawn whole, short or one-coloured gaps between
// drawn pixels drawn).
#include <cstddef>
#include <cstdint>
#include <vector>

namespace PVWebImg {

// Which choices won on the frames before, so that an animation's later
// frames try first, or only, those that pay for it (one that has not won
// lately is still tried every 16th frame).
struct PVChoiceHistory {
    uint32_t frames = 0;
    uint64_t pixels = 0; // of all those frames
    uint32_t wins[16] = {};
};

// pixels: the frame's indices, rows of `width`; alternatives: per pixel the
// transparent index where the pixel may take it, else the pixel itself.
// bits: of the colour table. Answers the indices to write; streamBits (may
// be nullptr) receives the size of their LZW stream at that table's width.
std::vector<uint8_t> ChooseUnchangedPixels(const std::vector<uint8_t>& pixels,
                                           const std::vector<uint8_t>& alternatives,
                                           uint8_t transparent, size_t width, int bits, int level,
                                           PVChoiceHistory& history,
                                           uint64_t* streamBits = nullptr);

} // namespace PVWebImg

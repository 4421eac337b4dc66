#pragma once
// A GIF image placed on its logical screen, for the still-picture readers.
#include "libs/codec/core/GifDecoder.h"
#include "platform/WinTypes.h"

namespace gifcore {

// The colour a still reader shows behind the image: the global table's
// entry at the background index; without a global table (or with the index
// beyond it) the image's own table at that index, else its entry 0.
uint32_t backgroundRgb(const GifScreen& screen, const GifImage& image);

// A new DIB of the logical screen's size: background colour everywhere,
// the image drawn at its position (clipped to the screen) with transparent
// pixels left as background. The table is the image's own, plus the
// background colour appended when the table lacks it; a 256-entry table
// with no room gives a 24-bit DIB. The depth follows depthForTable. 0 when
// memory runs out.
HGLOBAL composeOnScreen(const GifScreen& screen, const GifImage& image);

} // namespace gifcore

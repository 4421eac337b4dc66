#pragma once
// The packed DIB the codec delivers for one decoded GIF image.
#include "libs/codec/core/GifDecoder.h"
#include "platform/WinTypes.h"

namespace gifcore {

// Colour value meaning "leave the transparent entry as the file has it".
constexpr uint32_t kKeepTransparentColour = 0xFFFFFFFF;

// Bits per pixel for a table of `count` entries: 1 for 2, 4 for up to 16,
// else 8.
int32_t depthForTable(uint32_t count);

// A new DIB of the image's own width x height, rows bottom-up, holding the
// raw indices (an index beyond the table stays as it is; when such an index
// does not fit the table's depth, the depth is raised until it fits).
// biClrUsed is the table size. The entry at the transparent index becomes
// mapColour (0x00BBGGRR) unless that is kKeepTransparentColour. 0 when memory
// runs out.
HGLOBAL makeImageDib(const GifImage& image, uint32_t mapColour);

// The table as DIB colours.
void toRgbQuads(const GifColorTable& table, RGBQUAD* out);

} // namespace gifcore

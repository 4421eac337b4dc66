#pragma once
// Packed DIBs embedded in metafile records, turned into QImages with our own
// bounds checks (the components do not link the image core library).
#include <QImage>
#include <cstdint>
#include <span>

namespace wmf {

// Largest side and pixel memory a DIB may claim.
inline constexpr int64_t kMaxDibSide = 16384;
inline constexpr int64_t kMaxDibBytes = int64_t(1) << 30;

// A BITMAPINFOHEADER or BITMAPCOREHEADER DIB of 1, 4, 8, 16 (5-5-5), 24 or 32
// bits, uncompressed, with RGB colour table, as a top-down RGB32 image; a
// null image for anything else (compressed, palette-index colours, too large,
// shorter than its header says).
// bottomUp (optional) tells whether the rows were stored bottom row first,
// which decides where a source rectangle's y counts from.
QImage DibToImage(std::span<const uint8_t> dib, bool* bottomUp = nullptr);

} // namespace wmf

#pragma once
// BMP pictures: 1, 2, 4, 8, 16, 24 and 32 bits, RLE4 and RLE8, bit fields
// with any masks, top-down and bottom-up rows. The result is a packed DIB at
// the stored depth (2 bits become 4, 16 and 32 bits become 24; alpha is
// dropped) with the file's colour table padded with black to 2^bits entries,
// so that out-of-table indices stay in range.
#include "libs/codec/core/BmpHeader.h"
#include "libs/codec/core/StillReader.h"
#include "libs/imagecore/Dib.h"
#include "platform/GlobalBlock.h"

#include <cstddef>
#include <cstdint>

namespace gifcore {

// Largest width x height the decoders accept: any legal picture (the 1 GiB
// limit is checked per depth by the header reader, so only a 1-bit picture
// can come near this). The fuzz target passes less.
constexpr uint64_t kBmpMaxPixels = uint64_t(ic::kMaxSide) * uint64_t(ic::kMaxSide);

// True for the "BM" signature with a plausible header size.
bool isBmp(const uint8_t* data, size_t size);

// The file header and information header of a BMP file (fileinfo).
int32_t readBmpLayout(const uint8_t* data, size_t size, BmpLayout& out);

// Decodes the rows that follow a parsed header: pixels points at the first
// stored row, available bytes up to the end of the file. Uncompressed rows
// that end early fail with PVE_BMP_SHORT; run-length data that ends early
// (or without its end code) gives what was decoded, the rest colour 0: the
// runs carry their own positions, so a cut cannot shift what came before.
int32_t decodeBmpPixels(const BmpLayout& layout, const uint8_t* pixels, size_t available,
                        const Progress& progress, zp::GlobalBlock& out);

// A whole BMP file from memory.
int32_t decodeBmpFile(const uint8_t* data, size_t size, uint64_t maxPixels,
                      const Progress& progress, zp::GlobalBlock& out);

// The StillDecodeFn of the BMP reader.
int32_t decodeBmp(const uint8_t* data, size_t size, const StillOptions& options,
                  const Progress& progress, zp::GlobalBlock& out);

// Run-length rows (BmpRle.cpp) into a zero-filled DIB of 4 or 8 bits.
void decodeBmpRle(const uint8_t* data, size_t size, bool fourBits, ic::MutableDib& dib,
                  const Progress& progress, bool& cancelled);

} // namespace gifcore

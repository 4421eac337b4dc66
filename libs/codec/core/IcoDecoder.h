#pragma once
// Windows icons and cursors (ICO, CUR): the directory, the choice of the
// largest then deepest image, and its decoding. BMP entries are an XOR
// picture plus a 1-bit AND mask; PNG entries go through the PNG reader.
// A DIB has no transparency and the viewer shows pictures on white, so
// masked pixels become white and 32-bit pixels with alpha are blended onto
// white (as the PNG reader does with PNG alpha).
#include "libs/codec/core/StillReader.h"
#include "platform/GlobalBlock.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace gifcore {

struct IcoEntry {
    int32_t width = 0; // from the image data itself when readable, else the directory
    int32_t height = 0;
    int32_t bits = 0;
    bool png = false;
    bool usable = false; // data inside the file and a known header
    uint32_t offset = 0;
    uint32_t size = 0; // cut to the end of the file
};

struct IcoDirectory {
    bool cursor = false;
    std::vector<IcoEntry> entries;
    size_t chosen = 0; // the largest, then deepest, usable entry
};

// True for the icon or cursor directory signature.
bool isIco(const uint8_t* data, size_t size);

// Reads and checks the directory and picks the image to show. PVE_OK,
// PVE_ICO_DIRECTORY or PVE_ICO_ENTRY (no usable image).
int32_t readIcoDirectory(const uint8_t* data, size_t size, IcoDirectory& out);

// The chosen image of an icon file from memory as a DIB (1, 4, 8 or 24 bits).
int32_t decodeIcoFile(const uint8_t* data, size_t size, uint64_t maxPixels,
                      const Progress& progress, zp::GlobalBlock& out);

// The StillDecodeFn of the icon reader.
int32_t decodeIco(const uint8_t* data, size_t size, const StillOptions& options,
                  const Progress& progress, zp::GlobalBlock& out);

} // namespace gifcore

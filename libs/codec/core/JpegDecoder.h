#pragma once
// JPEG through libjpeg-turbo, from memory. Baseline and progressive; grey
// gives an 8-bit DIB with a grey table, colour a 24-bit DIB; CMYK and YCCK
// (Adobe's inverted form included) are converted to RGB. The EXIF
// orientation is not applied: the picture comes out as stored.
#include "libs/codec/core/StillReader.h"
#include "platform/GlobalBlock.h"

#include <cstddef>
#include <cstdint>

namespace gifcore {

// True when data starts with a JPEG start-of-image marker.
bool isJpeg(const uint8_t* data, size_t size);

struct JpegHeader {
    int32_t width = 0;
    int32_t height = 0;
    int32_t components = 0;
    bool progressive = false;
};

// Reads the markers up to the first scan (fileinfo). PVE_OK or a negative
// CodecError.
int32_t readJpegHeader(const uint8_t* data, size_t size, JpegHeader& out);

// Decodes the JPEG in data into out. A file that ends early gives the rows
// decoded up to its end (the rest stays black): libjpeg has checked all
// it read, so those rows are sound.
int32_t decodeJpeg(const uint8_t* data, size_t size, const StillOptions& options,
                   const Progress& progress, zp::GlobalBlock& out);

} // namespace gifcore

#pragma once
// ImageMagick as the peer of the still-image readers: the same library
// Debian's `convert` runs, called in-process on the same bytes so only the
// decoding is timed.
#include <cstddef>
#include <cstdint>
#include <string>

namespace magickpeer {

// Decodes the bytes as the given ImageMagick format ("BMP", "PCX", "TGA",
// "PNG", "JPEG" ...); answers the pixel count, 0 when ImageMagick failed.
uint64_t decode(const void* data, size_t size, const std::string& format);

} // namespace magickpeer

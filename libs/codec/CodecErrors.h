#pragma once
// Error codes of the codec library. The text of code c is entry (uint16_t)c
// of the string table (StringTable.cpp), which the binding reads by number.
#include <cstdint>

enum CodecError : int32_t {
    PVE_OK = 1,
    PVE_OPEN = -1,            // file cannot be opened
    PVE_READ = -2,            // read error
    PVE_NOT_GIF = -3,         // not a GIF file
    PVE_TRUNCATED = -4,       // file ends early
    PVE_BAD_LZW = -5,         // corrupt image data
    PVE_BAD_SIZE = -6,        // zero or absurd logical screen / image size
    PVE_TOO_LARGE = -7,       // beyond 16384 x 16384 or 1 GiB of pixels
    PVE_NO_MEMORY = -8,       // allocation failed
    PVE_NO_IMAGE = -9,        // the file holds no image
    PVE_CANCELLED = -10,      // the callback answered stop
    PVE_CREATE = -11,         // output file cannot be created
    PVE_WRITE = -12,          // write error (disk full...)
    PVE_BAD_DIB = -13,        // a DIB handed in is missing or malformed
    PVE_BAD_DEPTH = -14,      // unsupported bits per pixel
    PVE_BAD_ARGUMENT = -15,   // a null pointer or value out of range
    PVE_NO_FRAME = -16,       // the callback had no picture for a frame
    PVE_COMMENT_TOO_LONG = -17,
    PVE_BAD_BITMAP = -18,     // a device bitmap handle is invalid
    PVE_BAD_FRAME = -19,      // callback answered -100 for a frame it was asked for
    PVE_UNKNOWN_FORMAT = -20, // fileinfo: not a format the library knows
    PVE_INTERNAL = -21,       // an unexpected fault inside the library
    PVE_TOO_SHORT = -22,      // set by the binding: a file under 50 bytes is no image
};

// Copies the text of string id into buffer (cut to size - 1); answers the
// length, 0 for an unknown id.
int32_t codecStringFor(uint32_t id, char* buffer, int32_t size);

#pragma once
// Error codes of the codec library. The text of code c is entry (uint16_t)c
// of the string table (StringTable.cpp), which the binding reads by number.
#include <cstdint>

enum CodecError : int32_t {
    PVE_OK = 1,
    PVE_OPEN = -1,          // file cannot be opened
    PVE_READ = -2,          // read error
    PVE_NOT_GIF = -3,       // not a GIF file
    PVE_TRUNCATED = -4,     // file ends early
    PVE_BAD_LZW = -5,       // corrupt image data
    PVE_BAD_SIZE = -6,      // zero or absurd logical screen / image size
    PVE_TOO_LARGE = -7,     // a side above 65535 or pixels above 1 GiB
    PVE_NO_MEMORY = -8,     // allocation failed
    PVE_NO_IMAGE = -9,      // the file holds no image
    PVE_CANCELLED = -10,    // the callback answered stop
    PVE_CREATE = -11,       // output file cannot be created
    PVE_WRITE = -12,        // write error (disk full...)
    PVE_BAD_DIB = -13,      // a DIB handed in is missing or malformed
    PVE_BAD_DEPTH = -14,    // unsupported bits per pixel
    PVE_BAD_ARGUMENT = -15, // a null pointer or value out of range
    PVE_NO_FRAME = -16,     // the callback had no picture for a frame
    PVE_COMMENT_TOO_LONG = -17,
    PVE_BAD_BITMAP = -18,     // a device bitmap handle is invalid
    PVE_BAD_FRAME = -19,      // callback answered -100 for a frame it was asked for
    PVE_UNKNOWN_FORMAT = -20, // fileinfo: not a format the library knows
    PVE_INTERNAL = -21,       // an unexpected fault inside the library
    PVE_TOO_SHORT = -22,      // set by the binding: a file under 50 bytes is no image
    // PNG, JPEG and EPS readers: -50 .. -59
    PVE_PNG_NOT = -50,          // no PNG signature
    PVE_PNG_CORRUPT = -51,      // libpng refused a chunk or the compressed data
    PVE_JPEG_NOT = -52,         // no JPEG start-of-image marker
    PVE_JPEG_CORRUPT = -53,     // libjpeg refused the data
    PVE_JPEG_COLOURSPACE = -54, // a colour space other than grey, YCbCr, RGB, CMYK, YCCK
    PVE_EPS_NOT = -55,          // neither a DOS EPS binary header nor PostScript
    PVE_EPS_NO_PREVIEW = -56,   // PostScript only, no TIFF preview
    PVE_EPS_BAD_HEADER = -57,   // section offsets/lengths outside the file
    PVE_EPS_BAD_PREVIEW = -58,  // libtiff could not read the preview
    // BMP and ICO readers (-30 to -39).
    PVE_BMP_SIGNATURE = -30,   // no "BM" signature
    PVE_BMP_HEADER = -31,      // header size, planes, depth or size field impossible
    PVE_BMP_COMPRESSION = -32, // JPEG, PNG, Huffman, RLE24 or an unknown compression
    PVE_BMP_PALETTE = -33,     // colour table missing or outside the file
    PVE_BMP_MASKS = -34,       // bit fields on a depth other than 16/32, or all empty
    PVE_BMP_SHORT = -35,       // uncompressed pixel rows end early
    PVE_BMP_RLE = -36,         // run-length data unusable (top-down, outside the file)
    PVE_ICO_DIRECTORY = -37,   // icon directory corrupt or empty
    PVE_ICO_ENTRY = -38,       // chosen icon image outside the file or corrupt
    // PCX, TGA and Photo CD readers (-40 to -49).
    PVE_PCX_HEADER = -40,   // no 0x0A signature, unknown version/encoding, bad window
    PVE_PCX_LAYOUT = -41,   // bits per pixel and plane count not a known combination
    PVE_PCX_SHORT = -42,    // run-length data ends before the last row
    PVE_TGA_HEADER = -43,   // header impossible (sizes, descriptor, ID outside the file)
    PVE_TGA_TYPE = -44,     // image type or pixel depth not read
    PVE_TGA_COLORMAP = -45, // colour map missing, outside the file or of a bad entry size
    PVE_TGA_SHORT = -46,    // pixel data or a run-length packet ends early
    PVE_PCD_NOT = -47,      // no PCD_IPI image pack header
    PVE_PCD_SHORT = -48,    // file ends before the resolution asked for
    PVE_PCD_MODE = -49,     // resolution mode other than 0, 1, 2
    // Scanner and camera (TWAIN entry points): PVE_SCAN_BASE + the
    // platform's ScanStatus (-1 .. -14), so -61 .. -74.
    PVE_SCAN_BASE = -60,
};

// The codec error of a scanner status (which is below 0).
constexpr int32_t ScanError(int32_t status) {
    return PVE_SCAN_BASE + status;
}

// Copies the text of string id into buffer (cut to size - 1); answers the
// length, 0 for an unknown id.
int32_t codecStringFor(uint32_t id, char* buffer, int32_t size);

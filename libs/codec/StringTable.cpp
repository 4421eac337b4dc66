#include "libs/imagecore/StringTable.h"
#include "libs/codec/CodecErrors.h"
#include "libs/codec/PvCodec.h"
#include "platform/Scanner.h"

namespace {

struct Entry {
    int32_t code;
    const char* text;
};

constexpr Entry kTable[] = {
    {PVE_OPEN, "The file cannot be opened."},
    {PVE_READ, "The file cannot be read."},
    {PVE_NOT_GIF, "The file is not a GIF image."},
    {PVE_TRUNCATED, "The file ends before its last image is complete."},
    {PVE_BAD_LZW, "The image data of the file is corrupt."},
    {PVE_BAD_SIZE, "The file gives an image size of zero or a size that cannot be right."},
    {PVE_TOO_LARGE,
     "The image is too large: a side above 65535 pixels or more than 1 GiB of pixels."},
    {PVE_NO_MEMORY, "There is not enough memory for the image."},
    {PVE_NO_IMAGE, "The file holds no image."},
    {PVE_CANCELLED, "The operation was cancelled."},
    {PVE_CREATE, "The output file cannot be created."},
    {PVE_WRITE, "The output file cannot be written; the disk may be full."},
    {PVE_BAD_DIB, "A picture handed to the codec is missing or damaged."},
    {PVE_BAD_DEPTH, "The colour depth asked for is not supported."},
    {PVE_BAD_ARGUMENT, "The codec was called with an invalid argument."},
    {PVE_NO_FRAME, "A frame has no picture; nothing was saved."},
    {PVE_COMMENT_TOO_LONG, "A comment is too long to be saved; nothing was saved."},
    {PVE_BAD_BITMAP, "The bitmap handed to the codec is not valid."},
    {PVE_BAD_FRAME, "A frame asked for could not be delivered; nothing was saved."},
    {PVE_UNKNOWN_FORMAT, "The file is not in a format the codec knows."},
    {PVE_INTERNAL, "An internal error occurred in the codec."},
    {PVE_TOO_SHORT, "The file is too short to hold an image."},
    {PVE_PNG_NOT, "The file is not a PNG image (its signature is missing)."},
    {PVE_PNG_CORRUPT,
     "The PNG file is corrupt: a chunk, its checksum or its compressed image data is damaged."},
    {PVE_JPEG_NOT, "The file is not a JPEG image (its start marker is missing)."},
    {PVE_JPEG_CORRUPT,
     "The JPEG file is corrupt: its markers or compressed data cannot be decoded."},
    {PVE_JPEG_COLOURSPACE,
     "The JPEG colour space is not supported (only grey, YCbCr, RGB, CMYK and YCCK)."},
    {PVE_EPS_NOT, "The file is not an EPS file."},
    {PVE_EPS_NO_PREVIEW,
     "This EPS file has no TIFF preview; only the TIFF preview of an EPS file can be shown."},
    {PVE_EPS_BAD_HEADER,
     "The EPS file header points outside the file: the file is corrupt or truncated."},
    {PVE_EPS_BAD_PREVIEW,
     "The TIFF preview of this EPS file is corrupt or in a form that cannot be read."},
    {PVE_BMP_SIGNATURE, "The file is not a BMP picture: the BM signature is missing."},
    {PVE_BMP_HEADER, "The BMP header is corrupt: its header size, plane count, colour depth or "
                     "picture size cannot be right."},
    {PVE_BMP_COMPRESSION, "The BMP compression is not supported: only uncompressed, RLE4, RLE8 "
                          "and bit-field pictures are read (not JPEG, PNG, Huffman or RLE24)."},
    {PVE_BMP_PALETTE, "The BMP colour table is missing or lies outside the file."},
    {PVE_BMP_MASKS, "The BMP bit-field masks are invalid: bit fields need 16 or 32 bits per "
                    "pixel and at least one non-empty mask."},
    {PVE_BMP_SHORT, "The BMP pixel data ends before the picture is complete."},
    {PVE_BMP_RLE, "The BMP run-length data is corrupt: it lies outside the file or the picture "
                  "is stored top-down."},
    {PVE_ICO_DIRECTORY, "The icon file's directory is corrupt or lists no image."},
    {PVE_ICO_ENTRY, "The icon image chosen lies outside the file or is corrupt."},
    {PVE_PCX_HEADER, "The file is not a PCX picture or its header is corrupt: signature, "
                     "version, encoding or picture window cannot be right."},
    {PVE_PCX_LAYOUT, "This PCX layout is not supported: only 1, 2, 4 and 8 bits in one plane, "
                     "1 bit in 2 to 4 planes and 8 bits in 3 or 4 planes are read."},
    {PVE_PCX_SHORT, "Corrupt PCX run length: the pixel data ends before the picture is complete."},
    {PVE_TGA_HEADER, "The TGA header is corrupt: its picture size, descriptor or image ID "
                     "cannot be right."},
    {PVE_TGA_TYPE,
     "This TGA type is not supported: only colour-mapped (8 bits), true-colour "
     "(15, 16, 24, 32 bits) and grey (8 bits, or 16 with alpha), plain or run-length, "
     "are read."},
    {PVE_TGA_COLORMAP, "The TGA colour map is missing, lies outside the file or has an entry "
                       "size other than 15, 16, 24 or 32 bits."},
    {PVE_TGA_SHORT, "Corrupt TGA run length: the pixel data ends before the picture is complete."},
    {PVE_PCD_NOT, "The file is not a Photo CD image pack: the PCD_IPI header is missing."},
    {PVE_PCD_SHORT, "The Photo CD file ends before the resolution asked for."},
    {PVE_PCD_MODE, "The Photo CD resolution must be 0 (192 x 128), 1 (384 x 256) or "
                   "2 (768 x 512)."},
};

} // namespace

int32_t codecStringFor(uint32_t id, char* buffer, int32_t size) {
    const int32_t code = int16_t(uint16_t(id));
    if (code < PVE_SCAN_BASE && code >= ScanError(SCAN_BAD_ARGUMENT))
        return ic::copyString(buffer, size, ScannerStatusText(code - PVE_SCAN_BASE));
    const Entry* e = ic::findString(kTable, id);
    return ic::copyString(buffer, size, e ? e->text : "");
}

PVCODEC_API int32_t PVLoadString(uint32_t id, char* buffer, int32_t size) {
    return codecStringFor(id, buffer, size);
}

// Called by the binding before every entry point; the window is the active
// one (unused: the codec shows no windows of its own).
PVCODEC_API int32_t InitDll(uintptr_t /*window*/) {
    return 1;
}

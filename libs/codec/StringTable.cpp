#include "libs/codec/CodecErrors.h"
#include "libs/codec/PvCodec.h"

#include <algorithm>
#include <cstring>

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
    {PVE_TOO_LARGE, "The image is too large: more than 16384 x 16384 pixels or 1 GiB of pixels."},
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
};

} // namespace

int32_t codecStringFor(uint32_t id, char* buffer, int32_t size) {
    if (!buffer || size < 1) return 0;
    buffer[0] = '\0';
    for (const Entry& e : kTable) {
        if (uint32_t(uint16_t(e.code)) == id) {
            const int32_t n = std::min<int32_t>(int32_t(std::strlen(e.text)), size - 1);
            std::memcpy(buffer, e.text, size_t(n));
            buffer[n] = '\0';
            return n;
        }
    }
    return 0;
}

PVCODEC_API int32_t PVLoadString(uint32_t id, char* buffer, int32_t size) {
    return codecStringFor(id, buffer, size);
}

// Called by the binding before every entry point; the window is the active
// one (unused: the codec shows no windows of its own).
PVCODEC_API int32_t InitDll(uintptr_t /*window*/) { return 1; }

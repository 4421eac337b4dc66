// The TIFF library's texts, read by number through PVLoadString. Where
// libtiff gave a reason, it is appended to the text.
#include "libs/imagecore/StringTable.h"
#include "libs/codec/PvCodec.h"
#include "libs/tiff/core/TiffErrors.h"

#include <string>

using namespace tifcore;

namespace {

struct Entry {
    int32_t code;
    const char* text;
    bool withReason; // append libtiff's last error text
};

constexpr Entry kTable[] = {
    {TE_OPEN, "The TIFF file cannot be opened.", false},
    {TE_READ, "The TIFF file cannot be read (or is larger than 1 GiB).", false},
    {TE_NOT_TIFF, "The file is not a TIFF image: its II/MM header is missing.", false},
    {TE_CORRUPT, "The TIFF file is corrupt: its header or page directory cannot be read.", true},
    {TE_PAGE, "The TIFF file has no page with that number.", false},
    {TE_BAD_SIZE, "The TIFF page gives a width or height of zero.", false},
    {TE_TOO_LARGE,
     "The image is too large: a side above 65535 pixels or more than 1 GiB of pixels.", false},
    {TE_NO_MEMORY, "There is not enough memory for the image.", false},
    {TE_UNSUPPORTED, "This TIFF page's colour layout or compression is not supported.", true},
    {TE_CANCELLED, "The operation was cancelled.", false},
    {TE_DATA, "The TIFF image data is corrupt or truncated.", true},
    {TE_BAD_DEPTH, "The colour depth asked for is not supported.", false},
    {TE_BAD_ARGUMENT, "The TIFF library was called with an invalid argument.", false},
    {TE_INTERNAL, "An internal error occurred in the TIFF library.", false},
    {TE_TOO_SHORT, "The file is too short to hold an image.", false},
};

} // namespace

PVCODEC_API int32_t PVLoadString(uint32_t id, char* buffer, int32_t size) {
    const Entry* e = ic::findString(kTable, id);
    if (!e) return ic::copyString(buffer, size, "");
    const char* reason = e->withReason ? lastLibtiffError() : "";
    if (!reason[0]) return ic::copyString(buffer, size, e->text);
    const std::string detail = std::string(" (libtiff: ") + reason + ")";
    return ic::copyString(buffer, size, e->text, detail.c_str());
}

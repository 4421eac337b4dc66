#pragma once
// Error codes of the TIFF library. The text of code c is entry (uint16_t)c
// of the module's own string table (PVLoadString). -1 and -22 are also set
// by the binding (file missing, file under 50 bytes), so they keep the
// codec's numbers.
#include <cstdint>

namespace tifcore {

enum TiffError : int32_t {
    TE_OK = 1,
    TE_OPEN = -1,        // file cannot be opened
    TE_READ = -2,        // read error or file above the size limit
    TE_NOT_TIFF = -3,    // no II*\0 / MM\0* header
    TE_CORRUPT = -4,     // libtiff refused the header or a directory (text: libtiff's reason)
    TE_PAGE = -5,        // page outside 0 .. page count - 1
    TE_BAD_SIZE = -6,    // width or height 0 or missing
    TE_TOO_LARGE = -7,   // a side above 65535 or pixels above 1 GiB
    TE_NO_MEMORY = -8,   // allocation failed
    TE_UNSUPPORTED = -9, // a layout libtiff's RGBA interface refuses (text: its reason)
    TE_CANCELLED = -10,  // the callback answered stop
    TE_DATA = -11,       // strip or tile data corrupt or truncated (text: libtiff's reason)
    TE_BAD_DEPTH = -14,  // bits other than 0, 1, 4, 8, 24
    TE_BAD_ARGUMENT = -15,
    TE_INTERNAL = -21,
    TE_TOO_SHORT = -22, // set by the binding: a file under 50 bytes
};

// The last reason libtiff gave for a failure in this thread (without the
// module prefix); empty when none.
const char* lastLibtiffError();
void setLastLibtiffError(const char* text);

} // namespace tifcore

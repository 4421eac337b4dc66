#pragma once
// Error codes of the DXF library; the text of code c is entry (uint16_t)c of
// its own string table (PVLoadString). -1 and -22 are also set by the
// binding, so they keep the codec's numbers.
#include <cstdint>

namespace dxfcore {

enum DxfError : int32_t {
    DE_OK = 1,
    DE_OPEN = -1,    // file cannot be opened
    DE_READ = -2,    // read error or above the size limit
    DE_BINARY = -3,  // a binary DXF file
    DE_NOT_DXF = -4, // no SECTION / EOF structure of group pairs
    DE_SYNTAX = -5,  // a group code that is not a number
    DE_EMPTY = -6,   // nothing drawable with finite coordinates
    DE_NO_MEMORY = -8,
    DE_CANCELLED = -10,
    DE_BAD_DEPTH = -14,
    DE_BAD_ARGUMENT = -15,
    DE_INTERNAL = -21,
    DE_TOO_SHORT = -22, // set by the binding: a file under 50 bytes
};

} // namespace dxfcore

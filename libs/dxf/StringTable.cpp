// The DXF library's texts, read by number through PVLoadString.
#include "libs/imagecore/StringTable.h"
#include "libs/codec/PvCodec.h"
#include "libs/dxf/core/DxfErrors.h"

using namespace dxfcore;

namespace {

struct Entry {
    int32_t code;
    const char* text;
};

constexpr Entry kTable[] = {
    {DE_OPEN, "The DXF file cannot be opened."},
    {DE_READ, "The DXF file cannot be read (or is larger than 512 MiB)."},
    {DE_BINARY, "Binary DXF files are not supported; save the drawing as ASCII DXF."},
    {DE_NOT_DXF, "The file is not a DXF drawing: it has no SECTION."},
    {DE_SYNTAX, "The DXF file is corrupt: a group code is not a number."},
    {DE_EMPTY, "The DXF drawing holds nothing that can be drawn (lines, circles, arcs, "
               "polylines, points, text) with usable coordinates."},
    {DE_NO_MEMORY, "There is not enough memory for the drawing."},
    {DE_CANCELLED, "The operation was cancelled."},
    {DE_BAD_DEPTH, "The colour depth asked for is not supported."},
    {DE_BAD_ARGUMENT, "The DXF library was called with an invalid argument."},
    {DE_INTERNAL, "An internal error occurred in the DXF library."},
    {DE_TOO_SHORT, "The file is too short to hold an image."},
};

} // namespace

PVCODEC_API int32_t PVLoadString(uint32_t id, char* buffer, int32_t size) {
    const Entry* e = ic::findString(kTable, id);
    return ic::copyString(buffer, size, e ? e->text : "");
}

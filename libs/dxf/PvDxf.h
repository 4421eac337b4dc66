#pragma once
// The DXF library's C boundary (libq3dxf32.so), the same rules as the
// codec's (PvCodec.h).
//
// Decisions of this implementation (our own parser and rasteriser):
//  * ASCII DXF only; a binary DXF fails with -3 ("Binary DXF files are not
//    supported; save the drawing as ASCII DXF.").
//  * Drawn: LINE, POINT, CIRCLE, ARC, ELLIPSE, LWPOLYLINE (bulges),
//    POLYLINE/VERTEX/SEQEND (bulges), SOLID/TRACE/3DFACE outlines, TEXT,
//    ATTRIB, MTEXT, and INSERT of BLOCKS with scale and rotation (nested up
//    to 16 deep). Z is ignored (plan view); layers, colours, line types and
//    widths are not applied: everything is black, one pixel wide.
//  * Text: one rectangle per character (0.6 x 1 text height on an advance of
//    0.8 height, times the width factor), rotated with the text; MTEXT lines
//    at \P, 1.667 heights apart, the insertion point taken as top-left.
//  * Size: the header's $EXTMIN/$EXTMAX when usable, else the extents of what
//    is drawn; the longer side 1024 pixels, the shorter one in proportion,
//    4 white pixels of margin on each side (a drawing with no height gets
//    9 pixels). getdxfinfo answers that size and 1 bit.
//  * Bits 0 and 1: the 1-bit rendering (black 0, white 1); 4/8/24 converted.
//  * Coordinates that are not numbers or beyond 1e12 drop their entity; work
//    is capped at 2 million entity visits (block expansions included) and 20
//    million segments per pass (and 400 million pixels stepped), beyond which
//    the drawing is shown as far as it got. A section never ended runs to the
//    end of the file.
#include "libs/codec/PvCodec.h"

extern "C" {
// The size the drawing is rendered at (its aspect ratio, longest side
// fixed by the library) and its bits per pixel.
typedef int32_t (*PFN_getdxfinfo)(const char* file, int32_t* width, int32_t* height, int16_t* bits,
                                  int16_t zero);
// The drawing rendered black on white into a device bitmap with palette,
// at the depth asked (0 = as rendered, 1, 4, 8, 24).
typedef int32_t (*PFN_readdxftoddb)(const char* file, int32_t bits, int32_t dither,
                                    uintptr_t* bitmap, uintptr_t* palette, void* user,
                                    PVProgressCallback cb, int16_t zero);
}

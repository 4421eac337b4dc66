// readicofile: the largest, deepest image of an icon or cursor file as a
// device bitmap at the depth asked (masked pixels white).
#include "libs/codec/PvCodec.h"
#include "libs/codec/core/IcoDecoder.h"
#include "libs/codec/core/StillReader.h"

PVCODEC_API int32_t readicofile(const char* file, int32_t bits, int32_t dither, uintptr_t* bitmap,
                                uintptr_t* palette, void* user, PVProgressCallback cb,
                                int16_t /*zero*/) {
    return gifcore::readStillToBitmap(&gifcore::decodeIco, {}, file, bits, dither, bitmap, palette,
                                      user, cb);
}

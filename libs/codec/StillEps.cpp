// readepsfile: the TIFF preview of an EPS file as a device bitmap (the
// binding has no DIB form for EPS).
#include "libs/codec/PvCodec.h"
#include "libs/codec/core/EpsDecoder.h"
#include "libs/codec/core/StillReader.h"

PVCODEC_API int32_t readepsfile(const char* file, int32_t bits, int32_t dither, uintptr_t* bitmap,
                                uintptr_t* palette, void* user, PVProgressCallback cb,
                                int16_t /*zero*/) {
    return gifcore::readStillToBitmap(&gifcore::decodeEps, {}, file, bits, dither, bitmap, palette,
                                      user, cb);
}

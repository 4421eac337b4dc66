// rdpcxfiledib and readpcxfile: a PCX picture as a DIB or a device bitmap.
#include "libs/codec/PvCodec.h"
#include "libs/codec/core/PcxDecoder.h"
#include "libs/codec/core/StillReader.h"

PVCODEC_API int32_t rdpcxfiledib(const char* file, int32_t bits, int32_t dither, uintptr_t* dib,
                                 uintptr_t* palette, void* user, PVProgressCallback cb,
                                 int16_t /*zero*/) {
    return gifcore::readStillToDib(&gifcore::decodePcx, {}, file, bits, dither, dib, palette, user,
                                   cb);
}

PVCODEC_API int32_t readpcxfile(const char* file, int32_t bits, int32_t dither, uintptr_t* bitmap,
                                uintptr_t* palette, void* user, PVProgressCallback cb,
                                int16_t /*zero*/) {
    return gifcore::readStillToBitmap(&gifcore::decodePcx, {}, file, bits, dither, bitmap, palette,
                                      user, cb);
}

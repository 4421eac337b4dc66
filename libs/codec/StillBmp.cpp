// rdbmpfiledib and readbmpfile: a BMP picture at the depth asked.
#include "libs/codec/PvCodec.h"
#include "libs/codec/core/BmpDecoder.h"
#include "libs/codec/core/StillReader.h"

PVCODEC_API int32_t rdbmpfiledib(const char* file, int32_t bits, int32_t dither, uintptr_t* dib,
                                 uintptr_t* palette, void* user, PVProgressCallback cb,
                                 int16_t /*zero*/) {
    return gifcore::readStillToDib(&gifcore::decodeBmp, {}, file, bits, dither, dib, palette, user,
                                   cb);
}

PVCODEC_API int32_t readbmpfile(const char* file, int32_t bits, int32_t dither, uintptr_t* bitmap,
                                uintptr_t* palette, void* user, PVProgressCallback cb,
                                int16_t /*zero*/) {
    return gifcore::readStillToBitmap(&gifcore::decodeBmp, {}, file, bits, dither, bitmap, palette,
                                      user, cb);
}

// readtgafiledib and readtgafile: a TGA picture as a DIB or a device bitmap.
#include "libs/codec/PvCodec.h"
#include "libs/codec/core/StillReader.h"
#include "libs/codec/core/TgaDecoder.h"

PVCODEC_API int32_t readtgafiledib(const char* file, int32_t bits, int32_t dither, uintptr_t* dib,
                                   uintptr_t* palette, void* user, PVProgressCallback cb,
                                   int16_t /*zero*/) {
    return gifcore::readStillToDib(&gifcore::decodeTga, {}, file, bits, dither, dib, palette, user,
                                   cb);
}

PVCODEC_API int32_t readtgafile(const char* file, int32_t bits, int32_t dither, uintptr_t* bitmap,
                                uintptr_t* palette, void* user, PVProgressCallback cb,
                                int16_t /*zero*/) {
    return gifcore::readStillToBitmap(&gifcore::decodeTga, {}, file, bits, dither, bitmap, palette,
                                      user, cb);
}

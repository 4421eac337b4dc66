// readpngfile and rdpngfiledib: a PNG file as a device bitmap or a DIB.
#include "libs/codec/PvCodec.h"
#include "libs/codec/core/PngDecoder.h"
#include "libs/codec/core/StillReader.h"

PVCODEC_API int32_t rdpngfiledib(const char* file, int32_t bits, int32_t dither, uintptr_t* dib,
                                 uintptr_t* palette, void* user, PVProgressCallback cb,
                                 int16_t /*zero*/) {
    return gifcore::readStillToDib(&gifcore::decodePng, {}, file, bits, dither, dib, palette, user,
                                   cb);
}

PVCODEC_API int32_t readpngfile(const char* file, int32_t bits, int32_t dither, uintptr_t* bitmap,
                                uintptr_t* palette, void* user, PVProgressCallback cb,
                                int16_t /*zero*/) {
    return gifcore::readStillToBitmap(&gifcore::decodePng, {}, file, bits, dither, bitmap, palette,
                                      user, cb);
}

// readpcdfile and readpcdfiledib: a Photo CD picture as a device bitmap (at
// the resolution asked for) or as a DIB (the 768 x 512 base picture).
#include "libs/codec/PvCodec.h"
#include "libs/codec/core/PcdDecoder.h"
#include "libs/codec/core/StillReader.h"

PVCODEC_API int32_t readpcdfile(const char* file, int32_t bits, int32_t dither, int16_t pcdMode,
                                uintptr_t* bitmap, uintptr_t* palette, void* user,
                                PVProgressCallback cb, int16_t /*zero*/) {
    gifcore::StillOptions options;
    options.pcdMode = pcdMode;
    return gifcore::readStillToBitmap(&gifcore::decodePcd, options, file, bits, dither, bitmap,
                                      palette, user, cb);
}

PVCODEC_API int32_t readpcdfiledib(const char* file, int32_t bits, int32_t dither, uintptr_t* dib,
                                   uintptr_t* palette, void* user, PVProgressCallback cb,
                                   int16_t /*zero*/) {
    return gifcore::readStillToDib(&gifcore::decodePcd, {}, file, bits, dither, dib, palette, user,
                                   cb);
}

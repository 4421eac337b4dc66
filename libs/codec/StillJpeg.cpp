// readjpgfile and rdjpgfiledib: a JPEG file as a device bitmap or a DIB.
// The constant argument before the dither flag (always 1 from the binding)
// is accepted and ignored.
#include "libs/codec/PvCodec.h"
#include "libs/codec/core/JpegDecoder.h"
#include "libs/codec/core/StillReader.h"

PVCODEC_API int32_t rdjpgfiledib(const char* file, int32_t bits, int32_t /*one*/, int32_t dither,
                                 uintptr_t* dib, uintptr_t* palette, void* user,
                                 PVProgressCallback cb, int16_t /*zero*/) {
    return gifcore::readStillToDib(&gifcore::decodeJpeg, {}, file, bits, dither, dib, palette, user,
                                   cb);
}

PVCODEC_API int32_t readjpgfile(const char* file, int32_t bits, int32_t /*one*/, int32_t dither,
                                uintptr_t* bitmap, uintptr_t* palette, void* user,
                                PVProgressCallback cb, int16_t /*zero*/) {
    return gifcore::readStillToBitmap(&gifcore::decodeJpeg, {}, file, bits, dither, bitmap, palette,
                                      user, cb);
}

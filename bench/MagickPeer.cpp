#include "MagickPeer.h"

#include <cstring>
#include <magick/MagickCore.h>

namespace magickpeer {

uint64_t decode(const void* data, size_t size, const std::string& format) {
    static const bool ready = [] {
        MagickCoreGenesis(nullptr, MagickFalse);
        return true;
    }();
    (void)ready;
    ImageInfo* info = AcquireImageInfo();
    std::strncpy(info->magick, format.c_str(), MaxTextExtent - 1);
    ExceptionInfo* exception = AcquireExceptionInfo();
    Image* image = BlobToImage(info, data, size, exception);
    uint64_t pixels = 0;
    if (image) {
        pixels = uint64_t(image->columns) * image->rows;
        DestroyImage(image);
    }
    DestroyExceptionInfo(exception);
    DestroyImageInfo(info);
    return pixels;
}

} // namespace magickpeer

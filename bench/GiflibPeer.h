#pragma once
// What the giflib peers of the GIF benches share.
#include <gif_lib.h>

// The NETSCAPE2.0 block asking for endless looping.
inline void PutLoopForever(GifFileType* gif) {
    const uint8_t netscape[] = {'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0'};
    const uint8_t loop[] = {1, 0, 0};
    EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE);
    EGifPutExtensionBlock(gif, sizeof netscape, netscape);
    EGifPutExtensionBlock(gif, sizeof loop, loop);
    EGifPutExtensionTrailer(gif);
}

#include "libs/imagecore/StringTable.h"

#include <initializer_list>

namespace ic {

int32_t copyString(char* buffer, int32_t size, const char* text, const char* suffix) {
    if (!buffer || size < 1) return 0;
    int32_t n = 0;
    for (const char* part : {text ? text : "", suffix ? suffix : ""})
        for (const char* p = part; *p && n < size - 1; ++p)
            buffer[n++] = *p;
    buffer[n] = '\0';
    return n;
}

} // namespace ic

#include "libs/tiff/core/TiffFile.h"

#include <cstdio>
#include <filesystem>
#include <new>

namespace tifcore {

int32_t readWholeFile(const char* path, std::vector<uint8_t>& out) {
    std::error_code ec;
    if (!path || !std::filesystem::is_regular_file(path, ec)) return -1;
    const uint64_t size = std::filesystem::file_size(path, ec);
    if (ec) return -1;
    if (size > kMaxFileBytes) return -2;
    std::FILE* f = std::fopen(path, "rb");
    if (!f) return -1;
    try {
        out.resize(size_t(size));
    } catch (const std::bad_alloc&) {
        std::fclose(f);
        return -8;
    }
    const size_t got = size ? std::fread(out.data(), 1, out.size(), f) : 0;
    std::fclose(f);
    return got == out.size() ? 1 : -2;
}

} // namespace tifcore

#include "libs/codec/core/FileBytes.h"

#include "libs/codec/CodecErrors.h"

#include <cstdio>
#include <memory>
#include <new>
#include <sys/stat.h>

namespace gifcore {

namespace {
struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
} // namespace

int32_t readFileBytes(const char* path, std::vector<uint8_t>& out) {
    out.clear();
    if (!path || !*path) return PVE_OPEN;
    struct stat info {};
    if (::stat(path, &info) != 0 || !S_ISREG(info.st_mode)) return PVE_OPEN;
    if (uint64_t(info.st_size) > kMaxFileBytes) return PVE_TOO_LARGE;
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path, "rb"));
    if (!file) return PVE_OPEN;
    try {
        out.resize(size_t(info.st_size));
    } catch (const std::bad_alloc&) {
        return PVE_NO_MEMORY;
    }
    const size_t got = out.empty() ? 0 : std::fread(out.data(), 1, out.size(), file.get());
    if (got != out.size()) {
        // The file shrank under us or the device failed.
        if (std::ferror(file.get())) return PVE_READ;
        out.resize(got);
    }
    return PVE_OK;
}

} // namespace gifcore

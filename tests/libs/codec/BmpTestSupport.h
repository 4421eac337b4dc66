#pragma once
// Helpers of the BMP and ICO reader tests: source pictures written as PPM,
// ImageMagick (`convert`) as the independent writer and second decoder, and
// decoding through the loaded codec module.
#include "CodecModule.h"
#include "TestSupport.h"
#include "libs/codec/CodecErrors.h"
#include "libs/codec/PvCodec.h"
#include "libs/imagecore/Dib.h"
#include "libs/imagecore/Quantizer.h"
#include "platform/GlobalBlock.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace bmptest {

inline bool haveConvert() {
    return std::system("convert -version >/dev/null 2>&1") == 0;
}

inline bool run(const std::string& command) {
    return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

inline std::string quoted(const std::filesystem::path& p) {
    return "'" + p.string() + "'";
}

// pixels are 0x00RRGGBB, top row first.
inline void writePpm(const std::filesystem::path& path, int w, int h,
                     const std::vector<uint32_t>& pixels) {
    const std::string head = "P6\n" + std::to_string(w) + " " + std::to_string(h) + "\n255\n";
    std::vector<unsigned char> bytes(head.begin(), head.end());
    for (const uint32_t c : pixels)
        bytes.insert(bytes.end(), {uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c)});
    testsupport::writeFile(path, bytes);
}

// A binary 8-bit PPM as 0x00RRGGBB pixels; empty when it is not one.
inline std::vector<uint32_t> readPpm(const std::filesystem::path& path, int& w, int& h) {
    const std::vector<unsigned char> b = testsupport::readFile(path);
    int maxval = 0, consumed = 0;
    if (b.size() < 3 ||
        std::sscanf(reinterpret_cast<const char*>(b.data()), "P6 %d %d %d%n", &w, &h, &maxval,
                    &consumed) != 3 ||
        maxval != 255)
        return {};
    const size_t start = size_t(consumed) + 1;
    if (b.size() < start + size_t(w) * size_t(h) * 3) return {};
    std::vector<uint32_t> out(size_t(w) * size_t(h));
    for (size_t i = 0; i < out.size(); ++i) {
        const unsigned char* p = &b[start + i * 3];
        out[i] = uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2];
    }
    return out;
}

// ImageMagick's reading of a file (alpha dropped, as our DIBs drop it);
// empty when it refuses the file.
inline std::vector<uint32_t> magickPixels(const std::filesystem::path& file, int& w, int& h) {
    const std::filesystem::path out = file.string() + ".ppm";
    if (!run("convert " + quoted(file) + "[0] -alpha off -depth 8 ppm:" + quoted(out))) return {};
    return readPpm(out, w, h);
}

struct Decoded {
    int32_t rc = 0;
    int32_t bpp = 0;
    int32_t width = 0;
    int32_t height = 0;
    uint32_t colorCount = 0;
    std::vector<uint32_t> rgb; // top row first
};

// Decodes through a DIB-form entry point of the module (rdbmpfiledib ...).
inline Decoded readDib(const char* entry, const std::filesystem::path& file, int32_t bits = 0,
                       int32_t dither = 0, void* user = nullptr, PVProgressCallback cb = nullptr) {
    Decoded d;
    const auto read = testsupport::codecProc<PFN_rdfiledib>(entry);
    if (!read) return d;
    uintptr_t dib = 0;
    d.rc = read(file.c_str(), bits, dither, &dib, nullptr, user, cb, 0);
    if (d.rc != PVE_OK) return d;
    zp::GlobalBlock owner(dib);
    zp::GlobalLockGuard lock(dib);
    ic::DibView v;
    if (!lock || !ic::parseDib(lock.data(), owner.size(), v)) {
        d.rc = PVE_BAD_DIB;
        return d;
    }
    d.bpp = v.bpp, d.width = v.width, d.height = v.height, d.colorCount = v.colorCount;
    d.rgb = ic::toRgb(v);
    return d;
}

// Largest channel difference between two pictures of the same size.
inline int maxChannelDiff(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b) {
    int worst = 0;
    for (size_t i = 0; i < a.size() && i < b.size(); ++i)
        for (int s = 0; s <= 16; s += 8)
            worst = std::max(worst, std::abs(int((a[i] >> s) & 0xFF) - int((b[i] >> s) & 0xFF)));
    return a.size() == b.size() ? worst : 256;
}

struct ProgressLog {
    std::vector<int16_t> seen;
    int stopAfter = -1; // answer 0 once this many calls were made (-1 = never)
};

inline int16_t logProgress(int16_t percent, void* user) {
    auto* log = static_cast<ProgressLog*>(user);
    log->seen.push_back(percent);
    return log->stopAfter >= 0 && int(log->seen.size()) > log->stopAfter ? 0 : 1;
}

} // namespace bmptest

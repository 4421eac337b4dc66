#pragma once
// Shared by the PNG, JPEG and EPS reader tests: source pictures written as
// PAM files for an outside writer (ImageMagick, Pillow) run at test time,
// the decode through a module entry point, and the leak check.
#include "CodecModule.h"
#include "TestSupport.h"
#include "libs/codec/CodecErrors.h"
#include "libs/codec/PvCodec.h"
#include "libs/imagecore/Dib.h"
#include "platform/Gdi.h"
#include "platform/GlobalBlock.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace pngjpeg {

inline bool haveTool(const char* path) {
    return std::filesystem::exists(path);
}

// Runs a shell command; true when it exits with 0.
inline bool run(const std::string& command) {
    return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

// A picture of `channels` samples per pixel (1 grey, 2 grey + alpha, 3 RGB,
// 4 RGBA) up to maxval, row by row.
struct Picture {
    int width = 0, height = 0, channels = 3, maxval = 255;
    std::vector<uint16_t> samples;
    uint16_t at(int x, int y, int c) const {
        return samples[(size_t(y) * size_t(width) + size_t(x)) * size_t(channels) + size_t(c)];
    }
};

inline void writePam(const std::filesystem::path& path, const Picture& p) {
    static const char* const kTypes[] = {"", "GRAYSCALE", "GRAYSCALE_ALPHA", "RGB", "RGB_ALPHA"};
    std::ofstream out(path, std::ios::binary);
    out << "P7\nWIDTH " << p.width << "\nHEIGHT " << p.height << "\nDEPTH " << p.channels
        << "\nMAXVAL " << p.maxval << "\nTUPLTYPE " << kTypes[p.channels] << "\nENDHDR\n";
    for (uint16_t v : p.samples) {
        if (p.maxval > 255) out.put(char(v >> 8));
        out.put(char(v & 0xFF));
    }
}

// An 8-bit binary PPM (P6) as 0x00RRGGBB words; empty when unreadable.
inline std::vector<uint32_t> readPpm(const std::filesystem::path& path, int& width, int& height) {
    std::ifstream in(path, std::ios::binary);
    std::string magic;
    int maxval = 0;
    in >> magic >> width >> height >> maxval;
    in.get();
    if (magic != "P6" || maxval != 255 || width <= 0 || height <= 0) return {};
    std::vector<uint32_t> out(size_t(width) * size_t(height));
    for (uint32_t& px : out) {
        unsigned char c[3];
        if (!in.read(reinterpret_cast<char*>(c), 3)) return {};
        px = uint32_t(c[0]) << 16 | uint32_t(c[1]) << 8 | c[2];
    }
    return out;
}

// Largest difference of one channel between two 0x00RRGGBB colours.
inline int channelDiff(uint32_t a, uint32_t b) {
    int worst = 0;
    for (int shift = 0; shift <= 16; shift += 8)
        worst = std::max(worst, std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)));
    return worst;
}

struct Calls {
    std::vector<int16_t> seen;
    size_t stopAt = SIZE_MAX; // answer 0 on this call (0-based)
};

inline int16_t onProgress(int16_t percent, void* user) {
    auto* calls = static_cast<Calls*>(user);
    calls->seen.push_back(percent);
    return calls->seen.size() - 1 == calls->stopAt ? 0 : 1;
}

// A reader in DIB form, whatever its argument order.
using DibReader = std::function<int32_t(const char* file, int32_t bits, int32_t dither,
                                        uintptr_t* dib, uintptr_t* palette, Calls* calls)>;

inline DibReader dibReader(const char* name) {
    const auto read = testsupport::codecProc<PFN_rdfiledib>(name);
    return [read](const char* f, int32_t bits, int32_t dither, uintptr_t* dib, uintptr_t* pal,
                  Calls* calls) {
        return read(f, bits, dither, dib, pal, calls, calls ? onProgress : nullptr, 0);
    };
}

struct Decoded {
    int32_t rc = 0;
    int32_t bpp = 0, width = 0, height = 0;
    std::vector<uint32_t> rgb; // top row first
};

// Decodes through the entry point and frees what it handed out.
inline Decoded decode(const DibReader& read, const std::filesystem::path& file, int32_t bits = 0,
                      int32_t dither = 0, Calls* calls = nullptr) {
    Decoded d;
    uintptr_t dib = 0, pal = 0;
    d.rc = read(file.c_str(), bits, dither, &dib, &pal, calls);
    if (pal) DeleteObject(pal);
    if (d.rc != PVE_OK) {
        EXPECT_EQ(dib, 0u);
        return d;
    }
    zp::GlobalBlock owner(dib);
    zp::GlobalLockGuard lock(dib);
    ic::DibView v;
    if (!lock || !ic::parseDib(lock.data(), owner.size(), v)) {
        ADD_FAILURE() << "the reader's DIB does not parse";
        d.rc = PVE_INTERNAL;
        return d;
    }
    d.bpp = v.bpp;
    d.width = v.width;
    d.height = v.height;
    for (int y = 0; y < v.height; ++y)
        for (int x = 0; x < v.width; ++x)
            d.rgb.push_back(v.rgb(x, y));
    return d;
}

// The module's text for an error code.
inline std::string errorText(int32_t code) {
    using LoadString = int32_t (*)(uint32_t, char*, int32_t);
    static const auto load = testsupport::codecProc<LoadString>("PVLoadString");
    char text[256] = {};
    if (load) load(uint32_t(uint16_t(code)), text, sizeof text);
    return text;
}

// fileinfo through the module.
struct Info {
    int32_t rc = 0;
    std::string format, description;
    PVFileInfo values{};
};

inline Info fileInfo(const std::filesystem::path& file) {
    static const auto info = testsupport::codecProc<PFN_fileinfo>("fileinfo");
    Info out;
    char format[PV_FORMAT_TEXT_SIZE] = {}, description[PV_DESCRIPTION_TEXT_SIZE] = {};
    out.rc = info(file.c_str(), format, &out.values, description, 0);
    out.format = format;
    out.description = description;
    return out;
}

// Every test checks that no global block or GDI object outlives it.
class LeakChecked : public testing::Test {
  protected:
    void SetUp() override {
        blocks_ = GlobalBlockCount();
        objects_ = GdiObjectCount();
    }
    void TearDown() override {
        EXPECT_EQ(GlobalBlockCount(), blocks_);
        EXPECT_EQ(GdiObjectCount(), objects_);
    }

  private:
    uint64_t blocks_ = 0, objects_ = 0;
};

} // namespace pngjpeg

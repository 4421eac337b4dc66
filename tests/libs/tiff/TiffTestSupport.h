#pragma once
// Shared by the TIFF tests: the real module loaded from the program folder,
// source pictures written as PPM/PGM and turned into TIFF files by
// ImageMagick at test time, and a tiny TIFF writer for hostile files.
#include "TestSupport.h"
#include "libs/imagecore/DibFixtures.h"
#include "libs/tiff/PvTiff.h"
#include "libs/tiff/RunTool.h"
#include "platform/Module.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace tifftest {

inline HMODULELIKE tiffModule() {
    static HMODULELIKE module = [] {
        const std::string path = std::string(ProgramFolder()) + "/libq3tif32.so";
        HMODULELIKE m = LoadModule(path.c_str());
        if (!m) ADD_FAILURE() << "cannot load " << path << ": " << ModuleLoadError();
        return m;
    }();
    return module;
}

template <class Fn> Fn proc(const char* name) {
    auto p = reinterpret_cast<Fn>(GetModuleProc(tiffModule(), name));
    if (!p) ADD_FAILURE() << "TIFF entry point missing: " << name;
    return p;
}

inline std::string errorText(int32_t code) {
    char text[512] = "";
    LoadModuleString(tiffModule(), uint16_t(code), text, sizeof text);
    return text;
}

inline bool haveConvert() {
    return std::filesystem::exists("/usr/bin/convert");
}

// Writes 0x00RRGGBB pixels as binary PPM (or PGM from the red channel).
inline void writePnm(const std::filesystem::path& path, int w, int h,
                     const std::vector<uint32_t>& px, bool grey) {
    std::ofstream out(path, std::ios::binary);
    out << (grey ? "P5\n" : "P6\n") << w << ' ' << h << "\n255\n";
    for (uint32_t c : px) {
        if (grey) {
            out.put(char(c >> 16));
        } else {
            out.put(char(c >> 16)), out.put(char(c >> 8)), out.put(char(c));
        }
    }
}

// Runs convert with the arguments; true on success.
inline bool convert(const std::string& args) {
    return testsupport::runQuiet("/usr/bin/convert " + args);
}

// A DIB read through readtiffiledib; 0 and the error in rc on failure.
inline HGLOBAL readDib(const std::filesystem::path& file, int16_t page, int32_t bits,
                       int32_t dither, int32_t* rc = nullptr, PVProgressCallback cb = nullptr,
                       void* user = nullptr) {
    static auto read = proc<PFN_readtiffiledib>("readtiffiledib");
    uintptr_t dib = 0;
    const int32_t r = read(file.c_str(), page, bits, dither, &dib, user, cb, 0);
    if (rc) *rc = r;
    return r > 0 ? dib : 0;
}

// A little-endian TIFF of one uncompressed strip with the given fields.
inline std::vector<unsigned char> tinyTiff(uint32_t width, uint32_t height, uint16_t bps,
                                           uint16_t spp, uint16_t photometric,
                                           const std::vector<unsigned char>& pixels) {
    std::vector<unsigned char> f = {'I', 'I', 42, 0, 8, 0, 0, 0};
    auto u16 = [&](uint32_t v) { f.push_back(uint8_t(v)), f.push_back(uint8_t(v >> 8)); };
    auto u32 = [&](uint32_t v) { u16(v & 0xFFFF), u16(v >> 16); };
    const uint16_t count = 9;
    const uint32_t dataOffset = 8 + 2 + count * 12 + 4;
    u16(count);
    auto entry = [&](uint16_t tag, uint16_t type, uint32_t value) {
        u16(tag), u16(type), u32(1);
        if (type == 3)
            u16(value), u16(0);
        else
            u32(value);
    };
    entry(256, 4, width);
    entry(257, 4, height);
    entry(258, 3, bps);
    entry(259, 3, 1);
    entry(262, 3, photometric);
    entry(273, 4, dataOffset);
    entry(277, 3, spp);
    entry(278, 4, height);
    entry(279, 4, uint32_t(pixels.size()));
    u32(0);
    f.insert(f.end(), pixels.begin(), pixels.end());
    return f;
}

} // namespace tifftest

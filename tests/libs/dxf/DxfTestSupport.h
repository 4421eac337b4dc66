#pragma once
// Shared by the DXF tests: the real module from the program folder, drawings
// written by ezdxf (Debian's python3-ezdxf) at test time, and the rendered
// bitmap as black/white pixels.
#include "TestSupport.h"
#include "libs/dxf/PvDxf.h"
#include "libs/tiff/RunTool.h"
#include "platform/Gdi.h"
#include "platform/Module.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>

namespace dxftest {

inline HMODULELIKE dxfModule() {
    static HMODULELIKE module = [] {
        const std::string path = std::string(ProgramFolder()) + "/libq3dxf32.so";
        HMODULELIKE m = LoadModule(path.c_str());
        if (!m) ADD_FAILURE() << "cannot load " << path << ": " << ModuleLoadError();
        return m;
    }();
    return module;
}

template <class Fn> Fn proc(const char* name) {
    auto p = reinterpret_cast<Fn>(GetModuleProc(dxfModule(), name));
    if (!p) ADD_FAILURE() << "DXF entry point missing: " << name;
    return p;
}

inline std::string errorText(int32_t code) {
    char text[512] = "";
    LoadModuleString(dxfModule(), uint16_t(code), text, sizeof text);
    return text;
}

inline bool haveEzdxf() {
    static const bool ok = testsupport::runQuiet("/usr/bin/python3 -c 'import ezdxf'");
    return ok;
}

// Writes one drawing per (name, body) into dir/name.dxf with a single
// Python run (each body sees fresh doc and msp); false if Python failed.
inline bool ezdxfBatch(const std::filesystem::path& dir,
                       const std::vector<std::pair<std::string, std::string>>& drawings) {
    std::ofstream script(dir / "make.py");
    script << "import ezdxf, sys, os\n";
    for (const auto& [name, body] : drawings)
        script << "doc = ezdxf.new('R2010')\nmsp = doc.modelspace()\n"
               << body << "\ndoc.saveas(os.path.join(sys.argv[1], '" << name << ".dxf'))\n";
    script.close();
    return testsupport::runQuiet("/usr/bin/python3 " + (dir / "make.py").string() + " " +
                                 dir.string());
}

inline void writeText(const std::filesystem::path& file, const std::string& text) {
    std::ofstream(file, std::ios::binary) << text;
}

// A rendering: true = black.
struct Picture {
    int32_t rc = 0;
    int32_t width = 0, height = 0;
    std::vector<bool> black;
    bool at(int x, int y) const { return black[size_t(y) * size_t(width) + size_t(x)]; }
    int countRow(int y) const {
        int n = 0;
        for (int x = 0; x < width; ++x)
            n += at(x, y);
        return n;
    }
};

inline Picture render(const std::filesystem::path& file, int32_t bits = 0,
                      PVProgressCallback cb = nullptr, void* user = nullptr) {
    static auto read = proc<PFN_readdxftoddb>("readdxftoddb");
    Picture p;
    uintptr_t bitmap = 0, palette = 0;
    p.rc = read(file.c_str(), bits, 0, &bitmap, &palette, user, cb, 0);
    if (p.rc <= 0) return p;
    GetDeviceBitmapSize(bitmap, &p.width, &p.height);
    const uint32_t* px = DeviceBitmapBits(bitmap);
    for (size_t i = 0; i < size_t(p.width) * size_t(p.height); ++i) {
        const uint32_t c = px[i] & 0xFFFFFF;
        EXPECT_TRUE(c == 0 || c == 0xFFFFFF) << "not black or white: " << std::hex << c;
        p.black.push_back(c == 0);
    }
    DeleteObject(bitmap);
    if (palette) DeleteObject(palette);
    return p;
}

// A DXF text with the entities given (group/value lines) in ENTITIES.
inline std::string dxfText(const std::string& entities, const std::string& blocks = "") {
    std::string s = "0\nSECTION\n2\nHEADER\n0\nENDSEC\n";
    if (!blocks.empty()) s += "0\nSECTION\n2\nBLOCKS\n" + blocks + "0\nENDSEC\n";
    return s + "0\nSECTION\n2\nENTITIES\n" + entities + "0\nENDSEC\n0\nEOF\n";
}

inline std::string line(double x0, double y0, double x1, double y1) {
    return "0\nLINE\n8\n0\n10\n" + std::to_string(x0) + "\n20\n" + std::to_string(y0) + "\n11\n" +
           std::to_string(x1) + "\n21\n" + std::to_string(y1) + "\n";
}

} // namespace dxftest

#pragma once
// Shared by the PCX, TGA and Photo CD reader tests: the outside writers
// (ImageMagick's convert, Python + Pillow) run at test time, PPM/PGM files
// for their input and output, and decoding through the loaded module.
#include "CodecModule.h"
#include "TestSupport.h"
#include "libs/codec/CodecErrors.h"
#include "libs/codec/PvCodec.h"
#include "libs/imagecore/DibFixtures.h"

#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace pxt {

namespace fs = std::filesystem;

constexpr const char* kConvert = "/usr/bin/convert";
// The system interpreter: Debian's Pillow is installed for it.
constexpr const char* kPython = "/usr/bin/python3";

inline bool haveConvert() {
    return fs::exists(kConvert);
}
inline bool havePillow() {
    static const bool ok =
        fs::exists(kPython) &&
        std::system((std::string(kPython) + " -c 'import PIL' >/dev/null 2>&1").c_str()) == 0;
    return ok;
}

inline bool run(const std::string& command) {
    return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

inline std::string quote(const fs::path& p) {
    return "'" + p.string() + "'";
}

// Pillow saving src (PPM or PGM; P mode takes the PGM's values as indices
// and pal as the 768-byte palette) in `mode` with save keywords `opts`
// ("compression=tga_rle,orientation=1").
inline bool pillowSave(const fs::path& src, const fs::path& pal, const std::string& mode,
                       const fs::path& out, const std::string& opts) {
    static const char* script = "import sys\n"
                                "from PIL import Image\n"
                                "src, pal, mode, out, opts = sys.argv[1:6]\n"
                                "im = Image.open(src)\n"
                                "if mode == 'P':\n"
                                "    im = Image.frombytes('P', im.size, im.tobytes())\n"
                                "    im.putpalette(open(pal, 'rb').read())\n"
                                "elif mode == '1':\n"
                                "    im = im.convert('1', dither=Image.Dither.NONE)\n"
                                "elif mode != im.mode:\n"
                                "    im = im.convert(mode)\n"
                                "kw = {}\n"
                                "for kv in filter(None, opts.split(',')):\n"
                                "    k, v = kv.split('=')\n"
                                "    kw[k] = int(v) if v.lstrip('-').isdigit() else v\n"
                                "im.save(out, **kw)\n";
    const fs::path py = out.parent_path() / "pillow_save.py";
    if (!fs::exists(py)) std::ofstream(py) << script;
    return run(std::string(kPython) + " " + quote(py) + " " + quote(src) + " " + quote(pal) + " " +
               mode + " " + quote(out) + " '" + opts + "'");
}

// Binary PPM (0x00RRGGBB pixels) or PGM (values 0..255 in the low byte).
inline void writePnm(const fs::path& path, int w, int h, const std::vector<uint32_t>& px,
                     bool grey) {
    std::vector<unsigned char> bytes;
    const std::string head =
        (grey ? "P5\n" : "P6\n") + std::to_string(w) + " " + std::to_string(h) + "\n255\n";
    bytes.assign(head.begin(), head.end());
    for (uint32_t c : px) {
        if (grey) {
            bytes.push_back(uint8_t(c));
        } else {
            bytes.push_back(uint8_t(c >> 16));
            bytes.push_back(uint8_t(c >> 8));
            bytes.push_back(uint8_t(c));
        }
    }
    testsupport::writeFile(path, bytes);
}

// A P6 PPM (as convert writes it) into 0x00RRGGBB pixels; empty on failure.
inline std::vector<uint32_t> readPpm(const fs::path& path, int& w, int& h) {
    const std::vector<unsigned char> b = testsupport::readFile(path);
    size_t pos = 0;
    auto number = [&]() {
        while (pos < b.size() && (std::isspace(b[pos]) || b[pos] == '#')) {
            if (b[pos] == '#')
                while (pos < b.size() && b[pos] != '\n')
                    ++pos;
            else
                ++pos;
        }
        int v = 0;
        while (pos < b.size() && std::isdigit(b[pos]))
            v = v * 10 + (b[pos++] - '0');
        return v;
    };
    if (b.size() < 2 || b[0] != 'P' || b[1] != '6') return {};
    pos = 2;
    w = number(), h = number();
    const int maxval = number();
    ++pos;
    if (maxval != 255 || b.size() < pos + size_t(w) * size_t(h) * 3) return {};
    std::vector<uint32_t> px(size_t(w) * size_t(h));
    for (size_t i = 0; i < px.size(); ++i, pos += 3)
        px[i] = uint32_t(b[pos]) << 16 | uint32_t(b[pos + 1]) << 8 | b[pos + 2];
    return px;
}

// ImageMagick's reading of a file, as RGB pixels. ImageMagick keeps a TGA
// origin as a tag, so the picture is turned upright first; `frame` picks
// the image of a multi-image file ("" for Photo CD, whose first frame is
// its smallest resolution).
inline std::vector<uint32_t> magickPixels(const fs::path& file, int& w, int& h,
                                          const std::string& frame = "[0]") {
    const fs::path ppm = file.string() + ".ref.ppm";
    if (!run(std::string(kConvert) + " " + quote(file) + frame +
             " -auto-orient -depth 8 ppm:" + quote(ppm)))
        return {};
    return readPpm(ppm, w, h);
}

// Pillow's reading of a file, as RGB pixels.
inline std::vector<uint32_t> pillowPixels(const fs::path& file, int& w, int& h) {
    const fs::path ppm = file.string() + ".pil.ppm";
    if (!run(std::string(kPython) +
             " -c 'import sys; from PIL import Image; "
             "Image.open(sys.argv[1]).convert(\"RGB\").save(sys.argv[2])' " +
             quote(file) + " " + quote(ppm)))
        return {};
    return readPpm(ppm, w, h);
}

// How closely a decoded picture matches the closest of the outside readers
// (ImageMagick, Pillow) that read the file at the same size: each of them
// has its own faults (ImageMagick inverts some 1-bit PCX files and drops
// grey + alpha TGA, Debian's Pillow misreads padded planar PCX lines).
// Answers -1 when no reader could read it.
inline double closestReference(const fs::path& file, const fixtures::DibBlock& dib) {
    double best = -1;
    for (const bool pillow : {false, true}) {
        if (pillow ? !havePillow() : !haveConvert()) continue;
        int w = 0, h = 0;
        const std::vector<uint32_t> ref =
            pillow ? pillowPixels(file, w, h) : magickPixels(file, w, h);
        if (ref.empty() || w != dib.view().width || h != dib.view().height) continue;
        best = std::max(best, fixtures::psnr(dib.rgb(), ref));
        if (best > 40) break; // the second reader is slow to start: ask it only when needed
    }
    return best;
}

struct ProgressLog {
    std::vector<int16_t> seen;
    int stopAfter = -1; // answer 0 on this call (counted from 0)
};

inline int16_t onProgress(int16_t percent, void* user) {
    auto* log = static_cast<ProgressLog*>(user);
    log->seen.push_back(percent);
    return int16_t(int(log->seen.size()) - 1 == log->stopAfter ? 0 : 1);
}

// One DIB-form read through the module.
struct Decoded {
    int32_t rc = 0;
    std::unique_ptr<fixtures::DibBlock> dib;
    bool ok() const { return rc == PVE_OK && dib && dib->valid(); }
};

inline Decoded readDib(const char* entry, const fs::path& file, int32_t bits = 0,
                       int32_t dither = 0, ProgressLog* log = nullptr) {
    Decoded d;
    const auto read = testsupport::codecProc<PFN_rdfiledib>(entry);
    if (!read) return d;
    uintptr_t dib = 0;
    d.rc = read(file.c_str(), bits, dither, &dib, nullptr, log, log ? onProgress : nullptr, 0);
    if (dib) d.dib = std::make_unique<fixtures::DibBlock>(dib);
    return d;
}

struct Info {
    int32_t rc = 0;
    std::string format, description;
    PVFileInfo info{};
};

inline Info fileInfo(const fs::path& file) {
    Info out;
    const auto info = testsupport::codecProc<PFN_fileinfo>("fileinfo");
    if (!info) return out;
    char format[PV_FORMAT_TEXT_SIZE] = {}, description[PV_DESCRIPTION_TEXT_SIZE] = {};
    out.rc = info(file.c_str(), format, &out.info, description, 0);
    out.format = format;
    out.description = description;
    return out;
}

// The text the library gives for an error code.
inline std::string errorText(int32_t code) {
    using LoadString = int32_t (*)(uint32_t, char*, int32_t);
    const auto load = testsupport::codecProc<LoadString>("PVLoadString");
    char text[256] = {};
    if (load) load(uint32_t(uint16_t(code)), text, int32_t(sizeof text));
    return text;
}

inline uint32_t rgbOf(const RGBQUAD& q) {
    return uint32_t(q.rgbRed) << 16 | q.rgbGreen << 8 | q.rgbBlue;
}

// A reader test's fixture: its own temporary folder, and no platform object
// (memory block, GDI object) left alive at the end.
class ReaderTest : public testing::Test {
  protected:
    explicit ReaderTest(const char* dirName) : dirName_(dirName) {}
    void SetUp() override { dir_ = testsupport::tempDir(dirName_); }
    void TearDown() override { EXPECT_TRUE(before_ == fixtures::LiveObjects{}) << "leaked"; }
    const char* dirName_;
    fs::path dir_;
    fixtures::LiveObjects before_;
};

inline void expectPixels(const Decoded& d, int w, int h, const std::vector<uint32_t>& want) {
    ASSERT_TRUE(d.ok()) << "rc " << d.rc;
    ASSERT_EQ(d.dib->view().width, w);
    ASSERT_EQ(d.dib->view().height, h);
    const std::vector<uint32_t> got = d.dib->rgb();
    for (size_t i = 0; i < want.size(); ++i)
        ASSERT_EQ(got[i], want[i]) << "pixel " << i % size_t(w) << "," << i / size_t(w);
}

// The colour table as the 768-byte palette file pillowSave takes.
inline void writePalette(const fs::path& path, const std::vector<RGBQUAD>& table) {
    std::vector<unsigned char> pal;
    for (const RGBQUAD& q : table)
        pal.insert(pal.end(), {q.rgbRed, q.rgbGreen, q.rgbBlue});
    testsupport::writeFile(path, pal);
}

struct CorpusCount {
    int seen = 0, compared = 0;
};

// Reads every corpus file with the extension (lower case, ".pcx") through
// the entry point and expects it to match an outside reader of the file
// (copied into dir under a plain name) closely; counts the files seen and
// those an outside reader could compare.
inline CorpusCount compareCorpus(const fs::path& root, const std::string& extension,
                                 const char* entry, const fs::path& dir) {
    CorpusCount count;
    for (const auto& e : fs::recursive_directory_iterator(root)) {
        std::string ext = e.path().extension().string();
        for (char& ch : ext)
            ch = char(std::tolower(static_cast<unsigned char>(ch)));
        if (!e.is_regular_file() || ext != extension) continue;
        ++count.seen;
        SCOPED_TRACE(e.path().string());
        const Decoded d = readDib(entry, e.path());
        if (!d.ok()) continue;
        const fs::path copy = dir / ("corpus" + extension);
        fs::copy_file(e.path(), copy, fs::copy_options::overwrite_existing);
        const double match = closestReference(copy, *d.dib);
        if (match < 0) continue;
        EXPECT_GT(match, 40.0);
        ++count.compared;
    }
    return count;
}

} // namespace pxt

// rdpcxfiledib, readpcxfile and fileinfo on PCX files written by Pillow and
// ImageMagick at test time, by hand for the layouts neither writes, and on
// hostile files.
#include "PcxTgaPcdFixtures.h"

#include <chrono>
#include <random>

using namespace pxt;

namespace {

struct PcxSpec {
    int bits = 8, planes = 1, width = 0, height = 0, bytesPerLine = 0;
    bool rle = true, vgaTable = true;
    std::vector<uint8_t> index; // per pixel (indexed layouts)
    std::vector<uint32_t> rgb;  // per pixel (8 x 3 and 8 x 4)
    std::vector<RGBQUAD> table; // 16 entries for the header, 256 for the VGA table
};

// Our own PCX writer for the layouts the outside tools do not write (2 bits,
// planar EGA, odd padding, plain encoding, no VGA table). Runs are made over
// the whole stream so they cross line ends, as some writers do.
std::vector<unsigned char> buildPcx(const PcxSpec& s) {
    std::vector<unsigned char> out(128, 0);
    out[0] = 0x0A, out[1] = 5, out[2] = s.rle ? 1 : 0, out[3] = uint8_t(s.bits);
    out[8] = uint8_t(s.width - 1), out[9] = uint8_t((s.width - 1) >> 8);
    out[10] = uint8_t(s.height - 1), out[11] = uint8_t((s.height - 1) >> 8);
    for (size_t i = 0; i < 16 && s.bits * s.planes <= 4 && i < s.table.size(); ++i) {
        out[16 + i * 3] = s.table[i].rgbRed;
        out[17 + i * 3] = s.table[i].rgbGreen;
        out[18 + i * 3] = s.table[i].rgbBlue;
    }
    out[65] = uint8_t(s.planes);
    out[66] = uint8_t(s.bytesPerLine), out[67] = uint8_t(s.bytesPerLine >> 8);
    std::vector<uint8_t> stream;
    for (int y = 0; y < s.height; ++y)
        for (int p = 0; p < s.planes; ++p) {
            std::vector<uint8_t> line(size_t(s.bytesPerLine), 0);
            for (int x = 0; x < s.width; ++x) {
                const size_t i = size_t(y) * size_t(s.width) + size_t(x);
                if (s.bits == 8 && s.planes >= 3) {
                    line[size_t(x)] = p == 3 ? 0x80 : uint8_t(s.rgb[i] >> (16 - 8 * p));
                } else if (s.planes > 1) {
                    if ((s.index[i] >> p) & 1) line[size_t(x / 8)] |= uint8_t(0x80 >> (x % 8));
                } else {
                    const int perByte = 8 / s.bits, shift = 8 - s.bits * (x % perByte + 1);
                    line[size_t(x / perByte)] |= uint8_t(s.index[i] << shift);
                }
            }
            stream.insert(stream.end(), line.begin(), line.end());
        }
    if (!s.rle) {
        out.insert(out.end(), stream.begin(), stream.end());
    } else {
        for (size_t i = 0; i < stream.size();) {
            size_t n = 1;
            while (i + n < stream.size() && n < 63 && stream[i + n] == stream[i])
                ++n;
            if (n > 1 || stream[i] >= 0xC0) out.push_back(uint8_t(0xC0 | n));
            out.push_back(stream[i]);
            i += n;
        }
    }
    if (s.bits == 8 && s.planes == 1 && s.vgaTable) {
        out.push_back(0x0C);
        for (size_t i = 0; i < 256; ++i) {
            const RGBQUAD c = i < s.table.size() ? s.table[i] : RGBQUAD{};
            out.insert(out.end(), {c.rgbRed, c.rgbGreen, c.rgbBlue});
        }
    }
    return out;
}

// The expected colours of a hand-built file.
std::vector<uint32_t> expectedOf(const PcxSpec& s) {
    if (!s.rgb.empty()) return s.rgb;
    std::vector<uint32_t> out;
    for (uint8_t i : s.index) {
        if (s.bits == 8 && !s.vgaTable)
            out.push_back(uint32_t(i) * 0x010101);
        else if (s.bits == 1 && s.planes == 1)
            out.push_back(i ? 0xFFFFFF : 0);
        else
            out.push_back(rgbOf(s.table[i]));
    }
    return out;
}

PcxSpec layout(int bits, int planes, int width, int height, int padding, bool rle, uint32_t seed) {
    PcxSpec s;
    s.bits = bits, s.planes = planes, s.width = width, s.height = height, s.rle = rle;
    s.bytesPerLine = (width * bits + 7) / 8 + padding;
    std::mt19937 rng(seed);
    if (bits == 8 && planes >= 3) {
        s.rgb = fixtures::photo(width, height, seed);
        return s;
    }
    const int colours = 1 << (bits * planes);
    s.table = fixtures::randomTable(uint32_t(std::max(colours, 16)), seed);
    // Long flat stretches as well as noise, so both run kinds occur.
    for (int i = 0; i < width * height; ++i)
        s.index.push_back(uint8_t((i / 7) % 3 == 0 ? 1 % colours : int(rng() % uint32_t(colours))));
    return s;
}

class PcxRead : public ReaderTest {
  protected:
    PcxRead() : ReaderTest("pcxread") {}
};

TEST_F(PcxRead, FilesOfPillowAndImageMagick) {
    const int w = 37, h = 23; // odd width: padded lines
    const std::vector<uint32_t> photo = fixtures::photo(w, h, 5);
    std::vector<uint32_t> grey, mono, indices, few = fixtures::fewColors(w, h, 40, 6);
    std::mt19937 rng(7);
    for (uint32_t c : photo) {
        grey.push_back((c >> 8) & 0xFF);
        mono.push_back(rng() & 1 ? 255 : 0);
        indices.push_back(rng() & 0xFF);
    }
    const std::vector<RGBQUAD> table = fixtures::randomTable(256, 8);
    writePalette(dir_ / "pal.bin", table);
    writePnm(dir_ / "photo.ppm", w, h, photo, false);
    writePnm(dir_ / "few.ppm", w, h, few, false);
    writePnm(dir_ / "grey.pgm", w, h, grey, true);
    writePnm(dir_ / "mono.pgm", w, h, mono, true);
    writePnm(dir_ / "indices.pgm", w, h, indices, true);
    std::vector<uint32_t> greyRgb, monoRgb, indexedRgb;
    for (size_t i = 0; i < photo.size(); ++i) {
        greyRgb.push_back(grey[i] * 0x010101);
        monoRgb.push_back(mono[i] ? 0xFFFFFF : 0);
        indexedRgb.push_back(rgbOf(table[indices[i]]));
    }

    struct Case {
        bool pillow;
        const char* source;
        const char* how; // Pillow mode or convert options
        int bpp;
        const std::vector<uint32_t>* want;
    } cases[] = {
        {true, "mono.pgm", "1", 1, &monoRgb},       {true, "grey.pgm", "L", 8, &greyRgb},
        {true, "indices.pgm", "P", 8, &indexedRgb}, {true, "photo.ppm", "RGB", 24, &photo},
        {false, "photo.ppm", "", 24, &photo},       {false, "few.ppm", "-type Palette", 8, &few},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.pillow ? "Pillow " : "convert ") + c.how);
        const fs::path out = dir_ / (std::string(c.pillow ? "pil" : "im") + c.how + ".pcx");
        if (c.pillow) {
            if (!havePillow()) GTEST_SKIP() << "Python 3 with Pillow is not installed";
            ASSERT_TRUE(pillowSave(dir_ / c.source, dir_ / "pal.bin", c.how, out, ""));
        } else {
            if (!haveConvert()) GTEST_SKIP() << "ImageMagick's convert is not installed";
            ASSERT_TRUE(run(std::string(kConvert) + " " + quote(dir_ / c.source) + " " + c.how +
                            " " + quote(out)));
        }
        const Decoded d = readDib("rdpcxfiledib", out);
        expectPixels(d, w, h, *c.want);
        EXPECT_EQ(d.dib->view().bpp, c.bpp);
    }
}

TEST_F(PcxRead, LayoutsBuiltByHand) {
    struct Case {
        int bits, planes, padding;
        bool rle, vga;
        int dibBits;
    } cases[] = {
        {1, 1, 1, true, true, 1},  {2, 1, 0, true, true, 4},  {4, 1, 3, true, true, 4},
        {1, 2, 0, true, true, 4},  {1, 3, 1, true, true, 4},  {1, 4, 0, true, true, 4},
        {1, 4, 2, false, true, 4}, {8, 1, 1, true, false, 8}, {8, 1, 0, false, true, 8},
        {8, 3, 1, true, true, 24}, {8, 4, 0, true, true, 24},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.bits << "x" << c.planes << " pad " << c.padding
                                        << (c.rle ? " rle" : " plain"));
        PcxSpec s =
            layout(c.bits, c.planes, 29, 11, c.padding, c.rle, uint32_t(c.bits * 10 + c.planes));
        s.vgaTable = c.vga;
        const fs::path file = dir_ / "hand.pcx";
        testsupport::writeFile(file, buildPcx(s));
        const Decoded d = readDib("rdpcxfiledib", file);
        expectPixels(d, s.width, s.height, expectedOf(s));
        EXPECT_EQ(d.dib->view().bpp, c.dibBits);
        const Info info = fileInfo(file);
        EXPECT_EQ(info.rc, PVE_OK);
        EXPECT_EQ(info.format, "PCX");
        EXPECT_EQ(info.info.BitsPerPixel, c.bits * c.planes);
        EXPECT_EQ(info.info.Value1, c.planes);
        EXPECT_EQ(info.description, c.rle ? "RLE" : "NONE");
    }
}

TEST_F(PcxRead, DepthAskedForAndDither) {
    const PcxSpec s = layout(8, 3, 40, 30, 0, true, 3);
    const fs::path file = dir_ / "photo.pcx";
    testsupport::writeFile(file, buildPcx(s));
    for (const int bits : {1, 4, 8, 24})
        for (const int dither : {0, 1}) {
            SCOPED_TRACE(testing::Message() << bits << " bits, dither " << dither);
            const Decoded d = readDib("rdpcxfiledib", file, bits, dither);
            ASSERT_TRUE(d.ok()) << d.rc;
            EXPECT_EQ(d.dib->view().bpp, bits);
            const double quality = fixtures::psnr(d.dib->rgb(), s.rgb);
            EXPECT_GT(quality, bits == 24 ? 900.0 : bits == 8 ? 25.0 : bits == 4 ? 12.0 : 5.0);
        }
}

TEST_F(PcxRead, DeviceBitmapForm) {
    const PcxSpec s = layout(4, 1, 21, 9, 1, true, 9);
    const fs::path file = dir_ / "ega.pcx";
    testsupport::writeFile(file, buildPcx(s));
    const auto read = testsupport::codecProc<PFN_readfile>("readpcxfile");
    ASSERT_NE(read, nullptr);
    uintptr_t bitmap = 0, palette = 0;
    ASSERT_EQ(read(file.c_str(), 0, 0, &bitmap, &palette, nullptr, nullptr, 0), PVE_OK);
    EXPECT_EQ(fixtures::bitmapPixels(bitmap), expectedOf(s));
    EXPECT_NE(palette, 0u);
    DeleteObject(bitmap);
    if (palette) DeleteObject(palette);
}

TEST_F(PcxRead, ProgressAndCancel) {
    const fs::path file = dir_ / "p.pcx";
    testsupport::writeFile(file, buildPcx(layout(8, 3, 64, 200, 0, true, 4)));
    ProgressLog full;
    ASSERT_TRUE(readDib("rdpcxfiledib", file, 0, 0, &full).ok());
    ASSERT_GT(full.seen.size(), 10u);
    EXPECT_EQ(full.seen.front(), 0);
    EXPECT_EQ(full.seen.back(), 100);
    EXPECT_TRUE(std::is_sorted(full.seen.begin(), full.seen.end()));
    for (const int stop : {0, 1, 20, int(full.seen.size()) - 1}) {
        SCOPED_TRACE(stop);
        ProgressLog log;
        log.stopAfter = stop;
        const Decoded d = readDib("rdpcxfiledib", file, 8, 1, &log);
        EXPECT_EQ(d.rc, PVE_CANCELLED);
        EXPECT_EQ(d.dib, nullptr);
    }
}

TEST_F(PcxRead, HostileFiles) {
    const PcxSpec s = layout(8, 1, 12, 7, 1, true, 11);
    const std::vector<unsigned char> good = buildPcx(s);
    const fs::path file = dir_ / "bad.pcx";
    // Every truncation of header and pixels, and some in the colour table:
    // nothing crashes; a cut into the pixel data fails.
    for (size_t n = 0; n < good.size(); n += n < good.size() - 769 ? 1 : 37) {
        testsupport::writeFile(file, {good.begin(), good.begin() + long(n)});
        const Decoded d = readDib("rdpcxfiledib", file);
        if (n < good.size() - 769) {
            EXPECT_NE(d.rc, PVE_OK) << n;
        }
        EXPECT_TRUE(d.rc != PVE_OK || d.ok());
    }
    std::mt19937 rng(12);
    for (int i = 0; i < 300; ++i) {
        std::vector<unsigned char> bad = good;
        for (int k = 0; k < 4; ++k)
            bad[rng() % (i % 2 ? 128 : bad.size())] = uint8_t(rng());
        testsupport::writeFile(file, bad);
        const Decoded d = readDib("rdpcxfiledib", file, int32_t(rng() % 2 ? 0 : 24));
        EXPECT_TRUE(d.rc != PVE_OK || d.ok());
    }
    struct Case {
        uint16_t xmax, ymax;
        uint8_t bits, planes;
        uint16_t bpl;
        int32_t rc;
    } cases[] = {
        {65535, 0, 1, 1, 8192, PVE_TOO_LARGE},      // 65536 wide
        {16383, 30000, 8, 3, 16384, PVE_TOO_LARGE}, // 24-bit pixels above 1 GiB
        {16383, 16383, 8, 3, 16384, PVE_PCX_SHORT}, // huge, a few bytes of data
        {9, 9, 8, 1, 5, PVE_PCX_HEADER},            // lines shorter than the width
        {9, 9, 4, 2, 10, PVE_PCX_LAYOUT},
        {9, 9, 3, 1, 10, PVE_PCX_LAYOUT},
    };
    for (const Case& c : cases) {
        std::vector<unsigned char> bad = good;
        bad[8] = uint8_t(c.xmax), bad[9] = uint8_t(c.xmax >> 8);
        bad[10] = uint8_t(c.ymax), bad[11] = uint8_t(c.ymax >> 8);
        bad[3] = c.bits, bad[65] = c.planes, bad[66] = uint8_t(c.bpl),
        bad[67] = uint8_t(c.bpl >> 8);
        testsupport::writeFile(file, bad);
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(readDib("rdpcxfiledib", file).rc, c.rc) << c.xmax << "x" << c.ymax;
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
    }
    std::vector<unsigned char> notPcx = good;
    notPcx[0] = 0x0B;
    testsupport::writeFile(file, notPcx);
    EXPECT_EQ(readDib("rdpcxfiledib", file).rc, PVE_PCX_HEADER);
    EXPECT_NE(errorText(PVE_PCX_SHORT).find("PCX run length"), std::string::npos);
}

TEST_F(PcxRead, FileInfoSniffsBeforeTheExtension) {
    const fs::path file = dir_ / "picture.dat";
    testsupport::writeFile(file, buildPcx(layout(1, 4, 300, 200, 0, true, 2)));
    const Info info = fileInfo(file);
    ASSERT_EQ(info.rc, PVE_OK);
    EXPECT_EQ(info.format, "PCX");
    EXPECT_EQ(info.info.Width, 300);
    EXPECT_EQ(info.info.Height, 200);
    EXPECT_EQ(info.info.BitsPerPixel, 4);
    EXPECT_EQ(info.info.Value2, 5);
}

TEST_F(PcxRead, CorpusFilesAgreeWithAnOutsideReader) {
    const fs::path root = testsupport::corpusDir();
    if (root.empty()) GTEST_SKIP() << "no shared corpus";
    const CorpusCount count = compareCorpus(root, ".pcx", "rdpcxfiledib", dir_);
    EXPECT_GT(count.seen, 0);
    EXPECT_GT(count.compared, 0);
}

} // namespace

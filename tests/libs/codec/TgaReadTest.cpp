// readtgafiledib, readtgafile and fileinfo on TGA files written by Pillow
// and ImageMagick at test time, by hand for the depths and origins they do
// not write, on the Truevision sample files and on hostile files.
#include "PcxTgaPcdFixtures.h"

#include <chrono>
#include <cmath>
#include <random>

using namespace pxt;

namespace {

struct TgaSpec {
    int type = 2, bits = 24, width = 0, height = 0;
    int mapFirst = 0, mapBits = 24;
    bool top = false, right = false;
    std::string id;
    std::vector<uint32_t> rgb;    // picture colours, top row first (true colour, grey)
    std::vector<uint8_t> index;   // colour-mapped pixel values
    std::vector<uint32_t> map;    // colour map entries
    bool mapOnTrueColour = false; // a map the reader must skip
};

void putColour(std::vector<unsigned char>& out, uint32_t c, int bits) {
    if (bits == 15 || bits == 16) {
        const uint32_t r = (c >> 19) & 31, g = (c >> 11) & 31, b = (c >> 3) & 31;
        const uint32_t v = r << 10 | g << 5 | b | (bits == 16 ? 0x8000 : 0);
        out.insert(out.end(), {uint8_t(v), uint8_t(v >> 8)});
        return;
    }
    out.insert(out.end(), {uint8_t(c), uint8_t(c >> 8), uint8_t(c >> 16)});
    if (bits == 32) out.push_back(0xFF);
}

// Our own TGA writer for what the outside tools do not write. Run packets
// go over the whole pixel stream, so they cross row ends.
std::vector<unsigned char> buildTga(const TgaSpec& s) {
    const bool mapped = (s.type & 7) == 1;
    const bool withMap = mapped || s.mapOnTrueColour;
    std::vector<unsigned char> out = {uint8_t(s.id.size()), uint8_t(withMap), uint8_t(s.type)};
    const size_t mapLength = withMap ? (s.map.empty() ? 3 : s.map.size()) : 0;
    out.insert(out.end(),
               {uint8_t(withMap ? s.mapFirst : 0), uint8_t(withMap ? s.mapFirst >> 8 : 0),
                uint8_t(mapLength), uint8_t(mapLength >> 8), uint8_t(withMap ? s.mapBits : 0), 0, 0,
                0, 0, uint8_t(s.width), uint8_t(s.width >> 8), uint8_t(s.height),
                uint8_t(s.height >> 8), uint8_t(s.bits),
                uint8_t((s.top ? 0x20 : 0) | (s.right ? 0x10 : 0) | (s.bits == 32 ? 8 : 0))});
    out.insert(out.end(), s.id.begin(), s.id.end());
    for (size_t i = 0; i < mapLength; ++i)
        putColour(out, i < s.map.size() ? s.map[i] : 0x123456, s.mapBits);
    std::vector<std::vector<unsigned char>> pixels;
    for (int r = 0; r < s.height; ++r)
        for (int c = 0; c < s.width; ++c) {
            const int y = s.top ? r : s.height - 1 - r, x = s.right ? s.width - 1 - c : c;
            const size_t i = size_t(y) * size_t(s.width) + size_t(x);
            std::vector<unsigned char> px;
            if (mapped)
                px.push_back(s.index[i]);
            else if ((s.type & 7) == 3)
                px.push_back(uint8_t(s.rgb[i]));
            else
                putColour(px, s.rgb[i], s.bits);
            pixels.push_back(px);
        }
    if (s.type < 8) {
        for (const auto& px : pixels)
            out.insert(out.end(), px.begin(), px.end());
        return out;
    }
    for (size_t i = 0; i < pixels.size();) {
        size_t n = 1;
        while (i + n < pixels.size() && n < 128 && pixels[i + n] == pixels[i])
            ++n;
        if (n > 1) {
            out.push_back(uint8_t(0x80 | (n - 1)));
            out.insert(out.end(), pixels[i].begin(), pixels[i].end());
        } else { // a raw packet of up to 128 differing pixels
            size_t m = 1;
            while (i + m < pixels.size() && m < 128 && pixels[i + m] != pixels[i + m - 1])
                ++m;
            out.push_back(uint8_t(m - 1));
            for (size_t k = 0; k < m; ++k)
                out.insert(out.end(), pixels[i + k].begin(), pixels[i + k].end());
            n = m;
        }
        i += n;
    }
    return out;
}

// Picture with flat stretches and noise, so both packet kinds occur.
std::vector<uint32_t> blocky(int w, int h, uint32_t seed) {
    std::vector<uint32_t> px = fixtures::photo(w, h, seed);
    for (size_t i = 0; i < px.size(); ++i)
        if ((i / 9) % 2) px[i] = px[i - i % 9];
    return px;
}

// A colour written at 5 bits a channel, widened the way any reader should:
// the nearest 8-bit value.
uint32_t fiveBit(uint32_t c) {
    uint32_t out = 0;
    for (int shift = 0; shift <= 16; shift += 8)
        out |= uint32_t(std::lround(double((c >> (shift + 3)) & 31) * 255.0 / 31.0)) << shift;
    return out;
}

class TgaRead : public ReaderTest {
  protected:
    TgaRead() : ReaderTest("tgaread") {}
};

TEST_F(TgaRead, FilesOfPillowAndImageMagick) {
    const int w = 37, h = 23;
    const std::vector<uint32_t> photo = blocky(w, h, 5), few = fixtures::fewColors(w, h, 50, 6);
    std::vector<uint32_t> grey, indices, greyRgb, indexedRgb;
    const std::vector<RGBQUAD> table = fixtures::randomTable(256, 8);
    std::mt19937 rng(7);
    for (uint32_t c : photo) {
        grey.push_back((c >> 8) & 0xFF);
        greyRgb.push_back(((c >> 8) & 0xFF) * 0x010101);
        indices.push_back(rng() % 3 ? rng() & 0xFF : 7);
        indexedRgb.push_back(rgbOf(table[indices.back()]));
    }
    writePalette(dir_ / "pal.bin", table);
    writePnm(dir_ / "photo.ppm", w, h, photo, false);
    writePnm(dir_ / "few.ppm", w, h, few, false);
    writePnm(dir_ / "grey.pgm", w, h, grey, true);
    writePnm(dir_ / "indices.pgm", w, h, indices, true);

    struct Case {
        bool pillow;
        const char* source;
        const char* mode; // Pillow mode, or convert options
        const char* opts; // Pillow save keywords
        int bpp;
        const std::vector<uint32_t>* want;
    } cases[] = {
        {true, "photo.ppm", "RGB", "", 24, &photo},
        {true, "photo.ppm", "RGB", "compression=tga_rle,orientation=1", 24, &photo},
        {true, "photo.ppm", "RGBA", "compression=tga_rle", 24, &photo},
        {true, "grey.pgm", "L", "orientation=1", 8, &greyRgb},
        {true, "grey.pgm", "LA", "compression=tga_rle", 8, &greyRgb},
        {true, "indices.pgm", "P", "", 8, &indexedRgb},
        {true, "indices.pgm", "P", "compression=tga_rle,orientation=1", 8, &indexedRgb},
        // Without an orientation ImageMagick stores rows top first in a file
        // marked bottom-left, which every other reader shows upside down.
        {false, "photo.ppm", "-orient TopLeft -compress RLE", "", 24, &photo},
        {false, "photo.ppm", "-orient TopLeft -type TrueColorAlpha", "", 24, &photo},
        {false, "few.ppm", "-orient TopLeft -type Palette", "", 8, &few},
        {false, "grey.pgm", "-orient TopLeft -type Grayscale", "", 8, &greyRgb},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.pillow ? "Pillow " : "convert ") + c.mode + " " + c.opts);
        const fs::path out = dir_ / ("w" + std::to_string(n++) + ".tga");
        if (c.pillow) {
            if (!havePillow()) GTEST_SKIP() << "Python 3 with Pillow is not installed";
            ASSERT_TRUE(pillowSave(dir_ / c.source, dir_ / "pal.bin", c.mode, out, c.opts));
        } else {
            if (!haveConvert()) GTEST_SKIP() << "ImageMagick's convert is not installed";
            ASSERT_TRUE(run(std::string(kConvert) + " " + quote(dir_ / c.source) + " " + c.mode +
                            " " + quote(out)));
        }
        const Decoded d = readDib("readtgafiledib", out);
        expectPixels(d, w, h, *c.want);
        EXPECT_EQ(d.dib->view().bpp, c.bpp);
    }
}

TEST_F(TgaRead, DepthsMapsAndOriginsBuiltByHand) {
    const int w = 19, h = 7;
    const std::vector<uint32_t> photo = blocky(w, h, 3);
    std::vector<uint32_t> photo5;
    for (uint32_t c : photo)
        photo5.push_back(fiveBit(c));
    std::mt19937 rng(4);
    std::vector<uint32_t> map;
    for (int i = 0; i < 40; ++i)
        map.push_back(rng() & 0xFFFFFF);
    struct Case {
        int type, bits, mapBits, mapFirst;
        bool top, right, mapOnTrueColour;
        const char* id;
    } cases[] = {
        {2, 24, 0, 0, false, false, false, ""}, {10, 24, 0, 0, true, true, false, "id"},
        {2, 32, 0, 0, false, true, false, ""},  {10, 32, 0, 0, true, false, true, "x"},
        {2, 16, 0, 0, false, false, false, ""}, {10, 15, 0, 0, true, true, false, ""},
        {10, 16, 0, 0, false, true, false, ""}, {1, 8, 24, 0, false, false, false, "name"},
        {9, 8, 32, 5, true, false, false, ""},  {9, 8, 16, 200, false, true, false, ""},
        {1, 8, 15, 17, true, true, false, ""},  {3, 8, 0, 0, false, true, false, ""},
        {11, 8, 0, 0, true, false, false, "g"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "type " << c.type << ", " << c.bits << " bits, map " << c.mapBits << "@"
                     << c.mapFirst << (c.top ? " top" : "") << (c.right ? " right" : ""));
        TgaSpec s;
        s.type = c.type, s.bits = c.bits, s.width = w, s.height = h, s.top = c.top;
        s.right = c.right, s.id = c.id, s.mapBits = c.mapBits ? c.mapBits : 24;
        s.mapFirst = c.mapFirst, s.mapOnTrueColour = c.mapOnTrueColour;
        std::vector<uint32_t> want;
        if ((c.type & 7) == 1) {
            s.map = map;
            for (size_t i = 0; i < photo.size(); ++i) {
                const uint32_t entry = rng() % map.size();
                // Values outside the map (below first) show black.
                const bool outside = c.mapFirst > 0 && i % 11 == 0;
                s.index.push_back(uint8_t(outside ? c.mapFirst - 1 : c.mapFirst + int(entry)));
                const uint32_t colour = c.mapBits <= 16 ? fiveBit(map[entry]) : map[entry];
                want.push_back(outside || c.mapFirst + entry > 255 ? 0 : colour);
            }
        } else if ((c.type & 7) == 3) {
            for (uint32_t p : photo) {
                s.rgb.push_back(p & 0xFF);
                want.push_back((p & 0xFF) * 0x010101);
            }
        } else {
            s.rgb = photo;
            want = c.bits <= 16 ? photo5 : photo;
        }
        const fs::path file = dir_ / "hand.tga";
        testsupport::writeFile(file, buildTga(s));
        const Decoded d = readDib("readtgafiledib", file);
        expectPixels(d, w, h, want);
        const Info info = fileInfo(file);
        EXPECT_EQ(info.rc, PVE_OK);
        EXPECT_EQ(info.format, "TGA");
        EXPECT_EQ(info.info.BitsPerPixel, c.bits);
        EXPECT_EQ(info.info.Value1, c.type);
        EXPECT_EQ(info.info.Value2, (c.top ? 2 : 0) | (c.right ? 1 : 0));
        EXPECT_EQ(info.description, c.type >= 9 ? "RLE" : "NONE");
    }
}

TEST_F(TgaRead, DepthAskedForBitmapFormAndCancel) {
    TgaSpec s;
    s.type = 10, s.width = 50, s.height = 120, s.rgb = blocky(50, 120, 9);
    const fs::path file = dir_ / "p.tga";
    testsupport::writeFile(file, buildTga(s));
    for (const int bits : {1, 4, 8, 24})
        for (const int dither : {0, 1}) {
            SCOPED_TRACE(testing::Message() << bits << " bits, dither " << dither);
            const Decoded d = readDib("readtgafiledib", file, bits, dither);
            ASSERT_TRUE(d.ok()) << d.rc;
            EXPECT_EQ(d.dib->view().bpp, bits);
            EXPECT_GT(fixtures::psnr(d.dib->rgb(), s.rgb), bits == 24  ? 900.0
                                                           : bits == 8 ? 25.0
                                                           : bits == 4 ? 12.0
                                                                       : 5.0);
        }
    const auto read = testsupport::codecProc<PFN_readfile>("readtgafile");
    ASSERT_NE(read, nullptr);
    uintptr_t bitmap = 0, palette = 0;
    ProgressLog full;
    ASSERT_EQ(read(file.c_str(), 0, 0, &bitmap, &palette, &full, onProgress, 0), PVE_OK);
    EXPECT_EQ(fixtures::bitmapPixels(bitmap), s.rgb);
    DeleteObject(bitmap);
    if (palette) DeleteObject(palette);
    ASSERT_GT(full.seen.size(), 10u);
    EXPECT_EQ(full.seen.back(), 100);
    EXPECT_TRUE(std::is_sorted(full.seen.begin(), full.seen.end()));
    for (const int stop : {0, 2, int(full.seen.size()) - 1}) {
        ProgressLog log;
        log.stopAfter = stop;
        bitmap = palette = 0;
        EXPECT_EQ(read(file.c_str(), 8, 1, &bitmap, &palette, &log, onProgress, 0), PVE_CANCELLED)
            << stop;
        EXPECT_EQ(bitmap, 0u);
    }
}

TEST_F(TgaRead, HostileFiles) {
    TgaSpec s;
    s.type = 9, s.bits = 8, s.width = 9, s.height = 5, s.map = {0xFF0000, 0x00FF00, 0x0000FF};
    for (int i = 0; i < 45; ++i)
        s.index.push_back(uint8_t(i / 4 % 3));
    const std::vector<unsigned char> good = buildTga(s);
    const fs::path file = dir_ / "bad.tga";
    for (size_t n = 0; n < good.size(); ++n) {
        testsupport::writeFile(file, {good.begin(), good.begin() + long(n)});
        EXPECT_NE(readDib("readtgafiledib", file).rc, PVE_OK) << n;
    }
    std::mt19937 rng(12);
    for (int i = 0; i < 300; ++i) {
        std::vector<unsigned char> bad = good;
        for (int k = 0; k < 3; ++k)
            bad[rng() % (i % 2 ? 18 : bad.size())] = uint8_t(rng());
        testsupport::writeFile(file, bad);
        const Decoded d = readDib("readtgafiledib", file, int32_t(rng() % 2 ? 0 : 24));
        EXPECT_TRUE(d.rc != PVE_OK || d.ok());
    }
    struct Case {
        size_t at;
        std::vector<uint8_t> bytes;
        int32_t rc;
    } cases[] = {
        {12, {0xFF, 0xFF, 0x01, 0x40}, PVE_TOO_LARGE}, // 65535 x 16385: above 1 GiB
        {12, {0x00, 0x40, 0x00, 0x40}, PVE_TGA_SHORT}, // 16384 x 16384 from a few bytes
        {12, {0, 0}, PVE_TGA_HEADER},                  // no width
        {2, {4}, PVE_TGA_TYPE},
        {16, {24}, PVE_TGA_TYPE}, // 24-bit indices
        {5, {0xFF, 0xFF}, PVE_TGA_COLORMAP},
        {7, {12}, PVE_TGA_COLORMAP},
        {0, {200}, PVE_TGA_COLORMAP}, // the ID pushes the map past the end
    };
    for (const Case& c : cases) {
        std::vector<unsigned char> bad = good;
        std::copy(c.bytes.begin(), c.bytes.end(), bad.begin() + long(c.at));
        testsupport::writeFile(file, bad);
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(readDib("readtgafiledib", file).rc, c.rc) << "at " << c.at;
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
    }
    EXPECT_NE(errorText(PVE_TGA_SHORT).find("TGA run length"), std::string::npos);
}

TEST_F(TgaRead, SniffingIsStrictAndTheExtensionDecides) {
    TgaSpec s;
    s.type = 2, s.width = 4, s.height = 3, s.rgb = std::vector<uint32_t>(12, 0x102030);
    std::vector<unsigned char> bytes = buildTga(s);
    testsupport::writeFile(dir_ / "plain.dat", bytes);
    EXPECT_EQ(fileInfo(dir_ / "plain.dat").format, "TGA"); // clean header fields
    bytes[5] = 9;                                          // map length without a map
    testsupport::writeFile(dir_ / "odd.dat", bytes);
    EXPECT_EQ(fileInfo(dir_ / "odd.dat").rc, PVE_UNKNOWN_FORMAT);
    testsupport::writeFile(dir_ / "odd.tga", bytes);
    EXPECT_EQ(fileInfo(dir_ / "odd.tga").format, "TGA");
    EXPECT_TRUE(readDib("readtgafiledib", dir_ / "odd.tga").ok());
    const char footer[] = "\0\0\0\0\0\0\0\0TRUEVISION-XFILE.";
    bytes.insert(bytes.end(), footer, footer + sizeof footer);
    testsupport::writeFile(dir_ / "footer.dat", bytes);
    EXPECT_EQ(fileInfo(dir_ / "footer.dat").format, "TGA");
}

TEST_F(TgaRead, CorpusFilesAgreeWithAnOutsideReader) {
    const fs::path root = testsupport::corpusDir();
    if (root.empty()) GTEST_SKIP() << "no shared corpus";
    const CorpusCount count = compareCorpus(root, ".tga", "readtgafiledib", dir_);
    EXPECT_GT(count.seen, 20);
    EXPECT_GT(count.compared, 20);
}

} // namespace

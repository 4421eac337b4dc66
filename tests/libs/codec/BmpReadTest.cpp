// BMP files written by ImageMagick at test time, read through the module's
// entry points and compared pixel for pixel with the pictures the tests made.
#include "../imagecore/DibFixtures.h"
#include "BmpTestSupport.h"
#include "platform/Gdi.h"

#include <gtest/gtest.h>

using namespace bmptest;

namespace {

// Colours that survive a round trip through 5- or 6-bit channels whether
// the writer rounds or truncates: levels whose 8-bit value (scaled back the
// way the reader scales) is not below the exact one.
uint32_t quantize(uint32_t c, int rBits, int gBits, int bBits) {
    auto ch = [](uint32_t v, int bits) {
        const uint32_t max = (1u << bits) - 1;
        auto back = [&](uint32_t q) { return (q * 255 + max / 2) / max; };
        uint32_t q = (v * max + 127) / 255;
        while (q > 0 && back(q) * max < q * 255)
            --q;
        return back(q);
    };
    return ch(c >> 16 & 0xFF, rBits) << 16 | ch(c >> 8 & 0xFF, gBits) << 8 | ch(c & 0xFF, bBits);
}

struct WriterCase {
    const char* name;
    int colors;          // distinct colours in the source; 0 = photo-like
    int fieldBits[3];    // colours limited to these channel widths (0 = 8 bits)
    const char* options; // convert options before the output name
    int storedBits;      // as fileinfo reports it
    const char* compression;
    int dibBits; // of the DIB read at "as stored"
};

const WriterCase kCases[] = {
    {"pal1", 2, {}, "-type Palette -compress None BMP3:", 1, "NONE", 1},
    {"pal4", 16, {}, "-type Palette -compress None BMP3:", 4, "NONE", 4},
    {"pal8", 200, {}, "-type Palette -compress None BMP3:", 8, "NONE", 8},
    {"pal8_v5", 200, {}, "-type Palette -compress None BMP:", 8, "NONE", 8},
    {"rle8", 200, {}, "-type Palette -compress RLE BMP3:", 8, "RLE8", 8},
    {"rgb24", 0, {}, "-compress None BMP3:", 24, "NONE", 24},
    {"rgb565", 0, {5, 6, 5}, "-define bmp:subtype=RGB565 BMP:", 16, "BITFIELDS", 24},
    {"rgb555", 0, {5, 5, 5}, "-define bmp:subtype=RGB555 BMP:", 16, "BITFIELDS", 24},
    {"argb32", 0, {}, "-alpha on BMP:", 32, "BITFIELDS", 24},
    {"os2_pal8", 200, {}, "-type Palette BMP2:", 8, "NONE", 8},
    {"os2_rgb24", 0, {}, "-type TrueColor BMP2:", 24, "NONE", 24},
};

void PrintTo(const WriterCase& c, std::ostream* os) {
    *os << c.name;
}

class BmpWriterRead : public testing::TestWithParam<WriterCase> {};

TEST_P(BmpWriterRead, MatchesTheSourcePixels) {
    if (!haveConvert()) GTEST_SKIP() << "ImageMagick's convert is not installed";
    const WriterCase& c = GetParam();
    const int w = 37, h = 23; // odd sizes exercise row padding
    std::vector<uint32_t> src =
        c.colors ? fixtures::fewColors(w, h, c.colors, 5) : fixtures::photo(w, h, 3);
    if (c.fieldBits[0])
        for (uint32_t& px : src)
            px = quantize(px, c.fieldBits[0], c.fieldBits[1], c.fieldBits[2]);
    const auto dir = testsupport::tempDir("bmpread");
    writePpm(dir / "src.ppm", w, h, src);
    const auto file = dir / (std::string(c.name) + ".bmp");
    ASSERT_TRUE(run("convert " + quoted(dir / "src.ppm") + " " + c.options + quoted(file)));

    const fixtures::LiveObjects before;
    const Decoded d = readDib("rdbmpfiledib", file);
    ASSERT_EQ(d.rc, PVE_OK);
    EXPECT_EQ(d.bpp, c.dibBits);
    ASSERT_EQ(d.width, w);
    ASSERT_EQ(d.height, h);
    EXPECT_EQ(d.rgb, src);
    EXPECT_EQ(fixtures::LiveObjects(), before);

    const auto info = testsupport::codecProc<PFN_fileinfo>("fileinfo");
    ASSERT_NE(info, nullptr);
    char format[PV_FORMAT_TEXT_SIZE] = {}, description[PV_DESCRIPTION_TEXT_SIZE] = {};
    PVFileInfo fi{};
    ASSERT_EQ(info(file.c_str(), format, &fi, description, 0), PVE_OK);
    EXPECT_STREQ(format, "BMP");
    EXPECT_EQ(fi.Width, w);
    EXPECT_EQ(fi.Height, h);
    EXPECT_EQ(fi.BitsPerPixel, c.storedBits);
    EXPECT_STREQ(description, c.compression);
}

INSTANTIATE_TEST_SUITE_P(Writers, BmpWriterRead, testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

// A file ImageMagick wrote, turned top-down by the test (rows reversed,
// height negated): the same picture must come out.
TEST(BmpRead, TopDownRowsGiveTheSamePicture) {
    if (!haveConvert()) GTEST_SKIP() << "ImageMagick's convert is not installed";
    const int w = 19, h = 11;
    const std::vector<uint32_t> src = fixtures::photo(w, h, 9);
    const auto dir = testsupport::tempDir("bmptopdown");
    writePpm(dir / "src.ppm", w, h, src);
    ASSERT_TRUE(run("convert " + quoted(dir / "src.ppm") +
                    " -compress None BMP3:" + quoted(dir / "up.bmp")));
    std::vector<unsigned char> b = testsupport::readFile(dir / "up.bmp");
    ASSERT_EQ(b.size(), 54u + 60u * h); // 19 * 3 = 57, padded to 60
    std::vector<unsigned char> flipped(b.begin(), b.begin() + 54);
    for (int r = h - 1; r >= 0; --r)
        flipped.insert(flipped.end(), b.begin() + 54 + 60 * r, b.begin() + 54 + 60 * (r + 1));
    const int32_t negative = -h;
    std::memcpy(&flipped[22], &negative, 4);
    testsupport::writeFile(dir / "down.bmp", flipped);
    const Decoded d = readDib("rdbmpfiledib", dir / "down.bmp");
    ASSERT_EQ(d.rc, PVE_OK);
    EXPECT_EQ(d.rgb, src);
}

// Depth asked on read: raising is exact; lowering keeps the palette when the
// colours fit, else quantizes (dithered or not) to a close picture.
TEST(BmpRead, DepthAskedOnRead) {
    if (!haveConvert()) GTEST_SKIP() << "ImageMagick's convert is not installed";
    const int w = 40, h = 30;
    const auto dir = testsupport::tempDir("bmpdepth");
    const std::vector<uint32_t> photo = fixtures::photo(w, h, 4),
                                few = fixtures::fewColors(w, h, 12, 8);
    writePpm(dir / "photo.ppm", w, h, photo);
    writePpm(dir / "few.ppm", w, h, few);
    ASSERT_TRUE(run("convert " + quoted(dir / "photo.ppm") + " BMP3:" + quoted(dir / "photo.bmp")));
    ASSERT_TRUE(run("convert " + quoted(dir / "few.ppm") +
                    " -type Palette -compress None BMP3:" + quoted(dir / "few.bmp")));
    struct Row {
        const char* file;
        int bits, dither;
        const std::vector<uint32_t>* source;
        double minPsnr; // 999 = exact
    };
    const Row rows[] = {
        {"few.bmp", 24, 0, &few, 999},   {"few.bmp", 8, 0, &few, 999},
        {"few.bmp", 4, 1, &few, 999},    {"photo.bmp", 8, 0, &photo, 30},
        {"photo.bmp", 8, 1, &photo, 28}, {"photo.bmp", 4, 1, &photo, 18},
        {"photo.bmp", 1, 1, &photo, 5},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(std::string(r.file) + " bits " + std::to_string(r.bits));
        const Decoded d = readDib("rdbmpfiledib", dir / r.file, r.bits, r.dither);
        ASSERT_EQ(d.rc, PVE_OK);
        EXPECT_EQ(d.bpp, r.bits);
        if (r.minPsnr == 999)
            EXPECT_EQ(d.rgb, *r.source);
        else
            EXPECT_GE(fixtures::psnr(d.rgb, *r.source), r.minPsnr);
    }
}

// The device-bitmap form, progress from 0 to 100, and a stop at any point
// answered with PVE_CANCELLED and nothing left behind.
TEST(BmpRead, DeviceBitmapProgressAndCancel) {
    if (!haveConvert()) GTEST_SKIP() << "ImageMagick's convert is not installed";
    const int w = 64, h = 300;
    const std::vector<uint32_t> src = fixtures::fewColors(w, h, 100, 6);
    const auto dir = testsupport::tempDir("bmpprogress");
    writePpm(dir / "src.ppm", w, h, src);
    for (const char* kind : {"-compress None", "-compress RLE"}) {
        SCOPED_TRACE(kind);
        const auto file = dir / "p.bmp";
        ASSERT_TRUE(run("convert " + quoted(dir / "src.ppm") + " -type Palette " + kind +
                        " BMP3:" + quoted(file)));
        const auto read = testsupport::codecProc<PFN_readfile>("readbmpfile");
        ASSERT_NE(read, nullptr);
        const fixtures::LiveObjects before;
        ProgressLog log;
        uintptr_t bitmap = 0, palette = 0;
        ASSERT_EQ(read(file.c_str(), 0, 0, &bitmap, &palette, &log, logProgress, 0), PVE_OK);
        EXPECT_EQ(fixtures::bitmapPixels(bitmap), src);
        EXPECT_NE(palette, 0u);
        DeleteObject(bitmap);
        DeleteObject(palette);
        ASSERT_GE(log.seen.size(), 3u);
        EXPECT_EQ(log.seen.front(), 0);
        EXPECT_EQ(log.seen.back(), 100);
        EXPECT_TRUE(std::is_sorted(log.seen.begin(), log.seen.end()));
        const size_t calls = log.seen.size();
        for (const size_t stop : {size_t(0), size_t(1), calls / 2, calls - 1}) {
            ProgressLog cancel;
            cancel.stopAfter = int(stop);
            bitmap = palette = 0;
            EXPECT_EQ(read(file.c_str(), 0, 0, &bitmap, &palette, &cancel, logProgress, 0),
                      PVE_CANCELLED)
                << "stop after " << stop;
            EXPECT_EQ(bitmap, 0u);
        }
        EXPECT_EQ(fixtures::LiveObjects(), before);
    }
}

} // namespace

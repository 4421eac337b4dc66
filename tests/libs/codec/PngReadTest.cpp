// rdpngfiledib, readpngfile and fileinfo on PNG files written at test time
// by ImageMagick and Pillow, compared with the pixels the test generated.
#include "PngJpegSupport.h"

#include <random>

using namespace pngjpeg;

namespace {

const char* const kConvert = "/usr/bin/convert";
const char* const kPython = "/usr/bin/python3";

struct PngCase {
    const char* name;
    int colourType; // as written in the file
    int bitDepth;
    bool interlaced;
    int dibBits; // what the reader hands out at bits = 0
};

void PrintTo(const PngCase& c, std::ostream* os) {
    *os << c.name;
}

// Source pixels that the case's encoding holds exactly (grey levels and
// palette sizes within the depth); 16-bit cases use the full range.
Picture source(const PngCase& c, int width, int height) {
    std::mt19937 rng(uint32_t(c.colourType * 100 + c.bitDepth));
    Picture p;
    p.width = width;
    p.height = height;
    p.channels = c.colourType == 0 ? 1 : c.colourType == 4 ? 2 : c.colourType == 6 ? 4 : 3;
    p.maxval = c.bitDepth == 16 ? 65535 : 255;
    std::vector<uint16_t> palette;
    if (c.colourType == 3)
        for (int i = 0; i < (1 << c.bitDepth) * 3; ++i)
            palette.push_back(uint16_t(rng() & 0xFF));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            if (c.colourType == 3) {
                const size_t i = rng() % (palette.size() / 3);
                for (int k = 0; k < 3; ++k)
                    p.samples.push_back(palette[i * 3 + size_t(k)]);
                continue;
            }
            for (int k = 0; k < p.channels; ++k) {
                uint16_t v = uint16_t(rng() % (uint32_t(p.maxval) + 1));
                if (c.colourType == 0 && c.bitDepth < 8) {
                    const int top = (1 << c.bitDepth) - 1;
                    v = uint16_t((rng() % uint32_t(top + 1)) * 255 / uint32_t(top));
                }
                p.samples.push_back(v);
            }
        }
    return p;
}

// 8-bit value of a sample; alpha composited over white.
uint32_t expected(const Picture& p, int x, int y) {
    auto eight = [&](int c) {
        const uint32_t v = p.at(x, y, c);
        return p.maxval == 255 ? v : (v * 255 + 32767) / 65535;
    };
    const bool alpha = p.channels == 2 || p.channels == 4;
    const uint32_t a = alpha ? eight(p.channels - 1) : 255;
    auto over = [&](uint32_t v) { return (v * a + 255 * (255 - a) + 127) / 255; };
    const uint32_t r = over(eight(0));
    const uint32_t g = p.channels >= 3 ? over(eight(1)) : r;
    const uint32_t b = p.channels >= 3 ? over(eight(2)) : r;
    return r << 16 | g << 8 | b;
}

const PngCase kCases[] = {
    {"grey1", 0, 1, false, 1},         {"grey2", 0, 2, false, 4},
    {"grey4", 0, 4, false, 4},         {"grey8", 0, 8, false, 8},
    {"grey16", 0, 16, false, 8},       {"palette1", 3, 1, false, 1},
    {"palette2", 3, 2, false, 4},      {"palette4", 3, 4, false, 4},
    {"palette8", 3, 8, false, 8},      {"rgb8", 2, 8, false, 24},
    {"rgb16", 2, 16, false, 24},       {"greyalpha8", 4, 8, false, 8},
    {"greyalpha16", 4, 16, false, 8},  {"rgba8", 6, 8, false, 24},
    {"rgba16", 6, 16, false, 24},      {"grey1_adam7", 0, 1, true, 1},
    {"grey2_adam7", 0, 2, true, 4},    {"palette4_adam7", 3, 4, true, 4},
    {"rgb8_adam7", 2, 8, true, 24},    {"greyalpha8_adam7", 4, 8, true, 8},
    {"rgba16_adam7", 6, 16, true, 24},
};

class PngReadFormats : public testing::TestWithParam<PngCase> {};

TEST_P(PngReadFormats, MatchesTheSourcePixels) {
    if (!haveTool(kConvert)) GTEST_SKIP() << "ImageMagick convert is not installed";
    const PngCase& c = GetParam();
    const auto dir = testsupport::tempDir("pngread");
    // Odd sizes: row padding and the partial Adam7 passes.
    const Picture pic = source(c, 37, 23);
    writePam(dir / "in.pam", pic);
    // Without bKGD: ImageMagick would add its colour to the palette.
    const std::string command =
        std::string(kConvert) + " " + (dir / "in.pam").string() +
        " -define png:exclude-chunk=bKGD -define png:color-type=" + std::to_string(c.colourType) +
        " -define png:bit-depth=" + std::to_string(c.bitDepth) +
        (c.interlaced ? " -interlace PNG " : " ") + "PNG:" + (dir / "out.png").string();
    ASSERT_TRUE(run(command)) << command;

    // The writer did what was asked: fileinfo tells.
    const Info info = fileInfo(dir / "out.png");
    ASSERT_EQ(info.rc, PVE_OK);
    EXPECT_EQ(info.format, "PNG");
    EXPECT_EQ(info.description, "DEFLATE");
    ASSERT_EQ(info.values.Value2, c.colourType);
    const int channels = c.colourType == 6 ? 4 : c.colourType == 2 ? 3 : c.colourType == 4 ? 2 : 1;
    ASSERT_EQ(info.values.BitsPerPixel, c.bitDepth * channels);
    EXPECT_EQ(info.values.Value1, c.interlaced ? 1 : 0);
    EXPECT_EQ(info.values.Width, 37);
    EXPECT_EQ(info.values.Height, 23);

    const Decoded d = decode(dibReader("rdpngfiledib"), dir / "out.png");
    ASSERT_EQ(d.rc, PVE_OK) << errorText(d.rc);
    EXPECT_EQ(d.bpp, c.dibBits);
    ASSERT_EQ(d.width, 37);
    ASSERT_EQ(d.height, 23);
    const int tolerance = c.bitDepth == 16 ? 1 : 0;
    for (int y = 0; y < 23; ++y)
        for (int x = 0; x < 37; ++x)
            ASSERT_LE(channelDiff(d.rgb[size_t(y * 37 + x)], expected(pic, x, y)), tolerance)
                << "pixel " << x << "," << y;
}

INSTANTIATE_TEST_SUITE_P(Files, PngReadFormats, testing::ValuesIn(kCases),
                         [](const auto& i) { return std::string(i.param.name); });

// tRNS: Pillow writes the transparency chunk for palette, grey and RGB.
struct TrnsCase {
    const char* name;
    const char* script; // writes out.png into the current folder
    int dibBits;
    std::vector<uint32_t> expected; // 4 x 1 pixels
};

void PrintTo(const TrnsCase& c, std::ostream* os) {
    *os << c.name;
}

const TrnsCase kTrnsCases[] = {
    {"palette",
     "im=Image.frombytes('P',(4,1),bytes([0,1,2,3]));"
     "im.putpalette([255,0,0, 0,255,0, 0,0,255, 10,20,30]);"
     "im.save('out.png',transparency=bytes([255,0,128,255]))",
     4, // Pillow stores four entries in 2 bits
     {0xFF0000, 0xFFFFFF, 0x7F7FFF, 0x0A141E}},
    {"grey",
     "im=Image.frombytes('L',(4,1),bytes([0,100,200,255]));im.save('out.png',transparency=100)",
     8,
     {0x000000, 0xFFFFFF, 0xC8C8C8, 0xFFFFFF}},
    {"rgb",
     "im=Image.frombytes('RGB',(4,1),bytes([1,2,3, 4,5,6, 1,2,3, 9,9,9]));"
     "im.save('out.png',transparency=(1,2,3))",
     24,
     {0xFFFFFF, 0x040506, 0xFFFFFF, 0x090909}},
};

class PngReadTransparency : public testing::TestWithParam<TrnsCase> {};

TEST_P(PngReadTransparency, CompositedOverWhite) {
    if (!haveTool(kPython) || !run(std::string(kPython) + " -c 'import PIL'"))
        GTEST_SKIP() << "Python 3 with Pillow is not installed";
    const auto dir = testsupport::tempDir("pngtrns");
    const std::string command = "cd " + dir.string() + " && " + kPython +
                                " -c \"from PIL import Image;" + GetParam().script + "\"";
    ASSERT_TRUE(run(command)) << command;
    const Decoded d = decode(dibReader("rdpngfiledib"), dir / "out.png");
    ASSERT_EQ(d.rc, PVE_OK) << errorText(d.rc);
    EXPECT_EQ(d.bpp, GetParam().dibBits);
    ASSERT_EQ(d.rgb.size(), 4u);
    for (size_t i = 0; i < 4; ++i)
        EXPECT_LE(channelDiff(d.rgb[i], GetParam().expected[i]), 1)
            << i << ": " << std::hex << d.rgb[i];
}

INSTANTIATE_TEST_SUITE_P(Files, PngReadTransparency, testing::ValuesIn(kTrnsCases),
                         [](const auto& i) { return std::string(i.param.name); });

constexpr int kW = 40, kH = 72;

class PngReadCalls : public LeakChecked {
  protected:
    void SetUp() override {
        LeakChecked::SetUp();
        if (!haveTool(kConvert)) GTEST_SKIP() << "ImageMagick convert is not installed";
        dir_ = testsupport::tempDir("pngcalls");
        pic_ = source({"rgb8", 2, 8, false, 24}, kW, kH);
        writePam(dir_ / "in.pam", pic_);
        ASSERT_TRUE(run(std::string(kConvert) + " " + (dir_ / "in.pam").string() +
                        " PNG24:" + (dir_ / "rgb.png").string()));
    }
    std::filesystem::path dir_;
    Picture pic_;
};

TEST_F(PngReadCalls, EveryDepthAskedForWithAndWithoutDither) {
    for (const int bits : {1, 4, 8, 24})
        for (const int dither : {0, 1}) {
            SCOPED_TRACE(testing::Message() << bits << " bits, dither " << dither);
            const Decoded d = decode(dibReader("rdpngfiledib"), dir_ / "rgb.png", bits, dither);
            ASSERT_EQ(d.rc, PVE_OK);
            EXPECT_EQ(d.bpp, bits);
            EXPECT_EQ(d.width, kW);
            if (bits == 24) {
                for (int i = 0; i < kW * kH; ++i)
                    ASSERT_EQ(d.rgb[size_t(i)], expected(pic_, i % kW, i / kW));
            }
        }
}

TEST_F(PngReadCalls, DeviceBitmapHoldsThePixels) {
    const auto read = testsupport::codecProc<PFN_readfile>("readpngfile");
    uintptr_t bitmap = 0, palette = 0;
    ASSERT_EQ(read((dir_ / "rgb.png").c_str(), 0, 0, &bitmap, &palette, nullptr, nullptr, 0),
              PVE_OK);
    int32_t w = 0, h = 0;
    ASSERT_EQ(GetDeviceBitmapSize(bitmap, &w, &h), 1);
    ASSERT_EQ(w, kW);
    ASSERT_EQ(h, kH);
    const uint32_t* bits = DeviceBitmapBits(bitmap);
    for (int i = 0; i < kW * kH; ++i)
        ASSERT_EQ(bits[i] & 0xFFFFFF, expected(pic_, i % kW, i / kW)) << i;
    DeleteObject(bitmap);
    if (palette) DeleteObject(palette);
}

TEST_F(PngReadCalls, ProgressRisesAndStopWorksAnywhere) {
    Calls calls;
    ASSERT_EQ(decode(dibReader("rdpngfiledib"), dir_ / "rgb.png", 0, 0, &calls).rc, PVE_OK);
    ASSERT_GE(calls.seen.size(), 10u); // per row chunk, not just start and end
    EXPECT_EQ(calls.seen.front(), 0);
    EXPECT_EQ(calls.seen.back(), 100);
    EXPECT_TRUE(std::is_sorted(calls.seen.begin(), calls.seen.end()));
    for (const size_t stop : {size_t(0), size_t(1), calls.seen.size() / 2, calls.seen.size() - 1}) {
        SCOPED_TRACE(stop);
        Calls cancel;
        cancel.stopAt = stop;
        EXPECT_EQ(decode(dibReader("rdpngfiledib"), dir_ / "rgb.png", 0, 0, &cancel).rc,
                  PVE_CANCELLED);
        EXPECT_EQ(cancel.seen.size(), stop + 1);
        uintptr_t bitmap = 0, palette = 0;
        const auto read = testsupport::codecProc<PFN_readfile>("readpngfile");
        Calls again;
        again.stopAt = stop;
        EXPECT_EQ(read((dir_ / "rgb.png").c_str(), 8, 1, &bitmap, &palette, &again, onProgress, 0),
                  PVE_CANCELLED);
        EXPECT_EQ(bitmap, 0u);
    }
}

} // namespace

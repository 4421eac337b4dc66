// readepsfile and fileinfo on EPS files: TIFF previews written by
// ImageMagick at test time, wrapped in a DOS EPS header by the test or by
// ImageMagick's EPT writers; PostScript without preview; damaged headers.
#include "PngJpegSupport.h"
#include "libs/codec/core/EpsDecoder.h"

#include <cstring>
#include <random>

using namespace pngjpeg;
namespace fs = std::filesystem;

namespace {

const char* const kConvert = "/usr/bin/convert";

void put32(std::vector<uint8_t>& v, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i)
        v[at + size_t(i)] = uint8_t(value >> (8 * i));
}

// A DOS EPS file: header, a short PostScript body, then the TIFF preview.
std::vector<uint8_t> wrapTiff(const std::vector<uint8_t>& tiff) {
    const std::string ps = "%!PS-Adobe-3.0 EPSF-3.0\n%%BoundingBox: 0 0 10 10\nshowpage\n";
    std::vector<uint8_t> out(30, 0);
    out[0] = 0xC5, out[1] = 0xD0, out[2] = 0xD3, out[3] = 0xC6;
    put32(out, 4, 30);
    put32(out, 8, uint32_t(ps.size()));
    put32(out, 20, uint32_t(30 + ps.size()));
    put32(out, 24, uint32_t(tiff.size()));
    out[28] = out[29] = 0xFF;
    out.insert(out.end(), ps.begin(), ps.end());
    out.insert(out.end(), tiff.begin(), tiff.end());
    return out;
}

// The picture as the device bitmap readepsfile makes.
Decoded readBitmap(const fs::path& file, Calls* calls = nullptr, int bits = 0) {
    const auto read = testsupport::codecProc<PFN_readfile>("readepsfile");
    Decoded d;
    uintptr_t bitmap = 0, palette = 0;
    d.rc = read(file.c_str(), bits, 0, &bitmap, &palette, calls, calls ? onProgress : nullptr, 0);
    if (palette) DeleteObject(palette);
    if (d.rc != PVE_OK) return d;
    GetDeviceBitmapSize(bitmap, &d.width, &d.height);
    const uint32_t* px = DeviceBitmapBits(bitmap);
    for (int32_t i = 0; i < d.width * d.height; ++i)
        d.rgb.push_back(px[i] & 0xFFFFFF);
    DeleteObject(bitmap);
    return d;
}

Picture source(int w, int h, int channels) {
    std::mt19937 rng(uint32_t(w * 7 + channels));
    Picture p;
    p.width = w;
    p.height = h;
    p.channels = channels;
    for (int i = 0; i < w * h * channels; ++i)
        p.samples.push_back(uint16_t(rng() & 0xFF));
    return p;
}

uint32_t expected(const Picture& p, int x, int y) {
    const bool alpha = p.channels == 2 || p.channels == 4;
    const uint32_t a = alpha ? p.at(x, y, p.channels - 1) : 255;
    auto over = [&](uint32_t v) { return (v * a + 127) / 255 + 255 - a; };
    const uint32_t r = over(p.at(x, y, 0));
    const uint32_t g = p.channels >= 3 ? over(p.at(x, y, 1)) : r;
    const uint32_t b = p.channels >= 3 ? over(p.at(x, y, 2)) : r;
    return r << 16 | g << 8 | b;
}

struct PreviewCase {
    const char* name;
    int channels;
    const char* options; // how ImageMagick writes the TIFF
    int bits;            // fileinfo's bits per pixel
};

void PrintTo(const PreviewCase& c, std::ostream* os) {
    *os << c.name;
}

const PreviewCase kCases[] = {
    {"rgb", 3, "-compress none", 24},
    {"rgb_lzw_strips", 3, "-compress lzw -define tiff:rows-per-strip=5", 24},
    {"rgb_tiled", 3, "-compress zip -define tiff:tile-geometry=16x16", 24},
    {"grey", 1, "-compress none -type Grayscale", 8},
    {"rgba", 4, "-compress none -alpha on", 32},
};

class EpsReadPreview : public LeakChecked, public testing::WithParamInterface<PreviewCase> {};

TEST_P(EpsReadPreview, TiffPreviewMatchesTheSource) {
    if (!haveTool(kConvert)) GTEST_SKIP() << "ImageMagick convert is not installed";
    const PreviewCase& c = GetParam();
    const auto dir = testsupport::tempDir("epsread");
    const Picture pic = source(45, 31, c.channels);
    writePam(dir / "in.pam", pic);
    ASSERT_TRUE(run(std::string(kConvert) + " " + (dir / "in.pam").string() + " " + c.options +
                    " TIFF:" + (dir / "p.tif").string()));
    const auto tiff = testsupport::readFile(dir / "p.tif");
    testsupport::writeFile(dir / "x.eps", [&] {
        const auto eps = wrapTiff({tiff.begin(), tiff.end()});
        return std::vector<unsigned char>(eps.begin(), eps.end());
    }());

    const Info info = fileInfo(dir / "x.eps");
    ASSERT_EQ(info.rc, PVE_OK);
    EXPECT_EQ(info.format, "EPS");
    EXPECT_EQ(info.description, "TIFF PREVIEW");
    EXPECT_EQ(info.values.Width, 45);
    EXPECT_EQ(info.values.Height, 31);
    EXPECT_EQ(info.values.BitsPerPixel, c.bits);
    EXPECT_EQ(info.values.Value1, 1);

    const Decoded d = readBitmap(dir / "x.eps");
    ASSERT_EQ(d.rc, PVE_OK) << errorText(d.rc);
    ASSERT_EQ(d.width, 45);
    ASSERT_EQ(d.height, 31);
    for (int y = 0; y < 31; ++y)
        for (int x = 0; x < 45; ++x)
            ASSERT_LE(channelDiff(d.rgb[size_t(y * 45 + x)], expected(pic, x, y)), 1)
                << x << "," << y;
}

INSTANTIATE_TEST_SUITE_P(Files, EpsReadPreview, testing::ValuesIn(kCases),
                         [](const auto& i) { return std::string(i.param.name); });

// ImageMagick's own EPS writers with a TIFF preview.
TEST(EpsReadImageMagick, Ept2AndEpt3MatchTheirPreview) {
    if (!haveTool(kConvert)) GTEST_SKIP() << "ImageMagick convert is not installed";
    const auto dir = testsupport::tempDir("epsim");
    writePam(dir / "in.pam", source(120, 90, 3));
    for (const char* coder : {"EPT2", "EPT3"}) {
        SCOPED_TRACE(coder);
        const fs::path eps = dir / (std::string(coder) + ".eps");
        ASSERT_TRUE(run(std::string(kConvert) + " " + (dir / "in.pam").string() + " " + coder +
                        ":" + eps.string()));
        const auto bytes = testsupport::readFile(eps);
        gifcore::EpsSections s;
        ASSERT_EQ(gifcore::readEpsSections(bytes.data(), bytes.size(), s), PVE_OK);
        ASSERT_GT(s.tiffLength, 0u);
        testsupport::writeFile(dir / "preview.tif", {bytes.begin() + s.tiffOffset,
                                                     bytes.begin() + s.tiffOffset + s.tiffLength});
        ASSERT_TRUE(run(std::string(kConvert) + " " + (dir / "preview.tif").string() +
                        " -depth 8 PPM:" + (dir / "ref.ppm").string()));
        int w = 0, h = 0;
        const auto reference = readPpm(dir / "ref.ppm", w, h);
        Calls calls;
        const Decoded d = readBitmap(eps, &calls);
        ASSERT_EQ(d.rc, PVE_OK) << errorText(d.rc);
        ASSERT_EQ(d.width, w);
        ASSERT_EQ(d.rgb.size(), reference.size());
        for (size_t i = 0; i < reference.size(); ++i)
            ASSERT_LE(channelDiff(d.rgb[i], reference[i]), 1) << i;
        EXPECT_EQ(calls.seen.back(), 100);
        Calls stop;
        stop.stopAt = 1;
        EXPECT_EQ(readBitmap(eps, &stop, 8).rc, PVE_CANCELLED);
    }
}

int32_t decodeBytes(const std::vector<uint8_t>& bytes) {
    zp::GlobalBlock out;
    const int32_t rc = gifcore::decodeEps(bytes.data(), bytes.size(), {},
                                          gifcore::Progress(nullptr, nullptr), out);
    EXPECT_EQ(rc == PVE_OK, bool(out));
    return rc;
}

class EpsReadRefusals : public LeakChecked {};

TEST_F(EpsReadRefusals, NoPreviewBadHeadersAndDamage) {
    const auto dir = testsupport::tempDir("epsbad");
    const std::string ps = "%!PS-Adobe-3.0 EPSF-3.0\n%%BoundingBox: 10 20 210 120\nshowpage\n";
    testsupport::writeFile(dir / "plain.eps", {ps.begin(), ps.end()});
    EXPECT_EQ(readBitmap(dir / "plain.eps").rc, PVE_EPS_NO_PREVIEW);
    EXPECT_NE(errorText(PVE_EPS_NO_PREVIEW).find("no TIFF preview"), std::string::npos);
    const Info info = fileInfo(dir / "plain.eps");
    EXPECT_EQ(info.rc, PVE_OK);
    EXPECT_EQ(info.format, "EPS");
    EXPECT_EQ(info.description, "POSTSCRIPT");
    EXPECT_EQ(info.values.Width, 200);
    EXPECT_EQ(info.values.Height, 100);

    // A real preview to damage.
    std::vector<uint8_t> tiff = {'I', 'I', 42, 0, 8, 0, 0, 0};
    std::vector<uint8_t> good = wrapTiff(tiff);
    EXPECT_EQ(decodeBytes(good), PVE_EPS_BAD_PREVIEW); // an IFD offset into nothing
    std::vector<uint8_t> noTiff = good;
    put32(noTiff, 24, 0);
    EXPECT_EQ(decodeBytes(noTiff), PVE_EPS_NO_PREVIEW);
    std::vector<uint8_t> outside = good;
    put32(outside, 20, 0xFFFFFFF0u);
    EXPECT_EQ(decodeBytes(outside), PVE_EPS_BAD_HEADER);
    std::vector<uint8_t> tooLong = good;
    put32(tooLong, 24, uint32_t(good.size()));
    EXPECT_EQ(decodeBytes(tooLong), PVE_EPS_BAD_HEADER);
    EXPECT_EQ(decodeBytes({0xC5, 0xD0, 0xD3, 0xC6, 0}), PVE_EPS_BAD_HEADER);
    EXPECT_EQ(decodeBytes({'G', 'I', 'F'}), PVE_EPS_NOT);
}

TEST_F(EpsReadRefusals, EveryTruncationAndRandomDamage) {
    if (!haveTool(kConvert)) GTEST_SKIP() << "ImageMagick convert is not installed";
    const auto dir = testsupport::tempDir("epscut");
    writePam(dir / "in.pam", source(12, 9, 3));
    ASSERT_TRUE(run(std::string(kConvert) + " " + (dir / "in.pam").string() +
                    " -compress lzw TIFF:" + (dir / "p.tif").string()));
    const auto tiff = testsupport::readFile(dir / "p.tif");
    const std::vector<uint8_t> eps = wrapTiff({tiff.begin(), tiff.end()});
    ASSERT_EQ(decodeBytes(eps), PVE_OK);
    for (size_t n = 0; n < eps.size(); ++n) {
        // A cut file's header points past its end.
        const int32_t rc = decodeBytes({eps.begin(), eps.begin() + std::ptrdiff_t(n)});
        ASSERT_NE(rc, PVE_OK) << n;
        ASSERT_FALSE(errorText(rc).empty()) << rc;
    }
    std::mt19937 rng(5);
    for (int round = 0; round < 300; ++round) {
        std::vector<uint8_t> damaged = eps;
        for (int k = 0; k < 1 + round % 4; ++k)
            damaged[30 + rng() % (damaged.size() - 30)] = uint8_t(rng());
        const int32_t rc = decodeBytes(damaged);
        if (rc != PVE_OK) {
            EXPECT_FALSE(errorText(rc).empty()) << rc;
        }
    }
}

// Pillow's EPS samples: previews decode or are refused with a clear code.
TEST_F(EpsReadRefusals, PillowSamplesAnswerCleanly) {
    const fs::path root = testsupport::corpusDir() / "misc-pillow";
    if (!fs::exists(root)) GTEST_SKIP() << "no corpus";
    int files = 0;
    for (const auto& e : fs::recursive_directory_iterator(root)) {
        if (e.path().extension() != ".eps") continue;
        const auto bytes = testsupport::readFile(e.path());
        const int32_t rc = decodeBytes({bytes.begin(), bytes.end()});
        if (rc != PVE_OK) {
            EXPECT_FALSE(errorText(rc).empty()) << e.path();
        }
        ++files;
    }
    EXPECT_GT(files, 5);
}

} // namespace

// rdjpgfiledib, readjpgfile and fileinfo on JPEG files written at test time
// by ImageMagick: compared with ImageMagick's own decoding (libjpeg's exact
// output) and, loosely, with the source pixels.
#include "PngJpegSupport.h"
#include "libs/codec/core/JpegDecoder.h"

#include "../imagecore/DibFixtures.h"

#include <random>
#include <set>

using namespace pngjpeg;
namespace fs = std::filesystem;

namespace {

const char* const kConvert = "/usr/bin/convert";

DibReader jpegReader() {
    const auto read = testsupport::codecProc<PFN_rdjpgfiledib>("rdjpgfiledib");
    return [read](const char* f, int32_t bits, int32_t dither, uintptr_t* dib, uintptr_t* pal,
                  Calls* calls) {
        return read(f, bits, 1, dither, dib, pal, calls, calls ? onProgress : nullptr, 0);
    };
}

Picture photoPicture(int w, int h) {
    Picture p;
    p.width = w;
    p.height = h;
    for (uint32_t c : fixtures::photo(w, h))
        p.samples.insert(p.samples.end(),
                         {uint16_t(c >> 16), uint16_t((c >> 8) & 0xFF), uint16_t(c & 0xFF)});
    return p;
}

struct JpegCase {
    const char* name;
    const char* options; // for convert
    int components;
    bool progressive;
    int dibBits;
    int maxDiffFromSource; // mean per-channel difference allowed
};

void PrintTo(const JpegCase& c, std::ostream* os) {
    *os << c.name;
}

const JpegCase kCases[] = {
    {"colour_420", "-quality 90", 3, false, 24, 6},
    {"colour_444", "-quality 95 -sampling-factor 1x1", 3, false, 24, 5},
    {"colour_progressive", "-quality 90 -interlace JPEG", 3, true, 24, 6},
    {"grey", "-quality 90 -colorspace Gray", 1, false, 8, 255},
    {"grey_progressive", "-quality 85 -colorspace Gray -interlace JPEG", 1, true, 8, 255},
    {"cmyk", "-quality 95 -colorspace CMYK", 4, false, 24, 6},
    {"cmyk_progressive", "-quality 95 -colorspace CMYK -interlace JPEG", 4, true, 24, 6},
};

class JpegReadFormats : public testing::TestWithParam<JpegCase> {};

TEST_P(JpegReadFormats, MatchesLibjpegAndTheSource) {
    if (!haveTool(kConvert)) GTEST_SKIP() << "ImageMagick convert is not installed";
    const JpegCase& c = GetParam();
    const auto dir = testsupport::tempDir("jpegread");
    const Picture pic = photoPicture(61, 43);
    writePam(dir / "in.pam", pic);
    const std::string jpg = (dir / "out.jpg").string();
    ASSERT_TRUE(run(std::string(kConvert) + " " + (dir / "in.pam").string() + " " + c.options +
                    " JPEG:" + jpg));
    ASSERT_TRUE(run(std::string(kConvert) + " " + jpg +
                    " -colorspace sRGB -depth 8 PPM:" + (dir / "ref.ppm").string()));

    const Info info = fileInfo(jpg);
    ASSERT_EQ(info.rc, PVE_OK);
    EXPECT_EQ(info.format, "JPEG");
    EXPECT_EQ(info.description, c.progressive ? "PROGRESSIVE JPEG" : "JPEG");
    EXPECT_EQ(info.values.Value1, c.components);
    EXPECT_EQ(info.values.BitsPerPixel, 8 * c.components);
    EXPECT_EQ(info.values.Width, 61);
    EXPECT_EQ(info.values.Height, 43);

    const Decoded d = decode(jpegReader(), jpg);
    ASSERT_EQ(d.rc, PVE_OK) << errorText(d.rc);
    EXPECT_EQ(d.bpp, c.dibBits);
    ASSERT_EQ(d.width, 61);
    ASSERT_EQ(d.height, 43);
    int w = 0, h = 0;
    const auto reference = readPpm(dir / "ref.ppm", w, h);
    ASSERT_EQ(reference.size(), d.rgb.size());
    double sourceDiff = 0;
    for (size_t i = 0; i < reference.size(); ++i) {
        // Same library, same IDCT: equal but for the CMYK arithmetic.
        ASSERT_LE(channelDiff(d.rgb[i], reference[i]), c.components == 4 ? 2 : 0) << i;
        const uint32_t s = uint32_t(pic.samples[i * 3]) << 16 |
                           uint32_t(pic.samples[i * 3 + 1]) << 8 | pic.samples[i * 3 + 2];
        sourceDiff += channelDiff(d.rgb[i], s);
    }
    EXPECT_LE(sourceDiff / double(reference.size()), c.maxDiffFromSource);
}

INSTANTIATE_TEST_SUITE_P(Files, JpegReadFormats, testing::ValuesIn(kCases),
                         [](const auto& i) { return std::string(i.param.name); });

class JpegReadCalls : public LeakChecked {
  protected:
    void SetUp() override {
        LeakChecked::SetUp();
        if (!haveTool(kConvert)) GTEST_SKIP() << "ImageMagick convert is not installed";
        dir_ = testsupport::tempDir("jpegcalls");
        writePam(dir_ / "in.pam", photoPicture(48, 112));
        ASSERT_TRUE(run(std::string(kConvert) + " " + (dir_ / "in.pam").string() +
                        " -quality 90 JPEG:" + file().string()));
        full_ = decode(jpegReader(), file());
        ASSERT_EQ(full_.rc, PVE_OK);
    }
    fs::path file() const { return dir_ / "photo.jpg"; }
    fs::path dir_;
    Decoded full_;
};

TEST_F(JpegReadCalls, DepthsAskedForAndTheDeviceBitmap) {
    for (const int bits : {1, 4, 8, 24})
        for (const int dither : {0, 1}) {
            SCOPED_TRACE(testing::Message() << bits << " bits, dither " << dither);
            const Decoded d = decode(jpegReader(), file(), bits, dither);
            ASSERT_EQ(d.rc, PVE_OK);
            EXPECT_EQ(d.bpp, bits);
            if (bits == 24) {
                EXPECT_EQ(d.rgb, full_.rgb);
            }
        }
    const auto read = testsupport::codecProc<PFN_readjpgfile>("readjpgfile");
    uintptr_t bitmap = 0, palette = 0;
    ASSERT_EQ(read(file().c_str(), 0, 1, 0, &bitmap, &palette, nullptr, nullptr, 0), PVE_OK);
    const uint32_t* bits = DeviceBitmapBits(bitmap);
    for (size_t i = 0; i < full_.rgb.size(); ++i)
        ASSERT_EQ(bits[i] & 0xFFFFFF, full_.rgb[i]) << i;
    DeleteObject(bitmap);
    if (palette) DeleteObject(palette);
}

TEST_F(JpegReadCalls, ProgressRisesAndStopWorksAnywhere) {
    Calls calls;
    ASSERT_EQ(decode(jpegReader(), file(), 0, 0, &calls).rc, PVE_OK);
    ASSERT_GE(calls.seen.size(), 10u);
    EXPECT_EQ(calls.seen.front(), 0);
    EXPECT_EQ(calls.seen.back(), 100);
    EXPECT_TRUE(std::is_sorted(calls.seen.begin(), calls.seen.end()));
    for (const size_t stop : {size_t(0), size_t(2), calls.seen.size() - 1}) {
        Calls cancel;
        cancel.stopAt = stop;
        EXPECT_EQ(decode(jpegReader(), file(), 4, 1, &cancel).rc, PVE_CANCELLED) << stop;
        EXPECT_EQ(cancel.seen.size(), stop + 1);
    }
}

int32_t decodeBytes(const std::vector<uint8_t>& bytes, Decoded* rows = nullptr) {
    zp::GlobalBlock out;
    const int32_t rc = gifcore::decodeJpeg(bytes.data(), bytes.size(), {},
                                           gifcore::Progress(nullptr, nullptr), out);
    EXPECT_EQ(rc == PVE_OK, bool(out));
    if (rc == PVE_OK && rows) {
        zp::GlobalLockGuard lock(out.get());
        ic::DibView v;
        EXPECT_TRUE(ic::parseDib(lock.data(), out.size(), v));
        for (int y = 0; y < v.height; ++y)
            for (int x = 0; x < v.width; ++x)
                rows->rgb.push_back(v.rgb(x, y));
    }
    return rc;
}

TEST_F(JpegReadCalls, TruncationKeepsTheRowsDecodedSoFar) {
    const auto file = testsupport::readFile(this->file());
    const std::vector<uint8_t> bytes(file.begin(), file.end());
    Decoded half;
    ASSERT_EQ(decodeBytes({bytes.begin(), bytes.begin() + std::ptrdiff_t(bytes.size() / 2)}, &half),
              PVE_OK);
    // The first quarter of the picture lies well inside the first half.
    for (size_t i = 0; i < full_.rgb.size() / 4; ++i)
        ASSERT_EQ(half.rgb[i], full_.rgb[i]) << i;
    size_t scan = 2; // the first start-of-scan marker: tables end there
    while (scan + 1 < bytes.size() && !(bytes[scan] == 0xFF && bytes[scan + 1] == 0xDA))
        ++scan;
    std::set<int32_t> seen;
    for (size_t n = 0; n < bytes.size(); n += 7) {
        const int32_t rc = decodeBytes({bytes.begin(), bytes.begin() + std::ptrdiff_t(n)});
        if (n < scan) {
            EXPECT_NE(rc, PVE_OK) << n;
        }
        if (rc != PVE_OK) {
            EXPECT_FALSE(errorText(rc).empty()) << rc;
        }
        seen.insert(rc);
    }
    EXPECT_TRUE(seen.count(PVE_TRUNCATED));
}

TEST_F(JpegReadCalls, DamageAndAbsurdSizes) {
    const auto file = testsupport::readFile(this->file());
    const std::vector<uint8_t> bytes(file.begin(), file.end());
    size_t sof = 2;
    while (sof + 9 < bytes.size() && !(bytes[sof] == 0xFF && bytes[sof + 1] == 0xC0))
        ++sof;
    ASSERT_LT(sof + 9, bytes.size());
    struct Size {
        uint16_t w, h;
        int32_t rc;
    };
    for (const Size s : {Size{65535, 65535, PVE_TOO_LARGE}, Size{65500, 16400, PVE_TOO_LARGE},
                         Size{0, 8, PVE_JPEG_CORRUPT}}) {
        std::vector<uint8_t> odd = bytes;
        odd[sof + 5] = uint8_t(s.h >> 8);
        odd[sof + 6] = uint8_t(s.h);
        odd[sof + 7] = uint8_t(s.w >> 8);
        odd[sof + 8] = uint8_t(s.w);
        EXPECT_EQ(decodeBytes(odd), s.rc) << s.w << "x" << s.h;
    }
    EXPECT_EQ(decodeBytes({0xFF, 0xD8, 0xFF, 0xD9}), PVE_NO_IMAGE);
    EXPECT_EQ(decodeBytes({'P', 'N', 'G'}), PVE_JPEG_NOT);
    std::mt19937 rng(3);
    for (int round = 0; round < 150; ++round) {
        std::vector<uint8_t> damaged = bytes;
        for (int k = 0; k < 1 + round % 5; ++k)
            damaged[2 + rng() % (damaged.size() - 2)] = uint8_t(rng());
        const int32_t rc = decodeBytes(damaged);
        if (rc != PVE_OK) {
            EXPECT_FALSE(errorText(rc).empty()) << rc;
        }
    }
}

// Malformed JPEGs of a robustness suite and Pillow's samples: no crash, a
// clean answer.
TEST(JpegReadCorpus, EveryFileAnswersCleanly) {
    std::vector<fs::path> files;
    for (const char* folder : {"robust-imagetestsuite/jpg", "misc-pillow"}) {
        const fs::path root = testsupport::corpusDir() / folder;
        if (!fs::exists(root)) continue;
        for (const auto& e : fs::recursive_directory_iterator(root)) {
            const std::string ext = e.path().extension().string();
            if (ext == ".jpg" || ext == ".jpeg" || ext == ".JPG") files.push_back(e.path());
        }
    }
    if (files.empty()) GTEST_SKIP() << "no corpus";
    int decoded = 0;
    for (const fs::path& f : files) {
        const auto bytes = testsupport::readFile(f);
        const int32_t rc = decodeBytes({bytes.begin(), bytes.end()});
        if (rc == PVE_OK)
            ++decoded;
        else
            EXPECT_FALSE(errorText(rc).empty()) << f;
    }
    EXPECT_GT(decoded, 0);
}

} // namespace

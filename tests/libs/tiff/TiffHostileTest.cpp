// Hostile and foreign TIFF files: truncations, corruption, absurd sizes and
// the libtiff test corpus (compared with ImageMagick where both decode).
#include "TiffTestSupport.h"
#include "libs/tiff/core/TiffDecoder.h"

#include <chrono>
#include <random>

namespace {

using namespace tifftest;
namespace fs = std::filesystem;

int32_t decodeBytes(const std::vector<unsigned char>& bytes, int32_t page = 0) {
    zp::GlobalBlock out;
    const int32_t rc = tifcore::decodeTiffPage(bytes.data(), bytes.size(), page,
                                               tifcore::TiffProgress(nullptr, nullptr), out);
    EXPECT_EQ(rc == 1, bool(out));
    return rc;
}

// A small file with several strips of compressed data, written by ImageMagick.
std::vector<unsigned char> smallLzw(const std::string& extra) {
    const fs::path dir = testsupport::tempDir("tiffsmall");
    writePnm(dir / "in.ppm", 23, 17, fixtures::photo(23, 17, 4), false);
    if (!convert((dir / "in.ppm").string() +
                 " -depth 8 -endian LSB -define tiff:rows-per-strip=4 " + extra + " " +
                 (dir / "s.tif").string()))
        return {};
    return testsupport::readFile(dir / "s.tif");
}

TEST(TiffHostile, EveryTruncationFailsCleanly) {
    if (!haveConvert()) GTEST_SKIP() << "/usr/bin/convert is not installed";
    for (const char* extra : {"-compress LZW", "-type Palette -compress RLE", "-compress JPEG"}) {
        const std::vector<unsigned char> full = smallLzw(extra);
        ASSERT_FALSE(full.empty());
        ASSERT_EQ(decodeBytes(full), 1) << extra;
        // ImageMagick writes the pixels first and the directory last: every
        // cut before the directory must fail; later cuts lose only tag
        // values and may still decode.
        const size_t directory =
            size_t(full[4]) | size_t(full[5]) << 8 | size_t(full[6]) << 16 | size_t(full[7]) << 24;
        ASSERT_EQ(full[0], 'I');
        ASSERT_LT(directory, full.size());
        for (size_t n = 0; n < full.size(); ++n) {
            const std::vector<unsigned char> cut(full.begin(), full.begin() + long(n));
            const int32_t rc = decodeBytes(cut);
            if (n <= directory) {
                EXPECT_LT(rc, 0) << extra << " cut at " << n;
            } else {
                EXPECT_TRUE(rc == 1 || rc < 0);
            }
        }
    }
}

TEST(TiffHostile, RandomCorruptionNeverCrashes) {
    if (!haveConvert()) GTEST_SKIP() << "/usr/bin/convert is not installed";
    const std::vector<unsigned char> full = smallLzw("-compress LZW");
    ASSERT_FALSE(full.empty());
    std::mt19937 rng(42);
    for (int round = 0; round < 400; ++round) {
        std::vector<unsigned char> bad = full;
        const int flips = 1 + int(rng() % 8);
        for (int i = 0; i < flips; ++i)
            bad[rng() % bad.size()] = uint8_t(rng());
        const int32_t rc = decodeBytes(bad);
        EXPECT_TRUE(rc == 1 || rc < 0);
    }
}

TEST(TiffHostile, AbsurdSizesRefusedBeforeAllocation) {
    struct Size {
        uint32_t w, h;
        uint16_t bps, spp, photometric;
        int32_t expect;
    } sizes[] = {
        {100000, 100000, 8, 3, 2, -7}, {65536, 1, 8, 1, 1, -7},
        {1, 65536, 1, 1, 0, -7},       {65535, 16385, 8, 1, 1, -7}, // a byte a pixel above 1 GiB
        {16384, 16384, 16, 4, 2, -11}, // a 24-bit DIB of 768 MiB fits; the data is missing
    };
    for (const Size& s : sizes) {
        const auto start = std::chrono::steady_clock::now();
        const int32_t rc = decodeBytes(tinyTiff(s.w, s.h, s.bps, s.spp, s.photometric, {0, 0, 0}));
        EXPECT_EQ(rc, s.expect) << s.w << "x" << s.h;
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    }
    EXPECT_EQ(decodeBytes(tinyTiff(65536, 2, 8, 1, 1, {0})), -7);
    EXPECT_EQ(errorText(-7),
              "The image is too large: a side above 65535 pixels or more than 1 GiB of pixels.");
}

TEST(TiffHostile, ClearTextsForWhatIsNotReadable) {
    EXPECT_EQ(decodeBytes({'G', 'I', 'F', '8', '9', 'a', 0, 0, 0, 0}), -3);
    EXPECT_NE(errorText(-3).find("not a TIFF"), std::string::npos);
    // Strip data shorter than the picture: the data error names libtiff's reason.
    const int32_t rc = decodeBytes(tinyTiff(64, 64, 8, 1, 1, std::vector<unsigned char>(10, 7)));
    EXPECT_EQ(rc, -11);
    EXPECT_NE(errorText(rc).find("corrupt or truncated"), std::string::npos) << errorText(rc);
    // A minimal valid one decodes: a 4 x 2 grey ramp.
    zp::GlobalBlock out;
    const std::vector<unsigned char> ok = tinyTiff(4, 2, 8, 1, 1, {0, 80, 160, 240, 1, 2, 3, 4});
    ASSERT_EQ(tifcore::decodeTiffPage(ok.data(), ok.size(), 0, {nullptr, nullptr}, out), 1);
    fixtures::DibBlock dib(out.release());
    ASSERT_TRUE(dib.valid());
    EXPECT_EQ(dib.view().bpp, 8);
    EXPECT_EQ(dib.view().index(2, 0), 160);
    EXPECT_EQ(dib.view().index(3, 1), 4);
}

// Every corpus file decodes or fails with a code; where ImageMagick decodes
// it too, the pictures agree.
TEST(TiffCorpus, NoCrashAndAgreesWithImageMagick) {
    const fs::path root = testsupport::corpusDir();
    if (root.empty() || !fs::is_directory(root / "tiff-libtiff"))
        GTEST_SKIP() << "corpus tiff-libtiff not present";
    const fs::path dir = testsupport::tempDir("tiffcorpus");
    int decoded = 0, compared = 0;
    for (const auto& entry : fs::recursive_directory_iterator(root / "tiff-libtiff")) {
        if (!entry.is_regular_file()) continue;
        const std::vector<unsigned char> bytes = testsupport::readFile(entry.path());
        zp::GlobalBlock out;
        const int32_t rc =
            tifcore::decodeTiffPage(bytes.data(), bytes.size(), 0, {nullptr, nullptr}, out);
        if (rc != 1) continue;
        ++decoded;
        fixtures::DibBlock dib(out.release());
        ASSERT_TRUE(dib.valid()) << entry.path();
        // ImageMagick 6.9 shows old-style JPEG (6) as raw YCbCr (green
        // pictures; ours were checked by eye): no reference there.
        tifcore::TiffPageInfo info;
        ASSERT_EQ(tifcore::readTiffInfo(bytes.data(), bytes.size(), 0, info), 1);
        if (info.compression == 6) continue;
        const fs::path ppm = dir / "ref.ppm";
        fs::remove(ppm);
        if (!haveConvert() ||
            !convert("'" + entry.path().string() +
                     "[0]' -background white -alpha remove "
                     "-alpha off -colorspace sRGB -depth 8 " +
                     ppm.string()) ||
            !fs::exists(ppm))
            continue;
        const std::vector<unsigned char> ref = testsupport::readFile(ppm);
        const std::string head = "P6\n" + std::to_string(dib.view().width) + " " +
                                 std::to_string(dib.view().height) + "\n255\n";
        if (ref.size() != head.size() + size_t(dib.view().width) * dib.view().height * 3 ||
            std::string(ref.begin(), ref.begin() + long(head.size())) != head)
            continue;
        std::vector<uint32_t> refPx;
        for (size_t i = head.size(); i + 2 < ref.size(); i += 3)
            refPx.push_back(uint32_t(ref[i]) << 16 | uint32_t(ref[i + 1]) << 8 | ref[i + 2]);
        ++compared;
        EXPECT_GT(fixtures::psnr(dib.rgb(), refPx), 28) << entry.path();
    }
    EXPECT_GT(decoded, 15);
    EXPECT_GT(compared, 10);
}

} // namespace

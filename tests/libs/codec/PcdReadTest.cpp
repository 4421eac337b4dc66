// readpcdfile, readpcdfiledib and fileinfo on Photo CD files that
// ImageMagick writes at test time and on the sample in the shared corpus,
// compared with Pillow's and ImageMagick's readings of the same files.
#include "PcxTgaPcdFixtures.h"

#include <random>

using namespace pxt;

namespace {

constexpr size_t kRotation = 0xE02;

class PcdRead : public testing::Test {
  protected:
    void SetUp() override {
        if (!haveConvert()) GTEST_SKIP() << "ImageMagick's convert is not installed";
        dir_ = testsupport::tempDir("pcdread");
        source_ = fixtures::photo(768, 512, 21);
        writePnm(dir_ / "src.ppm", 768, 512, source_, false);
        file_ = dir_ / "im.pcd";
        ASSERT_TRUE(
            run(std::string(kConvert) + " " + quote(dir_ / "src.ppm") + " " + quote(file_)));
        bytes_ = testsupport::readFile(file_);
    }
    void TearDown() override { EXPECT_TRUE(before_ == fixtures::LiveObjects{}) << "leaked"; }

    fs::path patched(uint8_t rotation) {
        std::vector<unsigned char> b = bytes_;
        b[kRotation] = rotation;
        const fs::path p = dir_ / ("rot" + std::to_string(rotation) + ".pcd");
        testsupport::writeFile(p, b);
        return p;
    }

    fs::path dir_, file_;
    std::vector<uint32_t> source_;
    std::vector<unsigned char> bytes_;
    fixtures::LiveObjects before_;
};

// readpcdfile at a resolution; the device bitmap's pixels, w and h set.
std::vector<uint32_t> readBitmap(const fs::path& file, int16_t mode, int& w, int& h,
                                 int32_t* rc = nullptr, ProgressLog* log = nullptr) {
    const auto read = testsupport::codecProc<PFN_readpcdfile>("readpcdfile");
    if (!read) return {};
    uintptr_t bitmap = 0, palette = 0;
    const int32_t result =
        read(file.c_str(), 0, 0, mode, &bitmap, &palette, log, log ? onProgress : nullptr, 0);
    if (rc) *rc = result;
    if (result != PVE_OK) return {};
    std::vector<uint32_t> px = fixtures::bitmapPixels(bitmap);
    GetDeviceBitmapSize(bitmap, &w, &h);
    DeleteObject(bitmap);
    if (palette) DeleteObject(palette);
    return px;
}

// The source reduced by box averaging, as the smaller resolutions hold it.
std::vector<uint32_t> reduce(const std::vector<uint32_t>& px, int w, int h, int factor) {
    std::vector<uint32_t> out;
    for (int y = 0; y < h / factor; ++y)
        for (int x = 0; x < w / factor; ++x) {
            uint32_t sum[3] = {};
            for (int dy = 0; dy < factor; ++dy)
                for (int dx = 0; dx < factor; ++dx)
                    for (int c = 0; c < 3; ++c)
                        sum[c] +=
                            (px[size_t(y * factor + dy) * size_t(w) + size_t(x * factor + dx)] >>
                             (8 * c)) &
                            0xFF;
            uint32_t v = 0;
            for (int c = 0; c < 3; ++c)
                v |= (sum[c] / uint32_t(factor * factor)) << (8 * c);
            out.push_back(v);
        }
    return out;
}

// Pillow converts PhotoYCC with the plain Kodak formula, as we do, so its
// reading is the pixel reference. ImageMagick passes the result through its
// own display table (and its writer is not that table's inverse), so it
// checks only the layout: a wrong plane order or offset scores far lower.
TEST_F(PcdRead, ThreeResolutionsAgreeWithPillowAndImageMagick) {
    if (!havePillow()) GTEST_SKIP() << "Python 3 with Pillow is not installed";
    int pw = 0, ph = 0, mw = 0, mh = 0;
    const std::vector<uint32_t> pillow = pillowPixels(file_, pw, ph);
    const std::vector<uint32_t> magick = magickPixels(file_, mw, mh, "");
    ASSERT_EQ(pw, 768);
    ASSERT_EQ(ph, 512);
    ASSERT_EQ(mw, 768);
    struct Case {
        int16_t mode;
        int w, h, factor;
    } cases[] = {{0, 192, 128, 4}, {1, 384, 256, 2}, {2, 768, 512, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        int w = 0, h = 0;
        const std::vector<uint32_t> got = readBitmap(file_, c.mode, w, h);
        ASSERT_EQ(w, c.w);
        ASSERT_EQ(h, c.h);
        EXPECT_GT(fixtures::psnr(got, reduce(pillow, 768, 512, c.factor)),
                  c.mode == 2 ? 45.0 : 28.0);
        EXPECT_GT(fixtures::psnr(got, reduce(magick, 768, 512, c.factor)), 16.0);
    }
    // The DIB form reads the base picture.
    const Decoded d = readDib("readpcdfiledib", file_);
    ASSERT_TRUE(d.ok()) << d.rc;
    EXPECT_EQ(d.dib->view().bpp, 24);
    EXPECT_GT(fixtures::psnr(d.dib->rgb(), pillow), 45.0);
    const Decoded eight = readDib("readpcdfiledib", file_, 8, 1);
    ASSERT_TRUE(eight.ok()) << eight.rc;
    EXPECT_EQ(eight.dib->view().bpp, 8);
    EXPECT_GT(fixtures::psnr(eight.dib->rgb(), pillow), 25.0);
}

TEST_F(PcdRead, OrientationFromTheHeader) {
    int w = 0, h = 0;
    const std::vector<uint32_t> upright = readBitmap(file_, 1, w, h);
    ASSERT_EQ(upright.size(), 384u * 256u);
    for (const uint8_t turns : {1, 2, 3}) {
        SCOPED_TRACE(int(turns));
        const fs::path file = patched(turns);
        int tw = 0, th = 0;
        const std::vector<uint32_t> turned = readBitmap(file, 1, tw, th);
        ASSERT_EQ(tw, turns == 2 ? 384 : 256);
        ASSERT_EQ(th, turns == 2 ? 256 : 384);
        // Every pixel is the upright picture's, turned counter-clockwise.
        for (int y = 0; y < 256; ++y)
            for (int x = 0; x < 384; ++x) {
                const int ox = turns == 1 ? y : turns == 2 ? 383 - x : 255 - y;
                const int oy = turns == 1 ? 383 - x : turns == 2 ? 255 - y : x;
                ASSERT_EQ(turned[size_t(oy) * size_t(tw) + size_t(ox)],
                          upright[size_t(y) * 384 + size_t(x)]);
            }
        const Info info = fileInfo(file);
        EXPECT_EQ(info.info.Value1, turns);
        EXPECT_EQ(info.info.Width, turns == 2 ? 768 : 512);
        // ImageMagick turns only quarter turns (Debian's Pillow fails on
        // turned files); its display table allows only a loose match, but a
        // turn the wrong way scores far below it.
        if (turns == 2) continue;
        int mw = 0, mh = 0;
        const std::vector<uint32_t> magick = magickPixels(file, mw, mh, "");
        const Decoded base = readDib("readpcdfiledib", file);
        ASSERT_TRUE(base.ok());
        ASSERT_EQ(mw, base.dib->view().width);
        ASSERT_EQ(mh, base.dib->view().height);
        EXPECT_GT(fixtures::psnr(base.dib->rgb(), magick), 16.0);
    }
}

TEST_F(PcdRead, FileInfoAndCorpusSample) {
    const Info info = fileInfo(file_);
    ASSERT_EQ(info.rc, PVE_OK);
    EXPECT_EQ(info.format, "PCD");
    EXPECT_EQ(info.info.Width, 768);
    EXPECT_EQ(info.info.Height, 512);
    EXPECT_EQ(info.info.BitsPerPixel, 24);
    EXPECT_EQ(info.info.Value2, 3);
    EXPECT_EQ(info.description, "YCC");
    const fs::path sample = testsupport::corpusDir() / "misc-pillow/Tests/images/hopper.pcd";
    if (!fs::exists(sample)) GTEST_SKIP() << "no Photo CD sample in the corpus";
    const fs::path copy = dir_ / "hopper.pcd";
    fs::copy_file(sample, copy);
    const Decoded d = readDib("readpcdfiledib", copy);
    ASSERT_TRUE(d.ok()) << d.rc;
    EXPECT_GT(closestReference(copy, *d.dib), 45.0);
}

TEST_F(PcdRead, ProgressCancelAndHostileFiles) {
    ProgressLog full;
    int w = 0, h = 0;
    ASSERT_FALSE(readBitmap(file_, 2, w, h, nullptr, &full).empty());
    ASSERT_GT(full.seen.size(), 10u);
    EXPECT_EQ(full.seen.back(), 100);
    for (const int stop : {0, 5, int(full.seen.size()) - 1}) {
        ProgressLog log;
        log.stopAfter = stop;
        int32_t rc = 0;
        readBitmap(file_, 2, w, h, &rc, &log);
        EXPECT_EQ(rc, PVE_CANCELLED) << stop;
    }
    int32_t rc = 0;
    for (const int16_t mode : {-1, 3, 100}) {
        readBitmap(file_, mode, w, h, &rc);
        EXPECT_EQ(rc, PVE_PCD_MODE);
    }
    // Truncations: each resolution needs its whole plane.
    const fs::path cut = dir_ / "cut.pcd";
    const size_t ends[] = {0x2000 + 192 * 192, 0xB800 + 384 * 384, 0x30000 + 768 * 768};
    std::vector<size_t> lengths;
    for (size_t n = 0; n < bytes_.size(); n += n < 0x900 ? 61 : 16411)
        lengths.push_back(n);
    for (const size_t end : ends)
        lengths.insert(lengths.end(), {end - 1, end});
    for (const size_t n : lengths) {
        testsupport::writeFile(cut, {bytes_.begin(), bytes_.begin() + long(n)});
        for (int16_t mode = 0; mode < 3; ++mode) {
            readBitmap(cut, mode, w, h, &rc);
            const int32_t want = n < 0x807 ? PVE_PCD_NOT : n < ends[mode] ? PVE_PCD_SHORT : PVE_OK;
            ASSERT_EQ(rc, want) << n << " mode " << mode;
        }
    }
    // Any YCC byte values decode; corruption outside the signature is harmless.
    std::mt19937 rng(3);
    std::vector<unsigned char> noisy = bytes_;
    for (size_t i = 0x2000; i < noisy.size(); ++i)
        noisy[i] = uint8_t(rng());
    noisy[kRotation] = 0xFF;
    testsupport::writeFile(cut, noisy);
    EXPECT_TRUE(readDib("readpcdfiledib", cut).ok());
    noisy[0x800] = 'X';
    testsupport::writeFile(cut, noisy);
    EXPECT_EQ(readDib("readpcdfiledib", cut).rc, PVE_PCD_NOT);
    EXPECT_NE(errorText(PVE_PCD_SHORT).find("Photo CD"), std::string::npos);
}

} // namespace

// Damaged, truncated and absurd PNG files, and the public PNG corpora:
// every one answers PVE_OK or an error code with a text, nothing leaks.
#include "PngJpegSupport.h"
#include "libs/codec/core/PngDecoder.h"

#include <chrono>
#include <cstring>
#include <png.h>
#include <random>
#include <set>
#include <zlib.h>

using namespace pngjpeg;
namespace fs = std::filesystem;

namespace {

uint32_t crc32(const uint8_t* p, size_t n) {
    uint32_t c = 0xFFFFFFFFu;
    for (size_t i = 0; i < n; ++i) {
        c ^= p[i];
        for (int k = 0; k < 8; ++k)
            c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1u)));
    }
    return ~c;
}

void put32(std::vector<uint8_t>& out, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(uint8_t(v >> shift));
}

void chunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& body) {
    put32(out, uint32_t(body.size()));
    const size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), body.begin(), body.end());
    put32(out, crc32(out.data() + start, out.size() - start));
}

// A PNG with the given header and `idat` as its (not necessarily valid)
// compressed data.
std::vector<uint8_t> craft(uint32_t w, uint32_t h, uint8_t depth, uint8_t type,
                           const std::vector<uint8_t>& idat) {
    std::vector<uint8_t> out = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    std::vector<uint8_t> ihdr;
    put32(ihdr, w);
    put32(ihdr, h);
    ihdr.insert(ihdr.end(), {depth, type, 0, 0, 0});
    chunk(out, "IHDR", ihdr);
    chunk(out, "IDAT", idat);
    chunk(out, "IEND", {});
    return out;
}

int32_t decodeBytes(const std::vector<uint8_t>& bytes) {
    zp::GlobalBlock out;
    const int32_t rc = gifcore::decodePng(bytes.data(), bytes.size(), {},
                                          gifcore::Progress(nullptr, nullptr), out);
    EXPECT_EQ(rc == PVE_OK, bool(out));
    return rc;
}

class PngReadHostile : public LeakChecked {};

TEST_F(PngReadHostile, AbsurdHeadersAreRefusedBeforeAllocating) {
    const std::vector<uint8_t> tiny = {0x78, 0x9C, 0x03, 0x00, 0x00, 0x00, 0x00, 0x01};
    struct Case {
        uint32_t w, h;
        uint8_t depth, type;
        int32_t rc;
    };
    const Case cases[] = {
        {0, 10, 8, 2, PVE_BAD_SIZE},
        {10, 0, 8, 2, PVE_BAD_SIZE},
        {65536, 1, 8, 0, PVE_TOO_LARGE},
        {65535, 16385, 8, 0, PVE_TOO_LARGE}, // a byte a pixel above 1 GiB
        {1, 0x7FFFFFFF, 8, 0, PVE_TOO_LARGE},
        {0x80000000u, 1, 8, 0, PVE_BAD_SIZE},
        {10, 10, 3, 0, PVE_PNG_CORRUPT},  // grey at 3 bits
        {10, 10, 16, 3, PVE_PNG_CORRUPT}, // palette at 16 bits
        {10, 10, 8, 5, PVE_PNG_CORRUPT},  // no such colour type
        // Within the limits but far more pixels than the data can hold.
        {16384, 16384, 16, 6, PVE_TRUNCATED},
        {16384, 16384, 1, 0, PVE_TRUNCATED},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.w << "x" << c.h << " " << int(c.depth) << "/" << int(c.type));
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(decodeBytes(craft(c.w, c.h, c.depth, c.type, tiny)), c.rc);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    }
}

TEST_F(PngReadHostile, DamagedDataAnswersPngCodes) {
    std::vector<uint8_t> good = craft(2, 2, 8, 0, {});
    // A CRC error in the header chunk, a missing signature, garbage data.
    std::vector<uint8_t> badCrc = good;
    badCrc[29] ^= 1;
    std::vector<uint8_t> noSignature = good;
    noSignature[1] = 'Q';
    EXPECT_EQ(decodeBytes(badCrc), PVE_PNG_CORRUPT);
    EXPECT_EQ(decodeBytes(noSignature), PVE_PNG_NOT);
    EXPECT_EQ(decodeBytes(craft(4, 4, 8, 2, std::vector<uint8_t>(20, 0xA5))), PVE_PNG_CORRUPT);
    EXPECT_FALSE(errorText(PVE_PNG_CORRUPT).empty());
    EXPECT_FALSE(errorText(PVE_PNG_NOT).empty());
}

// A zlib header that declares a 256-byte window over data reaching 602
// bytes back: stock libpng fails ("invalid distance too far back"), browsers
// inflate with the full window and so do we.
TEST_F(PngReadHostile, WindowDeclaredTooSmallIsRead) {
    constexpr uint32_t kW = 300, kH = 4; // rows A B A B, grey
    std::mt19937 rng(8);
    std::vector<uint8_t> rows[2] = {std::vector<uint8_t>(kW), std::vector<uint8_t>(kW)};
    for (auto& r : rows)
        for (uint8_t& v : r)
            v = uint8_t(rng());
    std::vector<uint8_t> raw;
    for (uint32_t y = 0; y < kH; ++y) {
        raw.push_back(0); // filter: none
        raw.insert(raw.end(), rows[y % 2].begin(), rows[y % 2].end());
    }
    uLongf packed = compressBound(uLong(raw.size()));
    std::vector<uint8_t> idat(packed);
    ASSERT_EQ(compress2(idat.data(), &packed, raw.data(), uLong(raw.size()), 9), Z_OK);
    idat.resize(packed);
    idat[0] = 0x08; // deflate, CINFO 0: a 256-byte window
    const uint8_t level = idat[1] & 0xC0;
    idat[1] = uint8_t(level | (31 - (0x08 * 256 + level) % 31) % 31);
    const std::vector<uint8_t> file = craft(kW, kH, 8, 0, idat);

    png_image stock{};
    stock.version = PNG_IMAGE_VERSION;
    ASSERT_TRUE(png_image_begin_read_from_memory(&stock, file.data(), file.size()));
    stock.format = PNG_FORMAT_GRAY;
    std::vector<uint8_t> ignored(PNG_IMAGE_SIZE(stock));
    EXPECT_FALSE(png_image_finish_read(&stock, nullptr, ignored.data(), 0, nullptr));
    EXPECT_NE(std::string(stock.message).find("too far back"), std::string::npos) << stock.message;
    png_image_free(&stock);

    zp::GlobalBlock out;
    ASSERT_EQ(
        gifcore::decodePng(file.data(), file.size(), {}, gifcore::Progress(nullptr, nullptr), out),
        PVE_OK);
    zp::GlobalLockGuard lock(out.get());
    ic::DibView dib;
    ASSERT_TRUE(ic::parseDib(lock.data(), out.size(), dib));
    ASSERT_EQ(dib.width, int32_t(kW));
    for (uint32_t y = 0; y < kH; ++y)
        EXPECT_EQ(std::vector<uint8_t>(dib.row(int32_t(y)), dib.row(int32_t(y)) + kW), rows[y % 2])
            << y;
}

TEST_F(PngReadHostile, EveryTruncationAndRandomDamage) {
    if (!haveTool("/usr/bin/convert")) GTEST_SKIP() << "ImageMagick convert is not installed";
    const auto dir = testsupport::tempDir("pnghostile");
    const std::string made = (dir / "small.png").string();
    ASSERT_TRUE(run("/usr/bin/convert -size 9x7 plasma:fractal -interlace PNG PNG24:" + made));
    const auto file = testsupport::readFile(made);
    const std::vector<uint8_t> bytes(file.begin(), file.end());
    ASSERT_EQ(decodeBytes(bytes), PVE_OK);
    // Cut anywhere before the end of the compressed data: refused. (What
    // follows, chunk checksums and the text chunks ImageMagick puts after
    // the data, is not needed for the pixels.)
    size_t dataEnd = 8;
    for (size_t at = 8; at + 12 <= bytes.size();) {
        const size_t length = size_t(bytes[at]) << 24 | size_t(bytes[at + 1]) << 16 |
                              size_t(bytes[at + 2]) << 8 | bytes[at + 3];
        if (std::memcmp(&bytes[at + 4], "IDAT", 4) == 0) dataEnd = at + 8 + length;
        at += 12 + length;
    }
    ASSERT_GT(dataEnd, 40u);
    for (size_t n = 0; n + 4 < dataEnd; ++n) {
        const int32_t rc = decodeBytes({bytes.begin(), bytes.begin() + std::ptrdiff_t(n)});
        ASSERT_NE(rc, PVE_OK) << n;
        ASSERT_FALSE(errorText(rc).empty()) << rc;
    }
    std::mt19937 rng(7);
    std::set<int32_t> seen;
    for (int round = 0; round < 400; ++round) {
        std::vector<uint8_t> damaged = bytes;
        for (int k = 0; k < 1 + round % 4; ++k)
            damaged[8 + rng() % (damaged.size() - 8)] = uint8_t(rng());
        const int32_t rc = decodeBytes(damaged);
        if (rc != PVE_OK) {
            EXPECT_FALSE(errorText(rc).empty()) << rc;
        }
        seen.insert(rc);
    }
    EXPECT_TRUE(seen.count(PVE_PNG_CORRUPT)); // checksums catch most damage
    // The entry point refuses a damaged file the same way.
    testsupport::writeFile(dir / "cut.png", {file.begin(), file.begin() + 40});
    EXPECT_EQ(decode(dibReader("rdpngfiledib"), dir / "cut.png").rc, PVE_TRUNCATED);
}

// PngSuite: the x* files are corrupt and must be refused; every other file
// must decode and match ImageMagick's reading flattened on white (told to
// take the stored values as sRGB: the reader does not apply gAMA chunks).
TEST_F(PngReadHostile, PngSuiteMatchesImageMagick) {
    const fs::path suite = testsupport::corpusDir() / "png-pngsuite" / "png";
    if (!fs::exists(suite)) GTEST_SKIP() << "no corpus at " << suite;
    if (!haveTool("/usr/bin/mogrify")) GTEST_SKIP() << "ImageMagick is not installed";
    const auto dir = testsupport::tempDir("pngsuite");
    ASSERT_TRUE(run("cd " + suite.string() + " && /usr/bin/mogrify -path " + dir.string() +
                    " -set colorspace sRGB -background white -alpha remove -alpha off"
                    " -depth 8 -format ppm [!x]*.png"));
    int compared = 0;
    for (const auto& entry : fs::directory_iterator(suite)) {
        const std::string name = entry.path().filename().string();
        SCOPED_TRACE(name);
        const Decoded d = decode(dibReader("rdpngfiledib"), entry.path());
        if (name[0] == 'x') {
            EXPECT_NE(d.rc, PVE_OK);
            EXPECT_FALSE(errorText(d.rc).empty());
            continue;
        }
        ASSERT_EQ(d.rc, PVE_OK) << errorText(d.rc);
        int w = 0, h = 0;
        const auto theirs = readPpm(dir / (entry.path().stem().string() + ".ppm"), w, h);
        ASSERT_FALSE(theirs.empty());
        ASSERT_EQ(d.width, w);
        ASSERT_EQ(d.height, h);
        int worst = 0;
        for (size_t i = 0; i < theirs.size(); ++i)
            worst = std::max(worst, channelDiff(d.rgb[i], theirs[i]));
        EXPECT_LE(worst, 2);
        ++compared;
    }
    EXPECT_GT(compared, 150);
}

// Malformed files from a robustness suite: no crash, a clean answer.
TEST_F(PngReadHostile, RobustnessSuiteFailsCleanly) {
    const fs::path suite = testsupport::corpusDir() / "robust-imagetestsuite" / "png";
    if (!fs::exists(suite)) GTEST_SKIP() << "no corpus at " << suite;
    int files = 0;
    for (const auto& entry : fs::directory_iterator(suite)) {
        const auto file = testsupport::readFile(entry.path());
        const int32_t rc = decodeBytes({file.begin(), file.end()});
        if (rc != PVE_OK) {
            EXPECT_FALSE(errorText(rc).empty()) << entry.path();
        }
        ++files;
    }
    EXPECT_GT(files, 100);
}

} // namespace

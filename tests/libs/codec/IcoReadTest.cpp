// Icons and cursors: files written by ImageMagick (32-bit, 4-bit and PNG
// entries) and hand-made entries for the AND mask, read through readicofile
// and fileinfo; the choice of the largest, deepest image; damaged files.
#include "../imagecore/DibFixtures.h"
#include "BmpTestSupport.h"
#include "libs/codec/core/BmpDecoder.h"
#include "libs/codec/core/IcoDecoder.h"
#include "platform/Gdi.h"

#include <gtest/gtest.h>
#include <random>

using namespace bmptest;

namespace {

using Bytes = std::vector<uint8_t>;

void put32(Bytes& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b[at + size_t(i)] = uint8_t(v >> (8 * i));
}

// An icon of one 4x2 BMP entry at `bits` (1 or 4) with the given table,
// XOR rows and AND rows (bottom row first, 4 bytes each).
Bytes handMadeIcon(uint16_t bits, const std::vector<uint32_t>& table, const Bytes& xorRows,
                   const Bytes& andRows) {
    Bytes b(6 + 16 + 40);
    b[2] = 1, b[4] = 1;            // icon, one image
    b[6] = 4, b[7] = 2, b[10] = 1; // 4 x 2, one plane
    b[12] = uint8_t(bits);
    put32(b, 18, 6 + 16);
    put32(b, 22, 40);
    put32(b, 26, 4);
    put32(b, 30, 4); // XOR and AND heights together
    b[34] = 1, b[36] = uint8_t(bits);
    put32(b, 54, uint32_t(table.size()));
    for (const uint32_t c : table)
        b.insert(b.end(), {uint8_t(c), uint8_t(c >> 8), uint8_t(c >> 16), 0});
    b.insert(b.end(), xorRows.begin(), xorRows.end());
    b.insert(b.end(), andRows.begin(), andRows.end());
    put32(b, 14, uint32_t(b.size() - 22));
    return b;
}

struct Shown {
    int32_t rc = 0;
    int32_t width = 0, height = 0;
    std::vector<uint32_t> rgb;
};

Shown show(const std::filesystem::path& file, int32_t bits = 0) {
    Shown s;
    const auto read = testsupport::codecProc<PFN_readfile>("readicofile");
    if (!read) return s;
    uintptr_t bitmap = 0, palette = 0;
    s.rc = read(file.c_str(), bits, 0, &bitmap, &palette, nullptr, nullptr, 0);
    if (s.rc != PVE_OK) return s;
    GetDeviceBitmapSize(bitmap, &s.width, &s.height);
    s.rgb = fixtures::bitmapPixels(bitmap);
    DeleteObject(bitmap);
    if (palette) DeleteObject(palette);
    return s;
}

struct Info {
    int32_t rc = 0;
    std::string format, description;
    PVFileInfo values{};
};

Info info(const std::filesystem::path& file) {
    Info i;
    const auto call = testsupport::codecProc<PFN_fileinfo>("fileinfo");
    char format[PV_FORMAT_TEXT_SIZE] = {}, description[PV_DESCRIPTION_TEXT_SIZE] = {};
    i.rc = call(file.c_str(), format, &i.values, description, 0);
    i.format = format, i.description = description;
    return i;
}

TEST(IcoRead, LargestImageOfImageMagickIcons) {
    if (!haveConvert()) GTEST_SKIP() << "ImageMagick's convert is not installed";
    const auto dir = testsupport::tempDir("icoread");
    struct Row {
        const char* name;
        std::vector<int> sides; // one entry per side, in file order
        const char* options;
        int shown;
        const char* storage;
    };
    const Row rows[] = {
        {"bmp32", {16, 48, 32}, "", 48, "BMP"},
        {"png256", {16, 256}, "", 256, "PNG"},
        {"pal4", {24}, "-type Palette", 24, "BMP"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        std::string inputs;
        std::vector<uint32_t> expected;
        for (const int side : r.sides) {
            const auto px = std::string(r.options).empty() ? fixtures::photo(side, side, side)
                                                           : fixtures::fewColors(side, side, 16, 3);
            const auto src = dir / (std::string(r.name) + std::to_string(side) + ".ppm");
            writePpm(src, side, side, px);
            inputs += quoted(src) + " ";
            if (side == r.shown) expected = px;
        }
        const auto file = dir / (std::string(r.name) + ".ico");
        ASSERT_TRUE(run("convert " + inputs + r.options + " " + quoted(file)));
        const fixtures::LiveObjects before;
        const Shown s = show(file);
        ASSERT_EQ(s.rc, PVE_OK);
        EXPECT_EQ(s.width, r.shown);
        EXPECT_EQ(s.rgb, expected);
        EXPECT_EQ(fixtures::LiveObjects(), before);
        const Info i = info(file);
        ASSERT_EQ(i.rc, PVE_OK);
        EXPECT_EQ(i.format, "ICO");
        EXPECT_EQ(i.values.Width, r.shown);
        EXPECT_EQ(i.values.Value1, int16_t(r.sides.size()));
        EXPECT_EQ(i.values.Value2, 0);
        EXPECT_EQ(i.description, r.storage);
    }
}

// Transparent and half-transparent pixels of a 32-bit entry land on white;
// the same file marked as a cursor reads the same.
TEST(IcoRead, AlphaOnWhiteAndCursors) {
    if (!haveConvert()) GTEST_SKIP() << "ImageMagick's convert is not installed";
    const auto dir = testsupport::tempDir("icoalpha");
    const int side = 20;
    const std::vector<uint32_t> px = fixtures::photo(side, side, 12);
    std::string pam = "P7\nWIDTH 20\nHEIGHT 20\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\n";
    std::vector<unsigned char> bytes(pam.begin(), pam.end());
    std::vector<uint32_t> expected;
    for (size_t i = 0; i < px.size(); ++i) {
        const uint32_t a = i % 3 == 0 ? 0 : (i % 3 == 1 ? 255 : 128), c = px[i];
        bytes.insert(bytes.end(), {uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c), uint8_t(a)});
        uint32_t e = 0;
        for (int s = 0; s <= 16; s += 8)
            e |= ((((c >> s) & 0xFF) * a + 255 * (255 - a) + 127) / 255) << s;
        expected.push_back(e);
    }
    testsupport::writeFile(dir / "src.pam", bytes);
    ASSERT_TRUE(run("convert " + quoted(dir / "src.pam") + " " + quoted(dir / "a.ico")));
    Shown s = show(dir / "a.ico");
    ASSERT_EQ(s.rc, PVE_OK);
    EXPECT_LE(maxChannelDiff(s.rgb, expected), 1); // the writer may round alpha its own way

    std::vector<unsigned char> cursor = testsupport::readFile(dir / "a.ico");
    cursor[2] = 2;
    testsupport::writeFile(dir / "a.cur", cursor);
    const Shown c = show(dir / "a.cur");
    ASSERT_EQ(c.rc, PVE_OK);
    EXPECT_EQ(c.rgb, s.rgb);
    EXPECT_EQ(info(dir / "a.cur").values.Value2, 1);
}

// AND-masked pixels become white: mapped to the table's white when there is
// one, else the picture turns true colour.
TEST(IcoRead, AndMaskMakesWhite) {
    const auto dir = testsupport::tempDir("icomask");
    const Bytes andRows = {0x90, 0, 0, 0, 0x00, 0, 0, 0}; // bottom row: pixels 0 and 3
    struct Row {
        const char* name;
        Bytes file;
        std::vector<uint32_t> rgb; // top row first
    };
    const Row rows[] = {
        {"one_bit_with_white",
         handMadeIcon(1, {0x000000, 0xFFFFFF}, {0x00, 0, 0, 0, 0xA0, 0, 0, 0}, andRows),
         {0xFFFFFF, 0, 0xFFFFFF, 0, 0xFFFFFF, 0, 0, 0xFFFFFF}},
        {"four_bits_without_white",
         handMadeIcon(4, {0x102030, 0x405060, 0x708090}, {0x01, 0x20, 0, 0, 0x12, 0x21, 0, 0},
                      andRows),
         {0x405060, 0x708090, 0x708090, 0x405060, 0xFFFFFF, 0x405060, 0x708090, 0xFFFFFF}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        testsupport::writeFile(dir / "m.ico", r.file);
        const Shown s = show(dir / "m.ico");
        ASSERT_EQ(s.rc, PVE_OK);
        EXPECT_EQ(s.rgb, r.rgb);
    }
}

// Damaged directories and entries: the right code, every cut answered.
TEST(IcoRead, DamagedFiles) {
    const Bytes good = handMadeIcon(1, {0, 0xFFFFFF}, Bytes(8, 0x50), Bytes(8, 0));
    auto decode = [](const Bytes& b) {
        zp::GlobalBlock out;
        return gifcore::decodeIcoFile(b.data(), b.size(), gifcore::kBmpMaxPixels,
                                      gifcore::Progress(nullptr, nullptr), out);
    };
    ASSERT_EQ(decode(good), PVE_OK);
    Bytes b = good;
    b[4] = 200; // more entries than the file holds
    EXPECT_EQ(decode(b), PVE_ICO_DIRECTORY);
    b = good;
    b[2] = 3;
    EXPECT_EQ(decode(b), PVE_ICO_DIRECTORY);
    b = good;
    put32(b, 18, 0x7FFFFFF0); // entry outside the file
    EXPECT_EQ(decode(b), PVE_ICO_ENTRY);
    b = good;
    put32(b, 26, 0x10000); // XOR picture wider than any
    EXPECT_EQ(decode(b), PVE_TOO_LARGE);
    for (size_t n = 0; n < good.size(); ++n) {
        const int32_t rc = decode(Bytes(good.begin(), good.begin() + long(n)));
        // Only the mask and the last row's padding may be missing.
        EXPECT_TRUE(rc < 0 || n + 11 >= good.size()) << n << " " << rc;
    }
    std::mt19937 rng(5);
    for (int i = 0; i < 500; ++i) {
        b = good;
        b[rng() % b.size()] = uint8_t(rng());
        const int32_t rc = decode(b);
        EXPECT_TRUE(rc == PVE_OK || rc < 0);
    }
}

// A directory size smaller than the entry's own header (0 from some
// writers): the header's extent stands in, as long as the file holds the
// XOR rows; the AND mask may be missing as with any entry.
TEST(IcoRead, DirectorySizeBelowTheEntryHeader) {
    const Bytes good = handMadeIcon(1, {0, 0xFFFFFF}, {0x50, 0, 0, 0, 0xA0, 0, 0, 0}, Bytes(8, 0));
    auto decode = [](const Bytes& b, std::vector<uint32_t>& rgb) {
        zp::GlobalBlock out;
        const int32_t rc = gifcore::decodeIcoFile(b.data(), b.size(), gifcore::kBmpMaxPixels,
                                                  gifcore::Progress(nullptr, nullptr), out);
        rgb = fixtures::DibBlock(out.release()).rgb();
        return rc;
    };
    std::vector<uint32_t> expected;
    ASSERT_EQ(decode(good, expected), PVE_OK);
    const struct {
        const char* what;
        uint32_t directorySize;
        size_t cut; // bytes taken off the end of the file
        int32_t rc;
    } cases[] = {
        {"size 0", 0, 0, PVE_OK},
        {"a byte short of the header", 39, 0, PVE_OK},
        {"the AND mask missing", 0, 8, PVE_OK},
        {"a byte of the XOR rows missing", 0, 9, PVE_ICO_ENTRY},
        {"half the XOR rows missing", 12, 12, PVE_ICO_ENTRY},
        {"not even the header", 0, 50, PVE_ICO_ENTRY},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Bytes b(good.begin(), good.end() - long(c.cut));
        put32(b, 14, c.directorySize);
        std::vector<uint32_t> rgb;
        ASSERT_EQ(decode(b, rgb), c.rc);
        if (c.rc == PVE_OK) {
            EXPECT_EQ(rgb, expected);
        }
    }
}

TEST(IcoRead, PillowSamplesNeverFault) {
    const auto dir = testsupport::corpusDir() / "misc-pillow/Tests/images";
    if (!std::filesystem::exists(dir)) GTEST_SKIP() << "corpus not present";
    int read = 0;
    for (const auto& e : std::filesystem::directory_iterator(dir)) {
        const std::string ext = e.path().extension().string();
        if (ext != ".ico" && ext != ".cur") continue;
        SCOPED_TRACE(e.path().filename().string());
        const Shown s = show(e.path());
        EXPECT_TRUE(s.rc == PVE_OK || s.rc < 0);
        if (s.rc == PVE_OK) ++read;
    }
    EXPECT_GE(read, 8);
}

} // namespace

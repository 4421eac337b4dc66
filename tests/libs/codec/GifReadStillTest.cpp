// rdgiffiledib, readgiffile and fileinfo through the loaded module.
#include "CodecModule.h"
#include "GifReadFixtures.h"
#include "TestSupport.h"
#include "libs/codec/CodecErrors.h"
#include "libs/codec/PvCodec.h"
#include "libs/imagecore/Dib.h"
#include "platform/Gdi.h"
#include "platform/GlobalBlock.h"

#include <gtest/gtest.h>

using namespace gifread;

namespace {

// Screen 10x8, background index 2; the first image 4x3 at (3, 2) with
// transparent index 1; a second image so the file holds two.
GifSpec twoImages() {
    GifSpec s{10, 8, palette(4, 2), 2, 0, -1, {}};
    FrameSpec f;
    f.left = 3;
    f.top = 2;
    f.width = 4;
    f.height = 3;
    f.control = true;
    f.transparent = true;
    f.transparentIndex = 1;
    f.pixels = {0, 1, 3, 2, 1, 1, 0, 3, 3, 2, 1, 0};
    s.frames = {f, f};
    return s;
}

// Expected colour (0x00RRGGBB) of screen pixel (x, y).
uint32_t expectedRgb(const GifSpec& s, int x, int y) {
    const FrameSpec& f = s.frames[0];
    int index = s.background;
    if (x >= f.left && x < f.left + f.width && y >= f.top && y < f.top + f.height) {
        const int i = f.pixels[size_t((y - f.top) * f.width + x - f.left)];
        if (i != f.transparentIndex) index = i;
    }
    const uint8_t* c = &s.globalPalette[size_t(index) * 3];
    return uint32_t(c[0]) << 16 | uint32_t(c[1]) << 8 | c[2];
}

struct Progress {
    std::vector<int16_t> seen;
    int16_t answer = 1;
};

int16_t onProgress(int16_t percent, void* user) {
    auto* p = static_cast<Progress*>(user);
    p->seen.push_back(percent);
    return p->answer;
}

class GifReadStill : public testing::Test {
  protected:
    void SetUp() override {
        path_ = (testsupport::tempDir("gifstill") / "still.gif").string();
        testsupport::writeFile(path_, encode(spec_));
        blocks_ = GlobalBlockCount();
        objects_ = GdiObjectCount();
    }
    void TearDown() override {
        EXPECT_EQ(GlobalBlockCount(), blocks_);
        EXPECT_EQ(GdiObjectCount(), objects_);
    }
    GifSpec spec_ = twoImages();
    std::string path_;
    uint64_t blocks_ = 0, objects_ = 0;
};

TEST_F(GifReadStill, DibOnTheLogicalScreenAtEveryDepth) {
    const auto read = testsupport::codecProc<PFN_rdgiffiledib>("rdgiffiledib");
    ASSERT_NE(read, nullptr);
    for (const int bits : {0, 4, 8, 24}) {
        SCOPED_TRACE(bits);
        Progress progress;
        uintptr_t dib = 0, pal = 0;
        ASSERT_EQ(read(path_.c_str(), bits, 0, &dib, &pal, &progress, onProgress, 0), PVE_OK);
        zp::GlobalBlock owner(dib);
        zp::GlobalLockGuard lock(dib);
        ic::DibView v;
        ASSERT_TRUE(ic::parseDib(lock.data(), owner.size(), v));
        EXPECT_EQ(v.width, 10);
        EXPECT_EQ(v.height, 8);
        EXPECT_EQ(v.bpp, bits == 0 ? 4 : bits);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 10; ++x)
                ASSERT_EQ(v.rgb(x, y), expectedRgb(spec_, x, y)) << x << "," << y;
        if (bits == 24) {
            EXPECT_EQ(pal, 0u);
        } else {
            ASSERT_NE(pal, 0u);
            EXPECT_EQ(GetPaletteEntries(pal, 0, 0, nullptr), v.colorCount);
            PALETTEENTRY e{};
            GetPaletteEntries(pal, 0, 1, &e);
            EXPECT_EQ(RGB(e.peRed, e.peGreen, e.peBlue),
                      RGB(v.colors[0].rgbRed, v.colors[0].rgbGreen, v.colors[0].rgbBlue));
            DeleteObject(pal);
        }
        ASSERT_FALSE(progress.seen.empty());
        EXPECT_EQ(progress.seen.front(), 0);
        EXPECT_EQ(progress.seen.back(), 100);
    }
}

TEST_F(GifReadStill, DeviceBitmapAndImageCount) {
    const auto read = testsupport::codecProc<PFN_readgiffile>("readgiffile");
    ASSERT_NE(read, nullptr);
    uintptr_t bitmap = 0, pal = 0;
    int16_t count = 0;
    ASSERT_EQ(read(path_.c_str(), 0, 0, &bitmap, &pal, nullptr, nullptr, 0, &count), PVE_OK);
    EXPECT_EQ(count, 2);
    int32_t w = 0, h = 0;
    ASSERT_EQ(GetDeviceBitmapSize(bitmap, &w, &h), 1);
    ASSERT_EQ(w, 10);
    ASSERT_EQ(h, 8);
    const uint32_t* bits = DeviceBitmapBits(bitmap);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 10; ++x)
            ASSERT_EQ(bits[y * 10 + x] & 0xFFFFFF, expectedRgb(spec_, x, y)) << x << "," << y;
    EXPECT_NE(pal, 0u);
    DeleteObject(bitmap);
    if (pal) DeleteObject(pal);
}

TEST_F(GifReadStill, RefusalsLeaveNothingBehind) {
    const auto read = testsupport::codecProc<PFN_rdgiffiledib>("rdgiffiledib");
    ASSERT_NE(read, nullptr);
    uintptr_t dib = 0, pal = 0;
    Progress stop;
    stop.answer = 0;
    EXPECT_EQ(read(path_.c_str(), 0, 0, &dib, &pal, &stop, onProgress, 0), PVE_CANCELLED);
    EXPECT_EQ(read(path_.c_str(), 3, 0, &dib, &pal, nullptr, nullptr, 0), PVE_BAD_DEPTH);
    EXPECT_EQ(read((path_ + ".missing").c_str(), 0, 0, &dib, &pal, nullptr, nullptr, 0), PVE_OPEN);
    EXPECT_EQ(dib, 0u);
    EXPECT_EQ(pal, 0u);
}

struct InfoCase {
    const char* name;
    GifSpec spec;
    const char* fileName;
    PVFileInfo expected;
};

void PrintTo(const InfoCase& c, std::ostream* os) {
    *os << c.name;
}

GifSpec infoSpec(int globalColours, int localColours, bool interlaced, int images, int w, int h) {
    GifSpec s{w,  h, globalColours ? palette(globalColours, 1) : std::vector<uint8_t>{}, 0, 0,
              -1, {}};
    for (int i = 0; i < images; ++i) {
        FrameSpec f;
        f.width = 6;
        f.height = 5;
        f.interlaced = interlaced && i == 0;
        if (localColours) f.localPalette = palette(localColours, 2);
        f.pixels = pixels(6, 5, localColours ? localColours : globalColours, i);
        s.frames.push_back(f);
    }
    return s;
}

const InfoCase kInfoCases[] = {
    {"global16", infoSpec(16, 0, false, 1, 12, 9), "a.gif", {12, 9, 4, 1, 0}},
    {"global256_three", infoSpec(256, 0, false, 3, 30, 20), "b.GIF", {30, 20, 8, 3, 0}},
    {"local8_interlaced", infoSpec(0, 8, true, 2, 6, 5), "c.gif", {6, 5, 3, 2, 1}},
    {"screen_zero", infoSpec(2, 0, false, 1, 0, 0), "d.gif", {6, 5, 1, 1, 0}},
    {"signature_beats_extension", infoSpec(4, 0, false, 1, 7, 7), "e.dat", {7, 7, 2, 1, 0}},
};

class GifReadFileInfo : public testing::TestWithParam<InfoCase> {};

TEST_P(GifReadFileInfo, ReportsTheFile) {
    const auto info = testsupport::codecProc<PFN_fileinfo>("fileinfo");
    ASSERT_NE(info, nullptr);
    const auto path = testsupport::tempDir("gifinfo") / GetParam().fileName;
    testsupport::writeFile(path, encode(GetParam().spec));
    char format[PV_FORMAT_TEXT_SIZE] = "x", description[PV_DESCRIPTION_TEXT_SIZE] = "x";
    PVFileInfo got{};
    ASSERT_EQ(info(path.c_str(), format, &got, description, 0), PVE_OK);
    EXPECT_STREQ(format, "GIF");
    EXPECT_STREQ(description, "LZW");
    const PVFileInfo& want = GetParam().expected;
    EXPECT_EQ(+got.Width, want.Width);
    EXPECT_EQ(+got.Height, want.Height);
    EXPECT_EQ(+got.BitsPerPixel, want.BitsPerPixel);
    EXPECT_EQ(+got.Value1, want.Value1);
    EXPECT_EQ(+got.Value2, want.Value2);
}

INSTANTIATE_TEST_SUITE_P(Files, GifReadFileInfo, testing::ValuesIn(kInfoCases),
                         [](const auto& i) { return std::string(i.param.name); });

TEST(GifReadFileInfoErrors, UnknownAndDamagedFiles) {
    const auto info = testsupport::codecProc<PFN_fileinfo>("fileinfo");
    ASSERT_NE(info, nullptr);
    const auto dir = testsupport::tempDir("gifinfo");
    testsupport::writeFile(dir / "note.txt", {'h', 'e', 'l', 'l', 'o'});
    testsupport::writeFile(dir / "fake.gif", {'h', 'e', 'l', 'l', 'o'});
    char format[PV_FORMAT_TEXT_SIZE], description[PV_DESCRIPTION_TEXT_SIZE];
    PVFileInfo got{};
    EXPECT_EQ(info((dir / "note.txt").c_str(), format, &got, description, 0), PVE_UNKNOWN_FORMAT);
    EXPECT_EQ(info((dir / "fake.gif").c_str(), format, &got, description, 0), PVE_NOT_GIF);
    EXPECT_EQ(info((dir / "none.gif").c_str(), format, &got, description, 0), PVE_OPEN);
    EXPECT_STREQ(format, "");
}

} // namespace

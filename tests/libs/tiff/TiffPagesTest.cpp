// Pages, depths asked, device bitmaps, progress and cancel, through the
// module and through the program's binding.
#include "TiffTestSupport.h"
#include "bindings/CodecBinding.h"
#include "platform/Gdi.h"
#include "platform/TBitmap.h"

namespace {

using namespace tifftest;
namespace fs = std::filesystem;

constexpr int kW = 120, kH = 90;

// Three pages of different sizes and contents, several strips each.
struct ThreePages {
    fs::path file;
    std::vector<uint32_t> page[3];
    int width[3] = {kW, 64, 33};
    int height[3] = {kH, 40, 17};
};

const ThreePages& threePages() {
    static ThreePages t = [] {
        ThreePages p;
        const fs::path dir = testsupport::tempDir("tiffpages");
        std::string inputs;
        for (int i = 0; i < 3; ++i) {
            p.page[i] = fixtures::photo(p.width[i], p.height[i], uint32_t(11 + i));
            const fs::path in = dir / ("p" + std::to_string(i) + ".ppm");
            writePnm(in, p.width[i], p.height[i], p.page[i], false);
            inputs += in.string() + " ";
        }
        p.file = dir / "pages.tif";
        if (!convert(inputs +
                     "-type TrueColor -depth 8 -compress LZW -define "
                     "tiff:rows-per-strip=8 " +
                     p.file.string()))
            p.file.clear();
        return p;
    }();
    return t;
}

#define NEED_PAGES()                                                                               \
    if (!haveConvert()) GTEST_SKIP() << "/usr/bin/convert is not installed";                       \
    const ThreePages& pages = threePages();                                                        \
    ASSERT_FALSE(pages.file.empty())

TEST(TiffPages, EachPageAndItsInfo) {
    NEED_PAGES();
    for (int16_t i = 0; i < 3; ++i) {
        DLL96V1::TiffInformation info;
        ASSERT_TRUE(DLL96V1::getinfo(pages.file.string(), i, info)) << DLL96V1::CodecLastErrorText;
        EXPECT_EQ(info.width, pages.width[i]);
        EXPECT_EQ(info.height, pages.height[i]);
        EXPECT_EQ(info.bits, 24);
        EXPECT_EQ(info.pageCount, 3);
        EXPECT_EQ(info.compression, 5);
        fixtures::DibBlock dib(readDib(pages.file, i, 0, 0));
        ASSERT_TRUE(dib.valid());
        EXPECT_EQ(dib.rgb(), pages.page[i]) << "page " << i;
    }
}

TEST(TiffPages, PageOutOfRangeIsAClearError) {
    NEED_PAGES();
    for (int16_t page : {int16_t(3), int16_t(-1), int16_t(32767)}) {
        HGLOBAL dib = 0;
        EXPECT_FALSE(
            DLL96V1::readtiffiledib(pages.file.string(), page, 0, false, dib, nullptr, nullptr));
        EXPECT_EQ(dib, 0u);
        EXPECT_NE(DLL96V1::CodecLastErrorText.find("no page"), std::string::npos)
            << DLL96V1::CodecLastErrorText;
        DLL96V1::TiffInformation info;
        EXPECT_FALSE(DLL96V1::getinfo(pages.file.string(), page, info));
    }
}

TEST(TiffPages, DeviceBitmapThroughTheBinding) {
    NEED_PAGES();
    zp::TBitmap bitmap;
    ASSERT_TRUE(DLL96V1::readtiffile(pages.file.string(), 1, 0, false, bitmap, nullptr, nullptr))
        << DLL96V1::CodecLastErrorText;
    ASSERT_EQ(bitmap.width(), pages.width[1]);
    ASSERT_EQ(bitmap.height(), pages.height[1]);
    EXPECT_EQ(fixtures::bitmapPixels(bitmap.handle()), pages.page[1]);
    EXPECT_EQ(bitmap.palette(), 0u); // true colour: no palette
}

TEST(TiffPages, DepthsAskedFor) {
    NEED_PAGES();
    for (int32_t bits : {1, 4, 8, 24})
        for (int32_t dither : {0, 1}) {
            fixtures::DibBlock dib(readDib(pages.file, 0, bits, dither));
            ASSERT_TRUE(dib.valid()) << bits;
            EXPECT_EQ(dib.view().bpp, bits);
            if (bits == 8) {
                EXPECT_GT(fixtures::psnr(dib.rgb(), pages.page[0]), 25);
            }
        }
    int32_t rc = 0;
    EXPECT_EQ(readDib(pages.file, 0, 16, 0, &rc), 0u);
    EXPECT_EQ(rc, -14);
}

struct Counter {
    int calls = 0;
    int stopAt = -1; // answer 0 on this call
    int last = -1;
    bool increasing = true;
};

int16_t count(int16_t percent, void* user) {
    auto* c = static_cast<Counter*>(user);
    if (percent < c->last) c->increasing = false;
    c->last = percent;
    return c->calls++ == c->stopAt ? 0 : 1;
}

TEST(TiffPages, ProgressAndCancelLeakNothing) {
    NEED_PAGES();
    Counter all;
    fixtures::DibBlock dib(readDib(pages.file, 0, 0, 0, nullptr, count, &all));
    ASSERT_TRUE(dib.valid());
    EXPECT_GE(all.calls, 4); // 0, per strip, 100
    EXPECT_TRUE(all.increasing);
    EXPECT_EQ(all.last, 100);

    static auto bitmapRead = proc<PFN_readtiffile>("readtiffile");
    const uint64_t blocks = GlobalBlockCount(), objects = GdiObjectCount();
    for (int stop = 0; stop < all.calls; ++stop) {
        Counter c;
        c.stopAt = stop;
        int32_t rc = 0;
        EXPECT_EQ(readDib(pages.file, 0, 8, 1, &rc, count, &c), 0u);
        EXPECT_EQ(rc, -10) << "stop at call " << stop;
        Counter b;
        b.stopAt = stop;
        uintptr_t bitmap = 0, palette = 0;
        EXPECT_EQ(bitmapRead(pages.file.c_str(), 0, 4, 0, &bitmap, &palette, &b, count, 0), -10);
        EXPECT_EQ(bitmap, 0u);
    }
    EXPECT_EQ(GlobalBlockCount(), blocks);
    EXPECT_EQ(GdiObjectCount(), objects);
}

TEST(TiffPages, MissingAndShortFilesThroughTheBinding) {
    HGLOBAL dib = 0;
    EXPECT_FALSE(DLL96V1::readtiffiledib("/nonexistent/x.tif", 0, 0, false, dib, nullptr, nullptr));
    EXPECT_EQ(DLL96V1::CodecLastErrorText, "The TIFF file cannot be opened.");
    const fs::path dir = testsupport::tempDir("tiffshort");
    testsupport::writeFile(dir / "s.tif", {'I', 'I', 42, 0});
    EXPECT_FALSE(
        DLL96V1::readtiffiledib((dir / "s.tif").string(), 0, 0, false, dib, nullptr, nullptr));
    EXPECT_EQ(DLL96V1::CodecLastErrorText, "The file is too short to hold an image.");
}

} // namespace

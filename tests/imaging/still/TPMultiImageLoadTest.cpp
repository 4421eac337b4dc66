// Loading pictures into the still-image component from real files through
// the real codec, TIFF and DXF modules.
#include "TestSupport.h"
#include "WidgetSupport.h"
#include "WmfWriter.h"
#include "imaging/still/TPMultiImage.h"

#include "platform/Message.h"

#include <QImage>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

// 40 x 30, four quadrants of different colours.
QImage Quadrants(int w = 40, int h = 30) {
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y,
                           x < w / 2 ? (y < h / 2 ? 0xFF0000 : 0x00FF00)
                                     : (y < h / 2 ? 0x0000FF : 0xFFFF00));
    return image;
}

std::string Save(const fs::path& dir, const std::string& name, const char* format,
                 const QImage& image = Quadrants()) {
    const fs::path path = dir / name;
    EXPECT_TRUE(image.save(QString::fromStdString(path.string()), format)) << name;
    return path.string();
}

// ImageMagick writes the formats Qt cannot; `from` is a PNG it converts.
std::string Convert(const std::string& args, const fs::path& out) {
    const std::string command = "convert " + args + " '" + out.string() + "' 2>/dev/null";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    return out.string();
}

int messages = 0;
void CountMessage(const char*, void*) {
    ++messages;
}

struct Counted {
    int errors = 0;
    int finished = 0;
};

void Watch(TPMultiImage& image, Counted& counted) {
    image.OnPvlibError = [&counted](TPMultiImage*, int16_t, const std::string&, const char*) {
        ++counted.errors;
    };
    image.OnFinishedLoadSave = [&counted](TPMultiImage*) { ++counted.finished; };
}

} // namespace

TEST(TPMultiImageLoad, EveryExtensionReachesItsReader) {
    testsupport::widgetApp();
    const fs::path dir = testsupport::tempDir("mi-load");
    const std::string png = Save(dir, "src.png", "PNG");
    wmftest::WmfWriter wmf;
    wmf.placeable(0, 0, 1440, 960, 1440).windowOrg(0, 0).windowExt(1440, 960);
    testsupport::writeFile(dir / "a.wmf", wmf.bytes());
    std::ofstream(dir / "a.dxf")
        << "0\nSECTION\n2\nENTITIES\n0\nLINE\n10\n0\n20\n0\n11\n100\n21\n50\n"
           "0\nENDSEC\n0\nEOF\n";
    struct Row {
        std::string file, format;
        int width, height;
        bool exactPixels; // lossless and not rescaled
    };
    const Row rows[] = {
        {Save(dir, "a.bmp", "BMP"), "BMP", 40, 30, true},
        {Save(dir, "a.PNG", "PNG"), "PNG", 40, 30, true},
        {Save(dir, "a.jpg", "JPEG"), "JPEG", 40, 30, false},
        {Save(dir, "b.jpeg", "JPEG"), "JPEG", 40, 30, false},
        {Convert(png, dir / "a.gif"), "GIF", 40, 30, true},
        {Convert(png, dir / "a.tiff"), "TIF", 40, 30, true},
        {Convert(png, dir / "a.pcx"), "PCX", 40, 30, true},
        {Convert(png, dir / "a.tga"), "TGA", 40, 30, false},
        {Convert("-size 32x32 xc:red", dir / "a.ico"), "ICO", 32, 32, false},
        {(dir / "a.wmf").string(), "WMF", 96, 64, false},
        {(dir / "a.dxf").string(), "DXF", 1024, 0, false},
        // Thumbnails: BMP and JPEG readers, no completion steps.
        {Save(dir, "t.thb", "BMP"), "BMP", 40, 30, true},
        {Save(dir, "t.THJ", "JPEG"), "JPEG", 40, 30, false},
        // No reader by extension: the codec's file information names it.
        {Save(dir, "picture.dat", "PNG"), "PNG", 40, 30, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.file);
        TPMultiImage image;
        Counted counted;
        Watch(image, counted);
        image.SetImageName(row.file);
        EXPECT_EQ(image.ImageName(), row.file);
        EXPECT_EQ(counted.errors, 0);
        EXPECT_EQ(image.ImageFormat, row.format);
        EXPECT_EQ(image.Picture().Width(), row.width);
        if (row.height) {
            EXPECT_EQ(image.Picture().Height(), row.height);
        }
        EXPECT_EQ(image.ImageWidth, row.width);
        const bool bitmap = row.format != "WMF";
        EXPECT_EQ(image.Picture().HasBitmapHandle(), bitmap);
        // Readers of the format table finish with the completion steps.
        const std::string ext = fs::path(row.file).extension().string();
        const bool table =
            row.format != "WMF" && row.format != "ICO" && ext != ".thb" && ext != ".THJ";
        EXPECT_EQ(counted.finished, table ? 1 : 0);
        if (row.exactPixels) {
            const QImage got = image.Picture().Image();
            EXPECT_EQ(got.pixel(5, 5) & 0xFFFFFF, 0xFF0000u);
            EXPECT_EQ(got.pixel(35, 25) & 0xFFFFFF, 0xFFFF00u);
        }
    }
}

// EPS through its preview, Photo CD at the resolution PCDMode asks for.
TEST(TPMultiImageLoad, EpsPreviewAndPhotoCdReachTheirReaders) {
    testsupport::widgetApp();
    const fs::path dir = testsupport::tempDir("mi-eps");
    const std::string png = Save(dir, "src.png", "PNG");
    const std::string eps = (dir / "a.eps").string();
    ASSERT_EQ(std::system(("convert '" + png + "' 'EPT2:" + eps + "' 2>/dev/null").c_str()), 0);
    TPMultiImage image;
    Counted counted;
    Watch(image, counted);
    image.SetImageName(eps);
    EXPECT_EQ(counted.errors, 0);
    EXPECT_EQ(counted.finished, 1);
    ASSERT_EQ(image.Picture().Width(), 40);
    EXPECT_EQ(image.Picture().Image().pixel(5, 5) & 0xFFFFFF, 0xFF0000u);

    const fs::path pcd = testsupport::corpusDir() / "misc-pillow/Tests/images/hopper.pcd";
    if (!fs::exists(pcd)) GTEST_SKIP() << "no Photo CD sample in the corpus";
    const struct {
        TPCDMode mode;
        int width, height;
    } modes[] = {{pcd_BASE16, 192, 128}, {pcd_BASE4, 384, 256}, {pcd_BASE, 768, 512}};
    for (const auto& m : modes) {
        image.PCDMode = m.mode;
        image.SetImageName(pcd.string());
        EXPECT_EQ(image.Picture().Width(), m.width);
        EXPECT_EQ(image.Picture().Height(), m.height);
    }
    EXPECT_EQ(counted.errors, 0);
    EXPECT_EQ(image.ImageFormat, "PCD");
}

TEST(TPMultiImageLoad, TiffPagesAreClampedToTheLastPage) {
    testsupport::widgetApp();
    const fs::path dir = testsupport::tempDir("mi-tiff");
    const std::string file =
        Convert("-size 10x10 xc:red -size 20x12 xc:lime -size 30x14 xc:blue", dir / "pages.TIF");
    const struct {
        int16_t asked, used;
        int width;
    } rows[] = {{0, 0, 10}, {1, 1, 20}, {2, 2, 30}, {9, 2, 30}};
    for (const auto& row : rows) {
        TPMultiImage image;
        Counted counted;
        Watch(image, counted);
        image.TiffPage = row.asked;
        image.SetImageName(file);
        EXPECT_EQ(counted.errors, 0) << row.asked;
        EXPECT_EQ(image.TiffPage, row.used);
        EXPECT_EQ(image.Picture().Width(), row.width);
        EXPECT_EQ(image.ImagePageCount, 3);
        EXPECT_EQ(image.ImageFormat, "TIF");
    }
}

TEST(TPMultiImageLoad, ResourceImagesByNameAndNumber) {
    testsupport::widgetApp();
    TPMultiImage image;
    Counted counted;
    Watch(image, counted);
    image.SetImageName("/nowhere/splash.res");
    EXPECT_EQ(image.Picture().Width(), 400);
    EXPECT_EQ(image.Picture().Height(), 260);
    EXPECT_NE(image.Picture().Bitmap().palette(), 0u);
    EXPECT_EQ(image.ImageFormat, "RES");
    EXPECT_EQ(image.ImageCompression, "BMP");
    EXPECT_GT(image.ImageFileSize, 400 * 260);
    image.SetImageName("PVTB_FIRST.RES");
    EXPECT_EQ(image.Picture().Width(), 16);

    // A resource file of our own, its bitmap under a number.
    const fs::path dir = testsupport::tempDir("mi-rcc");
    QImage indexed(12, 7, QImage::Format_Indexed8);
    indexed.setColorTable({qRgb(10, 20, 30), qRgb(200, 100, 50)});
    indexed.fill(1);
    Save(dir, "101.bmp", "BMP", indexed);
    std::ofstream(dir / "m.qrc") << "<RCC><qresource prefix=\"/bitmaps\"><file>101.bmp</file>"
                                    "</qresource></RCC>\n";
    const std::string rcc = "/usr/lib/qt6/libexec/rcc --binary -o '" + (dir / "m.rcc").string() +
                            "' '" + (dir / "m.qrc").string() + "'";
    ASSERT_EQ(std::system(rcc.c_str()), 0);
    image.ResourceModule = (dir / "m.rcc").string();
    image.SetImageName("c:\\res\\0101.RES");
    EXPECT_EQ(image.Picture().Width(), 12);
    EXPECT_EQ(image.Picture().Image().pixel(3, 3) & 0xFFFFFF, 0xC86432u);
    PALETTEENTRY first{};
    ASSERT_EQ(GetPaletteEntries(image.Picture().Bitmap().palette(), 0, 1, &first), 1u);
    EXPECT_EQ(first.peRed, 10);
    EXPECT_EQ(first.peBlue, 30);

    // The same bundle with its tree offset pointing past the end must not
    // reach Qt's unchecked reader: no picture, no crash.
    std::vector<unsigned char> damaged = testsupport::readFile(dir / "m.rcc");
    ASSERT_GT(damaged.size(), 24u);
    damaged[8] = 0x7F;
    testsupport::writeFile(dir / "damaged.rcc", damaged);
    image.ResourceModule = (dir / "damaged.rcc").string();
    image.SetImageName("101.RES");
    EXPECT_FALSE(image.Picture().HasBitmapHandle());
    image.ResourceModule.clear();

    messages = 0;
    SetMessageHandler(CountMessage, nullptr);
    image.SetImageName("NOSUCHTHING.RES");
    image.OnPvlibError = nullptr;
    image.SetImageName("ALSOMISSING.RES");
    SetMessageHandler(nullptr, nullptr);
    EXPECT_FALSE(image.Picture().HasBitmapHandle());
    EXPECT_EQ(counted.errors, 0);
    EXPECT_EQ(messages, 0);
}

TEST(TPMultiImageLoad, FailedReadsLeaveNothingStaleAndReportOnce) {
    testsupport::widgetApp();
    const fs::path dir = testsupport::tempDir("mi-fail");
    const std::string good = Save(dir, "good.png", "PNG");
    std::vector<unsigned char> garbage(300, 0x5A);
    const char sig[] = "\x89PNG\r\n\x1a\n";
    std::copy(sig, sig + 8, garbage.begin());
    testsupport::writeFile(dir / "bad.png", garbage);
    testsupport::writeFile(dir / "bad.dat", garbage);
    const struct {
        std::string file;
        bool handler;
        DllSP96::TFXMethod fx;
        int reports;
    } rows[] = {
        {(dir / "bad.png").string(), true, DllSP96::FXNone, 1},
        {(dir / "bad.png").string(), false, DllSP96::FXNone, 1},
        {(dir / "bad.png").string(), true, DllSP96::FXHorizontal, 1},
        {(dir / "bad.dat").string(), true, DllSP96::FXNone, 1},
        {(dir / "missing.png").string(), true, DllSP96::FXNone, 0},
        {(dir / "missing.png").string(), false, DllSP96::FXNone, 0},
        {"", true, DllSP96::FXNone, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.file + (row.handler ? " handler" : " box"));
        TPMultiImage image;
        image.SetImageName(good);
        ASSERT_TRUE(image.Picture().HasBitmapHandle());
        Counted counted;
        if (row.handler) Watch(image, counted);
        image.FXMethod = row.fx;
        messages = 0;
        SetMessageHandler(CountMessage, nullptr);
        image.SetImageName(row.file);
        SetMessageHandler(nullptr, nullptr);
        EXPECT_FALSE(image.Picture().HasBitmapHandle());
        EXPECT_EQ(image.Picture().Width(), 0);
        EXPECT_EQ(row.handler ? counted.errors : messages, row.reports);
        if (row.handler) {
            EXPECT_EQ(messages, 0);
        }
    }
}

TEST(TPMultiImageLoad, ImageInformationByExtension) {
    testsupport::widgetApp();
    const fs::path dir = testsupport::tempDir("mi-info");
    const std::string png = Save(dir, "x.png", "PNG", Quadrants(64, 48));
    const std::string tif = Convert("'" + png + "' -compress LZW", dir / "x.tiff");
    const std::string jpeg = Save(dir, "x.JPEG", "JPEG", Quadrants(64, 48));
    TPMultiImage image;
    EXPECT_TRUE(image.ReadImageInfo(tif));
    EXPECT_EQ(image.ImageFormat, "TIF");
    EXPECT_EQ(image.ImageWidth, 64);
    EXPECT_EQ(image.ImagePageCount, 1);
    EXPECT_EQ(image.ImageCompression, "LZW");
    EXPECT_EQ(image.ImageFileSize, int32_t(fs::file_size(tif)));
    EXPECT_TRUE(image.ReadImageInfo(jpeg));
    EXPECT_EQ(image.ImageFormat, "JPEG");
    EXPECT_EQ(image.ImageHeight, 48);
    EXPECT_EQ(image.ImagePageCount, 0);
    EXPECT_FALSE(image.ReadImageInfo((dir / "none.wmf").string()));
    EXPECT_EQ(image.ImageFormat, "ERR");
    EXPECT_EQ(image.ImageWidth, -1);
    EXPECT_EQ(image.ImageFileSize, -1);
    std::ofstream(dir / "m.scm") << "/sm|hello/eo|";
    EXPECT_TRUE(image.ReadImageInfo((dir / "m.scm").string()));
    EXPECT_EQ(image.ImageFormat, "SCM");
    EXPECT_EQ(image.ImageFileSize, 13);

    // Only four characters of the extension count: ".tif2" asks the TIFF
    // library, whose refusal is the one report of the failed load.
    testsupport::writeFile(dir / "junk.tif2", std::vector<unsigned char>(200, 0x41));
    Counted counted;
    Watch(image, counted);
    image.SetImageName((dir / "junk.tif2").string());
    EXPECT_FALSE(image.Picture().HasBitmapHandle());
    EXPECT_EQ(counted.errors, 1);
}

TEST(TPMultiImageLoad, ProgressReportsAndCancels) {
    testsupport::widgetApp();
    const fs::path dir = testsupport::tempDir("mi-progress");
    const std::string file = Save(dir, "Big.BMP", "BMP", Quadrants(300, 300));
    TPMultiImage image;
    Counted counted;
    Watch(image, counted);
    std::vector<std::pair<int, std::string>> seen;
    image.OnProgress = [&](TPMultiImage*, int16_t p, const std::string& text, bool&) {
        seen.emplace_back(p, text);
    };
    image.SetImageName(file);
    ASSERT_GE(seen.size(), 2u);
    EXPECT_EQ(seen.front(), std::make_pair(0, std::string()));
    EXPECT_EQ(seen.back().second, "reading " + (dir / "big.bmp").string());
    EXPECT_TRUE(image.Picture().HasBitmapHandle());

    image.OnProgress = [](TPMultiImage*, int16_t p, const std::string&, bool& cancel) {
        cancel = p > 0;
    };
    image.SetImageName(file);
    EXPECT_FALSE(image.Picture().HasBitmapHandle());
    EXPECT_EQ(counted.errors, 1);
}

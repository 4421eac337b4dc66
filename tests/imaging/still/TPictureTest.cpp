// The picture object over real files: metafiles written by the test writer,
// icons written by ImageMagick and read through the real codec module.
#include "imaging/still/TPicture.h"
#include "CodecModule.h"
#include "TestSupport.h"
#include "WmfWriter.h"

#include <QImage>
#include <QPainter>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>

using namespace wmftest;
namespace fs = std::filesystem;

namespace {

std::vector<uint8_t> redSquare() {
    WmfWriter m;
    m.placeable(0, 0, 1440, 960, 1440).windowOrg(0, 0).windowExt(1440, 960);
    m.pen(5, 0, 0).brush(0, rgb(255, 0, 0)).select(0).select(1).rectangle(0, 0, 720, 960);
    return m.bytes();
}

} // namespace

TEST(TPicture, LoadsAndDrawsAMetafile) {
    guiApp();
    const fs::path dir = testsupport::tempDir("picture");
    testsupport::writeFile(dir / "a.WMF", redSquare());
    TPicture pic;
    int changes = 0;
    pic.OnChange = [&] { ++changes; };
    ASSERT_TRUE(pic.LoadFromFile((dir / "a.WMF").string())) << pic.ErrorText();
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(pic.Kind(), TPicture::Graphic::Metafile);
    EXPECT_EQ(pic.Width(), 96);
    EXPECT_EQ(pic.Height(), 64);

    QImage image(200, 100, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    pic.Draw(painter, QRect(0, 0, 200, 100)); // stretched: left half red
    painter.end();
    EXPECT_EQ(image.pixel(50, 50) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(image.pixel(150, 50) & 0xFFFFFF, 0xFFFFFFu);

    pic.Clear();
    EXPECT_EQ(changes, 2);
    EXPECT_TRUE(pic.Empty());
    EXPECT_EQ(pic.Width(), 0);
}

TEST(TPicture, FailedLoadsKeepThePictureAndSayWhy) {
    guiApp();
    const fs::path dir = testsupport::tempDir("picture-bad");
    testsupport::writeFile(dir / "good.wmf", redSquare());
    testsupport::writeFile(dir / "bad.wmf", std::vector<uint8_t>(64, 0x41));
    testsupport::writeFile(dir / "bad.ico", std::vector<uint8_t>(64, 0x41));
    TPicture pic;
    ASSERT_TRUE(pic.LoadFromFile((dir / "good.wmf").string()));
    int changes = 0;
    pic.OnChange = [&] { ++changes; };
    const struct {
        const char* name;
        const char* error; // empty: any non-empty text
    } rows[] = {
        {"bad.wmf", "The file is not a Windows metafile"},
        {"missing.wmf", ""},
        {"picture.bmp", ""},
        {"bad.ico", ""},
    };
    for (const auto& row : rows) {
        EXPECT_FALSE(pic.LoadFromFile((dir / row.name).string())) << row.name;
        if (*row.error)
            EXPECT_EQ(pic.ErrorText(), row.error);
        else
            EXPECT_FALSE(pic.ErrorText().empty()) << row.name;
        EXPECT_EQ(pic.Kind(), TPicture::Graphic::Metafile) << row.name;
        EXPECT_EQ(pic.Width(), 96) << row.name;
    }
    EXPECT_EQ(changes, 0);
}

TEST(TPicture, LoadsAnIconThroughTheCodec) {
    guiApp();
    if (!GetModuleProc(testsupport::codecModule(), "readicofile"))
        GTEST_SKIP() << "the codec module has no readicofile yet";
    if (!fs::exists("/usr/bin/convert")) GTEST_SKIP() << "ImageMagick convert is not installed";

    // A 32 x 32 picture of four coloured quarters with a diagonal line.
    QImage source(32, 32, QImage::Format_RGB32);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            source.setPixel(x, y,
                            x == y ? 0x000000
                                   : (y < 16 ? (x < 16 ? 0xFF0000 : 0x00FF00)
                                             : (x < 16 ? 0x0000FF : 0xFFFF00)));
    const fs::path dir = testsupport::tempDir("picture-ico");
    ASSERT_TRUE(source.save(QString::fromStdString((dir / "in.png").string())));
    const std::string command =
        "/usr/bin/convert '" + (dir / "in.png").string() + "' '" + (dir / "out.Ico").string() + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);

    TPicture pic;
    int changes = 0;
    pic.OnChange = [&] { ++changes; };
    ASSERT_TRUE(pic.LoadFromFile((dir / "out.Ico").string())) << pic.ErrorText();
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(pic.Kind(), TPicture::Graphic::Bitmap);
    ASSERT_EQ(pic.Width(), 32);
    ASSERT_EQ(pic.Height(), 32);
    int differing = 0;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            differing += (pic.Image().pixel(x, y) & 0xFFFFFF) != (source.pixel(x, y) & 0xFFFFFF);
    EXPECT_EQ(differing, 0);

    // Drawn scaled into a rectangle twice the size.
    QImage image(64, 64, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    pic.Draw(painter, image.rect());
    painter.end();
    EXPECT_EQ(image.pixel(48, 8) & 0xFFFFFF, 0x00FF00u);
    EXPECT_EQ(image.pixel(8, 48) & 0xFFFFFF, 0x0000FFu);
}

// The Orientation tag: Pillow stores a known upright picture turned as each
// of the eight values says and checks that its own reading turns it back;
// our reader must deliver the upright picture too.
#include "TiffTestSupport.h"

namespace {

using namespace tifftest;
namespace fs = std::filesystem;

constexpr int kW = 13, kH = 7; // odd, and a width that is no whole number of bytes at 1 bit

// argv[1]: the folder holding rgb.ppm, palette.ppm and bilevel.ppm. For
// each layout (RGB in LZW strips of two rows, 8-bit palette, 1 bit) and
// value, writes <name>_<value>.tif; fails if Pillow reads any back wrong.
const char* const kWriter = R"(
import sys
from PIL import Image, ImageOps
T = Image.Transpose
store = {1: None, 2: T.FLIP_LEFT_RIGHT, 3: T.ROTATE_180, 4: T.FLIP_TOP_BOTTOM,
         5: T.TRANSPOSE, 6: T.ROTATE_90, 7: T.TRANSVERSE, 8: T.ROTATE_270}
d = sys.argv[1]
layouts = {
    'rgb': (lambda i: i, dict(compression='tiff_lzw', strip_size=2 * 13 * 3)),
    'palette': (lambda i: i.convert('P', palette=Image.Palette.ADAPTIVE), {}),
    'bilevel': (lambda i: i.convert('1', dither=Image.Dither.NONE), {}),
}
for name, (make, options) in layouts.items():
    upright = Image.open(f'{d}/{name}.ppm').convert('RGB')
    picture = make(upright)
    assert picture.convert('RGB').tobytes() == upright.tobytes(), name
    for value, method in store.items():
        stored = picture if method is None else picture.transpose(method)
        path = f'{d}/{name}_{value}.tif'
        stored.save(path, tiffinfo={274: value}, **options)
        # Pillow 9 turns TIFF pages upright as it loads them; others leave
        # that to exif_transpose.
        back = Image.open(path).convert('RGB')
        if back.tobytes() != upright.tobytes():
            back = ImageOps.exif_transpose(Image.open(path)).convert('RGB')
        assert back.tobytes() == upright.tobytes(), (name, value)
)";

TEST(TiffOrientation, EveryValueDeliversTheUprightPicture) {
    if (!testsupport::runQuiet("/usr/bin/python3 -c 'import PIL.ImageOps'"))
        GTEST_SKIP() << "/usr/bin/python3 with Pillow is not installed";
    const fs::path dir = testsupport::tempDir("tifforient");
    std::vector<uint32_t> ink(size_t(kW) * kH);
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x)
            ink[size_t(y) * kW + x] = (x * x + 3 * y) % 5 < 2 ? 0 : 0xFFFFFF;
    struct Layout {
        const char* name;
        std::vector<uint32_t> upright;
        int bits;
    } const layouts[] = {{"rgb", fixtures::photo(kW, kH, 11), 24},
                         {"palette", fixtures::fewColors(kW, kH, 9, 4), 8},
                         {"bilevel", ink, 1}};
    for (const Layout& l : layouts)
        writePnm(dir / (std::string(l.name) + ".ppm"), kW, kH, l.upright, false);
    { std::ofstream(dir / "write.py") << kWriter; }
    ASSERT_TRUE(testsupport::runQuiet("/usr/bin/python3 " + (dir / "write.py").string() + " " +
                                      dir.string()));

    static auto info = proc<PFN_getinfo>("getinfo");
    for (const Layout& l : layouts)
        for (int value = 1; value <= 8; ++value) {
            SCOPED_TRACE(testing::Message() << l.name << " orientation " << value);
            const fs::path file =
                dir / (std::string(l.name) + "_" + std::to_string(value) + ".tif");
            int32_t rc = 0;
            fixtures::DibBlock dib(readDib(file, 0, 0, 0, &rc));
            ASSERT_TRUE(dib.valid()) << rc << " " << errorText(rc);
            EXPECT_EQ(dib.view().bpp, l.bits);
            EXPECT_EQ(dib.view().width, kW);
            EXPECT_EQ(dib.rgb(), l.upright);
            int32_t w = 0, h = 0, compression = 0;
            int16_t bits = 0, pages = 0;
            ASSERT_EQ(info(file.c_str(), 0, &w, &h, &bits, &pages, &compression, 0), 1);
            EXPECT_EQ(w, kW);
            EXPECT_EQ(h, kH);
        }
}

} // namespace

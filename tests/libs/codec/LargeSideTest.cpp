// The size limit is on memory: sides far above 16384 read as long as the
// pixels stay within 1 GiB. Pillow writes each file at test time from a
// picture the test made; every reader must give that picture back.
#include "../imagecore/DibFixtures.h"
#include "PngJpegSupport.h"

using namespace pngjpeg;
namespace fs = std::filesystem;

namespace {

// argv[1]: the folder; each <name>.ppm becomes <name> in the format its
// extension names. Lossless files must read back exactly in Pillow too.
const char* const kWriter = R"(
import glob, os, sys
from PIL import Image
for ppm in glob.glob(os.path.join(sys.argv[1], '*.ppm')):
    out = ppm[:-4]
    source = Image.open(ppm)
    source.save(out, quality=95) if out.endswith('.jpg') else source.save(out)
    if not out.endswith('.jpg'):
        assert Image.open(out).convert('RGB').tobytes() == source.tobytes(), out
)";

// rdjpgfiledib takes one argument more than the other DIB readers.
DibReader readerFor(const char* name) {
    if (std::string(name) != "rdjpgfiledib") return dibReader(name);
    static const auto jpg = testsupport::codecProc<PFN_readjpgfile>(name);
    return [](const char* f, int32_t bits, int32_t dither, uintptr_t* dib, uintptr_t* pal, Calls*) {
        return jpg(f, bits, 1, dither, dib, pal, nullptr, nullptr, 0);
    };
}

class LargeSides : public LeakChecked {};

TEST_F(LargeSides, ReadWhereTheMemoryAllows) {
    if (!run("/usr/bin/python3 -c 'import PIL'"))
        GTEST_SKIP() << "/usr/bin/python3 with Pillow is not installed";
    const struct {
        const char* file;
        int width, height;
        const char* reader;
    } cases[] = {
        {"wide.gif", 65535, 1, "rdgiffiledib"}, {"wide.png", 65535, 1, "rdpngfiledib"},
        {"tall.png", 3, 65535, "rdpngfiledib"}, {"tall.jpg", 193, 31237, "rdjpgfiledib"},
        {"wide.bmp", 65535, 2, "rdbmpfiledib"}, {"tall.tga", 3, 40000, "readtgafiledib"},
        {"wide.pcx", 40000, 2, "rdpcxfiledib"},
    };
    const fs::path dir = testsupport::tempDir("largesides");
    std::vector<std::vector<uint32_t>> pictures;
    for (const auto& c : cases) {
        const bool jpeg = fs::path(c.file).extension() == ".jpg";
        pictures.push_back(jpeg ? fixtures::photo(c.width, c.height, 3)
                                : fixtures::fewColors(c.width, c.height, 16, 5));
        std::ofstream out(dir / (std::string(c.file) + ".ppm"), std::ios::binary);
        out << "P6\n" << c.width << ' ' << c.height << "\n255\n";
        for (uint32_t px : pictures.back())
            out.put(char(px >> 16)), out.put(char(px >> 8)), out.put(char(px));
    }
    std::ofstream(dir / "write.py") << kWriter;
    ASSERT_TRUE(run("/usr/bin/python3 " + (dir / "write.py").string() + " " + dir.string()));

    for (size_t i = 0; i < std::size(cases); ++i) {
        const auto& c = cases[i];
        SCOPED_TRACE(c.file);
        const Decoded d = decode(readerFor(c.reader), dir / c.file);
        ASSERT_EQ(d.rc, PVE_OK) << errorText(d.rc);
        EXPECT_EQ(d.width, c.width);
        EXPECT_EQ(d.height, c.height);
        if (fs::path(c.file).extension() == ".jpg") {
            EXPECT_GT(fixtures::psnr(d.rgb, pictures[i]), 30);
        } else {
            EXPECT_EQ(d.rgb, pictures[i]);
        }
    }
}

} // namespace

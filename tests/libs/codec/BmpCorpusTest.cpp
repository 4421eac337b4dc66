// The BMP suite: every "good" file decodes and matches its reference picture
// (or ImageMagick's reading where the suite has none); questionable and bad
// files answer without a fault; fileinfo names every good file "BMP".
#include "BmpTestSupport.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <map>

using namespace bmptest;

namespace {

std::filesystem::path suite() {
    return testsupport::corpusDir() / "bmp-bmpsuite";
}

std::vector<std::filesystem::path> files(const char* folder) {
    std::vector<std::filesystem::path> out;
    const auto dir = suite() / folder;
    if (std::filesystem::exists(dir))
        for (const auto& e : std::filesystem::directory_iterator(dir))
            if (e.path().extension() == ".bmp") out.push_back(e.path());
    std::sort(out.begin(), out.end());
    return out;
}

TEST(BmpCorpus, GoodFilesMatchTheReference) {
    const auto good = files("g");
    if (good.empty()) GTEST_SKIP() << "corpus not present";
    if (!haveConvert()) GTEST_SKIP() << "ImageMagick's convert is not installed";
    const auto info = testsupport::codecProc<PFN_fileinfo>("fileinfo");
    ASSERT_NE(info, nullptr);
    const auto work = testsupport::tempDir("bmpcorpus");
    for (const auto& file : good) {
        SCOPED_TRACE(file.filename().string());
        const Decoded d = readDib("rdbmpfiledib", file);
        ASSERT_EQ(d.rc, PVE_OK);
        char format[PV_FORMAT_TEXT_SIZE] = {}, description[PV_DESCRIPTION_TEXT_SIZE] = {};
        PVFileInfo fi{};
        EXPECT_EQ(info(file.c_str(), format, &fi, description, 0), PVE_OK);
        EXPECT_STREQ(format, "BMP");
        EXPECT_EQ(fi.Width, d.width);
        // The suite's reference PNG where there is one; ImageMagick's reading
        // otherwise, which widens 5- and 6-bit channels by bit replication
        // where we (and the reference) round: one level apart at most.
        const auto reference = suite() / "html" / (file.stem().string() + ".png");
        const bool own = std::filesystem::exists(reference);
        const auto copy = work / (own ? reference.filename() : file.filename());
        std::filesystem::copy_file(own ? reference : file, copy,
                                   std::filesystem::copy_options::overwrite_existing);
        int w = 0, h = 0;
        const std::vector<uint32_t> expected = magickPixels(copy, w, h);
        ASSERT_FALSE(expected.empty());
        ASSERT_EQ(w, d.width);
        ASSERT_EQ(h, d.height);
        EXPECT_LE(maxChannelDiff(d.rgb, expected), own || fi.BitsPerPixel != 16 ? 0 : 1);
    }
}

// Questionable and bad files: a picture or a clear error, never a fault; the
// ones whose damage we can say exactly give that answer.
TEST(BmpCorpus, QuestionableAndBadFilesAnswer) {
    const auto all = [] {
        auto q = files("q"), b = files("b"), x = files("x");
        q.insert(q.end(), b.begin(), b.end());
        q.insert(q.end(), x.begin(), x.end());
        return q;
    }();
    if (all.empty()) GTEST_SKIP() << "corpus not present";
    const std::map<std::string, int32_t> exact = {
        {"badbitcount.bmp", PVE_BMP_HEADER},
        {"badplanes.bmp", PVE_BMP_HEADER},
        {"badwidth.bmp", PVE_BMP_HEADER},
        {"reallybig.bmp", PVE_TOO_LARGE},
        {"rletopdown.bmp", PVE_BMP_RLE},
        {"shortfile.bmp", PVE_BMP_SHORT},
        {"rgb24jpeg.bmp", PVE_BMP_COMPRESSION},
        {"rgb24png.bmp", PVE_BMP_COMPRESSION},
        {"rgb24rle24.bmp", PVE_BMP_COMPRESSION},
        {"rgba64.bmp", PVE_BMP_COMPRESSION},
        {"pal1huffmsb.bmp", PVE_BMP_COMPRESSION},
        {"pal8rlecut.bmp", PVE_OK},
        {"pal4rletrns.bmp", PVE_OK},
        {"pal8os2v2.bmp", PVE_OK},
        {"pal2.bmp", PVE_OK},
        {"rgb32-111110.bmp", PVE_OK},
    };
    for (const auto& file : all) {
        SCOPED_TRACE(file.filename().string());
        const Decoded d = readDib("rdbmpfiledib", file);
        EXPECT_TRUE(d.rc == PVE_OK || d.rc < 0) << d.rc;
        if (const auto it = exact.find(file.filename().string()); it != exact.end()) {
            EXPECT_EQ(d.rc, it->second);
        }
    }
}

} // namespace

// Every GIF of the shared corpus decoded by us and by giflib: where giflib
// succeeds the indices and colours agree; where it fails we answer with a
// documented error code (or decode leniently) and never crash.
#include "CodecModule.h"
#include "GifReadFixtures.h"
#include "GifReadRawBytes.h"
#include "TestSupport.h"
#include "libs/codec/CodecErrors.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>

using namespace gifread;
namespace fs = std::filesystem;

namespace {

std::vector<fs::path> corpusGifs() {
    std::vector<fs::path> out;
    const fs::path root = testsupport::corpusDir();
    if (root.empty()) return out;
    for (const char* folder : {"gif-giflib", "gif-pygif", "robust-imagetestsuite"}) {
        if (!fs::is_directory(root / folder)) continue;
        for (const auto& e : fs::recursive_directory_iterator(root / folder)) {
            std::string ext = e.path().extension().string();
            std::transform(ext.begin(), ext.end(), ext.begin(), ::tolower);
            if (e.is_regular_file() && ext == ".gif") out.push_back(e.path());
        }
    }
    std::sort(out.begin(), out.end());
    return out;
}

TEST(GifReadCorpus, AgreesWithGiflib) {
    const auto files = corpusGifs();
    if (files.empty()) GTEST_SKIP() << "no corpus";
    using LoadString = int32_t (*)(uint32_t, char*, int32_t);
    const auto loadString = testsupport::codecProc<LoadString>("PVLoadString");
    ASSERT_NE(loadString, nullptr);
    int compared = 0, refused = 0;
    for (const fs::path& file : files) {
        SCOPED_TRACE(file.string());
        const Bytes bytes = testsupport::readFile(file);
        CoreCollector ours;
        const int32_t rc = decodeCore(bytes, ours);
        const Decoded ref = decodeWithGiflib(bytes);
        if (rc != PVE_OK) {
            char text[256];
            EXPECT_GT(loadString(uint16_t(rc), text, sizeof text), 0) << rc;
        }
        if (!ref.ok) {
            ++refused;
            continue;
        }
        // giflib reads what we refuse only for sizes beyond our limits.
        if (rc == PVE_TOO_LARGE) continue;
        ++compared;
        ASSERT_EQ(rc, PVE_OK);
        ASSERT_EQ(ours.frames.size(), ref.frames.size());
        for (size_t i = 0; i < ref.frames.size(); ++i) {
            SCOPED_TRACE(i);
            const CoreFrame& f = ours.frames[i];
            EXPECT_EQ(f.image.left, ref.frames[i].left);
            EXPECT_EQ(f.image.top, ref.frames[i].top);
            EXPECT_EQ(f.image.width, ref.frames[i].width);
            EXPECT_EQ(f.image.height, ref.frames[i].height);
            EXPECT_EQ(f.pixels, ref.frames[i].pixels);
            if (!ref.frames[i].colours.empty()) {
                EXPECT_EQ(f.colours, ref.frames[i].colours);
            }
        }
    }
    std::printf("corpus: %zu files, %d compared with giflib, %d refused by giflib\n", files.size(),
                compared, refused);
    EXPECT_GT(compared, 50);
}

} // namespace

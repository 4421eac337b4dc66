// The save callback protocol of an_wtgiffiledib and what a failed save
// leaves behind: the order of calls, every refusing answer, bad pictures and
// arguments, and an existing target that must survive byte for byte.
#include "GifWriteSupport.h"
#include "TestSupport.h"
#include "libs/codec/CodecErrors.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

namespace fs = std::filesystem;
using gifwrite::Call;
using gifwrite::makeDib;
using gifwrite::SaveScript;

HGLOBAL smallDib(int seed) {
    return makeDib(8, 6, 4, gifwrite::palette(16, uint32_t(seed)),
                   [seed](int x, int y) { return uint32_t(x + y + seed) % 16; });
}

void fillScript(SaveScript& s, int frames, int comments) {
    for (int i = 0; i < frames; ++i)
        s.frames.push_back({smallDib(i)});
    for (int c = 0; c < comments; ++c)
        s.comments.push_back("comment " + std::to_string(c));
}

std::vector<std::string> folderNames(const fs::path& dir) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir))
        names.push_back(e.path().filename().string());
    return names;
}

TEST(GifSaveProtocol, AsksProgressThenCommentsThenEachFrame) {
    const auto dir = testsupport::tempDir("gifproto");
    SaveScript s;
    fillScript(s, 3, 2);
    ASSERT_EQ(gifwrite::save((dir / "a.gif").string(), s), 1);
    const std::vector<Call> expected = {{0, 0},   {-50, 0}, {-50, 0}, {-80, 0}, {33, 0},
                                        {-80, 1}, {66, 1},  {-80, 2}, {100, 2}};
    EXPECT_EQ(s.calls, expected);
}

TEST(GifSaveProtocol, FailedSaveLeavesTheTargetAsItWas) {
    struct Row {
        const char* name;
        std::function<void(SaveScript&)> setup;
        int32_t expected;
    };
    auto answerAt = [](int16_t code, int16_t frame, int16_t answer) {
        return [=](SaveScript& s) {
            s.answer = [=](size_t, int16_t c, int16_t f) {
                return int16_t(c == code && f == frame ? answer : 1);
            };
        };
    };
    auto replaceDib = [](int frame, HGLOBAL dib) {
        return [=](SaveScript& s) {
            zp::GlobalBlock::freeFully(s.frames[size_t(frame)].dib);
            s.frames[size_t(frame)].dib = dib;
        };
    };
    auto oversized = [](int32_t width, int32_t height) {
        HGLOBAL h = ic::createDib(4, 4, 8, nullptr);
        auto* header = zp::GlobalLockGuard(h).as<BITMAPINFOHEADER>();
        header->biWidth = width, header->biHeight = height;
        return h;
    };
    const Row rows[] = {
        {"frame refused", answerAt(-80, 1, PV_ANSWER_NO_FRAME), PVE_BAD_FRAME},
        {"comment too long", answerAt(-50, 0, PV_ANSWER_COMMENT_TOO_LONG), PVE_COMMENT_TOO_LONG},
        {"stop at a frame", answerAt(-80, 2, 0), PVE_CANCELLED},
        {"stop at first progress", answerAt(0, 0, 0), PVE_CANCELLED},
        {"stop at last progress", answerAt(100, 2, 0), PVE_CANCELLED},
        {"odd answer", answerAt(-80, 0, 7), PVE_CANCELLED},
        {"comment fills the buffer", [](SaveScript& s) { s.fillWholeCommentBuffer = true; },
         PVE_COMMENT_TOO_LONG},
        {"no picture", replaceDib(1, 0), PVE_NO_FRAME},
        {"not a handle", replaceDib(2, 0x7654321), PVE_BAD_DIB},
        {"block too small", replaceDib(0, GlobalAlloc(GHND, 10)), PVE_BAD_DIB},
        {"picture too wide", replaceDib(1, oversized(65536, 4)), PVE_TOO_LARGE},
        {"picture above 1 GiB", replaceDib(1, oversized(65535, 16385)), PVE_TOO_LARGE},
        {"frames reach past the largest screen",
         [](SaveScript& s) {
             zp::GlobalBlock::freeFully(s.frames[1].dib);
             s.frames[1].dib = ic::createDib(ic::kMaxSide, 1, 8, nullptr);
             s.frames[1].left = 5;
         },
         PVE_TOO_LARGE},
    };
    const auto dir = testsupport::tempDir("giffail");
    const auto target = dir / "keep.gif";
    const std::vector<unsigned char> original = {'o', 'l', 'd', ' ', 'f', 'i', 'l', 'e'};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        testsupport::writeFile(target, original);
        SaveScript s;
        fillScript(s, 3, 2);
        row.setup(s);
        EXPECT_EQ(gifwrite::save(target.string(), s), row.expected);
        EXPECT_EQ(testsupport::readFile(target), original);
        EXPECT_EQ(folderNames(dir), std::vector<std::string>{"keep.gif"});
        if (row.expected == PVE_BAD_DIB && s.frames[2].dib == 0x7654321) s.frames[2].dib = 0;
    }
}

TEST(GifSaveProtocol, RefusesBadArgumentsWithoutCalling) {
    auto fn = testsupport::codecProc<PFN_an_wtgiffiledib>("an_wtgiffiledib");
    const auto dir = testsupport::tempDir("gifargs");
    const std::string path = (dir / "x.gif").string();
    SaveScript s;
    fillScript(s, 1, 0);
    const struct {
        const char* file;
        int32_t lastFrame, width, height, comments;
        bool callback;
        int32_t expected;
    } rows[] = {
        {nullptr, 0, 0, 0, 0, true, PVE_BAD_ARGUMENT},
        {"", 0, 0, 0, 0, true, PVE_BAD_ARGUMENT},
        {path.c_str(), 0, 0, 0, 0, false, PVE_BAD_ARGUMENT},
        {path.c_str(), -1, 0, 0, 0, true, PVE_BAD_ARGUMENT},
        {path.c_str(), 32767, 0, 0, 0, true, PVE_BAD_ARGUMENT},
        {path.c_str(), 0, 0, 0, -1, true, PVE_BAD_ARGUMENT},
        {path.c_str(), 0, -1, 0, 0, true, PVE_BAD_ARGUMENT},
        {path.c_str(), 0, 65536, 10, 0, true, PVE_TOO_LARGE},
        {path.c_str(), 0, 10, 65536, 0, true, PVE_TOO_LARGE},
        {path.c_str(), 0, 65535, 16385, 0, true, PVE_TOO_LARGE}, // a byte a pixel above 1 GiB
    };
    for (const auto& row : rows) {
        EXPECT_EQ(fn(row.file, row.lastFrame, row.width, row.height, 0, 8, row.comments, 1,
                     row.callback ? &gifwrite::saveCallback : nullptr, &s, 0),
                  row.expected);
    }
    EXPECT_TRUE(s.calls.empty());
    EXPECT_TRUE(folderNames(dir).empty());
}

TEST(GifSaveProtocol, UnwritablePlacesAnswerCreateOrWrite) {
    const auto dir = testsupport::tempDir("gifplace");
    SaveScript s;
    fillScript(s, 2, 0);
    EXPECT_EQ(gifwrite::save((dir / "missing" / "a.gif").string(), s), PVE_CREATE);
    EXPECT_EQ(gifwrite::save((dir / "a.gif/").string(), s), PVE_CREATE);
    // A folder in the target's place cannot be replaced by the finished file.
    fs::create_directory(dir / "taken.gif");
    EXPECT_EQ(gifwrite::save((dir / "taken.gif").string(), s), PVE_WRITE);
    EXPECT_TRUE(fs::is_directory(dir / "taken.gif"));
    EXPECT_EQ(folderNames(dir).size(), 1u);
}

TEST(GifSaveProtocol, ReplacesTargetKeepingItsModeAndNeverTouchesTheDibs) {
    const auto dir = testsupport::tempDir("gifmode");
    const auto target = dir / "a.gif";
    testsupport::writeFile(target, {'x'});
    ASSERT_EQ(::chmod(target.c_str(), 0640), 0);
    SaveScript s;
    fillScript(s, 2, 1);
    std::vector<std::vector<unsigned char>> before;
    for (const auto& f : s.frames) {
        zp::GlobalLockGuard lock(f.dib);
        const auto* p = lock.as<unsigned char>();
        before.emplace_back(p, p + GlobalSize(f.dib));
    }
    ASSERT_EQ(gifwrite::save(target.string(), s), 1);
    struct stat st {};
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_GT(st.st_size, 100);
    for (size_t i = 0; i < s.frames.size(); ++i) {
        EXPECT_EQ(GlobalFlags(s.frames[i].dib) & 0xFF, 0u); // every lock undone
        zp::GlobalLockGuard lock(s.frames[i].dib);
        const auto* p = lock.as<unsigned char>();
        EXPECT_EQ(std::vector<unsigned char>(p, p + GlobalSize(s.frames[i].dib)), before[i]);
    }
}

} // namespace

// Hostile DXF input written by the test: binary files, broken codes,
// non-finite and huge coordinates, very many entities, block bombs,
// sections that never end, truncations and random corruption; and progress
// and cancel without leaks.
#include "DxfTestSupport.h"
#include "libs/dxf/core/DxfRender.h"
#include "libs/imagecore/Dib.h"

#include <chrono>
#include <random>

namespace {

using namespace dxftest;
namespace fs = std::filesystem;

int32_t renderText(const std::string& text, int* width = nullptr, int* height = nullptr,
                   const dxfcore::DxfLimits& limits = {}) {
    zp::GlobalBlock out;
    const int32_t rc = dxfcore::renderDxf(reinterpret_cast<const uint8_t*>(text.data()),
                                          text.size(), {}, out, limits);
    EXPECT_EQ(rc == 1, bool(out));
    if (out) {
        zp::GlobalLockGuard lock(out.get());
        ic::DibView view;
        EXPECT_TRUE(ic::parseDib(lock.data(), out.size(), view));
        EXPECT_EQ(view.bpp, 1);
        if (width) *width = view.width;
        if (height) *height = view.height;
    }
    return rc;
}

struct Case {
    const char* name;
    std::string text;
    int32_t expect;
    int width = 0, height = 0; // checked when expect is 1 and width > 0
};

std::vector<Case> cases() {
    const std::string good = line(0, 0, 100, 0);
    return {
        {"binary", std::string("AutoCAD Binary DXF\r\n\x1a\0", 22) + std::string(100, '\0'), -3},
        {"one_line_of_text", std::string(200, 'x'), -4},
        {"lines_of_text", "this is\nnot a drawing\nat all\n" + std::string(100, 'y') + "\n", -5},
        {"no_section", "0\nLINE\n10\n0\n20\n0\n11\n1\n21\n1\n0\nEOF\n", -4},
        {"bad_code", dxfText("0\nLINE\nxyz\n1\n" + good), -5},
        {"nothing", dxfText(""), -6},
        {"nan_only", dxfText("0\nLINE\n10\nnan\n20\n0\n11\n1\n21\n1\n"), -6},
        {"inf_only", dxfText("0\nCIRCLE\n10\n1e400\n20\n0\n40\n5\n"), -6},
        {"huge_only", dxfText(line(1e300, 0, -1e300, 5)), -6},
        {"bad_next_to_good",
         dxfText(line(1e300, 0, 5, 5) + good + "0\nARC\n10\n0\n20\n0\n40\ninf\n"), 1, 1024, 9},
        {"damaged_flags",
         dxfText("0\nPOLYLINE\n70\nnan\n0\nVERTEX\n70\n1e300\n10\n0\n20\n0\n0\nVERTEX\n70\nnan\n"
                 "10\n50\n20\n0\n0\nSEQEND\n0\nLWPOLYLINE\n70\n-inf\n10\n0\n20\n0\n10\n9\n20\n0\n" +
                 good),
         1, 1024, 9},
        {"wide_but_finite", dxfText(line(0, 0, 1e11, 1e11) + line(0, 0, 1, 1)), 1, 1024, 1024},
        {"zero_size", dxfText("0\nPOINT\n10\n3\n20\n3\n"), 1, 9, 9},
        {"never_ending", "0\nSECTION\n2\nENTITIES\n" + good + "0\nLINE\n10\n0\n20\n0\n11\n5", 1,
         1024, 9},
        {"self_insert",
         dxfText("0\nINSERT\n2\nA\n10\n0\n20\n0\n",
                 "0\nBLOCK\n2\nA\n10\n0\n20\n0\n" + good +
                     "0\nINSERT\n2\nA\n10\n1\n20\n1\n0\nENDBLK\n"),
         1, 0, 0},
        {"missing_block", dxfText("0\nINSERT\n2\nNOPE\n10\n0\n20\n0\n" + good), 1, 1024, 9},
        {"absurd_radius_and_text",
         dxfText("0\nCIRCLE\n10\n0\n20\n0\n40\n-5\n0\nTEXT\n10\n0\n20\n0\n40\n1e308\n1\nHI\n" +
                 good),
         1, 1024, 9},
    };
}

TEST(DxfHostile, FailsCleanlyOrRendersWhatIsSane) {
    for (const Case& c : cases()) {
        int w = 0, h = 0;
        EXPECT_EQ(renderText(c.text, &w, &h), c.expect) << c.name;
        if (c.expect == 1 && c.width > 0) {
            EXPECT_EQ(w, c.width) << c.name;
            EXPECT_EQ(h, c.height) << c.name;
        }
    }
    EXPECT_EQ(errorText(-3), "Binary DXF files are not supported; save the drawing as ASCII DXF.");
}

TEST(DxfHostile, BlockBombStopsAtTheWorkCap) {
    // B0 inserts B1 ten times, ... B7 holds a line: 10^7 lines if expanded.
    std::string blocks;
    for (int i = 0; i < 7; ++i) {
        blocks += "0\nBLOCK\n2\nB" + std::to_string(i) + "\n10\n0\n20\n0\n";
        for (int k = 0; k < 10; ++k)
            blocks += "0\nINSERT\n2\nB" + std::to_string(i + 1) + "\n10\n" + std::to_string(k) +
                      "\n20\n0\n";
        blocks += "0\nENDBLK\n";
    }
    blocks += "0\nBLOCK\n2\nB7\n10\n0\n20\n0\n" + line(0, 0, 1, 1) + "0\nENDBLK\n";
    const std::string text = dxfText("0\nINSERT\n2\nB0\n10\n0\n20\n0\n", blocks);
    // Lower caps than the library's keep the test fast; the checks are the same.
    for (const dxfcore::DxfLimits limits :
         {dxfcore::DxfLimits{20000, 50'000'000}, dxfcore::DxfLimits{2'000'000, 5000}}) {
        const auto start = std::chrono::steady_clock::now();
        int w = 0, h = 0;
        EXPECT_EQ(renderText(text, &w, &h, limits), 1);
        EXPECT_GT(w, 9); // some of the lines were drawn
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    }
}

TEST(DxfHostile, ManyEntities) {
    std::string entities;
    for (int i = 0; i < 100000; ++i)
        entities += line(i % 1000, i / 1000, i % 1000 + 1, i / 1000);
    int w = 0, h = 0;
    EXPECT_EQ(renderText(dxfText(entities), &w, &h), 1);
    EXPECT_EQ(w, 1024);
}

TEST(DxfHostile, TruncationsAndCorruption) {
    const std::string full =
        dxfText(line(0, 0, 10, 5) +
                "0\nCIRCLE\n10\n5\n20\n5\n40\n3\n0\nLWPOLYLINE\n90\n2\n70\n1\n"
                "10\n0\n20\n0\n42\n0.5\n10\n4\n20\n4\n0\nMTEXT\n10\n1\n20\n1\n40\n1\n1\nA\\PB\n");
    ASSERT_EQ(renderText(full), 1);
    for (size_t n = 0; n < full.size(); ++n) {
        const int32_t rc = renderText(full.substr(0, n));
        EXPECT_TRUE(rc == 1 || rc < 0) << n;
    }
    std::mt19937 rng(7);
    for (int round = 0; round < 300; ++round) {
        std::string bad = full;
        for (int i = 0; i < 1 + int(rng() % 6); ++i)
            bad[rng() % bad.size()] = char(rng());
        const int32_t rc = renderText(bad);
        EXPECT_TRUE(rc == 1 || rc < 0);
    }
}

struct Counter {
    int calls = 0, stopAt = -1, last = -1;
    bool increasing = true;
};

int16_t count(int16_t percent, void* user) {
    auto* c = static_cast<Counter*>(user);
    if (percent < c->last) c->increasing = false;
    c->last = percent;
    return c->calls++ == c->stopAt ? 0 : 1;
}

TEST(DxfHostile, ProgressAndCancelLeakNothing) {
    std::string entities;
    for (int i = 0; i < 20000; ++i)
        entities += line(0, i, 100, i);
    const fs::path file = testsupport::tempDir("dxfprogress") / "p.dxf";
    writeText(file, dxfText(entities));
    Counter all;
    ASSERT_EQ(render(file, 0, count, &all).rc, 1);
    EXPECT_GE(all.calls, 6); // 0, both walks in steps, 100
    EXPECT_TRUE(all.increasing);
    EXPECT_EQ(all.last, 100);
    const uint64_t blocks = GlobalBlockCount(), objects = GdiObjectCount();
    for (int stop = 0; stop < all.calls; ++stop) {
        Counter c;
        c.stopAt = stop;
        EXPECT_EQ(render(file, 8, count, &c).rc, -10) << stop;
    }
    EXPECT_EQ(GlobalBlockCount(), blocks);
    EXPECT_EQ(GdiObjectCount(), objects);
}

} // namespace

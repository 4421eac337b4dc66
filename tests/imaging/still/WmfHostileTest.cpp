// Damaged and hostile metafiles: parsing and playback must end cleanly.
#include "WmfWriter.h"
#include "imaging/still/WmfDib.h"
#include "imaging/still/WmfPicture.h"

#include <QImage>
#include <QPainter>
#include <chrono>
#include <gtest/gtest.h>
#include <random>

using namespace wmftest;

namespace {

// Loads and, when the load succeeds, plays into a small image.
bool loadAndPlay(const std::vector<uint8_t>& bytes, std::string& error, size_t* played = nullptr) {
    guiApp();
    WmfPicture pic;
    if (!pic.LoadFromBytes(bytes, error)) return false;
    QImage image(64, 64, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    const size_t n = pic.Draw(painter, image.rect());
    if (played) *played = n;
    return true;
}

// Every kind of record the player knows, once.
std::vector<uint8_t> richMetafile() {
    WmfWriter m;
    m.placeable(0, 0, 200, 200, 1440).windowOrg(0, 0).windowExt(200, 200);
    m.pen(0, 3, rgb(1, 2, 3)).brush(0, rgb(200, 0, 0)).font(-12, "DejaVu Sans");
    m.select(0).select(1).select(2).record(0x001E, {});
    m.rectangle(10, 10, 50, 50).ellipse(20, 20, 90, 60).moveTo(0, 0).lineTo(200, 200);
    m.record(0x0324, {3, 0, 0, 100, 0, 50, 80}).record(0x0325, {2, 0, 0, 100, 100});
    m.record(0x0538, {1, 3, 0, 0, 10, 0, 5, 5}).record(0x061C, {10, 10, 90, 90, 20, 20});
    m.record(0x0817, {0, 50, 50, 100, 100, 100, 0, 0})
        .record(0x0830, {0, 50, 50, 100, 100, 100, 0, 0});
    m.textOut(5, 5, "Hostile").record(0x0A32, {30, 30, 2, 6, 0, 0, 60, 60, 'A' | 'B' << 8, 9, 9});
    m.stretchDib(0, 0, 40, 40, 0, 0, 2, 2, makeDib(2, 2, 8, {1, 2, 3, 4}));
    m.record(0x0127, {-1})
        .remove(2)
        .record(0x0416, {100, 100, 0, 0})
        .record(0x061D, {0x21, 0xF0, 10, 10, 0, 0});
    return m.bytes(4);
}

} // namespace

TEST(WmfHostile, BadHeadersAreRefusedWithAReason) {
    const auto good = WmfWriter().windowExt(10, 10).bytes();
    struct Row {
        size_t offset;
        uint8_t value;
        const char* error;
    } rows[] = {
        {0, 7, "The file is not a Windows metafile"},    // type
        {2, 8, "The file is not a Windows metafile"},    // header size
        {5, 0x02, "The file is not a Windows metafile"}, // version
    };
    for (const Row& row : rows) {
        auto bytes = good;
        bytes[row.offset] = row.value;
        std::string error;
        EXPECT_FALSE(loadAndPlay(bytes, error));
        EXPECT_EQ(error, row.error) << row.offset;
    }
    std::string error;
    EXPECT_FALSE(loadAndPlay({}, error));
    EXPECT_EQ(error, "The metafile header is truncated");
    EXPECT_FALSE(loadAndPlay({0xD7, 0xCD, 0xC6, 0x9A, 0, 0}, error));
    EXPECT_EQ(error, "The metafile's placeable header is truncated");
}

TEST(WmfHostile, EveryTruncationEndsCleanly) {
    const auto full = richMetafile();
    size_t loaded = 0;
    for (size_t n = 0; n <= full.size(); ++n) {
        std::string error;
        const std::vector<uint8_t> cut(full.begin(), full.begin() + std::ptrdiff_t(n));
        if (loadAndPlay(cut, error))
            ++loaded;
        else
            EXPECT_FALSE(error.empty()) << n;
    }
    // Everything from the first record on loads (what is whole is drawn).
    EXPECT_EQ(loaded, full.size() + 1 - (22 + 18));
}

TEST(WmfHostile, RandomCorruptionNeverCrashes) {
    const auto full = richMetafile();
    std::mt19937 rng(12345);
    for (int round = 0; round < 1500; ++round) {
        auto bytes = full;
        const int flips = 1 + int(rng() % 8);
        for (int i = 0; i < flips; ++i)
            bytes[40 + rng() % (bytes.size() - 40)] = uint8_t(rng());
        std::string error;
        loadAndPlay(bytes, error);
    }
}

TEST(WmfHostile, DamagedRecordsStopOrAreSkipped) {
    struct Row {
        const char* what;
        std::vector<uint8_t> bytes;
        size_t records; // parsed, including EOF when reached
        bool truncated;
    };
    WmfWriter zero = WmfWriter().windowExt(10, 10).rectangle(0, 0, 5, 5);
    auto zeroBytes = zero.bytes();
    zeroBytes[18 + 10] = 0; // second record's size word: 0
    WmfWriter past = WmfWriter().windowExt(10, 10);
    auto pastBytes = past.bytes();
    pastBytes[18 + 2] = 0xFF; // first record claims far more words than exist
    Row rows[] = {
        {"zero-size record", zeroBytes, 1, true},
        {"record past the end", pastBytes, 0, true},
        {"no EOF", WmfWriter().windowExt(10, 10).bytes(8, false), 1, true},
    };
    for (const Row& row : rows) {
        wmf::Document doc;
        std::string error;
        ASSERT_TRUE(wmf::Parse(row.bytes, doc, error)) << row.what;
        EXPECT_EQ(doc.records.size(), row.records) << row.what;
        EXPECT_EQ(doc.truncated, row.truncated) << row.what;
    }
}

TEST(WmfHostile, OutOfRangeIndicesAndCountsAreIgnored) {
    // Selecting or deleting a slot that does not exist changes nothing: the
    // default white brush and black pen draw the rectangle.
    WmfWriter m = WmfWriter().windowExt(64, 64).brush(0, rgb(255, 0, 0)).select(0);
    m.select(500).remove(60000).select(7);
    m.record(0x0324, {30000, 0, 0, 10, 10});         // point count beyond the record
    m.record(0x0538, {65535, 1, 2});                 // polygon counts beyond the record
    m.record(0x0A32, {0, 0, 32000, 0});              // text longer than the record
    m.stretchDib(0, 0, 64, 64, 0, 0, 2, 2, {40, 0}); // header of a DIB only
    m.rectangle(8, 8, 56, 56);
    guiApp();
    WmfPicture pic;
    std::string error;
    ASSERT_TRUE(pic.LoadFromBytes(m.bytes(1), error)) << error;
    QImage image(64, 64, QImage::Format_RGB32);
    image.fill(Qt::green);
    QPainter painter(&image);
    pic.Draw(painter, image.rect());
    painter.end();
    EXPECT_EQ(image.pixel(32, 32) & 0xFFFFFF, 0xFF0000u); // slot 0 kept its brush
    EXPECT_EQ(image.pixel(2, 2) & 0xFFFFFF, 0x00FF00u);
}

TEST(WmfHostile, MillionsOfRecordsAreCapped) {
    WmfWriter m = WmfWriter().windowExt(10, 10);
    for (int i = 0; i < 1'200'000; ++i)
        m.record(0x0102, {1});
    wmf::Document doc;
    std::string error;
    const auto bytes = m.bytes();
    ASSERT_TRUE(wmf::Parse(bytes, doc, error));
    EXPECT_EQ(doc.records.size(), wmf::kMaxRecords);
    EXPECT_TRUE(doc.truncated);
    size_t played = 0;
    ASSERT_TRUE(loadAndPlay(bytes, error, &played));
    EXPECT_EQ(played, wmf::kMaxRecords);
}

TEST(WmfHostile, BadDibsGiveNoImage) {
    const auto good = makeDib(2, 2, 24, {1, 2, 3, 4});
    ASSERT_FALSE(wmf::DibToImage(good).isNull());
    struct Row {
        const char* what;
        size_t offset;
        std::vector<uint8_t> value;
    } rows[] = {
        {"width 0", 4, {0, 0, 0, 0}},
        {"width 16385", 4, {0x01, 0x40, 0, 0}},
        {"height -2^31", 8, {0, 0, 0, 0x80}},
        {"16384 x 16384 claimed, 4 pixels stored", 4, {0, 0x40, 0, 0, 0, 0x40, 0, 0}},
        {"16384 x 65536", 4, {0, 0x40, 0, 0, 0, 0, 1, 0}},
        {"7 bits", 14, {7, 0}},
        {"run-length", 16, {1, 0, 0, 0}},
        {"header size 13", 0, {13, 0, 0, 0}},
        {"header beyond the data", 0, {0xFF, 0xFF, 0, 0}},
        {"rows beyond the data", 4, {0x00, 0x10, 0, 0}},
    };
    for (const Row& row : rows) {
        auto dib = good;
        std::copy(row.value.begin(), row.value.end(), dib.begin() + std::ptrdiff_t(row.offset));
        EXPECT_TRUE(wmf::DibToImage(dib).isNull()) << row.what;
    }
    auto shortTable = makeDib(2, 2, 8, {1, 2, 3, 4});
    shortTable[32] = 200; // 200 colours claimed, 4 stored
    shortTable.resize(40 + 16);
    EXPECT_TRUE(wmf::DibToImage(shortTable).isNull());
}

TEST(WmfHostile, HugeScalesDrawInBoundedTime) {
    // A one-unit window on a large target: every coordinate is magnified
    // 2000 times, with dashed, wide and curved outlines and large text.
    WmfWriter m = WmfWriter().windowOrg(0, 0).windowExt(1, 1);
    m.pen(1, 0, rgb(0, 0, 0)).brush(0, rgb(9, 9, 9)).font(-32000, "DejaVu Sans");
    m.pen(2, 30000, rgb(0, 0, 0)).select(0).select(1).select(2);
    for (int i = 0; i < 50; ++i) {
        m.ellipse(-32000, -32000, 32000, 32000)
            .record(0x0325, {3, -32000, -32000, 32000, 32000, -32000, 32000});
        m.record(0x0817, {0, 32000, 32000, 0, 32000, 32000, -32000, -32000});
        m.select(3).record(0x0325, {2, -32000, -32000, 32000, 32000}).select(0);
        m.textOut(0, 0, "WW");
    }
    guiApp();
    WmfPicture pic;
    std::string error;
    ASSERT_TRUE(pic.LoadFromBytes(m.bytes(), error)) << error;
    QImage image(2000, 2000, QImage::Format_RGB32);
    QPainter painter(&image);
    const auto start = std::chrono::steady_clock::now();
    pic.Draw(painter, image.rect());
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
}

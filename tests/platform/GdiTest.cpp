#include "platform/Gdi.h"
#include "platform/TBitmap.h"

#include <gtest/gtest.h>
#include <vector>

namespace {
HPALETTE makePalette(const std::vector<PALETTEENTRY>& colours) {
    std::vector<uint8_t> storage(sizeof(LOGPALETTE) + colours.size() * sizeof(PALETTEENTRY));
    auto* log = reinterpret_cast<LOGPALETTE*>(storage.data());
    log->palVersion = 0x300;
    log->palNumEntries = uint16_t(colours.size());
    for (size_t i = 0; i < colours.size(); ++i)
        log->palPalEntry[i] = colours[i];
    return CreatePalette(log);
}
} // namespace

TEST(Gdi, PaletteEntriesNearestIndexAndAnimation) {
    HPALETTE p = makePalette({{0, 0, 0, 0}, {255, 0, 0, 0}, {0, 255, 0, 0}, {250, 0, 0, 0}});
    ASSERT_NE(p, 0u);
    EXPECT_EQ(GetPaletteEntries(p, 0, 0, nullptr), 4u);
    struct Row {
        COLORREF colour;
        uint32_t index;
    } rows[] = {
        {RGB(0, 0, 0), 0},     {RGB(255, 0, 0), 1}, {RGB(252, 1, 0), 3},
        {RGB(10, 200, 10), 2}, {RGB(254, 0, 0), 1}, // nearer to 255 than to 250
    };
    for (const Row& r : rows)
        EXPECT_EQ(GetNearestPaletteIndex(p, r.colour), r.index) << std::hex << r.colour;
    PALETTEENTRY blue{0, 0, 255, 0};
    EXPECT_EQ(AnimatePalette(p, 2, 1, &blue), 1);
    PALETTEENTRY read[4];
    EXPECT_EQ(GetPaletteEntries(p, 1, 10, read), 3u) << "copies only what exists";
    EXPECT_EQ(read[1].peBlue, 255);
    EXPECT_EQ(AnimatePalette(p, 3, 2, read), 0) << "a range past the end fails";
    EXPECT_EQ(DeleteObject(p), 1);
    EXPECT_EQ(GetNearestPaletteIndex(p, 0), CLR_INVALID);
    EXPECT_EQ(DeleteObject(p), 0);
}

TEST(Gdi, DeviceBitmapsAreSizeCheckedAndOwned) {
    const uint64_t before = GdiObjectCount();
    EXPECT_EQ(CreateDeviceBitmap(0, 5), 0u);
    EXPECT_EQ(CreateDeviceBitmap(kMaxBitmapSide + 1, 1), 0u);
    {
        zp::TBitmap bitmap;
        bitmap.setHandle(CreateDeviceBitmap(3, 2));
        EXPECT_EQ(bitmap.width(), 3);
        EXPECT_EQ(bitmap.height(), 2);
        ASSERT_NE(bitmap.bits(), nullptr);
        EXPECT_EQ(bitmap.bits()[5], 0u);
        bitmap.setHandle(CreateDeviceBitmap(1, 1)); // frees the first
        EXPECT_EQ(GdiObjectCount(), before + 1);
    }
    EXPECT_EQ(GdiObjectCount(), before);
}

TEST(Gdi, PaletteAndBitmapHandlesDoNotMix) {
    HBITMAP b = CreateDeviceBitmap(1, 1);
    EXPECT_EQ(GetPaletteEntries(b, 0, 0, nullptr), 0u);
    EXPECT_EQ(GetNearestPaletteIndex(b, 0), CLR_INVALID);
    DeleteObject(b);
}

#include "capture/TCaptureBuffer.h"

#include "bindings/CodecBinding.h"
#include "imaging/animated/DuplicateGlobalBlock.h"
#include "platform/Gdi.h"
#include "platform/GlobalMemory.h"
#include "platform/Message.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

// A palette of the DIB's whole colour table.
HPALETTE PaletteOfTable(const PVWebImg::PVTDib& dib) {
    const uint32_t n = dib.ColorCount();
    if (!dib.Dib() || n == 0 || n > 256) return 0;
    std::vector<uint8_t> storage(sizeof(LOGPALETTE) + n * sizeof(PALETTEENTRY), 0);
    auto* log = reinterpret_cast<LOGPALETTE*>(storage.data());
    log->palVersion = 0x300;
    log->palNumEntries = uint16_t(n);
    const RGBQUAD* table = dib.ColorTable();
    for (uint32_t i = 0; i < n; ++i)
        log->palPalEntry[i] = PALETTEENTRY{table[i].rgbRed, table[i].rgbGreen, table[i].rgbBlue, 0};
    return CreatePalette(log);
}

} // namespace

TCaptureBuffer::~TCaptureBuffer() {
    if (FRunPalette) DeleteObject(FRunPalette);
}

void TCaptureBuffer::StartRun() {
    FinishRun();
    if (FRunPalette) DeleteObject(FRunPalette);
    FRunPalette = 0;
    FRunBits = 0;
    FRun.clear();
}

namespace {

std::unique_ptr<zp::TBitmap> CopyOfBitmap(const zp::TBitmap& source) {
    auto copy = std::make_unique<zp::TBitmap>();
    const int32_t w = source.width(), h = source.height();
    copy->setHandle(CreateDeviceBitmap(w, h));
    if (copy->empty()) return nullptr;
    std::memcpy(copy->bits(), source.bits(), size_t(w) * size_t(h) * 4);
    return copy;
}

// Grabs stacked into one picture for designing the palette; with many
// grabs only every n-th row joins, so the picture stays near kSamplePixels.
constexpr uint64_t kSamplePixels = uint64_t(1) << 21;

} // namespace

void TCaptureBuffer::FinishRun() {
    if (!FRunChanged || FRun.empty()) return;
    FRunChanged = false;
    int32_t width = 0;
    uint64_t pixels = 0;
    for (const RunGrab& g : FRun) {
        width = std::max(width, g.picture->width());
        pixels += uint64_t(g.picture->width()) * uint64_t(g.picture->height());
    }
    const uint64_t every = std::max<uint64_t>(1, (pixels + kSamplePixels - 1) / kSamplePixels);
    int64_t rows = 0;
    for (const RunGrab& g : FRun)
        rows += (g.picture->height() + int64_t(every) - 1) / int64_t(every);
    zp::TBitmap sample;
    sample.setHandle(CreateDeviceBitmap(width, int32_t(std::min<int64_t>(rows, kMaxBitmapSide))));
    if (sample.empty()) return;
    uint32_t* out = sample.bits();
    int64_t row = 0;
    for (const RunGrab& g : FRun) {
        const int32_t w = g.picture->width();
        for (int32_t y = 0; y < g.picture->height() && row < sample.height();
             y += int32_t(every), ++row) {
            const uint32_t* in = g.picture->bits() + size_t(y) * size_t(w);
            uint32_t* to = out + size_t(row) * size_t(width);
            std::memcpy(to, in, size_t(w) * 4);
            // Short rows are padded with their own last pixel, not black.
            std::fill(to + w, to + width, in[w - 1]);
        }
    }
    HGLOBAL designed = 0;
    if (!DLL96V1::DdbtoDib(sample.handle(), 0, FRunBits, 0, nullptr, 1, 0, designed) || !designed)
        return;
    PVWebImg::PVTDib table;
    table.SetDib(GlobalLock(designed));
    const HPALETTE palette = PaletteOfTable(table);
    if (!palette) return;
    if (FRunPalette) DeleteObject(FRunPalette);
    FRunPalette = palette;
    for (RunGrab& g : FRun) {
        HGLOBAL mapped = 0;
        if (!DLL96V1::DdbtoDib(g.picture->handle(), FRunPalette, FRunBits, 0, nullptr, 1, 0,
                               mapped) ||
            !mapped)
            continue;
        if (g.record->DibHandle) GlobalFree(g.record->DibHandle);
        g.record->DibHandle = mapped;
        PVWebImg::PVTDib view;
        view.SetDib(GlobalLock(mapped));
        const uint32_t colours = view.ColorCount();
        g.record->ScreenColors = uint8_t(colours >= 256 ? 255 : colours);
        view.OwnsDib = false;
        view.SetDib(nullptr);
        GlobalUnlock(mapped);
    }
}

TFrameList TCaptureBuffer::TakeFrames() {
    FinishRun();
    FRun.clear();
    TFrameList taken;
    taken.swap(FFrameList);
    return taken;
}

bool TCaptureBuffer::ConvertAndAddFrame(const zp::TBitmap& bitmap, bool highQuality, bool colors256,
                                        const std::string& name) {
    const int32_t bits = colors256 ? 8 : 4;
    if (!highQuality && FRunBits != bits) StartRun();
    // High quality: a palette of the grab's own colours. Less quality: the
    // run's palette, designed by its first grab.
    const HPALETTE palette = highQuality ? 0 : FRunPalette;
    HGLOBAL dib = 0;
    if (!DLL96V1::DdbtoDib(bitmap.handle(), palette, bits, 0, nullptr, 1, 0, dib) || !dib) {
        ShowMessage(DLL96V1::CodecLastErrorText.c_str());
        return false;
    }
    FWorkDib.SetDib(GlobalLock(dib));
    if (!highQuality && !FRunPalette) {
        FRunPalette = PaletteOfTable(FWorkDib);
        FRunBits = bits;
    }
    AppendFrameRecord(highQuality, name);
    if (!highQuality) {
        if (auto picture = CopyOfBitmap(bitmap)) {
            FRun.push_back({FFrameList.back(), std::move(picture)});
            FRunChanged = true;
        }
    }
    return true;
}

void TCaptureBuffer::AppendFrameRecord(bool highQuality, const std::string& name) {
    auto* record = new TMyGifAnimation;
    const uint32_t colours = FWorkDib.ColorCount();
    const uint8_t colourField = uint8_t(colours >= 256 ? 255 : colours);
    record->Name = name;
    record->ScreenWidth = uint16_t(FWorkDib.Width());
    record->ScreenHeight = uint16_t(std::abs(FWorkDib.Height()));
    record->ScreenColors = colourField;
    record->UseLocalPalette = highQuality ? 1 : 0;
    record->LocalColors = highQuality ? colourField : 0;
    record->Width = int16_t(FWorkDib.Width());
    record->Height = int16_t(std::abs(FWorkDib.Height()));
    record->Delay = 10;
    // A failed copy leaves the record without a picture.
    HGLOBAL block = FWorkDib.Dib() ? GlobalHandle(FWorkDib.Dib()) : 0;
    record->DibHandle = DuplicateGlobalBlock(block);
    FFrameList.push_back(record);
}

void TCaptureBuffer::ClearFrameBuffer() {
    FRun.clear();
    FRunChanged = false;
    while (!FFrameList.empty()) {
        TMyGifAnimation* record = FFrameList.back();
        if (record->DibHandle) {
            if (GlobalFlags(record->DibHandle) & 0xFF) GlobalUnlock(record->DibHandle);
            GlobalFree(record->DibHandle);
        }
        delete record;
        FFrameList.pop_back();
    }
    FFrameList.shrink_to_fit();
}

std::string TCaptureBuffer::BufferText() const {
    return "There are " + std::to_string(FFrameList.size()) + " frames in the buffer";
}

#include "capture/TCaptureBuffer.h"

#include "bindings/CodecBinding.h"
#include "imaging/animated/DuplicateGlobalBlock.h"
#include "platform/Gdi.h"
#include "platform/GlobalMemory.h"
#include "platform/Message.h"

#include <cstdlib>
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
    if (FRunPalette) DeleteObject(FRunPalette);
    FRunPalette = 0;
    FRunBits = 0;
}

bool TCaptureBuffer::ConvertAndAddFrame(const zp::TBitmap& bitmap, bool highQuality,
                                        bool colors256, const std::string& name) {
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

#include "imaging/animated/PVAnimationModel.h"
#include "imaging/animated/DuplicateGlobalBlock.h"
#include "imaging/animated/PVGifOptimizer.h"

#include "bindings/CodecBinding.h"
#include "libs/codec/CodecErrors.h"
#include "platform/GlobalBlock.h"
#include "platform/GlobalMemory.h"
#include "platform/ScopeGuards.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <exception>
#include <filesystem>

bool PaintingEnabled = true;

namespace {

std::string lowerCase(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return s;
}

// An exception thrown by an event handler while the codec calls back must
// not unwind through the codec: it is parked, the codec is told to stop, and
// it is thrown again once the codec has returned.
thread_local std::exception_ptr parkedException;

template <class F> int16_t guardCallback(F&& body) {
    try {
        return body();
    } catch (...) {
        parkedException = std::current_exception();
        return 0;
    }
}

void rethrowParked() {
    if (parkedException) std::rethrow_exception(std::exchange(parkedException, nullptr));
}

} // namespace

PVAnimationModel::PVAnimationModel()
    : MapTransparentColor(GetSysColor(COLOR_BTNFACE)), FFrames(std::make_unique<TFrameList>()),
      FComments(std::make_unique<TCommentList>()),
      FCurrentDib(std::make_unique<PVWebImg::PVTDib>()) {
    PaintingEnabled = true;
}

PVAnimationModel::~PVAnimationModel() {
    ClearFrames();
}

void PVAnimationModel::ClearFrames() {
    if (SharedFrames) return;
    for (auto it = FFrames->rbegin(); it != FFrames->rend(); ++it) {
        TMyGifAnimation* record = *it;
        if (record->DibHandle) {
            if (GlobalFlags(record->DibHandle) & 0xFF) GlobalUnlock(record->DibHandle);
            GlobalFree(record->DibHandle);
        }
        delete record;
    }
    FFrames->clear();
    for (auto it = FComments->rbegin(); it != FComments->rend(); ++it)
        delete *it;
    FComments->clear();
    FramesChanged();
}

void PVAnimationModel::SetCurrentDib(void* lockedDib) {
    FCurrentDib->SetDib(lockedDib);
}

void PVAnimationModel::NewCurrentDib() {
    FCurrentDib = std::make_unique<PVWebImg::PVTDib>();
}

void PVAnimationModel::NewFromBitmap(const zp::TBitmap& bitmap, int32_t bits) {
    ClearFrames();
    auto* record = new TMyGifAnimation;
    record->Name = "New Frame";
    record->ScreenWidth = record->Width = int16_t(bitmap.width());
    record->ScreenHeight = record->Height = int16_t(bitmap.height());
    record->ScreenColors = bits == 8 ? 255 : 16;
    record->Loops = 1;
    ScreenWidth = uint16_t(bitmap.width());
    ScreenHeight = uint16_t(bitmap.height());
    FFrames->push_back(record);
    DisplayedFrame = 0;
    ReplaceFrameBitmap(bitmap, bits);
}

bool PVAnimationModel::FrameFromSingleImage() {
    if (!FFrames->empty() || !FCurrentDib->Dib()) return false;
    zp::GlobalBlock copy(DuplicateGlobalBlock(GlobalHandle(FCurrentDib->Dib())));
    if (!copy) return false;
    auto* record = new TMyGifAnimation;
    record->Name = "Frame 1 of " + std::filesystem::path(FFileName).filename().string();
    record->ScreenWidth = ScreenWidth;
    record->ScreenHeight = ScreenHeight;
    const uint32_t colours = FCurrentDib->ColorCount();
    record->ScreenColors =
        uint8_t(std::clamp<uint32_t>(colours, 1, 256) - (colours >= 256 ? 1 : 0));
    record->BackgroundColor = DisplayedBackground;
    record->Left = int16_t(DrawLeft);
    record->Top = int16_t(DrawTop);
    record->Width = int16_t(FCurrentDib->Width());
    record->Height = int16_t(std::abs(FCurrentDib->Height()));
    record->Disposal = DisplayedDisposal;
    record->HasTransparency = DisplayedTransparency ? 1 : 0;
    record->TransparentIndex = DisplayedTransparentIndex;
    record->Loops = 1; // no loop block: shown once
    record->DibHandle = copy.release();
    FFrames->push_back(record);
    DisplayedFrame = 0;
    FramesChanged();
    return true;
}

void PVAnimationModel::ReplaceFrameBitmap(const zp::TBitmap& bitmap, int32_t bits) {
    const int32_t depth =
        (bits == 1 || bits == 4 || bits == 8 || bits == 24) ? bits : DLL96V1::DefaultColorDepth();
    PaintingEnabled = false;
    zp::AtExit restore{[this] {
        PaintingEnabled = true;
        InvalidateView();
    }};
    if (!FCurrentDib->FromBitmap(bitmap, depth)) return; // the frame keeps its picture
    zp::GlobalBlock copy(DuplicateGlobalBlock(GlobalHandle(FCurrentDib->Dib())));
    if (!copy || FFrames->empty()) return;
    const size_t index = DisplayedFrame >= 0 && size_t(DisplayedFrame) < FFrames->size()
                             ? size_t(DisplayedFrame)
                             : 0;
    TMyGifAnimation* record = (*FFrames)[index];
    zp::GlobalBlock::freeFully(record->DibHandle);
    record->DibHandle = copy.release();
    FramesChanged();
}

std::unique_ptr<zp::TBitmap> PVAnimationModel::GetFrameBitmap() const {
    auto bitmap = std::make_unique<zp::TBitmap>();
    if (!FCurrentDib->ToBitmap(*bitmap)) return nullptr;
    return bitmap;
}

void PVAnimationModel::LoadFromFile(const std::string& fileName) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(fileName, ec))
        throw ErrorInvalid("Input filename isn't valid");
    StopPlayback();
    FramesLoaded = 0;
    ClearFrames();
    FramesChanged();
    FFileName = lowerCase(fileName);
    DisplayedDisposal = 0;
    CurrentFrame = 0;
    DisplayedFrame = 0;
    NewCurrentDib();
    GifMode = true;
    ResetViewForLoad();

    zp::AtExit finished{[this] {
        if (OnFinishedLoadSave) OnFinishedLoadSave(this);
    }};
    const bool ok = DLL96V1::an_rdgiffiledib(fileName, MapTransparentColor, &LoadCallback, this);
    rethrowParked();
    if (!ok) ReportCodecError();
}

int16_t PVAnimationModel::LoadCallback(uintptr_t dib, const MyGifHeader* header,
                                       const MyGifImageDescriptor* descriptor,
                                       const MyGifGraphicControlBlock* control, int32_t loops,
                                       const char* comment, int16_t code, void* user) {
    auto* self = static_cast<PVAnimationModel*>(user);
    return guardCallback([&]() -> int16_t {
        if (code >= 0) {
            if (self->FramesLoaded == 0) {
                self->PaintNow();
                self->ProcessMessages();
            }
            if (self->OnProgress)
                self->OnProgress(self, code, self->FramesLoaded, nullptr, nullptr, nullptr);
            return 1;
        }
        if (code == PV_CODE_COMMENT) {
            self->FComments->push_back(new TStringList(SplitLines(comment ? comment : "")));
            self->ProcessMessages();
            return 1;
        }
        return self->TakeImage(dib, header, descriptor, control, loops, code);
    });
}

int16_t PVAnimationModel::TakeImage(uintptr_t dib, const MyGifHeader* header,
                                    const MyGifImageDescriptor* descriptor,
                                    const MyGifGraphicControlBlock* control, int32_t loops,
                                    int16_t code) {
    zp::GlobalBlock delivered(dib);
    if (header) {
        ScreenWidth = header->ScreenWidth;
        ScreenHeight = header->ScreenHeight;
    }
    DrawLeft = descriptor ? descriptor->Left : 0;
    DrawTop = descriptor ? descriptor->Top : 0;
    DisplayedDisposal = control ? control->Disposal : 0;
    DisplayedTransparency = control && control->Transparent == 1;
    DisplayedTransparentIndex = control ? control->TransparentIndex : 0;

    if (code == PV_CODE_FRAME) {
        const int n = FramesLoaded;
        auto* record = new TMyGifAnimation;
        record->Name = "Frame " + std::to_string(n + 1) + " of " +
                       std::filesystem::path(FFileName).filename().string();
        if (n == 0 && header) {
            record->ScreenWidth = header->ScreenWidth;
            record->ScreenHeight = header->ScreenHeight;
            record->ScreenColors = header->Colors;
            record->ScreenReserved = header->Reserved;
            record->BackgroundColor = header->Background;
        } else if (n > 0) {
            const TMyGifAnimation* first = FFrames->empty() ? record : FFrames->front();
            record->ScreenWidth = first->ScreenWidth;
            record->ScreenHeight = first->ScreenHeight;
            record->ScreenColors = first->ScreenColors;
            record->BackgroundColor = first->BackgroundColor;
            record->ScreenReserved = header ? header->Reserved : 0;
        }
        if (descriptor) {
            record->Left = descriptor->Left;
            record->Top = descriptor->Top;
            record->Width = descriptor->Width;
            record->Height = descriptor->Height;
            record->Interlaced = descriptor->Interlaced;
            record->UseLocalPalette = descriptor->LocalPalette;
            record->LocalColors = descriptor->LocalColors;
        }
        if (control) {
            record->Disposal = control->Disposal;
            record->HasTransparency = control->Transparent;
            record->TransparentIndex = control->TransparentIndex;
            record->Delay = control->Delay;
        }
        record->Loops = loops;
        // The record keeps the delivered block; the display gets its own copy.
        SetCurrentDib(GlobalLock(DuplicateGlobalBlock(delivered.get())));
        record->DibHandle = delivered.release();
        FFrames->push_back(record);
        DisplayedFrame = int(FFrames->size()) - 1;
    } else if (code == PV_CODE_SINGLE) {
        SetCurrentDib(GlobalLock(delivered.release()));
        DisplayedFrame = 0;
    }

    if (FramesLoaded == 0) {
        if (AutoSize) ApplyAutoSize();
        if (header) DisplayedBackground = header->Background;
    }
    PaintNow();
    ProcessMessages();
    if (code == PV_CODE_FRAME) ++FramesLoaded;
    return 1;
}

void PVAnimationModel::SaveToFile(const std::string& fileName) {
    StopPlayback();
    FramesLoaded = 0;
    if (FFrames->empty()) throw ErrorInvalid("Input image is empty");

    zp::AtExit finished{[this] {
        if (OnFinishedLoadSave) OnFinishedLoadSave(this);
    }};
    // A frame without a picture would make a broken file: refuse the save
    // and say which frame it is, before anything is written.
    for (size_t i = 0; i < FFrames->size(); ++i) {
        if ((*FFrames)[i]->DibHandle == 0) {
            DLL96V1::CodecLastErrorCode = int16_t(PVE_NO_FRAME);
            DLL96V1::CodecLastErrorText = "Frame " + std::to_string(i + 1) + " (" +
                                          (*FFrames)[i]->Name +
                                          ") has no picture; nothing was saved.";
            ReportCodecError();
            return;
        }
    }

    // The optimiser's frames live as long as this save; the records are
    // only read.
    PVWebImg::PVGifOptimizer optimizer(OptimizeLevel);
    const TFrameList& writing =
        OptimizeLevel > 0 && optimizer.Optimize(*FFrames) ? optimizer.Frames() : *FFrames;
    FWriting = &writing;
    zp::AtExit done{[this] { FWriting = nullptr; }};
    const TMyGifAnimation* first = writing.front();
    int32_t backgroundIndex = 0;
    int32_t bits = 8;
    {
        PVWebImg::PVTDib probe;
        probe.SetDib(GlobalLock(DuplicateGlobalBlock(first->DibHandle)));
        // The editor may store "the window colour" as a system-colour reference.
        const COLORREF background = ColorToRGB(first->BackgroundColor);
        const uint32_t nearest = GetNearestPaletteIndex(
            probe.GetPalette(),
            RGB(GetRValue(background), GetGValue(background), GetBValue(background)));
        backgroundIndex = nearest == CLR_INVALID ? 0 : int32_t(nearest);
        bits = probe.BitCount();
    }
    FFileName = lowerCase(fileName);
    FCommentCounter = 0;
    // A failure that leaves no text of its own (a fault the binding caught,
    // a missing entry point) must not be reported with an earlier one's.
    DLL96V1::CodecLastErrorText.clear();
    const int16_t options =
        int16_t((OptimizeLevel >= 3 ? PV_SAVE_SEARCH_LZW : 0) |
                (OptimizeLevel >= 1 ? PV_SAVE_QUIET_BLOCKS : 0) |
                std::clamp(LossyDistance, 0, int(PV_SAVE_LOSSY_MAX)) << PV_SAVE_LOSSY_SHIFT);
    const bool ok = DLL96V1::an_wtgiffiledib(fileName, int32_t(writing.size()) - 1,
                                             first->ScreenWidth, first->ScreenHeight,
                                             backgroundIndex, bits, int32_t(FComments->size()),
                                             first->Loops, &SaveCallback, this, options);
    rethrowParked();
    if (!ok && DLL96V1::CodecLastErrorText.empty())
        DLL96V1::CodecLastErrorText = "The file " + fileName + " could not be written.";
    if (!ok) ReportCodecError();
}

int16_t PVAnimationModel::SaveCallback(uintptr_t* dib, int16_t* left, int16_t* top, int16_t* width,
                                       int16_t* height, uint8_t* localPalette, uint8_t* interlaced,
                                       uint8_t* zero1, uint8_t* largestIndex, uint8_t* depthFlag,
                                       uint8_t* disposal, uint8_t* zero2, uint8_t* transparent,
                                       uint16_t* delay, uint8_t* transparentIndex, char* comment,
                                       int32_t commentSize, int16_t frame, int16_t code,
                                       void* user) {
    auto* self = static_cast<PVAnimationModel*>(user);
    return guardCallback([&]() -> int16_t {
        if (code >= 0) {
            if (self->OnProgress) self->OnProgress(self, code, frame, nullptr, nullptr, nullptr);
            return 1;
        }
        const TFrameList& frames = self->FWriting ? *self->FWriting : *self->FFrames;
        if (frame < 0 || size_t(frame) >= frames.size()) return PV_ANSWER_NO_FRAME;
        if (code == PV_CODE_COMMENT) {
            std::string text;
            if (size_t(self->FCommentCounter) < self->FComments->size())
                text = JoinLines(*(*self->FComments)[size_t(self->FCommentCounter)]);
            // Never cut a comment short: the save fails instead.
            if (!comment || commentSize < 1 || text.size() + 1 > size_t(commentSize))
                return PV_ANSWER_COMMENT_TOO_LONG;
            std::memcpy(comment, text.c_str(), text.size() + 1);
            ++self->FCommentCounter;
        }
        const TMyGifAnimation* record = frames[size_t(frame)];
        *dib = record->DibHandle;
        *left = record->Left;
        *top = record->Top;
        *width = record->Width;
        *height = record->Height;
        *localPalette = record->UseLocalPalette;
        *interlaced = record->Interlaced;
        *zero1 = 0;
        int bitsPerPixel = 0;
        if (zp::GlobalLockGuard lock(record->DibHandle); lock)
            bitsPerPixel = lock.as<BITMAPINFOHEADER>()->biBitCount;
        *largestIndex = bitsPerPixel == 1   ? 1
                        : bitsPerPixel == 4 ? 15
                        : bitsPerPixel == 8 ? 255
                                            : 0;
        *depthFlag = (bitsPerPixel == 1 || bitsPerPixel == 4 || bitsPerPixel == 8) ? 1 : 0;
        *disposal = record->Disposal;
        *zero2 = 0;
        *transparent = record->HasTransparency;
        *delay = record->Delay;
        *transparentIndex = record->TransparentIndex;
        return 1;
    });
}

void PVAnimationModel::ReportCodecError() {
    const std::string text = DLL96V1::CodecLastErrorText;
    if (OnPvlibError) {
        std::vector<char> copy(text.begin(), text.end());
        copy.push_back('\0');
        OnPvlibError(this, DLL96V1::CodecLastErrorCode, text, copy.data());
    } else {
        throw ErrorInvalid(text);
    }
}

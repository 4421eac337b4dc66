#pragma once
// The animation behind the animated-image component, without widgets: the
// frame and comment lists, their ownership, GIF load and save through the
// codec binding, and the display state a load leaves behind. The widget
// derives from it and fills in the hooks (paint, pump messages, auto-size,
// stop playback); tests and tools use it as it is.
#include "imaging/animated/PVTDib.h"
#include "imaging/animated/TMyGifAnimation.h"
#include "libs/codec/PvCodec.h"
#include "platform/TBitmap.h"

#include <functional>
#include <memory>
#include <string>

// While false, animated-image components neither paint nor step (the
// editor clears it while it rebuilds frame data).
extern bool PaintingEnabled;

class PVAnimationModel;

using TPVProgress = std::function<void(
    PVAnimationModel* sender, int progress, int frameNumber, const MyGifHeader* header,
    const MyGifImageDescriptor* descriptor, const MyGifGraphicControlBlock* control)>;
using TlibError = std::function<void(PVAnimationModel* sender, int16_t errorCode,
                                     const std::string& errorString, const char* errorPChar)>;
using TNotifyEvent = std::function<void(PVAnimationModel* sender)>;

class PVAnimationModel {
  public:
    PVAnimationModel();
    virtual ~PVAnimationModel();
    PVAnimationModel(const PVAnimationModel&) = delete;
    PVAnimationModel& operator=(const PVAnimationModel&) = delete;

    // The lists are the component's own objects; with SharedFrames set the
    // records and string lists in them belong to someone else.
    TFrameList* Frames() { return FFrames.get(); }
    TCommentList* Comments() { return FComments.get(); }
    bool SharedFrames = false;
    bool GifMode = false;
    uint16_t ScreenWidth = 40;
    uint16_t ScreenHeight = 40;
    COLORREF MapTransparentColor;
    bool AutoSize = false;

    TPVProgress OnProgress;
    TlibError OnPvlibError;
    TNotifyEvent OnFinishedLoadSave;

    // Frees every record, picture and comment list unless SharedFrames.
    void ClearFrames();
    // One "New Frame" record holding the bitmap at the given depth.
    void NewFromBitmap(const zp::TBitmap& bitmap, int32_t bits);
    // A GIF of one image without animation blocks loads as a lone picture
    // and no frame; this makes that picture (a copy, with its place and
    // transparency) the one frame, so that it can be edited. False when
    // there are frames already or no picture.
    bool FrameFromSingleImage();
    // Throws ErrorInvalid for a missing file or (without OnPvlibError) a codec failure.
    void LoadFromFile(const std::string& fileName);
    // Throws ErrorInvalid for an empty animation or (without OnPvlibError) a failure.
    // The records are written as they are, or, with OptimizeLevel set,
    // through PVGifOptimizer: the file then shows the same screens in fewer
    // bytes, and the records stay as they were.
    void SaveToFile(const std::string& fileName);
    // 0 = store the records as they are; 1..3 = the optimiser's level (3
    // also makes the writer search its LZW choices).
    int OptimizeLevel = 0;
    // 0 = exact; 1..200 = the writer's LZW data may take colours within this
    // RGB distance of a pixel's own (the file no longer shows the same).
    int LossyDistance = 0;
    // Stores a changed picture into the frame on display.
    void ReplaceFrameBitmap(const zp::TBitmap& bitmap, int32_t bits);
    // A new bitmap of the picture on display; nullptr when that fails.
    std::unique_ptr<zp::TBitmap> GetFrameBitmap() const;

    // Display state.
    PVWebImg::PVTDib* CurrentDib() const { return FCurrentDib.get(); }
    int FramesLoaded = 0;
    int CurrentFrame = 0;
    int DrawLeft = 0;
    int DrawTop = 0;
    uint8_t DisplayedDisposal = 0;
    bool DisplayedTransparency = false;
    uint8_t DisplayedTransparentIndex = 0; // meaningful with DisplayedTransparency
    // The file's background colour, kept for callers; browsers never paint
    // it, so the display does not either (cleared areas are transparent).
    COLORREF DisplayedBackground = 0;
    // The record ReplaceFrameBitmap changes: the last loaded, the new one,
    // or the last shown; 0 when none of these applies.
    int DisplayedFrame = 0;
    const std::string& FileName() const { return FFileName; }

    // Says that the frame records changed (pictures, positions, order,
    // disposal, transparency), so what the display built up from them is
    // stale. Loading, clearing and replacing a picture call it themselves;
    // code that edits records in place calls it afterwards.
    virtual void FramesChanged() {}

    // The codec's callbacks (C calling convention), user data = the model.
    static int16_t LoadCallback(uintptr_t dib, const MyGifHeader* header,
                                const MyGifImageDescriptor* descriptor,
                                const MyGifGraphicControlBlock* control, int32_t loops,
                                const char* comment, int16_t code, void* user);
    static int16_t SaveCallback(uintptr_t* dib, int16_t* left, int16_t* top, int16_t* width,
                                int16_t* height, uint8_t* localPalette, uint8_t* interlaced,
                                uint8_t* zero1, uint8_t* largestIndex, uint8_t* depthFlag,
                                uint8_t* disposal, uint8_t* zero2, uint8_t* transparent,
                                uint16_t* delay, uint8_t* transparentIndex, char* comment,
                                int32_t commentSize, int16_t frame, int16_t code, void* user);

  protected:
    // Hooks for the widget; the model alone does nothing in them.
    virtual void StopPlayback() {}
    virtual void PaintNow() {}
    virtual void ProcessMessages() {}
    virtual void ApplyAutoSize() {}
    virtual void ResetViewForLoad() {}
    virtual void InvalidateView() {}
    // Replaces the picture on display by a locked DIB (may be nullptr).
    void SetCurrentDib(void* lockedDib);
    void NewCurrentDib();

  private:
    int16_t TakeImage(uintptr_t dib, const MyGifHeader* header,
                      const MyGifImageDescriptor* descriptor,
                      const MyGifGraphicControlBlock* control, int32_t loops, int16_t code);
    void ReportCodecError();

    std::unique_ptr<TFrameList> FFrames;
    const TFrameList* FWriting = nullptr; // the records the running save writes
    std::unique_ptr<TCommentList> FComments;
    std::unique_ptr<PVWebImg::PVTDib> FCurrentDib;
    std::string FFileName;
    int FCommentCounter = 0;
};

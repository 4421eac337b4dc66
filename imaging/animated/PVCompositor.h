#pragma once
// The logical screen of an animation built up frame by frame, as GIF89a
// (section 23) and the mainstream browsers compose it. No widgets: the
// animated-image widget, the command-line tool and the benchmarks share it.
//
//  * The canvas starts fully transparent. Before a frame is drawn, the
//    previous frame's own disposal is applied: 2 clears its rectangle to
//    transparent, 3 restores its rectangle to what it was before that frame
//    was drawn; 0, 1 and 4..7 leave the canvas.
//  * A frame's transparent index leaves the canvas pixel as it was; every
//    other pixel becomes the frame's colour (an index beyond the colour
//    table is opaque black, as the DIB drawing helper shows it).
//  * Frames are clipped to the screen, whatever their position.
//  * Memory: one screen-sized canvas and one saved rectangle (disposal 3).
//
// Canvas pixels are 0xAARRGGBB words (QImage::Format_ARGB32 order), top row
// first, with alpha 0 or 255 only; 0 is transparent.
#include "imaging/animated/TMyGifAnimation.h"

#include <cstdint>
#include <vector>

namespace PVWebImg {

// A rectangle on the screen, right and bottom exclusive; empty when
// x1 <= x0 or y1 <= y0.
struct PVRect {
    int32_t x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    bool empty() const { return x1 <= x0 || y1 <= y0; }
    PVRect united(const PVRect& o) const;
};

// One frame as the compositor draws it.
struct PVFrameView {
    int32_t left = 0, top = 0, width = 0, height = 0; // may lie partly or wholly off screen
    int32_t bits = 8;                                 // 1, 4 or 8 (indices), 24 (BGR) or 32 (BGRX)
    // Row y of the picture counted from the top (interlacing already undone).
    const uint8_t* (*row)(const void* context, int32_t y) = nullptr;
    const void* context = nullptr;
    const uint32_t* colours = nullptr; // 256 entries 0xFFRRGGBB, for 1/4/8 bits
    int32_t transparentIndex = -1;     // -1: every pixel is drawn
    uint8_t disposal = 0;              // applied before the next frame is drawn
};

class PVCompositor {
  public:
    // Largest screen ComposeTo builds: canvas and saved rectangle stay
    // within 1 GiB together.
    static constexpr uint64_t kMaxScreenPixels = (uint64_t(1) << 30) / 8;

    // A new, fully transparent canvas; no disposal is pending. False (and a
    // 0 x 0 canvas) above kMaxScreenPixels or when memory runs out.
    bool Reset(int32_t width, int32_t height);
    // Applies the previous frame's disposal, then draws the frame.
    void DrawFrame(const PVFrameView& frame);
    // DrawFrame for a packed DIB (1, 4, 8 or 24 bits) with its top-left
    // corner at (left, top); transparentIndex -1 draws every pixel. An
    // unreadable DIB draws nothing (the previous disposal still happens)
    // and answers false.
    bool DrawDib(const BITMAPINFOHEADER* dib, int32_t left, int32_t top, int32_t transparentIndex,
                 uint8_t disposal);

    int32_t Width() const { return FWidth; }
    int32_t Height() const { return FHeight; }
    const uint32_t* Pixels() const { return FCanvas.data(); }
    uint32_t Pixel(int32_t x, int32_t y) const {
        return FCanvas[size_t(y) * size_t(FWidth) + size_t(x)];
    }

    // The area changed since the last TakeDirty (the whole screen after a
    // Reset); hosts copy only that much of the canvas to the screen.
    PVRect TakeDirty();

    // The frame records' animation: the canvas as it stands once frames
    // 0..index are shown. Stepping forward draws one frame; any other jump
    // starts again from the nearest frame that does not depend on earlier
    // ones (a full opaque frame, or one after a full-screen clear). False
    // for an index outside the list, for a screen above kMaxScreenPixels
    // (the canvas is then empty), or when a frame's picture could not be
    // read (that frame draws nothing; the rest is composed as usual).
    //
    // The screen is frame 0's ScreenWidth x ScreenHeight; a side of 0 takes
    // frame 0's extent. A frame's rectangle is its picture's size at
    // (Left, Top). Transparency needs an indexed picture (HasTransparency 1
    // and 1, 4 or 8 bits); true-colour pictures are opaque.
    bool ComposeTo(const TFrameList& frames, int index);
    // A lone picture without frame records (a still GIF) on a screen of
    // its own, width x height, a side of 0 taking the picture's extent.
    bool ComposePicture(const BITMAPINFOHEADER* dib, int32_t width, int32_t height, int32_t left,
                        int32_t top, int32_t transparentIndex);

    // Index of the frame last composed by ComposeTo, -1 for none.
    int Composed() const { return FComposed; }
    // Forget what ComposeTo built: the next call starts again. Needed when a
    // record's picture changed in place (same block); changes of records,
    // blocks, positions, disposal or transparency are noticed by themselves.
    void Invalidate() { FComposed = -1; }

  private:
    // What a composed frame contributed, to notice records changed since.
    struct Signature {
        const TMyGifAnimation* record;
        HGLOBAL dib;
        int16_t left, top;
        uint8_t disposal, transparent, transparentIndex;
        bool operator==(const Signature&) const = default;
    };
    static Signature SignatureOf(const TMyGifAnimation* record);
    bool StillValid(const TFrameList& frames, int upTo) const;
    // The last frame in floor..index that needs no frame before it; floor
    // when none does.
    int StartFrame(const TFrameList& frames, int index, int floor);

    void Clear(const PVRect& r);
    void Save(const PVRect& r);
    void Restore();
    PVRect Clip(int32_t left, int32_t top, int32_t width, int32_t height) const;

    int32_t FWidth = 0;
    int32_t FHeight = 0;
    std::vector<uint32_t> FCanvas;
    PVRect FDirty;

    // The previous frame's disposal, waiting for the next frame.
    bool FPending = false;
    uint8_t FPendingDisposal = 0;
    PVRect FPendingRect;
    std::vector<uint32_t> FSaved; // FPendingRect's pixels before that frame, for disposal 3

    int FComposed = -1;
    int FFirstDrawn = 0;                // where the composition started
    std::vector<Signature> FSignatures; // frames max(0, FFirstDrawn - 1)..FComposed
    Signature FFirstSignature{};        // frame 0's, when it sized the screen
    uint16_t FScreenW = 0, FScreenH = 0;
};

} // namespace PVWebImg

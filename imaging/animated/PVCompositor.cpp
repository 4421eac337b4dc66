#include "imaging/animated/PVCompositor.h"

#include "libs/imagecore/Dib.h"
#include "platform/GlobalBlock.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace PVWebImg {

namespace {

constexpr uint32_t kTransparent = 0;
constexpr uint32_t kOpaque = 0xFF000000u;

// Draws one row of indices: `index(x)` gives the picture's index at x.
// With a transparent index, `keep` holds per index the colour in its low
// word and, in its high word, the mask of canvas bits that stay (all for
// the transparent index, none for the others): optimised GIFs scatter
// transparent pixels everywhere, and a branch per pixel costs ten times more.
template <class Index>
void drawIndexed(uint32_t* out, int32_t n, const uint32_t* colours, const uint64_t* keep,
                 Index index) {
    if (!keep) {
        for (int32_t i = 0; i < n; ++i)
            out[i] = colours[index(i)];
    } else {
        for (int32_t i = 0; i < n; ++i) {
            const uint64_t e = keep[index(i)];
            out[i] = (out[i] & uint32_t(e >> 32)) | uint32_t(e);
        }
    }
}

const uint8_t* dibRow(const void* context, int32_t y) {
    return static_cast<const ic::DibView*>(context)->row(y);
}

// The picture of a record, locked for the scope.
struct RecordPicture {
    explicit RecordPicture(const TMyGifAnimation& record) : lock(record.DibHandle) {
        ok = lock && ic::parseDib(lock.data(), 0, dib);
    }
    zp::GlobalLockGuard lock;
    ic::DibView dib;
    bool ok = false;
};

} // namespace

PVRect PVRect::united(const PVRect& o) const {
    if (empty()) return o;
    if (o.empty()) return *this;
    return {std::min(x0, o.x0), std::min(y0, o.y0), std::max(x1, o.x1), std::max(y1, o.y1)};
}

bool PVCompositor::Reset(int32_t width, int32_t height) {
    FWidth = std::max(0, width);
    FHeight = std::max(0, height);
    FPending = false;
    FSaved.clear();
    FComposed = -1;
    bool ok = uint64_t(FWidth) * uint64_t(FHeight) <= kMaxScreenPixels;
    if (ok) {
        try {
            FCanvas.assign(size_t(FWidth) * size_t(FHeight), kTransparent);
        } catch (const std::bad_alloc&) {
            ok = false;
        }
    }
    if (!ok) {
        FWidth = FHeight = 0;
        FCanvas.clear();
    }
    FDirty = {0, 0, FWidth, FHeight};
    return ok;
}

PVRect PVCompositor::TakeDirty() {
    return std::exchange(FDirty, PVRect{});
}

PVRect PVCompositor::Clip(int32_t left, int32_t top, int32_t width, int32_t height) const {
    const int64_t x1 = int64_t(left) + std::max(0, width);
    const int64_t y1 = int64_t(top) + std::max(0, height);
    return {std::clamp(left, 0, FWidth), std::clamp(top, 0, FHeight),
            int32_t(std::clamp<int64_t>(x1, 0, FWidth)),
            int32_t(std::clamp<int64_t>(y1, 0, FHeight))};
}

void PVCompositor::Clear(const PVRect& r) {
    if (r.empty()) return;
    for (int32_t y = r.y0; y < r.y1; ++y)
        std::fill_n(FCanvas.data() + size_t(y) * size_t(FWidth) + size_t(r.x0), r.x1 - r.x0,
                    kTransparent);
    FDirty = FDirty.united(r);
}

void PVCompositor::Save(const PVRect& r) {
    FSaved.clear();
    if (r.empty()) return;
    const size_t w = size_t(r.x1 - r.x0);
    try {
        FSaved.resize(w * size_t(r.y1 - r.y0));
    } catch (const std::bad_alloc&) {
        FSaved.clear(); // nothing to restore: the canvas stays as drawn
        return;
    }
    for (int32_t y = r.y0; y < r.y1; ++y)
        std::memcpy(FSaved.data() + size_t(y - r.y0) * w,
                    FCanvas.data() + size_t(y) * size_t(FWidth) + size_t(r.x0), w * 4);
}

void PVCompositor::Restore() {
    const PVRect& r = FPendingRect;
    const size_t w = size_t(std::max(0, r.x1 - r.x0));
    if (r.empty() || FSaved.size() != w * size_t(r.y1 - r.y0)) return;
    for (int32_t y = r.y0; y < r.y1; ++y)
        std::memcpy(FCanvas.data() + size_t(y) * size_t(FWidth) + size_t(r.x0),
                    FSaved.data() + size_t(y - r.y0) * w, w * 4);
    FDirty = FDirty.united(r);
}

void PVCompositor::DrawFrame(const PVFrameView& frame) {
    if (FPending) {
        if (FPendingDisposal == 2)
            Clear(FPendingRect);
        else if (FPendingDisposal == 3)
            Restore();
        FPending = false;
    }
    const PVRect r = Clip(frame.left, frame.top, frame.width, frame.height);
    if (frame.disposal == 3) Save(r);
    FPending = true;
    FPendingDisposal = frame.disposal;
    FPendingRect = r;
    if (r.empty() || !frame.row) return;
    FDirty = FDirty.united(r);

    const int32_t n = r.x1 - r.x0;
    const int32_t skip = r.x0 - frame.left; // picture columns left of the screen
    const uint32_t* colours = frame.colours;
    uint64_t keepTable[256];
    const uint64_t* keep = nullptr;
    if (frame.bits <= 8 && frame.transparentIndex >= 0 && frame.transparentIndex < 256) {
        for (int i = 0; i < 256; ++i)
            keepTable[i] = colours[i];
        keepTable[frame.transparentIndex] = uint64_t(0xFFFFFFFFu) << 32;
        keep = keepTable;
    }
    for (int32_t y = r.y0; y < r.y1; ++y) {
        const uint8_t* in = frame.row(frame.context, y - frame.top);
        uint32_t* out = FCanvas.data() + size_t(y) * size_t(FWidth) + size_t(r.x0);
        switch (frame.bits) {
        case 8:
            drawIndexed(out, n, colours, keep,
                        [in = in + skip](int32_t i) { return uint32_t(in[i]); });
            break;
        case 4:
            drawIndexed(out, n, colours, keep, [in, skip](int32_t i) {
                const int32_t x = i + skip;
                return uint32_t(x & 1 ? in[x >> 1] & 0x0F : in[x >> 1] >> 4);
            });
            break;
        case 1:
            drawIndexed(out, n, colours, keep, [in, skip](int32_t i) {
                const int32_t x = i + skip;
                return uint32_t((in[x >> 3] >> (7 - (x & 7))) & 1);
            });
            break;
        case 24:
        case 32: {
            const int32_t step = frame.bits / 8;
            const uint8_t* p = in + size_t(skip) * size_t(step);
            for (int32_t i = 0; i < n; ++i, p += step)
                out[i] = kOpaque | uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
            break;
        }
        default:
            return;
        }
    }
}

PVCompositor::Signature PVCompositor::SignatureOf(const TMyGifAnimation* record) {
    return {record,
            record->DibHandle,
            record->Left,
            record->Top,
            record->Disposal,
            record->HasTransparency,
            record->TransparentIndex};
}

bool PVCompositor::StillValid(const TFrameList& frames, int upTo) const {
    const int first = std::max(0, FFirstDrawn - 1);
    if (FComposed < 0 || upTo < FComposed || size_t(FComposed) >= frames.size()) return false;
    if (frames[0]->ScreenWidth != FScreenW || frames[0]->ScreenHeight != FScreenH) return false;
    // A screen side of 0 comes from frame 0's picture, whichever frame the
    // composition started at.
    if ((FScreenW == 0 || FScreenH == 0) && !(SignatureOf(frames[0]) == FFirstSignature))
        return false;
    if (FSignatures.size() != size_t(FComposed - first + 1)) return false;
    for (int i = first; i <= FComposed; ++i)
        if (!(FSignatures[size_t(i - first)] == SignatureOf(frames[size_t(i)]))) return false;
    return true;
}

bool PVCompositor::DrawDib(const BITMAPINFOHEADER* header, int32_t left, int32_t top,
                           int32_t transparentIndex, uint8_t disposal) {
    ic::DibView dib;
    if (!header || !ic::parseDib(header, 0, dib)) {
        DrawFrame(PVFrameView{left, top, 0, 0, 8, nullptr, nullptr, nullptr, -1, disposal});
        return false;
    }
    uint32_t colours[256];
    std::fill(std::begin(colours), std::end(colours), kOpaque);
    for (uint32_t i = 0; i < std::min<uint32_t>(dib.colorCount, 256); ++i) {
        const RGBQUAD& c = dib.colors[i];
        colours[i] = kOpaque | uint32_t(c.rgbRed) << 16 | uint32_t(c.rgbGreen) << 8 | c.rgbBlue;
    }
    PVFrameView view;
    view.left = left;
    view.top = top;
    view.width = dib.width;
    view.height = dib.height;
    view.bits = dib.bpp;
    view.row = &dibRow;
    view.context = &dib;
    view.colours = colours;
    view.transparentIndex = dib.bpp <= 8 ? transparentIndex : -1;
    view.disposal = disposal;
    DrawFrame(view);
    return true;
}

int PVCompositor::StartFrame(const TFrameList& frames, int index, int floor) {
    // Whether a picture at (left, top) covers the whole screen.
    auto covers = [this](const TMyGifAnimation& r, const ic::DibView& dib) {
        return r.Left <= 0 && r.Top <= 0 && int32_t(r.Left) + dib.width >= FWidth &&
               int32_t(r.Top) + dib.height >= FHeight;
    };
    for (int i = index; i > floor; --i) {
        const TMyGifAnimation& record = *frames[size_t(i)];
        if (record.Disposal != 3) {
            RecordPicture own(record);
            if (own.ok && covers(record, own.dib) &&
                (record.HasTransparency != 1 || own.dib.bpp > 8))
                return i;
        }
        const TMyGifAnimation& previous = *frames[size_t(i - 1)];
        if (previous.Disposal == 2) {
            RecordPicture before(previous);
            if (before.ok && covers(previous, before.dib)) return i;
        }
    }
    return floor;
}

bool PVCompositor::ComposePicture(const BITMAPINFOHEADER* dib, int32_t width, int32_t height,
                                  int32_t left, int32_t top, int32_t transparentIndex) {
    ic::DibView view;
    const bool readable = dib && ic::parseDib(dib, 0, view);
    if (width == 0) width = readable ? left + view.width : 0;
    if (height == 0) height = readable ? top + view.height : 0;
    return Reset(width, height) && DrawDib(dib, left, top, transparentIndex, 0);
}

bool PVCompositor::ComposeTo(const TFrameList& frames, int index) {
    if (index < 0 || size_t(index) >= frames.size()) return false;
    int from = 0;
    if (StillValid(frames, index)) {
        if (index == FComposed) return true;
        from = FComposed + 1;
    }
    // Stepping on by one never restarts; a longer way forward restarts when
    // a frame on the way needs nothing before it.
    if (from == 0 || (index > from && StartFrame(frames, index, from) > from)) {
        // A fresh start: the screen of frame 0, or its extent.
        const TMyGifAnimation& first = *frames[0];
        FScreenW = first.ScreenWidth;
        FScreenH = first.ScreenHeight;
        int32_t w = FScreenW, h = FScreenH;
        if (w == 0 || h == 0) {
            RecordPicture picture(first);
            const int32_t pw = picture.ok ? picture.dib.width : first.Width;
            const int32_t ph = picture.ok ? picture.dib.height : first.Height;
            if (w == 0) w = std::max(0, first.Left + pw);
            if (h == 0) h = std::max(0, first.Top + ph);
        }
        // The canvas and the saved rectangle take 4 bytes a pixel each: a
        // screen the readers accept at a byte a pixel may not fit that.
        if (!Reset(w, h)) return false;
        from = StartFrame(frames, index, 0);
        FFirstDrawn = from;
        FFirstSignature = SignatureOf(frames[0]);
        FSignatures.clear();
        if (from > 0) FSignatures.push_back(SignatureOf(frames[size_t(from - 1)]));
    }
    bool ok = true;
    for (int i = from; i <= index; ++i) {
        const TMyGifAnimation& record = *frames[size_t(i)];
        zp::GlobalLockGuard lock(record.DibHandle);
        ok = DrawDib(lock.as<BITMAPINFOHEADER>(), record.Left, record.Top,
                     record.HasTransparency == 1 ? record.TransparentIndex : -1, record.Disposal) &&
             ok;
        FSignatures.push_back(SignatureOf(frames[size_t(i)]));
    }
    FComposed = index;
    return ok;
}

} // namespace PVWebImg

// an_wtgiffiledib: writes an animated GIF, pulling comments and frames from
// the caller through the save callback (protocol in PvCodec.h).
#include "libs/codec/CodecErrors.h"
#include "libs/codec/PvCodec.h"
#include "libs/codec/core/AtomicFileSink.h"
#include "libs/codec/core/DibFrame.h"
#include "libs/codec/core/GifEncoder.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <string>
#include <vector>

namespace {

constexpr int32_t kMaxLastFrame = 32766;
constexpr int32_t kMaxComments = 32767;
// Comments wait in memory until the header is written (it needs frame 0);
// past this much text the save is refused rather than memory exhausted.
constexpr uint64_t kMaxCommentBytes = uint64_t(256) << 20;

// What the callback fills for one frame.
struct FrameFields {
    uintptr_t dib = 0;
    int16_t left = 0, top = 0, width = 0, height = 0;
    uint8_t localPalette = 0, interlaced = 0, zero1 = 0, largestIndex = 0, depthFlag = 0;
    uint8_t disposal = 0, zero2 = 0, transparent = 0, transparentIndex = 0;
    uint16_t delay = 0;
};

int32_t errorForAnswer(int16_t answer) {
    if (answer == 1) return PVE_OK;
    if (answer == PV_ANSWER_COMMENT_TOO_LONG) return PVE_COMMENT_TOO_LONG;
    if (answer == PV_ANSWER_NO_FRAME) return PVE_BAD_FRAME;
    return PVE_CANCELLED;
}

class GifSave {
  public:
    GifSave(int32_t lastFrame, int32_t commentCount, PVGifSaveCallback cb, void* user)
        : lastFrame_(lastFrame), commentCount_(commentCount), cb_(cb), user_(user),
          commentBuffer_(size_t(PV_COMMENT_BUFFER_SIZE)) {}

    void setEffort(const gifenc::LzwEffort& effort, bool quietBlocks) {
        gif_.setEffort(effort);
        quietBlocks_ = quietBlocks;
    }
    int32_t run(const char* file, int32_t screenWidth, int32_t screenHeight,
                int32_t backgroundIndex, int32_t loops);

  private:
    int16_t ask(int16_t code, int16_t frame, FrameFields& f);
    int32_t progress(int16_t percent, int16_t frame);
    int32_t collectComments();
    int32_t askFrame(int16_t index, FrameFields& f, gifenc::DibFrame& frame);
    int32_t writeFrame(const FrameFields& f, gifenc::DibFrame& frame);

    const int32_t lastFrame_;
    const int32_t commentCount_;
    const PVGifSaveCallback cb_;
    void* const user_;
    std::vector<char> commentBuffer_;
    gifenc::MemorySink comments_;
    gifenc::AtomicFileSink file_;
    gifenc::GifEncoder gif_{file_}; // one for the file: it knows the global table
    std::vector<uint8_t> global_;
    uint32_t extentWidth_ = 0, extentHeight_ = 0;
    bool quietBlocks_ = false;
};

int16_t GifSave::ask(int16_t code, int16_t frame, FrameFields& f) {
    f = FrameFields{};
    return cb_(&f.dib, &f.left, &f.top, &f.width, &f.height, &f.localPalette, &f.interlaced,
               &f.zero1, &f.largestIndex, &f.depthFlag, &f.disposal, &f.zero2, &f.transparent,
               &f.delay, &f.transparentIndex, commentBuffer_.data(), PV_COMMENT_BUFFER_SIZE, frame,
               code, user_);
}

int32_t GifSave::progress(int16_t percent, int16_t frame) {
    FrameFields unused;
    return errorForAnswer(ask(percent, frame, unused));
}

// Each comment is the text before the first NUL of the zeroed buffer; a
// buffer with no NUL left means the text did not fit.
int32_t GifSave::collectComments() {
    gifenc::GifEncoder spool(comments_);
    for (int32_t c = 0; c < commentCount_; ++c) {
        std::memset(commentBuffer_.data(), 0, commentBuffer_.size());
        FrameFields ignored; // the callback fills frame 0's fields too
        const int32_t answer = errorForAnswer(ask(PV_CODE_COMMENT, 0, ignored));
        if (answer != PVE_OK) return answer;
        const void* end = std::memchr(commentBuffer_.data(), 0, commentBuffer_.size());
        if (!end) return PVE_COMMENT_TOO_LONG;
        const size_t length = size_t(static_cast<const char*>(end) - commentBuffer_.data());
        if (comments_.written() + length > kMaxCommentBytes) return PVE_COMMENT_TOO_LONG;
        // An empty comment is left out: an extension without sub-blocks
        // makes giflib's DGifSlurp (5.2) lose its place and refuse the file.
        if (length > 0) spool.comment(commentBuffer_.data(), length);
    }
    return PVE_OK;
}

int32_t GifSave::askFrame(int16_t index, FrameFields& f, gifenc::DibFrame& frame) {
    const int32_t answer = errorForAnswer(ask(PV_CODE_FRAME, index, f));
    if (answer != PVE_OK) return answer;
    return frame.load(f.dib);
}

int32_t GifSave::writeFrame(const FrameFields& f, gifenc::DibFrame& frame) {
    gifenc::ControlInfo control;
    control.disposal = uint8_t(f.disposal & 7);
    control.transparent = f.transparent != 0;
    control.transparentIndex = f.transparentIndex;
    control.delay = f.delay;
    // The picture is the truth for the size; the callback's width and height
    // are not used. Positions cannot be negative in a GIF.
    gifenc::ImageInfo info;
    info.left = uint16_t(std::max<int16_t>(f.left, 0));
    info.top = uint16_t(std::max<int16_t>(f.top, 0));
    info.width = uint16_t(frame.width());
    info.height = uint16_t(frame.height());
    info.interlaced = f.interlaced != 0;
    info.transparentIndex = control.transparent ? control.transparentIndex : -1;
    // A table that differs from the global one must travel with the frame,
    // or its pixels would show the global table's colours; a reduced
    // true-colour frame always carries its own.
    if (f.localPalette || frame.reduced() || !frame.sameTable(global_)) {
        info.localRgb = frame.rgb().data();
        info.localColors = frame.colors();
    }
    extentWidth_ = std::max<uint32_t>(extentWidth_, uint32_t(info.left) + info.width);
    extentHeight_ = std::max<uint32_t>(extentHeight_, uint32_t(info.top) + info.height);
    // Without the block a decoder takes the same: no delay, no transparency,
    // nothing disposed.
    const bool quiet =
        quietBlocks_ && control.disposal <= 1 && !control.transparent && control.delay == 0;
    if ((!quiet && !gif_.graphicControl(control)) || !gif_.image(info, frame)) return PVE_WRITE;
    return PVE_OK;
}

int32_t GifSave::run(const char* file, int32_t screenWidth, int32_t screenHeight,
                     int32_t backgroundIndex, int32_t loops) {
    int32_t result = progress(0, 0);
    if (result == PVE_OK) result = collectComments();
    if (result != PVE_OK) return result;

    FrameFields fields;
    gifenc::DibFrame frame;
    if ((result = askFrame(0, fields, frame)) != PVE_OK) return result;
    global_ = frame.rgb();

    if (!file_.open(file)) return PVE_CREATE;
    gifenc::ScreenInfo screen;
    // A size of 0 is settled once every frame is known; frame 0's extent
    // stands in until then.
    const uint32_t frame0Width = uint32_t(std::max<int16_t>(fields.left, 0)) + frame.width();
    const uint32_t frame0Height = uint32_t(std::max<int16_t>(fields.top, 0)) + frame.height();
    screen.width = uint16_t(screenWidth ? uint32_t(screenWidth) : std::min(frame0Width, 65535u));
    screen.height =
        uint16_t(screenHeight ? uint32_t(screenHeight) : std::min(frame0Height, 65535u));
    screen.globalRgb = global_.data();
    screen.globalColors = int(global_.size() / 3);
    const int32_t tableSize = 1 << gifenc::tableBits(screen.globalColors);
    screen.background = uint8_t(std::clamp(backgroundIndex, 0, tableSize - 1));
    if (!gif_.begin(screen)) return PVE_WRITE;
    if ((lastFrame_ > 0 && !quietBlocks_) || loops != 1) {
        if (!gif_.loopExtension(uint16_t(std::clamp(loops, 0, 65535)))) return PVE_WRITE;
    }
    const auto& spooled = comments_.bytes();
    if (!spooled.empty() && !file_.write(spooled.data(), spooled.size())) return PVE_WRITE;
    comments_.clear();

    for (int32_t i = 0; i <= lastFrame_; ++i) {
        if (i > 0 && (result = askFrame(int16_t(i), fields, frame)) != PVE_OK) return result;
        if ((result = writeFrame(fields, frame)) != PVE_OK) return result;
        const int32_t percent = (i + 1) * 100 / (lastFrame_ + 1);
        if ((result = progress(int16_t(percent), int16_t(i))) != PVE_OK) return result;
    }
    if (!gif_.end()) return PVE_WRITE;
    if (screenWidth == 0 || screenHeight == 0) {
        const uint32_t w = screenWidth ? uint32_t(screenWidth) : extentWidth_;
        const uint32_t h = screenHeight ? uint32_t(screenHeight) : extentHeight_;
        // What our reader refuses is not written.
        if (!ic::fitsLimits(w, h, 8)) return PVE_TOO_LARGE;
        if (!gif_.patchScreenSize(uint16_t(w), uint16_t(h))) return PVE_WRITE;
    }
    return file_.commit() ? PVE_OK : PVE_WRITE;
}

} // namespace

PVCODEC_API int32_t an_wtgiffiledib(const char* file, int32_t lastFrame, int32_t screenWidth,
                                    int32_t screenHeight, int32_t backgroundIndex, int32_t /*bits*/,
                                    int32_t commentCount, int32_t loops, PVGifSaveCallback cb,
                                    void* user, int16_t options) {
    if (!file || !*file || !cb) return PVE_BAD_ARGUMENT;
    if (lastFrame < 0 || lastFrame > kMaxLastFrame) return PVE_BAD_ARGUMENT;
    if (commentCount < 0 || commentCount > kMaxComments) return PVE_BAD_ARGUMENT;
    if (screenWidth < 0 || screenHeight < 0) return PVE_BAD_ARGUMENT;
    const int lossy = options < 0 ? 0 : options >> PV_SAVE_LOSSY_SHIFT;
    if (options < 0 || lossy > PV_SAVE_LOSSY_MAX) return PVE_BAD_ARGUMENT;
    if (!ic::fitsLimits(uint32_t(screenWidth), uint32_t(screenHeight), 8)) return PVE_TOO_LARGE;
    try {
        // Destroying the session drops the temporary file of a failed save.
        GifSave save(lastFrame, commentCount, cb, user);
        save.setEffort({(options & PV_SAVE_SEARCH_LZW) != 0, lossy},
                       (options & PV_SAVE_QUIET_BLOCKS) != 0);
        return save.run(file, screenWidth, screenHeight, backgroundIndex, loops);
    } catch (const std::bad_alloc&) {
        return PVE_NO_MEMORY;
    } catch (...) {
        return PVE_INTERNAL;
    }
}

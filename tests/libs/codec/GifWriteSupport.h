#pragma once
// Shared by the GIF writer tests: a scripted save callback that serves
// frames and comments and records every call, DIB fixtures, and reading a
// written file back with giflib.
#include "CodecModule.h"
#include "libs/codec/PvCodec.h"
#include "libs/imagecore/Dib.h"
#include "libs/imagecore/DibFixtures.h"
#include "platform/GlobalBlock.h"

#include <cstring>
#include <functional>
#include <gif_lib.h>
#include <string>
#include <utility>
#include <vector>

namespace gifwrite {

struct FrameSpec {
    HGLOBAL dib = 0; // owned by the script
    int16_t left = 0, top = 0;
    uint8_t localPalette = 0, interlaced = 0, disposal = 0, transparent = 0, transparentIndex = 0;
    uint16_t delay = 0;
};

struct Call {
    int16_t code, frame;
    bool operator==(const Call&) const = default;
};

struct SaveScript {
    std::vector<FrameSpec> frames;
    std::vector<std::string> comments;
    std::vector<Call> calls;
    // Overrides the answer of call number n (0-based) when set.
    std::function<int16_t(size_t n, int16_t code, int16_t frame)> answer;
    bool fillWholeCommentBuffer = false;
    size_t commentsServed = 0;

    ~SaveScript() {
        for (auto& f : frames)
            zp::GlobalBlock::freeFully(f.dib);
    }
};

inline int16_t saveCallback(uintptr_t* dib, int16_t* left, int16_t* top, int16_t* width,
                            int16_t* height, uint8_t* localPalette, uint8_t* interlaced,
                            uint8_t* zero1, uint8_t* largestIndex, uint8_t* depthFlag,
                            uint8_t* disposal, uint8_t* zero2, uint8_t* transparent,
                            uint16_t* delay, uint8_t* transparentIndex, char* comment,
                            int32_t commentSize, int16_t frame, int16_t code, void* user) {
    auto& s = *static_cast<SaveScript*>(user);
    const size_t n = s.calls.size();
    s.calls.push_back({code, frame});
    if (s.answer) {
        if (const int16_t a = s.answer(n, code, frame); a != 1) return a;
    }
    if (code >= 0) return 1;
    if (frame < 0 || size_t(frame) >= s.frames.size()) return PV_ANSWER_NO_FRAME;
    if (code == PV_CODE_COMMENT) {
        if (s.fillWholeCommentBuffer) {
            std::memset(comment, 'x', size_t(commentSize));
        } else {
            const std::string& text = s.comments.at(s.commentsServed++);
            if (int32_t(text.size()) >= commentSize) return PV_ANSWER_COMMENT_TOO_LONG;
            std::memcpy(comment, text.c_str(), text.size() + 1);
        }
    }
    const FrameSpec& f = s.frames[size_t(frame)];
    *dib = f.dib;
    *left = f.left;
    *top = f.top;
    *width = *height = 1; // deliberately wrong: the DIB's size must win
    *localPalette = f.localPalette;
    *interlaced = f.interlaced;
    *zero1 = *zero2 = *depthFlag = 0;
    *largestIndex = 255;
    *disposal = f.disposal;
    *transparent = f.transparent;
    *delay = f.delay;
    *transparentIndex = f.transparentIndex;
    return 1;
}

inline std::vector<RGBQUAD> palette(int count, uint32_t seed) {
    std::vector<RGBQUAD> p(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i)
        p[size_t(i)] = {uint8_t(i * 37 + seed), uint8_t(i * 11 + seed * 3), uint8_t(255 - i), 0};
    return p;
}

// A DIB of `bits` whose pixel (x, y) is fn(x, y) (an index, or 0xRRGGBB for 24 bits).
using fixtures::makeDib;

inline int32_t save(const std::string& path, SaveScript& s, int32_t screenW = 0,
                    int32_t screenH = 0, int32_t background = 0, int32_t loops = 1) {
    static auto fn = testsupport::codecProc<PFN_an_wtgiffiledib>("an_wtgiffiledib");
    return fn(path.c_str(), int32_t(s.frames.size()) - 1, screenW, screenH, background, 8,
              int32_t(s.comments.size()), loops, &saveCallback, &s, 0);
}

// A file read back by giflib (DGifSlurp de-interlaces the rasters).
struct GifRead {
    GifFileType* gif = nullptr;
    int error = 0; // giflib's error code when gif is null
    explicit GifRead(const std::string& path) {
        gif = DGifOpenFileName(path.c_str(), &error);
        if (gif && DGifSlurp(gif) != GIF_OK) {
            error = gif->Error;
            DGifCloseFile(gif, nullptr);
            gif = nullptr;
        }
    }
    ~GifRead() {
        if (gif) DGifCloseFile(gif, nullptr);
    }
    GifRead(const GifRead&) = delete;
    GifRead& operator=(const GifRead&) = delete;
};

// What a walk over a GIF's blocks finds: comment texts in file order
// (giflib drops comments without sub-blocks) and each image's LZW minimum
// code size (giflib does not report it).
struct Blocks {
    std::vector<std::string> comments;
    std::vector<int> codeSizes;
};

inline Blocks walkBlocks(const std::vector<unsigned char>& b) {
    Blocks out;
    size_t p = 13;
    if (b.size() < p) return out;
    if (b[10] & 0x80) p += size_t(3) << ((b[10] & 7) + 1);
    auto skipBlocks = [&](std::string* text) {
        while (p < b.size() && b[p] != 0) {
            if (text) text->append(reinterpret_cast<const char*>(&b[p + 1]), b[p]);
            p += size_t(b[p]) + 1;
        }
        ++p;
    };
    while (p < b.size() && b[p] != 0x3B) {
        if (b[p] == 0x21) {
            const bool isComment = b[p + 1] == 0xFE;
            p += 2;
            std::string text;
            skipBlocks(isComment ? &text : nullptr);
            if (isComment) out.comments.push_back(text);
        } else if (b[p] == 0x2C) {
            const uint8_t flags = b[p + 9];
            p += 10;
            if (flags & 0x80) p += size_t(3) << ((flags & 7) + 1);
            out.codeSizes.push_back(b[p++]);
            skipBlocks(nullptr);
        } else {
            break;
        }
    }
    return out;
}

} // namespace gifwrite

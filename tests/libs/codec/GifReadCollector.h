#pragma once
// Records every event an_rdgiffiledib reports, taking each delivered DIB
// apart (and freeing it) the way the program's callback would.
#include "CodecModule.h"
#include "libs/codec/PvCodec.h"
#include "libs/imagecore/Dib.h"
#include "platform/GlobalBlock.h"

#include <string>
#include <vector>

namespace gifread {

struct Event {
    int16_t code = 0;
    bool hasHeader = false, hasDescriptor = false, hasControl = false;
    MyGifHeader header{};
    MyGifImageDescriptor descriptor{};
    MyGifGraphicControlBlock control{};
    int32_t loops = 0;
    std::string comment;
    // The delivered picture, when there was one.
    bool dibValid = false;
    int width = 0, height = 0, bpp = 0;
    uint32_t clrUsed = 0;
    std::vector<RGBQUAD> colours;
    std::vector<uint8_t> indices; // top row first
};

struct Collector {
    std::vector<Event> events;
    int answerZeroAt = -1; // index of the event the callback refuses

    std::vector<const Event*> images() const {
        std::vector<const Event*> out;
        for (const Event& e : events)
            if (e.code == PV_CODE_FRAME || e.code == PV_CODE_SINGLE) out.push_back(&e);
        return out;
    }
    std::vector<int16_t> progress() const {
        std::vector<int16_t> out;
        for (const Event& e : events)
            if (e.code >= 0) out.push_back(e.code);
        return out;
    }
};

inline int16_t collect(uintptr_t dib, const MyGifHeader* header,
                       const MyGifImageDescriptor* descriptor,
                       const MyGifGraphicControlBlock* control, int32_t loops, const char* comment,
                       int16_t code, void* user) {
    auto* c = static_cast<Collector*>(user);
    Event e;
    e.code = code;
    if ((e.hasHeader = header)) e.header = *header;
    if ((e.hasDescriptor = descriptor)) e.descriptor = *descriptor;
    if ((e.hasControl = control)) e.control = *control;
    e.loops = loops;
    e.comment = comment ? comment : "<null>";
    if (dib) {
        zp::GlobalBlock owned(dib);
        zp::GlobalLockGuard lock(dib);
        ic::DibView v;
        if ((e.dibValid = lock && ic::parseDib(lock.data(), owned.size(), v))) {
            e.width = v.width;
            e.height = v.height;
            e.bpp = v.bpp;
            e.clrUsed = v.header->biClrUsed;
            e.colours.assign(v.colors, v.colors + v.colorCount);
            for (int y = 0; y < v.height; ++y)
                for (int x = 0; x < v.width; ++x)
                    e.indices.push_back(v.index(x, y));
        }
    }
    const bool refuse = int(c->events.size()) == c->answerZeroAt;
    c->events.push_back(std::move(e));
    return refuse ? 0 : 1;
}

inline int32_t readAnimated(const std::string& path, Collector& c,
                            uint32_t mapColour = 0xFFFFFFFF) {
    static const auto fn = testsupport::codecProc<PFN_an_rdgiffiledib>("an_rdgiffiledib");
    return fn ? fn(path.c_str(), mapColour, collect, &c, 0) : -9999;
}

} // namespace gifread

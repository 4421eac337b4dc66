#include "platform/ScannerDevice.h"
#include "platform/GlobalMemory.h"
#include "platform/ScannerWorker.h"

#include <sane/sane.h>
#include <sane/saneopts.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <chrono>
#include <cmath>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

namespace zp::scanner {
namespace {

std::chrono::milliseconds Timeout() {
    return std::chrono::milliseconds(ScannerTimeout());
}

ScanStatus FromSane(SANE_Status status) {
    switch (status) {
    case SANE_STATUS_GOOD:
        return SCAN_OK;
    case SANE_STATUS_CANCELLED:
        return SCAN_CANCELLED;
    case SANE_STATUS_DEVICE_BUSY:
        return SCAN_DEVICE_BUSY;
    case SANE_STATUS_JAMMED:
        return SCAN_JAMMED;
    case SANE_STATUS_NO_DOCS:
        return SCAN_NO_DOCS;
    case SANE_STATUS_COVER_OPEN:
        return SCAN_COVER_OPEN;
    case SANE_STATUS_IO_ERROR:
        return SCAN_IO_ERROR;
    case SANE_STATUS_NO_MEM:
        return SCAN_NO_MEMORY;
    case SANE_STATUS_INVAL:
        return SCAN_OPEN_FAILED;
    default:
        return SCAN_FAILED;
    }
}

std::string Lower(std::string s) {
    for (char& c : s)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// The option helpers run on the worker thread.
struct Option {
    SANE_Int index = -1;
    const SANE_Option_Descriptor* d = nullptr;
};

Option Find(SANE_Handle h, const char* name) {
    for (SANE_Int i = 1;; ++i) {
        const SANE_Option_Descriptor* d = sane_get_option_descriptor(h, i);
        if (!d) return {};
        if (d->name && std::strcmp(d->name, name) == 0) {
            if (!SANE_OPTION_IS_ACTIVE(d->cap) || !SANE_OPTION_IS_SETTABLE(d->cap)) return {};
            return {i, d};
        }
    }
}

bool Numeric(const SANE_Option_Descriptor* d) {
    return (d->type == SANE_TYPE_INT || d->type == SANE_TYPE_FIXED) &&
           d->size == SANE_Int(sizeof(SANE_Word));
}

double ToDouble(const SANE_Option_Descriptor* d, SANE_Word w) {
    return d->type == SANE_TYPE_FIXED ? SANE_UNFIX(w) : double(w);
}

bool Range(SANE_Handle h, const char* name, double& lo, double& hi) {
    const Option o = Find(h, name);
    if (!o.d || !Numeric(o.d) || o.d->constraint_type != SANE_CONSTRAINT_RANGE) return false;
    lo = ToDouble(o.d, o.d->constraint.range->min);
    hi = ToDouble(o.d, o.d->constraint.range->max);
    return true;
}

// A number in the option's unit, clamped to its range or moved to the
// nearest value of its list.
bool SetNumber(SANE_Handle h, const char* name, double value) {
    const Option o = Find(h, name);
    if (!o.d || !Numeric(o.d)) return false;
    if (o.d->constraint_type == SANE_CONSTRAINT_RANGE) {
        value = std::clamp(value, ToDouble(o.d, o.d->constraint.range->min),
                           ToDouble(o.d, o.d->constraint.range->max));
    } else if (o.d->constraint_type == SANE_CONSTRAINT_WORD_LIST) {
        const SANE_Word* list = o.d->constraint.word_list;
        double best = value, distance = -1;
        for (SANE_Int i = 1; i <= list[0]; ++i) {
            const double v = ToDouble(o.d, list[i]);
            if (distance < 0 || std::abs(v - value) < distance)
                best = v, distance = std::abs(v - value);
        }
        value = best;
    }
    SANE_Word word = o.d->type == SANE_TYPE_FIXED ? SANE_FIX(value) : SANE_Word(std::lround(value));
    return sane_control_option(h, o.index, SANE_ACTION_SET_VALUE, &word, nullptr) ==
           SANE_STATUS_GOOD;
}

bool SetString(SANE_Handle h, const char* name, const std::string& value) {
    const Option o = Find(h, name);
    if (!o.d || o.d->type != SANE_TYPE_STRING || o.d->size <= 0) return false;
    std::vector<char> buffer(size_t(o.d->size), '\0');
    std::memcpy(buffer.data(), value.data(), std::min(value.size(), buffer.size() - 1));
    return sane_control_option(h, o.index, SANE_ACTION_SET_VALUE, buffer.data(), nullptr) ==
           SANE_STATUS_GOOD;
}

// The first entry of a string list whose lower-case text holds one of the words.
std::string Entry(SANE_Handle h, const char* name, std::initializer_list<const char*> words) {
    const Option o = Find(h, name);
    if (!o.d || o.d->type != SANE_TYPE_STRING ||
        o.d->constraint_type != SANE_CONSTRAINT_STRING_LIST)
        return {};
    for (const SANE_String_Const* s = o.d->constraint.string_list; *s; ++s)
        for (const char* w : words)
            if (Lower(*s).find(w) != std::string::npos) return *s;
    return {};
}

bool SetText(SANE_Handle h, const std::string& name, const std::string& value) {
    const Option o = Find(h, name.c_str());
    if (!o.d) return false;
    if (o.d->type == SANE_TYPE_STRING) return SetString(h, name.c_str(), value);
    if (o.d->type == SANE_TYPE_BOOL) {
        const std::string v = Lower(value);
        SANE_Bool b = (v == "yes" || v == "true" || v == "1") ? SANE_TRUE : SANE_FALSE;
        return sane_control_option(h, o.index, SANE_ACTION_SET_VALUE, &b, nullptr) ==
               SANE_STATUS_GOOD;
    }
    if (Numeric(o.d)) {
        char* end = nullptr;
        const double v = std::strtod(value.c_str(), &end);
        return end != value.c_str() && SetNumber(h, name.c_str(), v);
    }
    return false;
}

// Sets one edge of the area; inches onto the option's unit. A negative
// value takes the far end of the range.
void SetEdge(SANE_Handle h, const char* name, double inches, int32_t dpi) {
    const Option o = Find(h, name);
    if (!o.d || !Numeric(o.d)) return;
    double value = o.d->unit == SANE_UNIT_PIXEL ? inches * dpi : inches * 25.4;
    double lo = 0, hi = 0;
    if (inches < 0 && Range(h, name, lo, hi)) value = hi;
    SetNumber(h, name, value);
}

// -1000..1000 onto the option's range; 0 stays the device's own setting.
void SetLevel(SANE_Handle h, const char* name, int32_t level) {
    double lo = 0, hi = 0;
    if (level == 0 || !Range(h, name, lo, hi)) return;
    const double mid = lo <= 0 && hi >= 0 ? 0 : (lo + hi) / 2;
    const double f = std::clamp(level, -1000, 1000) / 1000.0;
    SetNumber(h, name, f > 0 ? mid + (hi - mid) * f : mid + (mid - lo) * f);
}

struct Configured {
    ScanStatus status = SCAN_OK;
    bool feeder = false;
};

Configured ConfigureOn(SANE_Handle h, const ScanRequest& r) {
    Configured result;
    const std::string mode = r.Color ? Entry(h, SANE_NAME_SCAN_MODE, {"color", "colour", "rgb"})
                                     : Entry(h, SANE_NAME_SCAN_MODE, {"gray", "grey"});
    if (!mode.empty()) SetString(h, SANE_NAME_SCAN_MODE, mode);
    SetNumber(h, SANE_NAME_BIT_DEPTH, 8);
    SetNumber(h, SANE_NAME_SCAN_RESOLUTION, r.Dpi);
    if (r.Feeder == FEEDER_NONE) {
        // A single page comes from the glass, whatever source the device
        // was left on.
        const std::string flatbed = Entry(h, SANE_NAME_SCAN_SOURCE, {"flatbed", "glass"});
        if (!flatbed.empty()) SetString(h, SANE_NAME_SCAN_SOURCE, flatbed);
    } else {
        const std::string adf =
            Entry(h, SANE_NAME_SCAN_SOURCE, {"adf", "feeder", "automatic document"});
        if (adf.empty() && r.Feeder == FEEDER_REQUIRED) {
            result.status = SCAN_NO_FEEDER;
            return result;
        }
        result.feeder = !adf.empty() && SetString(h, SANE_NAME_SCAN_SOURCE, adf);
    }
    const bool wholeWidth = r.Right <= r.Left, wholeHeight = r.Bottom <= r.Top;
    SetEdge(h, SANE_NAME_SCAN_TL_X, wholeWidth ? 0 : r.Left, r.Dpi);
    SetEdge(h, SANE_NAME_SCAN_TL_Y, wholeHeight ? 0 : r.Top, r.Dpi);
    SetEdge(h, SANE_NAME_SCAN_BR_X, wholeWidth ? -1 : r.Right, r.Dpi);
    SetEdge(h, SANE_NAME_SCAN_BR_Y, wholeHeight ? -1 : r.Bottom, r.Dpi);
    SetLevel(h, SANE_NAME_BRIGHTNESS, r.Brightness);
    SetLevel(h, SANE_NAME_CONTRAST, r.Contrast);
    return result;
}

// One frame of a page as the driver sent it.
struct Frame {
    SANE_Parameters p{};
    std::vector<uint8_t> data;

    int Channels() const { return p.format == SANE_FRAME_RGB ? 3 : 1; }
    // Sample c of pixel (x, y) as 0..255.
    uint8_t Sample(int x, int y, int c) const {
        const size_t row = size_t(y) * size_t(p.bytes_per_line);
        const size_t at = size_t(x) * size_t(Channels()) + size_t(c);
        if (p.depth == 8) return data[row + at];
        if (p.depth == 16) {
            uint16_t v;
            std::memcpy(&v, &data[row + at * 2], 2); // SANE sends host byte order
            return uint8_t(v >> 8);
        }
        const bool set = (data[row + at / 8] >> (7 - at % 8)) & 1;
        // In line art a set bit is black; in colour it is full intensity.
        return p.format == SANE_FRAME_GRAY ? (set ? 0 : 255) : (set ? 255 : 0);
    }
};

// The page as a packed DIB: 8-bit grey or 24-bit colour; 0 when it cannot
// be held.
HGLOBAL PageDib(const std::vector<Frame>& frames) {
    if (frames.empty()) return 0;
    const SANE_Parameters& p = frames.front().p;
    const int width = p.pixels_per_line;
    int height = 0;
    for (const Frame& f : frames) {
        const int lines =
            p.bytes_per_line > 0 ? int(f.data.size() / size_t(f.p.bytes_per_line)) : 0;
        height = height == 0 ? lines : std::min(height, lines);
    }
    if (width <= 0 || height <= 0 || width > 65535 || height > 65535) return 0;
    const bool colour = frames.size() > 1 || p.format != SANE_FRAME_GRAY;
    const int bits = colour ? 24 : 8;
    const size_t stride = (size_t(width) * size_t(bits) + 31) / 32 * 4;
    const size_t table = colour ? 0 : 256 * sizeof(RGBQUAD);
    const uint64_t bytes = sizeof(BITMAPINFOHEADER) + table + stride * size_t(height);
    if (stride * size_t(height) > (uint64_t(1) << 30)) return 0;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes);
    auto* base = static_cast<uint8_t*>(GlobalLock(block));
    if (!base) {
        GlobalFree(block);
        return 0;
    }
    auto* h = reinterpret_cast<BITMAPINFOHEADER*>(base);
    h->biSize = sizeof(BITMAPINFOHEADER);
    h->biWidth = width;
    h->biHeight = height;
    h->biPlanes = 1;
    h->biBitCount = uint16_t(bits);
    h->biSizeImage = uint32_t(stride * size_t(height));
    h->biXPelsPerMeter = h->biYPelsPerMeter = 0;
    h->biClrUsed = colour ? 0 : 256;
    auto* colors = reinterpret_cast<RGBQUAD*>(base + sizeof(BITMAPINFOHEADER));
    if (!colour)
        for (int i = 0; i < 256; ++i)
            colors[i] = {uint8_t(i), uint8_t(i), uint8_t(i), 0};
    uint8_t* pixels = base + sizeof(BITMAPINFOHEADER) + table;
    // Colour from one RGB frame, or one frame per channel (three-pass).
    auto channel = [&](int c) -> const Frame& {
        if (frames.size() == 1) return frames.front();
        const SANE_Frame want = c == 0   ? SANE_FRAME_RED
                                : c == 1 ? SANE_FRAME_GREEN
                                         : SANE_FRAME_BLUE;
        for (const Frame& f : frames)
            if (f.p.format == want) return f;
        return frames.front();
    };
    for (int y = 0; y < height; ++y) {
        uint8_t* row = pixels + stride * size_t(height - 1 - y);
        for (int x = 0; x < width; ++x) {
            if (!colour) {
                row[x] = frames.front().Sample(x, y, 0);
                continue;
            }
            for (int c = 0; c < 3; ++c) {
                const Frame& f = channel(c);
                row[x * 3 + 2 - c] = f.Sample(x, y, f.p.format == SANE_FRAME_RGB ? c : 0);
            }
        }
    }
    GlobalUnlock(block);
    return block;
}

struct ReadResult {
    SANE_Status status = SANE_STATUS_GOOD;
    SANE_Int length = 0;
};

} // namespace

Device::~Device() {
    if (!FHandle) return;
    SANE_Handle h = FHandle;
    if (FAbandoned) {
        Worker::Instance().Later([h] {
            sane_cancel(h);
            sane_close(h);
        });
        return;
    }
    const auto closed = Worker::Instance().Call<bool>(
        [h] {
            sane_cancel(h);
            sane_close(h);
            return true;
        },
        Timeout());
    if (!closed) Worker::Instance().Later([h] { sane_close(h); });
}

ScanStatus Device::TimedOut() {
    // sane_cancel may be called while another call runs (the standard allows
    // it from a signal handler); it makes a blocked read return.
    if (FHandle) sane_cancel(FHandle);
    FAbandoned = true;
    return SCAN_TIMEOUT;
}

ScanStatus Device::Open(const std::string& name) {
    using Opened = std::pair<SANE_Status, SANE_Handle>;
    // An open that answers after the timeout closes what it opened.
    auto late = std::make_shared<std::atomic<bool>>(false);
    const auto opened = Worker::Instance().Call<Opened>(
        [name, late] {
            SANE_Handle h = nullptr;
            const SANE_Status s = sane_open(name.c_str(), &h);
            if (s == SANE_STATUS_GOOD && late->load()) {
                sane_close(h);
                h = nullptr;
            }
            return Opened(s, s == SANE_STATUS_GOOD ? h : nullptr);
        },
        Timeout());
    if (!opened) {
        late->store(true);
        return SCAN_TIMEOUT;
    }
    if (opened->first != SANE_STATUS_GOOD) {
        const ScanStatus s = FromSane(opened->first);
        return s == SCAN_FAILED ? SCAN_OPEN_FAILED : s;
    }
    FHandle = opened->second;
    return SCAN_OK;
}

ScanStatus Device::Configure(const ScanRequest& request, bool& hasFeeder) {
    SANE_Handle h = FHandle;
    const ScanRequest r = request;
    const auto done =
        Worker::Instance().Call<Configured>([h, r] { return ConfigureOn(h, r); }, Timeout());
    if (!done) return TimedOut();
    hasFeeder = done->feeder;
    return done->status;
}

bool Device::SetOption(const std::string& name, const std::string& value) {
    if (!FHandle || FAbandoned) return false;
    SANE_Handle h = FHandle;
    const auto done = Worker::Instance().Call<bool>(
        [h, name, value] { return SetText(h, name, value); }, Timeout());
    if (!done) {
        TimedOut();
        return false;
    }
    return *done;
}

void Device::EndBatch() {
    if (!FHandle || FAbandoned) return;
    SANE_Handle h = FHandle;
    if (!Worker::Instance().Call<bool>(
            [h] {
                sane_cancel(h);
                return true;
            },
            Timeout()))
        TimedOut();
}

ScanStatus Device::ReadPage(HGLOBAL& dib, const std::function<bool(double)>& progress) {
    dib = 0;
    SANE_Handle h = FHandle;
    Worker& worker = Worker::Instance();
    std::vector<Frame> frames;
    auto chunk = std::make_shared<std::vector<uint8_t>>(size_t(64) * 1024);
    for (;;) {
        const auto started = worker.Call<SANE_Status>([h] { return sane_start(h); }, Timeout());
        if (!started) return TimedOut();
        if (*started != SANE_STATUS_GOOD) return FromSane(*started);
        using Params = std::pair<SANE_Status, SANE_Parameters>;
        const auto params = worker.Call<Params>(
            [h] {
                SANE_Parameters p{};
                const SANE_Status s = sane_get_parameters(h, &p);
                return Params(s, p);
            },
            Timeout());
        if (!params) return TimedOut();
        if (params->first != SANE_STATUS_GOOD) return FromSane(params->first);
        Frame frame;
        frame.p = params->second;
        if (frame.p.bytes_per_line <= 0 || frame.p.pixels_per_line <= 0) return SCAN_FAILED;
        const uint64_t expected =
            frame.p.lines > 0 ? uint64_t(frame.p.lines) * uint64_t(frame.p.bytes_per_line) : 0;
        if (expected > (uint64_t(3) << 30)) return SCAN_NO_MEMORY;
        frame.data.reserve(size_t(expected));
        for (;;) {
            const auto read = worker.Call<ReadResult>(
                [h, chunk] {
                    ReadResult r;
                    r.status = sane_read(h, chunk->data(), SANE_Int(chunk->size()), &r.length);
                    return r;
                },
                Timeout());
            if (!read) return TimedOut();
            if (read->status == SANE_STATUS_EOF) break;
            if (read->status != SANE_STATUS_GOOD) return FromSane(read->status);
            if (frame.data.size() + size_t(read->length) > (size_t(3) << 30)) return SCAN_NO_MEMORY;
            frame.data.insert(frame.data.end(), chunk->begin(), chunk->begin() + read->length);
            const double done = expected ? double(frame.data.size()) / double(expected) : 0.5;
            const double passes =
                frame.p.format == SANE_FRAME_GRAY || frame.p.format == SANE_FRAME_RGB ? 1 : 3;
            if (progress && !progress((double(frames.size()) + std::min(done, 1.0)) / passes)) {
                worker.Call<bool>(
                    [h] {
                        sane_cancel(h);
                        return true;
                    },
                    Timeout());
                return SCAN_CANCELLED;
            }
        }
        const bool last = frame.p.last_frame;
        frames.push_back(std::move(frame));
        if (last || frames.size() >= 3) break;
    }
    dib = PageDib(frames);
    return dib ? SCAN_OK : SCAN_NO_MEMORY;
}

} // namespace zp::scanner

#include "bindings/EffectsBinding.h"

#include "bindings/CodecBinding.h"
#include "bindings/LibrarySearch.h"
#include "platform/GlobalBlock.h"
#include "platform/Message.h"
#include "platform/Module.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <vector>

namespace DllSP96 {

uintptr_t EffectsLibrary = 0;

namespace {

struct Releaser {
    ~Releaser() {
        if (EffectsLibrary >= 32) FreeModule(EffectsLibrary);
        EffectsLibrary = 0;
    }
} releaser;

template <class Proc> Proc entry(const char* name) {
    if (EffectsLibrary < 32) {
        EffectsLibrary = bindings::LoadLibraryBySearch(kEffectsDll);
        if (EffectsLibrary < 32) {
            EffectsLibrary = 0;
            ShowMessage((std::string("Can't load ") + kEffectsDll +
                         ". Make sure its located in the application's searchpath.")
                            .c_str());
            return nullptr;
        }
    }
    return reinterpret_cast<Proc>(GetModuleProc(EffectsLibrary, name));
}

// Sets the operation text and runs the call in the fault guard; a fault
// (already shown) answers the value-initialised result.
template <class R, class Call> R call(const char* text, Call&& fn) {
    DLL96V1::CodecStatusText = text;
    R result{};
    int32_t ignored = 0;
    DLL96V1::Guarded(
        [&] {
            result = fn();
            return int32_t(1);
        },
        ignored);
    return result;
}

struct Info {
    bool ok = false;
    int32_t width = 0, height = 0, bits = 0;
};

Info infoOf(HGLOBAL dib) {
    Info info;
    if (GlobalSize(dib) < sizeof(BITMAPINFOHEADER)) return info;
    zp::GlobalLockGuard lock(dib);
    if (!lock) return info;
    const auto* h = lock.as<BITMAPINFOHEADER>();
    info = Info{true, h->biWidth, h->biHeight < 0 ? -h->biHeight : h->biHeight, h->biBitCount};
    return info;
}

// The 24-bit work rule around `run(dib24, right, bottom)`.
template <class Run> HGLOBAL work24(HGLOBAL dib, const Area& area, Run&& run) {
    const Info info = infoOf(dib);
    if (!info.ok) return 0;
    const int32_t right = area.Right ? area.Right : info.width;
    const int32_t bottom = area.Bottom ? area.Bottom : info.height;
    if (info.bits >= 24) return run(dib, right, bottom);
    zp::GlobalBlock copy(IncreaseColors(dib, 24));
    if (!copy) return 0;
    zp::GlobalBlock result(run(copy.get(), right, bottom));
    copy.reset();
    if (!result) return 0;
    return ReduceDib(result.get(), info.bits == 1 ? 4 : info.bits, Progress{});
}

// The common area-effect shape: (dib, left, top, cb, user, args..., bottom, right).
template <class Proc, class... Args>
HGLOBAL areaEffect(const char* name, const char* text, HGLOBAL dib, const Area& a,
                   const Progress& p, Args... args) {
    auto proc = entry<Proc>(name);
    if (!proc) return 0;
    return work24(dib, a, [&](HGLOBAL d, int32_t right, int32_t bottom) {
        return call<HGLOBAL>(text, [&] {
            return proc(d, a.Left, a.Top, p.Callback, p.UserData, args..., bottom, right);
        });
    });
}

HGLOBAL overlay(const char* name, HGLOBAL dib, HGLOBAL over, int32_t red, int32_t x, int32_t y,
                int32_t blue, int32_t green) {
    auto proc = entry<PFN_MergeDib>(name);
    if (!proc) return 0;
    const Info base = infoOf(dib), top = infoOf(over);
    if (!base.ok || !top.ok) return 0;
    zp::GlobalBlock base24(base.bits < 24 ? IncreaseColors(dib, 24) : 0);
    zp::GlobalBlock top24(top.bits < 24 ? IncreaseColors(over, 24) : 0);
    if ((base.bits < 24 && !base24) || (top.bits < 24 && !top24)) return 0;
    zp::GlobalBlock result(call<HGLOBAL>("Merging Image ", [&] {
        return proc(base24 ? base24.get() : dib, top24 ? top24.get() : over, red, x, y, blue,
                    green);
    }));
    if (!result || base.bits >= 24) return result.release();
    return ReduceDib(result.get(), base.bits == 1 ? 4 : base.bits, Progress{});
}

const char* fxName(TFXMethod method, bool dib) {
    switch (method) {
    case FXHorizontal:
        return dib ? "FXSkipHorizontalDib" : "FXSkipHorizontal";
    case FXVertical:
        return dib ? "FXSkipVerticalDib" : "FXSkipVertical";
    case FXDiagonal:
        return dib ? "FXSkipDiagonalsDib" : "FXSkipDiagonals";
    case FXDiagonalSquares:
        return dib ? "FXSkipDiagonalSquaresDib" : "FXSkipDiagonalSquares";
    case FXRectangles:
        return dib ? "FXSkipRectanglesDib" : "FXSkipRectangles";
    default:
        return nullptr;
    }
}

bool transition(TFXMethod method, bool dib, uintptr_t dc, uintptr_t picture, int32_t thickness,
                int32_t delay) {
    const char* name = fxName(method, dib);
    if (!name) return false;
    if (method == FXRectangles) {
        auto proc = entry<PFN_FXSkipRectangles>(name);
        return proc &&
               call<int32_t>("Transition Image ", [&] { return proc(dc, picture, delay); }) == 1;
    }
    auto proc = entry<PFN_FXSkip>(name);
    return proc && call<int32_t>("Transition Image ",
                                 [&] { return proc(dc, picture, thickness, delay); }) == 1;
}

std::array<std::unique_ptr<zp::TBitmap>, 4>& history() {
    static std::array<std::unique_ptr<zp::TBitmap>, 4> entries;
    return entries;
}
bool historyExists = false;

} // namespace

HGLOBAL Blur(HGLOBAL d, const Area& a, const Progress& p, int32_t v) {
    return areaEffect<PFN_Area1>("Blur", "Blurring Image ", d, a, p, v);
}
HGLOBAL Bled(HGLOBAL d, const Area& a, const Progress& p, int32_t v) {
    return areaEffect<PFN_Area1>("Bled", "Bleeding Image ", d, a, p, v);
}
HGLOBAL Better(HGLOBAL d, const Area& a, const Progress& p, int32_t v) {
    return areaEffect<PFN_Area1>("Better", "Sharpen Image ", d, a, p, v);
}
HGLOBAL Edge(HGLOBAL d, const Area& a, const Progress& p, int32_t v) {
    return areaEffect<PFN_Area1>("Edge", "Finding Edges ", d, a, p, v);
}
HGLOBAL Engrave(HGLOBAL d, const Area& a, const Progress& p, int32_t v) {
    return areaEffect<PFN_Area1>("Engrave", "Engraving Image ", d, a, p, v);
}
HGLOBAL OilPainting(HGLOBAL d, const Area& a, const Progress& p, int32_t v) {
    return areaEffect<PFN_Area1>("OilPainting", "Oil Painting Image ", d, a, p, v);
}
HGLOBAL PixelFix(HGLOBAL d, const Area& a, const Progress& p, int32_t v) {
    return areaEffect<PFN_Area1>("PixelFix", "Despeckling Image ", d, a, p, v);
}
HGLOBAL PinchHole(HGLOBAL d, const Area& a, const Progress& p, double v) {
    return areaEffect<PFN_AreaReal>("PinchHole", "Pinching Hole ", d, a, p, v);
}
HGLOBAL Whirl(HGLOBAL d, const Area& a, const Progress& p, double v) {
    return areaEffect<PFN_AreaReal>("Whirl", "Whirling Image ", d, a, p, v);
}
HGLOBAL GrayArea(HGLOBAL d, const Area& a, const Progress& p) {
    return areaEffect<PFN_Area0>("GrayArea", "Applying Gray Area ", d, a, p);
}
HGLOBAL AutoContrast(HGLOBAL d, const Area& a, const Progress& p) {
    return areaEffect<PFN_Area0>("AutoContrast", "Applying Auto Contrast ", d, a, p);
}
HGLOBAL Motion(HGLOBAL d, const Area& a, const Progress& p, int32_t kind, int32_t angle,
               int32_t amount) {
    return areaEffect<PFN_Area3>("Motion", "Motion Blurring Image ", d, a, p, kind, angle, amount);
}
HGLOBAL Spray(HGLOBAL d, const Area& a, const Progress& p, int32_t randomness, int32_t amount) {
    return areaEffect<PFN_Area2>("Spray", "Spraying Image ", d, a, p, randomness, amount);
}
HGLOBAL Jiggle(HGLOBAL d, const Area& a, const Progress& p, int32_t form, int32_t amplitude,
               int32_t period) {
    return areaEffect<PFN_Area3>("Jiggle", "Jiggling Image ", d, a, p, form, amplitude, period);
}
HGLOBAL ThresholdDib(HGLOBAL d, const Area& a, const Progress& p, int32_t antialias,
                     int32_t level) {
    return areaEffect<PFN_Area2>("ThresholdDib", "Applying Threshold ", d, a, p, antialias, level);
}
HGLOBAL FadeDib(HGLOBAL d, const Area& a, const Progress& p, int32_t blue, int32_t green,
                int32_t red, int32_t edge) {
    return areaEffect<PFN_Area4>("FadeDib", "Fading Image ", d, a, p, blue, green, red, edge);
}
HGLOBAL Noise(HGLOBAL d, const Area& a, const Progress& p, int32_t blue, int32_t green, int32_t red,
              int32_t useGrey, int32_t gauss) {
    return areaEffect<PFN_Area5>("Noise", "Noisifying Image ", d, a, p, blue, green, red, useGrey,
                                 gauss);
}
HGLOBAL Enhance(HGLOBAL d, const Area& a, const Progress& p, int32_t gb, int32_t gg, int32_t gr,
                int32_t contrast, int32_t brightness) {
    return areaEffect<PFN_Area5>("Enhance", "Enhancing Image ", d, a, p, gb, gg, gr, contrast,
                                 brightness);
}
HGLOBAL RecToPolar(HGLOBAL d, const Area& a, const Progress& p, int32_t background, int32_t inverse,
                   int32_t angle, int32_t value) {
    return areaEffect<PFN_Area4>("RecToPolar", "Polar Image ", d, a, p, background, inverse, angle,
                                 value);
}
HGLOBAL Wave(HGLOBAL d, const Area& a, const Progress& p, int32_t reflect, int32_t smear,
             double phase, int32_t length, double amplitude) {
    return areaEffect<PFN_Wave>("Wave", "Waving Image ", d, a, p, reflect, smear, phase, length,
                                amplitude);
}

HGLOBAL Curl(HGLOBAL d, const Area& a, const Progress& p, const CurlOptions& o) {
    const auto& f = o.Flags;
    return areaEffect<PFN_Curl>("Curl", "Applying Page Curl ", d, a, p, o.Shading, o.Fore, o.Back,
                                int32_t(f[0]), int32_t(f[1]), int32_t(f[2]), int32_t(f[3]),
                                int32_t(f[4]), int32_t(f[5]), int32_t(f[6]), int32_t(f[7]),
                                int32_t(f[8]), int32_t(f[9]), int32_t(f[10]), int32_t(f[11]));
}

HGLOBAL Mosaic(HGLOBAL d, const Area& a, const Progress& p, const MosaicOptions& o) {
    return areaEffect<PFN_Mosaic>("Mosaic", "Applying Mosaic Effect ", d, a, p, o.Back, o.Fore,
                                  o.Antialias, o.Surface, o.Type, o.Random, o.Light, o.Space,
                                  o.Height, o.Size);
}

HGLOBAL Warp(HGLOBAL d, bool hue, bool saturation, PVWarpCallback vector, const Progress& p,
             int32_t displacement, int32_t steps, int32_t rotation, int32_t scale, bool convolve) {
    auto proc = entry<PFN_Warp>("Warp");
    if (!proc) return 0;
    return work24(d, Area{}, [&](HGLOBAL dib, int32_t, int32_t) {
        return call<HGLOBAL>("Warp disolve Image ", [&] {
            return proc(dib, hue, saturation, vector, p.Callback, p.UserData, displacement, steps,
                        rotation, scale, convolve);
        });
    });
}

HGLOBAL HToneImage(HGLOBAL d, int32_t cellSize, int32_t shape, const Progress& p, double angle) {
    auto proc = entry<PFN_HToneImage>("HToneImage");
    if (!proc) return 0;
    return work24(d, Area{}, [&](HGLOBAL dib, int32_t, int32_t) {
        return call<HGLOBAL>("Half Toning Image ", [&] {
            return proc(dib, cellSize, shape, p.Callback, p.UserData, angle);
        });
    });
}

HGLOBAL ExtrudeDib(HGLOBAL d, int32_t levels, int32_t value, const Progress& p) {
    auto proc = entry<PFN_ExtrudeDib>("ExtrudeDib");
    if (!proc) return 0;
    return work24(d, Area{}, [&](HGLOBAL dib, int32_t, int32_t) {
        return call<HGLOBAL>("Extruding Image ",
                             [&] { return proc(dib, levels, value, p.Callback, p.UserData); });
    });
}

HGLOBAL TileDib(HGLOBAL d, const Progress& p) {
    auto proc = entry<PFN_TileDib>("TileDib");
    if (!proc) return 0;
    return work24(d, Area{}, [&](HGLOBAL dib, int32_t, int32_t) {
        return call<HGLOBAL>("Tiling Image ", [&] { return proc(dib, p.UserData, p.Callback); });
    });
}

HGLOBAL PVBrightness(HGLOBAL d, int32_t amount) {
    auto proc = entry<PFN_PVBrightness>("PVBrightness");
    if (!proc) return 0;
    return work24(d, Area{}, [&](HGLOBAL dib, int32_t, int32_t) {
        return call<HGLOBAL>("Brighten Image ", [&] { return proc(dib, amount); });
    });
}

HGLOBAL PVGamma(HGLOBAL d, int32_t value) {
    auto proc = entry<PFN_PVGamma>("PVGamma");
    if (!proc) return 0;
    return work24(d, Area{}, [&](HGLOBAL dib, int32_t, int32_t) {
        return call<HGLOBAL>("Gamma Correct Image ", [&] { return proc(dib, value); });
    });
}

HGLOBAL ScaleDib(HGLOBAL d, int32_t width, int32_t height, int32_t bits) {
    auto proc = entry<PFN_ScaleDib>("ScaleDib");
    if (!proc) return 0;
    return work24(d, Area{}, [&](HGLOBAL dib, int32_t, int32_t) {
        return call<HGLOBAL>("Resizing Image", [&] { return proc(dib, width, height, bits); });
    });
}

bool pvHueAndSaturation(HGLOBAL& dib, int32_t red, int32_t green, const Progress& p, const Area& a,
                        int32_t brightness, int32_t saturation, int32_t hue, int32_t cyan,
                        int32_t magenta, int32_t yellow, int32_t blue) {
    auto proc = entry<PFN_pvHueAndSaturation>("pvHueAndSaturation");
    if (!proc) return false;
    bool ok = false;
    // The entry replaces the block it is given; run it through the 24-bit
    // rule on a copy so the caller's block is replaced only on success.
    zp::GlobalBlock result(work24(dib, a, [&](HGLOBAL d, int32_t right, int32_t bottom) -> HGLOBAL {
        zp::GlobalBlock work(DLL96V1::CopyDIB(zp::GlobalLockGuard(d).data()));
        if (!work) return 0;
        uintptr_t handle = work.release();
        ok = call<int32_t>("Applying Hue and Saturation ", [&] {
                 return proc(&handle, red, green, p.Callback, p.UserData, a.Left, a.Top, right,
                             bottom, brightness, saturation, hue, cyan, magenta, yellow, blue);
             }) == 1;
        if (!ok) {
            zp::GlobalBlock::freeFully(handle);
            return 0;
        }
        return handle;
    }));
    if (!ok || !result) return false;
    zp::GlobalBlock::freeFully(dib);
    dib = result.release();
    return true;
}

HGLOBAL MergeDib(HGLOBAL dib, HGLOBAL over, int32_t red, int32_t x, int32_t y, int32_t blue,
                 int32_t green) {
    return overlay("MergeDib", dib, over, red, x, y, blue, green);
}

HGLOBAL DropDib(HGLOBAL dib, HGLOBAL over, int32_t red, int32_t x, int32_t y, int32_t blue,
                int32_t green) {
    return overlay("DropDib", dib, over, red, x, y, blue, green);
}

bool PVInvert(HGLOBAL dib) {
    auto proc = entry<PFN_PVInvert>("PVInvert");
    if (!proc) return false;
    bool faulted = true;
    call<int32_t>("Inverting Image", [&] {
        const int32_t r = proc(dib);
        faulted = false;
        return r;
    });
    return !faulted;
}

HGLOBAL PVMirror(HGLOBAL dib, bool vertical, bool horizontal) {
    auto proc = entry<PFN_PVMirror>("PVMirror");
    if (!proc) return 0;
    if (call<int32_t>("Mirroring Image ",
                      [&] { return proc(dib, vertical ? -1 : 0, horizontal ? -1 : 0); }) != 1)
        return 0;
    zp::GlobalLockGuard lock(dib);
    return lock ? DLL96V1::CopyDIB(lock.data()) : 0;
}

bool PVRotate(HGLOBAL& dib, const Area& a, COLORREF fill, double angle) {
    auto proc = entry<PFN_PVRotate>("PVRotate");
    if (!proc) return false;
    const HGLOBAL rotated = work24(dib, a, [&](HGLOBAL d, int32_t right, int32_t bottom) {
        return call<HGLOBAL>("Rotating Image ",
                             [&] { return proc(d, a.Left, a.Top, fill, angle, bottom, right); });
    });
    if (!rotated) return false;
    zp::GlobalBlock::freeFully(dib);
    dib = rotated;
    return true;
}

bool PVRotateBMP(zp::TBitmap& bitmap, const Area& a, bool pushToUndo, COLORREF fill, double angle) {
    auto proc = entry<PFN_PVRotateBMP>("PVRotateBMP");
    if (!proc || bitmap.empty()) return false;
    if (pushToUndo) PushUndo(bitmap);
    // A two-colour bitmap is monochrome: its corners are filled white.
    const bool monochrome =
        bitmap.palette() && GetPaletteEntries(bitmap.palette(), 0, 0, nullptr) == 2;
    const COLORREF colour = monochrome ? RGB(255, 255, 255) : fill;
    uintptr_t handle = bitmap.handle(), palette = bitmap.palette();
    if (call<int32_t>("Rotating Image ", [&] {
            return proc(&handle, &palette, a.Left, a.Top, colour, angle, a.Bottom, a.Right);
        }) != 1)
        return false;
    // The library deleted the old handles and handed new ones.
    bitmap.releaseHandle();
    bitmap.releasePalette();
    bitmap.setHandle(handle);
    bitmap.setPalette(palette);
    return true;
}

HGLOBAL PVReduceColors(HGLOBAL dib, int32_t colours, TSortDither dither) {
    auto proc = entry<PFN_PVReduceColors>("PVReduceColors");
    if (!proc) return 0;
    const int32_t n = std::min(colours, 255);
    return call<HGLOBAL>("Reducing colors ", [&] { return proc(dib, n, int32_t(dither)); });
}

HGLOBAL ReduceDib(HGLOBAL dib, int32_t bits, const Progress& p) {
    auto proc = entry<PFN_ReduceDib>("ReduceDib");
    if (!proc) return 0;
    return call<HGLOBAL>("Reducing colors ",
                         [&] { return proc(dib, bits, 0, p.Callback, p.UserData, 0); });
}

int32_t PVImageCopy(HGLOBAL dib, int32_t newWidth, int32_t newHeight, const BWCopyFlags& flags,
                    const Area& s) {
    auto proc = entry<PFN_PVImageCopy>("PVImageCopy");
    if (!proc) return 0;
    const Info info = infoOf(dib);
    if (!info.ok) return 0;
    int32_t mode = flags.count(C_OR) ? 2 : flags.count(C_AND) ? 1 : 0;
    if (flags.count(C_ANTIALIAS)) mode |= 10;
    if (flags.count(C_ANTIALIAS256)) mode |= 20;
    const int32_t width = newWidth ? newWidth : info.width;
    const int32_t height = newHeight ? newHeight : info.height;
    return call<int32_t>("Resizing Image", [&] {
        return proc(dib, width, height, mode, s.Bottom, s.Right, s.Top, s.Left);
    });
}

HGLOBAL IDDBtoDIB(HBITMAP bitmap, HPALETTE palette, int32_t bits) {
    auto proc = entry<PFN_IDDBtoDIB>("IDDBtoDIB");
    if (!proc) return 0;
    return call<HGLOBAL>("Converting DDB to Dib", [&] { return proc(bitmap, palette, bits); });
}

HGLOBAL IDDBtoDIB(const zp::TBitmap& bitmap, int32_t bits) {
    return IDDBtoDIB(bitmap.handle(), bitmap.palette(), bits);
}

HGLOBAL ScaleToGray(HGLOBAL dib, TScaleToGray mode, int32_t value2, int32_t value3) {
    auto proc = entry<PFN_ScaleToGray>("ScaleToGray");
    if (!proc) return 0;
    return call<HGLOBAL>(std::string("Scaling Image To ").append("Gray").c_str(),
                         [&] { return proc(dib, int32_t(mode), value2, value3); });
}

HGLOBAL IncreaseColors(HGLOBAL dib, int32_t bits) {
    const Info info = infoOf(dib);
    if (!info.ok || info.bits >= bits) return 0;
    zp::GlobalLockGuard lock(dib);
    DLL96V1::CodecStatusText = "Increasing colors ";
    struct Step {
        int32_t from, to;
        HGLOBAL (*convert)(const void*);
    } steps[] = {{1, 4, DLL96V1::DIB1To4}, {1, 8, DLL96V1::DIB1To8},   {1, 24, DLL96V1::DIB1To24},
                 {4, 8, DLL96V1::DIB4To8}, {4, 24, DLL96V1::DIB4To24}, {8, 24, DLL96V1::DIB8To24}};
    for (const Step& s : steps)
        if (s.from == info.bits && s.to == bits) return s.convert(lock.data());
    return 0;
}

bool FXSkip(TFXMethod method, uintptr_t dc, HBITMAP bitmap, int32_t thickness, int32_t delay) {
    return transition(method, false, dc, bitmap, thickness, delay);
}

bool FXSkipDib(TFXMethod method, uintptr_t dc, HGLOBAL dib, int32_t thickness, int32_t delay) {
    return transition(method, true, dc, dib, thickness, delay);
}

bool CopyBitmap(const zp::TBitmap& from, zp::TBitmap& to) {
    if (from.empty()) return false;
    const HBITMAP copy = CreateDeviceBitmap(from.width(), from.height());
    if (!copy) return false;
    std::memcpy(DeviceBitmapBits(copy), from.bits(),
                size_t(from.width()) * size_t(from.height()) * sizeof(uint32_t));
    to.setHandle(copy);
    HPALETTE palette = 0;
    if (const uint32_t n = GetPaletteEntries(from.palette(), 0, 0, nullptr)) {
        std::vector<uint8_t> storage(sizeof(LOGPALETTE) + n * sizeof(PALETTEENTRY));
        auto* log = reinterpret_cast<LOGPALETTE*>(storage.data());
        log->palVersion = 0x300;
        log->palNumEntries = uint16_t(n);
        GetPaletteEntries(from.palette(), 0, n, log->palPalEntry);
        palette = CreatePalette(log);
    }
    to.setPalette(palette);
    return true;
}

void PushUndo(const zp::TBitmap& bitmap) {
    auto& h = history();
    for (auto& entry : h)
        if (!entry) entry = std::make_unique<zp::TBitmap>();
    std::rotate(h.rbegin(), h.rbegin() + 1, h.rend()); // fourth := third ... second := first
    CopyBitmap(bitmap, *h[0]);
    historyExists = true;
}

bool UndoHistoryExists() {
    return historyExists;
}

const zp::TBitmap* UndoEntry(int index) {
    if (index < 0 || index > 3 || !historyExists) return nullptr;
    return history()[size_t(index)].get();
}

} // namespace DllSP96

// The TWAIN wrappers of the codec binding. They share one busy flag: the
// scanner's callbacks pump window messages, and a click that arrives then
// must not start a second scan inside the first.
#include "bindings/CodecBinding.h"
#include "libs/codec/CodecErrors.h"
#include "platform/Gdi.h"
#include "platform/Message.h"
#include "platform/Scanner.h"
#include "platform/ScopeGuards.h"

namespace DLL96V1 {

bool TwainBusy = false;

namespace {

template <class Proc> Proc Entry(const char* name) {
    void* slot = nullptr;
    if (!LoadCodecProc(CodecLibrary, kCodecDll, name, slot)) return nullptr;
    return reinterpret_cast<Proc>(slot);
}

// Runs one TWAIN call under the busy flag; failures (bit 15 set) are
// recorded and shown.
template <class Call> bool Twain(const char* name, Call&& call, bool quietCancel = false) {
    if (TwainBusy) return false;
    const zp::ScopedFlag busy(TwainBusy, true);
    CodecStatusText = "Aquiring Image ";
    int32_t result = 0;
    if (!Guarded([&] { return call(name); }, result)) return false;
    if ((result & 0x8000) == 0 && result >= 0) return true;
    RecordError(CodecLibrary, result);
    if (!(quietCancel && result == ScanError(SCAN_CANCELLED)))
        ShowMessage(CodecLastErrorText.c_str());
    return false;
}

} // namespace

bool selectsource(HWNDLIKE window) {
    return Twain(
        "selectsource",
        [&](const char* name) {
            auto proc = Entry<PFN_selectsource>(name);
            return proc ? proc(window, 0) : int32_t(PVE_INTERNAL);
        },
        true);
}

bool aquiredibimage(HWNDLIKE window, int32_t bits, bool dither, HPALETTE palette, HGLOBAL& dib,
                    void* user, PVProgressCallback cb) {
    dib = 0;
    return Twain("aquiredibimage", [&](const char* name) {
        auto proc = Entry<PFN_aquiredibimage>(name);
        return proc ? proc(window, bits, dither ? 1 : 0, palette, &dib, user, cb, 0)
                    : int32_t(PVE_INTERNAL);
    });
}

bool twain_nu_dib(HWNDLIKE window, const TwainRequest& r, PVScanPageCallback page,
                  PVProgressCallback cb, void* user, int32_t* delivered) {
    int32_t pages = 0;
    const bool ok = Twain("twain_nu_dib", [&](const char* name) {
        auto proc = Entry<PFN_twain_nu_dib>(name);
        if (!proc) return int32_t(PVE_INTERNAL);
        const int32_t result =
            proc(window, r.Left, r.Top, r.Right, r.Bottom, r.Dpi, r.Bits, r.Brightness, r.Contrast,
                 r.Pages, r.ScanType, r.Transfer, page, cb, user, 0);
        pages = result;
        return result;
    });
    if (delivered) *delivered = ok ? pages : 0;
    return ok;
}

bool twain_nu_ddb(HWNDLIKE window, const TwainRequest& r, PVProgressCallback cb, void* user,
                  zp::TBitmap& bitmap) {
    uintptr_t handle = 0, palette = 0;
    const bool ok = Twain("twain_nu_ddb", [&](const char* name) {
        auto proc = Entry<PFN_twain_nu_ddb>(name);
        return proc ? proc(window, r.Left, r.Top, r.Right, r.Bottom, r.Dpi, r.Bits, r.Brightness,
                           r.Contrast, r.Pages, r.ScanType, r.Transfer, nullptr, cb, user, &handle,
                           &palette, 0)
                    : int32_t(PVE_INTERNAL);
    });
    if (ok && handle) {
        bitmap.setHandle(handle);
        bitmap.setPalette(palette);
    } else if (palette) {
        DeleteObject(palette);
    }
    return ok && handle;
}

} // namespace DLL96V1

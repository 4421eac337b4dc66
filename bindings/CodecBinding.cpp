#include "bindings/CodecBinding.h"
#include "bindings/LibrarySearch.h"
#include "libs/codec/CodecErrors.h"
#include "libs/dxf/PvDxf.h"
#include "libs/tiff/PvTiff.h"

#include "platform/Message.h"
#include "platform/Module.h"
#include "platform/Profile.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <new>

namespace fs = std::filesystem;

namespace DLL96V1 {

uintptr_t CodecLibrary = 0;
uintptr_t TiffLibrary = 0;
uintptr_t DxfLibrary = 0;
int16_t CodecLastErrorCode = 0;
std::string CodecLastErrorText;
std::string CodecStatusText;
std::function<uintptr_t()> ActiveWindowProvider;

namespace {

constexpr const char* kFaultMessage =
    "An exception error occured in the pictavo dll. We recommend to exit the application and "
    "to restart it by clicking its icon!";

bool loaded(uintptr_t h) {
    return h >= 32;
}

std::string upper(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return char(std::toupper(c)); });
    return s;
}

std::string lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return s;
}

// Frees the libraries when the program ends.
struct LibraryReleaser {
    ~LibraryReleaser() {
        for (uintptr_t* h : {&CodecLibrary, &TiffLibrary, &DxfLibrary}) {
            if (loaded(*h)) FreeModule(*h);
            *h = 0;
        }
    }
} releaser;

template <class Proc> Proc resolve(uintptr_t& library, const std::string& dll, const char* entry) {
    void* slot = nullptr;
    if (!LoadCodecProc(library, dll, entry, slot)) return nullptr;
    return reinterpret_cast<Proc>(slot);
}

// Reader pattern: load, check the file, guarded call, success test, error.
template <class Call>
bool callReader(uintptr_t& library, const std::string& file, Call&& call, bool zeroIsSuccess) {
    if (!FileLongEnough(library, file)) return false;
    CodecStatusText = "Reading " + file;
    int32_t result = 0;
    if (!Guarded(call, result)) return false;
    if (result > 0 || (zeroIsSuccess && result == 0)) return true;
    RecordError(library, result);
    return false;
}

HGLOBAL convert(const char* entry, const void* dib) {
    auto proc = resolve<PFN_DibConvert>(CodecLibrary, kCodecDll, entry);
    if (!proc) return 0;
    uintptr_t handle = 0;
    int32_t ignored = 0;
    Guarded(
        [&] {
            handle = proc(dib);
            return int32_t(1);
        },
        ignored);
    return handle;
}

} // namespace

void Startup(const std::string& programPath) {
    CodecLastErrorCode = 0;
    CodecLastErrorText.clear();
    CodecStatusText.clear();
    const std::string name = lower(fs::path(programPath).filename().string());
    WritePrivateProfileString("Pictavo Twain", "App Name", name.c_str(), "pvtwain.ini");
}

bool LoadCodecProc(uintptr_t& library, const std::string& fileName, const char* entry,
                   void*& slot) {
    if (!loaded(library)) {
        library = bindings::LoadLibraryBySearch(fileName);
        if (!loaded(library))
            throw ErrorInvalid("Can't load " + fileName +
                               ". Make sure its located in the application's searchpath.");
    }
    const std::string name = upper(fileName);
    const char* init = nullptr;
    if (name.find("PVCX") != std::string::npos)
        init = "InitDll";
    else if (name.find("TIF") != std::string::npos || name.find("DXF") != std::string::npos)
        init = "InitDLL";
    if (!init) {
        ShowMessage("Wrong dll Name in DLL96V1");
        FreeModule(library);
        library = 0;
        return false;
    }
    if (auto initProc = reinterpret_cast<PFN_InitDll>(GetModuleProc(library, init))) {
        const uintptr_t window = ActiveWindowProvider ? ActiveWindowProvider() : 0;
        int32_t ignored = 0;
        Guarded([&] { return initProc(window); }, ignored);
    }
    slot = GetModuleProc(library, entry);
    return slot != nullptr;
}

bool Guarded(const std::function<int32_t()>& call, int32_t& result) {
    try {
        result = call();
        return true;
    } catch (...) {
        // Nothing may cross the boundary; if something does, the library's
        // state is unknown and the user is told so.
        ShowMessage(kFaultMessage);
        return false;
    }
}

void RecordError(uintptr_t library, int32_t result) {
    CodecLastErrorCode = int16_t(result);
    char text[256];
    LoadModuleString(library, uint16_t(result), text, sizeof text);
    CodecLastErrorText = text;
}

bool FileLongEnough(uintptr_t library, const std::string& file) {
    std::error_code ec;
    const auto size = fs::file_size(file, ec);
    std::ifstream probe(file, std::ios::binary);
    if (ec || !probe) {
        RecordError(library, PVE_OPEN);
        return false;
    }
    if (size < 50) {
        RecordError(library, PVE_TOO_SHORT);
        return false;
    }
    return true;
}

bool an_rdgiffiledib(const std::string& file, COLORREF mapColor, PVGifLoadCallback cb, void* user) {
    auto proc = resolve<PFN_an_rdgiffiledib>(CodecLibrary, kCodecDll, "an_rdgiffiledib");
    if (!proc) return false;
    return callReader(
        CodecLibrary, file, [&] { return proc(file.c_str(), mapColor, cb, user, 0); }, true);
}

bool an_wtgiffiledib(const std::string& file, int32_t lastFrame, int32_t screenWidth,
                     int32_t screenHeight, int32_t backgroundIndex, int32_t bits,
                     int32_t commentCount, int32_t loops, PVGifSaveCallback cb, void* user,
                     int16_t options) {
    auto proc = resolve<PFN_an_wtgiffiledib>(CodecLibrary, kCodecDll, "an_wtgiffiledib");
    if (!proc) return false;
    CodecStatusText = std::string("Writing ") + "GIF Stream";
    int32_t result = 0;
    if (!Guarded(
            [&] {
                return proc(file.c_str(), lastFrame, screenWidth, screenHeight, backgroundIndex,
                            bits, commentCount, loops, cb, user, options);
            },
            result))
        return false;
    if (result >= 0) return true;
    RecordError(CodecLibrary, result);
    return false;
}

bool an_gifinfo(const std::string& file, PVGifInfoCallback cb, void* user) {
    auto proc = resolve<PFN_an_gifinfo>(CodecLibrary, kCodecDll, "an_gifinfo");
    if (!proc) return false;
    return callReader(
        CodecLibrary, file, [&] { return proc(file.c_str(), cb, user, 0); }, false);
}

bool readgiffile(const std::string& file, int32_t bits, bool dither, zp::TBitmap& bitmap,
                 void* user, PVProgressCallback cb) {
    auto proc = resolve<PFN_readgiffile>(CodecLibrary, kCodecDll, "readgiffile");
    if (!proc) return false;
    uintptr_t handle = 0, palette = 0;
    int16_t ignored = 0;
    const bool ok = callReader(
        CodecLibrary, file,
        [&] {
            return proc(file.c_str(), bits, dither ? 1 : 0, &handle, &palette, user, cb, 0,
                        &ignored);
        },
        false);
    if (!ok) return false;
    bitmap.setHandle(handle);
    bitmap.setPalette(palette);
    return true;
}

namespace {

// Adapters that put the out-handles where each entry point wants them.
struct StillCall {
    int32_t bits;
    int32_t dither;
    void* user;
    PVProgressCallback cb;
};

bool bitmapReader(const char* entry, const std::string& file, const StillCall& c,
                  zp::TBitmap& bitmap) {
    auto proc = resolve<PFN_readfile>(CodecLibrary, kCodecDll, entry);
    if (!proc) return false;
    uintptr_t handle = 0, palette = 0;
    if (!callReader(
            CodecLibrary, file,
            [&] {
                return proc(file.c_str(), c.bits, c.dither, &handle, &palette, c.user, c.cb, 0);
            },
            false))
        return false;
    bitmap.setHandle(handle);
    bitmap.setPalette(palette);
    return true;
}

bool dibReader(const char* entry, const std::string& file, const StillCall& c, HGLOBAL& dib) {
    auto proc = resolve<PFN_rdfiledib>(CodecLibrary, kCodecDll, entry);
    if (!proc) return false;
    uintptr_t handle = 0;
    if (!callReader(
            CodecLibrary, file,
            [&] { return proc(file.c_str(), c.bits, c.dither, &handle, nullptr, c.user, c.cb, 0); },
            false))
        return false;
    dib = handle;
    return true;
}

} // namespace

#define ZENTROPE_BITMAP_READER(name)                                                               \
    bool name(const std::string& file, int32_t bits, bool dither, zp::TBitmap& bitmap, void* user, \
              PVProgressCallback cb) {                                                             \
        return bitmapReader(#name, file, {bits, dither ? 1 : 0, user, cb}, bitmap);                \
    }
#define ZENTROPE_DIB_READER(name)                                                                  \
    bool name(const std::string& file, int32_t bits, bool dither, HGLOBAL& dib, void* user,        \
              PVProgressCallback cb) {                                                             \
        return dibReader(#name, file, {bits, dither ? 1 : 0, user, cb}, dib);                      \
    }
ZENTROPE_BITMAP_READER(readbmpfile)
ZENTROPE_BITMAP_READER(readicofile)
ZENTROPE_BITMAP_READER(readpcxfile)
ZENTROPE_BITMAP_READER(readpngfile)
ZENTROPE_BITMAP_READER(readtgafile)
ZENTROPE_BITMAP_READER(readepsfile)
ZENTROPE_DIB_READER(rdgiffiledib)
ZENTROPE_DIB_READER(rdbmpfiledib)
ZENTROPE_DIB_READER(rdpngfiledib)
ZENTROPE_DIB_READER(rdpcxfiledib)
ZENTROPE_DIB_READER(readtgafiledib)
ZENTROPE_DIB_READER(readpcdfiledib)
#undef ZENTROPE_BITMAP_READER
#undef ZENTROPE_DIB_READER

bool readjpgfile(const std::string& file, int32_t bits, bool dither, zp::TBitmap& bitmap,
                 void* user, PVProgressCallback cb) {
    auto proc = resolve<PFN_readjpgfile>(CodecLibrary, kCodecDll, "readjpgfile");
    if (!proc) return false;
    uintptr_t handle = 0, palette = 0;
    if (!callReader(
            CodecLibrary, file,
            [&] {
                return proc(file.c_str(), bits, 1, dither ? 1 : 0, &handle, &palette, user, cb, 0);
            },
            false))
        return false;
    bitmap.setHandle(handle);
    bitmap.setPalette(palette);
    return true;
}

bool rdjpgfiledib(const std::string& file, int32_t bits, bool dither, HGLOBAL& dib, void* user,
                  PVProgressCallback cb) {
    auto proc = resolve<PFN_rdjpgfiledib>(CodecLibrary, kCodecDll, "rdjpgfiledib");
    if (!proc) return false;
    uintptr_t handle = 0;
    if (!callReader(
            CodecLibrary, file,
            [&] {
                return proc(file.c_str(), bits, 1, dither ? 1 : 0, &handle, nullptr, user, cb, 0);
            },
            false))
        return false;
    dib = handle;
    return true;
}

bool readpcdfile(const std::string& file, int32_t bits, bool dither, int16_t pcdMode,
                 zp::TBitmap& bitmap, void* user, PVProgressCallback cb) {
    auto proc = resolve<PFN_readpcdfile>(CodecLibrary, kCodecDll, "readpcdfile");
    if (!proc) return false;
    uintptr_t handle = 0, palette = 0;
    if (!callReader(
            CodecLibrary, file,
            [&] {
                return proc(file.c_str(), bits, dither ? 1 : 0, pcdMode, &handle, &palette, user,
                            cb, 0);
            },
            false))
        return false;
    bitmap.setHandle(handle);
    bitmap.setPalette(palette);
    return true;
}

bool getinfo(const std::string& file, int16_t page, TiffInformation& info) {
    auto proc = resolve<PFN_getinfo>(TiffLibrary, kTiffDll, "getinfo");
    if (!proc) return false;
    TiffInformation found;
    if (!callReader(
            TiffLibrary, file,
            [&] {
                return proc(file.c_str(), page, &found.width, &found.height, &found.bits,
                            &found.pageCount, &found.compression, 0);
            },
            false))
        return false;
    info = found;
    return true;
}

bool readtiffile(const std::string& file, int16_t page, int32_t bits, bool dither,
                 zp::TBitmap& bitmap, void* user, PVProgressCallback cb) {
    auto proc = resolve<PFN_readtiffile>(TiffLibrary, kTiffDll, "readtiffile");
    if (!proc) return false;
    uintptr_t handle = 0, palette = 0;
    if (!callReader(
            TiffLibrary, file,
            [&] {
                return proc(file.c_str(), page, bits, dither ? 1 : 0, &handle, &palette, user, cb,
                            0);
            },
            false))
        return false;
    bitmap.setHandle(handle);
    bitmap.setPalette(palette);
    return true;
}

bool readtiffiledib(const std::string& file, int16_t page, int32_t bits, bool dither, HGLOBAL& dib,
                    void* user, PVProgressCallback cb) {
    auto proc = resolve<PFN_readtiffiledib>(TiffLibrary, kTiffDll, "readtiffiledib");
    if (!proc) return false;
    uintptr_t handle = 0;
    if (!callReader(
            TiffLibrary, file,
            [&] { return proc(file.c_str(), page, bits, dither ? 1 : 0, &handle, user, cb, 0); },
            false))
        return false;
    dib = handle;
    return true;
}

bool getdxfinfo(const std::string& file, int32_t& width, int32_t& height, int16_t& bits) {
    auto proc = resolve<PFN_getdxfinfo>(DxfLibrary, kDxfDll, "getdxfinfo");
    if (!proc) return false;
    int32_t w = 0, h = 0;
    int16_t b = 0;
    if (!callReader(
            DxfLibrary, file, [&] { return proc(file.c_str(), &w, &h, &b, 0); }, false))
        return false;
    width = w;
    height = h;
    bits = b;
    return true;
}

bool readdxftoddb(const std::string& file, int32_t bits, bool dither, zp::TBitmap& bitmap,
                  void* user, PVProgressCallback cb) {
    auto proc = resolve<PFN_readdxftoddb>(DxfLibrary, kDxfDll, "readdxftoddb");
    if (!proc) return false;
    uintptr_t handle = 0, palette = 0;
    if (!callReader(
            DxfLibrary, file,
            [&] {
                return proc(file.c_str(), bits, dither ? 1 : 0, &handle, &palette, user, cb, 0);
            },
            false))
        return false;
    bitmap.setHandle(handle);
    bitmap.setPalette(palette);
    return true;
}

bool fileinfo(const std::string& file, FileInformation& info) {
    auto proc = resolve<PFN_fileinfo>(CodecLibrary, kCodecDll, "fileinfo");
    if (!proc) return false;
    char format[PV_FORMAT_TEXT_SIZE] = {};
    char description[PV_DESCRIPTION_TEXT_SIZE] = {};
    PVFileInfo numbers{};
    const bool ok = callReader(
        CodecLibrary, file, [&] { return proc(file.c_str(), format, &numbers, description, 0); },
        false);
    if (!ok) return false;
    format[sizeof format - 1] = description[sizeof description - 1] = '\0';
    info.format = format;
    info.numbers = numbers;
    info.description = description;
    return true;
}

bool DibtoDdb(const void* lockedDib, HBITMAP& bitmap, HPALETTE& palette) {
    auto proc = resolve<PFN_DibtoDdb>(CodecLibrary, kCodecDll, "DibtoDdb");
    if (!proc) return false;
    int32_t result = 0;
    if (!Guarded([&] { return proc(lockedDib, &bitmap, &palette); }, result)) return false;
    if (result > 0) return true;
    RecordError(CodecLibrary, result);
    return false;
}

bool DdbtoDib(HBITMAP bitmap, HPALETTE palette, int32_t bits, int32_t dither, void* user,
              int32_t optimize, int32_t reserved, HGLOBAL& dib) {
    auto proc = resolve<PFN_DdbtoDib>(CodecLibrary, kCodecDll, "DdbtoDib");
    if (!proc) return false;
    CodecStatusText = "Converting DDB to Dib";
    int32_t result = 0;
    uintptr_t handle = 0;
    if (!Guarded(
            [&] { return proc(bitmap, palette, bits, dither, user, optimize, reserved, &handle); },
            result))
        return false;
    if (result > 0) {
        dib = handle;
        return true;
    }
    RecordError(CodecLibrary, result);
    return false;
}

HGLOBAL CopyDIB(const void* dib) {
    return convert("CopyDIB", dib);
}
HGLOBAL DIB1To4(const void* dib) {
    return convert("DIB1To4", dib);
}
HGLOBAL DIB1To8(const void* dib) {
    return convert("DIB1To8", dib);
}
HGLOBAL DIB1To24(const void* dib) {
    return convert("DIB1To24", dib);
}
HGLOBAL DIB4To8(const void* dib) {
    return convert("DIB4To8", dib);
}
HGLOBAL DIB4To24(const void* dib) {
    return convert("DIB4To24", dib);
}
HGLOBAL DIB8To24(const void* dib) {
    return convert("DIB8To24", dib);
}

int32_t DefaultColorDepth() {
    const int32_t bits = ScreenBitsPerPixel();
    if (bits <= 4) return 4;
    if (bits < 16) return 8;
    return 24;
}

std::string SupportedFormatsFilter() {
    struct Media {
        const char* ext;
        const char* entry;
    };
    static const Media media[] = {
        {"WAV", "|Wave Sound    (WAV) |*.WAV"},
        {"MID", "|Midi Sound    (MID) |*.MID"},
        {"RMI", "|RMI Sound    (RMI) |*.RMI"},
        {"AVI", "|Video for Windows    (AVI) |*.AVI"},
        {"MOV", "|Apple Quicktime Video    (MOV) |*.MOV"},
    };
    auto registered = [](const char* ext) {
        char answer[26];
        GetProfileString("mci extensions", ext, "none", answer, sizeof answer);
        return std::string(answer) != "none";
    };
    std::string filter = "All Supported Media Formats|*.BMP;*.CMS;*.GIF;*.JPG;*.PCX;*.PNG;*.SCM;"
                         "*.TIF;*.PCD;*.EMF;*.WMF;*.TGA;";
    for (const Media& m : media)
        if (registered(m.ext)) filter += std::string("*.") + m.ext + ";";
    filter += "|Windows Bitmap    (BMP) |*.BMP|Credit Message    (CMS) |*.CMS"
              "|Compuserve Gif    (GIF) |*.GIF|Jpeg    (JPG) |*.JPG|PaintShop Pro    (PCX) |*.PCX"
              "|Portable Graphics    (PNG) |*.PNG|Scrolling Message    (SCM) |*.SCM"
              "|Tagged Image    (TIF) |*.TIF|Kodak Photo CD    (PCD) |*.PCD"
              "|Windows Metafile    (WMF) |*.WMF|Enhanced Metafile    (EMF) |*.EMF"
              "|Targe Image    (TGA) |*.TGA";
    for (const Media& m : media)
        if (registered(m.ext)) filter += m.entry;
    return filter;
}

std::string TiffCompressionName(int32_t code) {
    switch (code) {
    case 1:
        return "NONE";
    case 2:
        return "CCITT3";
    case 3:
        return "FAXCCITT3";
    case 4:
        return "FAXCCITT4";
    case 5:
        return "LZW";
    case 32773:
        return "PACKBITS";
    default:
        return "UNKNOWN";
    }
}

} // namespace DLL96V1

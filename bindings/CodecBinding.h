#pragma once
// The only road from the program to the run-time-loaded codec, TIFF and DXF
// libraries. Each wrapper loads its library on first use, resolves the entry
// point by name, calls it inside a fault guard, turns a negative result into
// CodecLastErrorCode/CodecLastErrorText and answers a boolean. Libraries stay
// loaded until the program ends. Main thread only.
#include "bindings/ErrorInvalid.h"
#include "libs/codec/PvCodec.h"
#include "platform/TBitmap.h"
#include "platform/WinTypes.h"

#include <cstdint>
#include <functional>
#include <string>

namespace DLL96V1 {

// Windows names of the libraries; the platform's file names are derived
// from them ("PVCX96V3.DLL" -> libpvcx96v3.so).
inline constexpr const char* kCodecDll = "PVCX96V3.DLL";
inline constexpr const char* kTiffDll = "Q3TIF32.DLL";
inline constexpr const char* kDxfDll = "Q3DXF32.DLL";

// Process-wide binding state. A handle below 32 counts as not loaded.
extern uintptr_t CodecLibrary;
extern uintptr_t TiffLibrary;
extern uintptr_t DxfLibrary;
extern int16_t CodecLastErrorCode;
extern std::string CodecLastErrorText;
extern std::string CodecStatusText;

// The window handed to each library's initialisation entry point (the
// active window); 0 until the program installs a provider.
extern std::function<uintptr_t()> ActiveWindowProvider;

// Clears the state and records the program's name under "App Name" in the
// "Pictavo Twain" section of pvtwain.ini. programPath may be argv[0].
void Startup(const std::string& programPath);

// Loads the library if needed (program folder, bare name, the folder list,
// that path without extension), runs its initialisation entry point and
// resolves `entry` into `slot`. Throws ErrorInvalid when the library cannot
// be found; answers false for a foreign library name or a missing entry.
bool LoadCodecProc(uintptr_t& library, const std::string& fileName, const char* entry, void*& slot);

// Runs `call` (which answers the library's result) inside the fault guard;
// answers false after showing the guard's message when anything escapes.
bool Guarded(const std::function<int32_t()>& call, int32_t& result);
// Records a failed result: code and the library's text for it.
void RecordError(uintptr_t library, int32_t result);
// False (and an error recorded) for a file under 50 bytes or one that
// cannot be opened; such files never reach a library.
bool FileLongEnough(uintptr_t library, const std::string& file);

// Animated GIF.
bool an_rdgiffiledib(const std::string& file, COLORREF mapColor, PVGifLoadCallback cb, void* user);
bool an_wtgiffiledib(const std::string& file, int32_t lastFrame, int32_t screenWidth,
                     int32_t screenHeight, int32_t backgroundIndex, int32_t bits,
                     int32_t commentCount, int32_t loops, PVGifSaveCallback cb, void* user,
                     int16_t options = 0);
// The structure of a GIF file, without pictures (PvCodec.h, an_gifinfo).
bool an_gifinfo(const std::string& file, PVGifInfoCallback cb, void* user);
// Still GIF: the first picture at the depth asked (0 = as stored).
bool readgiffile(const std::string& file, int32_t bits, bool dither, zp::TBitmap& bitmap,
                 void* user, PVProgressCallback cb);
bool rdgiffiledib(const std::string& file, int32_t bits, bool dither, HGLOBAL& dib, void* user,
                  PVProgressCallback cb);

// The other still readers of the codec: a picture at the depth asked
// (0 = as stored, 1, 4, 8, 24) as a device bitmap or a packed DIB.
bool readbmpfile(const std::string& file, int32_t bits, bool dither, zp::TBitmap& bitmap,
                 void* user, PVProgressCallback cb);
// Icons and cursors: the largest, deepest image; masked pixels white.
bool readicofile(const std::string& file, int32_t bits, bool dither, zp::TBitmap& bitmap,
                 void* user, PVProgressCallback cb);
bool readpcxfile(const std::string& file, int32_t bits, bool dither, zp::TBitmap& bitmap,
                 void* user, PVProgressCallback cb);
bool readpngfile(const std::string& file, int32_t bits, bool dither, zp::TBitmap& bitmap,
                 void* user, PVProgressCallback cb);
bool readtgafile(const std::string& file, int32_t bits, bool dither, zp::TBitmap& bitmap,
                 void* user, PVProgressCallback cb);
bool readepsfile(const std::string& file, int32_t bits, bool dither, zp::TBitmap& bitmap,
                 void* user, PVProgressCallback cb);
bool readjpgfile(const std::string& file, int32_t bits, bool dither, zp::TBitmap& bitmap,
                 void* user, PVProgressCallback cb);
// pcdMode: 0 = 192 x 128, 1 = 384 x 256, 2 = 768 x 512.
bool readpcdfile(const std::string& file, int32_t bits, bool dither, int16_t pcdMode,
                 zp::TBitmap& bitmap, void* user, PVProgressCallback cb);
bool rdbmpfiledib(const std::string& file, int32_t bits, bool dither, HGLOBAL& dib, void* user,
                  PVProgressCallback cb);
bool rdpngfiledib(const std::string& file, int32_t bits, bool dither, HGLOBAL& dib, void* user,
                  PVProgressCallback cb);
bool rdpcxfiledib(const std::string& file, int32_t bits, bool dither, HGLOBAL& dib, void* user,
                  PVProgressCallback cb);
bool readtgafiledib(const std::string& file, int32_t bits, bool dither, HGLOBAL& dib, void* user,
                    PVProgressCallback cb);
bool readpcdfiledib(const std::string& file, int32_t bits, bool dither, HGLOBAL& dib, void* user,
                    PVProgressCallback cb);
bool rdjpgfiledib(const std::string& file, int32_t bits, bool dither, HGLOBAL& dib, void* user,
                  PVProgressCallback cb);

// The TIFF library.
struct TiffInformation {
    int32_t width = 0;
    int32_t height = 0;
    int16_t bits = 0;
    int16_t pageCount = 0;
    int32_t compression = 0;
};
bool getinfo(const std::string& file, int16_t page, TiffInformation& info);
bool readtiffile(const std::string& file, int16_t page, int32_t bits, bool dither,
                 zp::TBitmap& bitmap, void* user, PVProgressCallback cb);
bool readtiffiledib(const std::string& file, int16_t page, int32_t bits, bool dither, HGLOBAL& dib,
                    void* user, PVProgressCallback cb);

// The DXF library.
bool getdxfinfo(const std::string& file, int32_t& width, int32_t& height, int16_t& bits);
bool readdxftoddb(const std::string& file, int32_t bits, bool dither, zp::TBitmap& bitmap,
                  void* user, PVProgressCallback cb);

struct FileInformation {
    std::string format;
    PVFileInfo numbers{};
    std::string description;
};
bool fileinfo(const std::string& file, FileInformation& info);

// DIB <-> device bitmap.
bool DibtoDdb(const void* lockedDib, HBITMAP& bitmap, HPALETTE& palette);
bool DdbtoDib(HBITMAP bitmap, HPALETTE palette, int32_t bits, int32_t dither, void* user,
              int32_t optimize, int32_t reserved, HGLOBAL& dib);
// Depth conversions and copies: a new block, or 0.
HGLOBAL CopyDIB(const void* lockedDib);
HGLOBAL DIB1To4(const void* lockedDib);
HGLOBAL DIB1To8(const void* lockedDib);
HGLOBAL DIB1To24(const void* lockedDib);
HGLOBAL DIB4To8(const void* lockedDib);
HGLOBAL DIB4To24(const void* lockedDib);
HGLOBAL DIB8To24(const void* lockedDib);

// TWAIN (scanners and cameras, bindings/TwainBinding.cpp). window is the
// caller's QWidget* as an opaque handle: the scanner dialogs open over it.
// True while one of the four TWAIN calls runs: the callbacks pump messages,
// so a second TWAIN call made meanwhile does nothing and answers false.
// A failure is recorded and its text shown here, except a cancelled
// source choice, which changes nothing and says nothing.
extern bool TwainBusy;
bool selectsource(HWNDLIKE window);
// One image through the device dialog. palette 0 = a palette of its own.
// True with dib 0 when the user cancelled the dialog.
bool aquiredibimage(HWNDLIKE window, int32_t bits, bool dither, HPALETTE palette, HGLOBAL& dib,
                    void* user, PVProgressCallback cb);
struct TwainRequest {
    float Left = 0, Top = 0, Right = 8.5f, Bottom = 14.0f; // inches
    int32_t Dpi = 100;
    int32_t Bits = 8;
    int32_t Brightness = 0, Contrast = 0;
    int32_t Pages = 1;
    int32_t ScanType = 8; // 8 colour, 2 greyscale, 4 camera
    int32_t Transfer = 1; // 1 document feeder, 2 camera
};
// Pages arrive through page (which owns each block) as they are scanned;
// pages delivered before a failure stay delivered. delivered may be null.
bool twain_nu_dib(HWNDLIKE window, const TwainRequest& request, PVScanPageCallback page,
                  PVProgressCallback cb, void* user, int32_t* delivered = nullptr);
// The first page as a device bitmap with its palette.
bool twain_nu_ddb(HWNDLIKE window, const TwainRequest& request, PVProgressCallback cb, void* user,
                  zp::TBitmap& bitmap);

// The screen's depth mapped to 4, 8 or 24 bits per pixel.
int32_t DefaultColorDepth();
// The open dialog's filter of every supported format; media types only
// when the Windows profile's "mci extensions" section lists them.
std::string SupportedFormatsFilter();
// Name of a TIFF compression code.
std::string TiffCompressionName(int32_t code);

} // namespace DLL96V1

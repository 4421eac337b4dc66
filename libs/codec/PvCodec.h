#pragma once
// The codec library's C boundary (libpvcx96v3.so). The program reaches it
// only through bindings/CodecBinding; this header gives both sides the same
// records and entry-point types. Rules:
//  * entry points answer int32_t: > 0 (or >= 0 where noted) is success, a
//    negative value is an error code whose text is string (uint16_t)code of
//    the module's table, read through PVLoadString;
//  * callbacks answer int16_t, 1 = go on, 0 = stop;
//  * handles are opaque uintptr_t values of the platform library, 0 = none;
//  * colours are 0x00BBGGRR; strings are zero-terminated UTF-8;
//  * nothing throws across this boundary.
#include "platform/WinTypes.h"
#include <cstdint>

#define PVCODEC_API extern "C" __attribute__((visibility("default")))

#pragma pack(push, 1)
// Logical screen. Bytes not named are 0.
struct MyGifHeader {
    uint16_t ScreenWidth;  // 0
    uint16_t ScreenHeight; // 2
    uint8_t Colors;        // 4: global table size, 255 for 256, 0 = no table
    uint8_t Unused5;       // 5
    uint8_t Unused6;       // 6
    uint8_t Reserved;      // 7: the file's pixel aspect ratio byte, carried as is
    COLORREF Background;   // 8: global table entry at the background index (0 without table)
};
static_assert(sizeof(MyGifHeader) == 12);

// One image.
struct MyGifImageDescriptor {
    int16_t Left;         // 0
    int16_t Top;          // 2
    int16_t Width;        // 4
    int16_t Height;       // 6
    uint8_t LocalPalette; // 8: 1 = the image has its own table
    uint8_t Interlaced;   // 9
    uint8_t Unused10;     // 10
    uint8_t LocalColors;  // 11: local table size, 255 for 256
};
static_assert(sizeof(MyGifImageDescriptor) == 12);

// Graphic control extension of one image.
struct MyGifGraphicControlBlock {
    uint8_t Unused0;          // 0
    uint8_t Disposal;         // 1: 0..7 as stored
    uint8_t Unused2;          // 2
    uint8_t Transparent;      // 3: 1 = transparent index valid
    uint16_t Delay;           // 4: hundredths of a second
    uint8_t TransparentIndex; // 6
    uint8_t Unused7;          // 7
};
static_assert(sizeof(MyGifGraphicControlBlock) == 8);

// fileinfo's numeric answers.
struct PVFileInfo {
    int32_t Width;
    int32_t Height;
    int16_t BitsPerPixel;
    int16_t Value1; // GIF: number of images
    int16_t Value2; // GIF: 1 when the first image is interlaced
};

// an_gifinfo's records: a GIF file's structure as stored, without pixels.
// Counts are real entry counts (256 is 256), unlike MyGifHeader's.
struct PVGifStreamInfo {
    uint16_t ScreenWidth;     // 0: a side of 0 in the file takes the first image's extent
    uint16_t ScreenHeight;    // 2
    uint16_t GlobalColors;    // 4: 0 = no global table, else 2..256
    uint8_t BackgroundIndex;  // 6: as stored, even beyond the table
    uint8_t AspectRatio;      // 7: the pixel aspect ratio byte as stored
    uint8_t HasLoopExtension; // 8: 1 = a NETSCAPE2.0 loop block is present
    uint8_t Unused9;          // 9
    uint16_t Loops;           // 10: its count, 0 = forever; 0 without the block
    int32_t ImageCount;       // 12: images of non-zero size
};
static_assert(sizeof(PVGifStreamInfo) == 16);

struct PVGifImageInfo {
    uint16_t Left;            // 0: as stored (may lie outside the screen)
    uint16_t Top;             // 2
    uint16_t Width;           // 4
    uint16_t Height;          // 6
    uint16_t LocalColors;     // 8: 0 = no local table, else 2..256
    uint8_t Interlaced;       // 10
    uint8_t HasControl;       // 11: 1 = a graphic control extension came before it
    uint8_t Disposal;         // 12: 0..7 as stored (0 without control block)
    uint8_t Transparent;      // 13: 1 = TransparentIndex is valid
    uint8_t TransparentIndex; // 14
    uint8_t Filled;           // 15: 1 = the data ended early and the rest was filled
    uint16_t Delay;           // 16: hundredths of a second
    uint16_t Unused18;        // 18
    uint32_t LzwBytes;        // 20: image data bytes, without the code size and sub-block lengths
};
static_assert(sizeof(PVGifImageInfo) == 24);
#pragma pack(pop)

// Event codes of the animated-GIF callbacks. 0..100 = progress in percent.
constexpr int16_t PV_CODE_FRAME = -80;   // an image of an animation
constexpr int16_t PV_CODE_SINGLE = -20;  // the only image of a file
constexpr int16_t PV_CODE_COMMENT = -50; // a comment block
constexpr int16_t PV_ANSWER_NO_FRAME = -100;
constexpr int16_t PV_ANSWER_COMMENT_TOO_LONG = -101;
// an_wtgiffiledib's options.
constexpr int16_t PV_SAVE_SEARCH_LZW = 1;
constexpr int16_t PV_SAVE_QUIET_BLOCKS = 2;
constexpr int PV_SAVE_LOSSY_SHIFT = 2;
constexpr int16_t PV_SAVE_LOSSY_MAX = 200;
// Size of the comment buffer an_wtgiffiledib hands its callback.
constexpr int32_t PV_COMMENT_BUFFER_SIZE = 1 << 20;
// Sizes of fileinfo's text buffers.
constexpr int32_t PV_FORMAT_TEXT_SIZE = 32;
constexpr int32_t PV_DESCRIPTION_TEXT_SIZE = 256;

extern "C" {
typedef int16_t (*PVProgressCallback)(int16_t percent, void* user);

// Load: the codec owns nothing it delivers: `dib` is a new global block the
// callback must free (or keep). The records are valid during the call only.
typedef int16_t (*PVGifLoadCallback)(uintptr_t dib, const MyGifHeader* header,
                                     const MyGifImageDescriptor* descriptor,
                                     const MyGifGraphicControlBlock* control, int32_t loops,
                                     const char* comment, int16_t code, void* user);

// Save: every pointer but `comment` is an out-parameter the callback fills
// for `frame`. The DIB stays the caller's; the codec only reads it.
typedef int16_t (*PVGifSaveCallback)(uintptr_t* dib, int16_t* left, int16_t* top, int16_t* width,
                                     int16_t* height, uint8_t* localPalette, uint8_t* interlaced,
                                     uint8_t* zero1, uint8_t* largestIndex, uint8_t* depthFlag,
                                     uint8_t* disposal, uint8_t* zero2, uint8_t* transparent,
                                     uint16_t* delay, uint8_t* transparentIndex, char* comment,
                                     int32_t commentSize, int16_t frame, int16_t code, void* user);

// an_rdgiffiledib delivers each image as a DIB of the image's own size (1 bit
// for a 2-entry table, 4 bits up to 16, else 8; biClrUsed = the table size;
// raw indices). The table entry at the transparent index is replaced by
// mapColor (0x00BBGGRR); mapColor 0xFFFFFFFF keeps the file's colour.
// Non-comment events pass "" as comment; progress events pass no records.
typedef int32_t (*PFN_an_rdgiffiledib)(const char* file, uint32_t mapColor, PVGifLoadCallback cb,
                                       void* user, int16_t zero);
// Save: an_wtgiffiledib(file, lastFrame 0..32766, screen width and height
// (0 = the union of the frames' extents; refused above 65535 or a byte a
// pixel above 1 GiB, as the reader refuses it), background
// index (clamped into the global table), bits (not used: frame 0's own depth
// decides), commentCount 0..32767, loops (0 = forever; clamped to 0..65535;
// the NETSCAPE2.0 extension is written when lastFrame > 0 or loops != 1),
// callback, user, options). options 0 stores each frame's pixels in one
// greedy LZW pass; PV_SAVE_SEARCH_LZW tries where to send clear codes and
// keeps the smallest stream, starting from the smallest code size that holds
// the frame's largest index; PV_SAVE_QUIET_BLOCKS leaves out blocks that
// say nothing: a frame's graphic control extension with disposal 0 or 1, no
// transparency and delay 0, and the loop extension for loops 1 (a file
// without one is shown once too); (N << PV_SAVE_LOSSY_SHIFT) makes the stream lossy:
// a pixel may take a colour within RGB distance N (1..PV_SAVE_LOSSY_MAX) of
// its own, the transparent index never changing or being taken. Other values
// are refused (PVE_BAD_ARGUMENT). Answers 1 or a negative CodecError. Calls, in order:
//   * progress: code 0, frame 0;
//   * per comment: code -50, frame 0, with `comment` zeroed and commentSize =
//     PV_COMMENT_BUFFER_SIZE; the comment is the text before the first NUL
//     (no NUL in the buffer: PVE_COMMENT_TOO_LONG); the frame fields filled
//     in the same call are ignored. Comments are written after the global
//     table and loop extension, before the first image, one comment
//     extension each; an empty comment is not written (an extension with no
//     sub-blocks makes giflib's DGifSlurp refuse the whole file);
//   * per frame i = 0..lastFrame: code -80, frame i; then progress
//     (percent done, frame i).
// Answers: 1 goes on; -101 fails with PVE_COMMENT_TOO_LONG, -100 with
// PVE_BAD_FRAME, anything else with PVE_CANCELLED; a frame whose dib is 0
// fails with PVE_NO_FRAME. A failed save writes nothing: the file is built
// under a temporary name in the same folder and renamed over the target only
// when complete.
// Frames: the DIB is only read (locked, never changed or freed); its size is
// the image size (width/height from the callback are not used); negative
// left/top become 0. The global table is frame 0's colour table (a 24-bit
// frame 0 is reduced to 8 bits first). A frame carries a local table when
// its localPalette flag is set, when its table differs from the global one
// (else its pixels would show the wrong colours), or when it is 24-bit
// (reduced to 8 bits with its own optimal palette). Tables are stored at a
// power of two entries; pixel indices beyond a DIB's table get black entries.
// Every frame gets a graphic control extension (but see
// PV_SAVE_QUIET_BLOCKS): disposal (low 3 bits), transparency flag and
// index, delay. largestIndex, depthFlag, zero1 and
// zero2 are not used.
typedef int32_t (*PFN_an_wtgiffiledib)(const char* file, int32_t lastFrame, int32_t screenWidth,
                                       int32_t screenHeight, int32_t backgroundIndex, int32_t bits,
                                       int32_t commentCount, int32_t loops, PVGifSaveCallback cb,
                                       void* user, int16_t options);
// an_gifinfo(file, cb, user, 0): the structure of a GIF file, decoded as
// an_rdgiffiledib decodes it (the same images are counted, the same damage
// refused) but with no picture delivered. Calls cb once with image nullptr
// and number -1, then once per image (number 0..) with the stream record
// again. The records are valid during the call only. cb answers 1 to go on;
// anything else stops with PVE_CANCELLED. Answers 1 or a negative
// CodecError; images reported before a failure stay reported.
typedef int16_t (*PVGifInfoCallback)(const PVGifStreamInfo* stream, const PVGifImageInfo* image,
                                     int32_t number, void* user);
typedef int32_t (*PFN_an_gifinfo)(const char* file, PVGifInfoCallback cb, void* user, int16_t zero);
// Still readers: bits 0 = as stored, else 1, 4, 8 or 24; dither 0/1.
typedef int32_t (*PFN_readgiffile)(const char* file, int32_t bits, int32_t dither,
                                   uintptr_t* bitmap, uintptr_t* palette, void* user,
                                   PVProgressCallback cb, int16_t zero, int16_t* imageCount);
typedef int32_t (*PFN_rdgiffiledib)(const char* file, int32_t bits, int32_t dither, uintptr_t* dib,
                                    uintptr_t* palette, void* user, PVProgressCallback cb,
                                    int16_t zero);
// The other still readers. Device-bitmap form (readbmpfile, readpcxfile,
// readpngfile, readtgafile, readepsfile) and DIB form (rdbmpfiledib,
// rdpngfiledib, rdpcxfiledib, readtgafiledib, readpcdfiledib): the same
// arguments as rdgiffiledib. The JPEG pair has a constant 1 before the
// dither flag; readpcdfile takes the Photo CD resolution after it
// (0 = 192 x 128, 1 = 384 x 256, 2 = 768 x 512; the DIB form reads 768 x 512).
typedef int32_t (*PFN_readfile)(const char* file, int32_t bits, int32_t dither, uintptr_t* bitmap,
                                uintptr_t* palette, void* user, PVProgressCallback cb,
                                int16_t zero);
typedef int32_t (*PFN_readjpgfile)(const char* file, int32_t bits, int32_t one, int32_t dither,
                                   uintptr_t* bitmap, uintptr_t* palette, void* user,
                                   PVProgressCallback cb, int16_t zero);
typedef int32_t (*PFN_readpcdfile)(const char* file, int32_t bits, int32_t dither, int16_t pcdMode,
                                   uintptr_t* bitmap, uintptr_t* palette, void* user,
                                   PVProgressCallback cb, int16_t zero);
typedef PFN_readfile PFN_rdfiledib; // the out handle is a packed DIB block
typedef PFN_readjpgfile PFN_rdjpgfiledib;
typedef int32_t (*PFN_fileinfo)(const char* file, char* format, PVFileInfo* info, char* description,
                                int16_t zero);
typedef int32_t (*PFN_DibtoDdb)(const void* lockedDib, uintptr_t* bitmap, uintptr_t* palette);
// dither: 0 none, 1 error diffusion. user: handed to nothing yet (0).
// optimize: 1 = build an optimal palette when the given one cannot serve.
typedef int32_t (*PFN_DdbtoDib)(uintptr_t bitmap, uintptr_t palette, int32_t bits, int32_t dither,
                                void* user, int32_t optimize, int32_t reserved, uintptr_t* dib);
// Depth conversions and copies of a locked packed DIB: a new block or 0.
typedef uintptr_t (*PFN_DibConvert)(const void* lockedDib);
typedef int32_t (*PFN_InitDll)(uintptr_t window);

// TWAIN over the platform scanner (platform/Scanner.h). The window handles
// are the caller's opaque owners, handed on to the program's scanner
// dialogs. Scan type codes: 1 line art and 2 greyscale scan grey; 4 (camera)
// and 8 (256 colours) scan colour. transfer 1 takes a batch through the
// document feeder (refused without one); 2 (camera) takes what the feeder
// holds, or a single picture from a device without one.
// Pages are delivered at `bits` (4 or 8 with an optimal palette of their
// own, 24 true colour); the page callback owns each block and answers 1 to
// go on.
typedef int16_t (*PVScanPageCallback)(uintptr_t dib, void* user);
// selectsource(window, 0): the user chooses the source, which is stored;
// answers 1, or a negative CodecError (PVE_SCAN_BASE + the scanner status;
// a cancelled choice is PVE_SCAN_BASE + SCAN_CANCELLED).
typedef int32_t (*PFN_selectsource)(uintptr_t window, int16_t zero);
// aquiredibimage(window, bits, dither, palette, &dib, user, progress, 0): the
// device dialog, then one page into *dib, mapped onto `palette` when one is
// given (else a palette of its own). Answers 1 with a block, 0 when the
// user cancelled the dialog (no block), or a negative CodecError.
typedef int32_t (*PFN_aquiredibimage)(uintptr_t window, int32_t bits, int32_t dither,
                                      uintptr_t palette, uintptr_t* dib, void* user,
                                      PVProgressCallback cb, int16_t zero);
// twain_nu_dib(window, left, top, right, bottom (inches), dpi, bits,
// brightness, contrast (-1000..1000), pages, scan type, transfer, page
// callback, progress, user, 0): answers the number of pages delivered (bit
// 15 clear) or a negative CodecError (bit 15 set); pages delivered before a
// failure stay delivered. A feeder that runs empty ends the batch normally.
typedef int32_t (*PFN_twain_nu_dib)(uintptr_t window, float left, float top, float right,
                                    float bottom, int32_t dpi, int32_t bits, int32_t brightness,
                                    int32_t contrast, int32_t pages, int32_t scanType,
                                    int32_t transfer, PVScanPageCallback page,
                                    PVProgressCallback cb, void* user, int16_t zero);
// twain_nu_ddb: the same request; the first page comes back as a device
// bitmap and its palette (both the caller's); later pages and `page` are
// not used. The preview scans the flatbed, not the feeder.
typedef int32_t (*PFN_twain_nu_ddb)(uintptr_t window, float left, float top, float right,
                                    float bottom, int32_t dpi, int32_t bits, int32_t brightness,
                                    int32_t contrast, int32_t pages, int32_t scanType,
                                    int32_t transfer, PVScanPageCallback page,
                                    PVProgressCallback cb, void* user, uintptr_t* bitmap,
                                    uintptr_t* palette, int16_t zero);
}

#pragma once
// Scanners and cameras over SANE, standing in for TWAIN. The device chosen
// as source is kept under "Source" in the "Pictavo Twain" section of
// pvtwain.ini. Pages arrive as packed DIBs (8-bit grey with a grey table,
// or 24-bit colour) in new movable blocks that the page callback owns.
//
// Every SANE call runs on a thread of the platform's and is waited for at
// most ScannerTimeout() milliseconds; a driver that does not answer ends the
// scan with SCAN_TIMEOUT (the device is cancelled and closed as soon as the
// driver lets go), so nothing here can hang the caller. Callbacks run on
// the calling thread. Not re-entrant: a scan started from inside a callback
// answers SCAN_IN_USE.
#include "platform/PlatformExport.h"
#include "platform/WinTypes.h"
#include <cstdint>

enum ScanStatus : int32_t {
    SCAN_OK = 0,
    SCAN_NO_DEVICE = -1,    // no scanner is connected, or the source is gone
    SCAN_OPEN_FAILED = -2,  // the device refused to open
    SCAN_NO_FEEDER = -3,    // a batch asked for, the device has no document feeder
    SCAN_NO_DOCS = -4,      // the feeder is empty before the first page
    SCAN_JAMMED = -5,       // the feeder jammed
    SCAN_COVER_OPEN = -6,   // the cover is open
    SCAN_CANCELLED = -7,    // cancelled by the user or the device
    SCAN_IO_ERROR = -8,     // the device stopped talking (unplugged, switched off)
    SCAN_DEVICE_BUSY = -9,  // another program uses the device
    SCAN_TIMEOUT = -10,     // the driver did not answer in time
    SCAN_NO_MEMORY = -11,   // the page is too large to hold
    SCAN_FAILED = -12,      // any other error the driver reports
    SCAN_IN_USE = -13,      // a scan is already running (or a timed-out call still is)
    SCAN_BAD_ARGUMENT = -14 // a null pointer or a value out of range
};

struct ScanDeviceInfo {
    char Name[128]; // the SANE device name, e.g. "test:0"
    char Vendor[64];
    char Model[64];
    char Type[32];
};

// What a scan asks for. Out-of-range values are clamped to what the device
// offers; options the device lacks are left alone.
struct ScanRequest {
    float Left, Top, Right,
        Bottom; // inches; Right <= Left or Bottom <= Top: the whole width/height
    int32_t Dpi;
    int32_t Color;      // 1 colour, 0 grey
    int32_t Brightness; // -1000..1000 onto the device's range; 0 leaves the device's own
    int32_t Contrast;   // likewise
    int32_t Pages;      // at most this many pages (1.. )
    int32_t Feeder;     // see ScanFeeder
};

enum ScanFeeder : int32_t {
    FEEDER_NONE = 0,     // the flatbed when the device has one (else its current source)
    FEEDER_REQUIRED = 1, // the document feeder; SCAN_NO_FEEDER without one
    FEEDER_IF_ANY = 2,   // the feeder when there is one, else a single page
};

// Both callbacks answer 1 to go on, 0 to stop (the scan then ends with
// SCAN_CANCELLED, pages delivered so far kept).
typedef int16_t (*ScanPageCallback)(HGLOBAL dib, void* user);
typedef int16_t (*ScanProgressCallback)(int16_t percent, void* user);

// Dialogs the program supplies (the platform has no widgets). owner is the
// opaque window handle the caller passed in.
struct ScanDialogs {
    // Answers the index chosen from devices, or -1 for cancel.
    int32_t (*ChooseSource)(HWNDLIKE owner, const ScanDeviceInfo* devices, int32_t count,
                            int32_t current, void* user);
    // Edits the request before a single scan; answers 1 to scan, 0 to cancel.
    int32_t (*DeviceSettings)(HWNDLIKE owner, const char* device, ScanRequest* request, void* user);
    void* User;
};
ZP_API void ScannerSetDialogs(const ScanDialogs* dialogs);

// Per SANE call, in milliseconds: "Timeout" (seconds, 60 when absent) of the
// "Pictavo Twain" section of pvtwain.ini until set here (at least 10).
ZP_API int32_t ScannerTimeout();
ZP_API void ScannerSetTimeout(int32_t milliseconds);

// Up to max devices into out; answers the number of devices found (which
// may exceed max) or a negative ScanStatus.
ZP_API int32_t ScannerListDevices(ScanDeviceInfo* out, int32_t max);
// The stored source, or the first device when none is stored or the stored
// one is gone; "" (and SCAN_NO_DEVICE) when no device is connected.
ZP_API int32_t ScannerCurrentSource(char* name, int32_t size);
// Lists the devices and lets the user choose through the ChooseSource
// dialog (without dialogs the current source stays); stores the choice.
// SCAN_CANCELLED when the dialog was cancelled.
ZP_API int32_t ScannerSelectSource(HWNDLIKE owner);
// The DeviceSettings dialog for the current source; 1 scan, 0 cancelled.
// Without dialogs the request is taken as it is.
ZP_API int32_t ScannerDeviceDialog(HWNDLIKE owner, ScanRequest* request);

// Scans from the current source. *delivered counts the pages handed to
// pageCallback. A feeder that runs empty after at least one page ends the
// batch with SCAN_OK. progress (may be null) gets 0..100 over the batch.
ZP_API int32_t ScannerScan(const ScanRequest* request, ScanPageCallback pageCallback,
                           ScanProgressCallback progress, void* user, int32_t* delivered);
// Sets a device option by its SANE name on the device of the running scan
// (from a callback, between pages); value as text ("yes"/"no" for
// switches). Answers 1 when the device took it.
ZP_API int32_t ScannerSetRunningOption(const char* name, const char* value);
// A short English sentence for a status.
ZP_API const char* ScannerStatusText(int32_t status);

#pragma once
// One open SANE device for the length of a scan: its options set from a
// ScanRequest, and its pages read into packed DIBs. Every SANE call goes
// through the Worker with the scanner timeout. Internal to the platform
// library.
#include "platform/Scanner.h"

#include <cstdint>
#include <functional>
#include <string>

typedef void* SANE_Handle;

namespace zp::scanner {

class Device {
  public:
    Device() = default;
    Device(const Device&) = delete;
    Device& operator=(const Device&) = delete;
    // Cancels and closes (after a timeout: as soon as the driver lets go).
    ~Device();

    ScanStatus Open(const std::string& name);
    // Mode, depth, resolution, source, area, brightness and contrast.
    // hasFeeder tells whether a document feeder was chosen.
    ScanStatus Configure(const ScanRequest& request, bool& hasFeeder);
    // Starts and reads one page (all its frames) into a new DIB block.
    // progress gets the fraction of the page read; answering false cancels.
    ScanStatus ReadPage(HGLOBAL& dib, const std::function<bool(double)>& progress);
    // Ends the batch (sane_cancel), as SANE asks after the last page.
    void EndBatch();
    // Sets one option from text; false when the device does not take it.
    bool SetOption(const std::string& name, const std::string& value);

  private:
    ScanStatus TimedOut();

    SANE_Handle FHandle = nullptr;
    bool FAbandoned = false; // a call timed out; the worker closes the device later
};

} // namespace zp::scanner

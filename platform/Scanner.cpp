// The scanner API over the worker and the device: device list, the source
// kept in pvtwain.ini, the program's dialogs, and batch scanning.
#include "platform/Scanner.h"
#include "platform/GlobalMemory.h"
#include "platform/Profile.h"
#include "platform/ScannerDevice.h"
#include "platform/ScannerWorker.h"

#include <sane/sane.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

using zp::scanner::Worker;

const char* const kIni = "pvtwain.ini";
const char* const kSection = "Pictavo Twain";

// 0 until set or read from pvtwain.ini.
std::atomic<int32_t> timeoutMs{0};
ScanDialogs dialogs{};
bool scanning = false;
zp::scanner::Device* running = nullptr;

void Copy(char* to, size_t size, const char* from) {
    std::strncpy(to, from ? from : "", size - 1);
    to[size - 1] = '\0';
}

// The devices, or a negative status.
int32_t Devices(std::vector<ScanDeviceInfo>& out) {
    if (Worker::Instance().Busy()) return SCAN_IN_USE;
    using Listed = std::pair<SANE_Status, std::vector<ScanDeviceInfo>>;
    const auto listed = Worker::Instance().Call<Listed>(
        [] {
            const SANE_Device** list = nullptr;
            Listed result;
            result.first = sane_get_devices(&list, SANE_FALSE);
            for (int i = 0; result.first == SANE_STATUS_GOOD && list && list[i]; ++i) {
                ScanDeviceInfo d{};
                Copy(d.Name, sizeof d.Name, list[i]->name);
                Copy(d.Vendor, sizeof d.Vendor, list[i]->vendor);
                Copy(d.Model, sizeof d.Model, list[i]->model);
                Copy(d.Type, sizeof d.Type, list[i]->type);
                result.second.push_back(d);
            }
            return result;
        },
        std::chrono::milliseconds(ScannerTimeout()));
    if (!listed) return SCAN_TIMEOUT;
    if (listed->first != SANE_STATUS_GOOD) return SCAN_FAILED;
    out = listed->second;
    return int32_t(out.size());
}

std::string StoredSource() {
    char buffer[256] = {};
    GetPrivateProfileString(kSection, "Source", "", buffer, sizeof buffer, kIni);
    return buffer;
}

// The index of the current source in devices, -1 when there are none.
int32_t CurrentIndex(const std::vector<ScanDeviceInfo>& devices) {
    const std::string stored = StoredSource();
    for (size_t i = 0; i < devices.size(); ++i)
        if (stored == devices[i].Name) return int32_t(i);
    return devices.empty() ? -1 : 0;
}

struct Running {
    explicit Running(zp::scanner::Device& d) {
        scanning = true;
        running = &d;
    }
    ~Running() {
        scanning = false;
        running = nullptr;
    }
};

} // namespace

void ScannerSetDialogs(const ScanDialogs* d) {
    dialogs = d ? *d : ScanDialogs{};
}

int32_t ScannerTimeout() {
    if (timeoutMs.load() == 0) {
        // A scanner that warms its lamp up may need longer than a minute
        // to start: "Timeout" (seconds) in pvtwain.ini says how long.
        char buffer[32] = {};
        GetPrivateProfileString(kSection, "Timeout", "60", buffer, sizeof buffer, kIni);
        const long seconds = std::strtol(buffer, nullptr, 10);
        timeoutMs.store(int32_t(std::clamp(seconds, 1L, 3600L) * 1000));
    }
    return timeoutMs.load();
}

void ScannerSetTimeout(int32_t milliseconds) {
    timeoutMs.store(std::max(10, milliseconds));
}

int32_t ScannerListDevices(ScanDeviceInfo* out, int32_t max) {
    if (scanning) return SCAN_IN_USE;
    std::vector<ScanDeviceInfo> devices;
    const int32_t count = Devices(devices);
    if (count < 0) return count;
    for (int32_t i = 0; out && i < std::min(count, max); ++i)
        out[i] = devices[size_t(i)];
    return count;
}

int32_t ScannerCurrentSource(char* name, int32_t size) {
    if (!name || size <= 0) return SCAN_BAD_ARGUMENT;
    name[0] = '\0';
    if (scanning) return SCAN_IN_USE;
    std::vector<ScanDeviceInfo> devices;
    const int32_t count = Devices(devices);
    if (count < 0) return count;
    const int32_t index = CurrentIndex(devices);
    if (index < 0) return SCAN_NO_DEVICE;
    Copy(name, size_t(size), devices[size_t(index)].Name);
    return SCAN_OK;
}

int32_t ScannerSelectSource(HWNDLIKE owner) {
    if (scanning) return SCAN_IN_USE;
    std::vector<ScanDeviceInfo> devices;
    const int32_t count = Devices(devices);
    if (count < 0) return count;
    if (count == 0) return SCAN_NO_DEVICE;
    int32_t chosen = CurrentIndex(devices);
    if (dialogs.ChooseSource) {
        scanning = true; // the dialog runs its own event loop
        chosen = dialogs.ChooseSource(owner, devices.data(), count, chosen, dialogs.User);
        scanning = false;
    }
    if (chosen < 0 || chosen >= count) return SCAN_CANCELLED;
    WritePrivateProfileString(kSection, "Source", devices[size_t(chosen)].Name, kIni);
    return SCAN_OK;
}

int32_t ScannerDeviceDialog(HWNDLIKE owner, ScanRequest* request) {
    if (!request) return SCAN_BAD_ARGUMENT;
    if (!dialogs.DeviceSettings) return 1;
    char device[256];
    const int32_t status = ScannerCurrentSource(device, sizeof device);
    if (status != SCAN_OK) return status;
    scanning = true;
    const int32_t answer = dialogs.DeviceSettings(owner, device, request, dialogs.User);
    scanning = false;
    return answer == 1 ? 1 : 0;
}

int32_t ScannerScan(const ScanRequest* request, ScanPageCallback pageCallback,
                    ScanProgressCallback progress, void* user, int32_t* delivered) {
    if (delivered) *delivered = 0;
    if (!request || !pageCallback || request->Pages < 1 || request->Dpi < 1)
        return SCAN_BAD_ARGUMENT;
    if (scanning || Worker::Instance().Busy()) return SCAN_IN_USE;
    char name[256];
    const int32_t found = ScannerCurrentSource(name, sizeof name);
    if (found != SCAN_OK) return found;

    zp::scanner::Device device;
    const Running guard(device);
    ScanStatus status = device.Open(name);
    bool feeder = false;
    if (status == SCAN_OK) status = device.Configure(*request, feeder);
    // Without a feeder a camera request takes one picture per run.
    const int32_t pages = request->Feeder == FEEDER_IF_ANY && !feeder ? 1 : request->Pages;
    int32_t count = 0;
    for (int32_t page = 0; status == SCAN_OK && page < pages; ++page) {
        HGLOBAL dib = 0;
        status = device.ReadPage(dib, [&](double fraction) {
            if (!progress) return true;
            const double percent = (page + fraction) * 100.0 / pages;
            return progress(int16_t(std::clamp(percent, 0.0, 100.0)), user) == 1;
        });
        if (status == SCAN_NO_DOCS && count > 0) {
            // The feeder ran empty: the batch is complete.
            status = SCAN_OK;
            break;
        }
        if (status != SCAN_OK) break;
        ++count;
        if (delivered) *delivered = count;
        if (pageCallback(dib, user) != 1) status = SCAN_CANCELLED;
    }
    if (status == SCAN_OK || status == SCAN_CANCELLED || status == SCAN_JAMMED ||
        status == SCAN_NO_DOCS || status == SCAN_COVER_OPEN)
        device.EndBatch();
    if (status == SCAN_OK && progress) progress(100, user);
    return status;
}

int32_t ScannerSetRunningOption(const char* name, const char* value) {
    if (!running || !name || !value) return 0;
    return running->SetOption(name, value) ? 1 : 0;
}

const char* ScannerStatusText(int32_t status) {
    switch (status) {
    case SCAN_OK:
        return "The scan is complete.";
    case SCAN_NO_DEVICE:
        return "No scanner or camera is connected.";
    case SCAN_OPEN_FAILED:
        return "The scanner could not be opened.";
    case SCAN_NO_FEEDER:
        return "The scanner has no document feeder.";
    case SCAN_NO_DOCS:
        return "There are no documents in the feeder.";
    case SCAN_JAMMED:
        return "The document feeder jammed.";
    case SCAN_COVER_OPEN:
        return "The scanner cover is open.";
    case SCAN_CANCELLED:
        return "The scan was cancelled.";
    case SCAN_IO_ERROR:
        return "The scanner stopped responding (was it disconnected?).";
    case SCAN_DEVICE_BUSY:
        return "The scanner is in use by another program.";
    case SCAN_TIMEOUT:
        return "The scanner did not answer in time.";
    case SCAN_NO_MEMORY:
        return "The scanned page is too large.";
    case SCAN_IN_USE:
        return "A scan is already running.";
    case SCAN_BAD_ARGUMENT:
        return "The scan settings are not valid.";
    default:
        return "The scanner reported an error.";
    }
}

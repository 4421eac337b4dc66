#include "platform/MediaDevice.h"

#include <filesystem>

namespace zp {

namespace {
constexpr size_t kReadAhead = 3;
const char* const kNoDevice = "No MCI device open";
} // namespace

MediaDevice::~MediaDevice() {
    StopWorker();
}

bool MediaDevice::NoDevice() {
    FError = kNoDevice;
    return false;
}

bool MediaDevice::Open(const std::string& file) {
    Close();
    if (!FDecoder.Open(file)) {
        FError = "The file " + std::filesystem::path(file).filename().string() +
                 " cannot be played: " + FDecoder.Error();
        return false;
    }
    return OpenWith(true);
}

bool MediaDevice::OpenCamera(const std::string& format, const std::string& device) {
    Close();
    if (!FDecoder.OpenDevice(format, device)) {
        FError = "The camera " + device + " cannot be opened: " + FDecoder.Error();
        return false;
    }
    FLive = true;
    return OpenWith(true);
}

bool MediaDevice::OpenWith(bool) {
    FMode = MediaMode::Stopped;
    MediaFrame first;
    if (!TakeNext(first)) {
        FError = "The video holds no picture that can be decoded" +
                 (FDecoder.Error().empty() ? std::string() : ": " + FDecoder.Error());
        Close();
        return false;
    }
    FError.clear();
    Present(std::move(first));
    return true;
}

void MediaDevice::Close() {
    StopWorker();
    FDecoder.Close();
    FAhead.clear();
    FDue.reset();
    FCurrent = MediaFrame();
    FAtEnd = false;
    FLive = false;
    FMode = MediaMode::NotReady;
}

void MediaDevice::StopWorker() {
    if (!FWorker.joinable()) return;
    {
        std::lock_guard lock(FLock);
        FQuit = true;
    }
    FSignal.notify_all();
    FWorker.join();
    // A frame that was due but not collected is the next one again.
    if (FDue) {
        FAhead.push_front(std::move(*FDue));
        FDue.reset();
    }
    FQuit = false;
}

bool MediaDevice::TakeNext(MediaFrame& frame) {
    if (!FAhead.empty()) {
        frame = std::move(FAhead.front());
        FAhead.pop_front();
        return true;
    }
    return FDecoder.Next(frame);
}

void MediaDevice::Present(MediaFrame&& frame) {
    FCurrent = std::move(frame);
    if (FSink) FSink->ShowMediaFrame(FCurrent);
}

bool MediaDevice::Play() {
    if (!IsOpen()) return NoDevice();
    if (FMode == MediaMode::Playing) return true;
    if (FAtEnd && !Seek(0)) return false;
    FEnded = false;
    FShownAt = std::chrono::steady_clock::now();
    FShownFor = FLive ? 0 : FCurrent.durationMs;
    FMode = MediaMode::Playing;
    FWorker = std::thread([this] { Work(); });
    if (OnModeChange) OnModeChange();
    return true;
}

void MediaDevice::Work() {
    std::unique_lock lock(FLock);
    while (!FQuit) {
        while (FAhead.size() < kReadAhead) {
            lock.unlock();
            MediaFrame frame;
            const bool ok = FDecoder.Next(frame);
            lock.lock();
            if (!ok) break;
            FAhead.push_back(std::move(frame));
            if (FQuit) return;
        }
        if (FDue) {
            FSignal.wait(lock, [this] { return FQuit || !FDue; });
            continue;
        }
        if (FAhead.empty()) {
            FEnded = true;
            lock.unlock();
            if (Wake) Wake();
            return;
        }
        const auto dueAt = FShownAt + std::chrono::milliseconds(FShownFor);
        if (FSignal.wait_until(lock, dueAt, [this] { return FQuit; })) return;
        FDue = std::move(FAhead.front());
        FAhead.pop_front();
        lock.unlock();
        if (Wake) Wake();
        lock.lock();
    }
}

bool MediaDevice::Deliver() {
    std::optional<MediaFrame> due;
    bool ended = false;
    {
        std::lock_guard lock(FLock);
        if (FMode != MediaMode::Playing) return false;
        due = std::move(FDue);
        FDue.reset();
        ended = FEnded;
        if (due) {
            FShownAt = std::chrono::steady_clock::now();
            FShownFor = FLive ? 0 : due->durationMs;
        }
    }
    FSignal.notify_all();
    if (due) Present(std::move(*due));
    if (ended) {
        StopWorker();
        FAtEnd = true;
        FMode = MediaMode::Stopped;
        if (OnModeChange) OnModeChange();
    }
    return due.has_value();
}

bool MediaDevice::Pause() {
    if (!IsOpen()) return NoDevice();
    StopWorker();
    FMode = MediaMode::Paused;
    if (OnModeChange) OnModeChange();
    return true;
}

bool MediaDevice::Stop() {
    if (!IsOpen()) return NoDevice();
    StopWorker();
    FMode = MediaMode::Stopped;
    if (OnModeChange) OnModeChange();
    return true;
}

bool MediaDevice::Step(int frames) {
    if (!IsOpen()) return NoDevice();
    if (FMode == MediaMode::Playing) Pause();
    MediaFrame frame;
    bool moved = false;
    for (int i = 0; i < frames; ++i) {
        MediaFrame next;
        if (!TakeNext(next)) {
            FAtEnd = true;
            break;
        }
        frame = std::move(next);
        moved = true;
    }
    if (moved) Present(std::move(frame));
    return true;
}

bool MediaDevice::Back(int frames) {
    if (!IsOpen()) return NoDevice();
    if (FLive) return true;
    const int64_t step = FCurrent.durationMs > 0 ? FCurrent.durationMs : FDecoder.FrameDurationMs();
    return Seek(std::max<int64_t>(0, FCurrent.positionMs - step * frames));
}

bool MediaDevice::Seek(int64_t positionMs) {
    if (!IsOpen()) return NoDevice();
    if (FLive) return true;
    const bool wasPlaying = FMode == MediaMode::Playing;
    StopWorker();
    FAhead.clear();
    if (!FDecoder.Seek(positionMs)) {
        FError = FDecoder.Error();
        return false;
    }
    FAtEnd = false;
    MediaFrame frame;
    if (TakeNext(frame))
        Present(std::move(frame));
    else
        FAtEnd = true;
    if (wasPlaying) {
        FMode = MediaMode::Stopped;
        if (OnModeChange) OnModeChange();
    }
    return true;
}

MediaMode MediaDevice::Mode() const {
    return FMode;
}

int64_t MediaDevice::Length() const {
    const int64_t known = FDecoder.LengthMs();
    if (known > 0) return known;
    return FAtEnd ? FCurrent.positionMs + FCurrent.durationMs : 0;
}

void MediaDevice::SetDisplayRect(int32_t x, int32_t y, int32_t width, int32_t height) {
    FRectX = x;
    FRectY = y;
    FRectW = width;
    FRectH = height;
    if (FSink && !FCurrent.empty()) FSink->ShowMediaFrame(FCurrent);
}

} // namespace zp

#include "platform/ScannerWorker.h"

#include <sane/sane.h>

namespace zp::scanner {

Worker& Worker::Instance() {
    static Worker worker;
    return worker;
}

Worker::Worker() : FThread([this] { Loop(); }) {}

Worker::~Worker() {
    bool idle = false;
    {
        std::lock_guard lock(FMutex);
        idle = !FRunning && FQueue.empty();
        if (idle && FInitialised) FQueue.push_back([] { sane_exit(); });
        FQuit = true;
    }
    FWake.notify_all();
    // A driver that never returned keeps its thread; the process ends anyway.
    if (idle)
        FThread.join();
    else
        FThread.detach();
}

bool Worker::Busy() {
    std::lock_guard lock(FMutex);
    return FRunning || !FQueue.empty();
}

bool Worker::Post(std::function<void()> fn, bool always) {
    {
        std::lock_guard lock(FMutex);
        // Calls are made one at a time, so anything still running or
        // queued belongs to a call that timed out.
        if (!always && (FRunning || !FQueue.empty())) return false;
        FQueue.push_back(std::move(fn));
    }
    FWake.notify_one();
    return true;
}

void Worker::Loop() {
    for (;;) {
        std::function<void()> task;
        {
            std::unique_lock lock(FMutex);
            FWake.wait(lock, [this] { return FQuit || !FQueue.empty(); });
            if (FQueue.empty()) return;
            task = std::move(FQueue.front());
            FQueue.pop_front();
            FRunning = true;
        }
        if (!FInitialised) {
            // SANE is initialised on this thread, like every other call,
            // and reads SANE_CONFIG_DIR then.
            SANE_Int version = 0;
            sane_init(&version, nullptr);
            FInitialised = true;
        }
        task();
        std::lock_guard lock(FMutex);
        FRunning = false;
    }
}

} // namespace zp::scanner

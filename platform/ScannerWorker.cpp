#include "platform/ScannerWorker.h"

#include <sane/sane.h>

namespace zp::scanner {

Worker& Worker::Instance() {
    static Worker worker;
    return worker;
}

Worker::Worker() : FThread([this] { Loop(); }) {}

// No sane_exit at the end: it unloads the backends, which would leave what
// they keep (and leak) without a name for the leak checker, and the system
// releases the devices with the process anyway.
Worker::~Worker() {
    bool idle = false;
    {
        std::lock_guard lock(FMutex);
        idle = !FRunning && FQueue.empty();
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
    return FStuck;
}

void Worker::MarkStuck() {
    std::lock_guard lock(FMutex);
    FStuck = FRunning || !FQueue.empty();
}

bool Worker::Post(std::function<void()> fn, bool always) {
    {
        std::lock_guard lock(FMutex);
        if (!always && FStuck) return false;
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
        // Calls are made one at a time: once the queue is empty, whatever
        // timed out has returned.
        if (FQueue.empty()) FStuck = false;
    }
}

} // namespace zp::scanner

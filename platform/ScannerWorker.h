#pragma once
// Runs the SANE calls on one thread of their own, so that a driver that
// never answers cannot hang the program: the caller waits at most its
// timeout. A call that timed out keeps the worker until it returns; calls
// made meanwhile fail at once, and clean-up work queued with Later() runs
// as soon as the worker is free again. Internal to the platform library.
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

namespace zp::scanner {

class Worker {
  public:
    static Worker& Instance();
    Worker(const Worker&) = delete;
    Worker& operator=(const Worker&) = delete;
    ~Worker();

    // Runs fn on the worker and answers its result; nothing when the worker
    // is still busy with an earlier call or fn did not finish within the
    // timeout. fn must own (or share) everything it touches: after a timeout
    // it runs on while the caller has moved on.
    template <class R>
    std::optional<R> Call(std::function<R()> fn, std::chrono::milliseconds timeout) {
        auto task = std::make_shared<std::packaged_task<R()>>(std::move(fn));
        std::future<R> result = task->get_future();
        if (!Post([task] { (*task)(); }, false)) return std::nullopt;
        if (result.wait_for(timeout) != std::future_status::ready) {
            MarkStuck();
            return std::nullopt;
        }
        return result.get();
    }
    // Queues fn behind whatever the worker is doing; never refused.
    void Later(std::function<void()> fn) { Post(std::move(fn), true); }
    // True while a call that timed out (or its clean-up) still holds the worker.
    bool Busy();

  private:
    Worker();
    bool Post(std::function<void()> fn, bool always);
    void MarkStuck();
    void Loop();

    std::mutex FMutex;
    std::condition_variable FWake;
    std::deque<std::function<void()>> FQueue;
    bool FRunning = false; // a task is being run
    bool FStuck = false;   // a call timed out and has not returned yet
    bool FQuit = false;
    bool FInitialised = false; // sane_init ran (worker thread only, read at exit)
    std::thread FThread;
};

} // namespace zp::scanner

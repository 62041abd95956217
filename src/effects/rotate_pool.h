// A small, reused set of worker threads for the rotation routine.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

namespace Veltrane_B1::rotate_detail {

class WorkerPool {
  public:
    explicit WorkerPool(int maxThreads);
    ~WorkerPool();
    WorkerPool(const WorkerPool&) = delete;
    WorkerPool& operator=(const WorkerPool&) = delete;

    // The pool shared by every call of the routine; its threads start on first use.
    static WorkerPool& Shared();

    // Runs task(context) on `threads` threads, the calling thread being one of them, and returns
    // when every one has returned. Fewer threads run if the system refuses to start more.
    // Calls from several threads are served one after the other.
    void Run(void (*task)(void*), void* context, int threads);

  private:
    void Loop(int index);

    const int maxThreads_;
    std::mutex callMutex_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable done_;
    std::vector<std::thread> workers_;
    std::uint64_t generation_ = 0;
    int participants_ = 0;
    int pending_ = 0;
    void (*task_)(void*) = nullptr;
    void* context_ = nullptr;
    bool stop_ = false;
};

}  // namespace Veltrane_B1::rotate_detail

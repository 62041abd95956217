#include "effects/rotate_pool.h"

#include <system_error>

#include "effects/rotate_kernels.h"

namespace Veltrane_B1::rotate_detail {

WorkerPool::WorkerPool(int maxThreads) : maxThreads_(maxThreads) {
    workers_.reserve(static_cast<std::size_t>(maxThreads > 1 ? maxThreads - 1 : 0));
}

WorkerPool::~WorkerPool() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
    }
    wake_.notify_all();
    for (std::thread& worker : workers_) worker.join();
}

WorkerPool& WorkerPool::Shared() {
    static WorkerPool pool(kMaxThreads);
    return pool;
}

void WorkerPool::Run(void (*task)(void*), void* context, int threads) {
    if (threads > maxThreads_) threads = maxThreads_;
    if (threads <= 1) {
        task(context);
        return;
    }
    std::lock_guard<std::mutex> call(callMutex_);
    {
        std::lock_guard<std::mutex> lock(mutex_);
        while (static_cast<int>(workers_.size()) < threads - 1) {
            try {
                workers_.emplace_back(&WorkerPool::Loop, this, static_cast<int>(workers_.size()));
            } catch (const std::system_error&) {
                break;  // run with the threads we have
            }
        }
        const int available = static_cast<int>(workers_.size());
        participants_ = threads - 1 < available ? threads - 1 : available;
        pending_ = participants_;
        task_ = task;
        context_ = context;
        ++generation_;
    }
    wake_.notify_all();
    task(context);
    std::unique_lock<std::mutex> lock(mutex_);
    done_.wait(lock, [this] { return pending_ == 0; });
}

void WorkerPool::Loop(int index) {
    std::uint64_t seen = 0;
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        wake_.wait(lock, [&] { return stop_ || generation_ != seen; });
        if (stop_) return;
        seen = generation_;
        if (index >= participants_) continue;
        void (*task)(void*) = task_;
        void* context = context_;
        lock.unlock();
        task(context);
        lock.lock();
        if (--pending_ == 0) done_.notify_one();
    }
}

}  // namespace Veltrane_B1::rotate_detail

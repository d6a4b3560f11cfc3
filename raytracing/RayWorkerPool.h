#pragma once
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace Orvanta {

// The ray tracer's worker threads. They run one batch of numbered jobs at a time, fork-join:
// run() hands the indices 0 .. count - 1 out one by one from a single counter under one lock,
// so faster workers take more of them, and returns once every worker has found the counter
// exhausted. Between batches the workers sleep on a condition variable. The destructor shuts the
// pool down in order: it wakes every worker, tells it to stop and joins it.
class RayWorkerPool {
public:
    static constexpr unsigned defaultWorkerCount = 4;

    // Starts the workers. A thread the system refuses to start is left out with a message; with
    // no worker at all, run() does the jobs on the calling thread.
    explicit RayWorkerPool(unsigned workerCount = defaultWorkerCount);
    ~RayWorkerPool();
    RayWorkerPool(const RayWorkerPool&) = delete;
    RayWorkerPool& operator=(const RayWorkerPool&) = delete;

    // Runs job(i) exactly once for every i below count and returns when all have finished.
    // One thread at a time may call it, and a job must not call it again. When a job throws,
    // the indices not yet handed out are skipped and the first exception is rethrown here once
    // the batch has ended.
    void run(uint32_t count, const std::function<void(uint32_t)>& job);

    unsigned workerCount() const { return static_cast<unsigned>(threads.size()); }

private:
    void workerMain();
    // Takes the next index under the lock; false when the batch has none left.
    bool takeIndex(uint32_t& index);

    std::vector<std::thread> threads;
    std::mutex lock;
    std::condition_variable startSignal;
    std::condition_variable doneSignal;
    // Guarded by lock: the batch (its number, job, size and counter), the workers still in it,
    // the stop request and the first failure.
    uint64_t batch = 0;
    const std::function<void(uint32_t)>* job = nullptr;
    uint32_t jobCount = 0;
    uint32_t nextJob = 0;
    unsigned busyWorkers = 0;
    bool stopping = false;
    std::exception_ptr failure;
};

}  // namespace Orvanta

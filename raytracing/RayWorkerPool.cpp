#include "raytracing/RayWorkerPool.h"

#include "platform/Log.h"

#include <system_error>

namespace Orvanta {

RayWorkerPool::RayWorkerPool(unsigned workerCount)
{
    threads.reserve(workerCount);
    for (unsigned i = 0; i < workerCount; ++i) {
        try {
            threads.emplace_back([this] { workerMain(); });
        } catch (const std::system_error& e) {
            logError("ray tracing: worker thread " + std::to_string(i + 1) + " of " + std::to_string(workerCount) +
                     " could not be started (" + e.what() + "); tracing goes on with " +
                     std::to_string(threads.size()));
            break;
        }
    }
}

RayWorkerPool::~RayWorkerPool()
{
    {
        std::lock_guard<std::mutex> guard(lock);
        stopping = true;
    }
    startSignal.notify_all();
    for (std::thread& thread : threads)
        thread.join();
}

bool RayWorkerPool::takeIndex(uint32_t& index)
{
    std::lock_guard<std::mutex> guard(lock);
    if (nextJob >= jobCount)
        return false;
    index = nextJob++;
    return true;
}

void RayWorkerPool::run(uint32_t count, const std::function<void(uint32_t)>& work)
{
    if (threads.empty()) {
        for (uint32_t i = 0; i < count; ++i)
            work(i);
        return;
    }
    {
        std::lock_guard<std::mutex> guard(lock);
        job = &work;
        jobCount = count;
        nextJob = 0;
        busyWorkers = workerCount();
        failure = nullptr;
        ++batch;
    }
    startSignal.notify_all();
    std::exception_ptr thrown;
    {
        std::unique_lock<std::mutex> guard(lock);
        doneSignal.wait(guard, [this] { return busyWorkers == 0; });
        job = nullptr;
        jobCount = 0;
        thrown = failure;
        failure = nullptr;
    }
    if (thrown)
        std::rethrow_exception(thrown);
}

void RayWorkerPool::workerMain()
{
    uint64_t seenBatch = 0;
    for (;;) {
        const std::function<void(uint32_t)>* work = nullptr;
        {
            std::unique_lock<std::mutex> guard(lock);
            startSignal.wait(guard, [&] { return stopping || batch != seenBatch; });
            if (stopping)
                return;
            seenBatch = batch;
            work = job;
        }
        uint32_t index = 0;
        while (takeIndex(index)) {
            try {
                (*work)(index);
            } catch (...) {
                std::lock_guard<std::mutex> guard(lock);
                if (!failure)
                    failure = std::current_exception();
                nextJob = jobCount;
            }
        }
        std::lock_guard<std::mutex> guard(lock);
        if (--busyWorkers == 0)
            doneSignal.notify_one();
    }
}

}  // namespace Orvanta

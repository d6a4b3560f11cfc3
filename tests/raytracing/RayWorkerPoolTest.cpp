#include "raytracing/RayWorkerPool.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <random>
#include <set>
#include <stdexcept>
#include <thread>
#include <vector>

using namespace Orvanta;

namespace {

// Counts worker threads that have run to their end: the counter of a thread is touched in a job
// and its destructor runs as the thread exits.
std::atomic<int> finishedThreads{0};
struct ThreadExitCounter {
    bool touched = false;
    ~ThreadExitCounter()
    {
        if (touched)
            ++finishedThreads;
    }
};
thread_local ThreadExitCounter exitCounter;

// Blocks until `expected` callers are inside at once, or a deadline passes; true when they met.
bool meetAll(std::atomic<int>& arrived, int expected)
{
    ++arrived;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (arrived.load() < expected)
        if (std::chrono::steady_clock::now() > deadline)
            return false;
    return true;
}

}  // namespace

TEST(RayWorkerPool, EveryIndexRunsExactlyOnceOverThousandsOfBatches)
{
    RayWorkerPool pool;
    ASSERT_EQ(pool.workerCount(), 4u);
    std::mt19937 random(7);
    std::vector<std::atomic<int>> runs(400);
    std::set<std::thread::id> workers;
    std::mutex workersLock;
    for (int batch = 0; batch < 3000; ++batch) {
        // Sizes around the worker count, down to empty batches, and some larger ones.
        const uint32_t count = batch % 10 == 0 ? uint32_t(random() % 400) : uint32_t(random() % 9);
        for (auto& r : runs)
            r = 0;
        pool.run(count, [&](uint32_t i) {
            ++runs[i];
            if (batch % 100 == 0) {
                std::lock_guard<std::mutex> guard(workersLock);
                workers.insert(std::this_thread::get_id());
            }
        });
        for (uint32_t i = 0; i < runs.size(); ++i)
            ASSERT_EQ(runs[i].load(), i < count ? 1 : 0) << "batch " << batch << " index " << i;
    }
    EXPECT_EQ(workers.count(std::this_thread::get_id()), 0u) << "jobs ran on the calling thread";
}

TEST(RayWorkerPool, FourWorkersRunAtOnceAndShutdownJoinsThemAll)
{
    finishedThreads = 0;
    {
        RayWorkerPool pool;
        std::atomic<int> arrived{0};
        std::atomic<int> met{0};
        // Each job waits for the other three: only four concurrent workers can finish the batch.
        pool.run(4, [&](uint32_t) {
            exitCounter.touched = true;
            met += meetAll(arrived, 4) ? 1 : 0;
        });
        EXPECT_EQ(met.load(), 4);
        EXPECT_EQ(finishedThreads.load(), 0);
    }
    // The destructor returned only after every worker thread had ended.
    EXPECT_EQ(finishedThreads.load(), 4);
}

TEST(RayWorkerPool, AJobsExceptionReachesTheCallerAndThePoolGoesOn)
{
    RayWorkerPool pool;
    EXPECT_THROW(pool.run(50,
                          [](uint32_t i) {
                              if (i == 3)
                                  throw std::runtime_error("job failed");
                          }),
                 std::runtime_error);
    std::atomic<int> ran{0};
    pool.run(20, [&](uint32_t) { ++ran; });
    EXPECT_EQ(ran.load(), 20);
}

TEST(RayWorkerPool, WithoutWorkersTheCallerDoesTheJobs)
{
    RayWorkerPool pool(0);
    EXPECT_EQ(pool.workerCount(), 0u);
    std::vector<uint32_t> order;
    pool.run(5, [&](uint32_t i) { order.push_back(i); });
    EXPECT_EQ(order, (std::vector<uint32_t>{0, 1, 2, 3, 4}));
}

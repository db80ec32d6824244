#pragma once

#include <QScopeGuard>

#include <algorithm>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

namespace common {

// Makes blocks 0 .. count - 1 on worker threads and hands each to consume in order: a file's
// parts formatted on every core and written one after the other. The worker that made a
// block consumes it too, once the blocks before it are consumed, so that the block is read
// again from the cache of the core that made it; meanwhile the other workers make the next
// blocks. Each worker reuses one block. make(index, block) must only read what other
// threads read too; consume(index, block) runs on one worker at a time. The first exception
// of either stops the rest, and is rethrown here once the workers have ended.
template <typename Block, typename Make, typename Consume>
void MakeInOrder(int count, Make&& make, Consume&& consume)
{
    if (count <= 0)
        return;
    // At most four: beyond that the consuming, one block at a time, sets the pace.
    constexpr int MostWorkers = 4;
    const int workers = std::clamp(int(std::thread::hardware_concurrency()), 1, std::min(count, MostWorkers));
    // A single block, or a single core: a thread would only cost its start.
    if (workers == 1) {
        Block block;
        for (int index = 0; index < count; ++index) {
            make(index, block);
            consume(index, std::as_const(block));
        }
        return;
    }
    std::mutex mutex;
    std::condition_variable changed;
    bool stop = false;
    int consumed = 0; // the blocks consumed so far, which are the first ones
    std::exception_ptr failure;
    // Stops every thread; the first error given is the one rethrown.
    const auto fail = [&](std::exception_ptr error) {
        const std::scoped_lock lock(mutex);
        if (!failure)
            failure = std::move(error);
        stop = true;
        changed.notify_all();
    };

    {
        std::vector<std::jthread> threads;
        // Declared after the threads, so it stops them before they are joined however this
        // scope ends (a thread that failed to start included): no worker then waits for a
        // block that no one makes.
        const auto stopOnExit = qScopeGuard([&] { fail(nullptr); });
        for (int worker = 0; worker < workers; ++worker) {
            threads.emplace_back([&, worker] {
                try {
                    Block block;
                    for (int index = worker; index < count; index += workers) {
                        {
                            const std::scoped_lock lock(mutex);
                            if (stop)
                                return;
                        }
                        make(index, block);
                        {
                            std::unique_lock lock(mutex);
                            changed.wait(lock, [&] { return stop || consumed == index; });
                            if (stop)
                                return;
                        }
                        consume(index, std::as_const(block));
                        const std::scoped_lock lock(mutex);
                        ++consumed;
                        changed.notify_all();
                    }
                } catch (...) {
                    fail(std::current_exception());
                }
            });
        }
        std::unique_lock lock(mutex);
        changed.wait(lock, [&] { return stop || consumed == count; });
    }
    if (failure)
        std::rethrow_exception(failure);
}

} // namespace common

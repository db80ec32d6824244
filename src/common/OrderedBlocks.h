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

// Makes blocks 0 .. count - 1 on worker threads and hands each to consume on the calling
// thread, in order: a file's parts formatted on every core while this thread writes them.
// Each worker keeps two blocks of its own, so at most two per worker are made ahead of the
// consumer and their memory is reused. make(index, block) runs on a worker and must only
// read what other threads read too; consume(index, block) runs here. The first exception
// of either stops the rest, and is rethrown here once the workers have ended.
template <typename Block, typename Make, typename Consume>
void MakeInOrder(int count, Make&& make, Consume&& consume)
{
    if (count <= 0)
        return;
    // At most four: each worker's two blocks are held at once, and beyond four the writing
    // thread, not the making, sets the pace.
    constexpr int MostWorkers = 4;
    const int workers = std::clamp(int(std::thread::hardware_concurrency()), 1, std::min(count, MostWorkers));
    struct Place {
        Block block;
        int made = -1; // the index of the block it holds, ready to consume; -1 while free
    };
    std::vector<Place> places(std::size_t(2 * workers));
    std::mutex mutex;
    std::condition_variable changed;
    bool stop = false;
    std::exception_ptr failure;
    const auto placeOf = [workers](int index) { return std::size_t(2 * (index % workers) + (index / workers) % 2); };
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
        // consumer that has gone.
        const auto stopOnExit = qScopeGuard([&] { fail(nullptr); });
        for (int worker = 0; worker < workers; ++worker) {
            threads.emplace_back([&, worker] {
                try {
                    for (int index = worker; index < count; index += workers) {
                        Place& place = places[placeOf(index)];
                        {
                            std::unique_lock lock(mutex);
                            changed.wait(lock, [&] { return stop || place.made < 0; });
                            if (stop)
                                return;
                        }
                        make(index, place.block);
                        const std::scoped_lock lock(mutex);
                        place.made = index;
                        changed.notify_all();
                    }
                } catch (...) {
                    fail(std::current_exception());
                }
            });
        }
        try {
            for (int index = 0; index < count; ++index) {
                Place& place = places[placeOf(index)];
                {
                    std::unique_lock lock(mutex);
                    changed.wait(lock, [&] { return stop || place.made == index; });
                    if (stop)
                        break;
                }
                consume(index, std::as_const(place.block));
                const std::scoped_lock lock(mutex);
                place.made = -1;
                changed.notify_all();
            }
        } catch (...) {
            fail(std::current_exception());
        }
    }
    if (failure)
        std::rethrow_exception(failure);
}

} // namespace common

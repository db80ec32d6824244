#include "platform/os/WriteBack.h"

#include <QFileDevice>

#include <algorithm>
#include <condition_variable>
#include <fcntl.h>
#include <mutex>
#include <system_error>
#include <thread>

namespace os {

// Asks for the write-back of what is written and not yet asked for, coalesced: while one
// request waits for the device, the ranges written meanwhile become the next request.
struct WriteBack::Asker {
    explicit Asker(int handle)
        : handle(handle)
    {
    }

    void run()
    {
        std::unique_lock lock(mutex);
        for (;;) {
            changed.wait(lock, [&] { return done || asked < end; });
            if (asked == end)
                return;
            const qint64 from = asked;
            const qint64 to = asked = end;
            lock.unlock();
            sync_file_range(handle, from, to - from, SYNC_FILE_RANGE_WRITE);
            lock.lock();
        }
    }

    int handle; // -1: no write-back is asked for
    std::mutex mutex;
    std::condition_variable changed;
    qint64 asked = 0; // the bytes before it are asked for
    qint64 end = 0;   // the bytes before it are written
    bool done = false;
    std::jthread thread;
};

WriteBack::WriteBack(const QFileDevice& file)
    : m_asker(std::make_unique<Asker>(file.handle()))
{
}

WriteBack::~WriteBack()
{
    if (!m_asker->thread.joinable())
        return;
    {
        const std::scoped_lock lock(m_asker->mutex);
        m_asker->done = true;
    }
    m_asker->changed.notify_one();
    m_asker->thread.join();
}

void WriteBack::written(qint64 end)
{
    // A short file is left to its final sync: a thread of its own would cost more.
    constexpr qint64 LeastBytesAsked = 1 << 20;
    if (!m_asker->thread.joinable()) {
        if (m_asker->handle < 0 || end < LeastBytesAsked)
            return;
        try {
            m_asker->thread = std::jthread([asker = m_asker.get()] { asker->run(); });
        } catch (const std::system_error&) {
            // No thread to be had: the file is written all the same, and synced at its end.
            m_asker->handle = -1;
            return;
        }
    }
    {
        const std::scoped_lock lock(m_asker->mutex);
        m_asker->end = std::max(m_asker->end, end);
    }
    m_asker->changed.notify_one();
}

} // namespace os

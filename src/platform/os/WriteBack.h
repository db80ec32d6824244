#pragma once

#include <QtGlobal>

#include <memory>

class QFileDevice;

namespace os {

// Asks the system to start writing a file's bytes to the disk as they are written, without
// waiting: a long file written in parts then needs less time at its final sync. The asking is
// done on a thread of its own, because it waits whenever the device's queue is full, and the
// threads that make the next bytes must not. A file shorter than a megabyte is left to its
// final sync. Only a hint; nothing happens where the system has no such call, or when it
// refuses. Destroy it before the file is closed: the destructor waits for the asking to end.
class WriteBack {
public:
    explicit WriteBack(const QFileDevice& file);
    ~WriteBack();
    WriteBack(const WriteBack&) = delete;
    WriteBack& operator=(const WriteBack&) = delete;

    // The file's bytes up to end are written; where the system can, their write-back starts.
    void written(qint64 end);

private:
    struct Asker;
    std::unique_ptr<Asker> m_asker;
};

} // namespace os

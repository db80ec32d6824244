#pragma once

#include <QString>

namespace os {

// A system-wide marker that one instance of the program is running. It is an abstract
// Unix socket bound under the marker's name: the kernel releases it the moment the
// owning process ends, however it ends (a crash or SIGKILL included), so a stale marker
// can never refuse the next start. A marker that cannot be made for any other reason is
// not held, and the process goes on as if it were the only one.
class SingleInstanceMarker {
public:
    explicit SingleInstanceMarker(const QString& name);
    ~SingleInstanceMarker();
    SingleInstanceMarker(const SingleInstanceMarker&) = delete;
    SingleInstanceMarker& operator=(const SingleInstanceMarker&) = delete;

    // True when another process held the marker at construction; this one then holds nothing.
    bool alreadyExisted() const { return m_alreadyExisted; }

private:
    int m_socket = -1;
    bool m_alreadyExisted = false;
};

} // namespace os

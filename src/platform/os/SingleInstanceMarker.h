#pragma once

#include <QString>
#include <QtGlobal>

namespace os {

// A marker that one instance of the program is running for this user: on Linux an abstract
// Unix socket bound under the marker's name followed by "." and the user's id, on Windows a
// named semaphore of that name in the session's namespace (each user's logon has its own).
// The kernel releases either the moment the owning process ends, however it ends (a
// crash or a kill included), so a stale marker can never refuse the next start. A marker that cannot be made for any other reason is
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
#ifdef Q_OS_WIN
    void* m_semaphore = nullptr; // a HANDLE, kept open for the life of the process
#else
    int m_socket = -1;
#endif
    bool m_alreadyExisted = false;
};

} // namespace os

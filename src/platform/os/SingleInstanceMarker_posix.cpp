#include "platform/os/SingleInstanceMarker.h"

#include <cerrno>
#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace os {

SingleInstanceMarker::SingleInstanceMarker(const QString& name)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    // One copy per user: the abstract namespace is the whole machine's, so the user's id is
    // part of the name, and one user's copy does not refuse another's.
    const QByteArray encoded = name.toUtf8() + '.' + QByteArray::number(::getuid());
    // The leading NUL puts the name into the abstract namespace: no file, nothing to clean up.
    const size_t length = std::min(encoded.size(), qsizetype(sizeof(address.sun_path) - 1));
    std::memcpy(address.sun_path + 1, encoded.constData(), length);

    // Only a marker that another process holds means "already running". Any other failure
    // (no descriptor left, no socket support) leaves this process without a marker, and it
    // starts as the only copy rather than not at all.
    m_socket = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (m_socket < 0)
        return;
    const auto size = socklen_t(offsetof(sockaddr_un, sun_path) + 1 + length);
    if (::bind(m_socket, reinterpret_cast<const sockaddr*>(&address), size) == 0)
        return;
    m_alreadyExisted = errno == EADDRINUSE;
    ::close(m_socket);
    m_socket = -1;
}

SingleInstanceMarker::~SingleInstanceMarker()
{
    if (m_socket >= 0)
        ::close(m_socket);
}

} // namespace os

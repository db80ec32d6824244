#include "platform/os/SingleInstanceMarker.h"

#include <windows.h>

namespace os {

SingleInstanceMarker::SingleInstanceMarker(const QString& name)
{
    // Initial count 0, maximum 1, default security: nothing ever waits on it or releases it;
    // its existence is the marker. A handle with ERROR_ALREADY_EXISTS means another process
    // made it; no handle at all (any other failure) leaves this process without a marker.
    const HANDLE semaphore = CreateSemaphoreW(nullptr, 0, 1, reinterpret_cast<LPCWSTR>(name.utf16()));
    if (!semaphore)
        return;
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        m_alreadyExisted = true;
        CloseHandle(semaphore);
        return;
    }
    m_semaphore = semaphore;
}

SingleInstanceMarker::~SingleInstanceMarker()
{
    if (m_semaphore)
        CloseHandle(m_semaphore);
}

} // namespace os

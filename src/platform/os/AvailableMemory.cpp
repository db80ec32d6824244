#include "platform/os/AvailableMemory.h"

#include <QFile>
#include <algorithm>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <sys/resource.h>
#endif

namespace os {

namespace {

std::function<std::optional<qint64>()>& Source()
{
    static std::function<std::optional<qint64>()> source;
    return source;
}

#ifndef Q_OS_WIN
// The kB values of a /proc file's "Name:   123 kB" lines, in bytes.
std::optional<qint64> ProcValue(const char* file, QByteArrayView name)
{
    QFile proc(QString::fromLatin1(file));
    if (!proc.open(QIODevice::ReadOnly))
        return std::nullopt;
    for (const QByteArray& line : proc.readAll().split('\n')) {
        if (!line.startsWith(name) || line.size() <= name.size() || line[name.size()] != ':')
            continue;
        bool ok = false;
        const qint64 kilobytes = line.mid(name.size() + 1).trimmed().split(' ').value(0).toLongLong(&ok);
        return ok ? std::optional<qint64>(kilobytes * 1024) : std::nullopt;
    }
    return std::nullopt;
}
#endif

std::optional<qint64> SystemAvailableMemory()
{
#ifdef Q_OS_WIN
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof(status);
    if (!GlobalMemoryStatusEx(&status))
        return std::nullopt;
    return qint64(std::min<DWORDLONG>(status.ullAvailPageFile, status.ullAvailVirtual));
#else
    std::optional<qint64> available;
    const std::optional<qint64> memory = ProcValue("/proc/meminfo", "MemAvailable");
    const std::optional<qint64> swap = ProcValue("/proc/meminfo", "SwapFree");
    if (memory)
        available = *memory + swap.value_or(0);
    rlimit limit{};
    if (getrlimit(RLIMIT_AS, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY) {
        const qint64 room = qint64(limit.rlim_cur) - ProcValue("/proc/self/status", "VmSize").value_or(0);
        available = std::min(available.value_or(room), room);
    }
    return available;
#endif
}

} // namespace

std::optional<qint64> AvailableMemory()
{
    return Source() ? Source()() : SystemAvailableMemory();
}

void SetAvailableMemory(std::function<std::optional<qint64>()> source)
{
    Source() = std::move(source);
}

} // namespace os

#include "BenchSupport.h"

#include <QCoreApplication>
#include <QFile>
#include <algorithm>
#include <cstdio>
#ifdef Q_OS_WIN
#include <windows.h>
#include <psapi.h>
#include <io.h>
#else
#include <sys/resource.h>
#include <unistd.h>
#endif

namespace bench {

bool SilentDesktop::question(const QString&, const QString&, Icon)
{
    return true;
}

void SilentDesktop::message(const QString& caption, const QString& text, Icon)
{
    std::fprintf(stderr, "message: %s: %s\n", qPrintable(caption), qPrintable(text));
}

bool SilentDesktop::openPath(const QString&)
{
    return true;
}

double Median(std::vector<double> samples)
{
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

double PeakMemoryMegabytes()
{
#ifdef Q_OS_WIN
    PROCESS_MEMORY_COUNTERS counters{};
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return double(counters.PeakWorkingSetSize) / (1024.0 * 1024.0);
#else
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
#endif
}

double CpuMilliseconds()
{
#ifdef Q_OS_WIN
    FILETIME created{}, exited{}, kernel{}, user{};
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    // FILETIME counts 100 ns steps.
    const auto ms = [](const FILETIME& t) {
        return double((quint64(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 1e4;
    };
    return ms(kernel) + ms(user);
#else
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto ms = [](const timeval& t) { return double(t.tv_sec) * 1e3 + double(t.tv_usec) / 1e3; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
#endif
}

bool SyncToDisk(QFile& file)
{
#ifdef Q_OS_WIN
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(file.handle()));
    return handle != INVALID_HANDLE_VALUE && FlushFileBuffers(handle);
#else
    return ::fdatasync(file.handle()) == 0;
#endif
}

namespace {

void WriteFile(const QString& path, const QByteArray& content)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
        qFatal("cannot write %s", qPrintable(path));
}

} // namespace

Session::Session(int& argc, char** argv)
    : application(argc, argv)
    , database(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("zemlo"))
{
    os::Desktop::install(&desktop);
}

ConnectedWindow::ConnectedWindow(const QString& database, const QByteArray& config)
{
    WriteFile(folder.filePath(QStringLiteral("connection.ini")),
              QStringLiteral("[DataBase]\nName=%1\nPassword=zemlo_viewer\nUser=zemlo_viewer\nHost=127.0.0.1\n")
                  .arg(database)
                  .toUtf8());
    WriteFile(folder.filePath(QStringLiteral("config.ini")), config.isEmpty() ? QByteArray("[View]\nRefresh=0\n") : config);
    main = std::make_unique<app::TFMain>(app::StartContext(config::DecideStorageFolders(folder.path()), QStringLiteral("zemlo-bench")));
    main->resize(1280, 800);
    main->show();
    QCoreApplication::processEvents();
    main->ToggleConnection();
    QCoreApplication::processEvents();
}

} // namespace bench

#include "BenchSupport.h"

#include <QCoreApplication>
#include <QFile>
#include <algorithm>
#include <cstdio>
#ifdef Q_OS_WIN
#include <windows.h>
#include <psapi.h>
#else
#include <sys/resource.h>
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

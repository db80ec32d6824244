#pragma once

#include "app/TFMain.h"
#include "app/ZemloApplication.h"
#include "platform/os/Desktop.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <memory>
#include <vector>

namespace bench {

// Answers Yes, opens nothing and prints every message, so that a benchmark runs unattended.
class SilentDesktop final : public os::Desktop {
public:
    bool openPath(const QString& path) override;

protected:
    bool question(const QString& caption, const QString& text, Icon icon) override;
    void message(const QString& caption, const QString& text, Icon icon) override;
};

template <typename Work>
double Milliseconds(Work&& work)
{
    QElapsedTimer clock;
    clock.start();
    work();
    return double(clock.nsecsElapsed()) / 1e6;
}

double Median(std::vector<double> samples);

// The process's peak resident memory so far, in megabytes.
double PeakMemoryMegabytes();

// The CPU time (user and system) this process has used so far, in milliseconds.
double CpuMilliseconds();

// Forces the written contents of an open file to the disk, as a safe save does; false when
// the system refuses.
bool SyncToDisk(QFile& file);

// The application of a benchmark, its silent desktop, and the database it measures: the
// first argument, "zemlo" by default.
struct Session {
    app::ZemloApplication application;
    SilentDesktop desktop;
    QString database;
    Session(int& argc, char** argv);
};

// A main window of 1280 x 800 in a folder of its own with the viewer's login to database
// on the private server, shown and connected.
struct ConnectedWindow {
    QTemporaryDir folder;
    std::unique_ptr<app::TFMain> main;
    explicit ConnectedWindow(const QString& database, const QByteArray& config = {});
};

} // namespace bench

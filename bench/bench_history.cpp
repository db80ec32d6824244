// The history fetch with many channels, each measure printed beside its floor from the same
// run: GetDataButtonClick (both fetches, the store that the grid and the chart read, the
// statistics) beside the same rows read by the mariadb client (--quick), by the C API as
// text (every field parsed with std::from_chars) and by the C API as a prepared statement
// (values bound by type), each with its wall time, this process's CPU and the server's CPU;
// the peak memory that the fetches add (the chart drawn with every series included, its
// window buffers not) beside the size of one store; one full chart frame
// with every series shown beside drawing four points per pixel column of every series; and
// the CSV export beside writing the same bytes with QFile and forcing them to the disk, as
// its safe save must before it reports the files saved (and, for comparison, beside the
// same write left in the system's cache). Needs a database made by zemlo-demo-db (see
// bench/run).
#include "BareReads.h"
#include "BenchSupport.h"
#include "ServerMeter.h"

#include "db/Contract.h"
#include "history/HistoryChart.h"
#include "history/HistoryQueries.h"
#include "history/HistoryView.h"
#include "history/StringGrid.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QScrollBar>
#include <QTabWidget>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <limits>

namespace {

using bench::CpuMilliseconds;
using bench::Median;
using bench::Milliseconds;

constexpr double NotMeasured = std::numeric_limits<double>::quiet_NaN();

// Wall and CPU time of one run of work, in milliseconds: this process's and, where it is
// measured, the database server's.
struct Cost {
    double wall = 0;
    double cpu = 0;
    double server = 0;
};

template <typename Work>
Cost Measure(Work&& work)
{
    const double cpuBefore = CpuMilliseconds();
    const double wall = Milliseconds(std::forward<Work>(work));
    return {wall, CpuMilliseconds() - cpuBefore};
}

template <typename Work>
Cost MeasureWithServer(bench::ServerMeter& meter, Work&& work)
{
    Cost cost;
    const double server = meter.measure([&] { cost = Measure(std::forward<Work>(work)); }).cpu;
    cost.server = server;
    return cost;
}

Cost MedianCost(const std::vector<Cost>& costs)
{
    std::vector<double> wall, cpu, server;
    for (const Cost& cost : costs) {
        wall.push_back(cost.wall);
        cpu.push_back(cost.cpu);
        server.push_back(cost.server);
    }
    return {Median(wall), Median(cpu), Median(server)};
}

// The mariadb client's own read of the statement, --quick (row by row) into nothing; false
// where there is no client to run (a Windows build under Wine).
bool ClientRead(const QString& database, const QByteArray& statement)
{
    QProcess client;
    client.setStandardOutputFile(QProcess::nullDevice());
    client.start(QStringLiteral("mariadb"),
                 {QStringLiteral("--no-defaults"), QStringLiteral("--quick"), QStringLiteral("--batch"),
                  QStringLiteral("--host=127.0.0.1"), QStringLiteral("--user=zemlo_viewer"), QStringLiteral("--password=zemlo_viewer"),
                  QStringLiteral("--default-character-set=utf8mb4"), database,
                  QStringLiteral("--execute=") + QString::fromUtf8(statement)});
    if (!client.waitForStarted())
        return false;
    if (!client.waitForFinished(-1) || client.exitStatus() != QProcess::NormalExit || client.exitCode() != 0)
        qFatal("mariadb client: %s", client.readAllStandardError().constData());
    return true;
}

// The floor of a chart frame: four points per pixel column of every series (a curve that
// wanders a few pixels up and down within each column, as a measured value does), as
// polylines without anti-aliasing, into a picture of the chart's size. One curve serves
// every series, moved to a height of its own.
double FloorFrameMilliseconds(int series, int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    std::vector<QPointF> line(std::size_t(width) * 4);
    for (std::size_t i = 0; i < line.size(); ++i) {
        const double offsets[4] = {0, -3, 3, 1};
        line[i] = QPointF(double(i / 4), offsets[i % 4] + 4 * std::sin(double(i) / 200));
    }
    std::vector<double> samples;
    for (int round = 0; round < 5; ++round) {
        samples.push_back(Milliseconds([&] {
            image.fill(Qt::white);
            QPainter painter(&image);
            for (int s = 0; s < series; ++s) {
                painter.setPen(QPen(QColor::fromHsv(s % 360, 255, 200), 1));
                painter.resetTransform();
                painter.translate(0, double(s * 37 % height));
                painter.drawPolyline(line.data(), int(line.size()));
            }
        }));
    }
    return Median(samples);
}

// The floor of the CSV export: the bytes of both files written again with QFile (the median
// of three rounds), with toDisk each forced to the disk before it is closed, as the export's
// safe save does; without it the bytes only reach the system's cache.
Cost RawWrite(const QStringList& paths, bool toDisk)
{
    std::vector<QByteArray> contents;
    for (const QString& path : paths) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            qFatal("cannot read %s", qPrintable(path));
        contents.push_back(file.readAll());
    }
    std::vector<Cost> costs;
    for (int round = 0; round < 3; ++round) {
        costs.push_back(Measure([&] {
            for (std::size_t i = 0; i < contents.size(); ++i) {
                QFile copy(paths[qsizetype(i)] + QStringLiteral(".raw"));
                if (!copy.open(QIODevice::WriteOnly) || copy.write(contents[i]) != contents[i].size() || !copy.flush()
                    || (toDisk && !bench::SyncToDisk(copy)))
                    qFatal("cannot write a copy of %s", qPrintable(paths[qsizetype(i)]));
            }
        }));
        for (const QString& path : paths)
            QFile::remove(path + QStringLiteral(".raw"));
    }
    return MedianCost(costs);
}

} // namespace

int main(int argc, char** argv)
{
    bench::Session session(argc, argv);
    const QString& database = session.database;
    // Figures with a decimal point, whatever the locale that the application set.
    std::setlocale(LC_NUMERIC, "C");

    bench::ConnectedWindow window(database);
    app::TFMain& main = *window.main;
    const history::HistoryView& history = main.historyView();
    const QString from = history.rangeStart().text;
    const QString to = history.rangeEnd().text;
    const QByteArray statement = history::MeasurementQueryText(db::contract::DataTable, from, to).toUtf8();
    const sql::MysqlHandle bare = bench::ConnectBare(database);
    bench::BareStatement binary(bare.get(), statement);
    bench::ServerMeter server(database);
    // The chart tab shown and drawn empty first: the window's own buffers are not the fetch's.
    main.PageControlData->setCurrentWidget(main.TabSheetChart);
    QCoreApplication::processEvents();
    main.Chart->replot(QCustomPlot::rpImmediateRefresh);
    const double memoryBefore = bench::PeakMemoryMegabytes();

    // Alternating, so that the server's caches favour none. From the second fetch on, a
    // fetch replaces the one before.
    std::vector<Cost> fetches, clientReads, textReads, binaryReads;
    double checksum = 0;
    for (int round = 0; round < 3; ++round) {
        bool clientRan = false;
        clientReads.push_back(MeasureWithServer(server, [&] { clientRan = ClientRead(database, statement); }));
        if (!clientRan)
            clientReads.back() = {NotMeasured, NotMeasured, NotMeasured};
        textReads.push_back(MeasureWithServer(server, [&] { checksum += bench::ReadText(bare.get(), statement); }));
        binaryReads.push_back(MeasureWithServer(server, [&] { checksum += double(binary.run()); }));
        fetches.push_back(MeasureWithServer(server, [&] { main.GetDataButtonClick(); }));
    }
    const Cost fetch = MedianCost(fetches);
    const Cost clientRead = MedianCost(clientReads);
    const Cost textRead = MedianCost(textReads);
    const Cost binaryRead = MedianCost(binaryReads);
    const quint32 channels = main.channels().count;
    const int rows = main.DataGrid->rowCount() - 1;

    // A fetch after the chart was drawn with every series: whatever a frame keeps counts too.
    main.Chart->setAllSeriesActive(true);
    main.Chart->replot(QCustomPlot::rpImmediateRefresh);
    main.GetDataButtonClick();
    main.Chart->replot(QCustomPlot::rpImmediateRefresh);
    const double memoryAdded = bench::PeakMemoryMegabytes() - memoryBefore;
    const double storeMegabytes = double(rows) * (8.0 + 5.0 * channels) / (1024.0 * 1024.0);

    std::vector<double> frames;
    for (int round = 0; round < 5; ++round)
        frames.push_back(Milliseconds([&] { main.Chart->replot(QCustomPlot::rpImmediateRefresh); }));
    const double frame = Median(frames);
    // The same at the chart's size in a window of the smallest size.
    constexpr int SmallWidth = 868, SmallHeight = 335;
    std::vector<double> smallFrames;
    for (int round = 0; round < 5; ++round)
        smallFrames.push_back(Milliseconds([&] { main.Chart->toPixmap(SmallWidth, SmallHeight); }));
    const double smallFrame = Median(smallFrames);
    // About 840 of the 868 pixel columns lie inside the axes.
    const double floorFrame = FloorFrameMilliseconds(int(channels), 840, SmallHeight);

    main.PageControlData->setCurrentWidget(main.TabSheetData);
    QCoreApplication::processEvents();
    std::vector<double> scrolls;
    QScrollBar* across = main.DataGrid->horizontalScrollBar();
    QScrollBar* down = main.DataGrid->verticalScrollBar();
    for (int step = 1; step <= 20; ++step)
        scrolls.push_back(Milliseconds([&] {
            across->setValue(across->maximum() * step / 20);
            down->setValue(down->maximum() * step / 20);
            main.DataGrid->viewport()->repaint();
        }));
    const double scroll = Median(scrolls);

    // The reported path has the platform's separators.
    const auto dataPathOf = [](const QString& eventsPath) {
        return QDir::fromNativeSeparators(eventsPath).replace(QStringLiteral("/events_"), QStringLiteral("/data_"));
    };
    std::vector<Cost> exports;
    for (int round = 0; round < 3; ++round) {
        if (round > 0) {
            QFile::remove(dataPathOf(main.lastOutputPath()));
            QFile::remove(main.lastOutputPath());
        }
        exports.push_back(Measure([&] { main.SpeedButton1Click(); }));
    }
    const Cost csv = MedianCost(exports);
    const QString eventsPath = QDir::fromNativeSeparators(main.lastOutputPath());
    const QString dataPath = dataPathOf(eventsPath);
    const Cost rawWrite = RawWrite({dataPath, eventsPath}, false);
    const Cost safeWrite = RawWrite({dataPath, eventsPath}, true);

    std::printf("channels x rows                  %u x %d\n", channels, rows);
    std::printf("fetch (GetDataButtonClick)       %8.0f ms  C API text read %8.0f ms  = %5.2f x  (target <= 0.75)\n",
                fetch.wall, textRead.wall, fetch.wall / textRead.wall);
    std::printf("fetch, the same                  %8.0f ms  mariadb --quick %8.0f ms  = %5.2f x\n", fetch.wall,
                clientRead.wall, fetch.wall / clientRead.wall);
    std::printf("fetch, the same                  %8.0f ms  C API prepared  %8.0f ms  = %5.2f x  (its floor)\n", fetch.wall,
                binaryRead.wall, fetch.wall / binaryRead.wall);
    std::printf("fetch CPU of this process        %8.0f ms  prepared read's %8.0f ms  = %5.2f x  (text read, from_chars: %.0f ms)\n",
                fetch.cpu, binaryRead.cpu, fetch.cpu / binaryRead.cpu, textRead.cpu);
    std::printf("server CPU of the fetch          %8.0f ms  text read's     %8.0f ms  = %5.2f x  (prepared read's %.0f, mariadb's %.0f ms)\n",
                fetch.server, textRead.server, fetch.server / textRead.server, binaryRead.server, clientRead.server);
    std::printf("peak memory added by 4 fetches   %8.1f MiB one store       %8.1f MiB = %5.2f x  (target <= 1.25)\n",
                memoryAdded, storeMegabytes, memoryAdded / storeMegabytes);
    std::printf("chart frame, all series, %dx%d %6.0f ms  4 points/column %8.0f ms  = %5.2f x  (target <= 60 ms)\n",
                SmallWidth, SmallHeight, smallFrame, floorFrame, smallFrame / floorFrame);
    std::printf("chart frame at %d x %d          %8.0f ms\n", main.Chart->width(), main.Chart->height(), frame);
    std::printf("grid scroll step with repaint    %8.1f ms\n", scroll);
    std::printf("CSV export (both files)          %8.1f ms  QFile to the disk %6.1f ms  = %5.2f x  (target <= 5)\n",
                csv.wall, safeWrite.wall, csv.wall / safeWrite.wall);
    std::printf("CSV export, the same             %8.1f ms  QFile, cache only %6.1f ms  = %5.2f x  (no wait for the disk)\n",
                csv.wall, rawWrite.wall, csv.wall / rawWrite.wall);
    std::printf("CSV export CPU of this process   %8.1f ms  cache write CPU %8.1f ms\n", csv.cpu, rawWrite.cpu);
    std::printf("data CSV size                    %8.1f MB\n", double(QFileInfo(dataPath).size()) / 1e6);
    std::printf("(checksum of the floors' reads: %g)\n", checksum);
    return 0;
}

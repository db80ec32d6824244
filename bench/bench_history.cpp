// The history fetch with many channels, each measure printed beside its floor from the same
// run: GetDataButtonClick (both fetches, the store that the grid and the chart read, the
// statistics) beside a bare C API read of the same rows (wall time and this process's CPU);
// the peak memory that the fetches add (the chart drawn with every series included, its
// window buffers not) beside the size of one store; one full chart frame
// with every series shown beside drawing four points per pixel column of every series; and
// the CSV export beside writing the same bytes with QFile and forcing them to the disk, as
// its safe save must before it reports the files saved (and, for comparison, beside the
// same write left in the system's cache). Needs a database made by zemlo-demo-db (see
// bench/run).
#include "BenchSupport.h"

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
#include <QScrollBar>
#include <QTabWidget>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <mysql.h>

namespace {

using bench::CpuMilliseconds;
using bench::Median;
using bench::Milliseconds;

// Wall and CPU time of one run of work, in milliseconds.
struct Cost {
    double wall = 0;
    double cpu = 0;
};

template <typename Work>
Cost Measure(Work&& work)
{
    const double cpuBefore = CpuMilliseconds();
    const double wall = Milliseconds(std::forward<Work>(work));
    return {wall, CpuMilliseconds() - cpuBefore};
}

Cost MedianCost(const std::vector<Cost>& costs)
{
    std::vector<double> wall, cpu;
    for (const Cost& cost : costs) {
        wall.push_back(cost.wall);
        cpu.push_back(cost.cpu);
    }
    return {Median(wall), Median(cpu)};
}

// The floor of the fetch: the same statement through the C API, streamed, every non-NULL
// field parsed with strtof, nothing kept.
class BareRead {
public:
    explicit BareRead(const QString& database)
        : m_mysql(mysql_init(nullptr))
    {
        if (!mysql_real_connect(m_mysql, "127.0.0.1", "zemlo_viewer", "zemlo_viewer", database.toUtf8().constData(), 0,
                                nullptr, 0)
            || mysql_set_character_set(m_mysql, "utf8mb4") != 0)
            qFatal("bare connect: %s", mysql_error(m_mysql));
    }
    ~BareRead() { mysql_close(m_mysql); }
    BareRead(const BareRead&) = delete;
    BareRead& operator=(const BareRead&) = delete;

    Cost run(const QByteArray& statement)
    {
        // strtof sets errno, so its calls are not optimised away although nothing is kept.
        return Measure([&] {
            if (mysql_query(m_mysql, statement.constData()) != 0)
                qFatal("bare query: %s", mysql_error(m_mysql));
            MYSQL_RES* result = mysql_use_result(m_mysql);
            const unsigned fields = mysql_num_fields(result);
            while (const MYSQL_ROW row = mysql_fetch_row(result)) {
                for (unsigned field = 0; field < fields; ++field) {
                    if (row[field])
                        std::strtof(row[field], nullptr);
                }
            }
            mysql_free_result(result);
        });
    }

private:
    MYSQL* m_mysql;
};

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
    BareRead bare(database);
    // The chart tab shown and drawn empty first: the window's own buffers are not the fetch's.
    main.PageControlData->setCurrentWidget(main.TabSheetChart);
    QCoreApplication::processEvents();
    main.Chart->replot(QCustomPlot::rpImmediateRefresh);
    const double memoryBefore = bench::PeakMemoryMegabytes();

    // Alternating, so that the server's caches favour neither. From the second fetch on, a
    // fetch replaces the one before.
    std::vector<Cost> fetches, bareReads;
    for (int round = 0; round < 3; ++round) {
        bareReads.push_back(bare.run(statement));
        fetches.push_back(Measure([&] { main.GetDataButtonClick(); }));
    }
    const Cost fetch = MedianCost(fetches);
    const Cost floor = MedianCost(bareReads);
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
    std::printf("fetch (GetDataButtonClick)       %8.0f ms  bare C API read %8.0f ms  = %5.2f x  (target <= 1.3)\n",
                fetch.wall, floor.wall, fetch.wall / floor.wall);
    std::printf("fetch CPU of this process        %8.0f ms  bare read's CPU %8.0f ms  = %5.2f x  (target <= 3)\n",
                fetch.cpu, floor.cpu, fetch.cpu / floor.cpu);
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
    return 0;
}

// The history fetch with many channels: the time of GetDataButtonClick (both fetches, the
// store that the grid and the chart read, the statistics) beside the MariaDB client's own
// time for the same measurement query, the peak memory after the fetch, one full chart
// frame with every series shown, scrolling the measurement grid, and the CSV export.
// Needs a database made by zemlo-demo-db (see bench/run).
#include "BenchSupport.h"

#include "db/Contract.h"
#include "history/HistoryChart.h"
#include "history/HistoryQueries.h"
#include "history/HistoryView.h"
#include "history/StringGrid.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>
#include <QScrollBar>
#include <QTabWidget>
#include <cstdio>

namespace {

using bench::Median;
using bench::Milliseconds;

#ifdef Q_OS_WIN
// Under Wine: the host's own client, by its path on Wine's Z: drive.
const QString ClientProgram = QStringLiteral("Z:\\usr\\bin\\mariadb");
#else
const QString ClientProgram = QStringLiteral("mariadb");
#endif

// The same statement through `mariadb --quick --batch`, its output thrown away.
double ClientMilliseconds(const QString& database, const QString& statement)
{
    QProcess client;
    client.setStandardOutputFile(QProcess::nullDevice());
    client.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    return Milliseconds([&] {
        client.start(ClientProgram,
                     {QStringLiteral("--no-defaults"), QStringLiteral("-h127.0.0.1"),
                      QStringLiteral("-P") + qEnvironmentVariable("MYSQL_TCP_PORT"), QStringLiteral("-uzemlo_viewer"),
                      QStringLiteral("-pzemlo_viewer"), QStringLiteral("--quick"), QStringLiteral("--batch"), database,
                      QStringLiteral("-e"), statement});
        if (!client.waitForFinished(600000) || client.exitCode() != 0)
            qFatal("mariadb client failed");
    });
}

} // namespace

int main(int argc, char** argv)
{
    bench::Session session(argc, argv);
    const QString& database = session.database;

    bench::ConnectedWindow window(database);
    app::TFMain& main = *window.main;
    const history::HistoryView& history = main.historyView();
    const QString from = history.rangeStart().text;
    const QString to = history.rangeEnd().text;
    const QString statement = history::MeasurementQueryText(db::contract::DataTable, from, to);
    const double memoryBefore = bench::PeakMemoryMegabytes();

    // Alternating, so that the server's caches favour neither.
    std::vector<double> fetches, clients;
    for (int round = 0; round < 3; ++round) {
        clients.push_back(ClientMilliseconds(database, statement));
        fetches.push_back(Milliseconds([&] { main.GetDataButtonClick(); }));
    }
    const double fetch = Median(fetches);
    const double client = Median(clients);
    const double memoryAfter = bench::PeakMemoryMegabytes();
    const int rows = main.DataGrid->rowCount() - 1;

    main.PageControlData->setCurrentWidget(main.TabSheetChart);
    QCoreApplication::processEvents();
    main.Chart->setAllSeriesActive(true);
    std::vector<double> frames;
    for (int round = 0; round < 5; ++round)
        frames.push_back(Milliseconds([&] { main.Chart->replot(QCustomPlot::rpImmediateRefresh); }));
    const double frame = Median(frames);
    // The same at the chart's size in a window of the smallest size (868 x 335).
    std::vector<double> smallFrames;
    for (int round = 0; round < 5; ++round)
        smallFrames.push_back(Milliseconds([&] { main.Chart->toPixmap(868, 335); }));
    const double smallFrame = Median(smallFrames);

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

    const double csv = Milliseconds([&] { main.SpeedButton1Click(); });
    const QString eventsPath = main.lastOutputPath();
    const QString dataPath = QString(eventsPath).replace(QStringLiteral("/events_"), QStringLiteral("/data_"));

    std::printf("channels x rows                  %u x %d\n", main.channels().count, rows);
    std::printf("GetDataButtonClick, median of 3  %8.0f ms\n", fetch);
    std::printf("mariadb --quick --batch, median  %8.0f ms   fetch = %.2f x the client (target <= 1.25)\n", client,
                fetch / client);
    std::printf("peak memory before / after fetch %8.0f / %.0f MB   (target <= 600 MB)\n", memoryBefore, memoryAfter);
    std::printf("chart frame, all series shown    %8.0f ms at %d x %d, %.0f ms at 868 x 335   (target < 250 ms)\n", frame,
                main.Chart->width(), main.Chart->height(), smallFrame);
    std::printf("grid scroll step with repaint    %8.1f ms\n", scroll);
    std::printf("CSV export (both files)          %8.0f ms   (target < the fetch)\n", csv);
    std::printf("data CSV size                    %8.1f MB\n", double(QFileInfo(dataPath).size()) / 1e6);
    return 0;
}

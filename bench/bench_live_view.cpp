// The live view with many channels: the time to build its rows; the median time of one
// refresh with its repaint beside the bare prepared execute of the newest-row statement
// through the C API and beside the bare text query that the refresh sent before, in
// interleaved rounds; and what one refresh costs the database server,
// its CPU time and the bytes it sends, for the text query the program sent before beside
// the prepared statement it executes now (and beside what the same execute would send if the
// server sent the column definitions again every time). Needs a database made by
// zemlo-demo-db (see bench/run) on a server that serves only the benchmark.
#include "BareReads.h"
#include "BenchSupport.h"
#include "ServerMeter.h"

#include "db/Contract.h"
#include "live/LiveView.h"

#include <QLabel>
#include <QTabWidget>
#include <clocale>
#include <cstdio>

namespace {

using bench::Median;
using bench::Milliseconds;

constexpr int Rounds = 31;
// Rounds of the server's measures: enough of its CPU time for the clock's 10 ms steps.
constexpr int TextRounds = 30;
constexpr int PreparedRounds = 200;

const QByteArray NewestRow = "SELECT * FROM ZEMLO_DATA ORDER BY DT DESC LIMIT 1";

} // namespace

int main(int argc, char** argv)
{
    bench::Session session(argc, argv);
    const QString& database = session.database;
    // Figures with a decimal point, whatever the locale that the application set.
    std::setlocale(LC_NUMERIC, "C");

    std::unique_ptr<bench::ConnectedWindow> window;
    const double connect = Milliseconds([&] { window = std::make_unique<bench::ConnectedWindow>(database); });
    app::TFMain& main = *window->main;
    main.PageControlMain->setCurrentWidget(main.ActualSheet);
    QCoreApplication::processEvents();
    const quint32 channels = main.channels().count;

    live::LiveView& live = main.liveView();
    live.ClearLiveView();
    QCoreApplication::processEvents();
    const double build = Milliseconds([&] {
        live.BuildLiveView(channels);
        QCoreApplication::processEvents();
    });

    const sql::MysqlHandle bare = bench::ConnectBare(database);
    bench::BareStatement newest(bare.get(), NewestRow);
    const auto refresh = [&] {
        main.RefreshLiveView(db::contract::DataTable);
        QCoreApplication::processEvents();
    };

    // Every refresh writes every value: the labels are blanked between the rounds.
    QList<QLabel*> values;
    for (quint32 i = 0; i < channels; ++i)
        values << main.findChild<QLabel*>(QStringLiteral("ViewValue_%1").arg(i, 4, 10, QLatin1Char('0')));
    std::vector<double> refreshes, bareExecutes, bareQueries;
    for (int i = 0; i < Rounds; ++i) {
        for (QLabel* value : values)
            value->setText(QString());
        QCoreApplication::processEvents();
        refreshes.push_back(Milliseconds(refresh));
        bareExecutes.push_back(Milliseconds([&] { newest.run(); }));
        bareQueries.push_back(Milliseconds([&] { bench::ReadText(bare.get(), NewestRow); }));
    }
    const double refreshWall = Median(refreshes);
    const double bareWall = Median(bareExecutes);
    const double bareQueryWall = Median(bareQueries);

    bench::ServerMeter server(database);
    const bench::ServerMeter::Cost text = server.measure([&] {
        for (int i = 0; i < TextRounds; ++i)
            bench::ReadText(bare.get(), NewestRow);
    });
    const bench::ServerMeter::Cost prepared = server.measure([&] {
        for (int i = 0; i < PreparedRounds; ++i)
            refresh();
    });
    const bench::ServerMeter::Cost floor = server.measure([&] {
        for (int i = 0; i < PreparedRounds; ++i)
            newest.run();
    });
    // A prepare sends the statement's column definitions once; without the server's cache
    // of them, every execute would send them again.
    const bench::ServerMeter::Cost definitions = server.measure([&] { bench::BareStatement again(bare.get(), NewestRow); });

    const double textCpu = text.cpu / TextRounds, textBytes = text.bytes / TextRounds;
    const double preparedCpu = prepared.cpu / PreparedRounds, preparedBytes = prepared.bytes / PreparedRounds;
    std::printf("channels                         %u\n", channels);
    std::printf("window start and connect          %8.1f ms\n", connect);
    std::printf("BuildLiveView                    %8.1f ms   (target < 1000 ms)\n", build);
    std::printf("RefreshLiveView + repaint, median %7.1f ms   (target <= 20 ms)\n", refreshWall);
    std::printf("bare prepared execute, median    %8.1f ms   (interleaved with the refreshes)\n", bareWall);
    std::printf("bare text query, median          %8.1f ms   (the same; what the refresh sent before)\n", bareQueryWall);
    std::printf("refresh's own work               %8.1f ms = %.2f x the bare execute, %.2f x the bare text query (target <= 2)\n",
                refreshWall - bareWall, (refreshWall - bareWall) / bareWall, (refreshWall - bareWall) / bareQueryWall);
    std::printf("server CPU a refresh: text query %8.2f ms  prepared %6.2f ms = %5.3f x  (target <= 0.2; bare execute %.2f ms)\n",
                textCpu, preparedCpu, preparedCpu / textCpu, floor.cpu / PreparedRounds);
    std::printf("bytes a refresh: text query      %8.0f     prepared %6.0f    = %5.3f x  (target <= 0.1; bare execute %.0f)\n",
                textBytes, preparedBytes, preparedBytes / textBytes, floor.bytes / PreparedRounds);
    std::printf("bytes a refresh without the server's cache of column definitions %.0f (+ %.0f a prepare sends)\n",
                preparedBytes + definitions.bytes, definitions.bytes);
    return 0;
}

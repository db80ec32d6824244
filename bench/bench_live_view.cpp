// The live view with many channels: the time to build its rows, the median time of one
// refresh with its repaint, and beside it the median time of the bare newest-row query
// through the C API alone. Needs a database made by zemlo-demo-db (see bench/run).
#include "BenchSupport.h"

#include "db/Contract.h"
#include "live/LiveView.h"

#include <QLabel>
#include <QTabWidget>
#include <cstdio>
#include <mysql.h>

namespace {

using bench::Median;
using bench::Milliseconds;

constexpr int Rounds = 31;

double BareQueryMedian(const QString& database)
{
    MYSQL* mysql = mysql_init(nullptr);
    if (!mysql_real_connect(mysql, "127.0.0.1", "zemlo_viewer", "zemlo_viewer", database.toUtf8().constData(), 0,
                            nullptr, 0))
        qFatal("bare connect: %s", mysql_error(mysql));
    const char* text = "SELECT * FROM ZEMLO_DATA ORDER BY DT DESC LIMIT 1";
    std::vector<double> samples;
    for (int i = 0; i < Rounds; ++i)
        samples.push_back(Milliseconds([&] {
            if (mysql_query(mysql, text) != 0)
                qFatal("bare query: %s", mysql_error(mysql));
            MYSQL_RES* result = mysql_use_result(mysql);
            while (mysql_fetch_row(result)) {
            }
            mysql_free_result(result);
        }));
    mysql_close(mysql);
    return Median(samples);
}

} // namespace

int main(int argc, char** argv)
{
    bench::Session session(argc, argv);
    const QString& database = session.database;

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

    // Every refresh writes every value: the labels are blanked between the rounds.
    QList<QLabel*> values;
    for (quint32 i = 0; i < channels; ++i)
        values << main.findChild<QLabel*>(QStringLiteral("ViewValue_%1").arg(i, 4, 10, QLatin1Char('0')));
    std::vector<double> refreshes;
    for (int i = 0; i < Rounds; ++i) {
        for (QLabel* value : values)
            value->setText(QString());
        QCoreApplication::processEvents();
        refreshes.push_back(Milliseconds([&] {
            main.RefreshLiveView(db::contract::DataTable);
            QCoreApplication::processEvents();
        }));
    }
    const double refresh = Median(refreshes);
    const double bare = BareQueryMedian(database);

    std::printf("channels                         %u\n", channels);
    std::printf("window start and connect          %8.1f ms\n", connect);
    std::printf("BuildLiveView                    %8.1f ms   (target < 1000 ms)\n", build);
    std::printf("RefreshLiveView + repaint, median %7.1f ms   (target <= 20 ms)\n", refresh);
    std::printf("bare newest-row query, median    %8.1f ms\n", bare);
    std::printf("refresh's own work               %8.1f ms = %.2f x the bare query (target <= 2)\n", refresh - bare,
                (refresh - bare) / bare);
    return 0;
}

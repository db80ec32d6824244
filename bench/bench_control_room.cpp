// A control room: N workstations without windows, each a process of its own with its own
// connection and the live view's own refresh code, refresh every second against one
// database server for a while. Printed, for the prepared statement the program executes
// and for the text query it sent before (the server made to refuse prepared statements,
// so that the program falls back to it): the server's CPU time per workstation tick, and
// how many workstations refreshing every 5 seconds one server core holds. Needs a database
// made by zemlo-demo-db (see bench/run), root access to its server over $ZEMLO_DB_SOCKET
// and the server's process id in $ZEMLO_DB_PID.
//   bench_control_room [database=zemlo] [workstations=10] [seconds=30]
#include "ServerMeter.h"

#include "db/CDataBase.h"
#include "db/ChannelTable.h"
#include "db/Contract.h"
#include "live/LiveView.h"
#include "platform/sql/SqlConnection.h"
#include "platform/sql/SqlQuery.h"

#include <QApplication>
#include <QLabel>
#include <QProcess>
#include <QScrollArea>
#include <chrono>
#include <clocale>
#include <cstdio>
#include <iostream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr auto Refresh = std::chrono::seconds(1);
// The refresh period whose workstations one server core is said to hold.
constexpr double HeldRefreshMilliseconds = 5000;

// One workstation: connects, builds the live rows of every channel, refreshes once (the
// prepare, if any, falls outside the measure), says "ready", waits for a line on its input,
// then refreshes every second for the given time and prints how many times it did.
int RunWorkstation(int argc, char** argv, const QString& database, int seconds)
{
    QApplication application(argc, argv);
    db::CDataBase connection;
    sql::SqlConnection sqlConnection;
    sql::SqlQuery query;
    auto channels = std::make_unique<db::ChannelTable>();
    connection.SetParams(QStringLiteral("zemlo_viewer"), QStringLiteral("zemlo_viewer"), QStringLiteral("127.0.0.1"), database);
    connection.Connect(sqlConnection, query);
    db::LoadChannelSettings(connection, query, db::contract::SettingsTable, *channels);

    QScrollArea box;
    box.setWidget(new QWidget);
    QLabel update;
    std::array<QLabel, 4> dots;
    for (QLabel& dot : dots) {
        QPixmap picture(16, 16);
        picture.fill(Qt::green);
        dot.setPixmap(picture);
    }
    live::LiveView view({&box, &update, {&dots[0], &dots[1], &dots[2], &dots[3]}}, connection, query, *channels);
    view.BuildLiveView(channels->count);
    view.RefreshLiveView(db::contract::DataTable);
    std::printf("ready\n");
    std::fflush(stdout);
    std::string go;
    std::getline(std::cin, go);

    const auto start = std::chrono::steady_clock::now();
    const auto end = start + std::chrono::seconds(seconds);
    int ticks = 0;
    for (auto next = start; next < end; next += Refresh) {
        std::this_thread::sleep_until(next);
        view.RefreshLiveView(db::contract::DataTable);
        ++ticks;
    }
    std::printf("ticks %d\n", ticks);
    return 0;
}

// A statement as the server's root, over its socket.
void AsRoot(const char* statement)
{
    const sql::MysqlHandle root(mysql_init(nullptr));
    if (!mysql_real_connect(root.get(), "localhost", "root", "", nullptr, 0, qgetenv("ZEMLO_DB_SOCKET").constData(), 0)
        || mysql_query(root.get(), statement) != 0)
        qFatal("as root: %s", mysql_error(root.get()));
}

struct RoomCost {
    int ticks = 0;
    double serverCpu = 0;
};

// Starts the workstations, lets them refresh together and measures the server meanwhile.
RoomCost RunRoom(const QString& program, const QString& database, int workstations, int seconds)
{
    bench::ServerMeter server(database);
    std::vector<std::unique_ptr<QProcess>> room;
    for (int i = 0; i < workstations; ++i) {
        auto workstation = std::make_unique<QProcess>();
        workstation->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        workstation->start(program, {QStringLiteral("--workstation"), database, QString::number(seconds)});
        room.push_back(std::move(workstation));
    }
    for (const auto& workstation : room) {
        while (!workstation->canReadLine())
            if (!workstation->waitForReadyRead(120000))
                qFatal("a workstation did not get ready");
        workstation->readLine();
    }
    RoomCost cost;
    const double cpuBefore = server.cpuMilliseconds();
    for (const auto& workstation : room)
        workstation->write("go\n");
    for (const auto& workstation : room) {
        if (!workstation->waitForFinished(1000 * (seconds + 120)) || workstation->exitCode() != 0)
            qFatal("a workstation failed");
        cost.ticks += QByteArray(workstation->readAll()).trimmed().split(' ').value(1).toInt();
    }
    cost.serverCpu = server.cpuMilliseconds() - cpuBefore;
    return cost;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc > 3 && QByteArray(argv[1]) == "--workstation")
        return RunWorkstation(argc, argv, QString::fromLocal8Bit(argv[2]), std::atoi(argv[3]));

    QCoreApplication application(argc, argv);
    // Figures with a decimal point, whatever the locale.
    std::setlocale(LC_NUMERIC, "C");
    const QString database = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("zemlo");
    const int workstations = argc > 2 ? std::atoi(argv[2]) : 10;
    const int seconds = argc > 3 ? std::atoi(argv[3]) : 30;
    const QString program = QCoreApplication::applicationFilePath();

    const RoomCost prepared = RunRoom(program, database, workstations, seconds);
    AsRoot("SET GLOBAL max_prepared_stmt_count = 0");
    const RoomCost text = RunRoom(program, database, workstations, seconds);
    AsRoot("SET GLOBAL max_prepared_stmt_count = DEFAULT");

    std::printf("%d workstations refreshing every second for %d s\n", workstations, seconds);
    const auto print = [&](const char* path, const RoomCost& cost) {
        const double perTick = cost.serverCpu / cost.ticks;
        std::printf("%-34s %5d ticks  server CPU %6.2f ms a tick (%3.0f %% of a core)  one core holds %5.0f at Refresh 5\n",
                    path, cost.ticks, perTick, 100.0 * cost.serverCpu / (1000.0 * seconds), HeldRefreshMilliseconds / perTick);
        return HeldRefreshMilliseconds / perTick;
    };
    const double heldText = print("text query (the server refuses PREPARE)", text);
    const double heldPrepared = print("prepared statement", prepared);
    std::printf("workstations one core holds: prepared %.0f = %.1f x the text query's (target >= 5)\n", heldPrepared,
                heldPrepared / heldText);
    return 0;
}

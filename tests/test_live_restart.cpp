// The live refresh and the history fetch keep working across a restart of the database
// server, and the live refresh after the server stopped answering for a while, without
// restarting the program. Runs a server of its own so that the shared one is not disturbed.
#include "AppFixture.h"
#include "PrivateServer.h"
#include "ScriptedDesktop.h"
#include "TestServer.h"

#include "app/ZemloApplication.h"
#include "history/StringGrid.h"

#include <QLabel>
#include <QToolButton>
#include <QTimer>
#include <QtTest>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace {

void OneRow(ScratchDatabase& database)
{
    database.createContract({{.NAME = "T1"}});
    database.insertData("2021-10-19 08:00:00", {{20.0, "A"}});
}

} // namespace

class LiveRestartTest : public QObject {
    Q_OBJECT
    PrivateServer server;

private slots:
    void initTestCase()
    {
        QVERIFY(server.start());
        server.makeCurrent();
    }

    void refreshWorksAgainAfterServerRestart()
    {
        ConnectedApp app(OneRow);
        ScratchDatabase& database = app.database;
        const auto& main = app.main;
        QVERIFY(main->database().connected());
        QCOMPARE(main->findChild<QLabel*>("ViewValue_0000")->text(), QStringLiteral("20,0 °C"));
        database.insertData("2021-10-19 08:01:00", {{22.0, ""}});

        QVERIFY(server.stop());
        QVERIFY_THROWS_EXCEPTION(std::exception, main->RefreshLiveView(db::contract::DataTable, true));
        QVERIFY(server.start());
        main->RefreshLiveView(db::contract::DataTable, true);
        QCOMPARE(main->findChild<QLabel*>("ViewValue_0000")->text(), QStringLiteral("22,0 °C"));
    }

    void fetchWorksAgainAfterServerRestart()
    {
        ConnectedApp app(
            [](ScratchDatabase& database) {
                OneRow(database);
                database.insertData("2021-10-19 08:01:00", {{21.0, ""}});
            },
            "[View]\nRefresh=0\n");
        ScratchDatabase& database = app.database;
        ScriptedDesktop& desktop = app.desktop;
        const auto& main = app.main;
        main->GetDataButton->click();
        QCOMPARE(main->DataGrid->rowCount(), 3);

        // A row the next fetch will bring. The server goes: one box says so, and what the
        // grid showed stays.
        database.insertData("2021-10-19 08:00:30", {{22.5, ""}});
        QVERIFY(server.stop());
        main->GetDataButton->click();
        QCOMPARE(desktop.messages.size(), 1);
        QCOMPARE(main->DataGrid->cell(1, 2), QStringLiteral("21,0"));
        QVERIFY(!main->SQLQuery.isOpen());

        // It is back: the next fetch reconnects and brings the new row too.
        QVERIFY(server.start());
        main->GetDataButton->click();
        QCOMPARE(desktop.messages.size(), 1);
        QCOMPARE(main->DataGrid->rowCount(), 4);
        QCOMPARE(main->DataGrid->cell(1, 2), QStringLiteral("22,5"));
    }

    void refreshRecoversFromAServerThatStoppedAnswering()
    {
        ConnectedApp app(OneRow, "[View]\nRefresh=1\n");
        ScratchDatabase& database = app.database;
        ScriptedDesktop& desktop = app.desktop;
        const auto& main = app.main;
        QCOMPARE(main->findChild<QLabel*>("ViewValue_0000")->text(), QStringLiteral("20,0 °C"));
        main->TimerUpdate->setInterval(20);

        // The server hangs. A refresh that waited for it would block the window, and this
        // test with it: the server is let go after 30 s at the latest, from a thread.
        QVERIFY(server.freeze());
        const std::jthread watchdog([this](const std::stop_token& stop) {
            std::mutex mutex;
            std::unique_lock lock(mutex);
            std::condition_variable_any wake;
            wake.wait_for(lock, stop, std::chrono::seconds(30), [] { return false; });
            server.thaw();
        });
        // It is given up after the read time-out, with the client library's words in the box.
        desktop.whileShowing = [this] { server.thaw(); };
        QTRY_VERIFY_WITH_TIMEOUT(!desktop.messages.isEmpty(), 30000);
        QVERIFY2(desktop.messages[0].text.contains("Lost connection"), qPrintable(desktop.messages[0].text));

        // Once it answers again, the next tick reconnects and shows the newest row.
        desktop.whileShowing = {};
        database.insertData("2021-10-19 08:01:00", {{22.0, ""}});
        QTRY_COMPARE_WITH_TIMEOUT(main->findChild<QLabel*>("ViewValue_0000")->text(), QStringLiteral("22,0 °C"), 30000);
    }
};

int main(int argc, char** argv)
{
    app::ZemloApplication application(argc, argv);
    LiveRestartTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_live_restart.moc"

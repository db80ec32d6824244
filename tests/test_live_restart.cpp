// The live refresh and the history fetch keep working across a restart of the database
// server, and the live refresh after the server stopped answering for a while, without
// restarting the program; a server that is down at the start is connected to once it is up.
// The status tells each of these as it is. Runs a server of its own so that the shared one
// is not disturbed.
#include "AppFixture.h"
#include "PrivateServer.h"
#include "ScriptedDesktop.h"
#include "TestServer.h"

#include "app/ZemloApplication.h"
#include "common/DateTimeText.h"
#include "history/HistoryChart.h"
#include "history/RangePickers.h"
#include "history/StringGrid.h"
#include "live/LiveView.h"
#include "platform/os/Clock.h"

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

const QString ConnectedCaption = QStringLiteral("Połączono poprawnie z bazą daych.");
const QString FailedCaption = QStringLiteral("Błąd połączenia z baza danych.");

QColor StatusColour(const app::TFMain& main)
{
    return main.LabelStatus->palette().color(QPalette::Window);
}

void VerifyConnectedLook(const app::TFMain& main)
{
    QCOMPARE(main.LabelStatus->text(), ConnectedCaption);
    QCOMPARE(StatusColour(main), QColor(0xC0, 0xDC, 0xC0));
    QCOMPARE(Rendered(main.LabelStatus->toolTip()), "Serwer bazy danych: " + TestServer::viewerHost());
}

void VerifyFailedLook(const app::TFMain& main)
{
    QCOMPARE(main.LabelStatus->text(), FailedCaption);
    QCOMPARE(StatusColour(main), QColor(0xFD, 0x7C, 0x66));
}

} // namespace

class LiveRestartTest : public QObject {
    Q_OBJECT
    PrivateServer server;
    bool stopped = false;

    bool stopServer()
    {
        stopped = server.stop();
        return stopped;
    }

    bool startServer()
    {
        stopped = !server.start();
        return !stopped;
    }

    // A test that ends early with its server stopped starts it again before its scratch
    // database goes.
    auto restartOnExit()
    {
        return qScopeGuard([this] {
            if (stopped)
                startServer();
        });
    }

private slots:
    void initTestCase()
    {
        QVERIFY(server.start());
        server.makeCurrent();
    }

    void cleanup() { os::SetClock({}); }

    void downAtStartIsRetried_data()
    {
        QTest::addColumn<QString>("refresh");
        QTest::addColumn<int>("seconds"); // until the next try
        QTest::newRow("Refresh 1") << "1" << 1;
        QTest::newRow("Refresh 0: 5 s") << "0" << 5;
        QTest::newRow("negative Refresh: 5 s") << "-2" << 5;
    }

    void downAtStartIsRetried()
    {
        QFETCH(QString, refresh);
        QFETCH(int, seconds);
        ScratchDatabase database;
        OneRow(database);
        AppFolder folder;
        folder.writeConnection(database.name());
        folder.write("config.ini", ("[View]\nRefresh=" + refresh + "\n").toUtf8());
        ScriptedDesktop desktop;
        const QDateTime now({2021, 10, 20}, {12, 0, 1}, Qt::UTC);
        os::SetClock([&] { return now; });

        const auto restart = restartOnExit();
        QVERIFY(stopServer());
        const auto main = folder.start();
        main->show();
        main->ToggleConnection();
        VerifyFailedLook(*main);
        QVERIFY(!main->PanelButton->isEnabled());
        // The reason, and when the next try comes.
        const QString tip = Rendered(main->LabelStatus->toolTip());
        QVERIFY2(tip.contains("Can't connect"), qPrintable(tip));
        QVERIFY2(tip.contains(common::DateTimeText(now.addSecs(seconds))), qPrintable(tip));

        // Up again: the next try connects, and the window is as if the first one had.
        QVERIFY(startServer());
        QTRY_COMPARE_WITH_TIMEOUT(main->LabelStatus->text(), ConnectedCaption, 1000 * seconds + 5000);
        VerifyConnectedLook(*main);
        QCOMPARE(main->StatusPanel->text(), "Baza danych :: " + database.name() + " :: zemlo_viewer :: ****");
        QVERIFY(main->PanelButton->isEnabled());
        QCOMPARE(main->channels().count, 1u);
        QCOMPARE(main->liveView().LiveRowCount(), 1u);
        QCOMPARE(main->Chart->seriesCount(), 1);
        QVERIFY(!main->DataGrid->isHidden());
        QVERIFY(!main->EventGrid->isHidden());
        QVERIFY(!main->LabelUpdate->isHidden());
        QCOMPARE(main->DataGrid->colCount(), 3);
        QCOMPARE(QDateTime(main->picker_out_d->date(), main->picker_out_t->time()), QDateTime({2021, 10, 19}, {8, 0, 0}));
        QCOMPARE(main->findChild<QLabel*>("ViewValue_0000")->text(), QStringLiteral("20,0 °C"));
        QCOMPARE(main->TimerUpdate->isActive(), refresh.toInt() > 0);
        QVERIFY(desktop.messages.isEmpty());
        // Connected, it is not tried again.
        QTest::qWait(1200);
        QCOMPARE(main->liveView().LiveRowCount(), 1u);
    }

    void statusFollowsAStoppedServer()
    {
        ConnectedApp app(OneRow, "[View]\nRefresh=1\n");
        ScratchDatabase& database = app.database;
        ScriptedDesktop& desktop = app.desktop;
        const auto& main = app.main;
        VerifyConnectedLook(*main);
        main->TimerUpdate->setInterval(20);

        // Gone: red with the reason at the first failed refresh. The ticks that keep failing
        // show no further box; the tool tip gives the newest words.
        const auto restart = restartOnExit();
        QVERIFY(stopServer());
        QTRY_COMPARE_WITH_TIMEOUT(main->LabelStatus->text(), FailedCaption, 10000);
        VerifyFailedLook(*main);
        QTRY_VERIFY2_WITH_TIMEOUT(Rendered(main->LabelStatus->toolTip()).contains("Can't connect"),
                                  qPrintable(main->LabelStatus->toolTip()), 5000);
        QTest::qWait(300);
        QCOMPARE(desktop.messages.size(), 1);
        // What was fetched can still be saved.
        QVERIFY(main->PanelButton->isEnabled());

        // Back: green at the next refresh that works, with the newest row.
        QVERIFY(startServer());
        database.insertData("2021-10-19 08:01:00", {{22.0, ""}});
        QTRY_COMPARE_WITH_TIMEOUT(main->findChild<QLabel*>("ViewValue_0000")->text(), QStringLiteral("22,0 °C"), 10000);
        VerifyConnectedLook(*main);
        QCOMPARE(desktop.messages.size(), 1);
    }

    void refreshWorksAgainAfterServerRestart()
    {
        ConnectedApp app(OneRow);
        ScratchDatabase& database = app.database;
        const auto& main = app.main;
        QVERIFY(main->database().connected());
        QCOMPARE(main->findChild<QLabel*>("ViewValue_0000")->text(), QStringLiteral("20,0 °C"));
        database.insertData("2021-10-19 08:01:00", {{22.0, ""}});

        const auto restart = restartOnExit();
        QVERIFY(stopServer());
        QVERIFY_THROWS_EXCEPTION(std::exception, main->RefreshLiveView(db::contract::DataTable));
        QVERIFY(startServer());
        main->RefreshLiveView(db::contract::DataTable);
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
        const auto restart = restartOnExit();
        QVERIFY(stopServer());
        main->GetDataButton->click();
        QCOMPARE(desktop.messages.size(), 1);
        QCOMPARE(main->DataGrid->cell(1, 2), QStringLiteral("21,0"));
        QVERIFY(!main->SQLQuery.isOpen());
        // The status tells it with the fetch's reason.
        VerifyFailedLook(*main);
        QVERIFY2(Rendered(main->LabelStatus->toolTip()).contains(desktop.messages[0].text),
                 qPrintable(main->LabelStatus->toolTip()));

        // It is back: the next fetch reconnects and brings the new row too.
        QVERIFY(startServer());
        main->GetDataButton->click();
        QCOMPARE(desktop.messages.size(), 1);
        QCOMPARE(main->DataGrid->rowCount(), 4);
        QCOMPARE(main->DataGrid->cell(1, 2), QStringLiteral("22,5"));
        VerifyConnectedLook(*main);
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
        // It is given up after the read time-out, with the client library's words in the box;
        // the status is red with them when the box comes.
        QString statusAtBox;
        QString reasonAtBox;
        desktop.whileShowing = [&] {
            statusAtBox = main->LabelStatus->text();
            reasonAtBox = Rendered(main->LabelStatus->toolTip());
            server.thaw();
        };
        QTRY_VERIFY_WITH_TIMEOUT(!desktop.messages.isEmpty(), 30000);
        // In Polish, the client library's own words after a colon.
        QVERIFY2(desktop.messages[0].text.startsWith("Utracono połączenie z serwerem bazy danych: ")
                     && desktop.messages[0].text.contains("Lost connection"),
                 qPrintable(desktop.messages[0].text));
        QCOMPARE(statusAtBox, FailedCaption);
        QVERIFY2(reasonAtBox.contains(desktop.messages[0].text), qPrintable(reasonAtBox));

        // Once it answers again, the next tick reconnects and shows the newest row.
        desktop.whileShowing = {};
        database.insertData("2021-10-19 08:01:00", {{22.0, ""}});
        QTRY_COMPARE_WITH_TIMEOUT(main->findChild<QLabel*>("ViewValue_0000")->text(), QStringLiteral("22,0 °C"), 30000);
        VerifyConnectedLook(*main);
    }
};

int main(int argc, char** argv)
{
    app::ZemloApplication application(argc, argv);
    LiveRestartTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_live_restart.moc"

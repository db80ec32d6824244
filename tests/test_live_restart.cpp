// The live refresh keeps working across a restart of the database server, without
// restarting the program. Runs a server of its own so that the shared one is not disturbed.
#include "AppFixture.h"
#include "PrivateServer.h"
#include "ScriptedDesktop.h"
#include "TestServer.h"

#include "app/ZemloApplication.h"

#include <QLabel>
#include <QtTest>

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
        ScratchDatabase database;
        database.createContract({{.NAME = "T1"}});
        database.insertData("2021-10-19 08:00:00", {{20.0, "A"}});
        AppFolder folder;
        folder.writeConnection(database.name());
        ScriptedDesktop desktop;
        const auto main = folder.start();
        main->ToggleConnection();
        QVERIFY(main->database().connected());
        QCOMPARE(main->findChild<QLabel*>("ViewValue_0000")->text(), QStringLiteral("20,0 °C"));
        database.insertData("2021-10-19 08:01:00", {{22.0, ""}});

        QVERIFY(server.stop());
        QVERIFY_THROWS_EXCEPTION(std::exception, main->RefreshLiveView(db::contract::DataTable, true));
        QVERIFY(server.start());
        main->RefreshLiveView(db::contract::DataTable, true);
        QCOMPARE(main->findChild<QLabel*>("ViewValue_0000")->text(), QStringLiteral("22,0 °C"));
    }
};

int main(int argc, char** argv)
{
    app::ZemloApplication application(argc, argv);
    LiveRestartTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_live_restart.moc"

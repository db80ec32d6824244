// A site with a read replica lists both servers in Host. The demo's live writer feeds the
// primary, which a real replica follows; when the primary stops, the viewer goes on with the
// replica within one refresh period: green, naming the replica, the live tab refreshing and a
// fetch working, without a box. Runs servers of its own, on loopback.
#include "AppFixture.h"
#include "PrivateServer.h"
#include "ScriptedDesktop.h"

#include "app/ZemloApplication.h"
#include "history/StringGrid.h"
#include "live/LiveView.h"
#include "platform/sql/SqlHandles.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QProcess>
#include <QStatusBar>
#include <QTimer>
#include <QtTest>

namespace {

const QString Database = QStringLiteral("zemlo_failover");
const QString ConnectedCaption = QStringLiteral("Połączono poprawnie z bazą daych.");

QString DemoTool()
{
    return qEnvironmentVariable("ZEMLO_BINARY_DIR") + QStringLiteral("/zemlo-demo-db");
}

// The newest row of ZEMLO_DATA on the server at 127.0.0.1:port, as the viewer's user reads it
// through the client library itself; empty while it has none.
QString NewestRow(const QString& port)
{
    const sql::MysqlHandle handle(mysql_init(nullptr));
    if (!handle || !mysql_real_connect(handle.get(), "127.0.0.1", TestServer::viewerUser().toUtf8().constData(),
                                       TestServer::viewerPassword().toUtf8().constData(), Database.toUtf8().constData(),
                                       port.toUInt(), nullptr, 0)
        || mysql_query(handle.get(), "SELECT MAX(DT) FROM ZEMLO_DATA") != 0)
        return {};
    const sql::ResultHandle result(mysql_store_result(handle.get()));
    const MYSQL_ROW row = result ? mysql_fetch_row(result.get()) : nullptr;
    return row && row[0] ? QString::fromLatin1(row[0]) : QString();
}

} // namespace

class ReplicaFailoverTest : public QObject {
    Q_OBJECT
    PrivateServer primary;
    PrivateServer replica;
    QProcess writer;

private slots:
    void initTestCase()
    {
        QVERIFY(primary.startAsPrimary());
        QVERIFY(replica.startAsReplicaOf(primary));
        // The demo tool and the fixtures talk to the primary.
        primary.makeCurrent();
        QProcess create;
        create.setProcessChannelMode(QProcess::ForwardedChannels);
        create.start(DemoTool(), {"create", "--channels", "5", "--days", "0.01", "--step", "60", "--database", Database});
        QVERIFY(create.waitForFinished(120000) && create.exitCode() == 0);
        writer.setProcessChannelMode(QProcess::ForwardedChannels);
        writer.start(DemoTool(), {"live", "--interval", "0.5", "--database", Database});
        QVERIFY(writer.waitForStarted());
    }

    void cleanupTestCase()
    {
        writer.kill();
        writer.waitForFinished();
    }

    void replicaTakesOverWhenThePrimaryStops()
    {
        // The replica follows the writer's rows.
        const QString first = NewestRow(primary.port());
        QVERIFY(!first.isEmpty());
        QTRY_VERIFY_WITH_TIMEOUT(NewestRow(replica.port()) >= first && NewestRow(replica.port()) > QString(), 20000);

        const QString primaryServer = "127.0.0.1:" + primary.port();
        const QString replicaServer = "127.0.0.1:" + replica.port();
        AppFolder folder;
        folder.write("connection.ini", QStringLiteral("[DataBase]\nName=%1\nPassword=%2\nUser=%3\nHost=%4, %5\n")
                                           .arg(Database, TestServer::viewerPassword(), TestServer::viewerUser(),
                                                primaryServer, replicaServer)
                                           .toUtf8());
        folder.write("config.ini", "[View]\nRefresh=1\n");
        ScriptedDesktop desktop;
        const auto main = folder.start();
        main->show();
        main->ToggleConnection();
        const QString panel = "Baza danych :: " + Database + " :: zemlo_viewer :: ****";
        QCOMPARE(main->LabelStatus->text(), ConnectedCaption);
        QCOMPARE(main->StatusPanel->text(), panel + " :: " + primaryServer);
        QCOMPARE(Rendered(main->LabelStatus->toolTip()), "Serwer bazy danych: " + primaryServer);
        QCOMPARE(main->liveView().LiveRowCount(), 5u);

        // The primary stops: within one refresh period the viewer reads from the replica.
        QVERIFY(primary.stop());
        QElapsedTimer clock;
        clock.start();
        QTRY_COMPARE_WITH_TIMEOUT(main->StatusPanel->text(), panel + " :: " + replicaServer, 1000 + 2000);
        qInfo("on the replica %lld ms after the primary stopped", clock.elapsed());
        QCOMPARE(main->LabelStatus->text(), ConnectedCaption);
        QCOMPARE(Rendered(main->LabelStatus->toolTip()), "Serwer bazy danych: " + replicaServer);

        // The live tab goes on: its refresh time moves on.
        const QString updated = main->LabelUpdate->text();
        QTRY_VERIFY_WITH_TIMEOUT(main->LabelUpdate->text() != updated, 3000);
        QCOMPARE(main->LabelStatus->text(), ConnectedCaption);
        // And a fetch of everything the replica holds works.
        main->GetDataButtonClick();
        QCOMPARE_GT(main->DataGrid->rowCount(), 10);
        QVERIFY2(desktop.messages.isEmpty(), qPrintable(desktop.messages.value(0).text));
    }
};

int main(int argc, char** argv)
{
    app::ZemloApplication application(argc, argv);
    ReplicaFailoverTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_replica_failover.moc"

// A connection outlives a restart of the server: the next query reconnects, in utf8mb4.
// Runs its own server so that the shared one is not disturbed.
#include "PrivateServer.h"
#include "TestServer.h"
#include "platform/sql/SqlConnection.h"
#include "platform/sql/SqlQuery.h"

#include <QTest>

using namespace sql;

class SqlReconnectTest : public QObject {
    Q_OBJECT

    PrivateServer server;

    // The server's answer, or the error's message: a failure must not skip stopping the server.
    static QString greeting(SqlQuery& query)
    {
        QString answer;
        const QString error = sqlErrorOf([&] {
            query.setSql(QStringLiteral("SELECT 'Zażółć gęślą jaźń', @@character_set_client, @@character_set_results"));
            query.open();
            answer = QStringList({query.text(0), query.text(1), query.text(2)}).join(QLatin1Char('|'));
            query.close();
        });
        return error.isNull() ? answer : error;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(server.start());
        server.makeCurrent();
    }

    void nextQueryAfterARestartReconnects()
    {
        SqlConnection connection;
        connection.Params() = {QStringLiteral("Database=zemlo"), "User_Name=" + TestServer::viewerUser(),
                               "Password=" + TestServer::viewerPassword(), "HostName=" + TestServer::viewerHost()};
        connection.open();
        SqlQuery query;
        query.setConnection(&connection);
        const QString expected = QStringLiteral("Zażółć gęślą jaźń|utf8mb4|utf8mb4");
        QCOMPARE(greeting(query), expected);

        QVERIFY(server.stop());
        // Down: the client says "can't connect" or "lost connection", depending on when it notices.
        QVERIFY(greeting(query) != expected);

        QVERIFY(server.start());
        QCOMPARE(greeting(query), expected);
    }
};

QTEST_GUILESS_MAIN(SqlReconnectTest)
#include "test_sql_reconnect.moc"

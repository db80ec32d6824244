// Prepared statements where the server itself changes: restarted under a prepared
// statement, or refusing to prepare any (its limit of prepared statements at 0), when the
// program reads as it did before prepared statements, with the values' text. Runs a server
// of its own: neither may disturb the tests of the shared one.
#include "AppFixture.h"
#include "PrivateServer.h"
#include "ScriptedDesktop.h"
#include "TestServer.h"

#include "history/StringGrid.h"
#include "platform/sql/SqlConnection.h"
#include "platform/sql/SqlQuery.h"

#include <QLabel>
#include <QToolButton>
#include <QtTest>

class SqlPreparedServerTest : public QObject {
    Q_OBJECT
    PrivateServer server;

    // The value the query reads, or the error's message: a failure must not skip what follows.
    static QString readValue(sql::SqlQuery& query)
    {
        QString value;
        const QString error = sqlErrorOf([&] {
            query.setSql(QStringLiteral("SELECT V FROM STORED"));
            query.open();
            value = QString::number(query.toFloat(0), 'g', 9) + (query.isPrepared() ? " prepared" : " text");
            query.close();
        });
        return error.isNull() ? value : error;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(server.start());
        server.makeCurrent();
    }

    void statementPreparedAgainAfterARestart()
    {
        ScratchDatabase database;
        database.exec("CREATE TABLE STORED (V FLOAT)");
        database.exec("INSERT INTO STORED VALUES (1234567)");
        sql::SqlConnection connection;
        TestServer::setViewerParams(connection, database.name());
        connection.open();
        sql::SqlQuery query;
        query.setConnection(&connection);
        QCOMPARE(readValue(query), QStringLiteral("1234567 prepared"));

        QVERIFY(server.stop());
        QVERIFY(readValue(query) != QStringLiteral("1234567 prepared"));
        QVERIFY(server.start());
        // The first statement after the restart may still meet the old connection's end.
        if (readValue(query) != QStringLiteral("1234567 prepared"))
            QCOMPARE(readValue(query), QStringLiteral("1234567 prepared"));
        QCOMPARE(readValue(query), QStringLiteral("1234567 prepared"));
    }

    // A server that prepares nothing: the live tab and the fetch show what they showed before
    // the program read through prepared statements, the value's text of six digits included;
    // once it prepares again, the value as stored.
    void serverThatRefusesToPrepare()
    {
        ConnectedApp app(
            [](ScratchDatabase& database) {
                database.createContract({{.NAME = "Licznik", .UNIT = "kWh", .DOT = 0}, {.NAME = "T1", .DOT = 2}});
                database.insertData("2021-10-19 08:00:00", {{1234567, "A"}, {21.46, ""}});
                database.exec("SET GLOBAL max_prepared_stmt_count = 0");
            },
            "[View]\nRefresh=0\n");
        const auto restore = qScopeGuard([&] { app.database.exec("SET GLOBAL max_prepared_stmt_count = DEFAULT"); });
        app.main->RefreshLiveView("ZEMLO_DATA");
        QCOMPARE(app.label("ViewValue_0000")->text(), QStringLiteral("1234570 kWh"));
        QCOMPARE(app.label("ViewValue_0001")->text(), QStringLiteral("21,46 °C"));
        app.main->GetDataButton->click();
        QCOMPARE(app.desktop.messages.size(), 0);
        QCOMPARE(app.main->DataGrid->cell(0, 1), QStringLiteral("19.10.2021 08:00:00"));
        QCOMPARE(app.main->DataGrid->cell(1, 1), QStringLiteral("1234570"));
        QCOMPARE(app.main->DataGrid->cell(2, 1), QStringLiteral("[!1H]"));
        QCOMPARE(app.main->DataGrid->cell(3, 1), QStringLiteral("21,46"));

        app.database.exec("SET GLOBAL max_prepared_stmt_count = DEFAULT");
        app.main->RefreshLiveView("ZEMLO_DATA");
        QCOMPARE(app.label("ViewValue_0000")->text(), QStringLiteral("1234567 kWh"));
        app.main->GetDataButton->click();
        QCOMPARE(app.main->DataGrid->cell(1, 1), QStringLiteral("1234567"));
    }
};

QTEST_MAIN(SqlPreparedServerTest)
#include "test_sql_prepared_server.moc"

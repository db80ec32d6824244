// CDataBase: the parameter list it builds, its connected flag and its results.
#include "TestServer.h"
#include "db/CDataBase.h"
#include "platform/sql/SqlConnection.h"
#include "platform/sql/SqlQuery.h"

#include <QTest>

using namespace sql;

class DatabaseConnectionTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { TestServer::requireServer(); }

    void connect_data()
    {
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("host");
        QTest::addColumn<QString>("database");
        QTest::addColumn<int>("result");
        QTest::addColumn<QString>("error");

        const QString user = TestServer::viewerUser();
        const QString password = TestServer::viewerPassword();
        const QString host = TestServer::viewerHost();
        QTest::newRow("good values") << user << password << host << "zemlo" << 0 << QString();
        QTest::newRow("wrong password") << user << "zle haslo" << host << "zemlo" << -1 << "Access denied";
        QTest::newRow("unknown database") << user << password << host << "nie_ma" << -1 << "Unknown database 'nie_ma'";
        QTest::newRow("all empty") << "" << "" << "" << "" << -1 << "No user name given";
        QTest::newRow("nothing listens") << user << password << "127.0.0.2" << "zemlo" << -1 << "Can't connect";
    }

    void connect()
    {
        QFETCH(QString, user);
        QFETCH(QString, password);
        QFETCH(QString, host);
        QFETCH(QString, database);
        QFETCH(int, result);
        QFETCH(QString, error);

        SqlConnection connection;
        connection.Params() = {QStringLiteral("Port=3306"), QStringLiteral("Database=stara")};
        connection.setDriverName(QStringLiteral("DB2"));
        SqlQuery query;
        db::CDataBase db;
        db.SetParams(user, password, host, database);

        QCOMPARE(db.Connect(connection, query), result);
        QCOMPARE(connection.Params(), QStringList({"Database=" + database, "User_Name=" + user,
                                                   "Password=" + password, "HostName=" + host}));
        QCOMPARE(connection.driverName(), QStringLiteral("MySQL"));
        QCOMPARE(query.connection(), &connection);
        QCOMPARE(db.connected(), result == 0);
        QCOMPARE(connection.isOpen(), result == 0);
        if (error.isEmpty())
            QVERIFY(db.lastError().isEmpty());
        else
            QVERIFY2(db.lastError().contains(error), qPrintable(db.lastError()));
    }

    void connectAgainAfterAFailure()
    {
        SqlConnection connection;
        SqlQuery query;
        db::CDataBase db;
        db.SetParams(TestServer::viewerUser(), QStringLiteral("zle"), TestServer::viewerHost(), QStringLiteral("zemlo"));
        QCOMPARE(db.Connect(connection, query), -1);
        QVERIFY(!db.lastError().isEmpty());

        db.SetParams(TestServer::viewerUser(), TestServer::viewerPassword(), TestServer::viewerHost(), QStringLiteral("zemlo"));
        QCOMPARE(db.Connect(connection, query), 0);
        QVERIFY(db.connected());
        QVERIFY(db.lastError().isEmpty());
        QCOMPARE(connection.Params().size(), 4);
        query.setSql(QStringLiteral("SELECT DATABASE()"));
        query.open();
        QCOMPARE(query.text(0), QStringLiteral("zemlo"));
    }

    void disconnectClosesOnceAndReturnsZeroTwice()
    {
        SqlConnection connection;
        SqlQuery query;
        db::CDataBase db;
        db.SetParams(TestServer::viewerUser(), TestServer::viewerPassword(), TestServer::viewerHost(), QStringLiteral("zemlo"));
        QCOMPARE(db.Connect(connection, query), 0);
        query.setSql(QStringLiteral("SELECT 1"));
        query.open();

        QCOMPARE(db.Disconnect(connection), 0);
        QVERIFY(!db.connected());
        QVERIFY(!connection.isOpen());
        QVERIFY(!query.isOpen());

        connection.open();  // a second Disconnect must not touch the connection
        QCOMPARE(db.Disconnect(connection), 0);
        QVERIFY(connection.isOpen());
    }

    void setParamsMarksNotConnected()
    {
        SqlConnection connection;
        SqlQuery query;
        db::CDataBase db;
        QVERIFY(!db.connected());
        db.SetParams(TestServer::viewerUser(), TestServer::viewerPassword(), TestServer::viewerHost(), QStringLiteral("zemlo"));
        QCOMPARE(db.Connect(connection, query), 0);
        db.SetParams(QString(), QString(), QString(), QString());
        QVERIFY(!db.connected());
        QVERIFY(connection.isOpen());  // SetParams touches no connection
    }
};

QTEST_GUILESS_MAIN(DatabaseConnectionTest)
#include "test_database_connection.moc"

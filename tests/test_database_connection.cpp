// CDataBase: the parameter list it builds, its connected flag and its errors.
#include "TestServer.h"
#include "db/CDataBase.h"
#include "platform/sql/SqlConnection.h"
#include "platform/sql/SqlError.h"
#include "platform/sql/SqlQuery.h"
#include "platform/sql/ServerList.h"

#include <QRegularExpression>

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
        QTest::addColumn<QString>("error");
        QTest::addColumn<bool>("serverAway"); // the error says the server could not be reached

        const QString user = TestServer::viewerUser();
        const QString password = TestServer::viewerPassword();
        const QString host = TestServer::viewerHost();
        QTest::newRow("good values") << user << password << host << "zemlo" << QString() << false;
        QTest::newRow("wrong password") << user << "zle haslo" << host << "zemlo" << "Access denied" << false;
        QTest::newRow("unknown database") << user << password << host << "nie_ma" << "Unknown database 'nie_ma'" << false;
        QTest::newRow("all empty") << "" << "" << "" << "" << "Nie podano nazwy użytkownika bazy danych." << false;
        QTest::newRow("nothing listens") << user << password << "127.0.0.2" << "zemlo" << "Can't connect" << true;
    }

    void connect()
    {
        QFETCH(QString, user);
        QFETCH(QString, password);
        QFETCH(QString, host);
        QFETCH(QString, database);
        QFETCH(QString, error);
        QFETCH(bool, serverAway);

        SqlConnection connection;
        connection.Params() = {QStringLiteral("Port=3306"), QStringLiteral("Database=stara")};
        connection.setDriverName(QStringLiteral("DB2"));
        SqlQuery query;
        db::CDataBase db;
        db.SetParams(user, password, host, database);

        QString thrown;
        bool thrownServerAway = false;
        try {
            db.Connect(connection, query);
        } catch (const SqlError& failure) {
            thrown = QString::fromUtf8(failure.what());
            thrownServerAway = failure.cause() == SqlError::Cause::Connection;
        }
        QCOMPARE(connection.Params(), QStringList({"Database=" + database, "User_Name=" + user,
                                                   "Password=" + password, "HostName=" + host}));
        QCOMPARE(connection.driverName(), QStringLiteral("MySQL"));
        QCOMPARE(query.connection(), &connection);
        QCOMPARE(db.connected(), error.isEmpty());
        QCOMPARE(connection.isOpen(), error.isEmpty());
        QCOMPARE(thrown.isNull(), error.isEmpty());
        QVERIFY2(thrown.contains(error), qPrintable(thrown));
        QCOMPARE(thrownServerAway, serverAway);
    }

    void connectAgainAfterAFailure()
    {
        SqlConnection connection;
        SqlQuery query;
        db::CDataBase db;
        db.SetParams(TestServer::viewerUser(), QStringLiteral("zle"), TestServer::viewerHost(), QStringLiteral("zemlo"));
        QVERIFY_THROWS_EXCEPTION(SqlError, db.Connect(connection, query));
        QVERIFY(!db.connected());

        db.SetParams(TestServer::viewerUser(), TestServer::viewerPassword(), TestServer::viewerHost(), QStringLiteral("zemlo"));
        db.Connect(connection, query);
        QVERIFY(db.connected());
        QCOMPARE(connection.Params().size(), 4);
        query.setSql(QStringLiteral("SELECT DATABASE()"));
        query.open();
        QCOMPARE(query.text(0), QStringLiteral("zemlo"));
    }

    void disconnectClosesOnce()
    {
        SqlConnection connection;
        SqlQuery query;
        db::CDataBase db;
        db.SetParams(TestServer::viewerUser(), TestServer::viewerPassword(), TestServer::viewerHost(), QStringLiteral("zemlo"));
        db.Connect(connection, query);
        query.setSql(QStringLiteral("SELECT 1"));
        query.open();

        db.Disconnect(connection);
        QVERIFY(!db.connected());
        QVERIFY(!connection.isOpen());
        QVERIFY(!query.isOpen());

        connection.open();  // a second Disconnect must not touch the connection
        db.Disconnect(connection);
        QVERIFY(connection.isOpen());
    }

    void setParamsMarksNotConnected()
    {
        SqlConnection connection;
        SqlQuery query;
        db::CDataBase db;
        QVERIFY(!db.connected());
        db.SetParams(TestServer::viewerUser(), TestServer::viewerPassword(), TestServer::viewerHost(), QStringLiteral("zemlo"));
        db.Connect(connection, query);
        db.SetParams(QString(), QString(), QString(), QString());
        QVERIFY(!db.connected());
        QVERIFY(connection.isOpen());  // SetParams touches no connection
    }

    // Host may list several servers: "host", "host:port", "[IPv6]:port", separated by commas.
    void serverList_data()
    {
        QTest::addColumn<QString>("hosts");
        QTest::addColumn<QStringList>("parsed"); // host/port each; empty: refused

        QTest::newRow("one, as before") << "db.zaklad.local" << QStringList{"db.zaklad.local/0"};
        QTest::newRow("none: the client's default") << "" << QStringList{"/0"};
        QTest::newRow("port") << "10.0.0.5:3307" << QStringList{"10.0.0.5/3307"};
        QTest::newRow("two, blanks and empty entries")
            << " primary:3306 , ,replica.local ," << QStringList{"primary/3306", "replica.local/0"};
        QTest::newRow("IPv6 with a port") << "[fd00::5]:3307,::1" << QStringList{"fd00::5/3307", "::1/0"};
        QTest::newRow("port not a number") << "primary,replica:abc" << QStringList();
        QTest::newRow("port 0") << "replica:0" << QStringList();
        QTest::newRow("port too large") << "replica:65536" << QStringList();
    }

    void serverList()
    {
        QFETCH(QString, hosts);
        QFETCH(QStringList, parsed);
        QStringList seen;
        const QString error = sqlErrorOf([&] {
            for (const ServerAddress& server : ParseServerList(hosts))
                seen.append(server.host + "/" + QString::number(server.port));
        });
        QCOMPARE(seen, parsed);
        if (parsed.isEmpty())
            QVERIFY2(error.startsWith(QStringLiteral("Nieprawidłowy numer portu")) && error.contains(hosts.section(',', -1)),
                     qPrintable(error));
    }

    // Connecting tries the servers in their order; after a loss the next one comes first.
    void serversAreTriedInOrder()
    {
        const QString port = qEnvironmentVariable("MYSQL_TCP_PORT");
        const QString away = QStringLiteral("127.0.0.1:1");
        const QString here = TestServer::viewerHost() + ":" + port;
        SqlConnection connection;
        TestServer::setViewerParams(connection, QStringLiteral("zemlo"));
        connection.Params().replaceInStrings(QRegularExpression("^HostName=.*"), "HostName=" + away + ", " + here);
        connection.open();
        QCOMPARE(connection.serverInUse(), here);
        QCOMPARE(connection.serverCount(), std::size_t(2));
        SqlQuery query;
        query.setConnection(&connection);
        query.setSql(QStringLiteral("SELECT 1"));
        query.open();
        connection.failOver(); // round the list: the one away, then this one again
        QVERIFY(!query.isOpen());
        QCOMPARE(connection.serverInUse(), here);

        // None answers: every server's reason, in Polish, and the cause says "away".
        connection.close();
        connection.Params().replaceInStrings(QRegularExpression("^HostName=.*"), "HostName=127.0.0.1:1,127.0.0.1:2");
        try {
            connection.open();
            QFAIL("connected to no server");
        } catch (const SqlError& error) {
            const QStringList lines = QString::fromUtf8(error.what()).split('\n');
            QCOMPARE(lines.size(), 2);
            QVERIFY2(lines[0].startsWith("Nie można połączyć się z serwerem bazy danych 127.0.0.1:1: "), qPrintable(lines[0]));
            QVERIFY2(lines[1].startsWith("Nie można połączyć się z serwerem bazy danych 127.0.0.1:2: "), qPrintable(lines[1]));
            QCOMPARE(error.cause(), SqlError::Cause::Connection);
        }
        QVERIFY(!connection.isOpen());
        QCOMPARE(connection.serverInUse(), QString());
    }
};

QTEST_GUILESS_MAIN(DatabaseConnectionTest)
#include "test_database_connection.moc"

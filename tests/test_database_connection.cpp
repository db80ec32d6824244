// CDataBase: the parameter list it builds, its connected flag and its errors.
#include "TestServer.h"
#include "db/CDataBase.h"
#include "platform/sql/SqlConnection.h"
#include "platform/sql/SqlError.h"
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
        QTest::addColumn<QString>("error");
        QTest::addColumn<bool>("serverAway"); // the error says the server could not be reached

        const QString user = TestServer::viewerUser();
        const QString password = TestServer::viewerPassword();
        const QString host = TestServer::viewerHost();
        QTest::newRow("good values") << user << password << host << "zemlo" << QString() << false;
        QTest::newRow("wrong password") << user << "zle haslo" << host << "zemlo" << "Access denied" << false;
        QTest::newRow("unknown database") << user << password << host << "nie_ma" << "Unknown database 'nie_ma'" << false;
        QTest::newRow("all empty") << "" << "" << "" << "" << "No user name given" << false;
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
};

QTEST_GUILESS_MAIN(DatabaseConnectionTest)
#include "test_database_connection.moc"

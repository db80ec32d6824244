// The SQL layer against the real server, logged in as the viewer.
#include "TestServer.h"
#include "platform/sql/SqlConnection.h"
#include "platform/sql/SqlError.h"
#include "platform/sql/SqlQuery.h"

#include <QTest>
#include <memory>

using namespace sql;

class SqlQueryTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ScratchDatabase> db;
    SqlConnection connection;
    SqlQuery query;

    void openQuery(const QString& text, ResultMode mode = ResultMode::Buffered)
    {
        query.setSql(text);
        query.open(mode);
    }

private slots:
    void initTestCase()
    {
        db = std::make_unique<ScratchDatabase>();
        db->exec(QStringLiteral("CREATE TABLE MIXED (ID INT NOT NULL, `Ciśnienie` VARCHAR(64) NULL, "
                                "VALUE FLOAT NULL, DT DATETIME NOT NULL)"));
        db->exec(QStringLiteral("INSERT INTO MIXED VALUES "
                                "(1, 'Ciśnienie żółć', 21.46, '2021-10-19 08:00:05'),"
                                "(2, 'NULL', NULL, '2021-10-19 00:00:00'),"
                                "(3, NULL, 4294969856, '2021-10-20 23:59:59')"));
        TestServer::setViewerParams(connection, db->name());
        connection.open();
        query.setConnection(&connection);
    }

    void cleanupTestCase()
    {
        connection.close();
        db.reset();
    }

    void connectionOpensAndClosesIdempotently()
    {
        SqlConnection other;
        TestServer::setViewerParams(other, db->name());
        other.open();
        QVERIFY(other.isOpen());
        QVERIFY(other.handle());
        other.close();
        other.close();
        QVERIFY(!other.isOpen());
        SqlQuery unbound;
        unbound.setConnection(&other);
        unbound.setSql(QStringLiteral("SELECT 1"));
        QCOMPARE(sqlErrorOf([&] { unbound.open(); }), QStringLiteral("Brak połączenia z bazą danych"));
    }

    void openFailuresCarryTheServersMessage_data()
    {
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("database");
        QTest::addColumn<QString>("message");

        const QString user = TestServer::viewerUser();
        QTest::newRow("wrong password") << user << "nie-to-hasło" << QString() << "Access denied for user 'zemlo_viewer'@'127.0.0.1'";
        QTest::newRow("unknown user") << "nikt" << "x" << QString() << "Access denied for user 'nikt'@'127.0.0.1'";
        QTest::newRow("unknown database") << user << TestServer::viewerPassword() << "brak_bazy" << "Unknown database 'brak_bazy'";
        QTest::newRow("no user name") << "" << "" << QString() << "Nie podano nazwy użytkownika bazy danych.";
    }

    void openFailuresCarryTheServersMessage()
    {
        QFETCH(QString, user);
        QFETCH(QString, password);
        QFETCH(QString, database);
        QFETCH(QString, message);
        SqlConnection failing;
        failing.Params() = {"Database=" + database, "User_Name=" + user, "Password=" + password,
                            "HostName=" + TestServer::viewerHost()};
        const QString error = sqlErrorOf([&] { failing.open(); });
        QVERIFY2(error.contains(message), qPrintable(error));
        QVERIFY(!failing.isOpen());
    }

    void unknownDriverIsRefused()
    {
        SqlConnection other;
        TestServer::setViewerParams(other, db->name());
        other.setDriverName(QStringLiteral("Oracle"));
        QCOMPARE(sqlErrorOf([&] { other.open(); }), QStringLiteral("Nieznany sterownik bazy danych: Oracle"));
    }

    void fieldsAreFoundByNameIgnoringCase_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("index");

        QTest::newRow("as declared") << "VALUE" << 2;
        QTest::newRow("lower case") << "value" << 2;
        QTest::newRow("Polish letters") << "CIŚNIENIE" << 1;
        QTest::newRow("missing") << "VALUES" << -1;
    }

    void fieldsAreFoundByNameIgnoringCase()
    {
        QFETCH(QString, name);
        QFETCH(int, index);
        openQuery(QStringLiteral("SELECT * FROM MIXED"));
        QCOMPARE(query.fieldCount(), 4);
        if (index >= 0) {
            QCOMPARE(query.fieldIndex(name), index);
            QCOMPARE(query.fieldName(index).toUpper(), name.toUpper());
        } else {
            QCOMPARE(sqlErrorOf([&] { query.fieldIndex(name); }), "Brak kolumny '" + name + "'");
        }
    }

    void firstOfEqualColumnNamesWins()
    {
        openQuery(QStringLiteral("SELECT 1 AS DT, 2 AS dt"));
        QCOMPARE(query.fieldIndex(QStringLiteral("Dt")), 0);
    }

    void valuesKeepNullTextAndNumbersApart()
    {
        openQuery(QStringLiteral("SELECT * FROM MIXED ORDER BY ID"));
        const int name = query.fieldIndex(QStringLiteral("Ciśnienie"));
        const int value = query.fieldIndex(QStringLiteral("VALUE"));
        const int dt = query.fieldIndex(QStringLiteral("DT"));

        QCOMPARE(query.toInt(0), 1);
        QCOMPARE(query.text(name), QStringLiteral("Ciśnienie żółć"));
        QCOMPARE(query.toFloat(value), 21.46f);
        // The float32 stored, not the text's decimal.
        QCOMPARE(query.toDouble(value), double(21.46f));
        QCOMPARE(query.toDateTime(dt), QDateTime(QDate(2021, 10, 19), QTime(8, 0, 5), Qt::UTC));
        QCOMPARE(sqlErrorOf([&] { query.toFloat(name); }),
                 QStringLiteral("Kolumna 'Ciśnienie': 'Ciśnienie żółć' nie jest poprawną liczbą"));

        query.next();
        QCOMPARE(query.text(name), QStringLiteral("NULL"));
        QVERIFY(!query.isNull(name));
        QVERIFY(query.isNull(value));
        QVERIFY(query.text(value).isNull());
        QVERIFY(query.raw(value).isNull());
        QCOMPARE(sqlErrorOf([&] { query.toFloat(value); }), QStringLiteral("Kolumna 'VALUE' ma wartość NULL"));
        QCOMPARE(sqlErrorOf([&] { query.toInt(value); }), QStringLiteral("Kolumna 'VALUE' ma wartość NULL"));

        query.next();
        QVERIFY(query.isNull(name));
        QCOMPARE(query.toFloat(value), 4294969856.0f);

        query.next();
        QVERIFY(query.eof());
        QCOMPARE(sqlErrorOf([&] { query.text(0); }), QStringLiteral("Zapytanie nie ma bieżącego wiersza"));
        query.next();  // stays at the end
        QVERIFY(query.eof());
    }

    void polishTextTravelsBothWays()
    {
        openQuery(QStringLiteral("SELECT ID, CHAR_LENGTH(`Ciśnienie`) FROM MIXED WHERE `Ciśnienie` = 'Ciśnienie żółć'"));
        QCOMPARE(query.recordCount(), 1);
        QCOMPARE(query.toInt(1), 14);
    }

    void resultModes_data()
    {
        QTest::addColumn<ResultMode>("mode");
        QTest::newRow("buffered") << ResultMode::Buffered;
        QTest::newRow("streamed") << ResultMode::Streamed;
    }

    void resultModes()
    {
        QFETCH(ResultMode, mode);
        openQuery(QStringLiteral("SELECT ID FROM MIXED ORDER BY ID"), mode);
        const qint64 countAtOpen = mode == ResultMode::Buffered ? 3 : -1;
        QList<qint32> ids;
        for (; !query.eof(); query.next()) {
            QCOMPARE(query.recordCount(), countAtOpen);
            ids.append(query.toInt(0));
        }
        QCOMPARE(ids, QList<qint32>({1, 2, 3}));
        QCOMPARE(query.recordCount(), 3);
        query.close();
        query.close();
        QVERIFY(!query.isOpen());
        QCOMPARE(sqlErrorOf([&] { query.recordCount(); }), QStringLiteral("Zapytanie nie jest otwarte"));
    }

    void emptyResultStartsAtTheEnd()
    {
        openQuery(QStringLiteral("SELECT * FROM MIXED WHERE ID > 99"), ResultMode::Streamed);
        QVERIFY(query.eof());
        QCOMPARE(query.recordCount(), 0);
        QCOMPARE(query.fieldCount(), 4);
    }

    void halfReadStreamedResultIsClosedCleanly()
    {
        openQuery(QStringLiteral("SELECT seq FROM seq_1_to_200000"), ResultMode::Streamed);
        query.next();
        QCOMPARE(query.toInt(0), 2);
        query.close();
        openQuery(QStringLiteral("SELECT COUNT(*) FROM MIXED"));
        QCOMPARE(query.toInt(0), 3);

        {
            SqlQuery abandoned;
            abandoned.setConnection(&connection);
            abandoned.setSql(QStringLiteral("SELECT seq FROM seq_1_to_200000"));
            abandoned.open(ResultMode::Streamed);
        }
        openQuery(QStringLiteral("SELECT 7"));
        QCOMPARE(query.toInt(0), 7);
    }

    void failingStatements_data()
    {
        QTest::addColumn<QString>("statement");
        QTest::addColumn<QString>("message");

        QTest::newRow("syntax") << "SELEC 1" << "You have an error in your SQL syntax";
        QTest::newRow("missing table") << "SELECT * FROM BRAK" << "Table '" + db->name() + ".BRAK' doesn't exist";
        QTest::newRow("missing column") << "SELECT BRAK FROM MIXED" << "Unknown column 'BRAK'";
        QTest::newRow("no result set") << "DO 1" << "Zapytanie nie zwróciło wyników";
        QTest::newRow("viewer may not write") << "DELETE FROM MIXED" << "DELETE command denied";
    }

    void failingStatements()
    {
        QFETCH(QString, statement);
        QFETCH(QString, message);
        const QString error = sqlErrorOf([&] { openQuery(statement); });
        QVERIFY2(error.contains(message), qPrintable(error));
        QVERIFY(!query.isOpen());
        openQuery(QStringLiteral("SELECT COUNT(*) FROM MIXED"));
        QCOMPARE(query.toInt(0), 3);
    }

    void closingTheConnectionClosesItsQueries()
    {
        auto other = std::make_unique<SqlConnection>();
        TestServer::setViewerParams(*other, db->name());
        other->open();
        SqlQuery bound;
        bound.setConnection(other.get());
        bound.setSql(QStringLiteral("SELECT seq FROM seq_1_to_1000"));
        bound.open(ResultMode::Streamed);
        other->close();
        QVERIFY(!bound.isOpen());

        other->open();
        bound.open(ResultMode::Streamed);
        other.reset();
        QVERIFY(!bound.isOpen());
        QCOMPARE(bound.connection(), nullptr);
    }
};

QTEST_GUILESS_MAIN(SqlQueryTest)
#include "test_sql_query.moc"

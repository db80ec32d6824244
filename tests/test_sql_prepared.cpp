// Statements run prepared on the real server: values of every column type as the server
// holds them, each cell read on its own, one prepare per text and connection, and a
// statement that follows its tables when they change under it or the connection is made
// again.
#include "TestServer.h"
#include "platform/sql/SqlConnection.h"
#include "platform/sql/SqlError.h"
#include "platform/sql/SqlQuery.h"

#include <QTest>
#include <cstring>
#include <memory>

using namespace sql;
using State = FloatCell::State;

Q_DECLARE_METATYPE(sql::FloatCell::State)

class SqlPreparedTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ScratchDatabase> db;
    SqlConnection connection;
    SqlQuery query;

    void openQuery(const QString& text, ResultMode mode = ResultMode::Buffered)
    {
        query.setSql(text);
        query.open(mode);
    }

    // A number of this session's server status, read through the query itself.
    qint64 sessionStatus(const char* name)
    {
        openQuery(QStringLiteral("SHOW SESSION STATUS LIKE '%1'").arg(QLatin1String(name)));
        const qint64 value = query.toDouble(1);
        query.close();
        return value;
    }

private slots:
    void initTestCase()
    {
        db = std::make_unique<ScratchDatabase>();
        db->exec("CREATE TABLE STORED (ID INT NOT NULL, V FLOAT NULL)");
        db->exec("INSERT INTO STORED VALUES (1, 1234567), (2, 98765.43), (3, 16777215), (4, 123456.78), (5, 0.1), "
                 "(6, NULL), (7, -3.4028234e38)");
        db->exec("CREATE TABLE TYPED (I INT, U BIGINT UNSIGNED, D DOUBLE, N DECIMAL(10,3), DT DATETIME(3), DA DATE, "
                 "TI TIME, Y YEAR, S VARCHAR(20), T TEXT)");
        db->exec("INSERT INTO TYPED VALUES (-7, 18446744073709551615, 0.1, 12.5, '2021-10-19 08:00:05.250', "
                 "'2021-10-19', '-12:30:00', 2021, 'Zażółć gęślą', REPEAT('Łódź ', 100)), "
                 "(NULL, NULL, NULL, NULL, '0000-00-00 00:00:00', NULL, NULL, NULL, '', 'krótki')");
        TestServer::setViewerParams(connection, db->name());
        connection.open();
        query.setConnection(&connection);
    }

    void cleanupTestCase()
    {
        connection.close();
        db.reset();
    }

    void resultModes_data()
    {
        QTest::addColumn<ResultMode>("mode");
        QTest::newRow("buffered") << ResultMode::Buffered;
        QTest::newRow("streamed") << ResultMode::Streamed;
    }

    // A FLOAT comes as the float32 stored, whose text has every digit that tells it apart
    // (the server's text protocol writes six: 1234570, 98765.4, 1.67772e+07).
    void floatsArriveAsStored_data() { resultModes_data(); }
    void floatsArriveAsStored()
    {
        QFETCH(ResultMode, mode);
        openQuery(QStringLiteral("SELECT V, ID FROM STORED ORDER BY ID"), mode);
        QVERIFY(query.isPrepared());
        const QList<float> expected{1234567.f, 98765.43f, 16777215.f, 123456.78f, 0.1f};
        const QStringList texts{"1234567", "98765.43", "16777215", "123456.78", "0.1"};
        for (int i = 0; i < expected.size(); ++i, query.next()) {
            const float value = query.toFloat(0);
            QVERIFY2(std::memcmp(&value, &expected[i], sizeof value) == 0, qPrintable(texts[i]));
            QCOMPARE(query.text(0), texts[i]);
            QCOMPARE(query.toDouble(0), double(expected[i]));
        }
        QVERIFY(query.isNull(0));
        QVERIFY(query.raw(0).isNull());
        QCOMPARE(query.toOptionalFloat(0), std::nullopt);
        query.next();
        QCOMPARE(query.toFloat(0), -3.4028234e38f);
        query.next();
        QVERIFY(query.eof());
        QCOMPARE(query.recordCount(), 7);
    }

    // Every other type reads as a text query's cell reads: the same text, the same numbers
    // and date-times, the same errors.
    void typedColumnsReadAsTheirText_data() { resultModes_data(); }
    void typedColumnsReadAsTheirText()
    {
        QFETCH(ResultMode, mode);
        openQuery(QStringLiteral("SELECT * FROM TYPED ORDER BY DT DESC"), mode);
        QVERIFY(query.isPrepared());
        const QStringList texts{"-7", "18446744073709551615", "0.1", "12.500", "2021-10-19 08:00:05.250", "2021-10-19",
                                "-12:30:00", "2021", "Zażółć gęślą", QStringLiteral("Łódź ").repeated(100)};
        for (int column = 0; column < texts.size(); ++column)
            QCOMPARE(query.text(column), texts[column]);
        QCOMPARE(query.toInt(0), -7);
        QCOMPARE(query.toDouble(3), 12.5);
        QCOMPARE(query.toFloat(2), 0.1f);
        QCOMPARE(query.toDateTime(4), QDateTime(QDate(2021, 10, 19), QTime(8, 0, 5, 250), Qt::UTC));
        QCOMPARE(query.toDateTime(5), QDateTime(QDate(2021, 10, 19), QTime(0, 0), Qt::UTC));
        QCOMPARE(sqlErrorOf([&] { query.toInt(1); }),
                 QStringLiteral("Kolumna 'U': '18446744073709551615' nie jest poprawną liczbą całkowitą"));
        QCOMPARE(sqlErrorOf([&] { query.toDateTime(6); }), QStringLiteral("Kolumna 'TI': '-12:30:00' nie jest poprawną datą i godziną"));

        // A long text, then a short one in the same column of the next row.
        query.next();
        QVERIFY(query.isNull(0));
        QCOMPARE(query.text(8), QString(""));
        QVERIFY(!query.raw(8).isNull());
        QCOMPARE(query.text(9), QStringLiteral("krótki"));
        QCOMPARE(sqlErrorOf([&] { query.toDateTime(4); }),
                 QStringLiteral("Kolumna 'DT': '0000-00-00 00:00:00.000' nie jest poprawną datą i godziną"));
    }

    // A cell read as a float never throws: a value, NULL, or why it holds none. The
    // throwing reader names the column and the value.
    void cellsReadWithoutAnError_data()
    {
        QTest::addColumn<QString>("expression");
        QTest::addColumn<State>("state");
        QTest::addColumn<float>("value");
        QTest::addColumn<QString>("text");

        QTest::newRow("FLOAT") << "CAST(21.46 AS FLOAT)" << State::Value << 21.46f << "21.46";
        QTest::newRow("DOUBLE") << "CAST(0.1 AS DOUBLE)" << State::Value << 0.1f << "0.1";
        QTest::newRow("DECIMAL") << "CAST(-12.5 AS DECIMAL(6,2))" << State::Value << -12.5f << "-12.50";
        QTest::newRow("integer") << "CAST(16777217 AS SIGNED)" << State::Value << 16777216.f << "16777217";
        QTest::newRow("text") << "'98765.43'" << State::Value << 98765.43f << "98765.43";
        QTest::newRow("NULL") << "NULL" << State::Null << 0.f << "";
        QTest::newRow("DOUBLE beyond float") << "CAST(1e39 AS DOUBLE)" << State::OutOfRange << 0.f << "1e+39";
        QTest::newRow("text beyond float") << "'-1e39'" << State::OutOfRange << 0.f << "-1e39";
        QTest::newRow("text nan") << "'nan'" << State::NotANumber << 0.f << "nan";
        QTest::newRow("text inf") << "'inf'" << State::OutOfRange << 0.f << "inf";
        QTest::newRow("word") << "'abc'" << State::NotANumber << 0.f << "abc";
        QTest::newRow("date") << "CAST('2021-10-19' AS DATE)" << State::NotANumber << 0.f << "2021-10-19";
    }

    void cellsReadWithoutAnError()
    {
        QFETCH(QString, expression);
        QFETCH(State, state);
        QFETCH(float, value);
        QFETCH(QString, text);
        openQuery(QStringLiteral("SELECT %1 AS v").arg(expression));
        QVERIFY(query.isPrepared());
        const FloatCell cell = query.readFloat(0);
        QCOMPARE(cell.state, state);
        QCOMPARE(query.row().readFloat(0).state, state);
        QCOMPARE(query.text(0), text);
        if (state == State::Value) {
            QCOMPARE(cell.value, value);
            QCOMPARE(query.toOptionalFloat(0), value);
        } else if (cell.isFault()) {
            QCOMPARE(sqlErrorOf([&] { query.toOptionalFloat(0); }),
                     QStringLiteral("Kolumna 'v': '%1' nie jest poprawną liczbą").arg(text));
        }
    }

    // A text run again is executed, not prepared again; another text is prepared once too.
    void eachTextIsPreparedOnce()
    {
        const qint64 prepared = sessionStatus("Com_stmt_prepare");
        for (int round = 0; round < 3; ++round) {
            openQuery(QStringLiteral("SELECT V FROM STORED WHERE ID = 1"), round == 1 ? ResultMode::Streamed : ResultMode::Buffered);
            QCOMPARE(query.toFloat(0), 1234567.f);
            openQuery(QStringLiteral("SELECT ID FROM STORED WHERE ID = 2"));
            QCOMPARE(query.toInt(0), 2);
        }
        QCOMPARE(sessionStatus("Com_stmt_prepare") - prepared, 2);
    }

    // Two queries may hold results of the same text at once: each has a statement of its own.
    void sameTextOpenTwice()
    {
        SqlQuery other;
        other.setConnection(&connection);
        const QString text = QStringLiteral("SELECT ID FROM STORED ORDER BY ID");
        openQuery(text);
        other.setSql(text);
        other.open();
        other.next();
        QCOMPARE(query.toInt(0), 1);
        QCOMPARE(other.toInt(0), 2);
        QVERIFY(query.isPrepared() && other.isPrepared());
    }

    // The table or the view under a statement changes between two runs: each run reads the
    // columns as they are then.
    void statementFollowsItsTables_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("change");
        QTest::addColumn<QString>("column");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("gone");

        QTest::newRow("renamed") << "CHANGING" << "ALTER TABLE CHANGING RENAME COLUMN A TO C" << "C" << "1.5" << "A";
        QTest::newRow("retyped") << "CHANGING" << "ALTER TABLE CHANGING MODIFY A DOUBLE" << "A" << "1.5" << "";
        QTest::newRow("text") << "CHANGING" << "ALTER TABLE CHANGING MODIFY A VARCHAR(10)" << "A" << "1.5" << "";
        QTest::newRow("added") << "CHANGING" << "ALTER TABLE CHANGING ADD C INT DEFAULT 4" << "C" << "4" << "";
        QTest::newRow("dropped") << "CHANGING" << "ALTER TABLE CHANGING DROP COLUMN A" << "B" << "2.5" << "A";
        QTest::newRow("view replaced") << "CHANGED" << "CREATE OR REPLACE VIEW CHANGED AS SELECT B AS A, A AS D FROM CHANGING"
                                       << "A" << "2.5" << "B";
    }

    void statementFollowsItsTables()
    {
        QFETCH(QString, source);
        QFETCH(QString, change);
        QFETCH(QString, column);
        QFETCH(QString, text);
        QFETCH(QString, gone);
        db->exec("CREATE TABLE CHANGING (A FLOAT, B FLOAT)");
        db->exec("INSERT INTO CHANGING VALUES (1.5, 2.5)");
        db->exec("CREATE VIEW CHANGED AS SELECT * FROM CHANGING");
        const auto dropTables = qScopeGuard([&] {
            query.close();
            db->exec("DROP VIEW CHANGED");
            db->exec("DROP TABLE CHANGING");
        });
        openQuery("SELECT * FROM " + source);
        QVERIFY(query.isPrepared());
        QCOMPARE(query.text(query.fieldIndex("A")), QStringLiteral("1.5"));
        db->exec(change);
        for (int run = 0; run < 2; ++run) {
            openQuery("SELECT * FROM " + source);
            QVERIFY(query.isPrepared());
            QCOMPARE(query.text(query.fieldIndex(column)), text);
            if (!gone.isEmpty())
                QCOMPARE(query.findField(gone), std::nullopt);
        }
    }

    // The server ends the session: the client library connects again at the next statement,
    // whose new session knows no statement of the old one.
    void statementPreparedAgainAfterTheConnectionEnded()
    {
        const QString text = QStringLiteral("SELECT V FROM STORED WHERE ID = 3");
        openQuery(text);
        query.close();
        const unsigned long session = mysql_thread_id(connection.handle());
        db->exec(QStringLiteral("KILL CONNECTION %1").arg(session));
        // Told as a lost connection, or already answered by the new one.
        const QString error = sqlErrorOf([&] { openQuery(text); });
        if (!error.isNull())
            openQuery(text);
        QVERIFY(mysql_thread_id(connection.handle()) != session);
        QVERIFY(query.isPrepared());
        QCOMPARE(query.toFloat(0), 16777215.f);
    }
};

QTEST_GUILESS_MAIN(SqlPreparedTest)
#include "test_sql_prepared.moc"

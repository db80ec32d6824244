// LoadChannelSettings: row order, conversions, errors and the capacity of the table.
#include "TestServer.h"
#include "db/CDataBase.h"
#include "db/ChannelTable.h"
#include "platform/sql/SqlConnection.h"
#include "platform/sql/SqlQuery.h"

#include <QTest>
#include <memory>

using namespace sql;

namespace {

const QStringList SettingsColumns = {
    "NAME", "UNIT", "POSITION_1", "POSITION_2", "A1_L", "A1_H", "A1_HIS", "A2_L", "A2_H",
    "A2_HIS", "CH_C", "CH_T", "CH_S", "DOT", "LIMIT_EN", "LIMIT_LO", "LIMIT_HI"};

} // namespace

class ChannelTableTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ScratchDatabase> db;
    SqlConnection connection;
    SqlQuery query;
    db::CDataBase database;
    std::unique_ptr<db::ChannelTable> channels = std::make_unique<db::ChannelTable>();
    int textTables = 0;

    // A settings table of text columns that allow NULL, with rows of plain values in which
    // the cells of `odd` replace the plain ones: any text or NULL can stand in any column.
    void createTextSettings(const QString& table, const QList<QMap<QString, QString>>& rows)
    {
        QStringList columns;
        for (const QString& column : SettingsColumns)
            columns.append(column + QStringLiteral(" VARCHAR(64) NULL"));
        db->exec("CREATE TABLE " + table + " (" + columns.join(',') + ")");
        for (qsizetype r = 0; r < rows.size(); ++r) {
            QStringList values;
            for (const QString& column : SettingsColumns) {
                const QString plain = column == "NAME" ? "K" + QString::number(r)
                    : column.startsWith("POSITION") || column == "UNIT" ? QStringLiteral("x") : QStringLiteral("1");
                const QString value = rows[r].value(column, plain);
                values.append(value.isNull() ? QStringLiteral("NULL") : db->quoteText(value));
            }
            db->exec("INSERT INTO " + table + " VALUES (" + values.join(',') + ")");
        }
    }

private slots:
    void initTestCase()
    {
        db = std::make_unique<ScratchDatabase>();
        database.SetParams(TestServer::viewerUser(), TestServer::viewerPassword(),
                           TestServer::viewerHost(), db->name());
        database.Connect(connection, query);
    }

    void cleanupTestCase()
    {
        database.Disconnect(connection);
        db.reset();
    }

    void loadsEveryFieldInServerOrder()
    {
        ContractChannel boiler {.NAME = "Temperatura kotła 3", .UNIT = "°C", .POSITION_1 = "Kotłownia",
                                .POSITION_2 = "NULL", .A1_L = -5.5f, .A1_H = 85.25f, .A1_HIS = 0.1f,
                                .A2_L = db::ThresholdUnset, .A2_H = 95.f, .A2_HIS = 1e-7f,
                                .CH_C = 0x00FF8000, .CH_T = -1, .CH_S = 7, .LIMIT_EN = 1, .DOT = 2,
                                .LIMIT_LO = -10.f, .LIMIT_HI = 120.5f};
        ContractChannel pressure {.NAME = "Ciśnienie pary", .UNIT = "bar", .A1_L = 0.f, .A1_H = db::ThresholdUnset};
        ContractChannel flow {.NAME = "Przepływ wody", .UNIT = "m³/h", .CH_C = -2147483647 - 1};
        db->createContract({boiler, pressure, flow});
        channels->count = 9;

        db::LoadChannelSettings(database, query, db::contract::SettingsTable, *channels);
        QCOMPARE(query.sql(), QStringLiteral("SELECT *from ZEMLO_SETTINGS"));
        QVERIFY(!query.isOpen());
        QCOMPARE(channels->count, 3u);
        QCOMPARE(channels->leftOut, 0u);
        const db::ChannelTable& c = *channels;
        QCOMPARE(c.NAME[0], boiler.NAME);
        QCOMPARE(c.NAME[1], pressure.NAME);
        QCOMPARE(c.NAME[2], flow.NAME);
        QCOMPARE(c.UNIT[0], QStringLiteral("°C"));
        QCOMPARE(c.UNIT[2], QStringLiteral("m³/h"));
        QCOMPARE(c.POSITION_1[0], QStringLiteral("Kotłownia"));
        QCOMPARE(c.POSITION_2[0], QStringLiteral("NULL"));
        QCOMPARE(c.A1_L[0], -5.5f);
        QCOMPARE(c.A1_H[0], 85.25f);
        QCOMPARE(c.A1_HIS[0], 0.1f);
        QCOMPARE(std::bit_cast<quint32>(c.A2_L[0]), 0x4F800005u);
        QCOMPARE(c.A2_H[0], 95.f);
        QCOMPARE(c.A2_HIS[0], 1e-7f);
        QCOMPARE(c.CH_C[0], 0x00FF8000);
        QCOMPARE(c.CH_T[0], -1);
        QCOMPARE(c.CH_S[0], 7);
        QCOMPARE(c.DOT[0], 2);
        QCOMPARE(c.LIMIT_EN[0], 1);
        QCOMPARE(c.LIMIT_LO[0], -10.f);
        QCOMPARE(c.LIMIT_HI[0], 120.5f);
        QCOMPARE(c.A1_L[1], 0.f);
        QVERIFY(c.A1_H[1] == db::ThresholdUnset);
        QCOMPARE(c.CH_C[2], qint32(-2147483647 - 1));
    }

    void conversions_data()
    {
        QTest::addColumn<QString>("column");
        QTest::addColumn<QString>("text");   // null: a database NULL
        QTest::addColumn<QString>("error");  // after the table, row and channel; empty: the row loads

        QTest::newRow("LIMIT_EN 1") << "LIMIT_EN" << "1" << QString();
        QTest::newRow("LIMIT_EN 2.9") << "LIMIT_EN" << "2.9" << QString();
        QTest::newRow("LIMIT_EN -2.9") << "LIMIT_EN" << "-2.9" << QString();
        QTest::newRow("LIMIT_EN beyond int") << "LIMIT_EN" << "3e9" << "Kolumna 'LIMIT_EN': '3e9' nie jest poprawną liczbą całkowitą";
        QTest::newRow("POSITION_1 text NULL") << "POSITION_1" << "NULL" << QString();
        QTest::newRow("POSITION_1 database NULL") << "POSITION_1" << QString() << "Kolumna 'POSITION_1' ma wartość NULL";
        QTest::newRow("NAME database NULL") << "NAME" << QString() << "Kolumna 'NAME' ma wartość NULL";
        QTest::newRow("A1_H database NULL") << "A1_H" << QString() << "Kolumna 'A1_H' ma wartość NULL";
        QTest::newRow("DOT database NULL") << "DOT" << QString() << "Kolumna 'DOT' ma wartość NULL";
        QTest::newRow("A2_L junk") << "A2_L" << "1,5" << "Kolumna 'A2_L': '1,5' nie jest poprawną liczbą";
        QTest::newRow("DOT fraction") << "DOT" << "2.5" << "Kolumna 'DOT': '2.5' nie jest poprawną liczbą całkowitą";
        QTest::newRow("CH_C beyond int") << "CH_C" << "4294967295" << "Kolumna 'CH_C': '4294967295' nie jest poprawną liczbą całkowitą";
    }

    void conversions()
    {
        QFETCH(QString, column);
        QFETCH(QString, text);
        QFETCH(QString, error);
        const QString table = "TEXT_SETTINGS_" + QString::number(++textTables);
        createTextSettings(table, {{}, {{column, text}}, {}});

        const QString thrown = sqlErrorOf([&] { db::LoadChannelSettings(database, query, table, *channels); });
        QVERIFY(!query.isOpen());
        if (!error.isEmpty()) {
            // The second row of the table, channel K1 unless its name is what is missing.
            const QString place = "Tabela " + table + ", wiersz 2" + (column == "NAME" ? "" : " (kanał K1)");
            QCOMPARE(thrown, place + ": " + error);
            QCOMPARE(channels->count, 1u);  // the row before the failing one stays
            QCOMPARE(channels->NAME[0], QStringLiteral("K0"));
            return;
        }
        QVERIFY2(thrown.isNull(), qPrintable(thrown));
        QCOMPARE(channels->count, 3u);
        QCOMPARE(channels->NAME[2], QStringLiteral("K2"));
        if (column == "LIMIT_EN")
            QCOMPARE(channels->LIMIT_EN[1], qint32(text.toDouble()));
        else
            QCOMPARE(channels->POSITION_1[1], text);
    }

    void missingColumnStopsTheLoad()
    {
        db->exec(QStringLiteral("CREATE TABLE NO_LIMIT_HI AS SELECT * FROM ZEMLO_SETTINGS"));
        db->exec(QStringLiteral("ALTER TABLE NO_LIMIT_HI DROP COLUMN LIMIT_HI"));
        channels->count = 5;
        QCOMPARE(sqlErrorOf([&] { db::LoadChannelSettings(database, query, QStringLiteral("NO_LIMIT_HI"), *channels); }),
                 QStringLiteral("Tabela NO_LIMIT_HI: Brak kolumny 'LIMIT_HI'"));
        QCOMPARE(channels->count, 0u);
    }

    void emptyTableLoadsNoChannel()
    {
        db->createSettingsTable(QStringLiteral("EMPTY_SETTINGS"));
        channels->count = 7;
        channels->leftOut = 3;
        db::LoadChannelSettings(database, query, QStringLiteral("EMPTY_SETTINGS"), *channels);
        QCOMPARE(channels->count, 0u);
        QCOMPARE(channels->leftOut, 0u);
    }

    void notConnectedChangesNothing()
    {
        db::CDataBase unconnected;
        channels->count = 5;
        query.setSql(QStringLiteral("SELECT 1"));
        QCOMPARE(sqlErrorOf([&] { db::LoadChannelSettings(unconnected, query, db::contract::SettingsTable, *channels); }),
                 QStringLiteral("Brak połączenia z bazą danych"));
        QCOMPARE(channels->count, 5u);
        QCOMPARE(query.sql(), QStringLiteral("SELECT 1"));
    }

    void rowsBeyondTheCapacityAreCountedNotStored()
    {
        db->createSettingsTable(QStringLiteral("WIDE_SETTINGS"));
        db->exec(QStringLiteral("INSERT INTO WIDE_SETTINGS SELECT CONCAT('K', seq), '', 'NULL', 'NULL', "
                                "0, 0, 0, 0, 0, 0, seq, 0, 0, 0, 1, 0, 100 FROM seq_0_to_1804"));
        db::LoadChannelSettings(database, query, QStringLiteral("WIDE_SETTINGS"), *channels);
        QCOMPARE(channels->count, db::ChannelTable::Capacity);
        QCOMPARE(channels->leftOut, 5u);
        QCOMPARE(channels->NAME[1799], QStringLiteral("K1799"));
        QCOMPARE(channels->CH_C[1799], 1799);
    }
};

QTEST_GUILESS_MAIN(ChannelTableTest)
#include "test_channel_table.moc"

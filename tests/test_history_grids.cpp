// The history grids as laid out at connect, their blanking, and the range bounds read
// from the pickers.
#include "AppFixture.h"
#include "TestServer.h"

#include "app/ZemloApplication.h"
#include "db/ChannelTable.h"
#include "history/HistoryRange.h"
#include "history/RangePickers.h"
#include "history/StringGrid.h"

#include <QtTest>

class HistoryGridsTest : public QObject {
    Q_OBJECT
private slots:
    void gridLayouts_data();
    void gridLayouts();
    void clearGridKeepsHeaders();
    void rangeBounds();
};

void HistoryGridsTest::gridLayouts_data()
{
    QTest::addColumn<int>("channels");
    QTest::newRow("none") << 0;
    QTest::newRow("one") << 1;
    QTest::newRow("three") << 3;
}

void HistoryGridsTest::gridLayouts()
{
    QFETCH(int, channels);
    db::ChannelTable table;
    for (int i = 0; i < 3; ++i)
        table.NAME[i] = QStringLiteral("T%1").arg(i + 1);
    history::StringGrid grid;
    history::PrepareDataGrid(grid, table, quint32(channels));
    QCOMPARE(grid.rowCount(), 2);
    QCOMPARE(grid.colCount(), channels ? 2 * channels + 1 : 2);
    QCOMPARE(grid.cells().fixedRows(), 1);
    QCOMPARE(grid.cells().fixedCols(), 1);
    if (channels == 0) {
        QCOMPARE(grid.cell(0, 0), QString());
        QCOMPARE(grid.cell(1, 0), QString());
        return;
    }
    QCOMPARE(grid.cell(0, 0), QStringLiteral("Data godzina"));
    QCOMPARE(grid.colWidth(0), 150);
    for (int i = 0; i < channels; ++i) {
        QCOMPARE(grid.cell(2 * i + 1, 0), table.NAME[i]);
        QCOMPARE(grid.cell(2 * i + 2, 0), QStringLiteral("[!]"));
        QCOMPARE(grid.colWidth(2 * i + 1), 100);
        QCOMPARE(grid.colWidth(2 * i + 2), 40);
    }
    // The view shows the header row as column headers and the first column as row headers.
    QCOMPARE(grid.model()->headerData(0, Qt::Horizontal).toString(), table.NAME[0]);

    history::StringGrid events;
    history::PrepareEventGrid(events);
    const QStringList headers{"Data godzina", "Typ", "Urządzenie", "Wartość", "Opis"};
    const QList<int> widths{150, 100, 100, 100, 300};
    QCOMPARE(events.colCount(), 5);
    QCOMPARE(events.rowCount(), 2);
    for (int column = 0; column < 5; ++column) {
        QCOMPARE(events.cell(column, 0), headers[column]);
        QCOMPARE(events.colWidth(column), widths[column]);
    }
}

void HistoryGridsTest::clearGridKeepsHeaders()
{
    history::StringGrid grid;
    grid.setColCount(3);
    grid.setRowCount(10);
    grid.setFixedRows(1);
    for (int column = 0; column < 3; ++column)
        for (int row = 0; row < 10; ++row)
            grid.setCell(column, row, QStringLiteral("%1/%2").arg(column).arg(row));
    history::ClearGrid(grid);
    QCOMPARE(grid.rowCount(), 10);
    QCOMPARE(grid.colCount(), 3);
    for (int column = 0; column < 3; ++column) {
        QCOMPARE(grid.cell(column, 0), QStringLiteral("%1/0").arg(column));
        for (int row = 1; row < 10; ++row)
            QCOMPARE(grid.cell(column, row), QString());
    }
    history::StringGrid single;
    single.setColCount(2);
    single.setCell(1, 0, "kept");
    history::ClearGrid(single);
    QCOMPARE(single.cell(1, 0), QStringLiteral("kept"));
}

void HistoryGridsTest::rangeBounds()
{
    ConnectedApp app([](ScratchDatabase& database) {
        database.createContract({{.NAME = "T1"}});
        database.insertData("2021-10-19 08:00:00", {{20.0, "A"}});
    });
    QCOMPARE(app.main->picker_in_d->date(), QDate(2021, 10, 19));
    QCOMPARE(app.main->picker_in_t->time(), QTime(8, 0, 0));
    app.main->picker_in_d->setDateTime(QDateTime({2021, 10, 1}, {23, 59, 0}));
    app.main->picker_in_t->setTime(QTime(7, 30, 0));
    QCOMPARE(history::ReadRangeBound(*app.main->picker_in_d, *app.main->picker_in_t).text,
             QStringLiteral("2021-10-01 07:30:00"));
}

int main(int argc, char** argv)
{
    app::ZemloApplication application(argc, argv);
    HistoryGridsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_history_grids.moc"

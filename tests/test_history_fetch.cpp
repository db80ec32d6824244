// The reports tab's fetch: events and measurements of the chosen range into the grids,
// the chart and the statistics, against the private server.
#include "AppFixture.h"
#include "ScriptedDesktop.h"
#include "TestServer.h"

#include "app/ErrorBox.h"
#include "app/ZemloApplication.h"
#include "history/HistoryChart.h"
#include "history/HistoryQueries.h"
#include "history/HistoryView.h"
#include "history/MeasurementStore.h"
#include "history/RangePickers.h"
#include "history/StringGrid.h"
#include "platform/os/AvailableMemory.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QToolButton>
#include <QtTest>

class HistoryFetchTest : public QObject {
    Q_OBJECT
private slots:
    void queryTexts();
    void gridTextsAndStatistics();
    void rangeWithoutRowsEmptiesEveryView_data();
    void rangeWithoutRowsEmptiesEveryView();
    void events_data();
    void events();
    void hiddenSeriesStayHiddenThroughAFetch();
    void chartShowsTheChosenRangeBeforeAnyFetch();
    void tickDuringAFetchLeavesTheStreamAlone();
    void missingColumnsLeaveOnlyTheirChannelsOut();
    void fetchLargerThanMemoryIsRefused();
    void fetchAcrossTheClockChanges();
};

namespace {

// DOT 1 with a unit; DOT 2; DOT 0; a channel that only ever holds NULL.
const QList<ContractChannel> FourChannels{
    {.NAME = "Temperatura kotła", .DOT = 1},
    {.NAME = "Ciśnienie", .UNIT = "bar", .CH_C = 0x0000FF, .DOT = 2},
    {.NAME = "Przepływ", .UNIT = "m3/h", .DOT = 0},
    {.NAME = "Pusty", .DOT = 3},
};

void FillFourChannels(ScratchDatabase& database)
{
    database.createContract(FourChannels);
    database.insertData("2021-10-19 08:00:00", {{1.0, "A"}, {21.5, ""}, {21.25, "xyz"}, {}});
    database.insertData("2021-10-19 08:01:00", {{2.0, "AC"}, {0.125, "E"}, {{}, "B"}, {}});
    database.insertData("2021-10-19 08:02:00", {{4.0, {}}, {-3.0, "D"}, {99.5, "-"}, {}});
    database.insertEvent("2021-10-19 08:00:30", 0, "Pompa 1", 1, 12);
    database.insertEvent("2021-10-19 08:01:30", 1, "Zawór <b>", -5, 0);
    database.insertEvent("2021-10-19 08:02:00", 7, "Kocioł", 3, 4);
    database.insertEvent("2021-10-19 08:02:01", 0, "Za późno", 0, 0);
}

struct Connected : ConnectedApp {
    explicit Connected(const std::function<void(ScratchDatabase&)>& prepare = FillFourChannels)
        : ConnectedApp(prepare, "[View]\nRefresh=0\n")
    {
    }

    void setRange(const QDateTime& start, const QDateTime& end) const
    {
        main->picker_in_d->setDate(start.date());
        main->picker_in_t->setTime(start.time());
        main->picker_out_d->setDate(end.date());
        main->picker_out_t->setTime(end.time());
    }
    const history::StringGrid& data() const { return *main->DataGrid; }
    const history::StringGrid& events() const { return *main->EventGrid; }
    const history::ChannelStatistics& statistics() const { return main->historyView().statistics(); }
    // Every cell of the measurement grid, row by row, to compare whole grids.
    QStringList dataCells() const
    {
        QStringList cells;
        for (int row = 0; row < data().rowCount(); ++row)
            for (int column = 0; column < data().colCount(); ++column)
                cells.append(data().cell(column, row));
        return cells;
    }
};

QDateTime At(int year, int month, int day, int hour, int minute, int second = 0)
{
    return QDateTime({year, month, day}, {hour, minute, second}, Qt::UTC);
}

} // namespace

void HistoryFetchTest::queryTexts()
{
    QCOMPARE(history::MeasurementQueryText("ZEMLO_DATA", "2021-10-19 08:00:00", "2021-10-20 06:30:00"),
             QStringLiteral("SELECT *from ZEMLO_DATA WHERE (DT >= '2021-10-19 08:00:00' AND DT <= '2021-10-20 06:30:00') "
                            "ORDER BY DT ASC;"));
    QCOMPARE(history::EventQueryText("ZEMLO_EVENTS", "2021-10-19 08:00:00", "2021-10-20 06:30:00"),
             QStringLiteral("SELECT *from ZEMLO_EVENTS WHERE (DT >= '2021-10-19 08:00:00' AND DT <= '2021-10-20 06:30:00')"
                            "ORDER BY DT ASC;"));
    // The fetch runs exactly that text, with the range of the pickers.
    Connected app;
    app.main->GetDataButtonClick();
    QCOMPARE(app.main->SQLQuery.sql(),
             history::MeasurementQueryText("ZEMLO_DATA", "2021-10-19 08:00:00", "2021-10-19 08:02:00"));
    QVERIFY(!app.main->SQLQuery.isOpen());
}

void HistoryFetchTest::gridTextsAndStatistics()
{
    Connected app;
    app.main->GetDataButtonClick();
    const QStringList header{"Data godzina", "Temperatura kotła", "[!]", "Ciśnienie", "[!]", "Przepływ", "[!]", "Pusty", "[!]"};
    const QStringList expected = header
        + QStringList{"19.10.2021 08:00:00", "1,0", "[!1H]", "21,50", "", "21", "", "- ", "- "}
        + QStringList{"19.10.2021 08:01:00", "2,0", "[!2H]", "0,13", "[!K]", "- ", "[!1L]", "- ", "- "}
        + QStringList{"19.10.2021 08:02:00", "4,0", "- ", "-3,00", "[!2L]", "100", "", "- ", "- "};
    QCOMPARE(app.dataCells(), expected);

    const auto& first = app.statistics()[0];
    QCOMPARE(first.minimum, 1.0f);
    QCOMPARE(first.maximum, 4.0f);
    QCOMPARE(first.average, float(7.0 / 3.0));
    QCOMPARE(first.sampleCount, 3u);
    QCOMPARE(app.statistics()[2].sampleCount, 2u);
    QCOMPARE(app.statistics()[2].average, 60.375f);
    const auto& empty = app.statistics()[3];
    QVERIFY(empty.minimum == 0 && empty.maximum == 0 && empty.average == 0 && empty.sampleCount == 0);

    // The chart shows the same fetch: NULLs are no points, the axis spans the rows.
    const history::ChannelSeries* flow = app.main->Chart->series(2);
    QVERIFY(flow->hasPoints());
    bool found = false;
    QCOMPARE(flow->getValueRange(found), QCPRange(21.25, 99.5));
    QCOMPARE(app.main->Chart->xAxis->range(), QCPRange(At(2021, 10, 19, 8, 0).toSecsSinceEpoch(),
                                                       At(2021, 10, 19, 8, 2).toSecsSinceEpoch()));
    QVERIFY(!app.main->Chart->series(3)->hasPoints());
    QCOMPARE(app.main->ProgressBar->value(), 0);
}

void HistoryFetchTest::rangeWithoutRowsEmptiesEveryView_data()
{
    QTest::addColumn<QDateTime>("start");
    QTest::addColumn<QDateTime>("end");
    QTest::addColumn<int>("dataRows");
    QTest::addColumn<int>("eventRows");
    QTest::addColumn<QString>("note");

    const QString noData = QStringLiteral("Brak danych w wybranym zakresie.");
    QTest::newRow("a range without rows") << At(2021, 10, 20, 0, 0) << At(2021, 10, 21, 0, 0) << 0 << 0 << noData;
    QTest::newRow("a start after the end") << At(2021, 10, 19, 8, 2) << At(2021, 10, 19, 8, 0) << 0 << 0 << noData;
    QTest::newRow("measurements without events") << At(2021, 10, 19, 8, 0) << At(2021, 10, 19, 8, 0, 10) << 1 << 0
                                                 << QString();
    QTest::newRow("events without measurements") << At(2021, 10, 19, 8, 0, 20) << At(2021, 10, 19, 8, 0, 40) << 0 << 1
                                                 << QStringLiteral("Brak pomiarów w wybranym zakresie.");
}

void HistoryFetchTest::rangeWithoutRowsEmptiesEveryView()
{
    // What the views show always belongs to the last range asked for: nothing of the
    // range before stays beside it, and no box interrupts the operator.
    QFETCH(QDateTime, start);
    QFETCH(QDateTime, end);
    QFETCH(int, dataRows);
    QFETCH(int, eventRows);
    QFETCH(QString, note);
    Connected app;
    app.main->GetDataButtonClick();
    QCOMPARE(app.data().rowCount(), 4);
    QCOMPARE(app.events().rowCount(), 4);

    app.setRange(start, end);
    app.main->GetDataButtonClick();
    const auto blankOrFilled = [](const history::StringGrid& grid, int rows) {
        QCOMPARE(grid.rowCount(), std::max(rows, 1) + 1);
        if (rows == 0) {
            for (int column = 0; column < grid.colCount(); ++column)
                QCOMPARE(grid.cell(column, 1), QString());
        } else {
            QVERIFY(!grid.cell(0, 1).isEmpty());
        }
    };
    blankOrFilled(app.data(), dataRows);
    blankOrFilled(app.events(), eventRows);
    QCOMPARE(app.data().cell(1, 0), QStringLiteral("Temperatura kotła"));
    QCOMPARE(app.events().cell(2, 0), QStringLiteral("Urządzenie"));
    QCOMPARE(app.main->historyView().lastFetch().rangeStart, start);
    QCOMPARE(app.main->historyView().lastFetch().rangeEnd, end);
    QCOMPARE(app.main->Chart->series(0)->hasPoints(), dataRows > 0);
    QCOMPARE(app.statistics()[0].sampleCount, quint32(dataRows));
    if (dataRows == 0) {
        const auto& record = app.statistics()[0];
        QVERIFY(record.minimum == 0 && record.maximum == 0 && record.average == 0);
        // The empty chart's time axis shows the range asked for.
        const double lower = std::min(start, end).toSecsSinceEpoch();
        QCOMPARE(app.main->Chart->xAxis->range().lower, lower);
    }
    // One short line where the progress bar is, and no box.
    QCOMPARE(app.main->ProgressBar->isTextVisible(), !note.isEmpty());
    if (!note.isEmpty())
        QCOMPARE(app.main->ProgressBar->text(), note);
    QVERIFY(app.desktop.messages.isEmpty());

    // The next fetch with rows takes the line away.
    app.setRange(At(2021, 10, 19, 8, 0), At(2021, 10, 19, 8, 2));
    app.main->GetDataButtonClick();
    QVERIFY(!app.main->ProgressBar->isTextVisible());
    QCOMPARE(app.data().rowCount(), 4);
}

void HistoryFetchTest::events_data()
{
    QTest::addColumn<QDateTime>("end");
    QTest::addColumn<QStringList>("cells"); // the data rows, five cells each

    const QStringList three{"19.10.2021 08:00:30", "WYDARZENIE", "Pompa 1", "1", "12",
                            "19.10.2021 08:01:30", "ALARM", "Zawór <b>", "-5", "0",
                            "19.10.2021 08:02:00", "ALARM", "Kocioł", "3", "4"};
    QTest::newRow("end bound inclusive") << At(2021, 10, 19, 8, 2) << three;
    QTest::newRow("a second later") << At(2021, 10, 19, 8, 2, 1)
                                    << three + QStringList{"19.10.2021 08:02:01", "WYDARZENIE", "Za późno", "0", "0"};
}

void HistoryFetchTest::events()
{
    QFETCH(QDateTime, end);
    QFETCH(QStringList, cells);
    Connected app;
    app.setRange(At(2021, 10, 19, 8, 0), end);
    app.main->GetDataButtonClick();
    QCOMPARE(app.events().rowCount(), int(cells.size() / 5 + 1));
    QCOMPARE(app.events().cell(0, 0), QStringLiteral("Data godzina"));
    QStringList shown;
    for (int row = 1; row < app.events().rowCount(); ++row)
        for (int column = 0; column < 5; ++column)
            shown.append(app.events().cell(column, row));
    QCOMPARE(shown, cells);
}

void HistoryFetchTest::hiddenSeriesStayHiddenThroughAFetch()
{
    Connected app;
    app.main->Button2->click();
    for (int i = 0; i < 4; ++i)
        QVERIFY(!app.main->Chart->seriesActive(i));
    app.main->GetDataButtonClick();
    QVERIFY(app.main->Chart->series(0)->hasPoints());
    for (int i = 0; i < 4; ++i)
        QVERIFY(!app.main->Chart->seriesActive(i));
    app.main->Button1->click();
    for (int i = 0; i < 4; ++i)
        QVERIFY(app.main->Chart->seriesActive(i));
}

void HistoryFetchTest::chartShowsTheChosenRangeBeforeAnyFetch()
{
    Connected app;
    const QCPRange connected = app.main->Chart->xAxis->range();
    QCOMPARE(connected, QCPRange(At(2021, 10, 19, 8, 0).toSecsSinceEpoch(), At(2021, 10, 19, 8, 2).toSecsSinceEpoch()));
    // An empty fetch keeps the empty chart on the chosen range, never at 1970.
    app.setRange(At(2022, 1, 1, 0, 0), At(2022, 1, 2, 0, 0));
    app.main->GetDataButtonClick();
    QCOMPARE(app.main->Chart->xAxis->range(),
             QCPRange(At(2022, 1, 1, 0, 0).toSecsSinceEpoch(), At(2022, 1, 2, 0, 0).toSecsSinceEpoch()));
}

void HistoryFetchTest::tickDuringAFetchLeavesTheStreamAlone()
{
    Connected app;
    const QString shownBefore = app.main->LabelUpdate->text();
    int ticks = 0;
    // The progress bar moves row by row while the result streams: a refresh tick that
    // arrived then must neither break the stream nor run a query of its own.
    connect(app.main->ProgressBar, &QProgressBar::valueChanged, app.main.get(), [&](int value) {
        if (value > 0) {
            ++ticks;
            app.main->TimerUpdateTimer();
        }
    });
    app.main->GetDataButtonClick();
    QVERIFY(ticks >= 3);
    QCOMPARE(app.data().rowCount(), 4);
    QCOMPARE(app.data().cell(1, 3), QStringLiteral("4,0"));
    QVERIFY(app.desktop.messages.isEmpty());
    QCOMPARE(app.main->LabelUpdate->text(), shownBefore);
    // Once the fetch is over, the next tick refreshes as usual.
    app.main->TimerUpdateTimer();
    QVERIFY(app.desktop.messages.isEmpty());
}

void HistoryFetchTest::missingColumnsLeaveOnlyTheirChannelsOut()
{
    // One channel without its alarm column, one without either column: the others are
    // fetched, the two show "- ", and one box names every missing column.
    Connected app;
    app.database.exec("ALTER TABLE ZEMLO_DATA CHANGE `Przepływ_AL` `Stary_AL` VARCHAR(10) NULL");
    app.database.exec("ALTER TABLE ZEMLO_DATA DROP COLUMN `Ciśnienie`, DROP COLUMN `Ciśnienie_AL`");
    app.main->GetDataButton->click();
    QCOMPARE(app.desktop.messages.size(), 1);
    const QString message = app.desktop.messages[0].text;
    for (const char* column : {"Ciśnienie", "Ciśnienie_AL", "Przepływ_AL"})
        QVERIFY2(message.contains(QString::fromUtf8(column)), qPrintable(message));
    QVERIFY2(!message.contains("Przepływ,") && !message.contains("Temperatura"), qPrintable(message));
    QCOMPARE(app.data().rowCount(), 4);
    QCOMPARE(app.data().cell(1, 3), QStringLiteral("4,0"));
    QCOMPARE(app.data().cell(2, 3), QStringLiteral("- "));
    for (int column = 3; column <= 6; ++column)
        QCOMPARE(app.data().cell(column, 1), QStringLiteral("- "));
    QCOMPARE(app.statistics()[0].sampleCount, 3u);
    QCOMPARE(app.statistics()[1].sampleCount, 0u);
    QCOMPARE(app.statistics()[2].sampleCount, 0u);
    QVERIFY(app.main->Chart->series(0)->hasPoints());
    QVERIFY(!app.main->Chart->series(1)->hasPoints());
    QCOMPARE(app.events().rowCount(), 4);
    QVERIFY(!app.main->SQLQuery.isOpen());
}

void HistoryFetchTest::fetchLargerThanMemoryIsRefused()
{
    // 3 rows of 4 channels take 3 x (8 + 4 x 5) = 84 bytes in the store.
    Connected app;
    const QStringList cells = app.dataCells();
    const int eventRows = app.events().rowCount();
    const auto restore = qScopeGuard([] { os::SetAvailableMemory({}); });
    os::SetAvailableMemory([] { return std::optional<qint64>(83); });
    app.database.insertEvent("2021-10-19 08:01:40", 0, "Nowe", 0, 0);
    app.main->GetDataButton->click();
    QCOMPARE(app.desktop.messages.size(), 1);
    const QString message = app.desktop.messages[0].text;
    // Rows, channels, the estimate and what to do, in Polish; nothing was read.
    for (const QString& part : {QStringLiteral("3 wierszy"), QStringLiteral("4 kanałów"), QStringLiteral("MB"),
                                QStringLiteral("krótszy zakres")})
        QVERIFY2(message.contains(part), qPrintable(message));
    QCOMPARE(app.dataCells(), cells);
    QCOMPARE(app.events().rowCount(), eventRows);
    QVERIFY(!app.main->SQLQuery.isOpen());

    os::SetAvailableMemory([] { return std::optional<qint64>(84); });
    app.main->GetDataButton->click();
    QCOMPARE(app.desktop.messages.size(), 1);
    QCOMPARE(app.events().rowCount(), 5);

    // The store now held is let go of before the next one is made: the same fetch again fits
    // where only that store's room is left, and one byte less does not.
    os::SetAvailableMemory([] { return std::optional<qint64>(0); });
    app.database.insertEvent("2021-10-19 08:01:50", 0, "Nowsze", 0, 0);
    app.main->GetDataButton->click();
    QCOMPARE(app.desktop.messages.size(), 1);
    QCOMPARE(app.events().rowCount(), 6);
    os::SetAvailableMemory([] { return std::optional<qint64>(-1); });
    app.main->GetDataButton->click();
    QCOMPARE(app.desktop.messages.size(), 2);
    QCOMPARE(app.events().rowCount(), 6);

    // An allocation that fails anyway is told in words, never by the exception's class.
    app::RunHandler([] { throw std::bad_alloc(); });
    QCOMPARE(app.desktop.messages.size(), 3);
    QVERIFY2(!app.desktop.messages[2].text.contains("std::") && !app.desktop.messages[2].text.isEmpty(),
             qPrintable(app.desktop.messages[2].text));
}

void HistoryFetchTest::fetchAcrossTheClockChanges()
{
    // In Europe/Warsaw 02:30 does not exist on 2021-03-28 and exists twice on 2021-10-31;
    // the database's times have no zone and must come through as they are.
    QCOMPARE(qgetenv("TZ"), QByteArray("Europe/Warsaw"));
    Connected app([](ScratchDatabase& database) {
        database.createContract({{.NAME = "T1"}});
        for (const char* time : {"2021-03-28 01:30:00", "2021-03-28 02:30:00", "2021-03-28 03:30:00",
                                 "2021-10-31 02:30:00", "2021-10-31 03:30:00"})
            database.insertData(time, {{1.0, ""}});
    });
    // A start inside the gap, picked as such.
    app.setRange(At(2021, 3, 28, 2, 0), At(2021, 10, 31, 2, 59, 59));
    app.main->GetDataButtonClick();
    QCOMPARE(app.data().rowCount(), 4);
    QCOMPARE(app.data().cell(0, 1), QStringLiteral("28.03.2021 02:30:00"));
    QCOMPARE(app.data().cell(0, 2), QStringLiteral("28.03.2021 03:30:00"));
    QCOMPARE(app.data().cell(0, 3), QStringLiteral("31.10.2021 02:30:00"));
    const auto store = app.main->Chart->series(0)->store();
    QCOMPARE(store->rowTimes()[1] - store->rowTimes()[0], qint64(3600 * 1000));
    QCOMPARE(app.main->Chart->xAxis->range().lower, double(At(2021, 3, 28, 2, 30).toSecsSinceEpoch()));
}

int main(int argc, char** argv)
{
    app::ZemloApplication application(argc, argv);
    HistoryFetchTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_history_fetch.moc"

// The reports tab's fetch: events and measurements of the chosen range into the grids,
// the chart and the statistics, against the private server.
#include "AppFixture.h"
#include "ScriptedDesktop.h"
#include "TestServer.h"

#include "app/ZemloApplication.h"
#include "history/HistoryChart.h"
#include "history/HistoryQueries.h"
#include "history/HistoryView.h"
#include "history/MeasurementStore.h"
#include "history/RangePickers.h"
#include "history/StringGrid.h"

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
    void rangeWithoutRowsChangesNothing();
    void events_data();
    void events();
    void hiddenSeriesStayHiddenThroughAFetch();
    void chartShowsTheChosenRangeBeforeAnyFetch();
    void tickDuringAFetchLeavesTheStreamAlone();
    void missingColumnEndsTheFetchAndTheNextOneWorks();
    void rowsReadBeforeAFailureStay();
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

void HistoryFetchTest::rangeWithoutRowsChangesNothing()
{
    Connected app;
    app.main->GetDataButtonClick();
    const QStringList cells = app.dataCells();
    const QString firstEvent = app.events().cell(2, 1);
    const QCPRange axis = app.main->Chart->xAxis->range();
    const auto store = app.main->Chart->series(0)->store();
    const auto before = app.statistics()[0];
    app.main->ProgressBar->setMaximum(77);
    app.main->ProgressBar->setValue(5);

    app.setRange(At(2021, 10, 20, 0, 0), At(2021, 10, 21, 0, 0));
    app.main->GetDataButtonClick();
    QCOMPARE(app.dataCells(), cells);
    QCOMPARE(app.events().cell(2, 1), firstEvent);
    QCOMPARE(app.main->Chart->xAxis->range(), axis);
    QCOMPARE(app.main->Chart->series(0)->store(), store);
    QCOMPARE(app.statistics()[0].average, before.average);
    QCOMPARE(app.statistics()[0].sampleCount, before.sampleCount);
    QCOMPARE(app.main->ProgressBar->maximum(), 77);
    QCOMPARE(app.main->ProgressBar->value(), 5);
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

void HistoryFetchTest::missingColumnEndsTheFetchAndTheNextOneWorks()
{
    Connected app;
    app.main->GetDataButtonClick();
    const QStringList cells = app.dataCells();
    app.database.exec("ALTER TABLE ZEMLO_DATA CHANGE `Przepływ_AL` `Stary_AL` VARCHAR(10) NULL");
    app.main->GetDataButton->click();
    QCOMPARE(app.desktop.messages.size(), 1);
    QVERIFY2(app.desktop.messages[0].text.contains("Przepływ_AL"), qPrintable(app.desktop.messages[0].text));
    QCOMPARE(app.dataCells(), cells);
    QVERIFY(!app.main->SQLQuery.isOpen());

    app.database.exec("ALTER TABLE ZEMLO_DATA CHANGE `Stary_AL` `Przepływ_AL` VARCHAR(10) NULL");
    app.database.insertData("2021-10-19 08:01:30", {{3.0, "A"}, {1.0, ""}, {1.0, ""}, {}});
    app.main->GetDataButton->click();
    QCOMPARE(app.desktop.messages.size(), 1);
    QCOMPARE(app.data().rowCount(), 5);
    QCOMPARE(app.statistics()[0].sampleCount, 4u);
}

void HistoryFetchTest::rowsReadBeforeAFailureStay()
{
    // A site whose value column holds text: the third row does not read as a number.
    Connected app([](ScratchDatabase& database) {
        database.createContract({{.NAME = "T1"}});
        database.exec("ALTER TABLE ZEMLO_DATA MODIFY `T1` VARCHAR(20) NULL");
        database.exec("INSERT INTO ZEMLO_DATA VALUES ('2021-10-19 08:00:00', '1.5', 'A'), "
                      "('2021-10-19 08:01:00', '2.5', ''), ('2021-10-19 08:02:00', 'abc', ''), "
                      "('2021-10-19 08:03:00', '4', '')");
    });
    app.main->GetDataButton->click();
    QCOMPARE(app.desktop.messages.size(), 1);
    QCOMPARE(app.desktop.messages[0].text, QStringLiteral("Field 'T1': 'abc' is not a valid floating point value"));
    // The two rows read before stay, in the grid, the chart and the statistics alike.
    QCOMPARE(app.data().cell(1, 2), QStringLiteral("2,5"));
    QCOMPARE(app.statistics()[0].sampleCount, 2u);
    QCOMPARE(app.statistics()[0].average, 2.0f);
    QVERIFY(app.main->Chart->series(0)->hasPoints());
    QCOMPARE(app.main->ProgressBar->value(), 0);
    QVERIFY(!app.main->SQLQuery.isOpen());
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

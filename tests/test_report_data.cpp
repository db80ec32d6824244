// What a report prints, worked out from a fetch result built by hand: the summary table,
// which channels get a page and the value axis rule. No server and no window.
#include "common/ValueText.h"
#include "db/ChannelTable.h"
#include "history/FetchResult.h"
#include "report/ReportSource.h"
#include "report/SummaryTable.h"

#include <QtTest>
#include <memory>

class ReportDataTest : public QObject {
    Q_OBJECT
private slots:
    void summaryTable();
    void selection_data();
    void selection();
    void leftAxis_data();
    void leftAxis();
};

namespace {

QDateTime At(int year, int month, int day, int hour, int minute)
{
    return QDateTime({year, month, day}, {hour, minute}, Qt::UTC);
}

// Channel 0 with values 1, 2 and 4 and DOT 3; channel 1 without a value in the fetch.
struct HandBuilt {
    std::unique_ptr<db::ChannelTable> channels = std::make_unique<db::ChannelTable>();
    history::FetchResult fetch = history::FetchResult::Empty(2, At(2021, 10, 19, 0, 0), At(2021, 10, 20, 6, 30));

    HandBuilt()
    {
        db::ChannelTable& table = *channels;
        table.count = 2;
        table.NAME[0] = "NULL";
        table.UNIT[0] = "NULL";
        table.POSITION_1[0] = table.POSITION_2[0] = "NULL";
        table.A1_H[0] = table.A1_L[0] = table.A2_H[0] = table.A2_HIS[0] = table.A2_L[0] = db::ThresholdUnset;
        table.A1_HIS[0] = 0.5f;
        table.DOT[0] = 3;
        table.NAME[1] = "Temperatura oleju zasilającego";
        table.UNIT[1] = "°C";
        table.POSITION_1[1] = "Kotłownia";
        table.POSITION_2[1] = "Hala B";
        table.A1_H[1] = 80;
        table.DOT[1] = 2;
        auto store = std::make_shared<history::MeasurementStore>(2);
        history::StatisticsAccumulator statistics(2);
        for (const float value : {1.0f, 2.0f, 4.0f}) {
            store->appendRow(At(2021, 10, 19, 8, int(value)));
            store->setValue(0, value);
            statistics.add(0, value);
        }
        statistics.storeInto(fetch.statistics);
        fetch.store = store;
    }
    report::ReportSource source(std::vector<bool> selected = {true, true}, qint32 allCharts = 0) const
    {
        return {*channels, fetch, std::move(selected), {Qt::red, Qt::blue}, "dd-MM-yyyy\nhh:mm:ss", At(2021, 10, 21, 9, 0),
                {0, 0, 0, QString(), allCharts}};
    }
};

QStringList Column(const report::SummaryTable& table, bool labels)
{
    QStringList texts;
    for (const report::SummaryRow& row : table)
        texts.append(labels ? row.label : row.value);
    return texts;
}

} // namespace

void ReportDataTest::summaryTable()
{
    const HandBuilt data;
    const common::FixedPointFormat format;
    const report::SummaryTable first = report::SummaryTableOf(data.source(), 0, format);
    QCOMPARE(Column(first, true),
             QStringList({"OPIS", "Nazwa", "Grupa", "Podgrupa", "Jednostka", "USTAWIENIA", "A1 :: próg górny",
                          "A1 :: hist.  +/-", "A1 :: próg dolny", "A2 :: próg górny", "A2 :: hist.  +/-",
                          "A2 :: próg dolny", "STATYSTYKA", "Liczba próbek", "Start", "Stop", "Max", "Avg", "Min"}));
    // The range is the fetch's own.
    QCOMPARE(Column(first, false),
             QStringList({"", "-", "-", "-", "-", "", "-", "0,500", "-", "-", "-", "-", "", "3", "19.10.2021",
                          "20.10.2021 06:30:00", "4,000", "2,333", "1,000"}));
    QList<int> headers;
    for (int row = 0; row < report::SummaryRows; ++row) {
        if (first[std::size_t(row)].header)
            headers.append(row);
    }
    QCOMPARE(headers, QList<int>({0, 5, 12}));
    // Without samples: a count of 0 and no measured extremes.
    const QStringList second = Column(report::SummaryTableOf(data.source(), 1, format), false);
    QCOMPARE(second.mid(1, 4), QStringList({"Temperatura ol...o", "Kotłownia", "Hala B", "°C"}));
    QCOMPARE(second.mid(13), QStringList({"0", "19.10.2021", "20.10.2021 06:30:00", "-", "-", "-"}));
}

void ReportDataTest::selection_data()
{
    QTest::addColumn<std::vector<bool>>("shown");
    QTest::addColumn<int>("allCharts");
    QTest::addColumn<QList<bool>>("selected");

    QTest::newRow("both shown") << std::vector<bool>{true, true} << 0 << QList<bool>{true, true};
    QTest::newRow("second hidden") << std::vector<bool>{true, false} << 0 << QList<bool>{true, false};
    QTest::newRow("none shown") << std::vector<bool>{false, false} << 0 << QList<bool>{false, false};
    QTest::newRow("none shown, AllCharts") << std::vector<bool>{false, false} << 1 << QList<bool>{true, true};
    // A chart without series (before the channels were read) selects nothing.
    QTest::newRow("no series") << std::vector<bool>{} << 0 << QList<bool>{false, false};
}

void ReportDataTest::selection()
{
    QFETCH(std::vector<bool>, shown);
    QFETCH(int, allCharts);
    QFETCH(QList<bool>, selected);
    const HandBuilt data;
    const report::ReportSource source = data.source(shown, allCharts);
    QCOMPARE(report::IsSelected(source, 0), selected[0]);
    QCOMPARE(report::IsSelected(source, 1), selected[1]);
    QCOMPARE(report::PageCount(source), quint32(selected.count(true)));
}

void ReportDataTest::leftAxis_data()
{
    QTest::addColumn<int>("scale");
    QTest::addColumn<float>("min");
    QTest::addColumn<float>("max");
    QTest::addColumn<float>("limitLo");
    QTest::addColumn<float>("limitHi");
    QTest::addColumn<bool>("fixed");
    QTest::addColumn<double>("lower");
    QTest::addColumn<double>("upper");

    QTest::newRow("Scale 0") << 0 << 10.f << 100.f << 20.f << 30.f << false << 0.0 << 0.0;
    QTest::newRow("Scale 1") << 1 << 10.f << 100.f << 20.f << 30.f << true << 10.0 << 100.0;
    QTest::newRow("Scale 1, reversed") << 1 << 100.f << 10.f << 20.f << 30.f << false << 0.0 << 0.0;
    QTest::newRow("Scale 2, own limits") << 2 << -5.f << 50.f << 20.f << 30.f << true << 20.0 << 30.0;
    QTest::newRow("Scale 2, limits both 0") << 2 << -5.f << 50.f << 0.f << 0.f << true << -5.0 << 50.0;
    QTest::newRow("Scale 2, limits reversed") << 2 << -5.f << 50.f << 10.f << 5.f << true << -5.0 << 50.0;
    QTest::newRow("Scale 2, nothing fixed") << 2 << 0.f << 0.f << 0.f << 0.f << false << 0.0 << 0.0;
}

void ReportDataTest::leftAxis()
{
    QFETCH(int, scale);
    QFETCH(float, min);
    QFETCH(float, max);
    QFETCH(float, limitLo);
    QFETCH(float, limitHi);
    QFETCH(bool, fixed);
    QFETCH(double, lower);
    QFETCH(double, upper);
    HandBuilt data;
    data.channels->LIMIT_LO[1] = limitLo;
    data.channels->LIMIT_HI[1] = limitHi;
    const auto range = report::LeftAxisRange({scale, min, max, QString(), 0}, *data.channels, 1);
    QCOMPARE(range.has_value(), fixed);
    if (fixed)
        QCOMPARE(*range, (history::AxisRange{lower, upper}));
}

QTEST_GUILESS_MAIN(ReportDataTest)
#include "test_report_data.moc"

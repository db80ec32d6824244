// Values reach every view as the float32 the database holds, not as the six digits of the
// server's text: the live tab, the grid, the store the chart draws, the statistics, the CSV
// file and the report's table.
#include "AppFixture.h"
#include "ScriptedDesktop.h"
#include "TestServer.h"

#include "common/ValueText.h"
#include "history/HistoryView.h"
#include "history/StringGrid.h"
#include "platform/os/Clock.h"
#include "report/ReportSource.h"
#include "report/SummaryTable.h"

#include <QFile>
#include <QLabel>
#include <QToolButton>
#include <QtTest>
#include <cstring>

class ValuesAsStoredTest : public QObject {
    Q_OBJECT
private slots:
    void everyViewShowsTheStoredFloat();
};

namespace {

// Values whose text of six digits differs from the float stored (but 0.1, which shows the
// float's own digits with ten decimals), and their texts with each channel's decimals.
struct Stored {
    ContractChannel channel;
    float value;
    QString text;
};
const QList<Stored> Values{
    {{.NAME = "Licznik", .UNIT = "kWh", .DOT = 0}, 1234567.f, "1234567"},
    {{.NAME = "Energia", .UNIT = "MWh", .DOT = 2}, 98765.43f, "98765,43"},
    {{.NAME = "Impulsy", .UNIT = "imp", .DOT = 0}, 16777215.f, "16777215"},
    {{.NAME = "Objętość", .UNIT = "m3", .DOT = 2}, 123456.78f, "123456,78"},
    {{.NAME = "Ułamek", .UNIT = "-", .DOT = 10}, 0.1f, "0,1000000015"},
};

} // namespace

void ValuesAsStoredTest::everyViewShowsTheStoredFloat()
{
    os::SetClock([] { return QDateTime({2021, 10, 19}, {18, 20, 28}, Qt::UTC); });
    const auto resetClock = qScopeGuard([] { os::SetClock({}); });
    // A row of zeros, then the values in the newest row.
    ConnectedApp app(
        [](ScratchDatabase& database) {
            QList<ContractChannel> channels;
            QList<DataCell> zeros, values;
            for (const Stored& stored : Values) {
                channels.append(stored.channel);
                zeros.append({0.0, ""});
                values.append({double(stored.value), ""});
            }
            database.createContract(channels);
            database.insertData("2021-10-19 08:00:00", zeros);
            database.insertData("2021-10-19 08:01:00", values);
        },
        "[View]\nRefresh=0\n");
    app.main->GetDataButton->click();
    QCOMPARE(app.desktop.messages.size(), 0);
    app.main->SpeedButton1->click();

    const history::FetchResult& fetch = app.main->historyView().lastFetch();
    QFile csv(app.main->reportsFolder() + "data_20211019_182028.csv");
    QVERIFY(csv.open(QIODevice::ReadOnly));
    const QByteArray csvLine = csv.readAll().split('\n').value(2);
    QByteArray expectedLine = "\"19.10.2021 08:01:00\";";
    const report::ReportSource source{app.main->channels(), fetch, std::vector<bool>(Values.size(), true),
                                      std::vector<QColor>(Values.size(), Qt::black), "dd-MM-yyyy\nhh:mm:ss",
                                      os::CurrentDateTime(), {}};
    const common::FixedPointFormat format;
    for (quint32 channel = 0; channel < quint32(Values.size()); ++channel) {
        const Stored& stored = Values[channel];
        const QString live = app.label(QStringLiteral("ViewValue_%1").arg(channel, 4, 10, QLatin1Char('0')))->text();
        QCOMPARE(live, stored.text + " " + stored.channel.UNIT);
        QCOMPARE(app.main->DataGrid->cell(int(2 * channel + 1), 2), stored.text);
        const float held = fetch.store->values(channel)[1];
        QVERIFY2(std::memcmp(&held, &stored.value, sizeof held) == 0, qPrintable(stored.text));
        QCOMPARE(fetch.statistics[channel].maximum, stored.value);
        QCOMPARE(fetch.statistics[channel].average, float((0.0 + double(stored.value)) / 2));
        const report::SummaryTable table = report::SummaryTableOf(source, channel, format);
        QCOMPARE(table[16].label, QStringLiteral("Max"));
        QCOMPARE(table[16].value, stored.text);
        expectedLine += "\"" + stored.text.toLatin1() + "\";\"\";";
    }
    QCOMPARE(csvLine, expectedLine + "\r");
}

QTEST_MAIN(ValuesAsStoredTest)
#include "test_values_as_stored.moc"

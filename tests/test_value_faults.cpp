// A value that is no number (a text column's "abc" or "nan") or does not fit a float (a
// DOUBLE column's 1e39) spoils its own cell only: it shows "- " as NULL does, and every other
// cell and channel goes on. One box names the channels and the reasons.
#include "AppFixture.h"
#include "ScriptedDesktop.h"
#include "TestServer.h"

#include "app/ErrorBox.h"
#include "history/HistoryView.h"
#include "history/StringGrid.h"
#include "platform/os/Clock.h"

#include <QFile>
#include <QLabel>
#include <QToolButton>
#include <QtTest>

class ValueFaultsTest : public QObject {
    Q_OBJECT
private slots:
    void fetchGoesOnPastABadValue();
    void liveRefreshGoesOnPastABadValue();
};

namespace {

const QString ConnectedCaption = QStringLiteral("Połączono poprawnie z bazą daych.");

} // namespace

void ValueFaultsTest::fetchGoesOnPastABadValue()
{
    os::SetClock([] { return QDateTime({2021, 10, 19}, {18, 20, 28}, Qt::UTC); });
    const auto resetClock = qScopeGuard([] { os::SetClock({}); });
    // Value columns of other types than FLOAT, as some writers make them.
    ConnectedApp app(
        [](ScratchDatabase& database) {
            database.createContract({{.NAME = "A"}, {.NAME = "B"}, {.NAME = "C"}, {.NAME = "D"}});
            database.exec("ALTER TABLE ZEMLO_DATA MODIFY `B` DOUBLE NULL, MODIFY `C` DECIMAL(10,2) NULL, "
                          "MODIFY `D` VARCHAR(20) NULL");
            database.exec("INSERT INTO ZEMLO_DATA VALUES "
                          "('2021-10-19 08:00:00', 1, 'A', 2, '', 3.5, '', '4', ''), "
                          "('2021-10-19 08:01:00', 1.5, 'B', 1e39, 'C', 4.25, '', 'nan', 'E'), "
                          "('2021-10-19 08:02:00', 2, '', -1e39, '', NULL, '', 'abc', ''), "
                          "('2021-10-19 08:03:00', 3, '', 3, '', 10, '', '8', '')");
        },
        "[View]\nRefresh=0\n");
    app.main->GetDataButton->click();

    // One box, in Polish, with each channel's first reason.
    QCOMPARE(app.desktop.messages.size(), 1);
    const QString message = app.desktop.messages[0].text;
    QVERIFY2(message.contains("B: wartość 1e+39 wykracza poza zakres liczby 32-bitowej"), qPrintable(message));
    QVERIFY2(message.contains("D: wartość „nan” nie jest liczbą"), qPrintable(message));
    QVERIFY2(!message.contains("A:") && !message.contains("C:"), qPrintable(message));

    // Every row was read; the bad cells show "- " as NULL does, their alarms as they are.
    const history::StringGrid& grid = *app.main->DataGrid;
    QCOMPARE(grid.rowCount(), 5);
    const QList<QStringList> rows{
        {"19.10.2021 08:00:00", "1,0", "[!1H]", "2,0", "", "3,5", "", "4,0", ""},
        {"19.10.2021 08:01:00", "1,5", "[!1L]", "- ", "[!2H]", "4,3", "", "- ", "[!K]"},
        {"19.10.2021 08:02:00", "2,0", "", "- ", "", "- ", "", "- ", ""},
        {"19.10.2021 08:03:00", "3,0", "", "3,0", "", "10,0", "", "8,0", ""},
    };
    for (int row = 0; row < rows.size(); ++row) {
        QStringList cells;
        for (int column = 0; column < 9; ++column)
            cells.append(grid.cell(column, row + 1));
        QCOMPARE(cells, rows[row]);
    }
    const history::ChannelStatistics& statistics = app.main->historyView().statistics();
    const QList<quint32> counts{4, 2, 3, 2};
    for (int channel = 0; channel < 4; ++channel)
        QCOMPARE(statistics[channel].sampleCount, counts[channel]);
    QCOMPARE(statistics[1].maximum, 3.0f);
    QCOMPARE(statistics[3].average, 6.0f);

    app.main->SpeedButton1->click();
    QFile csv(app.main->reportsFolder() + "data_20211019_182028.csv");
    QVERIFY(csv.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = csv.readAll().split('\n');
    QCOMPARE(lines.value(2), QByteArray("\"19.10.2021 08:01:00\";\"1,5\";\"[!1L]\";\"- \";\"[!2H]\";\"4,3\";\"\";\"- \";\"[!K]\";\r"));
}

void ValueFaultsTest::liveRefreshGoesOnPastABadValue()
{
    ConnectedApp app(
        [](ScratchDatabase& database) {
            database.createContract({{.NAME = "A"}, {.NAME = "B"}, {.NAME = "D"}, {.NAME = "E"}});
            database.exec("ALTER TABLE ZEMLO_DATA MODIFY `B` VARCHAR(20) NULL, MODIFY `D` DOUBLE NULL");
            database.insertData("2021-10-19 08:00:00", {{1.0, ""}, {2.0, ""}, {3.0, ""}, {4.0, ""}});
        },
        "[View]\nRefresh=0\n");
    const auto tick = [&] {
        app::RunHandler([&] { app.main->TimerUpdateTimer(); });
        return int(app.desktop.messages.size());
    };
    const auto values = [&] {
        QStringList texts;
        for (int channel = 0; channel < 4; ++channel)
            texts.append(app.label(QStringLiteral("ViewValue_000%1").arg(channel))->text());
        return texts;
    };
    const auto dot = [&](int channel) { return app.label(QStringLiteral("ViewImage_000%1").arg(channel))->pixmap().toImage(); };
    const QImage red = app.main->ImgSourceA2->pixmap().toImage();

    // D's newest value does not fit a float: D shows "- " with the reason, its dot follows its
    // alarm, and the channel after it refreshes as well.
    app.database.insertData("2021-10-19 08:01:00", {{11.0, ""}, {12.0, ""}, {1e39, "D"}, {14.0, "C"}});
    QCOMPARE(tick(), 1);
    QCOMPARE(values(), QStringList({"11,0 °C", "12,0 °C", "- °C", "14,0 °C"}));
    const QLabel* d = app.label("ViewValue_0002");
    QVERIFY2(Rendered(d->toolTip()).contains("wartość 1e+39 wykracza poza zakres liczby 32-bitowej"), qPrintable(d->toolTip()));
    QVERIFY(app.label("ViewValue_0003")->toolTip().isEmpty());
    QCOMPARE(dot(2), red);
    QCOMPARE(dot(3), red);
    QVERIFY(app.main->LabelUpdate->text().contains("19.10.2021 08:01:00"));
    const QString message = app.desktop.messages[0].text;
    QVERIFY2(message.contains("D: wartość wykracza poza zakres liczby 32-bitowej"), qPrintable(message));
    // The connection works: the status says so, the box tells the fault.
    QCOMPARE(app.main->LabelStatus->text(), ConnectedCaption);

    // The fault stays, with another value: told once. Every other value goes on refreshing.
    QCOMPARE(tick(), 1);
    app.database.insertData("2021-10-19 08:02:00", {{21.0, ""}, {22.0, ""}, {-2e39, "D"}, {24.0, ""}});
    QCOMPARE(tick(), 1);
    QCOMPARE(values(), QStringList({"21,0 °C", "22,0 °C", "- °C", "24,0 °C"}));
    QVERIFY(Rendered(d->toolTip()).contains("-2e+39"));

    // Mended, then back: told again.
    app.database.insertData("2021-10-19 08:03:00", {{31.0, ""}, {32.0, ""}, {33.0, ""}, {34.0, ""}});
    QCOMPARE(tick(), 1);
    QCOMPARE(values(), QStringList({"31,0 °C", "32,0 °C", "33,0 °C", "34,0 °C"}));
    QVERIFY(d->toolTip().isEmpty());
    app.database.insertData("2021-10-19 08:04:00", {{41.0, ""}, {42.0, ""}, {1e39, ""}, {44.0, ""}});
    QCOMPARE(tick(), 2);

    // A text that reads like markup is shown as written.
    app.database.insertData("2021-10-19 08:05:00", {{51.0, ""}, {52.0, ""}, {53.0, ""}, {54.0, ""}});
    app.database.exec("UPDATE ZEMLO_DATA SET `B` = '<b>52</b>' WHERE DT = '2021-10-19 08:05:00'");
    QCOMPARE(tick(), 3);
    QCOMPARE(Rendered(app.label("ViewValue_0001")->toolTip()), QStringLiteral("wartość „<b>52</b>” nie jest liczbą"));
}

QTEST_MAIN(ValueFaultsTest)
#include "test_value_faults.moc"

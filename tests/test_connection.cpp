// Connecting and disconnecting as one sequence, with the status display in its three states.
#include "AppFixture.h"
#include "ScriptedDesktop.h"
#include "TestServer.h"

#include "app/ErrorBox.h"
#include "app/TFIntro.h"
#include "app/ZemloApplication.h"
#include "history/HistoryChart.h"
#include "history/RangePickers.h"
#include "history/StringGrid.h"
#include "live/LiveView.h"

#include <QLabel>
#include <QStatusBar>
#include <QTimer>
#include <QtTest>

class ConnectionTest : public QObject {
    Q_OBJECT
private slots:
    void connectRunsTheWholeSequence();
    void failedConnection_data();
    void failedConnection();
    void disconnectTearsDown();
    void refreshPeriod_data();
    void refreshPeriod();
    void emptyTablesStillConnect();
    void failureAfterConnect_data();
    void failureAfterConnect();
    void unreadableSettingsAreRetried();
    void moreThanCapacityIsToldOnce();
    void closeAnsweredNoKeepsRunning();
};

namespace {

const QList<ContractChannel> TwoChannels{{.NAME = "Temperatura kotła", .POSITION_1 = "Kotłownia"},
                                         {.NAME = "Ciśnienie", .UNIT = "bar", .DOT = 2}};

void FillTwoChannels(ScratchDatabase& database)
{
    database.createContract(TwoChannels);
    database.insertData("2021-10-19 08:00:05", {{20.0, "A"}, {1.5, ""}});
    database.insertData("2021-10-20 09:30:00", {{21.46, ""}, {std::nullopt, "C"}});
}

QColor StatusColour(const app::TFMain& main)
{
    return main.LabelStatus->palette().color(QPalette::Window);
}

void VerifyDisconnectedLook(const app::TFMain& main, const QString& caption, const QColor& colour)
{
    QCOMPARE(main.StatusPanel->text(), QStringLiteral("Baza danych: -"));
    QCOMPARE(main.LabelStatus->text(), caption);
    QCOMPARE(StatusColour(main), colour);
    QVERIFY(!main.PanelButton->isEnabled());
    QVERIFY(main.DataGrid->isHidden());
    QVERIFY(main.EventGrid->isHidden());
    QVERIFY(main.LabelUpdate->isHidden());
    QVERIFY(!main.TimerUpdate->isActive());
}

} // namespace

void ConnectionTest::connectRunsTheWholeSequence()
{
    ConnectedApp app(FillTwoChannels);
    const auto& main = app.main;

    QCOMPARE(main->StatusPanel->text(), "Baza danych :: " + app.database.name() + " :: zemlo_viewer :: ****");
    QCOMPARE(main->LabelStatus->text(), QStringLiteral("Połączono poprawnie z bazą daych."));
    QCOMPARE(StatusColour(*main), QColor(0xC0, 0xDC, 0xC0));
    QCOMPARE(main->LabelStatus->palette().color(QPalette::WindowText), QColor(Qt::black));
    QVERIFY(main->PanelButton->isEnabled());
    QVERIFY(!main->DataGrid->isHidden());
    QVERIFY(!main->EventGrid->isHidden());
    QVERIFY(!main->LabelUpdate->isHidden());
    QCOMPARE(main->TimerUpdate->interval(), 5000);
    QVERIFY(main->TimerUpdate->isActive());

    QCOMPARE(main->channels().count, 2u);
    QCOMPARE(main->liveView().LiveRowCount(), 2u);
    QCOMPARE(main->Chart->seriesCount(), 2);
    QCOMPARE(main->DataGrid->colCount(), 5);
    QCOMPARE(main->DataGrid->rowCount(), 2);
    QCOMPARE(main->EventGrid->colCount(), 5);
    QCOMPARE(main->DataGrid->cell(0, 1), QString());
    // The range spans every stored row; the live rows show the newest one.
    QCOMPARE(QDateTime(main->picker_in_d->date(), main->picker_in_t->time()), QDateTime({2021, 10, 19}, {8, 0, 5}));
    QCOMPARE(QDateTime(main->picker_out_d->date(), main->picker_out_t->time()), QDateTime({2021, 10, 20}, {9, 30, 0}));
    QCOMPARE(main->findChild<QLabel*>("ViewValue_0000")->text(), QStringLiteral("21,5 °C"));
    QCOMPARE(main->findChild<QLabel*>("ViewValue_0001")->text(), QStringLiteral("- bar"));
    QVERIFY(main->LabelUpdate->text().startsWith("Ostatnia aktualizacja: "));
    QVERIFY(app.desktop.messages.isEmpty());
}

void ConnectionTest::failedConnection_data()
{
    QTest::addColumn<bool>("emptyValues");
    QTest::newRow("empty values") << true;
    QTest::newRow("wrong password") << false;
}

void ConnectionTest::failedConnection()
{
    QFETCH(bool, emptyValues);
    ScratchDatabase database;
    AppFolder folder;
    if (!emptyValues)
        folder.writeConnection(database.name(), "not-the-password");
    ScriptedDesktop desktop;
    const auto main = folder.start();
    main->show();
    main->ToggleConnection();
    VerifyDisconnectedLook(*main, QStringLiteral("Błąd połączenia z baza danych."), QColor(0xFD, 0x7C, 0x66));
    QVERIFY(!main->database().connected());
    // The server's own reason is at hand as the label's tool tip.
    const QString reason = Rendered(main->LabelStatus->toolTip());
    QVERIFY(!reason.isEmpty());
    if (!emptyValues)
        QVERIFY2(reason.contains("Access denied"), qPrintable(reason));
    QVERIFY(desktop.messages.isEmpty());
}

void ConnectionTest::disconnectTearsDown()
{
    ConnectedApp app(FillTwoChannels);
    const auto& main = app.main;
    main->DataGrid->setRowCount(3);
    main->DataGrid->setCell(1, 2, "x");
    main->ToggleConnection();

    VerifyDisconnectedLook(*main, QStringLiteral("-"), QColor(Qt::white));
    QVERIFY(!main->database().connected());
    QCOMPARE(main->channels().count, 0u);
    QCOMPARE(main->liveView().LiveRowCount(), 0u);
    QCOMPARE(main->Chart->seriesCount(), 0);
    QCOMPARE(main->DataGrid->cell(1, 2), QString());
    QCOMPARE(main->DataGrid->cell(1, 0), QStringLiteral("Temperatura kotła"));
    for (const QObject* child : main->findChildren<QObject*>())
        QVERIFY2(!child->objectName().startsWith("View") && !child->objectName().startsWith("Viev"),
                 qPrintable(child->objectName()));

    // And connecting again builds everything anew.
    main->ToggleConnection();
    QCOMPARE(main->liveView().LiveRowCount(), 2u);
    QCOMPARE(main->Chart->seriesCount(), 2);
}

void ConnectionTest::refreshPeriod_data()
{
    QTest::addColumn<QString>("refresh");
    QTest::addColumn<int>("interval");
    QTest::addColumn<bool>("told"); // the operator is told once that the value was not used
    QTest::newRow("5") << "5" << 5000 << false;
    QTest::newRow("hex") << "0x0A" << 10000 << false;
    QTest::newRow("0: off") << "0" << 0 << false;
    QTest::newRow("negative: off") << "-3" << 0 << false;
    QTest::newRow("smallest: off") << "-2147483648" << 0 << false;
    QTest::newRow("longest QTimer takes") << "2147483" << 2147483000 << false;
    // Beyond what QTimer takes (an int of milliseconds, about 24.8 days): cut to the longest.
    QTest::newRow("2147484 s") << "2147484" << 2147483000 << true;
    QTest::newRow("largest 32-bit") << "2147483647" << 2147483000 << true;
    QTest::newRow("beyond 32 bits") << "99999999999" << 2147483000 << true;
    QTest::newRow("not a number: the default") << "abc" << 5000 << true;
}

void ConnectionTest::refreshPeriod()
{
    QFETCH(QString, refresh);
    QFETCH(int, interval);
    QFETCH(bool, told);
    ConnectedApp app(FillTwoChannels, ("[View]\nRefresh=" + refresh + "\n").toUtf8());
    const auto& main = app.main;
    QCOMPARE(app.desktop.messages.size(), told ? 1 : 0);
    if (told)
        QVERIFY2(app.desktop.messages[0].text.contains("Refresh=" + refresh + ": "), qPrintable(app.desktop.messages[0].text));
    QCOMPARE(main->TimerUpdate->isActive(), interval > 0);
    if (interval > 0)
        QCOMPARE(main->TimerUpdate->interval(), interval);
    // Without the timer the live tab is refreshed when the operator switches to it.
    app.database.insertData("2021-10-21 00:00:00", {{7.0, std::nullopt}, {3.0, std::nullopt}});
    main->PageControlMain->setCurrentWidget(main->ActualSheet);
    QCOMPARE(main->findChild<QLabel*>("ViewValue_0000")->text(), QStringLiteral("7,0 °C"));
}

void ConnectionTest::emptyTablesStillConnect()
{
    // A new installation: no channel yet, and no measurement.
    ConnectedApp app([](ScratchDatabase& database) { database.createContract({}); });
    const auto& main = app.main;
    QVERIFY(main->database().connected());
    QCOMPARE(main->liveView().LiveRowCount(), 0u);
    QCOMPARE(main->DataGrid->colCount(), 2);
    QCOMPARE(main->DataGrid->rowCount(), 2);
    QCOMPARE(main->DataGrid->cell(0, 0), QString());
    QVERIFY(!main->DataGrid->isHidden());
    QCOMPARE(main->LabelUpdate->pos(), QPoint(20, 20));
    QVERIFY(!main->picker_in_d->hasDate());
    main->TimerUpdateTimer();
    QVERIFY(app.desktop.messages.isEmpty());
}

enum BadData { ZeroDateOldest, ZeroDateOnly, ChannelColumnsMissing, NullSetting };

void ConnectionTest::failureAfterConnect_data()
{
    QTest::addColumn<int>("bad");
    QTest::addColumn<QString>("named");  // what the one error box names
    QTest::addColumn<bool>("connected"); // else the connection is given up
    QTest::newRow("zero date in the oldest row") << int(ZeroDateOldest) << "'DT'" << true;
    QTest::newRow("zero date in the only row") << int(ZeroDateOnly) << "'DT'" << true;
    QTest::newRow("channel columns missing") << int(ChannelColumnsMissing) << "T1, T1_AL" << true;
    QTest::newRow("NULL in the settings") << int(NullSetting)
                                          << "Tabela ZEMLO_SETTINGS, wiersz 1 (kanał T1): Kolumna 'UNIT' ma wartość NULL" << false;
}

void ConnectionTest::failureAfterConnect()
{
    QFETCH(int, bad);
    QFETCH(QString, named);
    QFETCH(bool, connected);
    ScratchDatabase database;
    database.createSettingsTable();
    database.insertSettings({.NAME = "T1"});
    database.exec("CREATE TABLE ZEMLO_DATA (DT DATETIME NOT NULL PRIMARY KEY)");
    if (bad != ChannelColumnsMissing)
        database.exec("ALTER TABLE ZEMLO_DATA ADD T1 FLOAT NULL, ADD T1_AL VARCHAR(10) NULL");
    database.exec("SET SESSION sql_mode = ''");
    switch (bad) {
    case ZeroDateOldest:
        database.exec("INSERT INTO ZEMLO_DATA VALUES ('0000-00-00 00:00:00', 1, ''), ('2021-10-19 08:00:05', 20, '')");
        break;
    case ZeroDateOnly:
        database.exec("INSERT INTO ZEMLO_DATA VALUES ('0000-00-00 00:00:00', 1, '')");
        break;
    case ChannelColumnsMissing:
        database.exec("INSERT INTO ZEMLO_DATA VALUES ('2021-10-19 08:00:05')");
        break;
    case NullSetting:
        database.exec("ALTER TABLE ZEMLO_SETTINGS MODIFY UNIT VARCHAR(10) NULL");
        database.exec("UPDATE ZEMLO_SETTINGS SET UNIT = NULL");
        break;
    }
    AppFolder folder;
    folder.writeConnection(database.name());
    ScriptedDesktop desktop;
    const auto main = folder.start();
    QTest::keyClick(new app::TFIntro(*main), Qt::Key_Escape);

    QCOMPARE(desktop.messages.size(), 1);
    QVERIFY2(desktop.messages[0].text.contains(named), qPrintable(desktop.messages[0].text));
    QCOMPARE(main->database().connected(), connected);
    if (!connected) {
        // Given up: the failed look, with the reason at hand as the status label's tool tip,
        // which says that the server answered and the settings table is at fault.
        VerifyDisconnectedLook(*main, QStringLiteral("Błąd połączenia z baza danych."), QColor(0xFD, 0x7C, 0x66));
        QVERIFY(Rendered(main->LabelStatus->toolTip())
                    .startsWith("Serwer bazy danych odpowiada, ale tabeli ustawień kanałów ZEMLO_SETTINGS nie można "
                                "odczytać. " + desktop.messages[0].text + "\nNastępna próba połączenia: "));
        QCOMPARE(main->liveView().LiveRowCount(), 0u);
        return;
    }
    // Connected, and it looks so because it is: the view refreshes by its timer and shows
    // the data once it is good.
    QCOMPARE(main->LabelStatus->text(), QStringLiteral("Połączono poprawnie z bazą daych."));
    QVERIFY(main->TimerUpdate->isActive());
    QVERIFY(!main->DataGrid->isHidden());
    QVERIFY(!main->LabelUpdate->isHidden());
    if (bad == ChannelColumnsMissing)
        database.exec("ALTER TABLE ZEMLO_DATA ADD T1 FLOAT NULL, ADD T1_AL VARCHAR(10) NULL");
    database.exec("INSERT INTO ZEMLO_DATA VALUES ('2021-10-20 09:00:00', 21, '')");
    main->TimerUpdate->setInterval(20);
    QTRY_COMPARE(main->findChild<QLabel*>("ViewValue_0000")->text(), QStringLiteral("21,0 °C"));
}

void ConnectionTest::unreadableSettingsAreRetried()
{
    ScratchDatabase database;
    FillTwoChannels(database);
    database.exec("ALTER TABLE ZEMLO_SETTINGS MODIFY UNIT VARCHAR(10) NULL");
    database.exec("UPDATE ZEMLO_SETTINGS SET UNIT = NULL");
    AppFolder folder;
    folder.writeConnection(database.name());
    folder.write("config.ini", "[View]\nRefresh=1\n");
    ScriptedDesktop desktop;
    const auto main = folder.start();
    main->show();
    app::RunHandler([&] { main->ToggleConnection(); });
    VerifyDisconnectedLook(*main, QStringLiteral("Błąd połączenia z baza danych."), QColor(0xFD, 0x7C, 0x66));
    QCOMPARE(desktop.messages.size(), 1);
    QVERIFY(Rendered(main->LabelStatus->toolTip()).contains(desktop.messages[0].text));

    // Tried again every second; the same fault brings no second box.
    QTest::qWait(2500);
    QCOMPARE(desktop.messages.size(), 1);
    QVERIFY(!main->database().connected());

    // Mended: the next try connects, as if the first one had.
    database.exec("UPDATE ZEMLO_SETTINGS SET UNIT = 'bar'");
    QTRY_COMPARE_WITH_TIMEOUT(main->LabelStatus->text(), QStringLiteral("Połączono poprawnie z bazą daych."), 5000);
    QCOMPARE(Rendered(main->LabelStatus->toolTip()), "Serwer bazy danych: " + TestServer::viewerHost());
    QVERIFY(main->PanelButton->isEnabled());
    QCOMPARE(main->channels().count, 2u);
    QCOMPARE(main->liveView().LiveRowCount(), 2u);
    QVERIFY(!main->DataGrid->isHidden());
    QVERIFY(main->TimerUpdate->isActive());
    QCOMPARE(main->TimerUpdate->interval(), 1000);
    QCOMPARE(main->findChild<QLabel*>("ViewValue_0001")->text(), QStringLiteral("- bar"));
    QCOMPARE(desktop.messages.size(), 1);
}

void ConnectionTest::moreThanCapacityIsToldOnce()
{
    ConnectedApp app([](ScratchDatabase& database) {
        database.createSettingsTable();
        QStringList rows;
        for (int i = 0; i < 1803; ++i)
            rows << QStringLiteral("('K%1','%','NULL','NULL',0,0,0,0,0,0,0,0,0,1,0,0,100)").arg(i);
        database.exec("INSERT INTO ZEMLO_SETTINGS (NAME,UNIT,POSITION_1,POSITION_2,A1_L,A1_H,A1_HIS,A2_L,A2_H,A2_HIS,"
                      "CH_C,CH_T,CH_S,DOT,LIMIT_EN,LIMIT_LO,LIMIT_HI) VALUES " + rows.join(','));
        database.exec("CREATE TABLE ZEMLO_DATA (DT DATETIME NOT NULL PRIMARY KEY)");
    });
    const auto& main = app.main;
    QCOMPARE(main->channels().count, 1800u);
    QCOMPARE(main->liveView().LiveRowCount(), 1800u);
    QVERIFY(main->findChild<QLabel*>("VievName_1799"));
    QCOMPARE(app.desktop.messages.size(), 1);
    QVERIFY2(app.desktop.messages[0].text.contains("1800") && app.desktop.messages[0].text.endsWith(": 3."),
             qPrintable(app.desktop.messages[0].text));
}

void ConnectionTest::closeAnsweredNoKeepsRunning()
{
    ConnectedApp app(FillTwoChannels);
    const auto& main = app.main;
    app.desktop.answers = {false};
    QVERIFY(!main->close());
    QVERIFY(main->database().connected());
    QVERIFY(main->TimerUpdate->isActive());
    app.desktop.answers = {true};
    QVERIFY(main->close());
    QVERIFY(!main->database().connected());
}

int main(int argc, char** argv)
{
    app::ZemloApplication application(argc, argv);
    ConnectionTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_connection.moc"

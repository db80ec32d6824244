// An error that ends an event handler is shown in the error box by the handler's own edge,
// and never travels on through Qt's code: this test runs on a plain QApplication, which
// catches nothing, so an error that got past a handler would end the test.
#include "AppFixture.h"
#include "ScriptedDesktop.h"
#include "TestServer.h"

#include "app/TFIntro.h"

#include <QLabel>
#include <QPointer>
#include <QTabWidget>
#include <QTimer>
#include <QtTest>

class HandlerEdgesTest : public QObject {
    Q_OBJECT
private slots:
    void refreshHandlers_data();
    void refreshHandlers();
    void splashHandOver_data();
    void splashHandOver();
};

void HandlerEdgesTest::refreshHandlers_data()
{
    QTest::addColumn<bool>("timer"); // else the switch to the live tab
    QTest::newRow("refresh tick") << true;
    QTest::newRow("tab change") << false;
}

void HandlerEdgesTest::refreshHandlers()
{
    QFETCH(bool, timer);
    ConnectedApp app(
        [](ScratchDatabase& database) {
            database.createContract({{.NAME = "T1"}});
            database.insertData("2021-10-19 08:00:00", {{20.0, "A"}});
        },
        "[View]\nRefresh=1\n");
    app.main->TimerUpdate->stop();
    app.database.exec("ALTER TABLE ZEMLO_DATA DROP COLUMN T1_AL");
    if (timer) {
        app.main->TimerUpdate->start(20);
    } else {
        app.main->PageControlMain->setCurrentWidget(app.main->ReportSheet);
        app.main->PageControlMain->setCurrentWidget(app.main->ActualSheet);
    }
    QTRY_VERIFY(!app.desktop.messages.isEmpty());
    QVERIFY2(app.desktop.messages[0].text.contains("T1_AL"), qPrintable(app.desktop.messages[0].text));
}

void HandlerEdgesTest::splashHandOver_data()
{
    QTest::addColumn<bool>("escape"); // else the last tick
    QTest::newRow("last tick") << false;
    QTest::newRow("Escape") << true;
}

void HandlerEdgesTest::splashHandOver()
{
    QFETCH(bool, escape);
    // The settings table holds a NULL: the connect sequence ends in an error.
    ScratchDatabase database;
    database.createContract({{.NAME = "T1"}});
    database.exec("ALTER TABLE ZEMLO_SETTINGS MODIFY UNIT VARCHAR(10) NULL");
    database.exec("UPDATE ZEMLO_SETTINGS SET UNIT = NULL");
    AppFolder folder;
    folder.writeConnection(database.name());
    ScriptedDesktop desktop;
    const auto main = folder.start();
    const QPointer<app::TFIntro> splash = new app::TFIntro(*main);
    if (escape)
        QTest::keyClick(splash.data(), Qt::Key_Escape);
    QTRY_VERIFY_WITH_TIMEOUT(!desktop.messages.isEmpty(), 15000);
    QVERIFY(main->isVisible());
    QCOMPARE(desktop.messages.size(), 1);
    QVERIFY2(desktop.messages[0].text.contains("UNIT"), qPrintable(desktop.messages[0].text));
    QTRY_VERIFY(splash.isNull());
}

QTEST_MAIN(HandlerEdgesTest)
#include "test_handler_edges.moc"

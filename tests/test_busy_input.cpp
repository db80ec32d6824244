// Clicks and key presses that arrive while a fetch, a CSV export or a report holds the
// window are dropped when the work ends, so that a second click does not run it again; a close
// request is asked once the work is done.
#include "AppFixture.h"
#include "ScriptedDesktop.h"
#include "TestServer.h"

#include "app/ZemloApplication.h"
#include "history/RangePickers.h"
#include "history/StringGrid.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QToolButton>
#include <QtTest>

class BusyInputTest : public QObject {
    Q_OBJECT
private slots:
    void inputDuringWorkIsDropped_data();
    void inputDuringWorkIsDropped();
    void closeDuringWorkIsAskedAfterwards();
};

namespace {

void TwoChannels(ScratchDatabase& database)
{
    database.createContract({{.NAME = "T1"}, {.NAME = "T2", .UNIT = "bar"}});
    database.insertData("2021-10-19 08:00:00", {{20.0, "A"}, {1.5, ""}});
    database.insertData("2021-10-19 08:01:00", {{21.0, ""}, {1.6, ""}});
    database.insertEvent("2021-10-19 08:00:30", 1, "Pompa", 1, 2);
}

// A click and a key press as the window system queues them while the window is busy.
void QueueClick(QWidget* button)
{
    const QPointF centre = QRectF(button->rect()).center();
    for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease})
        QCoreApplication::postEvent(button, new QMouseEvent(type, centre, button->mapToGlobal(centre), Qt::LeftButton,
                                                            type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                                                            Qt::NoModifier));
}

void QueueKey(QWidget* picker)
{
    QCoreApplication::postEvent(picker, new QKeyEvent(QEvent::KeyPress, Qt::Key_Up, Qt::NoModifier));
    QCoreApplication::postEvent(picker, new QKeyEvent(QEvent::KeyRelease, Qt::Key_Up, Qt::NoModifier));
}

} // namespace

void BusyInputTest::inputDuringWorkIsDropped_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("questions"); // the work's own questions
    QTest::newRow("fetch") << "GetDataButton" << 0;
    QTest::newRow("CSV export") << "SpeedButton1" << 1;
    QTest::newRow("report") << "PfdButton" << 1;
}

void BusyInputTest::inputDuringWorkIsDropped()
{
    QFETCH(QString, button);
    QFETCH(int, questions);
    ConnectedApp app(TwoChannels, "[View]\nRefresh=0\n");
    const auto& main = app.main;
    main->GetDataButton->click();
    QCOMPARE(main->DataGrid->rowCount(), 3);
    app.desktop.answers = {false, false, false};

    auto* work = main->findChild<QToolButton*>(button);
    QSignalSpy clicks(work, &QToolButton::clicked);
    const QTime start = main->picker_in_t->time();
    QueueClick(work);
    QueueKey(main->picker_in_t);
    work->click();
    QTest::qWait(100);
    QCOMPARE(clicks.count(), 1);
    QCOMPARE(app.desktop.questions.size(), questions);
    QCOMPARE(main->picker_in_t->time(), start);
    QVERIFY(app.desktop.messages.isEmpty());

    // Input that comes after the work is taken as always.
    QueueKey(main->picker_in_t);
    QTRY_VERIFY(main->picker_in_t->time() != start);
    QueueClick(work);
    QTRY_COMPARE(clicks.count(), 2);
}

void BusyInputTest::closeDuringWorkIsAskedAfterwards()
{
    ConnectedApp app(TwoChannels, "[View]\nRefresh=0\n");
    const auto& main = app.main;
    main->GetDataButton->click();
    // No to opening the folder, then No to ending the program.
    app.desktop.answers = {false, false};
    QCoreApplication::postEvent(main.get(), new QCloseEvent);
    main->SpeedButton1->click();
    QTRY_COMPARE(app.desktop.questions.size(), 2);
    QVERIFY2(app.desktop.questions[0].startsWith("Dane zostały zapisane."), qPrintable(app.desktop.questions[0]));
    QCOMPARE(app.desktop.questions[1], QStringLiteral("Czy na pewno zakończyć działanie programu?"));
    QTest::qWait(100);
    QCOMPARE(app.desktop.questions.size(), 2);
    QVERIFY(main->isVisible());
    QVERIFY(main->database().connected());
}

int main(int argc, char** argv)
{
    app::ZemloApplication application(argc, argv);
    BusyInputTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_busy_input.moc"

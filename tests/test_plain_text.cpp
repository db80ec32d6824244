// Texts that come from the database or from a file are shown as they are written: markup in
// a channel's name, unit or group, in a database name or in a server's message is shown, not
// rendered, and loads nothing.
#include "AppFixture.h"
#include "ScriptedDesktop.h"
#include "TestServer.h"

#include "app/ErrorBox.h"
#include "app/ZemloApplication.h"
#include "history/ChartLegend.h"
#include "live/ChannelInfo.h"

#include <QLabel>
#include <QMessageBox>
#include <QStatusBar>
#include <QTimer>
#include <QtTest>

class PlainTextTest : public QObject {
    Q_OBJECT
private slots:
    void liveRowsAndInformationWindow();
    void statusLine();
    void messageBoxes_data();
    void messageBoxes();
};

namespace {

const ContractChannel Marked{.NAME = "<h1>x</h1>", .UNIT = "<b>m³</b>",
                             .POSITION_1 = "<img src=/e/a>Kotłownia", .POSITION_2 = "a<br>b"};

} // namespace

void PlainTextTest::liveRowsAndInformationWindow()
{
    ConnectedApp app([](ScratchDatabase& database) {
        database.createContract({Marked});
        database.insertData("2021-10-19 08:00:00", {{20.0, "A"}});
    });
    QCOMPARE(Rendered(app.label("VievName_0000")), Marked.NAME);
    QCOMPARE(Rendered(app.label("ViewValue_0000")), "20,0 " + Marked.UNIT);
    // Too long for its place: cut with "…", whole in the tool tip.
    QVERIFY(Marked.POSITION_1.startsWith(Rendered(app.label("ViewGroup1_0000")).chopped(1)));
    QCOMPARE(Rendered(app.label("ViewGroup1_0000")->toolTip()), Marked.POSITION_1);
    app.main->PageControlMain->setCurrentWidget(app.main->ActualSheet);
    app.main->resize(1280, 800); // room for the whole subgroup
    QTRY_COMPARE(Rendered(app.label("ViewGroup2_0000")), Marked.POSITION_2);
    QTRY_COMPARE(app.main->ChartLegend->count(), 1);
    QCOMPARE(app.main->ChartLegend->item(0)->text(), Marked.NAME);

    QTest::mouseDClick(app.label("ViewImage_0000"), Qt::LeftButton);
    QMessageBox* info = nullptr;
    for (QWidget* window : QApplication::topLevelWidgets())
        if (auto* box = qobject_cast<QMessageBox*>(window); box && box->isVisible())
            info = box;
    QVERIFY(info);
    QCOMPARE(Rendered(info->text(), info->textFormat()), live::ChannelInfoText(app.main->channels(), 0));
    info->close();
}

void PlainTextTest::statusLine()
{
    // Connected: the bottom panel names the database of connection.ini.
    ScratchDatabase marked("<i>x</i>");
    marked.createContract({});
    AppFolder folder;
    folder.writeConnection(marked.name());
    ScriptedDesktop desktop;
    const auto main = folder.start();
    main->ToggleConnection();
    QCOMPARE(Rendered(main->StatusPanel), "Baza danych :: " + marked.name() + " :: " + TestServer::viewerUser() + " :: ****");

    // Failed: the status label's tool tip gives the server's words, which quote the name.
    AppFolder failing;
    failing.writeConnection("<h1>brak</h1>");
    const auto refused = failing.start();
    refused->ToggleConnection();
    QVERIFY(!refused->database().connected());
    const QString reason = Rendered(refused->LabelStatus->toolTip());
    QVERIFY2(reason.contains("'<h1>brak</h1>'"), qPrintable(reason));
}

void PlainTextTest::messageBoxes_data()
{
    QTest::addColumn<int>("kind");
    QTest::newRow("message") << 0;
    QTest::newRow("question") << 1;
    QTest::newRow("error box") << 2;
}

void PlainTextTest::messageBoxes()
{
    QFETCH(int, kind);
    const QString text = QStringLiteral("Field '<h1>x</h1>' not found\n<img src=\"/etc/zemlo.png\">");
    // The real boxes: whichever opens is read and closed.
    QString shown;
    QTimer closer;
    connect(&closer, &QTimer::timeout, this, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            shown = Rendered(box->text(), box->textFormat());
            box->done(QMessageBox::No);
        }
    });
    closer.start(10);
    switch (kind) {
    case 0: os::Desktop::current().showMessage("ZEMLO Viewer", text, os::Desktop::Icon::Information); break;
    case 1: os::Desktop::current().askYesNo("ZEMLO Viewer", text); break;
    default: app::ShowErrorBox(text); break;
    }
    QCOMPARE(shown, text);
}

int main(int argc, char** argv)
{
    app::ZemloApplication application(argc, argv);
    PlainTextTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_plain_text.moc"

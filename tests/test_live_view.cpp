// The live tab: its rows per channel, the refresh with values and alarm dots and the
// information window.
#include "AppFixture.h"
#include "ScriptedDesktop.h"
#include "TestServer.h"

#include "app/ErrorBox.h"
#include "app/ZemloApplication.h"
#include "db/Alarm.h"
#include "db/ChannelTable.h"
#include "history/HistoryChart.h"
#include "history/RangePickers.h"
#include "live/ChannelInfo.h"
#include "live/LiveView.h"
#include "platform/os/Clock.h"

#include <QFrame>
#include <QLabel>
#include <QMessageBox>
#include <QScrollArea>
#include <QTabWidget>
#include <QTimer>
#include <QtTest>

class LiveViewTest : public QObject {
    Q_OBJECT
private slots:
    void cleanup();
    void alarmCodes_data();
    void alarmCodes();
    void rowsForThreeChannels();
    void refreshShowsValuesUnitsAndDots();
    void refreshLeavesTheRangeAlone();
    void valueLabelsShowTheirWholeText();
    void missingColumnLeavesTheOthersRefreshing_data();
    void missingColumnLeavesTheOthersRefreshing();
    void persistingRefreshErrorIsToldOnce();
    void separatorsFollowTheWidth();
    void longTextsEndInAnEllipsis();
    void informationWindow();
    void refreshTicksWaitBehindOpenBoxes_data();
    void refreshTicksWaitBehindOpenBoxes();
};

namespace {

const QList<ContractChannel> ThreeChannels{
    {.NAME = "Temperatura kotła", .POSITION_1 = "Kotłownia", .POSITION_2 = "NULL", .A1_L = 10, .A1_H = 75,
     .A1_HIS = 0.5, .A2_L = 5, .A2_H = 90, .A2_HIS = 1, .CH_C = 0x0000FF, .DOT = 1},
    {.NAME = "Ciśnienie", .UNIT = "bar", .POSITION_1 = "null", .POSITION_2 = "", .A1_L = db::ThresholdUnset, .A1_H = db::ThresholdUnset,
     .A1_HIS = db::ThresholdUnset, .A2_L = db::ThresholdUnset, .A2_H = db::ThresholdUnset, .A2_HIS = db::ThresholdUnset, .CH_C = 0xFF0000, .DOT = 2},
    {.NAME = "Przepływ", .UNIT = "", .POSITION_1 = "NULL", .POSITION_2 = "Pompa 2", .A1_H = 0, .DOT = 10},
};

// A main window connected to a fresh database holding the three channels and the given
// rows, one a minute; the periodic refresh is off unless config says otherwise.
struct Connected : ConnectedApp {
    explicit Connected(const QList<QList<DataCell>>& rows = {}, const QByteArray& config = "[View]\nRefresh=0\n")
        : ConnectedApp(
              [&](ScratchDatabase& database) {
                  database.createContract(ThreeChannels);
                  int minute = 0;
                  for (const auto& cells : rows)
                      database.insertData(QStringLiteral("2021-10-19 08:%1:00").arg(minute++, 2, 10, QLatin1Char('0')),
                                          cells);
              },
              config)
    {
    }
    QImage dot(int channel) const { return label(QStringLiteral("ViewImage_%1").arg(channel, 4, 10, QLatin1Char('0')))->pixmap().toImage(); }
};

} // namespace

void LiveViewTest::cleanup()
{
    os::SetClock({});
}

void LiveViewTest::alarmCodes_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("marker");
    QTest::newRow("A") << "A" << 1 << "[!1H]";
    QTest::newRow("B") << "B" << 2 << "[!1L]";
    QTest::newRow("C") << "C" << 3 << "[!2H]";
    QTest::newRow("D") << "D" << 4 << "[!2L]";
    QTest::newRow("E") << "E" << 5 << "[!K]";
    QTest::newRow("AC") << "AC" << 3 << "[!2H]";
    QTest::newRow("EA") << "EA" << 5 << "[!K]";
    QTest::newRow("empty") << "" << 0 << "";
    QTest::newRow("-") << "-" << 0 << "";
    QTest::newRow("a") << "a" << 0 << "";
}

void LiveViewTest::alarmCodes()
{
    QFETCH(QString, text);
    QFETCH(int, code);
    QFETCH(QString, marker);
    QCOMPARE(int(db::AlarmCode(text)), code);
    QCOMPARE(db::AlarmMarker(text), marker);
}

void LiveViewTest::rowsForThreeChannels()
{
    Connected app;
    app.main->PageControlMain->setCurrentWidget(app.main->ActualSheet);
    const QStringList prefixes{"VievName_", "ViewValue_", "ViewImage_", "ViewGroup1_", "ViewGroup2_", "ViewLine_"};
    const QList<int> lefts{20, 420, 620, 720, 820, 20};
    for (int i = 0; i < 3; ++i) {
        for (int p = 0; p < prefixes.size(); ++p) {
            const QString name = prefixes[p] + QStringLiteral("000%1").arg(i);
            const auto* control = app.main->findChild<QWidget*>(name);
            QVERIFY2(control, qPrintable(name));
            QVERIFY(control->isVisible());
            QCOMPARE(control->pos(), QPoint(lefts[p], 48 * i + (p == 5 ? 56 : 20)));
        }
        QCOMPARE(app.main->Chart->series(i)->objectName(), QStringLiteral("ViewSeries_000%1").arg(i));
        QCOMPARE(app.main->Chart->series(i)->name(), ThreeChannels[i].NAME);
    }
    QCOMPARE(app.label("VievName_0000")->text(), QStringLiteral("Temperatura kotła"));
    QCOMPARE(app.label("VievName_0000")->font().family(), QStringLiteral("Courier New"));
    QCOMPARE(app.label("VievName_0000")->font().pointSize(), 12);
    QVERIFY(app.label("ViewValue_0000")->font().bold());
    QVERIFY(app.label("ViewGroup1_0000")->font().italic());
    // Until a row arrives: a hyphen, a blank and the unit; groups with "NULL" as "-".
    QCOMPARE(app.label("ViewValue_0001")->text(), QStringLiteral("- bar"));
    QCOMPARE(app.label("ViewValue_0002")->text(), QStringLiteral("- "));
    QCOMPARE(app.label("ViewGroup1_0000")->text(), QStringLiteral("Kotłownia"));
    QCOMPARE(app.label("ViewGroup2_0000")->text(), QStringLiteral("-"));
    QCOMPARE(app.label("ViewGroup1_0001")->text(), QStringLiteral("null"));
    QCOMPARE(app.label("ViewGroup2_0001")->text(), QString());
    QVERIFY(app.dot(0).isNull());
    QCOMPARE(app.main->Chart->series(0)->pen().color(), QColor(255, 0, 0));
    QCOMPARE(app.main->Chart->series(1)->pen().color(), QColor(0, 0, 255));
    QCOMPARE(app.main->LabelUpdate->pos(), QPoint(20, 164));
    QCOMPARE(app.main->LabelUpdate->font().pointSize(), 7);
    QCOMPARE(app.main->findChild<QWidget*>("ViewLine_0002")->height(), 1);
}

void LiveViewTest::refreshShowsValuesUnitsAndDots()
{
    os::SetClock([] { return QDateTime({2021, 10, 20}, {12, 0, 1}); });
    Connected app({{{20.0, "A"}, {1.0, "E"}, {1.0, "D"}}});
    const QImage orange = app.main->ImgSourceA1->pixmap().toImage();
    const QImage red = app.main->ImgSourceA2->pixmap().toImage();
    const QImage blue = app.main->ImgSourceAK->pixmap().toImage();
    const QImage green = app.main->ImgSourceA0->pixmap().toImage();
    QCOMPARE(app.dot(0), orange);
    QCOMPARE(app.dot(1), blue);
    QCOMPARE(app.dot(2), red);

    // The newest row arrives at midnight: the update label shows its date alone.
    app.database.insertData("2021-10-20 00:00:00", {{21.46, "AC"}, {std::nullopt, std::nullopt}, {0.1, ""}});
    app.main->RefreshLiveView(db::contract::DataTable);
    QCOMPARE(app.label("ViewValue_0000")->text(), QStringLiteral("21,5 °C"));
    QCOMPARE(app.label("ViewValue_0001")->text(), QStringLiteral("- bar"));
    QCOMPARE(app.label("ViewValue_0002")->text(), QStringLiteral("0,1000000015 "));
    QCOMPARE(app.dot(0), red);
    QCOMPARE(app.dot(1), blue); // a NULL alarm leaves the dot as it was
    QCOMPARE(app.dot(2), green);
    QCOMPARE(app.main->LabelUpdate->text(), QStringLiteral("Ostatnia aktualizacja: 20.10.2021 (20.10.2021 12:00:01)"));
}

void LiveViewTest::refreshLeavesTheRangeAlone()
{
    // The range is set from the stored rows once, at connecting; the operator's choice stays.
    Connected app({{{20.0, "A"}, {1.0, ""}, {1.0, ""}}});
    QCOMPARE(app.main->picker_out_d->date(), QDate(2021, 10, 19));
    QCOMPARE(app.main->picker_out_t->time(), QTime(8, 0, 0));
    app.database.insertData("2021-10-21 07:08:09", {{30.0, "E"}, {2.0, ""}, {2.0, ""}});
    app.main->RefreshLiveView(db::contract::DataTable);
    QCOMPARE(app.label("ViewValue_0000")->text(), QStringLiteral("30,0 °C"));
    QCOMPARE(app.main->picker_out_d->date(), QDate(2021, 10, 19));
    QCOMPARE(app.main->picker_out_t->time(), QTime(8, 0, 0));
}

void LiveViewTest::valueLabelsShowTheirWholeText()
{
    // A large number with DOT 10 is wider than the box up to the dot; 20,0 °C fits it.
    Connected app({{{20.0, "A"}, {1.0, ""}, {123456789012345.0, ""}}});
    const QLabel* fits = app.label("ViewValue_0000");
    const QLabel* wide = app.label("ViewValue_0002");
    QVERIFY2(wide->width() >= wide->sizeHint().width(), qPrintable(wide->text()));
    QCOMPARE(fits->width(), 620 - 420 - 4);
    QVERIFY(fits->width() >= fits->sizeHint().width());
}

void LiveViewTest::missingColumnLeavesTheOthersRefreshing_data()
{
    QTest::addColumn<QString>("column");
    QTest::addColumn<QStringList>("values"); // the three value labels after the refresh
    QTest::addColumn<bool>("dotShown");      // the dot of the channel whose column is missing
    QTest::newRow("value column") << "Ciśnienie" << QStringList{"30,0 °C", "- bar", "3,0000000000 "} << true;
    QTest::newRow("alarm column") << "Ciśnienie_AL" << QStringList{"30,0 °C", "2,00 bar", "3,0000000000 "} << false;
}

void LiveViewTest::missingColumnLeavesTheOthersRefreshing()
{
    QFETCH(QString, column);
    QFETCH(QStringList, values);
    QFETCH(bool, dotShown);
    os::SetClock([] { return QDateTime({2021, 10, 20}, {12, 0, 1}, Qt::UTC); });
    Connected app({{{20.0, "A"}, {1.0, ""}, {1.0, ""}}});
    app.database.insertData("2021-10-19 08:01:00", {{30.0, "E"}, {2.0, "E"}, {3.0, "E"}});
    app.database.exec("ALTER TABLE ZEMLO_DATA DROP COLUMN " + ScratchDatabase::quoteName(column));
    // Every channel whose columns exist shows the new row, the missing one shows no value it
    // does not have, and the update label tells the refresh; one box names the column, also
    // when the column indexes are already known at the second refresh.
    for (int refresh = 0; refresh < 2; ++refresh) {
        app::RunHandler([&] { app.main->TimerUpdateTimer(); });
        const QStringList shown{app.label("ViewValue_0000")->text(), app.label("ViewValue_0001")->text(),
                                app.label("ViewValue_0002")->text()};
        QCOMPARE(shown, values);
        QCOMPARE(app.dot(0), app.main->ImgSourceAK->pixmap().toImage());
        QCOMPARE(!app.dot(1).isNull(), dotShown);
        QCOMPARE(app.main->LabelUpdate->text(),
                 QStringLiteral("Ostatnia aktualizacja: 19.10.2021 08:01:00 (20.10.2021 12:00:01)"));
    }
    QCOMPARE(app.desktop.messages.size(), 1);
    QVERIFY2(app.desktop.messages[0].text.contains(column), qPrintable(app.desktop.messages[0].text));
    // The status tells the connection, which works.
    QCOMPARE(app.main->LabelStatus->text(), QStringLiteral("Połączono poprawnie z bazą daych."));
}

void LiveViewTest::persistingRefreshErrorIsToldOnce()
{
    Connected app({{{20.0, "A"}, {1.0, ""}, {1.0, ""}}});
    const auto tick = [&](int times) {
        for (int i = 0; i < times; ++i)
            app::RunHandler([&] { app.main->TimerUpdateTimer(); });
        return int(app.desktop.messages.size());
    };
    app.database.exec("ALTER TABLE ZEMLO_DATA DROP COLUMN `Przepływ_AL`");
    QCOMPARE(tick(3), 1);
    // Another text: its own box, once.
    app.database.exec("ALTER TABLE ZEMLO_DATA DROP COLUMN `Ciśnienie_AL`");
    QCOMPARE(tick(3), 2);
    QVERIFY2(app.desktop.messages[1].text.contains("Ciśnienie_AL"), qPrintable(app.desktop.messages[1].text));
    // Mended, then broken again: told again.
    app.database.exec("ALTER TABLE ZEMLO_DATA ADD `Przepływ_AL` VARCHAR(10) NULL, ADD `Ciśnienie_AL` VARCHAR(10) NULL");
    QCOMPARE(tick(2), 2);
    app.database.exec("ALTER TABLE ZEMLO_DATA DROP COLUMN `Przepływ_AL`");
    QCOMPARE(tick(2), 3);
    // The switch to the live tab refreshes the same way.
    app.main->PageControlMain->setCurrentWidget(app.main->ReportSheet);
    app.main->PageControlMain->setCurrentWidget(app.main->ActualSheet);
    QCOMPARE(app.desktop.messages.size(), 3);
}

// A name, group or subgroup wider than its place is cut after a whole letter and ends in
// "…", with the whole text as its tool tip; the rows keep their places.
void LiveViewTest::longTextsEndInAnEllipsis()
{
    const QString name = QStringLiteral("Temperatura oleju zasilającego sprężarkę nr 2 w hali B");
    const QString group = QStringLiteral("Sprężarkownia");
    const QString subgroup = QStringLiteral("Węzeł cieplny budynku A3"); // as long as the column holds
    ConnectedApp app(
        [&](ScratchDatabase& database) {
            database.createContract({{.NAME = name, .POSITION_1 = group, .POSITION_2 = subgroup},
                                     {.NAME = "Ciśnienie", .POSITION_1 = "Kotłownia", .POSITION_2 = "B2"}});
        },
        "[View]\nRefresh=0\n");
    app.main->PageControlMain->setCurrentWidget(app.main->ActualSheet);
    qsizetype shownOfSubgroup = 0;
    const QWidget* line = app.main->findChild<QWidget*>("ViewLine_0000");
    int rowEnd = 0;
    for (const int width : {900, 1000}) {
        app.main->resize(width, 700);
        QTRY_VERIFY(line->geometry().right() + 1 != rowEnd);
        rowEnd = line->geometry().right() + 1;
        QCOMPARE_GT(rowEnd, 820 + 40); // the subgroup's place ends with the row
        const struct {
            const char* label;
            QString text;
            QPoint place;
            int end;
        } cut[] = {{"VievName_0000", name, {20, 20}, 420}, {"ViewGroup1_0000", group, {720, 20}, 820},
                   {"ViewGroup2_0000", subgroup, {820, 20}, rowEnd}};
        for (const auto& [labelName, text, place, end] : cut) {
            const QLabel* label = app.label(labelName);
            QVERIFY2(label->text().endsWith(QChar(0x2026)), qPrintable(label->text()));
            QVERIFY2(text.startsWith(label->text().chopped(1)), qPrintable(label->text()));
            QCOMPARE(label->pos(), place);
            QCOMPARE_LE(label->pos().x() + label->fontMetrics().horizontalAdvance(label->text()), end);
            QCOMPARE(Rendered(label->toolTip()), text);
        }
        // The subgroup's place reaches to the end of the row: a wider window shows more of it.
        QCOMPARE_GT(app.label("ViewGroup2_0000")->text().size(), shownOfSubgroup);
        shownOfSubgroup = app.label("ViewGroup2_0000")->text().size();
        for (const char* whole : {"VievName_0001", "ViewGroup1_0001", "ViewGroup2_0001"}) {
            QVERIFY(!app.label(whole)->text().endsWith(QChar(0x2026)));
            QVERIFY(app.label(whole)->toolTip().isEmpty());
        }
    }
    // The chart's series and the information window keep the whole name.
    QCOMPARE(app.main->Chart->series(0)->name(), name);
}

void LiveViewTest::separatorsFollowTheWidth()
{
    Connected app;
    for (const int width : {1000, 1200}) {
        app.main->resize(width, 700);
        QTest::qWait(20);
        for (int i = 0; i < 3; ++i)
            QCOMPARE(app.main->findChild<QWidget*>(QStringLiteral("ViewLine_000%1").arg(i))->width(),
                     app.main->ScrollBox->width() - 40);
    }
}

void LiveViewTest::informationWindow()
{
    Connected app;
    QCOMPARE(live::ChannelInfoText(app.main->channels(), 0),
             QStringLiteral("Nazwa :: Temperatura kotła\nGrupa :: Kotłownia\nPodgrupa :: NULL\n\n"
                            "Alarm 1 :: próg górny :: 75,0 °C\nAlarm 1 :: hist.  +/- :: 0,5 °C\n"
                            "Alarm 1 :: próg dolny :: 10,0 °C\n\nAlarm 2 :: próg górny :: 90,0 °C\n"
                            "Alarm 2 :: hist.  +/- :: 1,0 °C\nAlarm 2 :: próg dolny :: 5,0 °C\n"));
    // Unset thresholds show "-"; an empty unit leaves its blank; 0 is a number.
    QVERIFY(live::ChannelInfoText(app.main->channels(), 1).endsWith("Alarm 2 :: próg dolny :: - bar\n"));
    QVERIFY(live::ChannelInfoText(app.main->channels(), 2).contains("Alarm 1 :: próg górny :: 0,0000000000 \n"));

    QWidget* dot = app.main->findChild<QWidget*>("ViewImage_0001");
    QTest::mouseDClick(dot, Qt::LeftButton);
    QTest::mouseDClick(dot, Qt::LeftButton);
    QList<QPointer<QMessageBox>> windows;
    for (QWidget* window : QApplication::topLevelWidgets())
        if (auto* box = qobject_cast<QMessageBox*>(window); box && box->isVisible())
            windows << box;
    QCOMPARE(windows.size(), 2);
    for (const auto& box : windows) {
        QCOMPARE(box->windowTitle(), QStringLiteral("Informacje..."));
        QVERIFY(!box->isModal());
        QVERIFY(box->text().startsWith("Nazwa :: Ciśnienie\n"));
    }
    // Closing one releases it; the other stays open.
    windows[0]->close();
    QTRY_VERIFY(windows[0].isNull());
    QVERIFY(windows[1]->isVisible());
}

void LiveViewTest::refreshTicksWaitBehindOpenBoxes_data()
{
    QTest::addColumn<bool>("closeQuestion");
    QTest::newRow("error box") << false;
    QTest::newRow("close question") << true;
}

void LiveViewTest::refreshTicksWaitBehindOpenBoxes()
{
    QFETCH(bool, closeQuestion);
    Connected app({{{20.0, "A"}, {1.0, ""}, {1.0, ""}}}, "[View]\nRefresh=1\n");
    app.main->TimerUpdate->setInterval(20);
    // A column disappears: every tick fails, but no box opens on top of another one.
    app.database.exec("ALTER TABLE ZEMLO_DATA DROP COLUMN `Przepływ_AL`");
    int ticksBehindBox = 0;
    app.desktop.whileShowing = [&] {
        const int before = int(app.desktop.messages.size());
        QTest::qWait(200);
        ticksBehindBox += int(app.desktop.messages.size()) - before;
    };
    if (closeQuestion) {
        app.desktop.answers = {false};
        QVERIFY(!app.main->close());
    } else {
        QTRY_VERIFY_WITH_TIMEOUT(!app.desktop.messages.isEmpty(), 5000);
    }
    QCOMPARE(ticksBehindBox, 0);
    // Once the question is closed, the fault is reported.
    app.desktop.whileShowing = {};
    QTRY_VERIFY_WITH_TIMEOUT(app.desktop.messages.size() == 1, 5000);
    QVERIFY(app.desktop.messages[0].text.contains("Przepływ_AL"));
}

int main(int argc, char** argv)
{
    app::ZemloApplication application(argc, argv);
    LiveViewTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_live_view.moc"

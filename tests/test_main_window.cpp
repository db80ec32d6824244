// The main window's start-up, static layout, settings use and close.
#include "AppFixture.h"
#include "ScriptedDesktop.h"

#include "config/SettingsFiles.h"
#include "history/ChartLegend.h"
#include "history/HistoryChart.h"
#include "history/RangePickers.h"
#include "history/StringGrid.h"

#include <QDir>
#include <QScreen>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <QStringEncoder>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

Q_DECLARE_METATYPE(config::WindowSettings)

namespace config {
char* toString(const WindowSettings& settings)
{
    return QTest::toString(QStringLiteral("top %1, left %2, %3 x %4, state %5")
                               .arg(settings.ScreenTop).arg(settings.ScreenLeft).arg(settings.ScreenWidth)
                               .arg(settings.ScreenHeight).arg(settings.ScreenState));
}
} // namespace config

class MainWindowTest : public QObject {
    Q_OBJECT
private slots:
    void caption_data();
    void caption();
    void leftAxisRule_data();
    void leftAxisRule();
    void firstStartCreatesSettingsAndReportsFolder();
    void staticLayout();
    void chartFollowsConfig();
    void reportsPath_data();
    void reportsPath();
    void windowGeometryFromSettings();
    void windowKeptOnTheScreen_data();
    void windowKeptOnTheScreen();
    void closeAsksAndStoresGeometry_data();
    void closeAsksAndStoresGeometry();
    void unwritableSettingsAtCloseStillEnds();
    void damagedSettingsFileDoesNotStopTheStart_data();
    void damagedSettingsFileDoesNotStopTheStart();
};

void MainWindowTest::caption_data()
{
    QTest::addColumn<int>("major");
    QTest::addColumn<int>("minor");
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("caption");
    QTest::newRow("1.0") << 1 << 0 << "" << "ZEMLO Viewer wersja: 1.00.00";
    QTest::newRow("1.5") << 1 << 5 << "" << "ZEMLO Viewer wersja: 1.05.00";
    QTest::newRow("1.12") << 1 << 12 << "" << "ZEMLO Viewer wersja: 1.12.00";
    QTest::newRow("1.123") << 1 << 123 << "" << "ZEMLO Viewer wersja: 1.123.00";
    QTest::newRow("user") << 2 << 7 << "Operator" << "ZEMLO Viewer wersja: 2.07.00 [Operator]";
}

void MainWindowTest::caption()
{
    QFETCH(int, major);
    QFETCH(int, minor);
    QFETCH(QString, user);
    QFETCH(QString, caption);
    QCOMPARE(app::MainCaption(major, minor, user), caption);
}

void MainWindowTest::leftAxisRule_data()
{
    QTest::addColumn<int>("scale");
    QTest::addColumn<float>("min");
    QTest::addColumn<float>("max");
    QTest::addColumn<bool>("fixed");
    QTest::newRow("mode 1, both 0") << 1 << 0.f << 0.f << false;
    QTest::newRow("mode 2, -5..0") << 2 << -5.f << 0.f << true;
    QTest::newRow("mode 1, min above max") << 1 << 10.f << 5.f << false;
    QTest::newRow("mode 3") << 3 << 10.f << 20.f << false;
    QTest::newRow("mode 0") << 0 << 10.f << 20.f << false;
    QTest::newRow("mode 1, 7..7") << 1 << 7.f << 7.f << true;
    QTest::newRow("mode 1, 10..20") << 1 << 10.f << 20.f << true;
}

void MainWindowTest::leftAxisRule()
{
    QFETCH(int, scale);
    QFETCH(float, min);
    QFETCH(float, max);
    QFETCH(bool, fixed);
    const auto range = history::FixedLeftAxisRange(scale, min, max);
    QCOMPARE(range.has_value(), fixed);
    if (fixed) {
        QCOMPARE(range->lower, double(min));
        QCOMPARE(range->upper, double(max));
    }

    // The chart takes the rule from config.ini, whatever range it held before.
    AppFolder folder;
    folder.write("config.ini", QStringLiteral("[Chart]\nScale=%1\nMin=%2\nMax=%3\n")
                                   .arg(scale).arg(QLocale().toString(min)).arg(QLocale().toString(max)).toUtf8());
    ScriptedDesktop desktop;
    const auto main = folder.start();
    QCOMPARE(main->Chart->leftAxisAutoScale(), !fixed);
    if (fixed && range->upper > range->lower)
        QCOMPARE(main->Chart->yAxis->range(), QCPRange(range->lower, range->upper));
    else if (fixed)
        QCOMPARE(main->Chart->yAxis->range().center(), range->lower);
}

void MainWindowTest::firstStartCreatesSettingsAndReportsFolder()
{
    AppFolder folder;
    ScriptedDesktop desktop;
    const auto main = folder.start();
    QVERIFY(desktop.messages.isEmpty());
    for (const char* name : {"settings.ini", "connection.ini", "config.ini"})
        QVERIFY2(QFileInfo(folder.file(name)).isFile(), name);
    QCOMPARE(main->viewConfig(), config::ViewConfig{});
    QCOMPARE(main->connectionSettings(), config::ConnectionSettings{});
    QVERIFY(QFileInfo(folder.file("Reports")).isDir());
    // In the system's own separators ("\" on Windows), ending in one.
    QCOMPARE(main->reportsFolder(), QDir::toNativeSeparators(folder.file("Reports/")));
    QCOMPARE(main->windowTitle(), app::MainCaption(1, 0, QString()));
    QVERIFY(!main->terminateRequested());
}

void MainWindowTest::staticLayout()
{
    AppFolder folder;
    ScriptedDesktop desktop;
    const auto main = folder.start();
    main->show();
    QVERIFY(QTest::qWaitForWindowExposed(main.get()));

    main->resize(300, 200);
    QTest::qWait(20);
    QVERIFY(main->frameGeometry().width() >= 900 && main->frameGeometry().height() >= 600);

    QCOMPARE(main->LabelStatus->text(), QStringLiteral("LabelStatus"));
    QCOMPARE(main->LabelStatus->palette().color(QPalette::Window), QColor(Qt::red));
    QCOMPARE(main->LabelStatus->height(), 30);
    QCOMPARE(main->PageControlMain->currentWidget(), main->ReportSheet);
    QCOMPARE(main->PageControlMain->tabText(0), QStringLiteral("Podgląd"));
    QCOMPARE(main->PageControlMain->tabText(1), QStringLiteral("Raporty"));
    QCOMPARE(main->PageControlData->currentWidget(), main->TabSheetChart);
    const QStringList dataTabs{main->PageControlData->tabText(0), main->PageControlData->tabText(1), main->PageControlData->tabText(2)};
    QCOMPARE(dataTabs, (QStringList{"Pomiary", "Zdarzenia", "Przebiegi"}));
    QCOMPARE(main->StatusPanel->text(), QString());
    QVERIFY(!main->TimerUpdate->isActive());

    // Before a connection the grids and the update label are hidden and the date pickers ask for a date.
    QVERIFY(!main->DataGrid->isVisible());
    QVERIFY(!main->EventGrid->isVisible());
    QVERIFY(!main->LabelUpdate->isVisible());
    QCOMPARE(main->LabelUpdate->text(), QStringLiteral("Data Ostatniej aktualizacji: -"));
    for (history::CalendarPicker* picker : {main->picker_in_d, main->picker_out_d}) {
        QVERIFY(!picker->hasDate());
        QCOMPARE(picker->text(), QStringLiteral("wybierz datę"));
    }
    QCOMPARE(main->picker_in_t->time(), QTime(21, 39, 41));
    QCOMPARE(main->DataGrid->colCount(), 2);
    QCOMPARE(main->DataGrid->rowCount(), 2);

    const QList<QPair<QToolButton*, QString>> tools{{main->GetDataButton, "Pobierz dane"},
                                                     {main->SpeedButton1, "Zapisz do CSV"},
                                                     {main->PfdButton, "Generuj raport PDF"},
                                                     {main->OpenFolderButton, "Otwórz folder raportów"}};
    for (const auto& [button, hint] : tools) {
        QCOMPARE(button->toolTip(), hint);
        QCOMPARE(button->size(), QSize(40, 40));
        QVERIFY(!button->icon().isNull());
    }
    QCOMPARE(main->GetDataButton->pos(), QPoint(648, 4));
    QCOMPARE(main->Button1->text(), QStringLiteral("Zaznacz wszytki"));
    QCOMPARE(main->Button2->text(), QStringLiteral("Odznacz wszytskie"));
    for (QLabel* source : {main->ImgSourceA0, main->ImgSourceA1, main->ImgSourceA2, main->ImgSourceAK}) {
        QCOMPARE(source->pixmap().size(), QSize(16, 16));
        QVERIFY(!source->isVisible());
    }
    QCOMPARE(main->ImageListPageControl.size(), 9);
    for (const QIcon& icon : main->ImageListPageControl)
        QVERIFY(!icon.pixmap(34, 34).isNull());
    // Every control is found by its name.
    for (const char* name : {"LabelStatus", "PageControlMain", "ActualSheet", "ScrollBox", "LabelUpdate", "ReportSheet",
                             "PanelButton", "picker_in_d", "picker_in_t", "Label1", "picker_out_d", "picker_out_t",
                             "PageControlData", "TabSheetData", "DataGrid", "TabSheetEvent", "EventGrid", "TabSheetChart",
                             "Chart", "ChartPanel", "Button1", "Button2", "ProgressBar", "StatusBar"})
        QVERIFY2(main->findChild<QWidget*>(name), name);
}

void MainWindowTest::chartFollowsConfig()
{
    for (const int allCharts : {0, 1}) {
        AppFolder folder;
        folder.write("config.ini", QStringLiteral("[Chart]\nZoom=%1\n[Reports]\nAllCharts=%2\nUser=Operator\n")
                                       .arg(allCharts).arg(allCharts).toUtf8());
        ScriptedDesktop desktop;
        const auto main = folder.start();
        main->show();
        QCOMPARE(main->ChartPanel->isVisibleTo(main.get()), allCharts == 0);
        QCOMPARE(main->ChartLegend->checkBoxes(), allCharts == 0);
        QCOMPARE(main->Chart->mouseZoom(), allCharts != 0);
        QCOMPARE(main->Chart->dateTimeFormat(), QStringLiteral("dd-MM-yyyy\nhh:mm:ss"));
        QVERIFY(main->windowTitle().endsWith(" [Operator]"));
    }
}

void MainWindowTest::reportsPath_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<bool>("complaint");
    const QString existing = QDir::tempPath() + "/zemlo-reports-test";
    QDir().mkpath(existing);
    QTest::newRow("existing") << existing << existing + "/" << false;
    QTest::newRow("trailing slash kept") << existing + "/" << existing + "//" << false;
    QTest::newRow("missing") << existing + "/missing" << QString() << true;
    QTest::newRow("empty") << QString() << QString() << false;
}

void MainWindowTest::reportsPath()
{
    QFETCH(QString, path);
    QFETCH(QString, folder);
    QFETCH(bool, complaint);
    AppFolder app;
    app.write("config.ini", ("[Reports]\nPath=" + path + "\n").toUtf8());
    ScriptedDesktop desktop;
    const auto main = app.start();
    QCOMPARE(main->reportsFolder(), QDir::toNativeSeparators(folder.isEmpty() ? app.file("Reports/") : folder));
    QCOMPARE(desktop.messages.size(), complaint ? 1 : 0);
    if (complaint) {
        QCOMPARE(desktop.messages[0].caption, QStringLiteral("Zapis danych"));
        QCOMPARE(desktop.messages[0].text, QStringLiteral("Błąd ścieżki do zapisu raportów!"));
        QVERIFY(!QFileInfo::exists(path));
    }
}

void MainWindowTest::windowGeometryFromSettings()
{
    AppFolder normal;
    normal.write("settings.ini", "[Application]\nScreenTop=40\nScreenLeft=30\nScreenWidth=1000\nScreenHeight=700\nScreenState=1\n");
    ScriptedDesktop desktop;
    const auto main = normal.start();
    QCOMPARE(main->pos(), QPoint(30, 40));
    QCOMPARE(main->size(), QSize(1000, 700));
    QVERIFY(!main->isMaximized());

    // Too small a size is raised to the minimum; state 2 opens maximised.
    AppFolder maximised;
    maximised.write("settings.ini", "[Application]\nScreenWidth=100\nScreenHeight=100\nScreenState=2\n");
    const auto big = maximised.start();
    big->show();
    QVERIFY(big->isMaximized());
    QVERIFY(big->frameGeometry().width() >= 900 && big->frameGeometry().height() >= 600);
}

void MainWindowTest::windowKeptOnTheScreen_data()
{
    QTest::addColumn<config::WindowSettings>("saved");
    QTest::addColumn<bool>("shown");
    QTest::addColumn<QRect>("fitted"); // on the test screen of 1280 x 800, for a window never shown
    QTest::newRow("larger than the screen") << config::WindowSettings{0, 0, 3000, 2000, 0} << true << QRect();
    QTest::newRow("far larger, never shown") << config::WindowSettings{0, 0, 100000, 100000, 0} << false << QRect(0, 0, 1280, 800);
    QTest::newRow("left and above every screen") << config::WindowSettings{-5000, -5000, 900, 600, 0} << true << QRect();
    QTest::newRow("right and below, never shown") << config::WindowSettings{5000, 6000, 1000, 700, 0} << false << QRect(280, 100, 1000, 700);
    QTest::newRow("partly off, never shown") << config::WindowSettings{20, 700, 1000, 700, 0} << false << QRect(280, 20, 1000, 700);
    QTest::newRow("overflowing numbers, never shown")
        << config::WindowSettings{2147483647, -2147483647 - 1, 2147483647, 2147483647, 0} << false << QRect(0, 0, 1280, 800);
}

void MainWindowTest::windowKeptOnTheScreen()
{
    QFETCH(config::WindowSettings, saved);
    QFETCH(bool, shown);
    QFETCH(QRect, fitted);
    AppFolder folder;
    config::SaveWindowSettings(folder.file("settings.ini"), saved);
    ScriptedDesktop desktop;
    const auto main = folder.start();
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    if (shown) {
        main->show();
        QVERIFY(QTest::qWaitForWindowExposed(main.get()));
        QTest::qWait(20);
        QVERIFY2(screen.contains(main->frameGeometry()), qPrintable(QDebug::toString(main->frameGeometry())));
        QVERIFY(main->frameGeometry().width() >= 900 && main->frameGeometry().height() >= 600);
        fitted = main->frameGeometry();
    }
    // What is used is what is stored at close.
    QVERIFY(main->close());
    QCOMPARE(config::LoadWindowSettings(folder.file("settings.ini")),
             (config::WindowSettings{fitted.top(), fitted.left(), fitted.width(), fitted.height(), 0}));
}

void MainWindowTest::closeAsksAndStoresGeometry_data()
{
    QTest::addColumn<bool>("answer");
    QTest::addColumn<bool>("maximised");
    QTest::newRow("no") << false << false;
    QTest::newRow("yes, normal") << true << false;
    QTest::newRow("yes, maximised") << true << true;
}

void MainWindowTest::closeAsksAndStoresGeometry()
{
    QFETCH(bool, answer);
    QFETCH(bool, maximised);
    AppFolder folder;
    ScriptedDesktop desktop;
    const auto main = folder.start();
    if (maximised)
        main->showMaximized();
    else
        main->show();
    QVERIFY(QTest::qWaitForWindowExposed(main.get()));
    if (!maximised) {
        main->setGeometry(50, 60, 950, 640);
        QTest::qWait(20);
    }
    folder.write("config.ini", "[View]\nRefresh=9\n"); // edited while running: must survive the close

    desktop.answers = {answer};
    QCOMPARE(main->close(), answer);
    QCOMPARE(desktop.questions, QStringList{"Czy na pewno zakończyć działanie programu?"});
    QCOMPARE(folder.read("config.ini"), QByteArray("[View]\nRefresh=9\n"));
    const config::WindowSettings stored = config::LoadWindowSettings(folder.file("settings.ini"));
    if (!answer) {
        QVERIFY(main->isVisible());
        QCOMPARE(stored, config::WindowSettings{});
        return;
    }
    QCOMPARE(stored.ScreenState, maximised ? 2 : 0);
    if (!maximised)
        QCOMPARE(QRect(stored.ScreenLeft, stored.ScreenTop, stored.ScreenWidth, stored.ScreenHeight), main->frameGeometry());
}

void MainWindowTest::unwritableSettingsAtCloseStillEnds()
{
    AppFolder folder;
    ScriptedDesktop desktop;
    const auto main = folder.start();
    QFile::remove(folder.file("settings.ini"));
    QDir().mkpath(folder.file("settings.ini")); // a folder in the file's place cannot be written
    desktop.answers = {true};
    QVERIFY(main->close());
    QCOMPARE(desktop.messages.size(), 1);
    QVERIFY2(desktop.messages[0].text.startsWith("Nie można odczytać pliku " + folder.file("settings.ini") + ": "),
             qPrintable(desktop.messages[0].text));
    QVERIFY(!main->database().connected());
}

void MainWindowTest::damagedSettingsFileDoesNotStopTheStart_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("content"); // empty: a folder in the file's place
    QTest::addColumn<QString>("reason");

    QStringEncoder utf16(QStringConverter::Utf16LE, QStringConverter::Flag::WriteBom);
    const QByteArray connection = utf16(QStringLiteral("[DataBase]\nName=zemlo\nUser=zemlo_viewer\n"));
    const QByteArray config = utf16(QStringLiteral("[View]\nRefresh=9\n"));
    QTest::newRow("folder for settings.ini") << "settings.ini" << QByteArray() << "w miejscu pliku jest folder";
    QTest::newRow("folder for connection.ini") << "connection.ini" << QByteArray() << "w miejscu pliku jest folder";
    QTest::newRow("folder for config.ini") << "config.ini" << QByteArray() << "w miejscu pliku jest folder";
    QTest::newRow("UTF-16 connection.ini") << "connection.ini" << connection << "UTF-16";
    QTest::newRow("UTF-16 config.ini") << "config.ini" << config << "UTF-16";
}

void MainWindowTest::damagedSettingsFileDoesNotStopTheStart()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, content);
    QFETCH(QString, reason);
    ScratchDatabase database;
    database.createContract({{.NAME = "T1"}});
    AppFolder folder;
    if (file != "connection.ini")
        folder.writeConnection(database.name());
    if (content.isEmpty())
        QVERIFY(QDir().mkpath(folder.file(file)));
    else
        folder.write(file, content);
    ScriptedDesktop desktop;
    const auto main = folder.start();

    // One box, in Polish, naming the file and why it could not be used.
    QCOMPARE(desktop.messages.size(), 1);
    const QString told = desktop.messages[0].text;
    QVERIFY2(told.startsWith("Nie można odczytać pliku " + folder.file(file) + ": ") && told.contains(reason),
             qPrintable(told));
    // The start went on with that file's defaults: the other files, the caption, a connection.
    for (const QString& other : {QStringLiteral("settings.ini"), QStringLiteral("connection.ini"), QStringLiteral("config.ini")})
        QVERIFY(other == file || QFileInfo(folder.file(other)).isFile());
    QCOMPARE(main->windowTitle(), QStringLiteral("ZEMLO Viewer wersja: 1.00.00"));
    QCOMPARE(main->viewConfig(), config::ViewConfig{});
    main->show();
    main->ToggleConnection();
    QCOMPARE(main->database().connected(), file != "connection.ini");
    // The status says which file is at fault.
    const QString tip = Rendered(main->LabelStatus->toolTip());
    QVERIFY2(tip.contains(folder.file(file)), qPrintable(tip));

    // What could not be read is left as it was, also at close.
    desktop.answers = {true};
    QVERIFY(main->close());
    QCOMPARE(desktop.messages.size(), 1);
    if (content.isEmpty())
        QVERIFY(QFileInfo(folder.file(file)).isDir());
    else
        QCOMPARE(folder.read(file), content);
}

QTEST_MAIN(MainWindowTest)
#include "test_main_window.moc"

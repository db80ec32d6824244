// Saving the two history grids as CSV files in Windows-1250, and opening the reports folder.
#include "AppFixture.h"
#include "ScriptedDesktop.h"
#include "TestServer.h"

#include "app/ZemloApplication.h"
#include "history/CsvExport.h"
#include "history/GridSources.h"
#include "history/MeasurementStore.h"
#include "history/StringGrid.h"
#include "history/HistoryView.h"
#include "platform/os/Clock.h"
#include "platform/os/Windows1250.h"

#include <QDir>
#include <QProcess>
#include <csignal>
#include <cstring>
#include <optional>
#ifdef Q_OS_LINUX
#include <sys/resource.h>
#endif
#include <QToolButton>
#include <QtTest>

class CsvExportTest : public QObject {
    Q_OBJECT
private slots:
    void cleanup();
    void cellsAndLines();
    void measurementCellsFromTheStore();
    void manyRowsAsTheGridShowsThem_data();
    void manyRowsAsTheGridShowsThem();
    void exportNamesBothFilesByTheClick_data();
    void exportNamesBothFilesByTheClick();
    void unwritableFileLosesNothing();
    void quotesAndFormulas_data();
    void quotesAndFormulas();
    void fullDiskShowsTheReason_data();
    void fullDiskShowsTheReason();
};

namespace {

QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray SavedBytes(const history::StringGrid& grid)
{
    const QTemporaryDir dir;
    const QString path = dir.filePath("grid.csv");
    history::SaveGridToCsv(path, grid);
    return ReadFile(path);
}

} // namespace

void CsvExportTest::cleanup()
{
    os::SetClock({});
}

void CsvExportTest::cellsAndLines()
{
    history::StringGrid grid;
    grid.setColCount(3);
    grid.setRowCount(4);
    grid.setFixedRows(1);
    grid.setFixedCols(1);
    const QStringList texts{"Urządzenie", "Wartość", "Opis",
                            "", "a;b;", "a;b",
                            "cudzysłów \"x\"", "Łódź ść", "日本 🙂",
                            "€ °C", ";", "x"};
    for (int i = 0; i < texts.size(); ++i)
        grid.setCell(i % 3, i / 3, texts[i]);
    const QByteArray expected = QByteArray("\"Urz\xB9" "dzenie\";\"Warto\x9C\xE6\";\"Opis\";\r\n")
                                + "\"\";\"a;b;'\";\"a;b\";\r\n"
                                + "\"cudzys\xB3\xF3w \"\"x\"\"\";\"\xA3\xF3" "d\x9F \x9C\xE6\";\"?? ?\";\r\n"
                                + "\"\x80 \xB0" "C\";\";'\";\"x\";\r\n";
    QCOMPARE(SavedBytes(grid), expected);
}

void CsvExportTest::measurementCellsFromTheStore()
{
    // The fast byte path gives the same texts as the grid shows.
    auto store = std::make_shared<history::MeasurementStore>(2);
    store->appendRow(QDateTime({2021, 3, 28}, {2, 30}, Qt::UTC));
    store->setValue(0, 21.46f);
    store->setAlarm(0, 3);
    store->setValue(1, -0.125f);
    store->appendRow(QDateTime({2021, 3, 28}, {3, 0}, Qt::UTC));
    store->setAlarm(1, 0);
    history::StringGrid grid;
    grid.setColCount(5);
    grid.setRowCount(3);
    grid.setFixedRows(1);
    grid.setFixedCols(1);
    for (int column = 0; column < 5; ++column)
        grid.setCell(column, 0, QStringList{"Data godzina", "T1", "[!]", "T2", "[!]"}[column]);
    grid.cells().setCellSource(std::make_shared<history::MeasurementCells>(store, std::vector<qint32>{1, 2}));
    const QByteArray expected = "\"Data godzina\";\"T1\";\"[!]\";\"T2\";\"[!]\";\r\n"
                                "\"28.03.2021 02:30:00\";\"21,5\";\"[!2H]\";\"-0,13\";\"- \";\r\n"
                                "\"28.03.2021 03:00:00\";\"- \";\"- \";\"- \";\"\";\r\n";
    QCOMPARE(SavedBytes(grid), expected);
    QCOMPARE(grid.cell(3, 1), QStringLiteral("-0,13"));
}

void CsvExportTest::manyRowsAsTheGridShowsThem_data()
{
    QTest::addColumn<QString>("locale");
    QTest::newRow("date-times as numbers") << "pl_PL";
    QTest::newRow("date-times with AM/PM") << "en_US";
}

void CsvExportTest::manyRowsAsTheGridShowsThem()
{
    // Rows are formatted in blocks on several threads: every line of a grid of many blocks,
    // one of them holding a cell whose text was set over the store's, is the grid's own text
    // in order, whether the rows' date-times are written from their numbers or by QLocale.
    QFETCH(QString, locale);
    const QLocale previous;
    QLocale::setDefault(QLocale(locale));
    const auto restore = qScopeGuard([&] { QLocale::setDefault(previous); });
    constexpr quint32 Channels = 3;
    constexpr int Rows = 5000;
    auto store = std::make_shared<history::MeasurementStore>(Channels);
    for (int row = 0; row < Rows; ++row) {
        store->appendRow(QDateTime(QDate(2021, 10, 31), QTime(0, 0), Qt::UTC).addSecs(row * 9));
        for (quint32 channel = 0; channel < Channels; ++channel) {
            if ((row + int(channel)) % 7 == 0)
                continue; // NULL
            store->setValue(channel, float((row - 500) * 1.37 * std::pow(10.0, 3 - 3 * double(channel))));
            store->setAlarm(channel, quint8((row + int(channel)) % 6));
        }
    }
    history::StringGrid grid;
    grid.setColCount(int(1 + 2 * Channels));
    grid.setRowCount(Rows + 1);
    grid.setFixedRows(1);
    grid.setFixedCols(1);
    grid.cells().setCellSource(std::make_shared<history::MeasurementCells>(store, std::vector<qint32>{0, 2, 9}));
    grid.setCell(3, 3500, QStringLiteral("Uwaga \"ręcznie\""));
    QByteArray expected;
    for (int row = 0; row <= Rows; ++row) {
        for (int column = 0; column < grid.colCount(); ++column)
            expected += '"' + os::Windows1250().encode(grid.cell(column, row).replace("\"", "\"\"")) + "\";";
        expected += "\r\n";
    }
    const QByteArray saved = SavedBytes(grid);
    QCOMPARE(saved.count('\n'), Rows + 1);
    QVERIFY(saved.contains("\"Uwaga \"\"r\xea" "cznie\"\"\";"));
    QCOMPARE(saved, expected);
}

void CsvExportTest::exportNamesBothFilesByTheClick_data()
{
    QTest::addColumn<bool>("openFolder");
    QTest::newRow("Yes opens the folder") << true;
    QTest::newRow("No leaves it") << false;
}

void CsvExportTest::exportNamesBothFilesByTheClick()
{
    QFETCH(bool, openFolder);
    os::SetClock([] { return QDateTime({2021, 10, 19}, QTime(18, 20, 28, 450), Qt::UTC); });
    ConnectedApp app([](ScratchDatabase& database) {
        database.createContract({{.NAME = "Kocioł"}});
        database.insertData("2021-10-19 08:00:00", {{20.25, "A"}});
        database.insertEvent("2021-10-19 08:00:00", 0, "Pompa", 1, 2);
    });
    app.main->GetDataButtonClick();
    app.desktop.answers = {openFolder};
    app.main->SpeedButton1->click();
    const QString folder = app.main->reportsFolder();
    QCOMPARE(ReadFile(folder + "data_20211019_182028.csv"),
             QByteArray("\"Data godzina\";\"Kocio\xB3\";\"[!]\";\r\n\"19.10.2021 08:00:00\";\"20,3\";\"[!1H]\";\r\n"));
    QCOMPARE(ReadFile(folder + "events_20211019_182028.csv"),
             QByteArray("\"Data godzina\";\"Typ\";\"Urz\xB9" "dzenie\";\"Warto\x9C\xE6\";\"Opis\";\r\n"
                        "\"19.10.2021 08:00:00\";\"WYDARZENIE\";\"Pompa\";\"1\";\"2\";\r\n"));
    QCOMPARE(app.main->lastOutputPath(), folder + "events_20211019_182028.csv");
    QCOMPARE(app.desktop.questions, QStringList{"Dane zostały zapisane.\nCzy chcesz otworzyć folder z danymi?"});
    QCOMPARE(app.desktop.opened, openFolder ? QStringList{folder} : QStringList{});
}

void CsvExportTest::unwritableFileLosesNothing()
{
    os::SetClock([] { return QDateTime({2021, 10, 19}, {18, 20, 28}, Qt::UTC); });
    ConnectedApp app([](ScratchDatabase& database) {
        database.createContract({{.NAME = "T1"}});
        database.insertData("2021-10-19 08:00:00", {{1.0, ""}});
    });
    const QString folder = app.main->reportsFolder();
    // A complete file from an earlier export of the same second, and an events file that
    // cannot be made (a folder holds its name).
    QFile earlier(folder + "data_20211019_182028.csv");
    QVERIFY(earlier.open(QIODevice::WriteOnly) && earlier.write("earlier") == 7);
    earlier.close();
    QVERIFY(QDir(folder).mkdir("events_20211019_182028.csv"));
    app.main->SpeedButton1->click();
    QCOMPARE(app.desktop.messages.size(), 1);
    QVERIFY2(app.desktop.messages[0].text.contains(folder + "events_20211019_182028.csv"),
             qPrintable(app.desktop.messages[0].text));
    QVERIFY(app.desktop.questions.isEmpty());
    // The data file was written whole before; no temporary file is left beside it.
    QVERIFY(ReadFile(folder + "data_20211019_182028.csv").startsWith("\"Data godzina\";\"T1\";\"[!]\";\r\n"));
    QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList{"data_20211019_182028.csv"});

    // A folder that does not exist: the data file's name is in the message, nothing is made.
    QVERIFY(QDir(folder).removeRecursively());
    app.main->SpeedButton1->click();
    QCOMPARE(app.desktop.messages.size(), 2);
    QVERIFY(app.desktop.messages[1].text.contains(folder + "data_20211019_182028.csv"));
    QVERIFY(!QDir(folder).exists());
}

void CsvExportTest::quotesAndFormulas_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("field"); // between the field's own quotation marks

    // Quotation marks doubled, as Excel writes and reads them.
    QTest::newRow("quotes") << QStringLiteral("Zawór \"B\"; test") << QByteArray("Zaw\xF3r \"\"B\"\"; test");
    QTest::newRow("quotes and a final semicolon") << QStringLiteral("\"a\";") << QByteArray("\"\"a\"\";'");
    // Texts a spreadsheet would run as formulas stay text.
    QTest::newRow("formula") << QStringLiteral("=HYPERLINK(\"http://x.example\",\"klik\")")
                             << QByteArray("'=HYPERLINK(\"\"http://x.example\"\",\"\"klik\"\")");
    QTest::newRow("plus") << QStringLiteral("+48 12 345") << QByteArray("'+48 12 345");
    QTest::newRow("at") << QStringLiteral("@SUMA(A1)") << QByteArray("'@SUMA(A1)");
    QTest::newRow("minus, not a number") << QStringLiteral("-2+3") << QByteArray("'-2+3");
    // Numbers, dates and the grids' markers are left as they are.
    QTest::newRow("negative number") << QStringLiteral("-5") << QByteArray("-5");
    QTest::newRow("negative decimal") << QStringLiteral("-3,00") << QByteArray("-3,00");
    QTest::newRow("positive with sign") << QStringLiteral("+1.5") << QByteArray("+1.5");
    QTest::newRow("NULL marker") << QStringLiteral("- ") << QByteArray("- ");
    QTest::newRow("alarm marker") << QStringLiteral("[!1H]") << QByteArray("[!1H]");
    QTest::newRow("date-time") << QStringLiteral("19.10.2021 08:00:00") << QByteArray("19.10.2021 08:00:00");
}

void CsvExportTest::quotesAndFormulas()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, field);
    // In a header cell (a channel's name) and in a data cell (an event's device) alike.
    history::StringGrid grid;
    grid.setColCount(2);
    grid.setRowCount(2);
    grid.setFixedRows(1);
    grid.setCell(0, 0, text);
    grid.setCell(1, 1, text);
    QCOMPARE(SavedBytes(grid), "\"" + field + "\";\"\";\r\n\"\";\"" + field + "\";\r\n");
}

void CsvExportTest::fullDiskShowsTheReason_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("dataFits");

    QTest::newRow("full disk") << "tmpfs" << false;
    QTest::newRow("room for the data file only") << "tmpfs" << true;
    QTest::newRow("file size limit, data file fits") << "limit" << true;
}

void CsvExportTest::fullDiskShowsTheReason()
{
#ifndef Q_OS_LINUX
    QSKIP("fills a Linux file system");
#else
    // A short data file and a long events file: 400 events.
    QFETCH(QString, how);
    QFETCH(bool, dataFits);
    os::SetClock([] { return QDateTime({2021, 10, 19}, {18, 20, 28}, Qt::UTC); });
    ConnectedApp app([](ScratchDatabase& database) {
        database.createContract({{.NAME = "T1"}});
        database.insertData("2021-10-19 08:00:00", {{1.0, ""}});
        database.exec("INSERT INTO ZEMLO_EVENTS (DT, TYPE, NAME, VAL, DESCRIPTION) SELECT TIMESTAMP'2021-10-19 08:00:00', 1, "
                      "'Zawór bezpieczeństwa kotła nr 2', seq, seq FROM seq_1_to_400");
    });
    app.main->GetDataButtonClick();
    QCOMPARE(app.main->EventGrid->rowCount(), 401);
    const QString folder = app.main->reportsFolder();
    const QString data = folder + "data_20211019_182028.csv";
    const QString events = folder + "events_20211019_182028.csv";

    std::optional<QString> mounted;
    const auto unmount = qScopeGuard([&] {
        if (mounted)
            QProcess::execute("umount", {*mounted});
    });
    rlimit before{};
    getrlimit(RLIMIT_FSIZE, &before);
    const auto restoreLimit = qScopeGuard([&] { setrlimit(RLIMIT_FSIZE, &before); });
    if (how == "tmpfs") {
        // A small file system of its own in place of the reports folder, filled up to the
        // room wanted.
        if (QProcess::execute("mount", {"-t", "tmpfs", "-o", "size=16k", "tmpfs", folder}) != 0)
            QSKIP("mounting a tmpfs needs root");
        mounted = folder;
        QFile filler(folder + "filler");
        QVERIFY(filler.open(QIODevice::WriteOnly));
        filler.write(QByteArray(dataFits ? 8192 : 16384, 'x'));
        filler.close();
    } else {
        // Writes beyond the limit fail (the signal that would end the process is ignored).
        signal(SIGXFSZ, SIG_IGN);
        rlimit limit = before;
        limit.rlim_cur = 4096;
        QVERIFY(setrlimit(RLIMIT_FSIZE, &limit) == 0);
    }

    app.main->SpeedButton1->click();
    setrlimit(RLIMIT_FSIZE, &before);

    // The error box names the file and the system's reason, and no success is claimed.
    QVERIFY(app.desktop.questions.isEmpty());
    QCOMPARE(app.desktop.messages.size(), 1);
    const QString message = app.desktop.messages[0].text;
    QVERIFY2(message.contains(dataFits ? events : data), qPrintable(message));
    // In Polish: Qt's own words for a full disk through its translations, the system's for
    // the others.
    const QString reason = how == "tmpfs" ? QStringLiteral("Brak wolnego miejsca na urządzeniu")
                                          : QString::fromLocal8Bit(strerror(EFBIG));
    QVERIFY2(message.contains(reason), qPrintable(message));
    QVERIFY2(!message.contains("Unknown error"), qPrintable(message));
    // No empty or partial file under a final name, no temporary file left.
    QStringList files = QDir(folder).entryList(QDir::Files);
    files.removeAll("filler");
    QCOMPARE(files, dataFits ? QStringList{"data_20211019_182028.csv"} : QStringList{});
    if (dataFits)
        QVERIFY(ReadFile(data).endsWith("\"19.10.2021 08:00:00\";\"1,0\";\"\";\r\n"));
#endif
}

int main(int argc, char** argv)
{
    app::ZemloApplication application(argc, argv);
    application.applyLookAndLanguage();
    CsvExportTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_csv_export.moc"

// The PDF report: pages of the selected channels with their charts, tables, header and
// footer, written from the last fetch of a real private database and read back through
// poppler as a viewer shows them.
#include "AppFixture.h"
#include "PdfReadBack.h"
#include "ScriptedDesktop.h"
#include "TestServer.h"

#include "history/HistoryChart.h"
#include "history/RangePickers.h"
#include "platform/os/Clock.h"
#include "report/ReportChart.h"
#include "report/SummaryTable.h"
#include "report/TFReport001.h"

#include <QDir>
#include <QProgressBar>
#include <QToolButton>
#include <QtTest>

using PdfReadBack::Word;

class ReportTest : public QObject {
    Q_OBJECT
private slots:
    void shortenText_data();
    void shortenText();
    void summaryTable();
    void pageSelection_data();
    void pageSelection();
    void chartTitle_data();
    void chartTitle();
    void longChartTitleStaysOnThePage();
    void leftAxis_data();
    void leftAxis();
    void thresholdLinesAndPeaks();
    void headerFooterAndFile_data();
    void headerFooterAndFile();
    void unwritableFile_data();
    void unwritableFile();
    void rangeIsTheFetchs();
    void pageContentsStayVisibleAndInPlace();
};

namespace {

// The page's layout area starts 37 points right of and below the page's corner.
constexpr double Margin = 37;
const QRectF ChartBox(Margin + 0, Margin + 42, 537, 449);
const QPointF TableCorner(Margin + 540, Margin + 42);
const QList<int> RowStarts{0, 23, 47, 70, 94, 118, 141, 165, 189, 212, 236, 259, 283, 307, 330, 354, 378, 401, 425};
const QString Question = QStringLiteral("Raport został wygenerowany.\nCzy chcesz podejrzeć raport?");

QDateTime At(int year, int month, int day, int hour, int minute, int second = 0, int millisecond = 0)
{
    return QDateTime({year, month, day}, {hour, minute, second, millisecond}, Qt::UTC);
}

// "Now" is fixed while it lives.
class FixedClock {
public:
    explicit FixedClock(const QDateTime& now) { os::SetClock([now] { return now; }); }
    ~FixedClock() { os::SetClock({}); }
    FixedClock(const FixedClock&) = delete;
    FixedClock& operator=(const FixedClock&) = delete;
};

const QDateTime ClickTime = At(2021, 10, 19, 18, 20, 28, 450);

// A connected window without the refresh timer; config adds to config.ini.
struct ReportApp : ConnectedApp {
    FixedClock clock{ClickTime};

    ReportApp(const std::function<void(ScratchDatabase&)>& prepare, const QByteArray& config = {})
        : ConnectedApp(prepare, "[View]\nRefresh=0\n" + config)
    {
    }

    void setRange(const QDateTime& start, const QDateTime& end) const
    {
        main->picker_in_d->setDate(start.date());
        main->picker_in_t->setTime(start.time());
        main->picker_out_d->setDate(end.date());
        main->picker_out_t->setTime(end.time());
    }
    void fetch(const QDateTime& start, const QDateTime& end) const
    {
        setRange(start, end);
        main->GetDataButtonClick();
    }
    // Clicks the report button as the operator does; returns the report's path.
    QString report() const
    {
        main->PfdButton->click();
        return main->lastOutputPath();
    }
    const report::ReportChart& chart() const { return *main->FReport001->ChartReport; }
};

// The words of one page.
QList<Word> OnPage(const QList<Word>& words, int page)
{
    QList<Word> found;
    for (const Word& word : words) {
        if (word.page == page)
            found.append(word);
    }
    return found;
}

// The words whose middle lies inside area, in reading order.
QList<Word> WordsIn(const QList<Word>& words, const QRectF& area)
{
    QList<Word> found;
    for (const Word& word : words) {
        if (area.contains(word.box.center()))
            found.append(word);
    }
    return found;
}

// The words inside area, in reading order, joined by single blanks.
QString TextIn(const QList<Word>& words, const QRectF& area)
{
    QStringList texts;
    for (const Word& word : WordsIn(words, area))
        texts.append(word.text);
    return texts.join(' ');
}

// The table of a page as 38 cell texts, row by row and left before right, each cell's
// words joined by single blanks.
QStringList TableCells(const QList<Word>& words)
{
    QStringList cells(38);
    for (const Word& word : words) {
        const QPointF offset = word.box.topLeft() - TableCorner;
        if (offset.x() < 0 || offset.y() < 0 || offset.y() > 449)
            continue;
        const int column = offset.x() < 115 ? 0 : 1;
        int row = 0;
        while (row + 1 < RowStarts.size() && RowStarts[row + 1] <= offset.y())
            ++row;
        QString& cell = cells[2 * row + column];
        cell += (cell.isEmpty() ? "" : " ") + word.text;
    }
    return cells;
}

bool IsWhite(QRgb pixel)
{
    return qRed(pixel) > 235 && qGreen(pixel) > 235 && qBlue(pixel) > 235;
}

bool IsReddish(QRgb pixel)
{
    return qRed(pixel) > 180 && qGreen(pixel) < 170 && qBlue(pixel) < 170;
}

// Lengths of the alternating red and other runs along a pixel row, from the first red pixel.
QList<int> RedRuns(const QImage& image, int y, int fromX, int toX)
{
    QList<int> runs;
    bool red = true;
    int length = 0;
    int x = fromX;
    while (x < toX && !IsReddish(image.pixel(x, y)))
        ++x;
    for (; x < toX; ++x) {
        if (IsReddish(image.pixel(x, y)) != red) {
            runs.append(length);
            red = !red;
            length = 0;
        }
        ++length;
    }
    return runs; // the last, unfinished run is left out
}

// The first and last red pixel of a row.
std::pair<int, int> RedExtent(const QImage& image, int y)
{
    int first = -1;
    int last = -1;
    for (int x = 0; x < image.width(); ++x) {
        if (IsReddish(image.pixel(x, y))) {
            first = first < 0 ? x : first;
            last = x;
        }
    }
    return {first, last};
}

QStringList Entries(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
}

} // namespace

void ReportTest::shortenText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("shortened");

    QTest::newRow("short") << "T1"
                           << "T1";
    QTest::newRow("18 characters, whole") << "Ciśnienie wody 123"
                                          << "Ciśnienie wody 123";
    QTest::newRow("19 characters") << "Ciśnienie wody 1234"
                                   << "Ciśnienie wody...4";
    QTest::newRow("30 characters") << "Temperatura oleju zasilającego"
                                   << "Temperatura ol...o";
    // Counted in characters: a character outside the basic plane is kept whole, not split.
    QTest::newRow("character outside the basic plane") << "Poziom wody 1😀234567"
                                                      << "Poziom wody 1😀...7";
}

void ReportTest::shortenText()
{
    QFETCH(QString, text);
    QFETCH(QString, shortened);
    QCOMPARE(report::ShortenText(text, 18), shortened);
    QVERIFY(shortened.toStdU32String().size() <= 18);
}

void ReportTest::summaryTable()
{
    // Channel 0: every text "NULL", thresholds unset but for A1_HIS, values 1, 2 and 4 with
    // DOT 3. Channel 1: a long name, a unit beyond Windows-1250, a group with a character the
    // report font lacks, only NULL values.
    ReportApp app([](ScratchDatabase& database) {
        database.createContract(
            {{.NAME = "NULL", .UNIT = "NULL", .A1_L = db::ThresholdUnset, .A1_H = db::ThresholdUnset, .A1_HIS = 0.5f,
              .A2_L = db::ThresholdUnset, .A2_H = db::ThresholdUnset, .A2_HIS = db::ThresholdUnset, .DOT = 3},
             {.NAME = "Temperatura oleju zasilającego", .UNIT = "m³/h", .POSITION_1 = "Kotłownia 中", .POSITION_2 = "Hala B",
              .A1_L = 10, .A1_H = 80, .A1_HIS = 0.5f, .A2_L = 5, .A2_H = 90, .A2_HIS = 1, .DOT = 2}});
        database.insertData("2021-10-19 08:00:00", {{1.0, "A"}, {}});
        database.insertData("2021-10-19 08:01:00", {{2.0, "A"}, {}});
        database.insertData("2021-10-19 08:02:00", {{4.0, "A"}, {}});
    });
    app.fetch(At(2021, 10, 19, 0, 0), At(2021, 10, 20, 6, 30));
    const QString pdf = app.report();

    const QStringList labels{"OPIS", "Nazwa", "Grupa", "Podgrupa", "Jednostka", "USTAWIENIA",
                             "A1 :: próg górny", "A1 :: hist. +/-", "A1 :: próg dolny", "A2 :: próg górny",
                             "A2 :: hist. +/-", "A2 :: próg dolny", "STATYSTYKA", "Liczba próbek", "Start", "Stop",
                             "Max", "Avg", "Min"};
    const auto table = [&](const QStringList& values) {
        QStringList cells;
        for (int row = 0; row < 19; ++row)
            cells << labels[row] << values[row];
        return cells;
    };
    const QList<Word> words = PdfReadBack::words(pdf);
    QCOMPARE(TableCells(OnPage(words, 1)),
             table({"", "-", "-", "-", "-", "", "-", "0,500", "-", "-", "-", "-", "", "3", "19.10.2021",
                    "20.10.2021 06:30:00", "4,000", "2,333", "1,000"}));
    QCOMPARE(TableCells(OnPage(words, 2)),
             table({"", "Temperatura ol...o", "Kotłownia □", "Hala B", "m³/h", "", "80,00", "0,50", "10,00", "90,00",
                    "1,00", "5,00", "", "0", "19.10.2021", "20.10.2021 06:30:00", "-", "-", "-"}));

    const QList<Word> firstPage = OnPage(words, 1);
    // Cells start 3 points into their column: 0 and 115 points from the table's corner.
    QList<Word> samples;
    for (const Word& word : firstPage) {
        if (QRectF(TableCorner + QPointF(0, RowStarts[13]), QSizeF(240, 24)).contains(word.box.center()))
            samples.append(word);
    }
    QCOMPARE(samples.size(), 3);
    QCOMPARE_LT(qAbs(samples[0].box.left() - (TableCorner.x() + 3)), 0.5);
    QCOMPARE_LT(qAbs(samples[2].box.left() - (TableCorner.x() + 115 + 3)), 0.5);
    // Two blanks between "hist." and "+/-": 2 x 3.34 points of Liberation Sans (Arial's widths) at 12 points.
    const QList<Word> hist = PdfReadBack::find(firstPage, "hist.");
    const QList<Word> plusMinus = PdfReadBack::find(firstPage, "+/-");
    QCOMPARE(hist.size(), 2);
    QCOMPARE(plusMinus.size(), 2);
    QCOMPARE_LT(qAbs(plusMinus[0].box.left() - hist[0].box.right() - 6.67), 0.5);
    // Header rows are bold: STATYSTYKA is 80.0 points wide in the bold face, 78.3 in the regular one.
    const Word statistics = PdfReadBack::find(firstPage, "STATYSTYKA").value(0);
    QCOMPARE_LT(qAbs(statistics.box.width() - 80.0), 0.5);
    QCOMPARE_LT(qAbs(PdfReadBack::find(firstPage, "Podgrupa").value(0).box.width() - 52.0), 0.5);

    // Header rows: white text on black boxes, both cells; other rows: black on white.
    const QImage image = PdfReadBack::render(pdf, 1);
    const auto pixel = [&](double x, double y) { return image.pixel(int(TableCorner.x() + x), int(TableCorner.y() + y)); };
    for (const int header : {0, 5, 12}) {
        QCOMPARE(QColor(pixel(100, RowStarts[header] + 20)), QColor(Qt::black));
        QCOMPARE(QColor(pixel(200, RowStarts[header] + 12)), QColor(Qt::black));
    }
    QCOMPARE(QColor(pixel(100, RowStarts[1] + 20)), QColor(Qt::white));
    QCOMPARE(QColor(pixel(200, RowStarts[13] + 20)), QColor(Qt::white));
    bool whiteLetter = false;
    const QRectF opis = PdfReadBack::find(firstPage, "OPIS").value(0).box;
    for (int x = int(opis.left()); x < int(opis.right()); ++x)
        whiteLetter = whiteLetter || IsWhite(image.pixel(x, int(opis.center().y())));
    QVERIFY(whiteLetter);
    // The right column's boxes end 6 points beyond the table: 115 + 122 = 237.
    QCOMPARE(QColor(pixel(236, RowStarts[0] + 12)), QColor(Qt::black));
    QCOMPARE(QColor(pixel(239, RowStarts[0] + 12)), QColor(Qt::white));

    // The chart shows what the table hides: "NULL" in the title and the axis title.
    QCOMPARE(TextIn(firstPage, ChartBox.adjusted(0, 0, 0, -420)), QString("NULL"));
}

void ReportTest::pageSelection_data()
{
    QTest::addColumn<int>("allCharts");
    QTest::addColumn<QList<int>>("unticked");
    QTest::addColumn<bool>("answer");
    QTest::addColumn<QStringList>("pages"); // the channel on each page

    QTest::newRow("middle channel unticked") << 0 << QList<int>{1} << true << QStringList{"Kocioł", "Zawór"};
    QTest::newRow("none ticked") << 0 << QList<int>{0, 1, 2} << false << QStringList{};
    QTest::newRow("AllCharts") << 1 << QList<int>{1} << true << QStringList{"Kocioł", "Pompa", "Zawór"};
}

void ReportTest::pageSelection()
{
    QFETCH(int, allCharts);
    QFETCH(QList<int>, unticked);
    QFETCH(bool, answer);
    QFETCH(QStringList, pages);
    ReportApp app(
        [](ScratchDatabase& database) {
            database.createContract({{.NAME = "Kocioł"}, {.NAME = "Pompa"}, {.NAME = "Zawór"}});
            database.insertData("2021-10-19 08:00:00", {{1.0, "A"}, {2.0, "A"}, {3.0, "A"}});
            database.insertData("2021-10-19 08:01:00", {{2.0, "A"}, {3.0, "A"}, {4.0, "A"}});
        },
        QStringLiteral("[Reports]\nAllCharts=%1\n").arg(allCharts).toUtf8());
    app.main->GetDataButtonClick();
    for (const int channel : unticked)
        app.main->Chart->setSeriesActive(channel, false);
    QList<int> progress;
    connect(app.main->ProgressBar, &QProgressBar::valueChanged, this, [&](int value) { progress.append(value); });
    app.desktop.answers = {answer};

    const QString pdf = app.report();

    if (pages.isEmpty()) {
        // A document without pages opens in no viewer: nothing is written, and the box says why.
        QCOMPARE(Entries(app.main->reportsFolder()), QStringList());
        QVERIFY(pdf.isEmpty());
        QVERIFY(app.desktop.questions.isEmpty());
        QCOMPARE(app.desktop.messages.size(), 1);
        QVERIFY2(app.desktop.messages[0].text.contains(QStringLiteral("Nie zaznaczono żadnego kanału")),
                 qPrintable(app.desktop.messages[0].text));
        QVERIFY(progress.isEmpty());
        return;
    }
    QFile file(pdf);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QVERIFY(bytes.startsWith("%PDF-1.") && bytes.trimmed().endsWith("%%EOF"));
    QCOMPARE(PdfReadBack::info(pdf).value("Pages"), QString::number(pages.size()));
    const QList<Word> words = PdfReadBack::words(pdf);
    for (int page = 1; page <= pages.size(); ++page) {
        const QList<Word> onPage = OnPage(words, page);
        QCOMPARE(TextIn(onPage, ChartBox.adjusted(0, 0, 0, -420)), pages[page - 1]);
        QCOMPARE(TextIn(onPage, QRectF(Margin + 600, Margin + 500, 300, 30)),
                 QStringLiteral("Strona %1/%2").arg(page).arg(pages.size()));
    }
    QCOMPARE(app.desktop.questions, QStringList{Question});
    QCOMPARE(app.desktop.opened, answer ? QStringList{pdf} : QStringList{});
    QVERIFY(app.desktop.messages.isEmpty());
    // One step a page, then back to the start.
    QList<int> steps;
    for (int page = 1; page <= pages.size(); ++page)
        steps.append(page);
    QCOMPARE(progress, steps + QList<int>{0});
    QCOMPARE(app.main->ProgressBar->maximum(), int(pages.size()));
}

void ReportTest::chartTitle_data()
{
    QTest::addColumn<QString>("group");
    QTest::addColumn<QString>("subgroup");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("unit");
    QTest::addColumn<QString>("title");

    QTest::newRow("name only") << "NULL" << "NULL" << "T1" << "°C" << "T1";
    QTest::newRow("subgroup") << "NULL" << "Hala B" << "T1" << "bar" << "Hala B :: T1";
    QTest::newRow("group and subgroup") << "Linia 2" << "Hala B" << "T1" << "m3/h" << "Linia 2 :: Hala B :: T1";
    QTest::newRow("group only") << "Linia 2" << "NULL" << "T1" << "%" << "Linia 2 :: T1";
    QTest::newRow("NULL name and unit shown as they are") << "NULL" << "NULL" << "NULL" << "NULL" << "NULL";
}

void ReportTest::chartTitle()
{
    QFETCH(QString, group);
    QFETCH(QString, subgroup);
    QFETCH(QString, name);
    QFETCH(QString, unit);
    QFETCH(QString, title);
    ReportApp app([&](ScratchDatabase& database) {
        database.createContract({{.NAME = name, .UNIT = unit, .POSITION_1 = group, .POSITION_2 = subgroup}});
        database.insertData("2021-10-19 08:00:00", {{1.0, "A"}});
    });
    app.main->GetDataButtonClick();
    const QList<Word> words = PdfReadBack::words(app.report());
    // One line across the top of the chart, centred over the plot.
    const QRectF top = ChartBox.adjusted(0, 0, 0, -420);
    QCOMPARE(TextIn(words, top), title);
    QCOMPARE(app.chart().title(), title);
    QCOMPARE(app.chart().yAxis->label(), "[" + unit + "]");
    QVERIFY(app.chart().xAxis->label().isEmpty());
}

void ReportTest::longChartTitleStaysOnThePage()
{
    const QString group = QStringLiteral("Kocioł ") + QString(10000, QLatin1Char('X'));
    ReportApp app([&](ScratchDatabase& database) {
        database.createContract({{.NAME = "T1"}});
        database.exec("ALTER TABLE ZEMLO_SETTINGS MODIFY POSITION_1 TEXT");
        database.exec("UPDATE ZEMLO_SETTINGS SET POSITION_1 = " + database.quoteText(group));
        database.insertData("2021-10-19 08:00:00", {{1.0, "A"}});
    });
    app.main->GetDataButtonClick();
    const QList<Word> words = PdfReadBack::words(app.report());
    // One line inside the chart's picture, cut with "…", where it ran off the page.
    QList<Word> title;
    for (const Word& word : WordsIn(words, QRectF(0, ChartBox.top(), 842, 29))) {
        if (word.text == QStringLiteral("Kocioł") || word.text.startsWith(QStringLiteral("XXX")))
            title.append(word);
    }
    QCOMPARE(title.size(), 2);
    const QRectF extent = PdfReadBack::extent(title);
    QCOMPARE_GE(extent.left(), ChartBox.left());
    QCOMPARE_LE(extent.right(), ChartBox.right());
    QCOMPARE(title.constFirst().text, QStringLiteral("Kocioł"));
    QVERIFY2(title.constLast().text.endsWith(QStringLiteral("…")), qPrintable(title.constLast().text));
}

void ReportTest::leftAxis_data()
{
    QTest::addColumn<QByteArray>("chartSettings");
    QTest::addColumn<float>("limitLo");
    QTest::addColumn<float>("limitHi");
    QTest::addColumn<double>("lower");
    QTest::addColumn<double>("upper");

    // Automatic: the values 1, 2 and 4 and the one threshold set, 6.
    QTest::newRow("Scale 0") << QByteArray("Scale=0\nMin=10\nMax=100\n") << 20.f << 30.f << 1.0 << 6.0;
    QTest::newRow("Scale 1") << QByteArray("Scale=1\nMin=10\nMax=100\n") << 20.f << 30.f << 10.0 << 100.0;
    QTest::newRow("Scale 1, reversed") << QByteArray("Scale=1\nMin=100\nMax=10\n") << 20.f << 30.f << 1.0 << 6.0;
    QTest::newRow("Scale 1, decimal comma") << QByteArray("Scale=1\nMin=-2,5\nMax=7,5\n") << 0.f << 0.f << -2.5 << 7.5;
    QTest::newRow("Scale 2, own limits") << QByteArray("Scale=2\nMin=-5\nMax=50\n") << 20.f << 30.f << 20.0 << 30.0;
    QTest::newRow("Scale 2, limits both 0") << QByteArray("Scale=2\nMin=-5\nMax=50\n") << 0.f << 0.f << -5.0 << 50.0;
    QTest::newRow("Scale 2, limits reversed") << QByteArray("Scale=2\nMin=-5\nMax=50\n") << 10.f << 5.f << -5.0 << 50.0;
    QTest::newRow("Scale 2, nothing fixed") << QByteArray("Scale=2\nMin=0\nMax=0\n") << 0.f << 0.f << 1.0 << 6.0;
}

void ReportTest::leftAxis()
{
    QFETCH(QByteArray, chartSettings);
    QFETCH(float, limitLo);
    QFETCH(float, limitHi);
    QFETCH(double, lower);
    QFETCH(double, upper);
    ReportApp app(
        [&](ScratchDatabase& database) {
            database.createContract({{.NAME = "T1", .A1_L = db::ThresholdUnset, .A1_H = 6, .A2_L = db::ThresholdUnset,
                                      .A2_H = db::ThresholdUnset, .LIMIT_LO = limitLo, .LIMIT_HI = limitHi}});
            database.insertData("2021-10-19 08:00:00", {{1.0, "A"}});
            database.insertData("2021-10-19 08:01:00", {{2.0, "A"}});
            database.insertData("2021-10-19 08:02:00", {{4.0, "A"}});
        },
        "[Chart]\n" + chartSettings);
    app.main->GetDataButtonClick();
    app.report();
    QCOMPARE(app.chart().yAxis->range().lower, lower);
    QCOMPARE(app.chart().yAxis->range().upper, upper);
}

void ReportTest::thresholdLinesAndPeaks()
{
    // 3000 values a minute apart, about six to a pixel column, calm around 20 with one
    // spike of 95; the axis fixed to 0..100. A1_L is not set.
    constexpr int SpikeRow = 1234;
    ReportApp app(
        [](ScratchDatabase& database) {
            database.createContract({{.NAME = "Kocioł", .A1_L = db::ThresholdUnset, .A1_H = 40, .A2_L = 60,
                                      .A2_H = 80, .CH_C = 0x0000FF}});
            database.exec(QStringLiteral("INSERT INTO ZEMLO_DATA (DT, `Kocioł`) "
                                         "SELECT TIMESTAMP'2021-10-19 00:00:00' + INTERVAL seq MINUTE, "
                                         "IF(seq = %1, 95, 20 + 3 * SIN(seq / 40)) FROM seq_0_to_2999")
                              .arg(SpikeRow));
        },
        "[Chart]\nScale=1\nMin=0\nMax=100\n");
    // The lines span the fetch's range, like the curve; pickers moved since do not matter.
    const QDateTime rangeStart = At(2021, 10, 19, 0, 0);
    const QDateTime rangeEnd = At(2021, 10, 21, 12, 0);
    app.fetch(rangeStart, rangeEnd);
    app.setRange(At(2021, 10, 19, 6, 0), At(2021, 10, 20, 12, 0));
    const QString pdf = app.report();

    const report::ReportChart& chart = app.chart();
    QCOMPARE(chart.thresholdLine(0).dataCount(), 0);
    const QImage image = PdfReadBack::render(pdf, 1);
    const auto pixelX = [&](const QDateTime& time) {
        return ChartBox.left() + chart.xAxis->coordToPixel(QCPAxisTickerDateTime::dateTimeToKey(time));
    };
    const auto pixelY = [&](double value) { return ChartBox.top() + chart.yAxis->coordToPixel(value); };
    const double lineStart = pixelX(rangeStart);
    const double lineEnd = pixelX(rangeEnd);

    struct Line {
        double value;
        int shortestInk, longestInk; // dotted: 2 points on, 4 off; dashed: 8 on, 4 off
    };
    for (const Line& line : {Line{40, 1, 3}, Line{60, 7, 9}, Line{80, 7, 9}}) {
        const int y = int(pixelY(line.value));
        const auto [first, last] = RedExtent(image, y);
        // At the plot's left edge the axis line may cover the first dot.
        QCOMPARE_GT(first, lineStart - 1.5);
        QCOMPARE_LT(first, lineStart + 7.5);
        // The pattern may end in a gap, 4 points at most.
        QCOMPARE_GT(last, lineEnd - 5.5);
        QCOMPARE_LT(last, lineEnd + 1.5);
        // The pen is 2 points wide: the rows above and below the centre are inked too, not
        // the ones beyond.
        QVERIFY(IsReddish(image.pixel(first + 1, y - 1)) || IsReddish(image.pixel(first + 1, y + 1)));
        QVERIFY(!IsReddish(image.pixel(first + 1, y - 3)) && !IsReddish(image.pixel(first + 1, y + 3)));
        const QList<int> runs = RedRuns(image, y, first, first + 120);
        QVERIFY(runs.size() >= 10);
        // The first dash may lie partly under the axis line.
        for (int i = 2; i < runs.size(); i += 2) {
            QVERIFY2(runs[i] >= line.shortestInk && runs[i] <= line.longestInk,
                     qPrintable(QString("value %1: ink runs %2").arg(line.value).arg(runs[i])));
        }
    }

    // The spike's column reaches up to 95; its neighbours stay near 20.
    const int spikeX = int(pixelX(At(2021, 10, 19, 0, 0).addSecs(60 * SpikeRow)));
    const auto redNear = [&](int x, double value) {
        for (int dx = -1; dx <= 1; ++dx)
            if (IsReddish(image.pixel(x + dx, int(pixelY(value)))))
                return true;
        return false;
    };
    QVERIFY(redNear(spikeX, 93));
    QVERIFY(!redNear(spikeX - 20, 50));
    QVERIFY(!redNear(spikeX + 20, 50));
}

void ReportTest::headerFooterAndFile_data()
{
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("shownUser");

    QTest::newRow("no user") << "" << "-";
    QTest::newRow("user wider than the box") << "Łukasz Wiśniewski-Kowalczyk (zmiana C)"
                                             << "Łukasz Wiśniewski-Kowalczyk (zmiana C)";
}

void ReportTest::headerFooterAndFile()
{
    QFETCH(QString, user);
    QFETCH(QString, shownUser);
    ReportApp app(
        [](ScratchDatabase& database) {
            database.createContract({{.NAME = "Kocioł"}, {.NAME = "Pompa"}});
            database.insertData("2021-10-19 08:00:00", {{1.0, "A"}, {2.0, "A"}});
        },
        ("[Reports]\nUser=" + user + "\nAllCharts=1\n").toUtf8());
    app.fetch(At(2021, 10, 19, 0, 0), At(2021, 10, 20, 6, 30));
    const QString pdf = app.report();

    // Named by the time of the click, which the document and the header carry too.
    QCOMPARE(pdf, app.main->reportsFolder() + "report_20211019_182028.pdf");
    QCOMPARE(app.main->lastOutputDateTime(), ClickTime);
    const QMap<QString, QString> info = PdfReadBack::info(pdf);
    QCOMPARE(info.value("Pages"), QString("2"));
    QVERIFY2(info.value("Page size").startsWith("842 x 596 pts"), qPrintable(info.value("Page size")));
    QFile file(pdf);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.readAll().contains("/CreationDate (D:20211019182028)"));
    // The document says what it is, who made it and with what.
    QCOMPARE(info.value("Title"), QStringLiteral("Raport 19.10.2021 - 20.10.2021 06:30:00"));
    QCOMPARE(info.value("Author"), user);
    QCOMPARE(info.value("Creator"), QStringLiteral("ZEMLO Viewer 1.00.00"));

    const QList<Word> words = PdfReadBack::words(pdf);
    for (int page = 1; page <= 2; ++page) {
        const QList<Word> onPage = OnPage(words, page);
        // A line of text found in a band 17 points high, from its box's side.
        const auto checkLine = [&](double bandLeft, double y, double bandWidth, const QString& expected,
                                   Qt::Alignment alignment, double boxLeft, double boxWidth) {
            const QRectF band(Margin + bandLeft, Margin + y, bandWidth, 17);
            QCOMPARE(TextIn(onPage, band), expected);
            const QRectF extent = PdfReadBack::extent(WordsIn(onPage, band));
            if (alignment == Qt::AlignLeft)
                QCOMPARE_LT(qAbs(extent.left() - (Margin + boxLeft)), 0.5);
            else if (alignment == Qt::AlignRight)
                QCOMPARE_LT(qAbs(extent.right() - (Margin + boxLeft + boxWidth)), 0.5);
            else
                QCOMPARE_LT(qAbs(extent.center().x() - (Margin + boxLeft + boxWidth / 2)), 0.5);
        };
        checkLine(200, -1, 360, "RAPORT", Qt::AlignHCenter, 264, 233);
        checkLine(450, 0, 330, "19.10.2021 18:20:28", Qt::AlignRight, 672, 100);
        checkLine(450, 19, 330, shownUser, Qt::AlignRight, 672, 100);
        // The range runs on to the right of its 93-point box.
        checkLine(0, 504, 180, "19.10.2021 - 20.10.2021 06:30:00", Qt::AlignLeft, 0, 93);
        QCOMPARE_GT(PdfReadBack::extent(WordsIn(onPage, QRectF(Margin, Margin + 504, 180, 17))).right(), Margin + 93);
        checkLine(184, 505, 393, "www.zemlo-viewer.example", Qt::AlignHCenter, 184, 393);
        checkLine(600, 504, 180, QStringLiteral("Strona %1/2").arg(page), Qt::AlignRight, 672, 100);
    }
    // A long user's name reaches left of its box, towards the centre.
    if (shownUser.size() > 20)
        QCOMPARE_LT(PdfReadBack::extent(PdfReadBack::find(OnPage(words, 1), "Łukasz")).left(), Margin + 672);

    // The logo is the only picture, stored once: the charts are vectors.
    const QList<PdfReadBack::ImageEntry> images = PdfReadBack::images(pdf);
    QCOMPARE(images.size(), 2);
    QCOMPARE(images[0].object, images[1].object);
    QCOMPARE(QSize(images[0].width, images[0].height), QSize(281, 65));

    const QImage page = PdfReadBack::render(pdf, 1);
    int logoInk = 0;
    for (int x = int(Margin); x < int(Margin + 103); ++x)
        logoInk += IsWhite(page.pixel(x, int(Margin + 3 + 13))) ? 0 : 1;
    QCOMPARE_GT(logoInk, 20);
    // The rules under the header and over the footer, across the layout area.
    for (const double y : {35.5, 497.5}) {
        QVERIFY(!IsWhite(page.pixel(int(Margin + 400), int(Margin + y))));
        QVERIFY(!IsWhite(page.pixel(int(Margin + 775), int(Margin + y))));
        QVERIFY(IsWhite(page.pixel(int(Margin + 400), int(Margin + y) - 2)));
    }

    // A second click within the same second writes the same file again.
    const QStringList entries = Entries(app.main->reportsFolder());
    QCOMPARE(entries, QStringList{"report_20211019_182028.pdf"});
    QCOMPARE(app.report(), pdf);
    QCOMPARE(Entries(app.main->reportsFolder()), entries);
    QCOMPARE(PdfReadBack::info(pdf).value("Pages"), QString("2"));
}

void ReportTest::unwritableFile_data()
{
    QTest::addColumn<bool>("folderMissing");

    QTest::newRow("reports folder missing") << true;
    QTest::newRow("a folder holds the report's name") << false;
}

void ReportTest::unwritableFile()
{
    QFETCH(bool, folderMissing);
    ReportApp app([](ScratchDatabase& database) {
        database.createContract({{.NAME = "Kocioł"}});
        database.insertData("2021-10-19 08:00:00", {{1.0, "A"}});
    });
    app.main->GetDataButtonClick();
    const QString folder = app.main->reportsFolder();
    const QString path = folder + "report_20211019_182028.pdf";
    QVERIFY(folderMissing ? QDir(folder).removeRecursively() : QDir().mkpath(path));
    const QStringList before = Entries(app.folder.path());
    const QStringList inReports = Entries(folder);

    QCOMPARE(app.report(), path);

    QCOMPARE(app.desktop.messages.size(), 1);
    QCOMPARE(app.desktop.messages[0].icon, os::Desktop::Icon::Error);
    QVERIFY2(app.desktop.messages[0].text.startsWith("Nie można zapisać pliku PDF " + path + ": "),
             qPrintable(app.desktop.messages[0].text));
    QVERIFY(app.desktop.questions.isEmpty());
    QCOMPARE(Entries(app.folder.path()), before);
    QCOMPARE(Entries(folder), inReports);
    QCOMPARE(app.main->ProgressBar->value(), 0);

    // Once the folder can take the file, the next report is written whole.
    QVERIFY(folderMissing ? QDir().mkpath(folder) : QDir(path).removeRecursively());
    QCOMPARE(app.report(), path);
    QCOMPARE(PdfReadBack::info(path).value("Pages"), QString("1"));
    QCOMPARE(app.desktop.questions, QStringList{Question});
    QCOMPARE(app.desktop.messages.size(), 1);
}

void ReportTest::rangeIsTheFetchs()
{
    ReportApp app([](ScratchDatabase& database) {
        database.createContract({{.NAME = "Kocioł"}});
        database.insertData("2021-10-19 08:00:00", {{1.0, "A"}});
    });
    // Before any fetch there is nothing to report: no file, and a box that says so.
    app.report();
    QCOMPARE(Entries(app.main->reportsFolder()), QStringList());
    QCOMPARE(app.desktop.messages.size(), 1);
    QVERIFY2(app.desktop.messages[0].text.contains(QStringLiteral("najpierw pobierz dane")),
             qPrintable(app.desktop.messages[0].text));
    QVERIFY(app.desktop.questions.isEmpty());

    // The labels, "Start" and "Stop" tell the range the curves and statistics come from,
    // not what the pickers were moved to afterwards.
    app.fetch(At(2021, 10, 19, 0, 0), At(2021, 10, 20, 6, 30));
    app.setRange(At(2021, 11, 1, 0, 0), At(2021, 11, 2, 0, 0));
    const QList<Word> words = PdfReadBack::words(app.report());
    QCOMPARE(TextIn(words, QRectF(Margin, Margin + 504, 180, 17)), QString("19.10.2021 - 20.10.2021 06:30:00"));
    const QStringList cells = TableCells(words);
    QCOMPARE(cells[2 * 14 + 1], QString("19.10.2021"));
    QCOMPARE(cells[2 * 15 + 1], QString("20.10.2021 06:30:00"));
}

void ReportTest::pageContentsStayVisibleAndInPlace()
{
    // A month of summer time holding one row: on page 1 a value too wide for its cell like the
    // subgroup, on page 2 a single red point; no threshold set.
    ReportApp app(
        [](ScratchDatabase& database) {
            database.createContract({{.NAME = "Kocioł", .UNIT = "m³/h norm.", .POSITION_2 = "Kotłownia główna, hala B",
                                      .DOT = 2},
                                     {.NAME = "Pompa", .A1_L = db::ThresholdUnset, .A1_H = db::ThresholdUnset,
                                      .A2_L = db::ThresholdUnset, .A2_H = db::ThresholdUnset, .CH_C = 0x0000FF}});
            database.insertData("2021-04-15 12:00:00", {{9.99999968e37, "A"}, {5.0, "A"}});
        },
        "[Reports]\nAllCharts=1\n");
    app.fetch(At(2021, 4, 1, 0, 0), At(2021, 5, 1, 0, 0));
    const QString pdf = app.report();
    const QList<Word> words = OnPage(PdfReadBack::words(pdf), 1);

    // Every text of the table ends inside its cell's box (the right column's boxes end
    // 122 points into it, 237 from the table's corner).
    for (const Word& word : words) {
        const QPointF offset = word.box.topLeft() - TableCorner;
        if (offset.x() < 0 || offset.y() < 0 || offset.y() > 449)
            continue;
        const double cellEnd = offset.x() < 115 ? 115 : 237;
        QVERIFY2(word.box.right() - TableCorner.x() <= cellEnd, qPrintable(word.text));
    }
    const QStringList cells = TableCells(words);
    QVERIFY2(cells[2 * 16 + 1].startsWith("9,99"), qPrintable(cells[2 * 16 + 1]));
    QVERIFY2(cells[2 * 3 + 1].startsWith(QStringLiteral("Kotłownia")), qPrintable(cells[2 * 3 + 1]));

    // The single point is a visible mark.
    const QImage image = PdfReadBack::render(pdf, 2);
    int red = 0;
    for (int y = int(ChartBox.top()); y < int(ChartBox.bottom()); ++y)
        for (int x = int(ChartBox.left()); x < int(ChartBox.right()); ++x)
            red += IsReddish(image.pixel(x, y)) ? 1 : 0;
    QCOMPARE_GE(red, 4);

    // Day ticks at midnight of the wall clock, in Europe/Warsaw too.
    const QVector<double> ticks = app.chart().xAxis->tickVector();
    QVERIFY(ticks.size() >= 3);
    for (const QString& label : app.chart().xAxis->tickVectorLabels())
        QVERIFY2(label.endsWith("00:00:00"), qPrintable(label));
}

QTEST_MAIN(ReportTest)
#include "test_report.moc"

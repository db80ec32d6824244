// The history chart drawn from the store: no peak lost however many points share a pixel
// column, and a legend whose entries are as wide as their names.
#include "history/ChartLegend.h"
#include "history/ColumnCanvas.h"
#include "history/ChannelSeries.h"
#include "history/HistoryChart.h"
#include "history/MeasurementStore.h"
#include "history/PixelColumns.h"
#include "history/ValueEnvelope.h"

#include <QApplication>
#include <QtTest>
#include <random>

class HistoryChartTest : public QObject {
    Q_OBJECT
private slots:
    void strokesKeepTheExtremesOfEveryColumn();
    void envelopeGivesTheExtremesOfAnyRun();
    void envelopeColumnsKeepTheExtremesOfEveryColumn();
    void envelopeColumnsOfManyRowsMoveEdgesByHalfABlockAtMost();
    void columnPenDrawsAsAnAliasedLine();
    void deferredDrawingsKeepTheirOrder();
    void spikeAmongManyPointsIsDrawn_data();
    void spikeAmongManyPointsIsDrawn();
    void legendEntriesFitTheirNames();
    void lonePointsShowAsMarks_data();
    void lonePointsShowAsMarks();
    void dayTicksSitAtMidnight_data();
    void dayTicksSitAtMidnight();
};

namespace {

QDateTime At(int year, int month, int day, int hour = 0, int minute = 0)
{
    return QDateTime({year, month, day}, {hour, minute}, Qt::UTC);
}

// Pixels of image in a clearly red colour.
int RedPixels(const QImage& image)
{
    int red = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor colour = image.pixelColor(x, y);
            red += colour.red() > 180 && colour.green() < 120 && colour.blue() < 120 ? 1 : 0;
        }
    return red;
}

// The canvas drawn into a transparent image of size.
QImage Drawn(history::ColumnCanvas& canvas, QSize size)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    canvas.drawInto(painter);
    return image;
}

// The pixels of rect: '.' transparent, 'r', 'g', 'b' pure red, green, blue.
QStringList Picture(const QImage& image, const QRect& rect)
{
    QStringList picture;
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
        QString line;
        for (int x = rect.left(); x <= rect.right(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            line += qAlpha(pixel) == 0             ? '.'
                    : pixel == qRgb(255, 0, 0) ? 'r'
                    : pixel == qRgb(0, 255, 0) ? 'g'
                    : pixel == qRgb(0, 0, 255) ? 'b'
                                               : '?';
        }
        picture << line;
    }
    return picture;
}

} // namespace

void HistoryChartTest::strokesKeepTheExtremesOfEveryColumn()
{
    // One pixel a second; rows 0.2 s apart share a column.
    const std::vector<qint64> times{0, 200, 400, 600, 10000, 20000, 20400, 20800, 30000, 40000};
    const float null = std::numeric_limits<float>::quiet_NaN();
    // Column 0: a dip after a peak; column 10: one value; column 20: rising, a NULL inside;
    // column 30: NULL only; column 40: one value.
    const std::vector<float> values{5, 1, 9, 4, 3, 1, null, 3, null, 7};
    history::PixelColumns columns;
    columns.group(times, 0, qsizetype(times.size()), 0, 0, 0.001);
    std::vector<QLineF> strokes;
    history::ColumnStrokes(columns, values, strokes);
    const std::vector<QLineF> expected{{0.2, 1, 0.4, 9},   // column 0, lowest to highest
                                       {0.6, 4, 10, 3},    // its last to column 10
                                       {10, 3, 20, 1},     // column 10 to column 20's first
                                       {20, 1, 20.8, 3},   // column 20, lowest to highest
                                       {20.8, 3, 40, 7}};  // over the empty column 30
    QCOMPARE(strokes, expected);

    strokes.clear();
    history::ColumnStrokes(columns, std::vector<float>{null, null, null, null, null, null, null, null, null, 7}, strokes);
    QCOMPARE(strokes, std::vector<QLineF>{QLineF(40, 7, 40, 7)});

    // Neighbouring columns: a join within both columns' strokes adds no pixel and is left
    // out; one that reaches beyond them stays.
    const std::vector<qint64> dense{0, 300, 600, 1000, 1300, 1600, 2000, 2300};
    history::PixelColumns neighbours;
    neighbours.group(dense, 0, qsizetype(dense.size()), 0, 0, 0.001);
    strokes.clear();
    history::ColumnStrokes(neighbours, std::vector<float>{1, 8, 5, 4, 0, 9, 3, 7}, strokes);
    QCOMPARE(strokes, (std::vector<QLineF>{{0, 1, 0.3, 8},     // column 0
                                           {1.3, 0, 1.6, 9},   // column 1; the join 5 to 4 lies within both
                                           {1.6, 9, 2, 3},     // 9 to 3 reaches above column 2
                                           {2, 3, 2.3, 7}}));  // column 2

    // Drawn for zooming in later: one connected line through first, lowest, highest, last.
    std::vector<QPointF> line;
    history::ColumnPolyline(neighbours, std::vector<float>{1, 8, 5, 4, 0, 9, 3, 7}, line);
    QCOMPARE(line, (std::vector<QPointF>{{0, 1}, {0.3, 8}, {0.6, 5}, {1, 4}, {1.3, 0}, {1.6, 9}, {2, 3}, {2.3, 7}}));
    line.clear();
    history::ColumnPolyline(columns, values, line);
    QCOMPARE(line, (std::vector<QPointF>{{0, 5}, {0.2, 1}, {0.4, 9}, {0.6, 4}, {10, 3}, {20, 1}, {20.8, 3}, {40, 7}}));
}

void HistoryChartTest::envelopeGivesTheExtremesOfAnyRun()
{
    // Noise over several levels of blocks, with NULL runs of every length: a whole block, a
    // run across block edges, single NULLs.
    constexpr int Rows = 70000;
    std::mt19937 random(7);
    std::uniform_real_distribution<float> noise(-50, 50);
    const float null = std::numeric_limits<float>::quiet_NaN();
    std::vector<float> values(Rows);
    for (int row = 0; row < Rows; ++row)
        values[std::size_t(row)] = (row >= 4096 && row < 4112) || (row >= 9000 && row < 13000) || row % 97 == 0
                                       ? null
                                       : noise(random);
    const history::ValueEnvelope envelope(values);
    const auto brute = [&](qsizetype begin, qsizetype end) {
        history::ValueEnvelope::Span span;
        for (qsizetype row = begin; row < end; ++row)
            span.add(values[std::size_t(row)]);
        return span;
    };
    std::vector<std::pair<qsizetype, qsizetype>> runs{{0, Rows}, {0, 0}, {5, 6}, {4096, 4112}, {9001, 12999},
                                                      {3, 65539}, {65536, Rows}, {255, 4097}, {16, 32}};
    std::uniform_int_distribution<qsizetype> row(0, Rows);
    for (int i = 0; i < 2000; ++i) {
        const qsizetype a = row(random), b = row(random);
        runs.emplace_back(std::min(a, b), std::max(a, b));
    }
    for (const auto& [begin, end] : runs) {
        const history::ValueEnvelope::Span expected = brute(begin, end);
        const history::ValueEnvelope::Span span = envelope.span(values, begin, end);
        QVERIFY2(span.isEmpty() == expected.isEmpty() && (span.isEmpty() || (span.low == expected.low && span.high == expected.high)),
                 qPrintable(QStringLiteral("rows %1..%2").arg(begin).arg(end)));
    }
    QVERIFY(envelope.span(values, 9000, 13000).isEmpty());
}

void HistoryChartTest::envelopeColumnsKeepTheExtremesOfEveryColumn()
{
    // One pixel a second, four rows a second from pixel 0; a NULL gap over pixel 3.
    const float null = std::numeric_limits<float>::quiet_NaN();
    std::vector<qint64> times;
    for (qint64 t = 0; t < 6000; t += 250)
        times.push_back(t);
    const std::vector<float> values{1, 8, 5, 4,  4, 5, 6, 4,  0, 9, 3, 7,  null, null, null, null,
                                    2, 2, 2, 2,  null, 6, null, null};
    const history::ValueEnvelope envelope(values);
    using Column = std::tuple<double, float, float, float, float>; // x, first, last, low, high
    std::vector<Column> found;
    const auto collect = [&](const history::ColumnValues& c) { found.emplace_back(c.x, c.first, c.last, c.low, c.high); };
    history::PixelColumns columns;
    columns.groupWhole(times, 0, qsizetype(times.size()), 0, 0, 0.001, 0, 5);
    history::EnvelopeColumns(columns, envelope, values, collect);
    QCOMPARE(found, (std::vector<Column>{{0, 1, 4, 1, 8},
                                         {1, 4, 4, 4, 6},
                                         {2, 0, 7, 0, 9},   // column 3 holds only NULLs
                                         {4, 2, 2, 2, 2},
                                         {5, 6, 6, 6, 6}}));

    // Rows left and right of the columns keep their own x.
    history::PixelColumns outside;
    outside.groupWhole(times, 0, qsizetype(times.size()), 0, 0, 0.001, 1, 3);
    found.clear();
    history::EnvelopeColumns(outside, envelope, values, collect);
    QCOMPARE(found, (std::vector<Column>{{0.75, 1, 4, 1, 8},   // rows 0-3, left of column 1
                                         {1, 4, 4, 4, 6},
                                         {2, 0, 7, 0, 9},
                                         {4, 2, 6, 2, 6}}));  // rows 16-23, right of column 3
}

void HistoryChartTest::envelopeColumnsOfManyRowsMoveEdgesByHalfABlockAtMost()
{
    // Noise with NULL runs, 20 to 150 rows a column, a gap of empty columns among them.
    constexpr qsizetype Half = history::ValueEnvelope::BlockRows / 2;
    std::mt19937 random(11);
    std::uniform_real_distribution<float> noise(-50, 50);
    std::uniform_int_distribution<int> rowsPerColumn(20, 150);
    const float null = std::numeric_limits<float>::quiet_NaN();
    std::vector<qint64> times;
    std::vector<qsizetype> columnStarts; // the row where each column starts
    for (int column = 0; column < 400; ++column) {
        if (column >= 200 && column < 205)
            continue;
        columnStarts.push_back(qsizetype(times.size()));
        const int rows = rowsPerColumn(random);
        for (int row = 0; row < rows; ++row)
            times.push_back(qint64(column) * 1000 + qint64(row) * 1000 / rows);
    }
    std::vector<float> values(times.size());
    for (std::size_t row = 0; row < values.size(); ++row)
        values[row] = row % 97 < 3 || (row >= 5000 && row < 5100) ? null : noise(random);
    history::PixelColumns columns;
    columns.groupWhole(times, 0, qsizetype(times.size()), 0, 0, 0.001, 0, 399);
    const auto brute = [&](qsizetype begin, qsizetype end) {
        history::ValueEnvelope::Span span;
        for (qsizetype row = std::max<qsizetype>(begin, 0); row < std::min(end, qsizetype(values.size())); ++row)
            span.add(values[std::size_t(row)]);
        return span;
    };
    history::ValueEnvelope::Span all;
    history::EnvelopeColumns(columns, history::ValueEnvelope(values), values, [&](const history::ColumnValues& c) {
        const auto index = std::size_t(std::lower_bound(columnStarts.begin(), columnStarts.end(),
                                                        qsizetype(c.x) * 1000, [&](qsizetype row, qint64 time) {
                                                            return times[std::size_t(row)] < time;
                                                        })
                                       - columnStarts.begin());
        const qsizetype begin = columnStarts[index];
        const qsizetype end = index + 1 < columnStarts.size() ? columnStarts[index + 1] : qsizetype(times.size());
        // Within the column's rows widened by half a block each side, and covering its rows
        // narrowed by as much.
        const history::ValueEnvelope::Span wide = brute(begin - Half, end + Half);
        const history::ValueEnvelope::Span narrow = brute(begin + Half, end - Half);
        QVERIFY(c.low >= wide.low && c.high <= wide.high);
        QVERIFY(narrow.isEmpty() || (c.low <= narrow.low && c.high >= narrow.high));
        all.add(history::ValueEnvelope::Span{c.low, c.high});
    });
    // Every value lies in some column.
    const history::ValueEnvelope::Span expected = brute(0, qsizetype(values.size()));
    QCOMPARE(all.low, expected.low);
    QCOMPARE(all.high, expected.high);
}

void HistoryChartTest::columnPenDrawsAsAnAliasedLine()
{
    // An area of 8 x 10 pixels at (10, 20) of the painter, where nothing else is drawn.
    history::ColumnCanvas canvas;
    canvas.open(QRect(10, 20, 8, 10));
    {
        history::ColumnPen red(canvas, qRgb(255, 0, 0));
        red.add(-1e12, 25, 25, 25, 25);      // far left: only the line into the area shows
        red.add(10, 21, 24, 21, 25);         // column 0, rows 1-5
        red.add(11, 28, 28, 28, 28);         // joined halfway (row 6), on to row 8
        red.add(14, 22, 22, 22, 22);         // two columns on: a line
        red.add(15, 0, 500, -1e300, 1e300);  // beyond the area both ways: the whole column
        red.add(17, 29, 29, 29, 29);         // a steep line, seen only in its last column
        red.finish();
        history::ColumnPen blue(canvas, qRgb(0, 0, 255));
        blue.add(10, 23, 23, 23, 23);        // a later series over an earlier one
        blue.finish();
    }
    canvas.drawLine(QLineF(10, std::numeric_limits<double>::quiet_NaN(), 17, 20), qRgb(0, 255, 0)); // nothing
    const QImage image = Drawn(canvas, QSize(30, 40));
    QVERIFY(!canvas.isOpen());
    QCOMPARE(Picture(image, QRect(10, 20, 8, 10)), (QStringList{"....rr..",
                                                             "r...rr..",
                                                             "r...rr..",
                                                             "b..rrr..",
                                                             "r..r.r..",
                                                             "r.rr.r..",
                                                             "rrr..r..",
                                                             ".rr..r..",
                                                             ".r...r..",
                                                             ".....r.r"}));
    int outside = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            outside += !QRect(10, 20, 8, 10).contains(x, y) && qAlpha(image.pixel(x, y)) != 0;
    QCOMPARE(outside, 0);

    // Columns whose first or last value was not read (NaN) are joined where their strokes
    // lie nearest: apart, overlapping, and over a column without values.
    const double unread = std::numeric_limits<double>::quiet_NaN();
    canvas.open(QRect(0, 0, 6, 10));
    {
        history::ColumnPen green(canvas, qRgb(0, 255, 0));
        green.add(0, 2, unread, 1, 3);
        green.add(1, unread, unread, 7, 8);      // below: joined from row 3 to row 7
        green.add(2, unread, 6, 4, 9);           // overlapping: nothing to join
        green.add(4, unread, 2, 2, 2);           // a line from the last value to the nearest
        green.finish();
    }
    QCOMPARE(Picture(Drawn(canvas, QSize(6, 10)), QRect(0, 0, 6, 10)), (QStringList{"......",
                                                                                 "g.....",
                                                                                 "g...g.",
                                                                                 "g..gg.",
                                                                                 "g.gg..",
                                                                                 "gggg..",
                                                                                 ".gg...",
                                                                                 ".gg...",
                                                                                 ".gg...",
                                                                                 "..g..."}));
}

void HistoryChartTest::deferredDrawingsKeepTheirOrder()
{
    // Many series' drawings are shared among the cores, each part into its own picture: the
    // result is the pixels of drawing them one by one. Series i fills row i % 10 of every
    // column and the whole of column i % 6, in red, green or blue by i % 3, so each pixel
    // shows whichever series drew it last.
    constexpr int Series = 1000;
    const QRgb colours[] = {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255)};
    history::ColumnCanvas canvas;
    canvas.open(QRect(0, 0, 6, 10));
    QStringList expected(10, QString(6, '.'));
    for (int i = 0; i < Series; ++i) {
        const QRgb colour = colours[i % 3];
        canvas.defer([i, colour](history::ColumnCanvas& drawn) {
            history::ColumnPen pen(drawn, colour);
            for (int x = 0; x < 6; ++x)
                pen.add(x, i % 10, i % 10, i % 10, i % 10);
            pen.finish();
            drawn.fillColumn(i % 6, 0, 9, qPremultiply(colour));
        });
        for (int x = 0; x < 6; ++x)
            expected[i % 10][x] = "rgb"[i % 3];
        for (int y = 0; y < 10; ++y)
            expected[y][i % 6] = "rgb"[i % 3];
    }
    QCOMPARE(Picture(Drawn(canvas, QSize(6, 10)), QRect(0, 0, 6, 10)), expected);
}

void HistoryChartTest::spikeAmongManyPointsIsDrawn_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("spike");
    // A few series are drawn through the painter, many into the chart's column canvas (the
    // others here have no values).
    QTest::addColumn<quint32>("channels");
    QTest::newRow("100,000 points") << 100000 << 61803 << 1u;
    QTest::newRow("100,000 points among 100 series") << 100000 << 61803 << 100u;
    QTest::newRow("1,000,000 points") << 1000000 << 618033 << 1u;
}

void HistoryChartTest::spikeAmongManyPointsIsDrawn()
{
    QFETCH(int, rows);
    QFETCH(int, spike);
    QFETCH(quint32, channels);
    auto store = std::make_shared<history::MeasurementStore>(channels, rows);
    const QDateTime start({2021, 10, 19}, {0, 0}, Qt::UTC);
    for (int row = 0; row < rows; ++row) {
        store->appendRow(start.addSecs(row));
        store->setValue(0, row == spike ? 100.0f : float(row % 7) / 7.0f);
    }
    history::HistoryChart chart;
    chart.resize(868, 335);
    for (quint32 channel = 0; channel < channels; ++channel)
        chart.addSeries("ViewSeries_" + QString::number(channel), "T1", Qt::red);
    chart.setAllSeriesActive(true);
    chart.showFetch(store);
    QCOMPARE(chart.yAxis->range().upper, 100.0);
    const QImage image = chart.toPixmap(868, 335).toImage();
    // The spike's column reaches the top of the plot in the series' colour.
    const int x = int(chart.xAxis->coordToPixel(history::KeyOfRowTime(store->rowTimes()[std::size_t(spike)])));
    const int top = int(chart.yAxis->coordToPixel(100.0));
    int reddest = 0;
    for (int dx = -1; dx <= 1; ++dx) {
        const QColor colour = image.pixelColor(x + dx, top + 2);
        reddest = std::max(reddest, colour.red() - colour.green());
    }
    QVERIFY2(reddest > 100, "the spike is missing");
    // Halfway up, nothing of the series but the spike is drawn (past the axis' ticks): a
    // wrong column would show elsewhere. The dotted grey grid crosses that row; whether a
    // dot or a gap falls on it depends on the platform's font, which moves the plot a pixel.
    const int half = int(chart.yAxis->coordToPixel(50.0));
    for (int column = int(chart.xAxis->coordToPixel(chart.xAxis->range().lower)) + 8; column < x - 2; ++column) {
        const QColor colour = image.pixelColor(column, half);
        QVERIFY2(colour.red() == colour.green() && colour.green() == colour.blue(),
                 qPrintable(QStringLiteral("column %1 is %2").arg(column).arg(colour.name())));
    }
}

void HistoryChartTest::legendEntriesFitTheirNames()
{
    history::HistoryChart chart;
    history::ChartLegend legend(chart);
    const QString longName = QStringLiteral("Temperatura oleju zasilającego w obiegu pierwotnym kotłowni <b>nr 2</b>");
    for (const QString& name : {QStringLiteral("T1"), QStringLiteral("Ciśnienie w kolektorze"), longName})
        chart.addSeries("ViewSeries", name, Qt::blue);
    QTRY_COMPARE(legend.count(), 3);
    const int shortWidth = legend.item(0)->sizeHint().width();
    const int middleWidth = legend.item(1)->sizeHint().width();
    QVERIFY(shortWidth < middleWidth);
    QVERIFY(middleWidth > legend.fontMetrics().horizontalAdvance("Ciśnienie w kolektorze"));
    QVERIFY(legend.item(2)->sizeHint().width() < legend.fontMetrics().horizontalAdvance(longName));
    // The tool tip tells the whole name, markup as text.
    QVERIFY(legend.item(2)->toolTip().contains(longName.toHtmlEscaped()));
}

void HistoryChartTest::lonePointsShowAsMarks_data()
{
    QTest::addColumn<QList<int>>("minutes"); // of the rows, over a day
    QTest::addColumn<QList<double>>("values"); // NaN for NULL

    const double null = std::numeric_limits<double>::quiet_NaN();
    QTest::newRow("a single point") << QList<int>{600} << QList<double>{5};
    QTest::newRow("a point between NULL gaps") << QList<int>{0, 600, 1439} << QList<double>{null, 5, null};
    // Two values a few seconds apart fall into one pixel column.
    QTest::newRow("equal values in one column") << QList<int>{600, 600} << QList<double>{5, 5};
}

void HistoryChartTest::lonePointsShowAsMarks()
{
    QFETCH(QList<int>, minutes);
    QFETCH(QList<double>, values);
    auto store = std::make_shared<history::MeasurementStore>(1);
    for (int i = 0; i < minutes.size(); ++i) {
        store->appendRow(At(2021, 10, 19).addSecs(60 * minutes[i] + i));
        if (!std::isnan(values[i]))
            store->setValue(0, float(values[i]));
    }
    history::HistoryChart chart;
    chart.resize(868, 335);
    chart.addSeries("ViewSeries_0000", "T1", Qt::red);
    chart.showFetch(store);
    chart.xAxis->setRange(history::KeyOfRowTime(At(2021, 10, 19).toMSecsSinceEpoch()),
                          history::KeyOfRowTime(At(2021, 10, 20).toMSecsSinceEpoch()));
    chart.yAxis->setRange(0, 10);
    // On screen and as a vector drawing (the report's page), the point is a visible dot.
    QCOMPARE_GE(RedPixels(chart.toPixmap(868, 335).toImage()), 9);
    QImage vector(868, 335, QImage::Format_RGB32);
    vector.fill(Qt::white);
    {
        QCPPainter painter(&vector);
        painter.setMode(QCPPainter::pmVectorized);
        chart.toPainter(&painter, 868, 335);
    }
    QCOMPARE_GE(RedPixels(vector), 9);
}

void HistoryChartTest::dayTicksSitAtMidnight_data()
{
    QTest::addColumn<QDateTime>("start");
    QTest::addColumn<QDateTime>("end");

    QTest::newRow("a month of summer time") << At(2021, 4, 1) << At(2021, 5, 1);
    QTest::newRow("two weeks across the spring change") << At(2021, 3, 20) << At(2021, 4, 3);
    QTest::newRow("a year, month ticks") << At(2021, 1, 1) << At(2022, 1, 1);
}

void HistoryChartTest::dayTicksSitAtMidnight()
{
    // The keys are wall-clock times: day and month ticks must sit at 00:00:00 of the
    // wall clock, whatever the machine's zone makes of them.
    QCOMPARE(qgetenv("TZ"), QByteArray("Europe/Warsaw"));
    QFETCH(QDateTime, start);
    QFETCH(QDateTime, end);
    history::HistoryChart chart;
    chart.resize(868, 335);
    chart.setDateTimeFormat("dd-MM-yyyy\nhh:mm:ss");
    chart.xAxis->setRange(start.toSecsSinceEpoch(), end.toSecsSinceEpoch());
    chart.replot();
    const QVector<double> ticks = chart.xAxis->tickVector();
    QVERIFY(ticks.size() >= 3);
    for (const double tick : ticks)
        QVERIFY2(std::fmod(tick, 86400.0) == 0, qPrintable(QDateTime::fromSecsSinceEpoch(qint64(tick), Qt::UTC).toString()));
    for (const QString& label : chart.xAxis->tickVectorLabels())
        QVERIFY2(label.endsWith("00:00:00"), qPrintable(label));
}

QTEST_MAIN(HistoryChartTest)

#include "test_history_chart.moc"

// The history chart drawn from the store: no peak lost however many points share a pixel
// column, and a legend whose entries are as wide as their names.
#include "history/ChartLegend.h"
#include "history/ChannelSeries.h"
#include "history/HistoryChart.h"
#include "history/MeasurementStore.h"

#include <QApplication>
#include <QtTest>

class HistoryChartTest : public QObject {
    Q_OBJECT
private slots:
    void samplerKeepsTheExtremesOfEveryColumn();
    void spikeAmongManyPointsIsDrawn();
    void legendEntriesFitTheirNames();
};

void HistoryChartTest::samplerKeepsTheExtremesOfEveryColumn()
{
    std::vector<QPointF> points;
    history::PixelColumnSampler sampler(points);
    // Column 0: a dip after a peak; column 1: one point; column 2: rising only.
    for (const QPointF& point : {QPointF(0.1, 5), QPointF(0.2, 1), QPointF(0.3, 9), QPointF(0.4, 4), QPointF(1.5, 3),
                                 QPointF(2.0, 1), QPointF(2.5, 2), QPointF(2.9, 3)})
        sampler.add(point);
    sampler.finish();
    const std::vector<QPointF> expected{{0.1, 5}, {0.2, 1}, {0.3, 9}, {0.4, 4}, {1.5, 3}, {2.0, 1}, {2.9, 3}};
    QCOMPARE(points, expected);
}

void HistoryChartTest::spikeAmongManyPointsIsDrawn()
{
    constexpr int Rows = 100000;
    constexpr int Spike = 61803;
    auto store = std::make_shared<history::MeasurementStore>(1, Rows);
    const QDateTime start({2021, 10, 19}, {0, 0}, Qt::UTC);
    for (int row = 0; row < Rows; ++row) {
        store->appendRow(start.addSecs(row));
        store->setValue(0, row == Spike ? 100.0f : float(row % 7) / 7.0f);
    }
    history::HistoryChart chart;
    chart.resize(868, 335);
    chart.addSeries("ViewSeries_0000", "T1", Qt::red);
    chart.showFetch(store);
    QCOMPARE(chart.yAxis->range().upper, 100.0);
    const QImage image = chart.toPixmap(868, 335).toImage();
    // The spike's column reaches the top of the plot in the series' colour.
    const int x = int(chart.xAxis->coordToPixel(history::KeyOfRowTime(store->rowTimes()[Spike])));
    const int top = int(chart.yAxis->coordToPixel(100.0));
    int reddest = 0;
    for (int dx = -1; dx <= 1; ++dx) {
        const QColor colour = image.pixelColor(x + dx, top + 2);
        reddest = std::max(reddest, colour.red() - colour.green());
    }
    QVERIFY2(reddest > 100, "the spike is missing");
    // Halfway up, nothing but the spike is drawn (past the axis' ticks): a wrong column
    // would show elsewhere.
    const int half = int(chart.yAxis->coordToPixel(50.0));
    for (int column = int(chart.xAxis->coordToPixel(chart.xAxis->range().lower)) + 8; column < x - 2; ++column)
        QCOMPARE(image.pixelColor(column, half), QColor(Qt::white));
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

QTEST_MAIN(HistoryChartTest)

#include "test_history_chart.moc"

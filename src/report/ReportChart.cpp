#include "report/ReportChart.h"

#include "db/ChannelTable.h"
#include "history/HistoryChart.h"
#include "history/WallClockTicker.h"
#include "report/ReportSource.h"

namespace report {

namespace {

// Room kept clear at either end of the title line.
constexpr int TitleMargin = 8;

} // namespace

QString ChartTitle(const db::ChannelTable& channels, quint32 channel)
{
    const QString separator = QStringLiteral(" :: ");
    QString title;
    for (const QString& group : {channels.POSITION_1[channel], channels.POSITION_2[channel]}) {
        if (group != db::NoText)
            title += group + separator;
    }
    return title + channels.NAME[channel];
}

ReportChart::ReportChart(QWidget* parent)
    : QCustomPlot(parent)
    , m_ticker(new history::WallClockTicker)
{
    resize(Width, Height);
    // Never shown, the chart gets no resize event: a replot between the pages lays it out at
    // the page picture's size too, not at a widget's default size.
    setViewport(rect());
    setBackground(Qt::white);
    legend->setVisible(false);
    setAutoAddPlottableToLegend(false);
    xAxis->setTicker(m_ticker);
    // Arial has Helvetica's widths, so the layout measured here fits the page's text.
    const QFont tickLabels(QStringLiteral("Arial"), 8);
    xAxis->setTickLabelFont(tickLabels);
    yAxis->setTickLabelFont(tickLabels);
    yAxis->setLabelFont(QFont(QStringLiteral("Arial"), 9));

    plotLayout()->insertRow(0);
    m_title = new QCPTextElement(this, QString(), QFont(QStringLiteral("Arial"), 10, QFont::Bold));
    m_title->setTextColor(Qt::black);
    plotLayout()->addElement(0, 0, m_title);

    // Drawn in this order: the curve, then the threshold lines over it.
    m_curve = new history::ChannelSeries(xAxis, yAxis);
    for (QCPGraph*& line : m_thresholds)
        line = addGraph();
}

void ReportChart::setThreshold(int index, float value, double startKey, double endKey)
{
    QCPGraph& line = *m_thresholds[std::size_t(index)];
    if (value == db::ThresholdUnset)
        line.data()->clear();
    else
        line.setData({startKey, endKey}, {double(value), double(value)}, true);
}

void ReportChart::BuildChart(const ReportSource& source, quint32 channel)
{
    const db::ChannelTable& channels = source.channels;
    m_ticker->setDateTimeFormat(source.dateTimeFormat);
    // A title wider than the picture would run off the page: it ends in "…" inside it.
    m_title->setText(QFontMetrics(m_title->font()).elidedText(ChartTitle(channels, channel), Qt::ElideRight,
                                                              Width - 2 * TitleMargin));
    yAxis->setLabel(QLatin1Char('[') + channels.UNIT[channel] + QLatin1Char(']'));

    // The history chart's curve: the same points of the same store, colour and active flag,
    // drawn solid and one point wide.
    const QColor colour = channel < source.colours.size() ? source.colours[channel] : QColor(Qt::black);
    m_curve->setSource(source.fetch.store, channel);
    m_curve->setPen(QPen(colour, 1, Qt::SolidLine));
    m_curve->setVisible(channel < source.selected.size() && source.selected[channel]);

    const double start = QCPAxisTickerDateTime::dateTimeToKey(source.fetch.rangeStart);
    const double end = QCPAxisTickerDateTime::dateTimeToKey(source.fetch.rangeEnd);
    const std::array<float, 4> thresholds{channels.A1_L[channel], channels.A1_H[channel], channels.A2_L[channel],
                                          channels.A2_H[channel]};
    for (int i = 0; i < 4; ++i) {
        // Flat caps keep the dots and dashes at their own lengths instead of lengthening them.
        m_thresholds[std::size_t(i)]->setPen(QPen(colour, 2, i < 2 ? Qt::DotLine : Qt::DashLine, Qt::FlatCap));
        setThreshold(i, thresholds[std::size_t(i)], start, end);
    }

    // Both axes fit what is shown; with nothing to show the time axis spans the report range.
    xAxis->setRange(start, end > start ? end : start + 1);
    xAxis->rescale(true);
    if (const auto fixed = LeftAxisRange(source.settings, channels, channel)) {
        history::ShowFixedRange(*yAxis, *fixed);
    } else {
        yAxis->setRange(0, 1);
        yAxis->rescale(true);
    }
}

void ReportChart::paintInto(QPaintDevice& device)
{
    QCPPainter painter(&device);
    // Vector output: without this mode QCustomPlot shifts lines by half a pixel.
    painter.setMode(QCPPainter::pmVectorized);
    toPainter(&painter, Width, Height);
}

} // namespace report

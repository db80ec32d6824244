#include "history/HistoryChart.h"

namespace history {

std::optional<QCPRange> FixedLeftAxisRange(qint32 scale, float min, float max)
{
    if ((scale == 1 || scale == 2) && !(min == 0 && max == 0) && !(min > max))
        return QCPRange(double(min), double(max));
    return std::nullopt;
}

HistoryChart::HistoryChart(QWidget* parent)
    : QCustomPlot(parent)
    , m_ticker(new QCPAxisTickerDateTime)
{
    setBackground(Qt::white);
    setAntialiasedElements(QCP::aeAll);
    setNoAntialiasingOnDrag(true);
    // The keys are wall-clock times held as UTC: label them as such, never in the local zone.
    m_ticker->setDateTimeSpec(Qt::UTC);
    xAxis->setTicker(m_ticker);
    // The legend is a list widget of its own under the chart.
    legend->setVisible(false);
    setAutoAddPlottableToLegend(false);
    setInteractions({});
}

void HistoryChart::setDateTimeFormat(const QString& format)
{
    m_ticker->setDateTimeFormat(format);
}

QString HistoryChart::dateTimeFormat() const
{
    return m_ticker->dateTimeFormat();
}

void HistoryChart::setMouseZoom(bool on)
{
    // Zooming drags a rectangle, as in the operators' earlier tools; the wheel zooms too.
    setInteraction(QCP::iRangeZoom, on);
    setSelectionRectMode(on ? QCP::srmZoom : QCP::srmNone);
}

bool HistoryChart::mouseZoom() const
{
    return interactions().testFlag(QCP::iRangeZoom);
}

void HistoryChart::setLeftAxisRange(const std::optional<QCPRange>& range)
{
    m_fixedLeftRange = range;
    if (range && range->size() > 0)
        yAxis->setRange(*range);
    else if (range)
        // An axis cannot span nothing: a range of one value shows that value in the middle.
        yAxis->setRange(range->lower - 0.5, range->upper + 0.5);
    else
        rescaleToData();
}

QCPGraph* HistoryChart::addSeries(const QString& name, const QString& title, const QColor& colour)
{
    QCPGraph* series = addGraph();
    series->setObjectName(name);
    series->setName(title);
    series->setPen(QPen(colour, 1));
    series->setAdaptiveSampling(true);
    emit seriesListChanged();
    return series;
}

void HistoryChart::removeSeries(QCPGraph* series)
{
    if (removeGraph(series))
        emit seriesListChanged();
}

bool HistoryChart::seriesActive(int index) const
{
    const QCPGraph* series = graph(index);
    return series && series->visible();
}

void HistoryChart::setSeriesActive(int index, bool active)
{
    QCPGraph* series = graph(index);
    if (!series || series->visible() == active)
        return;
    series->setVisible(active);
    emit seriesActiveChanged(index);
    replot(QCustomPlot::rpQueuedReplot);
}

void HistoryChart::setAllSeriesActive(bool active)
{
    for (int i = 0; i < graphCount(); ++i)
        setSeriesActive(i, active);
}

void HistoryChart::rescaleToData()
{
    xAxis->rescale(true);
    if (!m_fixedLeftRange)
        yAxis->rescale(true);
    replot(QCustomPlot::rpQueuedReplot);
}

} // namespace history

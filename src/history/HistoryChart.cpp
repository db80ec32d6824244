#include "history/HistoryChart.h"

namespace history {

std::optional<QCPRange> FixedLeftAxisRange(qint32 scale, float min, float max)
{
    if ((scale == 1 || scale == 2) && !(min == 0 && max == 0) && !(min > max))
        return QCPRange(double(min), double(max));
    return std::nullopt;
}

void ShowFixedRange(QCPAxis& axis, const QCPRange& range)
{
    if (range.size() > 0)
        axis.setRange(range);
    else
        axis.setRange(range.lower - 0.5, range.upper + 0.5);
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
    if (range)
        ShowFixedRange(*yAxis, *range);
    else
        rescaleToData();
}

ChannelSeries* HistoryChart::addSeries(const QString& name, const QString& title, const QColor& colour)
{
    auto* series = new ChannelSeries(xAxis, yAxis);
    series->setPixelColumns(m_pixelColumns);
    series->setObjectName(name);
    series->setName(title);
    series->setPen(QPen(colour, 1));
    m_series.push_back(series);
    emit seriesListChanged();
    return series;
}

void HistoryChart::removeSeries(ChannelSeries* series)
{
    std::erase(m_series, series);
    if (removePlottable(series))
        emit seriesListChanged();
}

void HistoryChart::showFetch(const std::shared_ptr<const MeasurementStore>& store)
{
    for (int i = 0; i < seriesCount(); ++i)
        series(i)->setSource(store, quint32(i));
    rescaleToData();
}

bool HistoryChart::hasPoints() const
{
    for (int i = 0; i < seriesCount(); ++i) {
        if (series(i)->hasPoints())
            return true;
    }
    return false;
}

void HistoryChart::showRangeWhileEmpty(const QDateTime& start, const QDateTime& end)
{
    if (hasPoints() || !start.isValid() || !end.isValid())
        return;
    const double lower = QCPAxisTickerDateTime::dateTimeToKey(start);
    const double upper = QCPAxisTickerDateTime::dateTimeToKey(end);
    xAxis->setRange(lower, upper > lower ? upper : lower + 1);
    replot(QCustomPlot::rpQueuedReplot);
}

bool HistoryChart::seriesActive(int index) const
{
    const ChannelSeries* series = this->series(index);
    return series && series->visible();
}

bool HistoryChart::applyActive(int index, bool active)
{
    ChannelSeries* series = this->series(index);
    if (!series || series->visible() == active)
        return false;
    series->setVisible(active);
    emit seriesActiveChanged(index);
    return true;
}

void HistoryChart::setSeriesActive(int index, bool active)
{
    if (applyActive(index, active))
        fitValueAxis();
}

void HistoryChart::setAllSeriesActive(bool active)
{
    bool changed = false;
    for (int i = 0; i < seriesCount(); ++i)
        changed |= applyActive(i, active);
    if (changed)
        fitValueAxis();
}

void HistoryChart::fitValueAxis()
{
    // An automatic value axis fits the shown series only.
    if (!m_fixedLeftRange && hasPoints())
        yAxis->rescale(true);
    replot(QCustomPlot::rpQueuedReplot);
}

void HistoryChart::rescaleToData()
{
    // The time axis covers the whole fetch, hidden series included, so that showing a
    // series later does not need a new fit.
    if (hasPoints())
        xAxis->rescale(false);
    fitValueAxis();
}

} // namespace history

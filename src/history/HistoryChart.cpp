#include "history/HistoryChart.h"

#include "common/Colour.h"
#include "common/ZeroPad.h"
#include "db/ChannelTable.h"
#include "history/WallClockTicker.h"

#include <algorithm>

namespace history {

void ShowFixedRange(QCPAxis& axis, const AxisRange& range)
{
    if (range.upper > range.lower)
        axis.setRange(range.lower, range.upper);
    else
        axis.setRange(range.lower - 0.5, range.upper + 0.5);
}

HistoryChart::HistoryChart(QWidget* parent)
    : QCustomPlot(parent)
    , m_ticker(new WallClockTicker)
{
    setBackground(Qt::white);
    setAntialiasedElements(QCP::aeAll);
    setNoAntialiasingOnDrag(true);
    xAxis->setTicker(m_ticker);
    // The legend is a list widget of its own under the chart.
    legend->setVisible(false);
    setAutoAddPlottableToLegend(false);
    setInteractions({});
    // The dense series' picture is shown on a layer of its own right above theirs.
    addLayer(QStringLiteral("columnCanvas"), layer(QStringLiteral("main")), QCustomPlot::limAbove);
    new ColumnCanvasLayer(this, QStringLiteral("columnCanvas"), m_canvas);
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

void HistoryChart::setLeftAxisRange(const std::optional<AxisRange>& range)
{
    m_fixedLeftRange = range;
    if (range)
        ShowFixedRange(*yAxis, *range);
    else
        rescaleToData();
}

ChannelSeries* HistoryChart::addSeries(const QString& name, const QString& title, const QColor& colour)
{
    ChannelSeries* const series = appendSeries(name, title, colour);
    shareCanvasWhenMany();
    emit seriesListChanged();
    return series;
}

ChannelSeries* HistoryChart::appendSeries(const QString& name, const QString& title, const QColor& colour)
{
    auto* series = new ChannelSeries(xAxis, yAxis);
    series->setPixelColumns(m_pixelColumns);
    series->setObjectName(name);
    series->setName(title);
    series->setPen(QPen(colour, 1));
    m_series.push_back(series);
    return series;
}

void HistoryChart::setChannels(const db::ChannelTable& channels)
{
    for (ChannelSeries* series : m_series)
        removePlottable(series);
    m_series.clear();
    for (quint32 i = 0; i < channels.count; ++i)
        appendSeries(QStringLiteral("ViewSeries_") + common::ZeroPad(i, 4), channels.NAME[i],
                     common::ColourFromBgr(quint32(channels.CH_C[i])));
    shareCanvasWhenMany();
    emit seriesListChanged();
}

void HistoryChart::showFetch(const std::shared_ptr<const MeasurementStore>& store)
{
    for (std::size_t i = 0; i < m_series.size(); ++i)
        m_series[i]->setSource(store, quint32(i));
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
    // A start after the end holds no row; the span between the two is what was picked.
    const double lower = QCPAxisTickerDateTime::dateTimeToKey(std::min(start, end));
    const double upper = QCPAxisTickerDateTime::dateTimeToKey(std::max(start, end));
    xAxis->setRange(lower, upper > lower ? upper : lower + 1);
    replot(QCustomPlot::rpQueuedReplot);
}

bool HistoryChart::seriesActive(int index) const
{
    const ChannelSeries* series = this->series(index);
    return series && series->visible();
}

std::vector<bool> HistoryChart::activeFlags() const
{
    std::vector<bool> active;
    active.reserve(m_series.size());
    for (const ChannelSeries* series : m_series)
        active.push_back(series->visible());
    return active;
}

std::vector<QColor> HistoryChart::colours() const
{
    std::vector<QColor> colours;
    colours.reserve(m_series.size());
    for (const ChannelSeries* series : m_series)
        colours.push_back(series->pen().color());
    return colours;
}

bool HistoryChart::applyActive(int index, bool active)
{
    ChannelSeries* series = index >= 0 && index < seriesCount() ? m_series[std::size_t(index)] : nullptr;
    if (!series || series->visible() == active)
        return false;
    series->setVisible(active);
    emit seriesActiveChanged(index);
    return true;
}

void HistoryChart::setSeriesActive(int index, bool active)
{
    if (applyActive(index, active)) {
        shareCanvasWhenMany();
        fitValueAxis();
    }
}

void HistoryChart::setAllSeriesActive(bool active)
{
    bool changed = false;
    for (int i = 0; i < seriesCount(); ++i)
        changed |= applyActive(i, active);
    if (changed) {
        shareCanvasWhenMany();
        fitValueAxis();
    }
}

void HistoryChart::shareCanvasWhenMany()
{
    // The column canvas pays for many series; a few are drawn through the painter, without
    // the frame's picture of the whole plot area.
    constexpr std::ptrdiff_t ManySeries = 64;
    const bool many = std::count_if(m_series.begin(), m_series.end(), [](const ChannelSeries* series) {
                          return series->visible();
                      }) >= ManySeries;
    for (ChannelSeries* series : m_series)
        series->setCanvas(many ? m_canvas : nullptr);
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

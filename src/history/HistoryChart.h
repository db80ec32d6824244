#pragma once

#include "history/AxisRange.h"
#include "history/ChannelSeries.h"

#include <memory>
#include <optional>
#include <qcustomplot.h>
#include <vector>

namespace db { struct ChannelTable; }

namespace history {

// Shows exactly range on axis. An axis cannot span nothing: a range of one value shows that
// value in the middle of a span of one.
void ShowFixedRange(QCPAxis& axis, const AxisRange& range);

class MeasurementStore;

// The history chart: one line series per channel over a date-time axis, drawn from the
// store of the last fetch.
class HistoryChart final : public QCustomPlot {
    Q_OBJECT
public:
    explicit HistoryChart(QWidget* parent = nullptr);

    void setDateTimeFormat(const QString& format);
    QString dateTimeFormat() const;
    void setMouseZoom(bool on);
    bool mouseZoom() const;
    // A fixed left-axis range, or automatic scaling to the data when empty.
    void setLeftAxisRange(const std::optional<AxisRange>& range);
    bool leftAxisAutoScale() const { return !m_fixedLeftRange; }

    int seriesCount() const { return int(m_series.size()); }
    const ChannelSeries* series(int index) const
    {
        return index >= 0 && index < seriesCount() ? m_series[std::size_t(index)] : nullptr;
    }
    // One series per channel of channels, "ViewSeries_0000" on, titled by the channel's name
    // in its colour; the series before are gone. No channel: no series.
    void setChannels(const db::ChannelTable& channels);
    ChannelSeries* addSeries(const QString& name, const QString& title, const QColor& colour);
    // Series i shows channel i of store; the axes follow the new points.
    void showFetch(const std::shared_ptr<const MeasurementStore>& store);
    bool hasPoints() const;
    // While the chart has no points, its time axis spans the chosen range.
    void showRangeWhileEmpty(const QDateTime& start, const QDateTime& end);
    bool seriesActive(int index) const;
    // Per series, in channel order: whether it is shown, and its colour.
    std::vector<bool> activeFlags() const;
    std::vector<QColor> colours() const;
    void setSeriesActive(int index, bool active);
    void setAllSeriesActive(bool active);
    // Fits the axes to the shown data (the left axis only while it scales automatically).
    void rescaleToData();

signals:
    void seriesListChanged();
    void seriesActiveChanged(int index);

private:
    bool applyActive(int index, bool active);
    void fitValueAxis();
    // A series added without the notices that addSeries() gives.
    ChannelSeries* appendSeries(const QString& name, const QString& title, const QColor& colour);
    void shareCanvasWhenMany();

    QSharedPointer<QCPAxisTickerDateTime> m_ticker;
    std::vector<ChannelSeries*> m_series; // in channel order; the chart owns them
    std::shared_ptr<PixelColumns> m_pixelColumns = std::make_shared<PixelColumns>();
    std::shared_ptr<ColumnCanvas> m_canvas = std::make_shared<ColumnCanvas>();
    std::optional<AxisRange> m_fixedLeftRange;
};

} // namespace history

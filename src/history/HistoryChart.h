#pragma once

#include <optional>
#include <qcustomplot.h>

namespace history {

// The fixed range of the left axis that the chart settings ask for, or nothing for
// automatic scaling: modes 1 and 2 with a minimum not above the maximum, not both 0.
std::optional<QCPRange> FixedLeftAxisRange(qint32 scale, float min, float max);

// The history chart: one line series per channel over a date-time axis.
class HistoryChart final : public QCustomPlot {
    Q_OBJECT
public:
    explicit HistoryChart(QWidget* parent = nullptr);

    void setDateTimeFormat(const QString& format);
    QString dateTimeFormat() const;
    void setMouseZoom(bool on);
    bool mouseZoom() const;
    // A fixed left-axis range, or automatic scaling to the data when empty.
    void setLeftAxisRange(const std::optional<QCPRange>& range);
    bool leftAxisAutoScale() const { return !m_fixedLeftRange; }

    int seriesCount() const { return graphCount(); }
    QCPGraph* series(int index) const { return graph(index); }
    QCPGraph* addSeries(const QString& name, const QString& title, const QColor& colour);
    void removeSeries(QCPGraph* series);
    bool seriesActive(int index) const;
    void setSeriesActive(int index, bool active);
    void setAllSeriesActive(bool active);
    // Fits the axes to the shown data (the left axis only while it scales automatically).
    void rescaleToData();

signals:
    void seriesListChanged();
    void seriesActiveChanged(int index);

private:
    QSharedPointer<QCPAxisTickerDateTime> m_ticker;
    std::optional<QCPRange> m_fixedLeftRange;
};

} // namespace history

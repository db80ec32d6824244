#pragma once

#include <memory>
#include <qcustomplot.h>
#include <vector>

namespace history {

class MeasurementStore;

// Keeps, of a line's points, the first, the lowest, the highest and the last one in each
// pixel column, in the order they came: a line through those covers the same pixels as the
// line through all of them, so no peak is lost however many points share a column.
class PixelColumnSampler {
public:
    explicit PixelColumnSampler(std::vector<QPointF>& out) : m_out(out) {}
    // Points with x in pixels, ascending or descending; y may be the value itself, since
    // the lowest and highest value are the lowest and highest pixel.
    void add(const QPointF& point)
    {
        if (m_open && point.x() >= m_column && point.x() < m_column + 1) {
            if (point.y() < m_low.y()) {
                m_low = point;
                m_lowBeforeHigh = false;
            }
            if (point.y() > m_high.y()) {
                m_high = point;
                m_lowBeforeHigh = true;
            }
            m_last = point;
            return;
        }
        startColumn(point);
    }
    void finish();

private:
    void startColumn(const QPointF& point);
    void push(const QPointF& point);

    std::vector<QPointF>& m_out;
    bool m_open = false;
    double m_column = 0;
    QPointF m_first, m_low, m_high, m_last;
    bool m_lowBeforeHigh = true;
};

// One channel's curve in a chart, read straight from the store of the last fetch: the
// chart holds no copy of the points. NULL values are passed over, so the line joins the
// values on either side. Drawn per pixel column through PixelColumnSampler.
class ChannelSeries final : public QCPAbstractPlottable {
    Q_OBJECT
public:
    ChannelSeries(QCPAxis* keyAxis, QCPAxis* valueAxis);

    // The channel's values of store; no store: no points.
    void setSource(std::shared_ptr<const MeasurementStore> store, quint32 channel);
    const std::shared_ptr<const MeasurementStore>& store() const { return m_store; }
    quint32 channel() const { return m_channel; }
    bool hasPoints() const;

    double selectTest(const QPointF& pos, bool onlySelectable, QVariant* details = nullptr) const override;
    QCPRange getKeyRange(bool& foundRange, QCP::SignDomain inSignDomain = QCP::sdBoth) const override;
    QCPRange getValueRange(bool& foundRange, QCP::SignDomain inSignDomain = QCP::sdBoth,
                           const QCPRange& inKeyRange = QCPRange()) const override;

protected:
    void draw(QCPPainter* painter) override;
    void drawLegendIcon(QCPPainter* painter, const QRectF& rect) const override;

private:
    // The rows whose keys lie in range, widened by one row on each side.
    std::pair<qsizetype, qsizetype> rowsAround(const QCPRange& keys) const;

    std::shared_ptr<const MeasurementStore> m_store;
    quint32 m_channel = 0;
    std::vector<QPointF> m_points; // reused from frame to frame
};

// The chart key of a store row time: seconds since the epoch, as the date-time axis counts.
inline double KeyOfRowTime(qint64 milliseconds)
{
    return double(milliseconds) / 1000.0;
}

} // namespace history

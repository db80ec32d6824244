#pragma once

#include "history/ColumnCanvas.h"
#include "history/PixelColumns.h"
#include "history/ValueEnvelope.h"

#include <memory>
#include <qcustomplot.h>
#include <vector>

namespace history {

class MeasurementStore;

// One channel's curve in a chart, read straight from the store of the last fetch: the
// chart holds no copy of the points. NULL values are passed over, so the line joins the
// values on either side; a series of one point shows it as a dot. Drawn per pixel column,
// so that no peak is lost: on screen by ColumnStrokes, without anti-aliasing where the
// points outnumber the columns (at that density it looks the same); in a chart of many
// series such a one by a ColumnPen into the chart's column canvas, each column's extremes
// read by EnvelopeColumns from an envelope made at the first such frame of a fetch, so that
// a frame costs the same however many rows the fetch holds; into a vector drawing by
// ColumnPolyline. Nothing of a frame is kept for the next.
class ChannelSeries final : public QCPAbstractPlottable {
    Q_OBJECT
public:
    ChannelSeries(QCPAxis* keyAxis, QCPAxis* valueAxis);

    // The channel's values of store; no store: no points.
    void setSource(std::shared_ptr<const MeasurementStore> store, quint32 channel);
    // The grouping of rows into pixel columns, shared by the series of one chart.
    void setPixelColumns(std::shared_ptr<PixelColumns> columns) { m_columns = std::move(columns); }
    // The picture that the chart's dense series are drawn into when it shows many; none:
    // through the painter.
    void setCanvas(std::shared_ptr<ColumnCanvas> canvas) { m_canvas = std::move(canvas); }
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
    // A lone point, as a dot in the series' colour.
    void drawMark(QCPPainter* painter, QPointF centre) const;
    // The rows whose keys lie in range, widened by one row on each side.
    std::pair<qsizetype, qsizetype> rowsAround(const QCPRange& keys) const;

    std::shared_ptr<const MeasurementStore> m_store;
    quint32 m_channel = 0;
    std::shared_ptr<PixelColumns> m_columns = std::make_shared<PixelColumns>();
    std::shared_ptr<ColumnCanvas> m_canvas;
    std::shared_ptr<const ValueEnvelope> m_envelope; // of the channel's values in m_store

};

// The chart key of a store row time: seconds since the epoch, as the date-time axis counts.
inline double KeyOfRowTime(qint64 milliseconds)
{
    return double(milliseconds) / 1000.0;
}

} // namespace history

#include "history/ChannelSeries.h"

#include "history/MeasurementStore.h"

#include <algorithm>
#include <cmath>
#include <QPolygonF>

namespace history {

ChannelSeries::ChannelSeries(QCPAxis* keyAxis, QCPAxis* valueAxis)
    : QCPAbstractPlottable(keyAxis, valueAxis)
{
    setSelectable(QCP::stNone);
}

void ChannelSeries::setSource(std::shared_ptr<const MeasurementStore> store, quint32 channel)
{
    m_envelope.reset();
    m_store = std::move(store);
    m_channel = channel;
    if (!m_store || channel >= m_store->channelCount())
        m_store.reset();
}

bool ChannelSeries::hasPoints() const
{
    return m_store && m_store->extent(m_channel).first >= 0;
}

double ChannelSeries::selectTest(const QPointF&, bool, QVariant*) const
{
    return -1;
}

QCPRange ChannelSeries::getKeyRange(bool& foundRange, QCP::SignDomain inSignDomain) const
{
    foundRange = false;
    if (!hasPoints())
        return {};
    const MeasurementStore::Extent& extent = m_store->extent(m_channel);
    const QCPRange keys(KeyOfRowTime(m_store->rowTimes()[std::size_t(extent.first)]),
                        KeyOfRowTime(m_store->rowTimes()[std::size_t(extent.last)]));
    // Date-time keys of any sensible date are positive.
    foundRange = inSignDomain != QCP::sdNegative && keys.lower > 0;
    return keys;
}

QCPRange ChannelSeries::getValueRange(bool& foundRange, QCP::SignDomain inSignDomain, const QCPRange& inKeyRange) const
{
    foundRange = false;
    if (!hasPoints())
        return {};
    if (inSignDomain == QCP::sdBoth && inKeyRange == QCPRange()) {
        const MeasurementStore::Extent& extent = m_store->extent(m_channel);
        foundRange = true;
        return QCPRange(extent.minimum, extent.maximum);
    }
    const std::span<const float> values = m_store->values(m_channel);
    const std::span<const qint64> times = m_store->rowTimes();
    const bool restricted = inKeyRange != QCPRange();
    QCPRange range;
    for (std::size_t row = 0; row < values.size(); ++row) {
        const double value = values[row];
        if (MeasurementStore::isNull(values[row]) || (restricted && !inKeyRange.contains(KeyOfRowTime(times[row])))
            || (inSignDomain == QCP::sdPositive && value <= 0) || (inSignDomain == QCP::sdNegative && value >= 0))
            continue;
        range = foundRange ? QCPRange(std::min(range.lower, value), std::max(range.upper, value)) : QCPRange(value, value);
        foundRange = true;
    }
    return range;
}

std::pair<qsizetype, qsizetype> ChannelSeries::rowsAround(const QCPRange& keys) const
{
    const std::span<const qint64> times = m_store->rowTimes();
    const auto lower = std::lower_bound(times.begin(), times.end(), qint64(std::floor(keys.lower * 1000)));
    const auto upper = std::upper_bound(times.begin(), times.end(), qint64(std::ceil(keys.upper * 1000)));
    const qsizetype begin = std::max<qsizetype>(lower - times.begin() - 1, 0);
    const qsizetype end = std::min<qsizetype>(upper - times.begin() + 1, qsizetype(times.size()));
    return {begin, end};
}

void ChannelSeries::draw(QCPPainter* painter)
{
    if (!hasPoints() || !mKeyAxis || !mValueAxis)
        return;
    const std::span<const float> values = m_store->values(m_channel);
    const std::span<const qint64> times = m_store->rowTimes();
    const QCPRange keys = mKeyAxis->range();
    if (keys.size() <= 0 || mValueAxis->range().size() <= 0)
        return;
    const auto [begin, end] = rowsAround(keys);
    // The time axis is linear: a row's pixel column is one multiply and add away.
    const double left = mKeyAxis->coordToPixel(keys.lower);
    const double right = mKeyAxis->coordToPixel(keys.upper);
    const double pixelsPerMillisecond = (right - left) / (keys.size() * 1000);
    const double startMilliseconds = keys.lower * 1000;
    painter->setPen(mPen);
    painter->setBrush(Qt::NoBrush);
    // The value axis is linear too.
    const QCPRange range = mValueAxis->range();
    const double bottom = mValueAxis->coordToPixel(range.lower);
    const double pixelsPerUnit = (mValueAxis->coordToPixel(range.upper) - bottom) / range.size();
    // By value: a deferred drawing of the columns uses it after this frame's draw() returns.
    const auto toPixel = [bottom, lower = range.lower, pixelsPerUnit](double value) {
        return bottom + (value - lower) * pixelsPerUnit;
    };
    if (painter->modes().testFlag(QCPPainter::pmVectorized)) {
        // A vector drawing may be zoomed in later: one connected line.
        applyDefaultAntialiasingHint(painter);
        m_columns->group(times, begin, end, left, startMilliseconds, pixelsPerMillisecond);
        std::vector<QPointF> polyline;
        ColumnPolyline(*m_columns, values, polyline);
        for (QPointF& point : polyline)
            point.setY(toPixel(point.y()));
        // One column gives at most four points.
        const QRectF extent = polyline.size() <= 4
                                  ? QPolygonF(QList<QPointF>(polyline.begin(), polyline.end())).boundingRect()
                                  : QRectF(0, 0, 2, 2);
        if (extent.width() < 1 && extent.height() < 1)
            drawMark(painter, extent.center());
        else
            painter->drawPolyline(polyline.data(), int(polyline.size()));
        return;
    }
    // More points than columns: drawn without anti-aliasing (at that density it looks the
    // same), into the chart's column canvas when it has one for many series.
    const bool dense = right > left && double(end - begin) > right - left;
    if (dense && m_canvas) {
        if (!m_envelope)
            m_envelope = std::make_shared<const ValueEnvelope>(values);
        m_columns->groupWhole(times, begin, end, left, startMilliseconds, pixelsPerMillisecond, int(std::floor(left)),
                              int(std::floor(right)));
        // The columns are drawn when the canvas is drawn, after every series has grouped
        // them for the same view; the drawing holds the store, the envelope and the grouping.
        const auto drawColumns = [store = m_store, columns = m_columns, envelope = m_envelope, values, toPixel,
                                  colour = mPen.color().rgba()](ColumnCanvas& canvas) {
            ColumnPen pen(canvas, colour);
            EnvelopeColumns(*columns, *envelope, values, [&](const ColumnValues& column) {
                pen.add(column.x, toPixel(column.first), toPixel(column.last), toPixel(column.low), toPixel(column.high));
            });
            pen.finish();
        };
        // A lone value (one column with a view's neighbours on either side at most) is a
        // stroke of no length: a dot shows it.
        if (m_columns->runs().size() <= 3) {
            std::vector<ColumnValues> shown;
            EnvelopeColumns(*m_columns, *m_envelope, values, [&](const ColumnValues& column) { shown.push_back(column); });
            if (shown.size() == 1 && shown.front().low == shown.front().high)
                drawMark(painter, QPointF(shown.front().x, toPixel(shown.front().low)));
        }
        m_canvas->open(clipRect());
        m_canvas->defer(drawColumns);
        return;
    }
    std::vector<QLineF> strokes;
    m_columns->group(times, begin, end, left, startMilliseconds, pixelsPerMillisecond);
    ColumnStrokes(*m_columns, values, strokes);
    if (dense)
        painter->setAntialiasing(false);
    else
        applyDefaultAntialiasingHint(painter);
    for (QLineF& stroke : strokes)
        stroke.setLine(stroke.x1(), toPixel(stroke.y1()), stroke.x2(), toPixel(stroke.y2()));
    if (strokes.size() == 1 && strokes.front().p1() == strokes.front().p2())
        drawMark(painter, strokes.front().p1());
    else
        painter->drawLines(strokes.data(), int(strokes.size()));
}

void ChannelSeries::drawMark(QCPPainter* painter, QPointF centre) const
{
    // A line through one point (or within one pixel) has next to no length, which a pen
    // draws as nothing at all.
    const double radius = std::max(mPen.widthF(), 1.0) * 2;
    painter->setBrush(mPen.color());
    painter->drawEllipse(centre, radius, radius);
}

void ChannelSeries::drawLegendIcon(QCPPainter* painter, const QRectF& rect) const
{
    painter->setPen(mPen);
    painter->drawLine(QLineF(rect.left(), rect.center().y(), rect.right(), rect.center().y()));
}

} // namespace history

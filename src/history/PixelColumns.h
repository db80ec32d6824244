#pragma once

#include "history/MeasurementStore.h"
#include "history/ValueEnvelope.h"

#include <QLineF>
#include <QPointF>
#include <limits>
#include <span>
#include <utility>
#include <vector>

namespace history {

// The rows of a fetch grouped by the pixel column that their time falls in, for one view of
// the time axis. Every series of a chart shares it, so it is worked out once a frame.
class PixelColumns {
public:
    // Rows [begin, end) of a column.
    struct Run {
        qsizetype begin;
        qsizetype end;
    };

    // Groups rows [begin, end) of times (ascending), a time t lying at the pixel
    // left + (t - start) * pixelsPerMillisecond. Does nothing when asked the same again.
    void group(std::span<const qint64> times, qsizetype begin, qsizetype end, double left, double start,
               double pixelsPerMillisecond);
    // The same runs for a view with more rows than pixel columns, found by one binary search
    // a column instead of a pass over every row. A run's x is its column's left edge; a row
    // outside the columns [firstColumn, lastColumn] (a neighbour of the view) keeps a run of
    // its own at its own x.
    void groupWhole(std::span<const qint64> times, qsizetype begin, qsizetype end, double left, double start,
                    double pixelsPerMillisecond, int firstColumn, int lastColumn);

    std::span<const Run> runs() const { return m_runs; }
    // The pixel x of a row of the last group().
    double x(qsizetype row) const { return m_x[std::size_t(row - m_first)]; }
    // The pixel x of a run of the last groupWhole().
    double runX(std::size_t run) const { return m_runX[run]; }

private:
    struct View {
        const qint64* times = nullptr;
        qsizetype begin = 0;
        qsizetype end = 0;
        double left = 0;
        double start = 0;
        double pixelsPerMillisecond = 0;
        int firstColumn = 0; // groupWhole() only
        int lastColumn = -1;
        bool operator==(const View&) const = default;
    };

    View m_view;
    qsizetype m_first = 0;
    std::vector<double> m_x;
    std::vector<double> m_runX;
    std::vector<Run> m_runs;
};

// The strokes that draw a series the way the line through all its points would look,
// however many points share a pixel column: in each column one stroke from its lowest to
// its highest value, and one from the last point of a column to the first of the next.
// The first, last, lowest and highest point of every column are kept, so no peak is lost.
// NaN values are passed over (the line joins the values on either side); a lone value is a
// stroke of no length, which the caller draws as a mark. A stroke's x is in pixels, its y the value itself.
void ColumnStrokes(const PixelColumns& columns, std::span<const float> values, std::vector<QLineF>& strokes);

// The same points as one connected line, for drawings that are scaled up after they were
// made (a PDF page zoomed in): per column the first, lowest and highest in their order, and
// the last point. x is in pixels, y the value itself.
void ColumnPolyline(const PixelColumns& columns, std::span<const float> values, std::vector<QPointF>& points);

// A column of a series over the runs of groupWhole(): its x in pixels and its first, last,
// lowest and highest value. first (last) is NaN where the column meets the one before
// (after) at a block edge: the join between two such columns is drawn from their spans.
struct ColumnValues {
    double x;
    float first, last, low, high;
};

// Calls visit(ColumnValues) for every run of groupWhole() that holds a value, in order, the
// extremes read from envelope: the cost per column does not grow with the rows. Where two
// neighbouring pixel columns each hold a block of rows or more, the edge between them moves
// to the nearest block edge, so that the envelope reads whole blocks only and no value at
// the edge is read (each would wait for memory): the rows that change column lie within
// half a block of the edge, less than half a column's time from it, and no value is lost.
template <typename Visit>
void EnvelopeColumns(const PixelColumns& columns, const ValueEnvelope& envelope, std::span<const float> values,
                     Visit&& visit)
{
    const std::span<const PixelColumns::Run> runs = columns.runs();
    constexpr qsizetype Block = ValueEnvelope::BlockRows;
    constexpr float Unread = std::numeric_limits<float>::quiet_NaN();
    const auto rowsOf = [&](std::size_t i) { return runs[i].end - runs[i].begin; };
    const auto snapsAfter = [&](std::size_t i) {
        return i + 1 < runs.size() && columns.runX(i + 1) == columns.runX(i) + 1 && rowsOf(i) >= Block
               && rowsOf(i + 1) >= Block;
    };
    qsizetype begin = runs.empty() ? 0 : runs.front().begin;
    bool snappedBefore = false;
    for (std::size_t i = 0; i < runs.size(); ++i) {
        const bool snappedAfter = snapsAfter(i);
        const qsizetype end = snappedAfter ? (runs[i].end + Block / 2) / Block * Block : runs[i].end;
        const ValueEnvelope::Span span = envelope.span(values, begin, end);
        qsizetype first = begin;
        begin = end;
        const bool edgeBefore = std::exchange(snappedBefore, snappedAfter);
        if (span.isEmpty())
            continue;
        ColumnValues column{columns.runX(i), Unread, Unread, span.low, span.high};
        if (!edgeBefore) {
            while (MeasurementStore::isNull(values[std::size_t(first)]))
                ++first;
            column.first = values[std::size_t(first)];
        }
        if (!snappedAfter) {
            qsizetype last = end - 1;
            while (MeasurementStore::isNull(values[std::size_t(last)]))
                --last;
            column.last = values[std::size_t(last)];
        }
        visit(column);
    }
}

} // namespace history

#include "history/PixelColumns.h"

#include "history/MeasurementStore.h"
#include "history/ValueEnvelope.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace history {

void PixelColumns::group(std::span<const qint64> times, qsizetype begin, qsizetype end, double left, double start,
                         double pixelsPerMillisecond)
{
    const View view{times.data(), begin, end, left, start, pixelsPerMillisecond};
    if (view == m_view && !m_x.empty())
        return;
    m_view = view;
    m_first = begin;
    m_x.clear();
    m_runX.clear();
    m_runs.clear();
    double column = 0;
    for (qsizetype row = begin; row < end; ++row) {
        const double x = left + (double(times[std::size_t(row)]) - start) * pixelsPerMillisecond;
        m_x.push_back(x);
        if (!m_runs.empty() && std::floor(x) == column) {
            m_runs.back().end = row + 1;
        } else {
            column = std::floor(x);
            m_runs.push_back({row, row + 1});
        }
    }
}

void PixelColumns::groupWhole(std::span<const qint64> times, qsizetype begin, qsizetype end, double left, double start,
                              double pixelsPerMillisecond, int firstColumn, int lastColumn)
{
    const View view{times.data(), begin, end, left, start, pixelsPerMillisecond, firstColumn, lastColumn};
    if (view == m_view && !m_runX.empty())
        return;
    m_view = view;
    m_x.clear();
    m_runX.clear();
    m_runs.clear();
    const auto xOf = [&](qint64 time) { return left + (double(time) - start) * pixelsPerMillisecond; };
    // The first row at or right of x, from row on.
    const auto rowAtOrAfter = [&](qsizetype row, double x) {
        return qsizetype(std::partition_point(times.begin() + row, times.begin() + end,
                                              [&](qint64 time) { return xOf(time) < x; })
                         - times.begin());
    };
    const auto addRun = [&](qsizetype from, qsizetype to, double x) {
        if (to > from) {
            m_runs.push_back({from, to});
            m_runX.push_back(x);
        }
    };
    qsizetype row = begin;
    qsizetype next = rowAtOrAfter(row, firstColumn);
    if (next > row)
        addRun(row, next, xOf(times[std::size_t(next - 1)]));
    for (int column = firstColumn; column <= lastColumn; ++column) {
        row = next;
        next = rowAtOrAfter(row, column + 1);
        addRun(row, next, column);
    }
    if (next < end)
        addRun(next, end, xOf(times[std::size_t(next)]));
}

namespace {

// A column's points with a value: the first, the last, the lowest and the highest.
struct ColumnPoints {
    qsizetype first, last, lowest, highest;
    float low, high;
};

// Calls visit for every column with a value, in order.
template <typename Visit>
void ForEachColumn(const PixelColumns& columns, std::span<const float> values, Visit&& visit)
{
    for (const PixelColumns::Run& run : columns.runs()) {
        qsizetype first = run.begin;
        while (first < run.end && MeasurementStore::isNull(values[std::size_t(first)]))
            ++first;
        if (first == run.end)
            continue;
        ColumnPoints points{first, first, first, first, values[std::size_t(first)], values[std::size_t(first)]};
        // Without branches, the values of a column being as unpredictable as noise. A NULL
        // (NaN) compares false every way and changes nothing.
        for (qsizetype row = first + 1; row < run.end; ++row) {
            const float value = values[std::size_t(row)];
            const bool lower = value < points.low;
            const bool higher = value > points.high;
            points.lowest = lower ? row : points.lowest;
            points.low = lower ? value : points.low;
            points.highest = higher ? row : points.highest;
            points.high = higher ? value : points.high;
            points.last = MeasurementStore::isNull(value) ? points.last : row;
        }
        visit(points);
    }
}

} // namespace

void ColumnStrokes(const PixelColumns& columns, std::span<const float> values, std::vector<QLineF>& strokes)
{
    const std::size_t before = strokes.size();
    std::optional<ColumnPoints> previous;
    ForEachColumn(columns, values, [&](const ColumnPoints& points) {
        if (previous) {
            // Between neighbouring columns, a join whose values lie within both columns'
            // strokes covers no pixel that those do not: it is left out, which spares most
            // joins of a dense chart.
            const float from = values[std::size_t(previous->last)];
            const float to = values[std::size_t(points.first)];
            const bool covered = std::floor(columns.x(points.first)) == std::floor(columns.x(previous->first)) + 1
                                 && previous->low < previous->high && points.low < points.high
                                 && std::min(from, to) >= std::max(previous->low, points.low)
                                 && std::max(from, to) <= std::min(previous->high, points.high);
            if (!covered)
                strokes.emplace_back(columns.x(previous->last), from, columns.x(points.first), to);
        }
        if (points.lowest != points.highest)
            strokes.emplace_back(columns.x(points.lowest), points.low, columns.x(points.highest), points.high);
        previous = points;
    });
    // A lone value is a stroke of no length, for the caller to mark.
    if (strokes.size() == before && previous)
        strokes.emplace_back(columns.x(previous->last), values[std::size_t(previous->last)], columns.x(previous->last),
                             values[std::size_t(previous->last)]);
}

void ColumnPolyline(const PixelColumns& columns, std::span<const float> values, std::vector<QPointF>& points)
{
    const auto add = [&](qsizetype row) {
        const QPointF point(columns.x(row), values[std::size_t(row)]);
        if (points.empty() || points.back() != point)
            points.push_back(point);
    };
    ForEachColumn(columns, values, [&](const ColumnPoints& column) {
        add(column.first);
        add(std::min(column.lowest, column.highest));
        add(std::max(column.lowest, column.highest));
        add(column.last);
    });
}

} // namespace history

#include "history/PixelColumns.h"

#include "history/MeasurementStore.h"

#include <cmath>

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

void ColumnStrokes(const PixelColumns& columns, std::span<const float> values, std::vector<QLineF>& strokes)
{
    const std::size_t before = strokes.size();
    qsizetype previousLast = -1;
    double previousColumn = 0;
    float previousLow = 0, previousHigh = 0;
    for (const PixelColumns::Run& run : columns.runs()) {
        qsizetype first = run.begin;
        while (first < run.end && MeasurementStore::isNull(values[std::size_t(first)]))
            ++first;
        if (first == run.end)
            continue;
        qsizetype last = first, lowest = first, highest = first;
        float low = values[std::size_t(first)], high = low;
        // Without branches, the values of a column being as unpredictable as noise. A NULL
        // (NaN) compares false every way and changes nothing.
        for (qsizetype row = first + 1; row < run.end; ++row) {
            const float value = values[std::size_t(row)];
            const bool lower = value < low;
            const bool higher = value > high;
            lowest = lower ? row : lowest;
            low = lower ? value : low;
            highest = higher ? row : highest;
            high = higher ? value : high;
            last = MeasurementStore::isNull(value) ? last : row;
        }
        const double column = std::floor(columns.x(first));
        if (previousLast >= 0) {
            // Between neighbouring columns, a join whose values lie within both columns'
            // strokes covers no pixel that those do not: it is left out, which spares most
            // joins of a dense chart.
            const float from = values[std::size_t(previousLast)];
            const float to = values[std::size_t(first)];
            const bool covered = column == previousColumn + 1 && previousLow < previousHigh && low < high
                                 && std::min(from, to) >= std::max(previousLow, low)
                                 && std::max(from, to) <= std::min(previousHigh, high);
            if (!covered)
                strokes.emplace_back(columns.x(previousLast), from, columns.x(first), to);
        }
        if (lowest != highest)
            strokes.emplace_back(columns.x(lowest), low, columns.x(highest), high);
        previousLast = last;
        previousColumn = column;
        previousLow = low;
        previousHigh = high;
    }
    // A lone value is a stroke of no length: the pen's square cap shows it as a dot.
    if (strokes.size() == before && previousLast >= 0)
        strokes.emplace_back(columns.x(previousLast), values[std::size_t(previousLast)], columns.x(previousLast),
                             values[std::size_t(previousLast)]);
}

} // namespace history

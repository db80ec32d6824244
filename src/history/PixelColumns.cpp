#include "history/PixelColumns.h"

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
    for (const PixelColumns::Run& run : columns.runs()) {
        qsizetype first = -1, last = -1, lowest = -1, highest = -1;
        float low = 0, high = 0;
        for (qsizetype row = run.begin; row < run.end; ++row) {
            const float value = values[std::size_t(row)];
            if (value != value) // NULL
                continue;
            if (first < 0) {
                first = lowest = highest = row;
                low = high = value;
            } else if (value < low) {
                low = value;
                lowest = row;
            } else if (value > high) {
                high = value;
                highest = row;
            }
            last = row;
        }
        if (first < 0)
            continue;
        if (previousLast >= 0)
            strokes.emplace_back(columns.x(previousLast), values[std::size_t(previousLast)], columns.x(first),
                                 values[std::size_t(first)]);
        if (lowest != highest)
            strokes.emplace_back(columns.x(lowest), low, columns.x(highest), high);
        previousLast = last;
    }
    // A lone value is a stroke of no length: the pen's square cap shows it as a dot.
    if (strokes.size() == before && previousLast >= 0)
        strokes.emplace_back(columns.x(previousLast), values[std::size_t(previousLast)], columns.x(previousLast),
                             values[std::size_t(previousLast)]);
}

} // namespace history

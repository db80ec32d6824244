#pragma once

#include <QLineF>
#include <QPointF>
#include <span>
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

    std::span<const Run> runs() const { return m_runs; }
    // The pixel x of a row of the last grouping.
    double x(qsizetype row) const { return m_x[std::size_t(row - m_first)]; }

private:
    struct View {
        const qint64* times = nullptr;
        qsizetype begin = 0;
        qsizetype end = 0;
        double left = 0;
        double start = 0;
        double pixelsPerMillisecond = 0;
        bool operator==(const View&) const = default;
    };

    View m_view;
    qsizetype m_first = 0;
    std::vector<double> m_x;
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

} // namespace history

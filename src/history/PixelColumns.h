#pragma once

#include <QLineF>
#include <QPointF>
#include <span>
#include <vector>

namespace history {

class ValueEnvelope;

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

// The strokes of a series over the runs of groupWhole(), for drawing without anti-aliasing
// where the points outnumber the pixel columns: in each column one vertical stroke from its
// lowest to its highest value (read from envelope), and one from the last value of a
// column to the first of the next unless both lie within both columns' strokes. No peak is
// lost; the cost per column does not grow with the rows. x is in pixels, y the value itself.
void EnvelopeStrokes(const PixelColumns& columns, const ValueEnvelope& envelope, std::span<const float> values,
                     std::vector<QLineF>& strokes);

} // namespace history

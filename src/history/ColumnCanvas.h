#pragma once

#include <QImage>
#include <QLineF>
#include <QRect>
#include <qcustomplot.h>
#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>
#include <vector>

namespace history {

// A picture of a chart's plot area drawn with lines one pixel wide and without
// anti-aliasing, kept column by column (an image turned on its side), so that the vertical
// strokes of a dense series are each one contiguous fill. Every series of a chart draws into
// it in turn, a later one over an earlier one, as a painter would; a thousand series of a
// thousand columns take a small part of what the same strokes cost through a painter. A
// pixel (x, y) covers the coordinates [x - 0.5, x + 0.5) x [y - 0.5, y + 0.5), as the
// painter's aliased lines do. Nothing is kept from one frame to the next.
class ColumnCanvas {
public:
    // Starts a picture of area (in the painter's pixels), all transparent; while one is open
    // for the same area, it goes on with it.
    void open(const QRect& area);
    bool isOpen() const { return m_pixels != nullptr; }
    const QRect& area() const { return m_area; }
    // A line in the painter's pixels in colour (opaque), clipped to the area.
    void drawLine(const QLineF& line, QRgb colour);
    // Rows top to bottom (painter pixels) of the pixel column at x (area pixels); clipped.
    void fillColumn(int x, double top, double bottom, quint32 pixel)
    {
        const int height = m_area.height();
        top -= m_area.top();
        bottom -= m_area.top();
        if (x < 0 || x >= m_area.width() || bottom < -0.5 || top >= height - 0.5)
            return;
        quint32* const pixels = m_pixels + std::size_t(x) * m_columnStride;
        std::fill(pixels + pixelOf(top, 0, height - 1), pixels + pixelOf(bottom, 0, height - 1) + 1, pixel);
    }
    // A drawing into the picture, made when the picture is drawn, in the order deferred:
    // many series' drawings are then shared among the cores, each core's part into a
    // picture of its own, laid over each other in order (the same pixels as one by one).
    using Drawing = std::function<void(ColumnCanvas&)>;
    void defer(Drawing drawing) { m_deferred.push_back(std::move(drawing)); }
    // Makes the deferred drawings, draws the picture made since open() at its area and lets
    // it go.
    void drawInto(QPainter& painter);

    // The pixel of a coordinate, limited to [low, high] first (low >= -1), so that a point far
    // outside the area (a row beyond the view, a value off the axis) still gives a number
    // that fits an int; NaN gives high. Truncating a positive number is its floor, far
    // cheaper than std::floor.
    static int pixelOf(double coordinate, int low, int high)
    {
        constexpr double Offset = 16;
        const double below = coordinate < high ? coordinate : double(high);
        return int((below > low ? below : double(low)) + (0.5 + Offset)) - int(Offset);
    }

private:
    void makeDeferred();
    // Lays the drawn pixels of a later picture of the same area over this one.
    void cover(const ColumnCanvas& later);

    QRect m_area;
    QImage m_columns; // one line per column of the area, from the top down
    quint32* m_pixels = nullptr; // m_columns' pixels while a picture is open
    std::size_t m_columnStride = 0;
    std::vector<Drawing> m_deferred;
};

// One series drawn into a canvas a pixel column at a time, left to right: each column a
// vertical stroke over its values, and between neighbouring columns the line from the last
// value of one to the first of the next, as an aliased line covers it (each column up to the
// middle between the two); columns further apart are joined by a line. Every stroke of a
// column is one fill.
class ColumnPen {
public:
    ColumnPen(ColumnCanvas& canvas, QRgb colour);
    ColumnPen(const ColumnPen&) = delete;
    ColumnPen& operator=(const ColumnPen&) = delete;

    // A column at x with the y of its first, last, lowest and highest value, all in the
    // painter's pixels; x ascending from call to call. A first or last may be NaN (not read):
    // the join then ends at that column's stroke where it lies nearest the other column.
    void add(double x, double first, double last, double low, double high)
    {
        double top = std::min(low, high);
        double bottom = std::max(low, high);
        if (m_pending) {
            double from = m_last, to = first;
            if (std::isnan(from) && std::isnan(to)) {
                from = std::clamp(top, m_top, m_bottom);
                to = std::clamp(m_bottom, top, bottom);
            } else if (std::isnan(from)) {
                from = std::clamp(to, m_top, m_bottom);
            } else if (std::isnan(to)) {
                to = std::clamp(from, top, bottom);
            }
            if (x == m_x + 1) {
                // Neighbours: each column takes its half of the join.
                const double middle = (from + to) / 2;
                m_top = std::min(m_top, middle);
                m_bottom = std::max(m_bottom, middle);
                top = std::min(top, middle);
                bottom = std::max(bottom, middle);
                fillPending();
            } else {
                fillPending();
                m_canvas.drawLine(QLineF(m_x, from, x, to), m_colour);
            }
        }
        m_pending = true;
        m_x = x;
        m_last = last;
        m_top = top;
        m_bottom = bottom;
    }
    // Draws the last column.
    void finish();

private:
    void fillPending()
    {
        const QRect& area = m_canvas.area();
        m_canvas.fillColumn(ColumnCanvas::pixelOf(m_x - area.left(), -1, area.width()), m_top, m_bottom, m_pixel);
    }

    ColumnCanvas& m_canvas;
    const QRgb m_colour;
    const quint32 m_pixel;
    bool m_pending = false;
    double m_x = 0; // the pending column, in the painter's pixels
    double m_last = 0;
    double m_top = 0;
    double m_bottom = 0;
};

// Shows a chart's column canvas where its layer lies, after the series drawn into it.
class ColumnCanvasLayer final : public QCPLayerable {
    Q_OBJECT
public:
    ColumnCanvasLayer(QCustomPlot* plot, const QString& layer, std::shared_ptr<ColumnCanvas> canvas);

protected:
    void applyDefaultAntialiasingHint(QCPPainter* painter) const override;
    void draw(QCPPainter* painter) override;

private:
    std::shared_ptr<ColumnCanvas> m_canvas;
};

} // namespace history

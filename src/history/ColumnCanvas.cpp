#include "history/ColumnCanvas.h"

#include <algorithm>
#include <cmath>
#include <thread>
#include <utility>

namespace history {

void ColumnCanvas::open(const QRect& area)
{
    if (isOpen() && area == m_area)
        return;
    m_area = area;
    m_columns = QImage(std::max(area.height(), 1), std::max(area.width(), 1), QImage::Format_ARGB32_Premultiplied);
    m_columns.fill(Qt::transparent);
    m_pixels = reinterpret_cast<quint32*>(m_columns.bits());
    m_columnStride = std::size_t(m_columns.bytesPerLine()) / sizeof(quint32);
}

void ColumnCanvas::drawLine(const QLineF& line, QRgb colour)
{
    double x0 = line.x1() - m_area.left(), y0 = line.y1();
    double x1 = line.x2() - m_area.left(), y1 = line.y2();
    if (!isOpen() || !std::isfinite(x0) || !std::isfinite(y0) || !std::isfinite(x1) || !std::isfinite(y1))
        return;
    if (x1 < x0) {
        std::swap(x0, x1);
        std::swap(y0, y1);
    }
    const quint32 pixel = qPremultiply(colour);
    const int width = m_area.width();
    const int first = ColumnCanvas::pixelOf(x0, -1, width);
    const int last = ColumnCanvas::pixelOf(x1, -1, width);
    if (first == last) {
        fillColumn(first, std::min(y0, y1), std::max(y0, y1), pixel);
        return;
    }
    // Per column, the rows that the part of the line inside the column passes through.
    const double slope = (y1 - y0) / (x1 - x0);
    for (int column = std::max(first, 0); column <= std::min(last, width - 1); ++column) {
        const double ya = y0 + (std::max(x0, column - 0.5) - x0) * slope;
        const double yb = y0 + (std::min(x1, column + 0.5) - x0) * slope;
        fillColumn(column, std::min(ya, yb), std::max(ya, yb), pixel);
    }
}

void ColumnCanvas::makeDeferred()
{
    // Two parts on two cores or more, each of a few hundred series at least: that keeps a
    // frame of every series of the largest fetch well within a refresh, while the second
    // picture (as large as the chart) stays small beside the fetch it shows.
    constexpr std::size_t MostParts = 2;
    constexpr std::size_t LeastPerPart = 256;
    const std::vector<Drawing> drawings = std::exchange(m_deferred, {});
    const std::size_t parts = std::clamp<std::size_t>(
        std::min<std::size_t>(std::thread::hardware_concurrency(), MostParts), 1,
        std::max<std::size_t>(drawings.size() / LeastPerPart, 1));
    const auto partBegin = [&](std::size_t part) { return drawings.begin() + std::ptrdiff_t(drawings.size() * part / parts); };
    const auto make = [&](std::size_t part, ColumnCanvas& canvas) {
        for (auto drawing = partBegin(part); drawing != partBegin(part + 1); ++drawing)
            (*drawing)(canvas);
    };
    std::vector<ColumnCanvas> later(parts - 1);
    {
        std::vector<std::jthread> threads;
        for (std::size_t part = 1; part < parts; ++part) {
            ColumnCanvas& canvas = later[part - 1];
            canvas.open(m_area);
            threads.emplace_back([&make, &canvas, part] { make(part, canvas); });
        }
        make(0, *this);
    }
    for (const ColumnCanvas& canvas : later)
        cover(canvas);
}

void ColumnCanvas::cover(const ColumnCanvas& later)
{
    const std::size_t count = std::size_t(m_columns.height()) * m_columnStride;
    for (std::size_t pixel = 0; pixel < count; ++pixel) {
        if (const quint32 drawn = later.m_pixels[pixel])
            m_pixels[pixel] = drawn;
    }
}

void ColumnCanvas::drawInto(QPainter& painter)
{
    if (!isOpen())
        return;
    makeDeferred();
    // The image's x runs down the area and its y across.
    painter.save();
    painter.setTransform(QTransform(0, 1, 1, 0, m_area.left(), m_area.top()), true);
    painter.drawImage(QPoint(0, 0), m_columns);
    painter.restore();
    m_columns = QImage();
    m_pixels = nullptr;
}

ColumnPen::ColumnPen(ColumnCanvas& canvas, QRgb colour)
    : m_canvas(canvas)
    , m_colour(colour)
    , m_pixel(qPremultiply(colour))
{
}

void ColumnPen::finish()
{
    if (m_pending)
        fillPending();
    m_pending = false;
}

ColumnCanvasLayer::ColumnCanvasLayer(QCustomPlot* plot, const QString& layer, std::shared_ptr<ColumnCanvas> canvas)
    : QCPLayerable(plot, layer)
    , m_canvas(std::move(canvas))
{
}

void ColumnCanvasLayer::applyDefaultAntialiasingHint(QCPPainter* painter) const
{
    painter->setAntialiasing(false);
}

void ColumnCanvasLayer::draw(QCPPainter* painter)
{
    m_canvas->drawInto(*painter);
}

} // namespace history

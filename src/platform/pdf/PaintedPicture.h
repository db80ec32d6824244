#pragma once

#include "platform/pdf/Element.h"

#include <functional>

class QPaintDevice;

namespace pdf {

// Vector graphics painted into the box when the page is printed, clipped to the box. The
// paint function opens a painter of its own on the device it is given (a QPainter, or a
// subclass such as QCustomPlot's QCPPainter); the device's unit is one point and its origin
// the box's top-left corner. What it draws stays lines, fills and text in the PDF, sharp at
// any zoom.
class PaintedPicture : public Element {
public:
    using Paint = std::function<void(QPaintDevice& device)>;

    explicit PaintedPicture(const QRectF& box, Paint paint = Paint());

    void setPaint(Paint paint) { m_paint = std::move(paint); }

    void print(Canvas& canvas, QPointF origin) const override;

private:
    Paint m_paint;
};

} // namespace pdf

#include "platform/pdf/PaintedPicture.h"

#include "platform/pdf/Canvas.h"

namespace pdf {

PaintedPicture::PaintedPicture(const QRectF& box, Paint paint)
    : Element(box)
    , m_paint(std::move(paint))
{
}

void PaintedPicture::print(Canvas& canvas, QPointF origin) const
{
    if (m_paint)
        canvas.paint(box().translated(origin), m_paint);
}

} // namespace pdf

#include "platform/pdf/Rect.h"

#include "platform/pdf/Canvas.h"

namespace pdf {

Rect::Rect(const QRectF& box, const QColor& outline, const std::optional<QColor>& fill)
    : Element(box)
    , m_outline(outline)
    , m_fill(fill)
{
}

void Rect::print(Canvas& canvas, QPointF origin) const
{
    canvas.drawRect(box().translated(origin), m_outline, m_fill);
}

} // namespace pdf

#include "platform/pdf/Label.h"

#include "platform/pdf/Canvas.h"

namespace pdf {

Label::Label(const QRectF& box, const QString& text, const Font& font, Alignment alignment, const QColor& colour)
    : Element(box)
    , m_text(text)
    , m_font(font)
    , m_alignment(alignment)
    , m_colour(colour)
{
}

void Label::print(Canvas& canvas, QPointF origin) const
{
    if (m_text.isEmpty())
        return;
    const QRectF box = this->box().translated(origin);
    const QByteArray text = canvas.encode(m_text);
    double left = box.left();
    if (m_alignment == Alignment::Centre)
        left = box.center().x() - canvas.textWidth(text, m_font) / 2;
    else if (m_alignment == Alignment::Right)
        left = box.right() - canvas.textWidth(text, m_font);
    canvas.drawText({left, box.top() + canvas.ascent(m_font)}, text, m_font, m_colour);
}

} // namespace pdf

#include "report/CellLabel.h"

#include "platform/pdf/Canvas.h"

namespace report {

CellLabel::CellLabel(const QRectF& box, double maxWidth, const pdf::Font& font)
    : pdf::Label(box, QString(), font, Alignment::Left)
    , m_maxWidth(maxWidth)
{
}

void CellLabel::print(pdf::Canvas& canvas, QPointF origin) const
{
    const auto width = [&](const QString& text, const pdf::Font& font) { return canvas.textWidth(canvas.encode(text), font); };
    pdf::Font font = this->font();
    QString text = this->text();
    if (width(text, font) > m_maxWidth) {
        font.size = std::max(SmallestSize, font.size * m_maxWidth / width(text, font));
        // Counted in characters, so that a character outside the basic plane is never split.
        std::u32string characters = text.toStdU32String();
        while (!characters.empty() && width(text, font) > m_maxWidth) {
            characters.pop_back();
            text = QString::fromStdU32String(characters) + QStringLiteral("...");
        }
    }
    const pdf::Label fitted(box(), text, font, alignment(), colour());
    fitted.print(canvas, origin);
}

} // namespace report

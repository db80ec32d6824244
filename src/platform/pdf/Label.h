#pragma once

#include "platform/pdf/Element.h"
#include "platform/pdf/Font.h"

#include <QColor>
#include <QString>

namespace pdf {

// One line of text aligned in its box, with the top of the text at the top of the box.
// The text is not clipped: a longer text runs out of the box to the right when left-aligned,
// to the left when right-aligned and to both sides when centred. Characters that the
// embedded font lacks print as EmbeddedFonts::MissingGlyph.
class Label : public Element {
public:
    enum class Alignment { Left, Centre, Right };

    explicit Label(const QRectF& box, const QString& text = QString(), const Font& font = Font(),
                   Alignment alignment = Alignment::Left, const QColor& colour = Qt::black);

    const QString& text() const { return m_text; }
    void setText(const QString& text) { m_text = text; }
    const Font& font() const { return m_font; }
    void setFont(const Font& font) { m_font = font; }
    Alignment alignment() const { return m_alignment; }
    void setAlignment(Alignment alignment) { m_alignment = alignment; }
    const QColor& colour() const { return m_colour; }
    void setColour(const QColor& colour) { m_colour = colour; }

    void print(Canvas& canvas, QPointF origin) const override;

private:
    QString m_text;
    Font m_font;
    Alignment m_alignment;
    QColor m_colour;
};

} // namespace pdf

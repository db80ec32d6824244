#pragma once

#include "platform/pdf/Element.h"

#include <QColor>
#include <optional>

namespace pdf {

// A box outlined with the thinnest line a viewer draws, filled or not. A box one point
// high is a horizontal rule (drawn as a single line).
class Rect : public Element {
public:
    explicit Rect(const QRectF& box, const QColor& outline = Qt::black,
                  const std::optional<QColor>& fill = std::nullopt);

    const QColor& outlineColour() const { return m_outline; }
    void setOutlineColour(const QColor& colour) { m_outline = colour; }
    const std::optional<QColor>& fillColour() const { return m_fill; }
    void setFillColour(const std::optional<QColor>& colour) { m_fill = colour; }

    void print(Canvas& canvas, QPointF origin) const override;

private:
    QColor m_outline;
    std::optional<QColor> m_fill;
};

} // namespace pdf

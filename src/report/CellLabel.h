#pragma once

#include "platform/pdf/Label.h"

namespace report {

// A left-aligned label that keeps its text within a width: a wider text is set smaller,
// down to a smallest size, and what still does not fit is cut and ends in "...". Measured
// with the page's own font, so it holds for whatever face the page prints with.
class CellLabel final : public pdf::Label {
public:
    static constexpr double SmallestSize = 8;

    CellLabel(const QRectF& box, double maxWidth, const pdf::Font& font);

    void print(pdf::Canvas& canvas, QPointF origin) const override;

private:
    double m_maxWidth;
};

} // namespace report

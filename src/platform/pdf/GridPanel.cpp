#include "platform/pdf/GridPanel.h"

#include <cmath>
#include <stdexcept>

namespace pdf {

GridPanel::GridPanel(const QRectF& box, int columns, int rows)
    : Element(box)
    , m_columns(columns)
    , m_rows(rows)
{
    if (columns < 1 || rows < 1)
        throw std::invalid_argument("A grid panel needs at least one column and one row");
}

QPointF GridPanel::cellOrigin(int column, int row) const
{
    return {std::floor(column * box().width() / m_columns), std::floor(row * box().height() / m_rows)};
}

void GridPanel::print(Canvas& canvas, QPointF origin) const
{
    const QPointF corner = origin + box().topLeft();
    for (int row = 0; row < m_rows; ++row) {
        for (int column = 0; column < m_columns; ++column) {
            if (m_beforePrintChild)
                m_beforePrintChild(column, row);
            m_children.print(canvas, corner + cellOrigin(column, row));
        }
    }
}

} // namespace pdf

#pragma once

#include "platform/pdf/ElementList.h"

#include <functional>

namespace pdf {

// A table whose cells all print the same child elements, placed relative to the cell's
// origin. The cell (column c, row r) starts at floor(c × width / columns),
// floor(r × height / rows) from the panel's corner. Before the children of a cell are
// printed the before-print-child handler gets the cell's column and row, so it can set the
// children's texts and colours for that cell; cells go row by row, left to right. The
// children keep their own boxes: a child larger than the cell pitch overlaps the next cells,
// and later cells print over earlier ones.
class GridPanel : public Element {
public:
    using BeforePrintChild = std::function<void(int column, int row)>;

    // Throws std::invalid_argument unless there is at least one column and one row.
    GridPanel(const QRectF& box, int columns, int rows);

    template <typename T, typename... Args>
    T& add(Args&&... args)
    {
        return m_children.add<T>(std::forward<Args>(args)...);
    }

    void setBeforePrintChild(BeforePrintChild handler) { m_beforePrintChild = std::move(handler); }
    int columns() const { return m_columns; }
    int rows() const { return m_rows; }
    // Relative to the panel's top-left corner.
    QPointF cellOrigin(int column, int row) const;

    void print(Canvas& canvas, QPointF origin) const override;

private:
    int m_columns;
    int m_rows;
    ElementList m_children;
    BeforePrintChild m_beforePrintChild;
};

} // namespace pdf

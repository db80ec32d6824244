#pragma once

#include "platform/sql/FloatCell.h"
#include "platform/sql/ResultCells.h"

#include <QByteArray>
#include <QDateTime>
#include <cmath>

// The values of a row's cells, whether the server sent them as text or as typed values.
// A typed value is taken as it is; anything else is converted from its text, with the same
// rules (and the same errors) as a text query's cell.
namespace sql {

FloatCell readFloatSlowly(const RowCells& cells, int index);

// A cell as a 32-bit float, without an error: a FLOAT is the float stored, a DOUBLE or an
// integer the float nearest to it, a text or decimal its number.
inline FloatCell readFloat(const RowCells& cells, int index)
{
    if (cells.isNull(index))
        return {};
    if (cells.kind(index) == CellKind::Float) {
        const float value = cells.typed<float>(index);
        if (std::isfinite(value))
            return {FloatCell::State::Value, value};
    }
    return readFloatSlowly(cells, index);
}

// The text of a cell that is not NULL: a Text cell's bytes, or a typed value written as the
// server writes it, a float or double with the fewest digits that give it back exactly.
QByteArray cellText(const RowCells& cells, int index);

// The number or date-time of a cell that is not NULL; throws SqlError naming the cell's
// text when it holds none.
double readDouble(const RowCells& cells, int index);
qint32 readInt32(const RowCells& cells, int index);
QDateTime readDateTime(const RowCells& cells, int index);

} // namespace sql

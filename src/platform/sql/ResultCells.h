#pragma once

#include <QByteArrayView>
#include <cstring>
#include <mysql.h>

namespace sql {

// How the cells of one result column are held. A text query's result holds every cell as
// the server's text of it. A prepared statement's result holds each cell as the server
// sends it: a FLOAT as the float32 stored, a DOUBLE as a double, an integer as a 64-bit
// integer, a date, date-time or time as a MYSQL_TIME, anything else (texts, decimals, bit
// fields) as its bytes, which are text too.
enum class CellKind : quint8 { Text, Float, Double, Signed, Unsigned, Date, DateTime, Time };

struct ColumnKind {
    CellKind kind = CellKind::Text;
    // The digits of a second's fraction that the column's text shows (date-times and times).
    quint8 decimals = 0;
};

// The cells of the current row, of either kind of result, read by column index without a
// check: valid until the next row.
struct RowCells {
    const char* const* data = nullptr;       // a cell's bytes or its typed value; a text result's is null for NULL
    const unsigned long* lengths = nullptr;  // the byte count of a Text cell
    const my_bool* nulls = nullptr;          // a prepared statement's NULL flags; none for a text result
    const ColumnKind* kinds = nullptr;

    bool isNull(int index) const { return nulls ? nulls[index] != 0 : data[index] == nullptr; }
    CellKind kind(int index) const { return kinds[index].kind; }
    QByteArrayView bytes(int index) const { return {data[index], qsizetype(lengths[index])}; }
    // The typed value of a cell that is not Text.
    template <typename T>
    T typed(int index) const
    {
        T value;
        std::memcpy(&value, data[index], sizeof value);
        return value;
    }
};

} // namespace sql

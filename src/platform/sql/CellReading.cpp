#include "platform/sql/CellReading.h"

#include "platform/sql/ValueParsing.h"

#include <charconv>
#include <cstdio>
#include <limits>

namespace sql {

namespace {

// A number that a float cannot hold is out of range, whatever its type.
FloatCell Narrowed(double value)
{
    if (std::isnan(value))
        return {FloatCell::State::NotANumber};
    const float narrowed = float(value);
    if (std::isinf(narrowed))
        return {FloatCell::State::OutOfRange};
    return {FloatCell::State::Value, narrowed};
}

template <typename Number>
QByteArray NumberText(Number value)
{
    char text[32];
    const auto [end, error] = std::to_chars(text, text + sizeof text, value);
    return QByteArray(text, error == std::errc() ? end - text : 0);
}

QByteArray FractionText(unsigned long microseconds, int decimals)
{
    if (decimals <= 0 || decimals > 6)
        return {};
    char text[8];
    std::snprintf(text, sizeof text, ".%06lu", microseconds % 1000000);
    return QByteArray(text, decimals + 1);
}

QByteArray TimeText(const MYSQL_TIME& time, CellKind kind, int decimals)
{
    char text[40];
    switch (kind) {
    case CellKind::Date:
        std::snprintf(text, sizeof text, "%04u-%02u-%02u", time.year, time.month, time.day);
        return text;
    case CellKind::Time:
        std::snprintf(text, sizeof text, "%s%02u:%02u:%02u", time.neg ? "-" : "", time.hour, time.minute, time.second);
        return text + FractionText(time.second_part, decimals);
    default:
        std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u", time.year, time.month, time.day, time.hour,
                      time.minute, time.second);
        return text + FractionText(time.second_part, decimals);
    }
}

} // namespace

FloatCell readFloatSlowly(const RowCells& cells, int index)
{
    switch (cells.kind(index)) {
    case CellKind::Float:
        return Narrowed(double(cells.typed<float>(index)));
    case CellKind::Double:
        return Narrowed(cells.typed<double>(index));
    case CellKind::Signed:
        return {FloatCell::State::Value, float(cells.typed<qint64>(index))};
    case CellKind::Unsigned:
        return {FloatCell::State::Value, float(cells.typed<quint64>(index))};
    case CellKind::Text:
        return readFloatText(cells.bytes(index));
    case CellKind::Date:
    case CellKind::DateTime:
    case CellKind::Time:
        break;
    }
    return {FloatCell::State::NotANumber};
}

QByteArray cellText(const RowCells& cells, int index)
{
    const ColumnKind column = cells.kinds[index];
    switch (column.kind) {
    case CellKind::Text:
        return cells.bytes(index).toByteArray();
    case CellKind::Float:
        return NumberText(cells.typed<float>(index));
    case CellKind::Double:
        return NumberText(cells.typed<double>(index));
    case CellKind::Signed:
        return NumberText(cells.typed<qint64>(index));
    case CellKind::Unsigned:
        return NumberText(cells.typed<quint64>(index));
    case CellKind::Date:
    case CellKind::DateTime:
    case CellKind::Time:
        break;
    }
    return TimeText(cells.typed<MYSQL_TIME>(index), column.kind, column.decimals);
}

double readDouble(const RowCells& cells, int index)
{
    switch (cells.kind(index)) {
    case CellKind::Float:
        return double(cells.typed<float>(index));
    case CellKind::Double:
        return cells.typed<double>(index);
    case CellKind::Signed:
        return double(cells.typed<qint64>(index));
    case CellKind::Unsigned:
        return double(cells.typed<quint64>(index));
    default:
        return parseDouble(cellText(cells, index));
    }
}

qint32 readInt32(const RowCells& cells, int index)
{
    constexpr qint64 Lowest = std::numeric_limits<qint32>::min();
    constexpr qint64 Highest = std::numeric_limits<qint32>::max();
    if (const CellKind kind = cells.kind(index); kind == CellKind::Signed) {
        if (const qint64 value = cells.typed<qint64>(index); value >= Lowest && value <= Highest)
            return qint32(value);
    } else if (kind == CellKind::Unsigned) {
        if (const quint64 value = cells.typed<quint64>(index); value <= quint64(Highest))
            return qint32(value);
    }
    // Everything else, and an integer beyond 32 bits, fails or succeeds as its text does.
    return parseInt32(cellText(cells, index));
}

QDateTime readDateTime(const RowCells& cells, int index)
{
    if (const CellKind kind = cells.kind(index); kind == CellKind::Date || kind == CellKind::DateTime) {
        const MYSQL_TIME time = cells.typed<MYSQL_TIME>(index);
        const QDate date(int(time.year), int(time.month), int(time.day));
        const QTime clock(int(time.hour), int(time.minute), int(time.second), int(time.second_part / 1000));
        // A wall-clock value without a zone, as the text's parse gives it.
        if (date.isValid() && clock.isValid())
            return QDateTime(date, clock, Qt::UTC);
    }
    // A zero date, a time of day and a text fail or succeed as their text does.
    return parseDateTime(cellText(cells, index));
}

} // namespace sql

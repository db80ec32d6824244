#include "history/HistoryQueries.h"

namespace history {

namespace {

QString RangeCondition(const QString& from, const QString& to)
{
    return QStringLiteral("(DT >= '") + from + QStringLiteral("' AND DT <= '") + to + QStringLiteral("')");
}

} // namespace

QString MeasurementQueryText(const QString& table, const QString& from, const QString& to)
{
    return QStringLiteral("SELECT *from ") + table + QStringLiteral(" WHERE ") + RangeCondition(from, to)
           + QStringLiteral(" ORDER BY DT ASC;");
}

QString EventQueryText(const QString& table, const QString& from, const QString& to)
{
    return QStringLiteral("SELECT *from ") + table + QStringLiteral(" WHERE ") + RangeCondition(from, to)
           + QStringLiteral("ORDER BY DT ASC;");
}

QString RowCountQueryText(const QString& table, const QString& from, const QString& to)
{
    return QStringLiteral("SELECT COUNT(*) FROM ") + table + QStringLiteral(" WHERE ") + RangeCondition(from, to);
}

} // namespace history

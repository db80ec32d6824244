#include "db/MeasurementTable.h"

#include "db/Contract.h"
#include "platform/sql/SqlQuery.h"

namespace db {

std::optional<QDateTime> OpenMeasurementRow(sql::SqlQuery& query, const QString& table, MeasurementRow which)
{
    query.setSql(QStringLiteral("SELECT * FROM ") + table
                 + (which == MeasurementRow::Oldest ? QStringLiteral(" ORDER BY DT ASC LIMIT 1")
                                                    : QStringLiteral(" ORDER BY DT DESC LIMIT 1")));
    query.open();
    if (query.eof()) {
        query.close();
        return std::nullopt;
    }
    return query.toDateTime(query.fieldIndex(contract::DateTimeColumn));
}

QString MissingColumnsText(const QString& table, const QStringList& columns)
{
    return QStringLiteral("W tabeli %1 brakuje kolumn: %2.").arg(table, columns.join(QStringLiteral(", ")));
}

} // namespace db

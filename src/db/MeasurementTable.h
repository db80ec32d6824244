#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <optional>

namespace sql { class SqlQuery; }

namespace db {

enum class MeasurementRow { Oldest, Newest };

// Opens "SELECT * FROM " + table + " ORDER BY DT ASC|DESC LIMIT 1" and gives the row's DT,
// with the query left on that row. An empty table gives nothing and closes the query.
std::optional<QDateTime> OpenMeasurementRow(sql::SqlQuery& query, const QString& table, MeasurementRow which);

// The operator's message for channel columns that table lacks, naming every one of them.
QString MissingColumnsText(const QString& table, const QStringList& columns);

} // namespace db

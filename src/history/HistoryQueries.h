#pragma once

#include <QString>

namespace history {

// The statements of the history fetches, for a range given by its two bound texts
// ("yyyy-MM-dd hh:mm:ss", both inclusive).
// "SELECT *from <table> WHERE (DT >= '<from>' AND DT <= '<to>') ORDER BY DT ASC;"
QString MeasurementQueryText(const QString& table, const QString& from, const QString& to);
// The same without the blank before ORDER.
QString EventQueryText(const QString& table, const QString& from, const QString& to);
// How many rows the measurement statement returns, asked before it streams them.
QString RowCountQueryText(const QString& table, const QString& from, const QString& to);

} // namespace history

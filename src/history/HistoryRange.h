#pragma once

#include <QDateTime>
#include <QString>

namespace db {
class CDataBase;
struct ChannelTable;
}
namespace sql { class SqlQuery; }

namespace history {

class CalendarPicker;
class StringGrid;
class TimePicker;

// The start or end of the history range as its two pickers hold it, and as a query literal.
struct RangeBound {
    QDateTime value;
    QString text; // "yyyy-MM-dd hh:mm:ss"
};
RangeBound ReadRangeBound(const CalendarPicker& date, const TimePicker& time);

// The event grid's five columns with their headers and widths.
void PrepareEventGrid(StringGrid& grid);
// The measurement grid: the date-time column, then a value and an alarm column per channel.
void PrepareDataGrid(StringGrid& grid, const db::ChannelTable& channels, quint32 channelCount);
// Spans the history range from the oldest to the newest stored row of table; nothing when
// not connected or when the table has no row yet.
void InitDateRange(const db::CDataBase& database, sql::SqlQuery& query, const QString& table, CalendarPicker& startDate,
                   TimePicker& startTime, CalendarPicker& endDate, TimePicker& endTime);

} // namespace history

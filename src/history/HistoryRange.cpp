#include "history/HistoryRange.h"

#include "common/DateTimeText.h"
#include "db/CDataBase.h"
#include "db/ChannelTable.h"
#include "db/MeasurementTable.h"
#include "history/RangePickers.h"
#include "history/StringGrid.h"
#include "platform/sql/SqlQuery.h"

#include <exception>

namespace history {

RangeBound ReadRangeBound(const CalendarPicker& date, const TimePicker& time)
{
    const QDateTime value = common::WallClock(date.date(), time.time());
    return {value, common::RangeBoundText(value)};
}

void PrepareEventGrid(StringGrid& grid)
{
    grid.setRowCount(2);
    grid.setColCount(5);
    grid.setFixedRows(1);
    grid.setFixedCols(1);
    const std::pair<const char16_t*, int> columns[] = {
        {u"Data godzina", 150}, {u"Typ", 100}, {u"Urządzenie", 100}, {u"Wartość", 100}, {u"Opis", 300}};
    for (int column = 0; column < 5; ++column) {
        grid.setCell(column, 0, QString::fromUtf16(columns[column].first));
        grid.setColWidth(column, columns[column].second);
    }
}

void PrepareDataGrid(StringGrid& grid, const db::ChannelTable& channels, quint32 channelCount)
{
    grid.setRowCount(2);
    if (channelCount == 0) {
        grid.setColCount(2);
        grid.setFixedRows(1);
        grid.setFixedCols(1);
        return;
    }
    grid.setColCount(int(2 * channelCount + 1));
    grid.setFixedRows(1);
    grid.setFixedCols(1);
    grid.setCell(0, 0, QStringLiteral("Data godzina"));
    grid.setColWidth(0, 150);
    const QString alarmHeader = QStringLiteral("[!]");
    for (quint32 i = 0; i < channelCount; ++i) {
        const int valueColumn = int(2 * i + 1);
        grid.setCell(valueColumn, 0, channels.NAME[i]);
        grid.setCell(valueColumn + 1, 0, alarmHeader);
        grid.setColWidth(valueColumn, 100);
        grid.setColWidth(valueColumn + 1, 40);
    }
}

void InitDateRange(const db::CDataBase& database, sql::SqlQuery& query, const QString& table, CalendarPicker& startDate,
                   TimePicker& startTime, CalendarPicker& endDate, TimePicker& endTime)
{
    if (!database.connected())
        return;
    // Each end is read even when the other failed (a zero date in the oldest row must not
    // leave the end unset); the first error is raised afterwards.
    std::exception_ptr error;
    const auto setBound = [&](db::MeasurementRow which, CalendarPicker& date, TimePicker& time) {
        try {
            std::optional<QDateTime> row;
            {
                const sql::QueryCloser closer(query);
                row = db::OpenMeasurementRow(query, table, which);
            }
            if (row) {
                date.setDate(row->date());
                time.setTime(row->time());
            }
        } catch (...) {
            if (!error)
                error = std::current_exception();
        }
    };
    setBound(db::MeasurementRow::Oldest, startDate, startTime);
    setBound(db::MeasurementRow::Newest, endDate, endTime);
    if (error)
        std::rethrow_exception(error);
}

} // namespace history

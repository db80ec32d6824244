#pragma once

#include "history/ChannelStatistics.h"
#include "history/HistoryRange.h"

#include <QObject>

class QProgressBar;

namespace db {
class CDataBase;
struct ChannelTable;
}
namespace sql { class SqlQuery; }

namespace history {

class CalendarPicker;
class HistoryChart;
class MeasurementFetch;
class StringGrid;
class TimePicker;

// The reports tab's fetches: the events of the chosen range into the event grid, the
// measurements into the store that the measurement grid, the chart and the statistics
// show. The window blocks while a fetch runs; only the progress bar moves, repainted
// directly, so nothing else can use the one query object meanwhile.
class HistoryView final : public QObject {
    Q_OBJECT
public:
    struct Controls {
        StringGrid* dataGrid;
        StringGrid* eventGrid;
        HistoryChart* chart;
        QProgressBar* progressBar;
        CalendarPicker* startDate;
        TimePicker* startTime;
        CalendarPicker* endDate;
        TimePicker* endTime;
    };

    HistoryView(const Controls& controls, const db::CDataBase& database, sql::SqlQuery& query,
                const db::ChannelTable& channels, QObject* parent = nullptr);

    // The events, then the measurements, of the range of the pickers.
    void GetDataButtonClick();
    void LoadEventHistory(const QString& table, StringGrid& grid);
    void LoadMeasurementHistory(const QString& table, StringGrid& grid);

    const ChannelStatistics& statistics() const { return m_statistics; }
    RangeBound rangeStart() const;
    RangeBound rangeEnd() const;

private:
    void showMeasurements(const MeasurementFetch& fetch, StringGrid& grid);
    void followRangeWhileEmpty();

    Controls m_controls;
    const db::CDataBase& m_database;
    sql::SqlQuery& m_query;
    const db::ChannelTable& m_channels;
    ChannelStatistics m_statistics;
};

} // namespace history

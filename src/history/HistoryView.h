#pragma once

#include "history/FetchResult.h"
#include "history/HistoryRange.h"

#include <QObject>
#include <memory>

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

// The reports tab's fetches: the events and the measurements of the chosen range into one
// FetchResult, which the event grid, the measurement grid and the chart then show and the
// CSV export and the report read. The window blocks while a fetch runs; only the progress
// bar moves, repainted directly, so nothing else can use the one query object meanwhile.
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

    // The events, then the measurements, of the range of the pickers, shown once both are
    // read. A range without rows empties every view and says so under the grids. When an
    // error ends the fetch, the views show what was read of the range until then, or keep
    // the last fetch when the server did not answer at all. A range whose measurements would
    // not fit in memory is refused before anything is read.
    void GetDataButtonClick();

    // After a connect or disconnect: the chart gets one series per channel of the channel
    // table, and the last fetch is forgotten (it was read for other channels).
    void resetToChannels();

    const FetchResult& lastFetch() const { return *m_lastFetch; }
    const ChannelStatistics& statistics() const { return m_lastFetch->statistics; }
    RangeBound rangeStart() const;
    RangeBound rangeEnd() const;

private:
    // A fetch under way: its result, and whether the server has answered for its range.
    struct Fetching {
        FetchResult& result;
        bool answered = false;
    };
    void LoadEventHistory(const QString& table, Fetching& fetching);
    // Reads the rows that fetch counted; throws, once they are in, naming missing columns.
    void LoadMeasurementHistory(const QString& table, MeasurementFetch& fetch, qint64 rows, Fetching& fetching);
    // Throws, with a message for the operator, when a store of rows rows would not fit.
    void requireMemoryFor(qint64 rows) const;
    void show(std::shared_ptr<const FetchResult> result);
    // One line in the progress bar's place about the fetch just shown; empty: none.
    void showNote(const QString& note);
    // The server has answered for the fetch's range: the views drop the last fetch.
    void markAnswered(Fetching& fetching);
    void followRangeWhileEmpty();

    Controls m_controls;
    const db::CDataBase& m_database;
    sql::SqlQuery& m_query;
    const db::ChannelTable& m_channels;
    std::shared_ptr<const FetchResult> m_lastFetch;
};

} // namespace history

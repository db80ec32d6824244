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
    // read (or as far as they were read when an error ended the fetch).
    void GetDataButtonClick();
    void LoadEventHistory(const QString& table, FetchResult& result);
    void LoadMeasurementHistory(const QString& table, FetchResult& result);

    // After a connect or disconnect: the chart gets one series per channel of the channel
    // table, and the last fetch is forgotten (it was read for other channels).
    void resetToChannels();

    const FetchResult& lastFetch() const { return *m_lastFetch; }
    const ChannelStatistics& statistics() const { return m_lastFetch->statistics; }
    RangeBound rangeStart() const;
    RangeBound rangeEnd() const;

private:
    void show(std::shared_ptr<const FetchResult> result);
    // Shows result without measurements, so that nothing holds the last fetch's store.
    void releaseStore(FetchResult& result);
    void followRangeWhileEmpty();

    Controls m_controls;
    const db::CDataBase& m_database;
    sql::SqlQuery& m_query;
    const db::ChannelTable& m_channels;
    std::shared_ptr<const FetchResult> m_lastFetch;
};

} // namespace history

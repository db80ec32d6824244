#pragma once

#include "db/ValueFaults.h"
#include "history/ChannelStatistics.h"
#include "history/MeasurementStore.h"

#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

namespace db { struct ChannelTable; }
namespace sql { class SqlQuery; }

namespace history {

// One fetch of the measurement rows of a range: every row is read once, in a single
// sweep, into a new store and the statistics. The query streams the result, so that
// 10,000 rows of 3,601 columns never sit in memory as text.
class MeasurementFetch {
public:
    MeasurementFetch(sql::SqlQuery& query, const db::ChannelTable& channels);
    ~MeasurementFetch();
    MeasurementFetch(const MeasurementFetch&) = delete;
    MeasurementFetch& operator=(const MeasurementFetch&) = delete;

    // Asks the server how many rows the range holds.
    qint64 countRows(const QString& table, const QString& from, const QString& to);
    // Opens the range's statement for the expected rows (none: nothing is opened) and finds
    // every channel's two columns. A channel with a column missing is left out: its cells
    // stay NULL, and missingColumns() names what is missing.
    void open(const QString& table, const QString& from, const QString& to, qint64 expected);
    // Makes the store for the rows that open() expects, then reads every row; beforeRow
    // runs before each. A value that is no number leaves its cell NULL and is kept in
    // valueFaults(). An error ends the sweep where it arises: what was read until then
    // stays in store() and the statistics.
    void read(const std::function<void()>& beforeRow);

    std::shared_ptr<const MeasurementStore> store() const { return m_store; }
    const QStringList& missingColumns() const { return m_missingColumns; }
    // The channels with values that are no number, which read() left NULL.
    const db::ValueFaults& valueFaults() const { return m_valueFaults; }
    void storeStatisticsInto(ChannelStatistics& statistics) const { m_statistics.storeInto(statistics); }

private:
    sql::SqlQuery& m_query;
    const db::ChannelTable& m_channels;
    qint64 m_expectedRows = 0;
    int m_timeColumn = -1;
    // The value and alarm column of each channel that has both; the others stay NULL.
    struct ChannelColumns {
        quint32 channel;
        int value;
        int alarm;
    };
    std::vector<ChannelColumns> m_columns;
    QStringList m_missingColumns;
    db::ValueFaults m_valueFaults;
    std::shared_ptr<MeasurementStore> m_store;
    StatisticsAccumulator m_statistics;
};

} // namespace history

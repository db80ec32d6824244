#include "history/MeasurementFetch.h"

#include "db/Alarm.h"
#include "db/ChannelTable.h"
#include "db/Contract.h"
#include "history/HistoryQueries.h"
#include "platform/sql/SqlQuery.h"

namespace history {

MeasurementFetch::MeasurementFetch(sql::SqlQuery& query, const db::ChannelTable& channels)
    : m_query(query)
    , m_channels(channels)
    , m_statistics(channels.count)
{
}

MeasurementFetch::~MeasurementFetch()
{
    m_query.close();
}

qint64 MeasurementFetch::countRows(const QString& table, const QString& from, const QString& to)
{
    const sql::QueryCloser closer(m_query);
    m_query.setSql(RowCountQueryText(table, from, to));
    m_query.open();
    return m_query.eof() ? 0 : std::max<qint64>(qint64(m_query.toDouble(0)), 0);
}

void MeasurementFetch::open(const QString& table, const QString& from, const QString& to, qint64 expected)
{
    if (expected <= 0)
        return;
    m_query.setSql(MeasurementQueryText(table, from, to));
    m_query.open(sql::ResultMode::Streamed);
    m_timeColumn = m_query.fieldIndex(db::contract::DateTimeColumn);
    m_columns.clear();
    m_columns.reserve(m_channels.count);
    m_missingColumns.clear();
    for (quint32 i = 0; i < m_channels.count; ++i) {
        const QString& name = m_channels.NAME[i];
        const QString alarmName = db::contract::AlarmColumn(name);
        const std::optional<int> value = m_query.findField(name);
        const std::optional<int> alarm = m_query.findField(alarmName);
        if (!value)
            m_missingColumns.append(name);
        if (!alarm)
            m_missingColumns.append(alarmName);
        if (value && alarm)
            m_columns.push_back({i, *value, *alarm});
    }
    m_expectedRows = expected;
}

void MeasurementFetch::read(const std::function<void()>& beforeRow)
{
    m_store = std::make_shared<MeasurementStore>(m_channels.count, m_expectedRows);
    for (; !m_query.eof(); m_query.next()) {
        beforeRow();
        m_store->appendRow(m_query.toDateTime(m_timeColumn));
        // The columns were found at open(): the row's cells are read without a check each.
        const sql::SqlQuery::Row row = m_query.row();
        for (const auto [channel, value, alarm] : m_columns) {
            // A value that is no number stays NULL, and the fetch goes on.
            if (const sql::FloatCell number = row.readFloat(value); number.isValue()) {
                m_store->setValue(channel, number.value);
                m_statistics.add(channel, number.value);
            } else if (number.isFault()) {
                m_valueFaults.add(channel, number.state, row.raw(value));
            }
            if (!row.isNull(alarm))
                m_store->setAlarm(channel, db::AlarmCode(row.raw(alarm)));
        }
    }
    m_query.close();
}

} // namespace history

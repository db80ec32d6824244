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

qint64 MeasurementFetch::open(const QString& table, const QString& from, const QString& to)
{
    m_query.setSql(RowCountQueryText(table, from, to));
    m_query.open();
    const qint64 expected = m_query.eof() ? 0 : qint64(m_query.toDouble(0));
    m_query.close();

    m_query.setSql(MeasurementQueryText(table, from, to));
    m_query.open(sql::ResultMode::Streamed);
    if (expected <= 0) {
        m_query.close();
        return 0;
    }
    m_timeColumn = m_query.fieldIndex(db::contract::DateTimeColumn);
    m_columns.clear();
    m_columns.reserve(m_channels.count);
    for (quint32 i = 0; i < m_channels.count; ++i)
        m_columns.emplace_back(m_query.fieldIndex(m_channels.NAME[i]),
                               m_query.fieldIndex(db::contract::AlarmColumn(m_channels.NAME[i])));
    m_expectedRows = expected;
    return expected;
}

void MeasurementFetch::read(const std::function<void()>& beforeRow)
{
    m_store = std::make_shared<MeasurementStore>(m_channels.count, m_expectedRows);
    for (; !m_query.eof(); m_query.next()) {
        beforeRow();
        m_store->appendRow(m_query.toDateTime(m_timeColumn));
        // The columns were found at open(): the row's cells are read without a check each.
        const sql::SqlQuery::Row row = m_query.row();
        for (quint32 channel = 0; channel < m_columns.size(); ++channel) {
            const auto [value, alarm] = m_columns[channel];
            if (const std::optional<float> number = m_query.toOptionalFloat(row, value)) {
                m_store->setValue(channel, *number);
                m_statistics.add(channel, *number);
            }
            if (!row.isNull(alarm))
                m_store->setAlarm(channel, db::AlarmCode(row.raw(alarm)));
        }
    }
    m_query.close();
}

} // namespace history

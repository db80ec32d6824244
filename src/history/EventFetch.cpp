#include "history/EventFetch.h"

#include "db/Contract.h"
#include "history/HistoryQueries.h"
#include "platform/sql/SqlQuery.h"

#include <QHash>

namespace history {

namespace {

enum Column { Time, Type, Device, Value, Description };

// The event table holds no NULL; if one comes anyway it reads like a NULL measurement.
const QString NullText = QStringLiteral("- ");

} // namespace

EventFetch::EventFetch(sql::SqlQuery& query)
    : m_query(query)
{
}

EventFetch::~EventFetch()
{
    m_query.close();
}

qint64 EventFetch::open(const QString& table, const QString& from, const QString& to)
{
    m_query.setSql(EventQueryText(table, from, to));
    m_query.open();
    const qint64 rows = std::max<qint64>(m_query.recordCount(), 0);
    if (rows == 0) {
        m_query.close();
        return 0;
    }
    m_columns = {m_query.fieldIndex(db::contract::DateTimeColumn), m_query.fieldIndex(QStringLiteral("TYPE")),
                 m_query.fieldIndex(QStringLiteral("NAME")), m_query.fieldIndex(QStringLiteral("VAL")),
                 m_query.fieldIndex(QStringLiteral("DESCRIPTION"))};
    return rows;
}

void EventFetch::read(const std::function<void()>& beforeRow, EventRows& rows)
{
    const auto text = [this](Column column) {
        const int index = m_columns[column];
        return m_query.isNull(index) ? NullText : m_query.text(index);
    };
    // Devices and descriptions come from short lists: each distinct one is held once and
    // shared by the rows that show it.
    QHash<QByteArray, QString> sharedTexts;
    const auto sharedText = [&](Column column) {
        const int index = m_columns[column];
        if (m_query.isNull(index))
            return NullText;
        const QByteArrayView raw = m_query.raw(index);
        if (const auto known = sharedTexts.constFind(QByteArray::fromRawData(raw.data(), raw.size()));
            known != sharedTexts.cend())
            return *known;
        return *sharedTexts.insert(raw.toByteArray(), m_query.text(index));
    };
    for (; !m_query.eof(); m_query.next()) {
        beforeRow();
        const int time = m_columns[Time];
        const std::optional<qint64> when = m_query.isNull(time) ? std::nullopt
                                                                : std::optional(m_query.toDateTime(time).toMSecsSinceEpoch());
        const int type = m_columns[Type];
        const QString typeText = m_query.isNull(type) ? NullText
                                 : m_query.raw(type) == "0" ? QStringLiteral("WYDARZENIE")
                                                            : QStringLiteral("ALARM");
        rows.push_back({when, {typeText, sharedText(Device), text(Value), sharedText(Description)}});
    }
    m_query.close();
}

} // namespace history

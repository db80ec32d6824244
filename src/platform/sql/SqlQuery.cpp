#include "platform/sql/SqlQuery.h"

#include "platform/sql/SqlConnection.h"
#include "platform/sql/SqlError.h"
#include "platform/sql/ValueParsing.h"

namespace sql {

SqlQuery::~SqlQuery()
{
    setConnection(nullptr);
}

void SqlQuery::setConnection(SqlConnection* connection)
{
    close();
    if (m_connection)
        m_connection->detach(this);
    m_connection = connection;
    if (m_connection)
        m_connection->attach(this);
}

void SqlQuery::open(ResultMode mode)
{
    close();
    if (!m_connection || !m_connection->isOpen())
        throw SqlError("Brak połączenia z bazą danych", SqlError::Cause::Connection);

    MYSQL* const handle = m_connection->handle();
    const QByteArray statement = m_sql.toUtf8();
    if (mysql_real_query(handle, statement.constData(), statement.size()) != 0)
        throw SqlError::fromClient(handle);
    ResultHandle result(mode == ResultMode::Buffered ? mysql_store_result(handle)
                                                     : mysql_use_result(handle));
    if (!result) {
        if (mysql_field_count(handle) == 0)
            throw SqlError("Zapytanie nie zwróciło wyników");
        throw SqlError::fromClient(handle);
    }

    m_fieldCount = int(mysql_num_fields(result.get()));
    takeFieldLayout(mysql_fetch_fields(result.get()), m_fieldCount);
    m_result = std::move(result);
    m_mode = mode;
    fetchRow();
}

void SqlQuery::takeFieldLayout(const MYSQL_FIELD* fields, int count)
{
    QByteArray key;
    for (int i = 0; i < count; ++i)
        key.append(fields[i].name, qsizetype(fields[i].name_length)).append('\0');
    if (key == m_layoutKey)
        return;
    m_layoutKey = key;
    ++m_layoutVersion;
    m_fieldNames.clear();
    m_indexByFoldedName.clear();
    m_fieldNames.reserve(count);
    m_indexByFoldedName.reserve(count);
    for (int i = 0; i < count; ++i) {
        m_fieldNames.append(QString::fromUtf8(fields[i].name, qsizetype(fields[i].name_length)));
        const QString folded = m_fieldNames.back().toCaseFolded();
        if (!m_indexByFoldedName.contains(folded))
            m_indexByFoldedName.insert(folded, i);
    }
}

void SqlQuery::close()
{
    m_result.reset();
    m_row = nullptr;
    m_lengths = nullptr;
    m_fieldCount = 0;
}

void SqlQuery::fetchRow()
{
    m_row = mysql_fetch_row(m_result.get());
    if (m_row) {
        m_lengths = mysql_fetch_lengths(m_result.get());
        return;
    }
    m_lengths = nullptr;
    // A streamed result ends early when the connection breaks.
    MYSQL* const handle = m_connection->handle();
    if (m_mode == ResultMode::Streamed && mysql_errno(handle) != 0)
        throw SqlError::fromClient(handle);
}

void SqlQuery::requireOpen() const
{
    if (!m_result)
        throw SqlError("Zapytanie nie jest otwarte");
}

void SqlQuery::requireField(int index) const
{
    requireOpen();
    if (index < 0 || index >= m_fieldCount)
        throw SqlError(QStringLiteral("Nie ma kolumny o numerze %1").arg(index));
}

void SqlQuery::requireCell(int index) const
{
    requireField(index);
    if (!m_row)
        throw SqlError("Zapytanie nie ma bieżącego wiersza");
}

qint64 SqlQuery::recordCount() const
{
    requireOpen();
    if (m_mode == ResultMode::Streamed && m_row)
        return -1;
    return qint64(mysql_num_rows(m_result.get()));
}

bool SqlQuery::eof() const
{
    return m_row == nullptr;
}

void SqlQuery::next()
{
    if (m_row)
        fetchRow();
}

int SqlQuery::fieldCount() const
{
    return m_fieldCount;
}

QString SqlQuery::fieldName(int index) const
{
    requireField(index);
    return m_fieldNames[index];
}

int SqlQuery::fieldIndex(const QString& name) const
{
    const std::optional<int> index = findField(name);
    if (!index)
        throw SqlError(QStringLiteral("Brak kolumny '%1'").arg(name));
    return *index;
}

std::optional<int> SqlQuery::findField(const QString& name) const
{
    requireOpen();
    const auto found = m_indexByFoldedName.constFind(name.toCaseFolded());
    if (found == m_indexByFoldedName.cend())
        return std::nullopt;
    return found.value();
}

bool SqlQuery::isNull(int index) const
{
    requireCell(index);
    return m_row[index] == nullptr;
}

void SqlQuery::checkNotNull(int index) const
{
    if (isNull(index))
        throw SqlError(QStringLiteral("Kolumna '%1' ma wartość NULL").arg(m_fieldNames[index]));
}

QByteArrayView SqlQuery::raw(int index) const
{
    requireCell(index);
    return QByteArrayView(m_row[index], qsizetype(m_lengths[index]));
}

QByteArrayView SqlQuery::value(int index) const
{
    checkNotNull(index);
    return QByteArrayView(m_row[index], qsizetype(m_lengths[index]));
}

QString SqlQuery::text(int index) const
{
    const QByteArrayView bytes = raw(index);
    return bytes.data() ? QString::fromUtf8(bytes) : QString();
}

template <typename Parse>
auto SqlQuery::converted(int index, QByteArrayView text, Parse parse) const
{
    try {
        return parse(text);
    } catch (const SqlError& error) {
        // Name the column: "'0000-00-00 00:00:00' nie jest poprawną datą i godziną" alone does
        // not tell the operator where to look.
        throw SqlError(QStringLiteral("Kolumna '%1': %2").arg(m_fieldNames[index], QString::fromUtf8(error.what())));
    }
}

float SqlQuery::toFloat(int index) const
{
    return converted(index, value(index), parseFloat);
}

std::optional<float> SqlQuery::toOptionalFloat(int index) const
{
    requireCell(index);
    return toOptionalFloat(row(), index);
}

SqlQuery::Row SqlQuery::row() const
{
    requireCell(0);
    return Row(m_row, m_lengths);
}

std::optional<float> SqlQuery::toOptionalFloat(const Row& row, int index) const
{
    if (row.isNull(index))
        return std::nullopt;
    return converted(index, row.raw(index), parseFloat);
}

double SqlQuery::toDouble(int index) const
{
    return converted(index, value(index), parseDouble);
}

qint32 SqlQuery::toInt(int index) const
{
    return converted(index, value(index), parseInt32);
}

QDateTime SqlQuery::toDateTime(int index) const
{
    return converted(index, value(index), parseDateTime);
}

} // namespace sql

#include "platform/sql/SqlQuery.h"

#include "platform/sql/PreparedStatement.h"
#include "platform/sql/SqlConnection.h"
#include "platform/sql/SqlError.h"

#include <algorithm>

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

    const QByteArray statement = m_sql.toUtf8();
    m_mode = mode;
    m_statement = m_connection->m_statements.execute(m_connection->handle(), statement, mode);
    if (m_statement) {
        m_fieldCount = m_statement->fieldCount();
        takeFieldLayout(m_statement->fields(), m_fieldCount);
        m_cells = m_statement->cells();
    } else {
        openText(statement, mode);
    }
    fetchRow();
}

void SqlQuery::openText(const QByteArray& statement, ResultMode mode)
{
    MYSQL* const handle = m_connection->handle();
    if (mysql_real_query(handle, statement.constData(), statement.size()) != 0)
        throw SqlError::fromClient(handle);
    ResultHandle result(mode == ResultMode::Buffered ? mysql_store_result(handle) : mysql_use_result(handle));
    if (!result) {
        if (mysql_field_count(handle) == 0)
            throw SqlError("Zapytanie nie zwróciło wyników");
        throw SqlError::fromClient(handle);
    }

    m_fieldCount = int(mysql_num_fields(result.get()));
    takeFieldLayout(mysql_fetch_fields(result.get()), m_fieldCount);
    m_textKinds.resize(std::size_t(m_fieldCount));
    m_cells = {nullptr, nullptr, nullptr, m_textKinds.data()};
    m_result = std::move(result);
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
    if (m_statement) {
        m_statement->freeResult();
        m_statement.reset();
    }
    m_onRow = false;
    m_fieldCount = 0;
    m_typedTexts.clear();
}

void SqlQuery::fetchRow()
{
    m_typedTexts.clear();
    if (m_statement) {
        // The cells stay where they are bound; a long text may move them.
        m_onRow = m_statement->fetch();
        m_cells = m_statement->cells();
        return;
    }
    const MYSQL_ROW row = mysql_fetch_row(m_result.get());
    m_onRow = row != nullptr;
    if (m_onRow) {
        m_cells.data = row;
        m_cells.lengths = mysql_fetch_lengths(m_result.get());
        return;
    }
    // A streamed result ends early when the connection breaks.
    MYSQL* const handle = m_connection->handle();
    if (m_mode == ResultMode::Streamed && mysql_errno(handle) != 0)
        throw SqlError::fromClient(handle);
}

void SqlQuery::requireOpen() const
{
    if (!isOpen())
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
    if (!m_onRow)
        throw SqlError("Zapytanie nie ma bieżącego wiersza");
}

qint64 SqlQuery::recordCount() const
{
    requireOpen();
    if (m_mode == ResultMode::Streamed && m_onRow)
        return -1;
    return m_statement ? m_statement->rowCount() : qint64(mysql_num_rows(m_result.get()));
}

bool SqlQuery::eof() const
{
    return !m_onRow;
}

void SqlQuery::next()
{
    if (m_onRow)
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
    return m_cells.isNull(index);
}

void SqlQuery::checkNotNull(int index) const
{
    if (isNull(index))
        throw SqlError(QStringLiteral("Kolumna '%1' ma wartość NULL").arg(m_fieldNames[index]));
}

QByteArrayView SqlQuery::typedText(int index) const
{
    const auto made = std::find_if(m_typedTexts.cbegin(), m_typedTexts.cend(),
                                   [index](const auto& entry) { return entry.first == index; });
    if (made != m_typedTexts.cend())
        return made->second;
    // Each text has a buffer of its own, which stays where it is as the list grows.
    m_typedTexts.emplace_back(index, cellText(m_cells, index));
    return m_typedTexts.back().second;
}

QByteArrayView SqlQuery::raw(int index) const
{
    requireCell(index);
    return row().raw(index);
}

QString SqlQuery::text(int index) const
{
    const QByteArrayView bytes = raw(index);
    return bytes.data() ? QString::fromUtf8(bytes) : QString();
}

template <typename Read>
auto SqlQuery::converted(int index, Read read) const
{
    checkNotNull(index);
    try {
        return read(m_cells, index);
    } catch (const SqlError& error) {
        // Name the column: "'0000-00-00 00:00:00' nie jest poprawną datą i godziną" alone does
        // not tell the operator where to look.
        throw SqlError(QStringLiteral("Kolumna '%1': %2").arg(m_fieldNames[index], QString::fromUtf8(error.what())));
    }
}

float SqlQuery::toFloat(int index) const
{
    checkNotNull(index);
    return *toOptionalFloat(row(), index);
}

std::optional<float> SqlQuery::toOptionalFloat(int index) const
{
    requireCell(index);
    return toOptionalFloat(row(), index);
}

FloatCell SqlQuery::readFloat(int index) const
{
    requireCell(index);
    return sql::readFloat(m_cells, index);
}

SqlQuery::Row SqlQuery::row() const
{
    requireCell(0);
    return Row(this, m_cells);
}

std::optional<float> SqlQuery::toOptionalFloat(const Row& row, int index) const
{
    const FloatCell cell = row.readFloat(index);
    if (cell.isValue())
        return cell.value;
    if (cell.state == FloatCell::State::Null)
        return std::nullopt;
    throw SqlError(QStringLiteral("Kolumna '%1': '%2' nie jest poprawną liczbą")
                       .arg(m_fieldNames[index], QString::fromUtf8(row.raw(index))));
}

double SqlQuery::toDouble(int index) const
{
    return converted(index, readDouble);
}

qint32 SqlQuery::toInt(int index) const
{
    return converted(index, readInt32);
}

QDateTime SqlQuery::toDateTime(int index) const
{
    return converted(index, readDateTime);
}

} // namespace sql

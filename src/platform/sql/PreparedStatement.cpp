#include "platform/sql/PreparedStatement.h"

#include "platform/sql/SqlError.h"

#include <algorithm>
#include <cstring>
#include <errmsg.h>
#include <mysqld_error.h>

namespace sql {

namespace {

// A text column's buffer holds the longest text the column declares, within these bounds;
// a longer one (a TEXT column's) is read whole for its row when it comes.
constexpr unsigned long SmallestText = 16;
constexpr unsigned long LargestText = 256;

struct Binding {
    CellKind kind;
    enum_field_types bufferType;
    unsigned long size;
};

Binding BindingFor(const MYSQL_FIELD& field)
{
    switch (field.type) {
    case MYSQL_TYPE_FLOAT:
        return {CellKind::Float, MYSQL_TYPE_FLOAT, sizeof(float)};
    case MYSQL_TYPE_DOUBLE:
        return {CellKind::Double, MYSQL_TYPE_DOUBLE, sizeof(double)};
    case MYSQL_TYPE_TINY:
    case MYSQL_TYPE_SHORT:
    case MYSQL_TYPE_INT24:
    case MYSQL_TYPE_LONG:
    case MYSQL_TYPE_LONGLONG:
    case MYSQL_TYPE_YEAR:
        return {(field.flags & UNSIGNED_FLAG) ? CellKind::Unsigned : CellKind::Signed, MYSQL_TYPE_LONGLONG, sizeof(qint64)};
    case MYSQL_TYPE_DATE:
        return {CellKind::Date, MYSQL_TYPE_DATE, sizeof(MYSQL_TIME)};
    case MYSQL_TYPE_DATETIME:
    case MYSQL_TYPE_TIMESTAMP:
        return {CellKind::DateTime, MYSQL_TYPE_DATETIME, sizeof(MYSQL_TIME)};
    case MYSQL_TYPE_TIME:
        return {CellKind::Time, MYSQL_TYPE_TIME, sizeof(MYSQL_TIME)};
    default:
        return {CellKind::Text, MYSQL_TYPE_STRING, std::clamp(field.length, SmallestText, LargestText)};
    }
}

// The server's or the client library's word that the statement must be prepared again:
// the server does not know it (the connection is a new one), it failed to prepare it again
// itself after the tables changed, or the result has another number of columns.
bool MustPrepareAgain(unsigned int error)
{
    return error == ER_UNKNOWN_STMT_HANDLER || error == ER_NEED_REPREPARE || error == CR_NEW_STMT_METADATA;
}

} // namespace

PreparedStatement::PreparedStatement(MYSQL* handle, StatementHandle statement)
    : m_handle(handle)
    , m_statement(std::move(statement))
    , m_threadId(mysql_thread_id(handle))
{
}

PreparedStatement::~PreparedStatement() = default;

std::unique_ptr<PreparedStatement> PreparedStatement::prepare(MYSQL* handle, const QByteArray& text)
{
    StatementHandle statement(mysql_stmt_init(handle));
    if (!statement)
        throw SqlError("Brak pamięci na zapytanie do bazy danych");
    if (mysql_stmt_prepare(statement.get(), text.constData(), static_cast<unsigned long>(text.size())) != 0) {
        const SqlError error = SqlError::fromStatement(statement.get());
        if (error.cause() == SqlError::Cause::Connection)
            throw error;
        return nullptr;
    }
    std::unique_ptr<PreparedStatement> prepared(new PreparedStatement(handle, std::move(statement)));
    prepared->bindResult();
    return prepared;
}

const char* PreparedStatement::buffer(int column) const
{
    return reinterpret_cast<const char*>(m_buffers.data() + m_offsets[column]);
}

const MYSQL_FIELD* PreparedStatement::fields() const
{
    return mariadb_stmt_fetch_fields(m_statement.get());
}

void PreparedStatement::bindResult()
{
    const unsigned int count = mysql_stmt_field_count(m_statement.get());
    if (count == 0)
        return;
    const MYSQL_FIELD* const columns = fields();
    std::vector<Binding> bindings;
    std::size_t slotCount = 0;
    for (unsigned int i = 0; i < count; ++i) {
        bindings.push_back(BindingFor(columns[i]));
        m_offsets.push_back(slotCount);
        slotCount += (bindings.back().size + sizeof(quint64) - 1) / sizeof(quint64);
    }
    m_buffers.assign(slotCount, 0);
    m_cells.resize(count);
    m_capacities.assign(count, 0);
    m_lengths.assign(count, 0);
    m_nulls.assign(count, 0);
    m_truncated.assign(count, 0);
    m_longTexts.assign(count, QByteArray());
    std::vector<MYSQL_BIND> binds(count);
    for (unsigned int i = 0; i < count; ++i) {
        const Binding& binding = bindings[i];
        const bool isUnsigned = (columns[i].flags & UNSIGNED_FLAG) != 0;
        m_kinds.push_back({binding.kind, quint8(std::min(columns[i].decimals, 6u))});
        m_boundTypes.push_back(columns[i].type);
        m_boundUnsigned.push_back(isUnsigned);
        m_cells[i] = buffer(int(i));
        MYSQL_BIND& bind = binds[i];
        bind.buffer_type = binding.bufferType;
        bind.buffer = m_buffers.data() + m_offsets[i];
        bind.buffer_length = binding.size;
        bind.is_unsigned = isUnsigned;
        bind.is_null = &m_nulls[i];
        bind.length = &m_lengths[i];
        bind.error = &m_truncated[i];
        if (binding.kind == CellKind::Text) {
            m_capacities[i] = binding.size;
            m_textColumns.push_back(int(i));
        }
    }
    if (mysql_stmt_bind_result(m_statement.get(), binds.data()) != 0)
        throw SqlError::fromStatement(m_statement.get());
}

PreparedStatement::Outcome PreparedStatement::execute(ResultMode mode)
{
    freeResult();
    MYSQL_STMT* const statement = m_statement.get();
    // After making the connection again, the client library marks every statement as not
    // prepared: the new session on the server knows none of them.
    mysql_stmt_state state = MYSQL_STMT_INITTED;
    mysql_stmt_attr_get(statement, STMT_ATTR_STATE, &state);
    if (state < MYSQL_STMT_PREPARED || mysql_thread_id(m_handle) != m_threadId)
        return Outcome::PrepareAgain;
    if (mysql_stmt_execute(statement) != 0) {
        if (MustPrepareAgain(mysql_stmt_errno(statement)))
            return Outcome::PrepareAgain;
        throw SqlError::fromStatement(statement);
    }
    if (m_kinds.empty()) {
        freeResult();
        throw SqlError("Zapytanie nie zwróciło wyników");
    }
    if (!boundColumnsSent()) {
        freeResult();
        return Outcome::PrepareAgain;
    }
    if (mode == ResultMode::Buffered && mysql_stmt_store_result(statement) != 0)
        throw SqlError::fromStatement(statement);
    return Outcome::Executed;
}

// Whether this run's columns are those bound: the same names, types and signs. The server
// describes the columns again when they changed since it last did (a column renamed or
// retyped, a view replaced by one with other columns of the same count). The client library
// then keeps the statement's old names and takes only the new types, while the connection
// holds this run's columns as the server described them.
bool PreparedStatement::boundColumnsSent() const
{
    const MYSQL_FIELD* const sent = m_handle->fields;
    const MYSQL_FIELD* const prepared = fields();
    if (!sent || m_handle->field_count != m_kinds.size())
        return false;
    for (std::size_t i = 0; i < m_kinds.size(); ++i) {
        if (sent[i].type != m_boundTypes[i] || ((sent[i].flags & UNSIGNED_FLAG) != 0) != m_boundUnsigned[i]
            || std::strcmp(sent[i].name, prepared[i].name) != 0)
            return false;
    }
    return true;
}

bool PreparedStatement::fetch()
{
    for (const int column : m_movedCells)
        m_cells[column] = buffer(column);
    m_movedCells.clear();
    switch (mysql_stmt_fetch(m_statement.get())) {
    case 0:
        return true;
    case MYSQL_NO_DATA:
        return false;
    case MYSQL_DATA_TRUNCATED:
        fetchLongTexts();
        return true;
    default:
        throw SqlError::fromStatement(m_statement.get());
    }
}

void PreparedStatement::fetchLongTexts()
{
    for (const int column : m_textColumns) {
        if (m_nulls[column] || m_lengths[column] <= m_capacities[column])
            continue;
        QByteArray& text = m_longTexts[column];
        text.resize(qsizetype(m_lengths[column]));
        unsigned long length = 0;
        MYSQL_BIND bind{};
        bind.buffer_type = MYSQL_TYPE_STRING;
        bind.buffer = text.data();
        bind.buffer_length = m_lengths[column];
        bind.length = &length;
        if (mysql_stmt_fetch_column(m_statement.get(), &bind, unsigned(column), 0) != 0)
            throw SqlError::fromStatement(m_statement.get());
        m_cells[column] = text.constData();
        m_movedCells.push_back(column);
    }
}

void PreparedStatement::freeResult()
{
    mysql_stmt_free_result(m_statement.get());
}

qint64 PreparedStatement::rowCount() const
{
    return qint64(mysql_stmt_num_rows(m_statement.get()));
}

} // namespace sql

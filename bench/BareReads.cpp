#include "BareReads.h"

#include <charconv>

namespace bench {

sql::MysqlHandle ConnectBare(const QString& database)
{
    sql::MysqlHandle mysql(mysql_init(nullptr));
    if (!mysql_real_connect(mysql.get(), "127.0.0.1", "zemlo_viewer", "zemlo_viewer", database.toUtf8().constData(), 0,
                            nullptr, 0)
        || mysql_set_character_set(mysql.get(), "utf8mb4") != 0)
        qFatal("bare connect: %s", mysql_error(mysql.get()));
    return mysql;
}

double ReadText(MYSQL* mysql, const QByteArray& statement)
{
    if (mysql_real_query(mysql, statement.constData(), statement.size()) != 0)
        qFatal("bare query: %s", mysql_error(mysql));
    const sql::ResultHandle result(mysql_use_result(mysql));
    const unsigned int fields = mysql_num_fields(result.get());
    double sum = 0;
    while (const MYSQL_ROW row = mysql_fetch_row(result.get())) {
        const unsigned long* const lengths = mysql_fetch_lengths(result.get());
        for (unsigned int field = 0; field < fields; ++field) {
            float value = 0;
            if (row[field] && std::from_chars(row[field], row[field] + lengths[field], value).ec == std::errc())
                sum += value;
        }
    }
    return sum;
}

BareStatement::BareStatement(MYSQL* mysql, const QByteArray& statement)
    : m_statement(mysql_stmt_init(mysql))
{
    constexpr unsigned long Slot = 64;
    if (!m_statement || mysql_stmt_prepare(m_statement.get(), statement.constData(), static_cast<unsigned long>(statement.size())) != 0)
        qFatal("bare prepare: %s", mysql_error(mysql));
    const unsigned int count = mysql_stmt_field_count(m_statement.get());
    const MYSQL_FIELD* const fields = mariadb_stmt_fetch_fields(m_statement.get());
    m_binds.resize(count);
    m_buffers.resize(count * Slot);
    m_lengths.resize(count);
    m_nulls.resize(count);
    for (unsigned int i = 0; i < count; ++i) {
        MYSQL_BIND& bind = m_binds[i];
        bind.buffer_type = fields[i].type == MYSQL_TYPE_FLOAT ? MYSQL_TYPE_FLOAT
                           : fields[i].type == MYSQL_TYPE_DATETIME ? MYSQL_TYPE_DATETIME
                                                                   : MYSQL_TYPE_STRING;
        bind.buffer = m_buffers.data() + i * Slot;
        bind.buffer_length = Slot;
        bind.length = &m_lengths[i];
        bind.is_null = &m_nulls[i];
    }
    if (mysql_stmt_bind_result(m_statement.get(), m_binds.data()) != 0)
        qFatal("bare bind: %s", mysql_stmt_error(m_statement.get()));
}

qint64 BareStatement::run()
{
    if (mysql_stmt_execute(m_statement.get()) != 0)
        qFatal("bare execute: %s", mysql_stmt_error(m_statement.get()));
    qint64 rows = 0;
    int status = 0;
    while ((status = mysql_stmt_fetch(m_statement.get())) == 0 || status == MYSQL_DATA_TRUNCATED)
        ++rows;
    if (status != MYSQL_NO_DATA)
        qFatal("bare fetch: %s", mysql_stmt_error(m_statement.get()));
    return rows;
}

} // namespace bench

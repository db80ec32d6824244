#include "MysqlConnection.h"

unsigned MysqlResult::columnCount() const
{
    return mysql_num_fields(m_result.get());
}

unsigned MysqlResult::columnIndex(std::string_view name) const
{
    const MYSQL_FIELD* fields = mysql_fetch_fields(m_result.get());
    for (unsigned i = 0; i < columnCount(); ++i) {
        if (name == std::string_view(fields[i].name, fields[i].name_length))
            return i;
    }
    throw MysqlError(0, "result has no column " + std::string(name));
}

bool MysqlResult::next()
{
    m_row = mysql_fetch_row(m_result.get());
    m_lengths = m_row ? mysql_fetch_lengths(m_result.get()) : nullptr;
    return m_row != nullptr;
}

std::optional<std::string_view> MysqlResult::value(unsigned column) const
{
    if (!m_row[column])
        return std::nullopt;
    return std::string_view(m_row[column], m_lengths[column]);
}

MysqlConnection::MysqlConnection(const std::string& socketPath) : m_mysql(mysql_init(nullptr))
{
    if (!m_mysql)
        throw MysqlError(0, "out of memory for the database connection");
    const my_bool allowLocalInfile = 1;
    mysql_optionsv(m_mysql.get(), MYSQL_SET_CHARSET_NAME, "utf8mb4");
    mysql_optionsv(m_mysql.get(), MYSQL_OPT_LOCAL_INFILE, &allowLocalInfile);
    if (!mysql_real_connect(m_mysql.get(), "localhost", "root", nullptr, nullptr, 0, socketPath.c_str(), 0))
        fail("cannot connect as root over the socket " + socketPath);
}

void MysqlConnection::fail(std::string_view what) const
{
    throw MysqlError(mysql_errno(m_mysql.get()), std::string(what) + ": " + mysql_error(m_mysql.get()));
}

void MysqlConnection::execute(std::string_view sql)
{
    if (mysql_real_query(m_mysql.get(), sql.data(), sql.size()) != 0)
        fail("statement failed (" + std::string(sql.substr(0, 80)) + (sql.size() > 80 ? "...)" : ")"));
    // Statements that return rows are not expected here; discard them so the
    // connection stays usable.
    const MysqlResult discarded(mysql_store_result(m_mysql.get()));
}

MysqlResult MysqlConnection::query(std::string_view sql)
{
    if (mysql_real_query(m_mysql.get(), sql.data(), sql.size()) != 0)
        fail("query failed (" + std::string(sql.substr(0, 80)) + (sql.size() > 80 ? "...)" : ")"));
    MYSQL_RES* result = mysql_store_result(m_mysql.get());
    if (!result)
        fail("query returned no result set");
    return MysqlResult(result);
}

void MysqlConnection::useDatabase(const std::string& name)
{
    if (mysql_select_db(m_mysql.get(), name.c_str()) != 0)
        fail("cannot use the database " + name);
}

unsigned long long MysqlConnection::affectedRows() const
{
    return mysql_affected_rows(m_mysql.get());
}

unsigned MysqlConnection::warningCount() const
{
    return mysql_warning_count(m_mysql.get());
}

std::string MysqlConnection::firstWarning()
{
    MysqlResult warnings = query("SHOW WARNINGS LIMIT 1");
    if (!warnings.next())
        return {};
    return std::string(warnings.value(2).value_or(""));
}

std::string MysqlConnection::quote(std::string_view text) const
{
    std::string escaped(text.size() * 2 + 1, '\0');
    const unsigned long length = mysql_real_escape_string(m_mysql.get(), escaped.data(), text.data(), text.size());
    escaped.resize(length);
    return "'" + escaped + "'";
}

std::string quoteIdentifier(std::string_view name)
{
    std::string quoted = "`";
    for (const char c : name) {
        quoted += c;
        if (c == '`')
            quoted += c;
    }
    return quoted + "`";
}

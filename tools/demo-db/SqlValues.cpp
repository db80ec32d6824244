#include "SqlValues.h"

#include "MysqlConnection.h"

void SqlValues::separate()
{
    if (m_rowStarted) {
        m_sql += ", ";
        return;
    }
    m_sql += m_sql.empty() ? "(" : ", (";
    m_rowStarted = true;
}

void SqlValues::null()
{
    separate();
    m_sql += "NULL";
}

void SqlValues::number(std::string_view digits)
{
    separate();
    m_sql += digits;
}

void SqlValues::text(std::string_view text)
{
    separate();
    m_sql += m_db.quote(text);
}

void SqlValues::endRow()
{
    m_sql += ')';
    m_rowStarted = false;
}

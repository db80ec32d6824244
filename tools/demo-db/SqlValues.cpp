#include "SqlValues.h"

#include "MysqlConnection.h"

void SqlValues::separate()
{
    if (rowStarted_) {
        sql_ += ", ";
        return;
    }
    sql_ += sql_.empty() ? "(" : ", (";
    rowStarted_ = true;
}

void SqlValues::null()
{
    separate();
    sql_ += "NULL";
}

void SqlValues::number(std::string_view digits)
{
    separate();
    sql_ += digits;
}

void SqlValues::text(std::string_view text)
{
    separate();
    sql_ += db_.quote(text);
}

void SqlValues::endRow()
{
    sql_ += ')';
    rowStarted_ = false;
}

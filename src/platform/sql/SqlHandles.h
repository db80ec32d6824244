#pragma once

#include <memory>
#include <mysql.h>

namespace sql {

struct MysqlCloser {
    void operator()(MYSQL* handle) const { mysql_close(handle); }
};

struct ResultFreer {
    void operator()(MYSQL_RES* result) const { mysql_free_result(result); }
};

struct StatementCloser {
    void operator()(MYSQL_STMT* statement) const { mysql_stmt_close(statement); }
};

// Owners of the three Connector/C handles: a connection, a result set and a prepared statement.
using MysqlHandle = std::unique_ptr<MYSQL, MysqlCloser>;
using ResultHandle = std::unique_ptr<MYSQL_RES, ResultFreer>;
using StatementHandle = std::unique_ptr<MYSQL_STMT, StatementCloser>;

} // namespace sql

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

// Owners of the two Connector/C handles: a connection and a result set.
using MysqlHandle = std::unique_ptr<MYSQL, MysqlCloser>;
using ResultHandle = std::unique_ptr<MYSQL_RES, ResultFreer>;

} // namespace sql

#include "platform/sql/SqlError.h"

#include <errmsg.h>
#include <mysqld_error.h>

namespace sql {

namespace {

bool IsConnectionError(unsigned int number)
{
    switch (number) {
    case CR_CONNECTION_ERROR:
    case CR_CONN_HOST_ERROR:
    case CR_IPSOCK_ERROR:
    case CR_UNKNOWN_HOST:
    case CR_SERVER_GONE_ERROR:
    case CR_SERVER_HANDSHAKE_ERR:
    case CR_SERVER_LOST:
    case CR_SERVER_LOST_EXTENDED:
    case CR_ERR_NET_READ:
    case CR_ERR_NET_WRITE:
    case ER_CON_COUNT_ERROR:
    case ER_SERVER_SHUTDOWN:
    case ER_NET_READ_ERROR:
    case ER_NET_READ_INTERRUPTED:
    case ER_NET_ERROR_ON_WRITE:
    case ER_NET_WRITE_INTERRUPTED:
    case ER_CONNECTION_KILLED:
        return true;
    default:
        return false;
    }
}

SqlError::Cause CauseOf(unsigned int number)
{
    return IsConnectionError(number) ? SqlError::Cause::Connection : SqlError::Cause::Statement;
}

} // namespace

SqlError SqlError::fromClient(MYSQL* handle)
{
    return SqlError(QString::fromUtf8(mysql_error(handle)), CauseOf(mysql_errno(handle)));
}

SqlError SqlError::fromStatement(MYSQL_STMT* statement)
{
    return SqlError(QString::fromUtf8(mysql_stmt_error(statement)), CauseOf(mysql_stmt_errno(statement)));
}

} // namespace sql

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

// The client's or the server's own words after a Polish sentence that says whether the
// connection or the statement failed.
SqlError Described(unsigned int number, const char* words)
{
    const QString lead = IsConnectionError(number) ? QStringLiteral("Utracono połączenie z serwerem bazy danych")
                                                   : QStringLiteral("Serwer bazy danych odrzucił zapytanie");
    return SqlError(lead + QStringLiteral(": ") + QString::fromUtf8(words), CauseOf(number));
}

} // namespace

SqlError SqlError::fromClient(MYSQL* handle, const QString& lead)
{
    return SqlError(lead + QStringLiteral(": ") + QString::fromUtf8(mysql_error(handle)), CauseOf(mysql_errno(handle)));
}

SqlError SqlError::fromClient(MYSQL* handle)
{
    return Described(mysql_errno(handle), mysql_error(handle));
}

SqlError SqlError::fromStatement(MYSQL_STMT* statement)
{
    return Described(mysql_stmt_errno(statement), mysql_stmt_error(statement));
}

} // namespace sql

#pragma once

#include "platform/sql/SqlHandles.h"

#include <QString>
#include <stdexcept>

namespace sql {

// An error of the database layer. The message is ours, in Polish, followed where it helps by
// the client library's error text (the server's own words for a refused login or a bad
// statement).
class SqlError : public std::runtime_error {
public:
    // Connection: the server could not be reached, or the connection broke or was ended by
    // the server; another try may work once it is back. Statement: everything else.
    enum class Cause { Statement, Connection };

    explicit SqlError(const QString& message, Cause cause = Cause::Statement)
        : std::runtime_error(message.toStdString()), m_cause(cause) {}
    explicit SqlError(const char* message, Cause cause = Cause::Statement)
        : std::runtime_error(message), m_cause(cause) {}

    // The client library's last error on handle, its cause told by its error number: the
    // client's or the server's own words after lead, a Polish sentence of ours; without a lead,
    // one that says whether the connection or the statement failed.
    static SqlError fromClient(MYSQL* handle, const QString& lead);
    static SqlError fromClient(MYSQL* handle);
    // The same for a prepared statement.
    static SqlError fromStatement(MYSQL_STMT* statement);

    Cause cause() const { return m_cause; }

private:
    Cause m_cause;
};

} // namespace sql

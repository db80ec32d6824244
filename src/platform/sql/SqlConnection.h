#pragma once

#include "platform/sql/ServerList.h"
#include "platform/sql/SqlHandles.h"
#include "platform/sql/StatementCache.h"

#include <QString>
#include <QStringList>
#include <vector>

namespace sql {

class SqlQuery;

// The program's one connection to the MySQL/MariaDB server, configured like a connection
// component: a driver name and a parameter list of "Name=Value" lines. open() reads
// Database=, User_Name=, Password= and HostName=, a list of servers separated by commas, each
// with an optional ":port" (ParseServerList), tried in order; everything else (port, socket, TLS) comes
// from the client option files (groups [client], [client-server], [zemlo-viewer]) and the
// environment (MYSQL_TCP_PORT, MYSQL_UNIX_PORT). The connection always talks utf8mb4.
// Connecting gives up after 10 s unless the option files say otherwise (connect-timeout).
// A statement that waits more than 15 s for the server to take or send data fails; the
// client library reads no option for these two time-outs. After a failure because the
// server went away or stopped answering, the next statement reconnects by itself.
// Statements run as prepared statements, each text prepared once on the connection (and
// again after a reconnect), so that their values arrive as the server holds them.
class SqlConnection {
public:
    SqlConnection() = default;
    ~SqlConnection();
    SqlConnection(const SqlConnection&) = delete;
    SqlConnection& operator=(const SqlConnection&) = delete;

    QStringList& Params() { return m_params; }
    const QStringList& Params() const { return m_params; }
    void setDriverName(const QString& name) { m_driverName = name; }
    const QString& driverName() const { return m_driverName; }

    // Connects to the first server of the list that takes the login. Throws SqlError with
    // each server's failure, in the client library's or the server's words, when none does.
    // Does nothing when already open.
    void open();
    // After the server in use was lost: closes, and connects to the next server of the list
    // that takes the login, going round to the one that was lost last. Throws as open().
    void failOver();
    // Closes every query bound to this connection, then the connection. Idempotent.
    void close();
    bool isOpen() const { return m_handle != nullptr; }
    MYSQL* handle() const { return m_handle.get(); }
    // The server connected to, as the list names it; empty when not open.
    QString serverInUse() const;
    // How many servers the list of the last open names.
    std::size_t serverCount() const { return m_servers.size(); }

    // The value of the parameter line "name=..." (name case-insensitive); empty if absent.
    QString param(const QString& name) const;

private:
    friend class SqlQuery;
    void attach(SqlQuery* query);
    void detach(SqlQuery* query);
    void connectFrom(std::size_t first);
    MysqlHandle connectTo(const ServerAddress& server, const QByteArray& database, const QByteArray& user,
                          const QByteArray& password) const;

    QStringList m_params;
    QString m_driverName = QStringLiteral("MySQL");
    MysqlHandle m_handle;
    std::vector<ServerAddress> m_servers;
    std::size_t m_serverIndex = 0;
    StatementCache m_statements;
    std::vector<SqlQuery*> m_queries;
};

} // namespace sql

#pragma once

#include "platform/sql/SqlHandles.h"

#include <QString>
#include <QStringList>
#include <vector>

namespace sql {

class SqlQuery;

// The program's one connection to the MySQL/MariaDB server, configured like a connection
// component: a driver name and a parameter list of "Name=Value" lines. open() reads
// Database=, User_Name=, Password= and HostName=; everything else (port, socket, time-outs)
// comes from the client option files (groups [client], [client-server], [zemlo-viewer]) and
// the environment (MYSQL_TCP_PORT, MYSQL_UNIX_PORT). The connection reconnects by itself
// when the server went away, and always talks utf8mb4.
class SqlConnection {
public:
    SqlConnection() = default;
    ~SqlConnection();
    SqlConnection(const SqlConnection&) = delete;
    SqlConnection& operator=(const SqlConnection&) = delete;

    QStringList& Params() { return params_; }
    const QStringList& Params() const { return params_; }
    void setDriverName(const QString& name) { driverName_ = name; }
    const QString& driverName() const { return driverName_; }

    // Throws SqlError with the client library's message on any failure. Does nothing when
    // already open.
    void open();
    // Closes every query bound to this connection, then the connection. Idempotent.
    void close();
    bool isOpen() const { return handle_ != nullptr; }
    MYSQL* handle() const { return handle_.get(); }

    // The value of the parameter line "name=..." (name case-insensitive); empty if absent.
    QString param(const QString& name) const;

private:
    friend class SqlQuery;
    void attach(SqlQuery* query);
    void detach(SqlQuery* query);

    QStringList params_;
    QString driverName_ = QStringLiteral("MySQL");
    MysqlHandle handle_;
    std::vector<SqlQuery*> queries_;
};

} // namespace sql

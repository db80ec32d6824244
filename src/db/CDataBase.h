#pragma once

#include <QString>

namespace sql {
class SqlConnection;
class SqlQuery;
}

// The four connection values and the program's record of whether the database is
// connected. Every database read tests connected() first.
class CDataBase {
public:
    // Stores the values and marks the database as not connected; touches no connection.
    void SetParams(const QString& user, const QString& password, const QString& host,
                   const QString& database);
    // Rebuilds the connection's parameter list from the stored values, binds the query to
    // the connection and opens it. 0 on success, -1 on any failure (see lastError()).
    int Connect(sql::SqlConnection& connection, sql::SqlQuery& query);
    // Closes the connection if connected. 0, or -1 if closing failed; never connected after.
    int Disconnect(sql::SqlConnection& connection);

    bool connected() const { return connected_; }
    // Why the last Connect failed (the server's or the client library's words); empty after
    // a successful one.
    const QString& lastError() const { return lastError_; }

private:
    QString user;
    QString password;
    QString host;
    QString database;
    bool connected_ = false;
    QString lastError_;
};

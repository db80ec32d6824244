#pragma once

#include <QString>

namespace sql {
class SqlConnection;
class SqlQuery;
}

namespace db {

// The four connection values and the program's record of whether the database is
// connected. Every database read tests connected() first.
class CDataBase {
public:
    // Stores the values and marks the database as not connected; touches no connection.
    void SetParams(const QString& user, const QString& password, const QString& host,
                   const QString& database);
    // Rebuilds the connection's parameter list from the stored values, binds the query to
    // the connection and opens it. A failure throws sql::SqlError with the server's or the
    // client library's words and leaves the database not connected.
    void Connect(sql::SqlConnection& connection, sql::SqlQuery& query);
    // Closes the connection if connected; never connected after.
    void Disconnect(sql::SqlConnection& connection);

    bool connected() const { return m_connected; }

private:
    QString m_user;
    QString m_password;
    QString m_host;
    QString m_database;
    bool m_connected = false;
};

} // namespace db

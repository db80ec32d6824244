#include "db/CDataBase.h"

#include "platform/sql/SqlConnection.h"
#include "platform/sql/SqlQuery.h"

#include <exception>

namespace db {

void CDataBase::SetParams(const QString& user, const QString& password, const QString& host,
                          const QString& database)
{
    m_user = user;
    m_password = password;
    m_host = host;
    m_database = database;
    m_connected = false;
}

int CDataBase::Connect(sql::SqlConnection& connection, sql::SqlQuery& query)
{
    try {
        QStringList& params = connection.Params();
        params.clear();
        connection.setDriverName(QStringLiteral("MySQL"));
        params.append(QStringLiteral("Database=") + m_database);
        params.append(QStringLiteral("User_Name=") + m_user);
        params.append(QStringLiteral("Password=") + m_password);
        params.append(QStringLiteral("HostName=") + m_host);
        query.setConnection(&connection);
        connection.open();
    } catch (const std::exception& error) {
        m_lastError = QString::fromUtf8(error.what());
        m_connected = false;
        return -1;
    } catch (...) {
        m_lastError = QStringLiteral("Unknown error");
        m_connected = false;
        return -1;
    }
    m_lastError.clear();
    m_connected = true;
    return 0;
}

int CDataBase::Disconnect(sql::SqlConnection& connection)
{
    if (m_connected) {
        m_connected = false;
        try {
            connection.close();
        } catch (...) {
            return -1;
        }
    }
    return 0;
}

} // namespace db

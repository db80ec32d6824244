#include "db/CDataBase.h"

#include "platform/sql/SqlConnection.h"
#include "platform/sql/SqlQuery.h"

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

void CDataBase::Connect(sql::SqlConnection& connection, sql::SqlQuery& query)
{
    m_connected = false;
    QStringList& params = connection.Params();
    params.clear();
    connection.setDriverName(QStringLiteral("MySQL"));
    params.append(QStringLiteral("Database=") + m_database);
    params.append(QStringLiteral("User_Name=") + m_user);
    params.append(QStringLiteral("Password=") + m_password);
    params.append(QStringLiteral("HostName=") + m_host);
    query.setConnection(&connection);
    connection.open();
    m_connected = true;
}

void CDataBase::Disconnect(sql::SqlConnection& connection)
{
    if (!m_connected)
        return;
    m_connected = false;
    connection.close();
}

} // namespace db

#include "db/CDataBase.h"

#include "platform/sql/SqlConnection.h"
#include "platform/sql/SqlQuery.h"

#include <exception>

void CDataBase::SetParams(const QString& user, const QString& password, const QString& host,
                          const QString& database)
{
    this->user = user;
    this->password = password;
    this->host = host;
    this->database = database;
    connected_ = false;
}

int CDataBase::Connect(sql::SqlConnection& connection, sql::SqlQuery& query)
{
    try {
        QStringList& params = connection.Params();
        params.clear();
        connection.setDriverName(QStringLiteral("MySQL"));
        params.append(QStringLiteral("Database=") + database);
        params.append(QStringLiteral("User_Name=") + user);
        params.append(QStringLiteral("Password=") + password);
        params.append(QStringLiteral("HostName=") + host);
        query.setConnection(&connection);
        connection.open();
    } catch (const std::exception& error) {
        lastError_ = QString::fromUtf8(error.what());
        connected_ = false;
        return -1;
    } catch (...) {
        lastError_ = QStringLiteral("Unknown error");
        connected_ = false;
        return -1;
    }
    lastError_.clear();
    connected_ = true;
    return 0;
}

int CDataBase::Disconnect(sql::SqlConnection& connection)
{
    if (connected_) {
        connected_ = false;
        try {
            connection.close();
        } catch (...) {
            return -1;
        }
    }
    return 0;
}

#include "platform/sql/SqlConnection.h"

#include "platform/sql/SqlError.h"
#include "platform/sql/SqlQuery.h"

#include <algorithm>

namespace sql {

namespace {

constexpr const char* OptionGroup = "zemlo-viewer";
constexpr const char* CharacterSet = "utf8mb4";
constexpr unsigned int ConnectTimeoutSeconds = 10;
constexpr unsigned int ReadWriteTimeoutSeconds = 15;

const char* orNull(const QByteArray& text)
{
    return text.isEmpty() ? nullptr : text.constData();
}

// Options set before connecting; the option files, read while connecting, override those
// they name. A server that stops answering fails the statement after the read or write
// time-out instead of holding the program for as long as it hangs.
void setClientOptions(MYSQL* handle)
{
    const my_bool reconnect = 1;
    mysql_optionsv(handle, MYSQL_READ_DEFAULT_GROUP, OptionGroup);
    mysql_optionsv(handle, MYSQL_SET_CHARSET_NAME, CharacterSet);
    mysql_optionsv(handle, MYSQL_OPT_CONNECT_TIMEOUT, &ConnectTimeoutSeconds);
    mysql_optionsv(handle, MYSQL_OPT_READ_TIMEOUT, &ReadWriteTimeoutSeconds);
    mysql_optionsv(handle, MYSQL_OPT_WRITE_TIMEOUT, &ReadWriteTimeoutSeconds);
    mysql_optionsv(handle, MYSQL_OPT_RECONNECT, &reconnect);
}

} // namespace

SqlConnection::~SqlConnection()
{
    close();
    for (SqlQuery* query : m_queries)
        query->m_connection = nullptr;
}

QString SqlConnection::param(const QString& name) const
{
    for (const QString& line : m_params) {
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (equals >= 0 && QStringView(line).left(equals).compare(name, Qt::CaseInsensitive) == 0)
            return line.mid(equals + 1);
    }
    return {};
}

void SqlConnection::open()
{
    if (isOpen())
        return;
    if (m_driverName.compare(QLatin1String("MySQL"), Qt::CaseInsensitive) != 0)
        throw SqlError(QStringLiteral("Unknown driver: ") + m_driverName);

    const QByteArray database = param(QStringLiteral("Database")).toUtf8();
    const QByteArray user = param(QStringLiteral("User_Name")).toUtf8();
    const QByteArray password = param(QStringLiteral("Password")).toUtf8();
    const QByteArray host = param(QStringLiteral("HostName")).toUtf8();
    // The client library would log in as the operating system's user instead.
    if (user.isEmpty())
        throw SqlError("No user name given");

    MysqlHandle handle(mysql_init(nullptr));
    if (!handle)
        throw SqlError("Out of memory for a database connection");
    setClientOptions(handle.get());
    if (!mysql_real_connect(handle.get(), orNull(host), user.constData(), password.constData(),
                            orNull(database), 0, nullptr, 0))
        throw SqlError::fromClient(handle.get());
    // The option files may have named another character set.
    if (mysql_set_character_set(handle.get(), CharacterSet) != 0)
        throw SqlError::fromClient(handle.get());
    m_handle = std::move(handle);
}

void SqlConnection::close()
{
    for (SqlQuery* query : m_queries)
        query->close();
    m_handle.reset();
    m_statements.clear();
}

void SqlConnection::attach(SqlQuery* query)
{
    m_queries.push_back(query);
}

void SqlConnection::detach(SqlQuery* query)
{
    std::erase(m_queries, query);
}

} // namespace sql

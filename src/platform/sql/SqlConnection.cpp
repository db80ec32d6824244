#include "platform/sql/SqlConnection.h"

#include "platform/sql/SqlError.h"
#include "platform/sql/SqlQuery.h"
#include "platform/sql/ServerList.h"

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
    if (!isOpen())
        connectFrom(0);
}

void SqlConnection::failOver()
{
    // The server after the one in use first; the one that failed comes last.
    const std::size_t next = m_serverIndex + 1;
    close();
    connectFrom(next);
}

void SqlConnection::connectFrom(std::size_t first)
{
    if (m_driverName.compare(QLatin1String("MySQL"), Qt::CaseInsensitive) != 0)
        throw SqlError(QStringLiteral("Nieznany sterownik bazy danych: ") + m_driverName);

    const QByteArray database = param(QStringLiteral("Database")).toUtf8();
    const QByteArray user = param(QStringLiteral("User_Name")).toUtf8();
    const QByteArray password = param(QStringLiteral("Password")).toUtf8();
    // The client library would log in as the operating system's user instead.
    if (user.isEmpty())
        throw SqlError("Nie podano nazwy użytkownika bazy danych.");
    m_servers = ParseServerList(param(QStringLiteral("HostName")));

    // Each server in turn from first on, once; the errors of all of them if none answers.
    QStringList failures;
    bool serverAway = false;
    for (std::size_t tried = 0; tried < m_servers.size(); ++tried) {
        const std::size_t index = (first + tried) % m_servers.size();
        const ServerAddress& server = m_servers[index];
        try {
            m_handle = connectTo(server, database, user, password);
            m_serverIndex = index;
            return;
        } catch (const SqlError& error) {
            failures.append(QString::fromUtf8(error.what()));
            serverAway = serverAway || error.cause() == SqlError::Cause::Connection;
        }
    }
    throw SqlError(failures.join(QLatin1Char('\n')), serverAway ? SqlError::Cause::Connection : SqlError::Cause::Statement);
}

MysqlHandle SqlConnection::connectTo(const ServerAddress& server, const QByteArray& database, const QByteArray& user,
                                     const QByteArray& password) const
{
    const QString lead = QStringLiteral("Nie można połączyć się z serwerem bazy danych")
                         + (server.text.isEmpty() ? QString() : QLatin1Char(' ') + server.text);
    MysqlHandle handle(mysql_init(nullptr));
    if (!handle)
        throw SqlError(lead + QStringLiteral(": brak pamięci"));
    setClientOptions(handle.get());
    const QByteArray host = server.host.toUtf8();
    if (!mysql_real_connect(handle.get(), orNull(host), user.constData(), password.constData(), orNull(database),
                            server.port, nullptr, 0))
        throw SqlError::fromClient(handle.get(), lead);
    // The option files may have named another character set.
    if (mysql_set_character_set(handle.get(), CharacterSet) != 0)
        throw SqlError::fromClient(handle.get(), lead);
    return handle;
}

QString SqlConnection::serverInUse() const
{
    return isOpen() ? m_servers[m_serverIndex].text : QString();
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

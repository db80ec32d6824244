#include "TestServer.h"

#include "db/Contract.h"
#include "platform/sql/SqlConnection.h"
#include "platform/sql/SqlError.h"

#include <QCoreApplication>
#include <QRandomGenerator>
#include <QtGlobal>

namespace {

QByteArray requiredEnvironment(const char* variable)
{
    const QByteArray value = qgetenv(variable);
    if (value.isEmpty())
        qFatal("%s is not set. Run the database tests with scripts/test, which starts the "
               "private test server and exports its environment.",
               variable);
    return value;
}

sql::MysqlHandle connectAdmin()
{
    TestServer::requireServer();
    const QByteArray socket = qgetenv("ZEMLO_DB_SOCKET");
    sql::MysqlHandle admin(mysql_init(nullptr));
    const my_bool localInfile = 1;
    mysql_optionsv(admin.get(), MYSQL_OPT_LOCAL_INFILE, &localInfile);
    // Fixtures go on after a test restarted its server.
    const my_bool reconnect = 1;
    mysql_optionsv(admin.get(), MYSQL_OPT_RECONNECT, &reconnect);
    mysql_optionsv(admin.get(), MYSQL_SET_CHARSET_NAME, "utf8mb4");
    if (!mysql_real_connect(admin.get(), "localhost", "root", "", nullptr, 0, socket.constData(), 0))
        qFatal("Cannot reach the test server at %s as root: %s", socket.constData(),
               mysql_error(admin.get()));
    return admin;
}

QString uniqueDatabaseName()
{
    static int created = 0;
    return QStringLiteral("zemlo_test_%1_%2_%3")
        .arg(QCoreApplication::applicationPid())
        .arg(++created)
        .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
}

} // namespace

namespace TestServer {

QString viewerUser()
{
    return QStringLiteral("zemlo_viewer");
}

QString viewerPassword()
{
    return QStringLiteral("zemlo_viewer");
}

QString viewerHost()
{
    return QStringLiteral("127.0.0.1");
}

void requireServer()
{
    requiredEnvironment("ZEMLO_DB_SOCKET");
    requiredEnvironment("MYSQL_TCP_PORT");  // the viewer's connections take their port from it
}

void setViewerParams(sql::SqlConnection& connection, const QString& database)
{
    requireServer();
    connection.Params() = {QStringLiteral("Database=") + database,
                           QStringLiteral("User_Name=") + viewerUser(),
                           QStringLiteral("Password=") + viewerPassword(),
                           QStringLiteral("HostName=") + viewerHost()};
}

} // namespace TestServer

QString sqlErrorOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const sql::SqlError& error) {
        return QString::fromUtf8(error.what());
    }
    return {};
}

ScratchDatabase::ScratchDatabase(const QString& nameEnd) : m_admin(connectAdmin()), m_name(uniqueDatabaseName() + nameEnd)
{
    exec(QStringLiteral("CREATE DATABASE ") + quoteName(m_name) + QStringLiteral(" CHARACTER SET utf8mb4"));
    if (mysql_select_db(m_admin.get(), m_name.toUtf8().constData()) != 0)
        throw sql::SqlError(QString::fromUtf8(mysql_error(m_admin.get())));
}

ScratchDatabase::~ScratchDatabase()
{
    const QByteArray drop = (QStringLiteral("DROP DATABASE IF EXISTS ") + quoteName(m_name)).toUtf8();
    if (mysql_real_query(m_admin.get(), drop.constData(), drop.size()) != 0)
        qWarning("Could not drop %s: %s", qPrintable(m_name), mysql_error(m_admin.get()));
}

void ScratchDatabase::exec(const QString& statement)
{
    const QByteArray text = statement.toUtf8();
    if (mysql_real_query(m_admin.get(), text.constData(), text.size()) != 0)
        throw sql::SqlError(QString::fromUtf8(mysql_error(m_admin.get())));
    const sql::ResultHandle discarded(mysql_store_result(m_admin.get()));
}

QString ScratchDatabase::quoteName(const QString& identifier)
{
    QString quoted = identifier;
    quoted.replace(QLatin1Char('`'), QLatin1String("``"));
    return QLatin1Char('`') + quoted + QLatin1Char('`');
}

QString ScratchDatabase::quoteText(const QString& text) const
{
    const QByteArray utf8 = text.toUtf8();
    QByteArray escaped(utf8.size() * 2 + 1, Qt::Uninitialized);
    const unsigned long length =
        mysql_real_escape_string(m_admin.get(), escaped.data(), utf8.constData(), utf8.size());
    escaped.truncate(qsizetype(length));
    return QLatin1Char('\'') + QString::fromUtf8(escaped) + QLatin1Char('\'');
}

QString ScratchDatabase::number(double value)
{
    return QString::number(value, 'g', 17);
}

void ScratchDatabase::createSettingsTable(const QString& table)
{
    exec(QStringLiteral("CREATE TABLE ") + quoteName(table) + QStringLiteral(R"( (
        NAME VARCHAR(64) NOT NULL, UNIT VARCHAR(10) NOT NULL,
        POSITION_1 VARCHAR(24) NOT NULL, POSITION_2 VARCHAR(24) NOT NULL,
        A1_L FLOAT NOT NULL, A1_H FLOAT NOT NULL, A1_HIS FLOAT NOT NULL,
        A2_L FLOAT NOT NULL, A2_H FLOAT NOT NULL, A2_HIS FLOAT NOT NULL,
        CH_C INT NOT NULL, CH_T INT NOT NULL, CH_S INT NOT NULL, LIMIT_EN INT NOT NULL,
        DOT INT NOT NULL, LIMIT_LO FLOAT NOT NULL, LIMIT_HI FLOAT NOT NULL))"));
}

void ScratchDatabase::insertSettings(const ContractChannel& c, const QString& table)
{
    const QStringList values = {
        quoteText(c.NAME), quoteText(c.UNIT), quoteText(c.POSITION_1), quoteText(c.POSITION_2),
        number(c.A1_L), number(c.A1_H), number(c.A1_HIS),
        number(c.A2_L), number(c.A2_H), number(c.A2_HIS),
        number(c.CH_C), number(c.CH_T), number(c.CH_S), number(c.LIMIT_EN),
        number(c.DOT), number(c.LIMIT_LO), number(c.LIMIT_HI)};
    exec(QStringLiteral("INSERT INTO ") + quoteName(table) + QStringLiteral(" (NAME, UNIT, "
         "POSITION_1, POSITION_2, A1_L, A1_H, A1_HIS, A2_L, A2_H, A2_HIS, CH_C, CH_T, CH_S, "
         "LIMIT_EN, DOT, LIMIT_LO, LIMIT_HI) VALUES (") + values.join(QLatin1Char(',')) + QLatin1Char(')'));
}

void ScratchDatabase::createContract(const QList<ContractChannel>& channels)
{
    createSettingsTable();
    QStringList dataColumns = {QStringLiteral("DT DATETIME NOT NULL PRIMARY KEY")};
    m_channelNames.clear();
    for (const ContractChannel& channel : channels) {
        insertSettings(channel);
        m_channelNames.append(channel.NAME);
        dataColumns.append(quoteName(channel.NAME) + QStringLiteral(" FLOAT NULL"));
        dataColumns.append(quoteName(db::contract::AlarmColumn(channel.NAME)) + QStringLiteral(" VARCHAR(10) NULL"));
    }
    exec(QStringLiteral("CREATE TABLE %1 (").arg(db::contract::DataTable) + dataColumns.join(QLatin1Char(',')) + QLatin1Char(')'));
    exec(QStringLiteral("CREATE TABLE %1 (DT DATETIME NOT NULL, TYPE INT NOT NULL, "
                        "NAME VARCHAR(64) NOT NULL, VAL INT NOT NULL, DESCRIPTION INT NOT NULL)").arg(db::contract::EventTable));
}

void ScratchDatabase::insertData(const QString& dateTime, const QList<DataCell>& cells)
{
    if (cells.size() != m_channelNames.size())
        throw sql::SqlError(QStringLiteral("insertData needs one cell per channel"));
    QStringList values = {quoteText(dateTime)};
    for (const DataCell& cell : cells) {
        values.append(cell.value ? number(*cell.value) : QStringLiteral("NULL"));
        values.append(cell.alarm ? quoteText(*cell.alarm) : QStringLiteral("NULL"));
    }
    exec(QStringLiteral("INSERT INTO %1 VALUES (").arg(db::contract::DataTable) + values.join(QLatin1Char(',')) + QLatin1Char(')'));
}

void ScratchDatabase::insertEvent(const QString& dateTime, int type, const QString& name,
                                  int value, int description)
{
    exec(QStringLiteral("INSERT INTO %1 (DT, TYPE, NAME, VAL, DESCRIPTION) VALUES (%2,%3,%4,%5,%6)")
             .arg(db::contract::EventTable).arg(quoteText(dateTime)).arg(type).arg(quoteText(name)).arg(value).arg(description));
}

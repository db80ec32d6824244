#include "ServerMeter.h"

#include "BareReads.h"

#include <QFile>
#include <cmath>
#include <limits>
#ifdef Q_OS_LINUX
#include <unistd.h>
#endif

namespace bench {

ServerMeter::ServerMeter(const QString& database)
    : m_mysql(ConnectBare(database))
    , m_statFile(QStringLiteral("/proc/%1/stat").arg(qEnvironmentVariable("ZEMLO_DB_PID")))
{
    // Each question's answer is counted by the next one: the same bytes every time.
    const qint64 first = readBytesSent();
    m_ownBytes = readBytesSent() - first;
}

qint64 ServerMeter::readBytesSent()
{
    if (mysql_query(m_mysql.get(), "SHOW GLOBAL STATUS LIKE 'Bytes_sent'") != 0)
        qFatal("server status: %s", mysql_error(m_mysql.get()));
    const sql::ResultHandle result(mysql_store_result(m_mysql.get()));
    const MYSQL_ROW row = mysql_fetch_row(result.get());
    return row ? QByteArray(row[1]).toLongLong() : 0;
}

qint64 ServerMeter::bytesSent()
{
    return readBytesSent() - m_ownBytes;
}

double ServerMeter::cpuMilliseconds() const
{
#ifdef Q_OS_LINUX
    QFile stat(m_statFile);
    if (stat.open(QIODevice::ReadOnly)) {
        // The fields after the command's name in parentheses: utime and stime are the 12th and 13th.
        const QByteArray text = stat.readAll();
        const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
        if (fields.size() > 12)
            return double(fields[11].toLongLong() + fields[12].toLongLong()) * 1000.0 / double(sysconf(_SC_CLK_TCK));
    }
#endif
    return std::numeric_limits<double>::quiet_NaN();
}

} // namespace bench

#include "PrivateServer.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <csignal>

PrivateServer::PrivateServer()
    : m_dir(QDir::tempPath() + QStringLiteral("/zemlo-server-XXXXXX"))
{
}

PrivateServer::~PrivateServer()
{
    if (m_running)
        stop();
}

bool PrivateServer::run(const QString& command)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.start(qEnvironmentVariable("ZEMLO_SOURCE_DIR") + QStringLiteral("/scripts/db-server"), {command, m_dir.path()});
    return process.waitForFinished(120000) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

bool PrivateServer::start()
{
    m_running = run(QStringLiteral("start"));
    return m_running;
}

bool PrivateServer::stop()
{
    m_running = !run(QStringLiteral("stop"));
    return !m_running;
}

void PrivateServer::makeCurrent() const
{
    QFile port(m_dir.filePath(QStringLiteral("port")));
    if (!port.open(QIODevice::ReadOnly))
        qFatal("the private server has no port file");
    qputenv("MYSQL_TCP_PORT", port.readAll().trimmed());
    qputenv("ZEMLO_DB_SOCKET", m_dir.filePath(QStringLiteral("mysql.sock")).toUtf8());
}

bool PrivateServer::sendSignal(int number) const
{
    QFile pidFile(m_dir.filePath(QStringLiteral("mysqld.pid")));
    if (!pidFile.open(QIODevice::ReadOnly))
        return false;
    bool valid = false;
    const pid_t pid = pidFile.readAll().trimmed().toInt(&valid);
    return valid && pid > 0 && ::kill(pid, number) == 0;
}

bool PrivateServer::freeze() const
{
    return sendSignal(SIGSTOP);
}

bool PrivateServer::thaw() const
{
    return sendSignal(SIGCONT);
}

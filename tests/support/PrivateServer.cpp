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

bool PrivateServer::run(const QStringList& arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.start(qEnvironmentVariable("ZEMLO_SOURCE_DIR") + QStringLiteral("/scripts/db-server"), arguments);
    return process.waitForFinished(120000) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

// A restart starts the server the way it was first started.
bool PrivateServer::startWith(const QString& command, const QStringList& arguments)
{
    m_startCommand = command;
    m_startArguments = arguments;
    return start();
}

bool PrivateServer::start()
{
    m_running = run(QStringList{m_startCommand, m_dir.path()} + m_startArguments);
    return m_running;
}

bool PrivateServer::startAsPrimary()
{
    return startWith(QStringLiteral("start-primary"));
}

bool PrivateServer::startAsReplicaOf(const PrivateServer& primary)
{
    return startWith(QStringLiteral("start-replica"), {primary.m_dir.path()});
}

bool PrivateServer::stop()
{
    m_running = !run({QStringLiteral("stop"), m_dir.path()});
    return !m_running;
}

QString PrivateServer::port() const
{
    QFile file(m_dir.filePath(QStringLiteral("port")));
    return file.open(QIODevice::ReadOnly) ? QString::fromLatin1(file.readAll().trimmed()) : QString();
}

void PrivateServer::makeCurrent() const
{
    if (port().isEmpty())
        qFatal("the private server has no port file");
    qputenv("MYSQL_TCP_PORT", port().toLatin1());
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

#pragma once

#include <QString>
#include <QTemporaryDir>

// A MariaDB server of a test's own, in a temporary folder, for tests that stop and start
// it. Making it the one the process talks to must happen before the client library's first
// use in the process: the library reads MYSQL_TCP_PORT once.
class PrivateServer {
public:
    PrivateServer();
    ~PrivateServer();

    bool start();
    // Started with a binary log, for replicas to read.
    bool startAsPrimary();
    // Started read-only, replicating primary (started with startAsPrimary) from its first change on.
    bool startAsReplicaOf(const PrivateServer& primary);
    bool stop();
    // The TCP port on 127.0.0.1.
    QString port() const;
    // Stops the server's process where it stands (SIGSTOP), and lets it go on (SIGCONT):
    // a server that accepts connections and statements but does not answer. thaw() may be
    // called from any thread.
    bool freeze() const;
    bool thaw() const;
    // Points the viewer's connections (MYSQL_TCP_PORT) and the fixtures (ZEMLO_DB_SOCKET) here.
    void makeCurrent() const;

private:
    bool run(const QStringList& arguments);
    bool startWith(const QString& command, const QStringList& arguments = {});
    bool sendSignal(int number) const;

    QTemporaryDir m_dir;
    bool m_running = false;
    QString m_startCommand = QStringLiteral("start");
    QStringList m_startArguments;
};

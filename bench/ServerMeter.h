#pragma once

#include "platform/sql/SqlHandles.h"

#include <QString>

namespace bench {

// What the database server spends, on a private server that serves only the benchmark:
// the CPU time of its process (user and system, all its threads; the process named by
// $ZEMLO_DB_PID, Linux only) and the bytes it has sent to all its clients (its global
// status Bytes_sent, without the bytes that answer the meter's own questions).
class ServerMeter {
public:
    explicit ServerMeter(const QString& database);

    // NaN where the process's times cannot be read.
    double cpuMilliseconds() const;
    qint64 bytesSent();

    // The server's CPU time and bytes sent for one run of work.
    struct Cost {
        double cpu = 0;
        double bytes = 0;
    };
    template <typename Work>
    Cost measure(Work&& work)
    {
        const qint64 bytesBefore = bytesSent();
        const double cpuBefore = cpuMilliseconds();
        work();
        const double cpu = cpuMilliseconds() - cpuBefore;
        return {cpu, double(bytesSent() - bytesBefore)};
    }

private:
    qint64 readBytesSent();

    sql::MysqlHandle m_mysql;
    QString m_statFile;
    qint64 m_ownBytes = 0;
};

} // namespace bench

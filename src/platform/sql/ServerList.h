#pragma once

#include <QString>
#include <vector>

namespace sql {

// One database server of a host list: "host", "host:port", or "[address]:port" for an IPv6
// address. Port 0 leaves the port to the client library (option files, MYSQL_TCP_PORT).
struct ServerAddress {
    QString host;
    unsigned int port = 0;
    // As the list names it, for the operator.
    QString text;

    bool operator==(const ServerAddress&) const = default;
};

// The servers of a host list, in order: separated by commas, blanks around each ignored, empty
// entries skipped (a host name has no comma, so a single server reads as it always did). An
// address with more than one ':' and no brackets is an IPv6 address without a port. An empty
// list gives one server without a host: the client library's default. A port that is not a
// number from 1 to 65535 throws SqlError naming the entry.
std::vector<ServerAddress> ParseServerList(const QString& hosts);

} // namespace sql

#include "platform/sql/ServerList.h"

#include "platform/sql/SqlError.h"

#include <QStringList>

namespace sql {

namespace {

unsigned int ParsePort(const QString& port, const QString& entry)
{
    bool ok = false;
    const uint value = port.toUInt(&ok, 10);
    if (!ok || value == 0 || value > 65535)
        throw SqlError(QStringLiteral("Nieprawidłowy numer portu serwera bazy danych w „%1”: port to liczba od 1 do 65535.")
                           .arg(entry));
    return value;
}

ServerAddress ParseServer(const QString& entry)
{
    if (entry.startsWith(u'[')) {
        const qsizetype close = entry.indexOf(u']');
        if (close > 0) {
            const QString rest = entry.mid(close + 1);
            if (rest.isEmpty())
                return {entry.mid(1, close - 1), 0, entry};
            if (rest.startsWith(u':'))
                return {entry.mid(1, close - 1), ParsePort(rest.mid(1), entry), entry};
        }
        return {entry, 0, entry};
    }
    const qsizetype colon = entry.indexOf(u':');
    if (colon < 0 || colon != entry.lastIndexOf(u':'))
        return {entry, 0, entry};
    return {entry.left(colon), ParsePort(entry.mid(colon + 1), entry), entry};
}

} // namespace

std::vector<ServerAddress> ParseServerList(const QString& hosts)
{
    std::vector<ServerAddress> servers;
    for (const QString& part : hosts.split(u',')) {
        const QString entry = part.trimmed();
        if (!entry.isEmpty())
            servers.push_back(ParseServer(entry));
    }
    if (servers.empty())
        servers.push_back({});
    return servers;
}

} // namespace sql

#pragma once

#include "db/Contract.h"
#include "platform/sql/SqlHandles.h"

#include <QList>
#include <QString>
#include <functional>
#include <optional>

namespace sql {
class SqlConnection;
}

// The private MariaDB server that scripts/test starts: the viewer's login, and admin access
// (root over the Unix socket $ZEMLO_DB_SOCKET) for building fixtures.
namespace TestServer {

QString viewerUser();      // "zemlo_viewer", may only SELECT
QString viewerPassword();  // "zemlo_viewer"
QString viewerHost();      // "127.0.0.1"; the port comes from $MYSQL_TCP_PORT

// Stops the test run with a clear message unless scripts/test has started the server.
void requireServer();

// Fills a connection's parameter list with the viewer's login to the given database.
void setViewerParams(sql::SqlConnection& connection, const QString& database);

} // namespace TestServer

// The message of the sql::SqlError that action throws, or a null QString if it throws none.
QString sqlErrorOf(const std::function<void()>& action);

// One channel of a settings fixture; the defaults make a plain channel.
struct ContractChannel {
    QString NAME;
    QString UNIT = QStringLiteral("°C");
    QString POSITION_1 = QStringLiteral("NULL");
    QString POSITION_2 = QStringLiteral("NULL");
    float A1_L = 0, A1_H = 0, A1_HIS = 0;
    float A2_L = 0, A2_H = 0, A2_HIS = 0;
    qint32 CH_C = 0, CH_T = 0, CH_S = 0, LIMIT_EN = 0, DOT = 1;
    float LIMIT_LO = 0, LIMIT_HI = 100;
};

// One channel's cell pair of a measurement row: the value and the alarm text, either NULL.
struct DataCell {
    std::optional<double> value;
    std::optional<QString> alarm;
};

// A database of its own for one test, created through an admin connection and dropped
// when the object goes. The admin connection may LOAD DATA LOCAL INFILE.
class ScratchDatabase {
public:
    // The name is made unique; nameEnd is appended to it.
    explicit ScratchDatabase(const QString& nameEnd = QString());
    ~ScratchDatabase();
    ScratchDatabase(const ScratchDatabase&) = delete;
    ScratchDatabase& operator=(const ScratchDatabase&) = delete;

    const QString& name() const { return m_name; }
    // Runs one statement in this database; throws sql::SqlError with the server's message.
    void exec(const QString& statement);

    static QString quoteName(const QString& identifier);  // `name`
    QString quoteText(const QString& text) const;          // 'text', escaped
    static QString number(double value);                   // exact SQL literal

    // The measurement database contract: ZEMLO_SETTINGS (one row per channel, in order),
    // ZEMLO_DATA (DT and every channel's value and alarm column) and ZEMLO_EVENTS.
    void createContract(const QList<ContractChannel>& channels);
    void createSettingsTable(const QString& table = db::contract::SettingsTable);
    void insertSettings(const ContractChannel& channel,
                        const QString& table = db::contract::SettingsTable);
    // A ZEMLO_DATA row at dateTime ("yyyy-MM-dd hh:mm:ss"), one cell per contract channel.
    void insertData(const QString& dateTime, const QList<DataCell>& cells);
    void insertEvent(const QString& dateTime, int type, const QString& name, int value,
                     int description);

private:
    sql::MysqlHandle m_admin;
    QString m_name;
    QStringList m_channelNames;
};

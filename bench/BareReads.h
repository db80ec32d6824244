#pragma once

#include "platform/sql/SqlHandles.h"

#include <QByteArray>
#include <QString>
#include <vector>

// Reads of a statement's rows through the C API alone, nothing kept: the floors that the
// program's own reads are measured against.
namespace bench {

// The viewer's login to database on the private server, over TCP as the program's.
sql::MysqlHandle ConnectBare(const QString& database);

// The text query, streamed, every non-NULL field parsed as a float with std::from_chars (the
// fastest honest parse of the server's text). The sum of the values read, so that the
// parse is not optimised away.
double ReadText(MYSQL* mysql, const QByteArray& statement);

// The statement prepared once and executed as often as run() is called, streamed, its
// columns bound by type (FLOAT as a float, DATETIME as MYSQL_TIME, anything else as text of
// up to 64 bytes) as the program's are.
class BareStatement {
public:
    BareStatement(MYSQL* mysql, const QByteArray& statement);
    // The rows read.
    qint64 run();

private:
    sql::StatementHandle m_statement;
    std::vector<MYSQL_BIND> m_binds;
    std::vector<char> m_buffers;
    std::vector<unsigned long> m_lengths;
    std::vector<my_bool> m_nulls;
};

} // namespace bench

#pragma once

#include "platform/sql/ResultMode.h"

#include <QByteArray>
#include <memory>
#include <mysql.h>
#include <utility>
#include <vector>

namespace sql {

class PreparedStatement;

// The statements prepared on one connection, by their text, so that a statement run again
// (the newest row, every refresh) is prepared once and only executed after that. Holds the
// few used last; one that a query still reads is not handed out again.
class StatementCache {
public:
    StatementCache();
    ~StatementCache();
    StatementCache(const StatementCache&) = delete;
    StatementCache& operator=(const StatementCache&) = delete;

    // Executes text on handle as a prepared statement, prepared now or before, and gives it
    // standing before its first row. Prepares it again when the server asks for that (once).
    // Nothing when the server does not prepare it: the text query is the way then. Throws
    // SqlError for the statement's failures.
    std::shared_ptr<PreparedStatement> execute(MYSQL* handle, const QByteArray& text, ResultMode mode);
    // Forgets every statement; after the connection was closed, so that closing them asks
    // nothing of the server.
    void clear();

private:
    static constexpr std::size_t Capacity = 4;
    // The idle statement of text, or a new one; nothing when the server does not prepare it.
    std::shared_ptr<PreparedStatement> take(MYSQL* handle, const QByteArray& text);
    void forget(const std::shared_ptr<PreparedStatement>& statement);

    // The statements, the one used last at the end.
    std::vector<std::pair<QByteArray, std::shared_ptr<PreparedStatement>>> m_statements;
};

} // namespace sql

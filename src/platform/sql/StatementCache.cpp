#include "platform/sql/StatementCache.h"

#include "platform/sql/PreparedStatement.h"

#include <algorithm>

namespace sql {

StatementCache::StatementCache() = default;

StatementCache::~StatementCache() = default;

std::shared_ptr<PreparedStatement> StatementCache::execute(MYSQL* handle, const QByteArray& text, ResultMode mode)
{
    for (int attempt = 0; attempt < 2; ++attempt) {
        std::shared_ptr<PreparedStatement> statement = take(handle, text);
        if (!statement)
            return nullptr;
        if (statement->execute(mode) == PreparedStatement::Outcome::Executed)
            return statement;
        // Closed before its successor is prepared: the server may number the new one as the
        // old one was, and closing the old one then must not close the new one.
        forget(statement);
    }
    // Asked twice running to prepare it again: the text query does not depend on that.
    return nullptr;
}

std::shared_ptr<PreparedStatement> StatementCache::take(MYSQL* handle, const QByteArray& text)
{
    const auto idle = std::find_if(m_statements.begin(), m_statements.end(), [&](const auto& entry) {
        return entry.first == text && entry.second.use_count() == 1;
    });
    if (idle != m_statements.end()) {
        std::rotate(idle, idle + 1, m_statements.end());
        return m_statements.back().second;
    }
    std::shared_ptr<PreparedStatement> statement = PreparedStatement::prepare(handle, text);
    if (!statement)
        return nullptr;
    if (m_statements.size() == Capacity)
        m_statements.erase(m_statements.begin());
    m_statements.emplace_back(text, statement);
    return statement;
}

void StatementCache::forget(const std::shared_ptr<PreparedStatement>& statement)
{
    std::erase_if(m_statements, [&](const auto& entry) { return entry.second == statement; });
}

void StatementCache::clear()
{
    m_statements.clear();
}

} // namespace sql

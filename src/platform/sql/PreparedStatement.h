#pragma once

#include "platform/sql/ResultCells.h"
#include "platform/sql/ResultMode.h"
#include "platform/sql/SqlHandles.h"

#include <QByteArray>
#include <memory>
#include <vector>

namespace sql {

// One statement prepared on a connection and executed as often as it is asked for. Its
// result columns are bound once, by their type, into buffers of its own that every row is
// read into (see CellKind): the values arrive as the server holds them, not as text.
class PreparedStatement {
public:
    // Prepares text on handle. Nothing when the server does not prepare it (a limit of
    // prepared statements reached, a statement it cannot prepare, a proxy that refuses):
    // the text query is the way then. Throws SqlError when the connection fails.
    static std::unique_ptr<PreparedStatement> prepare(MYSQL* handle, const QByteArray& text);
    ~PreparedStatement();
    PreparedStatement(const PreparedStatement&) = delete;
    PreparedStatement& operator=(const PreparedStatement&) = delete;

    enum class Outcome { Executed, PrepareAgain };
    // Runs the statement and stands before its first row; a buffered result is fetched
    // whole. PrepareAgain, with no result: the server no longer knows the statement (the
    // connection was made again, the server restarted) or its columns are not those bound
    // (the tables or the view were altered or replaced). Other failures throw SqlError.
    Outcome execute(ResultMode mode);
    // The next row into the buffers; false at the end. Throws SqlError when the rows stop
    // early (a broken connection, a time-out).
    bool fetch();
    // Lets go of the result, reading a streamed one to its end. Idempotent.
    void freeResult();

    // The rows read so far; all of them for a buffered result.
    qint64 rowCount() const;
    int fieldCount() const { return int(m_kinds.size()); }
    const MYSQL_FIELD* fields() const;
    RowCells cells() const { return {m_cells.data(), m_lengths.data(), m_nulls.data(), m_kinds.data()}; }

private:
    PreparedStatement(MYSQL* handle, StatementHandle statement);
    void bindResult();
    const char* buffer(int column) const;
    bool boundColumnsSent() const;
    void fetchLongTexts();

    MYSQL* m_handle;
    StatementHandle m_statement;
    unsigned long m_threadId;
    // Per column: how its cells are held, the type and sign it was bound for, where its
    // buffer lies (in 8-byte slots), and its buffer's size for a Text column.
    std::vector<ColumnKind> m_kinds;
    std::vector<enum_field_types> m_boundTypes;
    std::vector<bool> m_boundUnsigned;
    std::vector<std::size_t> m_offsets;
    std::vector<const char*> m_cells;
    std::vector<unsigned long> m_capacities;
    std::vector<unsigned long> m_lengths;
    std::vector<my_bool> m_nulls;
    std::vector<my_bool> m_truncated;
    std::vector<quint64> m_buffers; // every column's buffer, 8-byte aligned
    std::vector<int> m_textColumns;
    // Texts longer than their buffer, read whole for the current row, and the columns
    // whose cell points there instead of at its buffer.
    std::vector<QByteArray> m_longTexts;
    std::vector<int> m_movedCells;
};

} // namespace sql

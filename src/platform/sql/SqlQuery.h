#pragma once

#include "platform/sql/CellReading.h"
#include "platform/sql/ResultMode.h"
#include "platform/sql/SqlHandles.h"

#include <QByteArrayView>
#include <QDateTime>
#include <QHash>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace sql {

class PreparedStatement;
class SqlConnection;

// The program's single query object: SQL text, open, a cursor over the rows, and the
// values of the current row by column index. Column names are resolved to indexes once
// per open; reading a value allocates nothing except text() and raw() of a cell that is
// not text.
//
// The statement runs as a prepared statement, so that its values arrive as the server
// holds them (a FLOAT as the float32 stored, not as the six digits of its text); where the
// server does not prepare it, it runs as a text query, with the values read from their text.
class SqlQuery {
public:
    SqlQuery() = default;
    ~SqlQuery();
    SqlQuery(const SqlQuery&) = delete;
    SqlQuery& operator=(const SqlQuery&) = delete;

    // Closes the query and binds it to another connection (or none).
    void setConnection(SqlConnection* connection);
    SqlConnection* connection() const { return m_connection; }
    void setSql(const QString& text) { m_sql = text; }
    const QString& sql() const { return m_sql; }

    // Runs the statement and stands on its first row (eof() when there is none).
    void open(ResultMode mode = ResultMode::Buffered);
    // Frees the result, also a streamed one that was not read to its end. Idempotent.
    void close();
    bool isOpen() const { return m_result != nullptr || m_statement != nullptr; }
    // Whether the open statement runs prepared (its values typed) or as a text query.
    bool isPrepared() const { return m_statement != nullptr; }

    // The number of rows; for a streamed result -1 until the end has been reached.
    qint64 recordCount() const;
    bool eof() const;
    void next();

    int fieldCount() const;
    QString fieldName(int index) const;
    // Case-insensitive, as MySQL compares column names; the first of equal names wins.
    int fieldIndex(const QString& name) const;
    // The same without the error: nothing for a column that is not there.
    std::optional<int> findField(const QString& name) const;
    // Changes whenever an open brings columns other than the previous open's, so that a
    // reader may keep the indexes it looked up for as long as it stays the same.
    quint64 fieldLayoutVersion() const { return m_layoutVersion; }

    bool isNull(int index) const;
    // Throws "Kolumna 'X' ma wartość NULL" when the value is NULL.
    void checkNotNull(int index) const;
    // The cell's text: a text's bytes, a number or date-time written as the server writes it
    // (a float with the fewest digits that give it back exactly). Null for NULL.
    QString text(int index) const;
    QByteArrayView raw(int index) const;
    // The numeric and date-time readers throw SqlError for NULL and for a value that is not
    // wholly one of their kind (a zero date included), naming the column.
    float toFloat(int index) const;
    // The same for a cell that may be NULL (nothing then), testing the cell once: for
    // readers of millions of cells.
    std::optional<float> toOptionalFloat(int index) const;
    // The cell as a float without an error: its value, NULL, or why it holds no float.
    FloatCell readFloat(int index) const;

    // The cells of the current row, for a reader of thousands of them a row: the row is
    // checked once when taken, its cells are then read by index without any check, so an
    // index must come from fieldIndex() of this open. Valid until next() or close().
    class Row {
    public:
        bool isNull(int index) const { return m_cells.isNull(index); }
        QByteArrayView raw(int index) const
        {
            if (isNull(index))
                return {};
            return m_cells.kind(index) == CellKind::Text ? m_cells.bytes(index) : m_query->typedText(index);
        }
        FloatCell readFloat(int index) const { return sql::readFloat(m_cells, index); }

    private:
        friend class SqlQuery;
        Row(const SqlQuery* query, const RowCells& cells) : m_query(query), m_cells(cells) {}
        const SqlQuery* m_query;
        RowCells m_cells;
    };
    Row row() const;
    // toOptionalFloat() of a cell of row.
    std::optional<float> toOptionalFloat(const Row& row, int index) const;
    double toDouble(int index) const;
    qint32 toInt(int index) const;
    QDateTime toDateTime(int index) const;

private:
    friend class SqlConnection;
    void openText(const QByteArray& statement, ResultMode mode);
    void fetchRow();
    void takeFieldLayout(const MYSQL_FIELD* fields, int count);
    void requireOpen() const;
    void requireField(int index) const;
    void requireCell(int index) const;
    // The text of a typed cell of the current row, made once a row.
    QByteArrayView typedText(int index) const;
    // read(cells, index) of the current row's cell; an error names the column.
    template <typename Read>
    auto converted(int index, Read read) const;

    SqlConnection* m_connection = nullptr;
    QString m_sql;
    ResultMode m_mode = ResultMode::Buffered;
    // Either the text query's result or the prepared statement that is open.
    ResultHandle m_result;
    std::shared_ptr<PreparedStatement> m_statement;
    std::vector<ColumnKind> m_textKinds; // every column of a text result: Text
    RowCells m_cells;
    bool m_onRow = false;
    int m_fieldCount = 0;
    mutable std::vector<std::pair<int, QByteArray>> m_typedTexts;
    // The names of the last result's columns, kept over close(): the same statement
    // brings the same columns, and a 3601-column table need not be hashed anew each time.
    QByteArray m_layoutKey;
    quint64 m_layoutVersion = 0;
    QStringList m_fieldNames;
    QHash<QString, int> m_indexByFoldedName;
};

} // namespace sql

namespace sql {

// Closes a query when the scope ends, also when an error leaves the scope.
class QueryCloser {
public:
    explicit QueryCloser(SqlQuery& query) : m_query(query) {}
    ~QueryCloser() { m_query.close(); }
    QueryCloser(const QueryCloser&) = delete;
    QueryCloser& operator=(const QueryCloser&) = delete;

private:
    SqlQuery& m_query;
};

} // namespace sql

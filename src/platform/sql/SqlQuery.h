#pragma once

#include "platform/sql/SqlHandles.h"

#include <QByteArrayView>
#include <QDateTime>
#include <QHash>
#include <QString>
#include <QStringList>
#include <optional>

namespace sql {

class SqlConnection;

// Buffered: the whole result is fetched at open (mysql_store_result), recordCount() is known.
// Streamed: rows come from the server as they are read (mysql_use_result); recordCount() is
// -1 until the end has been reached. Streamed holds little memory for very wide results.
enum class ResultMode { Buffered, Streamed };

// The program's single query object: SQL text, open, a cursor over the rows, and the
// values of the current row by column index. Column names are resolved to indexes once
// per open; reading a value allocates nothing except text().
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
    bool isOpen() const { return m_result != nullptr; }

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
    QString text(int index) const;
    QByteArrayView raw(int index) const;
    // The numeric and date-time readers throw SqlError for NULL and for text that is not
    // wholly a value of their kind (a zero date included), naming the column.
    float toFloat(int index) const;
    // The same for a cell that may be NULL (nothing then), testing the cell once: for
    // readers of millions of cells.
    std::optional<float> toOptionalFloat(int index) const;

    // The cells of the current row, for a reader of thousands of them a row: the row is
    // checked once when taken, its cells are then read by index without any check, so an
    // index must come from fieldIndex() of this open. Valid until next() or close().
    class Row {
    public:
        bool isNull(int index) const { return m_cells[index] == nullptr; }
        QByteArrayView raw(int index) const { return {m_cells[index], qsizetype(m_lengths[index])}; }

    private:
        friend class SqlQuery;
        Row(MYSQL_ROW cells, const unsigned long* lengths) : m_cells(cells), m_lengths(lengths) {}
        MYSQL_ROW m_cells;
        const unsigned long* m_lengths;
    };
    Row row() const;
    // toOptionalFloat() of a cell of row.
    std::optional<float> toOptionalFloat(const Row& row, int index) const;
    double toDouble(int index) const;
    qint32 toInt(int index) const;
    QDateTime toDateTime(int index) const;

private:
    friend class SqlConnection;
    void fetchRow();
    void takeFieldLayout(const MYSQL_FIELD* fields, int count);
    void requireOpen() const;
    void requireField(int index) const;
    void requireCell(int index) const;
    QByteArrayView value(int index) const;
    // text (the cell's) parsed; an error names the column.
    template <typename Parse>
    auto converted(int index, QByteArrayView text, Parse parse) const;

    SqlConnection* m_connection = nullptr;
    QString m_sql;
    ResultHandle m_result;
    ResultMode m_mode = ResultMode::Buffered;
    MYSQL_ROW m_row = nullptr;
    const unsigned long* m_lengths = nullptr;
    int m_fieldCount = 0;
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
